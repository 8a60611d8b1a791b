#include "text_filter.h"

#include <utility>

#include "convert_command.h"
#include "plain_controls.h"
#include "replace_command.h"

namespace quobrel::cli {

// Both run in the commands' file form, which hands the text in and out without copies.

std::u16string RunConvert(std::u16string text, const ConvertRequest& request) {
  const PlainTabStrip anyTab(0);
  PlainOptionPanel panel;
  for (OptionButton button : request.buttons) panel.Select(button);
  const PlainTextBox unused;
  PlainTextBox unusedToo;
  FormData form{std::move(text), {}};
  ConvertCommand({anyTab, panel, unused, unusedToo}, form).Command1_Click(Caller::Batch);
  return std::move(form.ResultData);
}

std::u16string RunReplace(std::u16string text, const ReplaceRequest& request) {
  const PlainTabStrip anyTab(2);
  PlainComboBox search, replacement;
  search.SetText(request.search);
  replacement.SetText(request.replacement);
  PlainTextBox searchLines, replacementLines;
  const PlainCheckBox ignoreCase(!request.matchCase);
  const PlainCheckBox multiLine(false);
  const PlainTextBox unused;
  PlainTextBox unusedToo;
  FormData form{std::move(text), {}};
  ReplaceCommand({anyTab, search, replacement, searchLines, replacementLines, ignoreCase, multiLine,
                  unused, unusedToo},
                 form)
      .Command6_Click(Caller::Batch);
  return std::move(form.ResultData);
}

}  // namespace quobrel::cli
