#pragma once

#include <string>

namespace quobrel {

// The entries of a file list, as its selection filter sees them.
class SelectableFileList {
 public:
  virtual ~SelectableFileList() = default;
  virtual int EntryCount() const = 0;
  virtual std::u16string Entry(int index) const = 0;
  virtual void Deselect(int index) = 0;
};

// Runs after every change of the selection: a refused file never stays selected, so a
// batch never receives one. The whole list is looked at, not only the entry clicked.
void DeselectRefusedFiles(SelectableFileList& list);

}  // namespace quobrel
