#include "text_filter.h"

#include <utility>

#include "convert_command.h"
#include "plain_controls.h"
#include "replace_command.h"

namespace quobrel::cli {

std::u16string RunConvert(std::u16string text, const ConvertRequest& request) {
  const PlainTabStrip textTab(0);
  PlainOptionPanel panel;
  for (OptionButton button : request.buttons) panel.Select(button);
  const PlainTextBox source(std::move(text));
  PlainTextBox destination;
  FormData form;
  ConvertCommand({textTab, panel, source, destination}, form).Command1_Click();
  return destination.Text();
}

std::u16string RunReplace(std::u16string text, const ReplaceRequest& request) {
  const PlainTabStrip textTab(2);
  PlainComboBox search, replacement;
  search.SetText(request.search);
  replacement.SetText(request.replacement);
  PlainTextBox searchLines, replacementLines;
  const PlainCheckBox ignoreCase(!request.matchCase);
  const PlainCheckBox multiLine(false);
  const PlainTextBox source(std::move(text));
  PlainTextBox destination;
  FormData form;
  ReplaceCommand({textTab, search, replacement, searchLines, replacementLines, ignoreCase,
                  multiLine, source, destination},
                 form)
      .Command6_Click();
  return destination.Text();
}

}  // namespace quobrel::cli
