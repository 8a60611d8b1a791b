#include "files/file_list_filter.h"

#include "files/file_names.h"

namespace quobrel {

void DeselectRefusedFiles(SelectableFileList& list) {
  for (int i = 0; i < list.EntryCount(); ++i) {
    const std::u16string entry = list.Entry(i);
    if (!entry.empty() && IsRefused(entry)) list.Deselect(i);
  }
}

}  // namespace quobrel
