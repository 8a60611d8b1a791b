// The window's commands over plain controls set as the command line says. They run in
// their file form, which hands the text in and out without copies.
#pragma once

#include <string>

#include "cli_request.h"
#include "convert_command.h"
#include "file_batch.h"
#include "plain_controls.h"
#include "replace_command.h"

namespace quobrel::cli {

class CliConvert {
 public:
  explicit CliConvert(const ConvertRequest& request);
  CliConvert(const CliConvert&) = delete;  // the command holds on to the controls
  CliConvert& operator=(const CliConvert&) = delete;
  std::u16string Filter(std::u16string text);
  BatchCommand ForFiles();
  FormData& form() { return form_; }

 private:
  PlainTabStrip tab_{1};
  PlainOptionPanel panel_;
  PlainTextBox unused_, unusedToo_;
  FormData form_;
  ConvertCommand command_{{tab_, panel_, unused_, unusedToo_}, form_};
};

class CliReplace {
 public:
  explicit CliReplace(const ReplaceRequest& request);
  CliReplace(const CliReplace&) = delete;
  CliReplace& operator=(const CliReplace&) = delete;
  std::u16string Filter(std::u16string text);
  BatchCommand ForFiles();
  FormData& form() { return form_; }

 private:
  PlainTabStrip tab_{3};
  PlainComboBox search_, replacement_;
  PlainTextBox searchLines_, replacementLines_;
  PlainCheckBox ignoreCase_;
  PlainCheckBox multiLine_{false};
  PlainTextBox unused_, unusedToo_;
  FormData form_;
  ReplaceCommand command_{{tab_, search_, replacement_, searchLines_, replacementLines_,
                           ignoreCase_, multiLine_, unused_, unusedToo_},
                          form_};
};

}  // namespace quobrel::cli
