#pragma once

#include <optional>
#include <string>
#include <variant>
#include <vector>

#include "batch/file_batch.h"
#include "conversion/convert_options.h"
#include "encoding/text_codec.h"
#include "encoding/text_lines.h"

namespace quobrel::cli {

struct ReplaceRequest {
  std::u16string search;
  std::u16string replacement;
  bool matchCase = false;
};

struct Request {
  std::variant<Options, ReplaceRequest> command;
  // --encoding as given: not at all, "auto" (an empty inner value), or one encoding.
  std::optional<std::optional<TextEncoding>> encoding;
  std::optional<TextEncoding> outputEncoding;  // nothing: each text in its own
  // None: standard input. Without inPlace or outputDirectory, "-" among them is standard
  // input, as cat takes it, and each result goes to standard output.
  std::vector<std::string> files;
  bool inPlace = false;
  std::optional<std::string> outputDirectory;
  LineBreakRule lineBreaks = LineBreakRule::Keep;
  // These go with inPlace or outputDirectory only.
  bool dryRun = false;     // report what would become of each file, and change none
  bool recursive = false;  // folders among the files are walked
  BackupPolicy backups = BackupPolicy::Replace;
  bool json = false;   // a JSON object per file on standard output, for the status lines
  bool quiet = false;  // no status lines; errors only
};

// What the command line asks for instead of a run: help or version for standard output
// (status 0), or a usage error for standard error (status 2).
struct Leaving {
  std::string text;
  int exitStatus = 0;
};

// guess: each file's encoding told, nothing converted.
struct GuessRequest {
  std::vector<std::string> files;  // as Request's: none for standard input, "-" among others
  bool json = false;
};

// What the command line asks for: a run, a guess, or to leave at once.
using ParsedCommandLine = std::variant<Request, Leaving, GuessRequest>;

[[nodiscard]] ParsedCommandLine ParseCommandLine(const std::vector<std::string>& arguments);

// The inputs a filter or a guess reads: the files named, or standard input ("-") if none.
[[nodiscard]] std::vector<std::string> InputsNamed(const std::vector<std::string>& files);

}  // namespace quobrel::cli
