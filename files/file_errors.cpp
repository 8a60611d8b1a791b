#include "files/file_errors.h"

#include <string>

#include "files/reason.h"

namespace quobrel {
namespace {

class Category : public std::error_category {
 public:
  const char* name() const noexcept override { return English("quobrel"); }
  std::string message(int value) const override {
    switch (static_cast<FileError>(value)) {
      case FileError::LinkToOthers:
        return English("a symbolic link to what another user owns");
      case FileError::LinkOutOfTree:
        return English("a symbolic link out of the folder walked");
      case FileError::ChangedMeanwhile:
        return English("changed by another program during the conversion");
      case FileError::BackupOfAnotherFile:
        return English("its backup name holds the backup of another file");
      case FileError::BackupWrittenMeanwhile:
        return English("another run made its backup meanwhile");
      case FileError::OwnerNotKept:
        return English("its owner could not be kept");
      case FileError::Binary:
        return English("binary file (it holds NUL bytes)");
    }
    return English("unknown error");
  }
};

}  // namespace

const std::error_category& FileErrorCategory() {
  static const Category category;
  return category;
}

}  // namespace quobrel
