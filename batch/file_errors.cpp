#include "batch/file_errors.h"

#include <string>

namespace quobrel {
namespace {

class Category : public std::error_category {
 public:
  const char* name() const noexcept override { return "quobrel"; }
  std::string message(int value) const override {
    switch (static_cast<FileError>(value)) {
      case FileError::LinkToOthers:
        return "a symbolic link to what another user owns";
      case FileError::LinkOutOfTree:
        return "a symbolic link out of the folder walked";
      case FileError::ChangedMeanwhile:
        return "changed by another program during the conversion";
      case FileError::BackupOfAnotherFile:
        return "its backup name holds the backup of another file";
      case FileError::BackupWrittenMeanwhile:
        return "another run made its backup meanwhile";
      case FileError::OwnerNotKept:
        return "its owner could not be kept";
      case FileError::Binary:
        return "binary file (it holds NUL bytes)";
    }
    return "unknown error";
  }
};

}  // namespace

const std::error_category& FileErrorCategory() {
  static const Category category;
  return category;
}

}  // namespace quobrel
