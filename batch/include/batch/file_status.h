// What has become of a file, for its line in a status list: the step it is at while under
// way, then how it ended. The front ends put it into words.
#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <vector>

#include "encoding/text_codec.h"

namespace quobrel {

enum class FileStatus {
  // Under way.
  Reading,
  Converting,
  Counting,
  Storing,
  // Done with.
  Finished,
  NothingChanged,  // the result is the file as it was: neither it nor its backup is touched
  NotFound,
  Cancelled,
  // Left as it was, and why.
  NotRegular,
  InUse,
  SameFile,
  SharedOutput,
  OutputIsSource,
  SharedBackup,
  BackupIsFile,
  NotWritable,
  CannotRead,
  OutOfMemory,
  InvalidBytes,
  NotRoundTrip,
  Undecided,
  Unencodable,
  CannotBackUp,
  CannotWrite,
  DiskFull,
  TooLarge,
  IoError,
  ChangedMeanwhile,
  BackupOfAnotherFile,
  OwnerNotKept,
  Binary,
  LinkRefused,
};
inline constexpr std::size_t kFileStatusCount =
    static_cast<std::size_t>(FileStatus::LinkRefused) + 1;

// A file's line in the status list.
struct StatusLine {
  std::string name = {};  // the file's name, or for a missing file its path: bytes as given
  FileStatus status = FileStatus::Reading;
  std::optional<std::size_t> count = {};      // of a replacement, once counted
  std::vector<TextEncoding> candidates = {};  // Undecided: the encodings that read it
};

}  // namespace quobrel
