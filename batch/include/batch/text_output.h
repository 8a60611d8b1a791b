// A text converted from a file or a pipe to a stream, as a filter converts: nothing on disk
// is written but, where the text must be read through before it is converted and cannot be
// read twice, an unnamed temporary copy.
#pragma once

#include "batch/file_batch.h"
#include "encoding/file_text.h"
#include "files/posix_file.h"
#include "stream/text_reading.h"
#include "stream/text_stream.h"
#include "stream/worker_pool.h"
#include "support/result.h"

namespace quobrel {

struct OutputRun {
  FileCommand command;
  FileFormat format;
  // Read through first, as a file of a batch is: binary texts refused, the encoding told
  // apart. Otherwise only where the format needs the survey: an encoding to tell apart,
  // the window's rule of line breaks, or code page 932's codes to keep.
  bool surveyed = true;
};

// What `fd` holds from its offset on, read through once as a file of a batch is before it
// is converted; kept aside first in an unnamed temporary file when it is no regular file
// or is read on from where it was left, as it cannot be read again from there. With
// `binaryRefused`, a NUL byte met while keeping it aside ends the reading with a report.
struct SurveyedInput {
  SurveyedText text;
  FileDescriptor copy;  // kept aside, if it was
  int from = -1;        // what was read: `copy`, or the descriptor itself
};
[[nodiscard]] Result<SurveyedInput, FileReport> SurveyInput(int fd, const FileFormat& format,
                                                            bool binaryRefused, WorkerPool& pool);

// Converts what `fd` holds from its offset on to `write`, and leaves the offset after what
// was converted. On a failure found while converting, what came before it has been written.
[[nodiscard]] FileReport ConvertToOutput(int fd, const OutputRun& run, WorkerPool& pool,
                                         const WriteBytes& write);

}  // namespace quobrel
