// The reasons of the program's own for leaving a file alone, as error codes beside the
// system's, so that one error travels from any step to the status line and the terminal.
#pragma once

#include <system_error>

namespace quobrel {

enum class FileError {
  LinkToOthers = 1,        // a symbolic link and what it leads to belong to different users
  LinkOutOfTree,           // a link met in a walk leads out of the folder walked
  ChangedMeanwhile,        // another program changed the file during the run
  BackupOfAnotherFile,     // the backup name holds the backup of another file
  BackupWrittenMeanwhile,  // another run made the backup after this run began
  OwnerNotKept,            // the file would change hands
  Binary,                  // the file holds NUL bytes
};

const std::error_category& FileErrorCategory();

// The name the standard library looks for.
inline std::error_code make_error_code(FileError error) {  // NOLINT(readability-identifier-naming)
  return {static_cast<int>(error), FileErrorCategory()};
}

}  // namespace quobrel

template <>
struct std::is_error_code_enum<quobrel::FileError> : std::true_type {};
