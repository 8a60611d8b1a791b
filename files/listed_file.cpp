#include "files/listed_file.h"

namespace quobrel {

namespace fs = std::filesystem;

ListedFile ListedFile::Named(const fs::path& path) {
  return {path, [path] {
            EntryOpening named = EntryOf(path);
            return named.entry ? FollowLinks(std::move(*named.entry)) : named;
          }};
}

}  // namespace quobrel
