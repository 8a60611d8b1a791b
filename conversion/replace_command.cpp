#include "conversion/replace_command.h"

namespace quobrel {
namespace {

// The lists keep each string once (compared exactly), oldest first.
void AddToHistory(ComboBox& box, const std::u16string& text) {
  const std::size_t count = box.ItemCount();
  for (std::size_t i = 0; i < count; ++i) {
    if (box.Item(i) == text) return;
  }
  box.AddItem(text);
}

}  // namespace

bool ReplaceCommand::TakeTexts() const {
  const ReplaceControls& c = controls_;
  if (c.multiLine.IsChecked()) {
    c.search.SetText(c.searchLines.Text());
    c.replacement.SetText(c.replacementLines.Text());
  }
  return !c.search.Text().empty() && !c.replacement.Text().empty();
}

void ReplaceCommand::RecordHistory() const {
  if (controls_.multiLine.IsChecked()) return;
  AddToHistory(controls_.search, controls_.search.Text());
  AddToHistory(controls_.replacement, controls_.replacement.Text());
}

ReplaceTexts ReplaceCommand::Texts() const {
  return {controls_.search.Text(), controls_.replacement.Text(),
          controls_.ignoreCase.IsChecked() ? convert::CompareMode::IgnoreCase
                                           : convert::CompareMode::Exact};
}

void ReplaceCommand::Run() const {
  if (!TakeTexts()) return;
  const std::u16string source = controls_.source.Text();
  if (source.empty()) return;
  RecordHistory();
  if (controls_.tabs.Current() == Tab::ReplaceText)
    controls_.destination.SetText(Texts().In(source).text);
}

std::optional<ReplaceTexts> ReplaceCommand::ForFile() const {
  if (!TakeTexts()) return std::nullopt;
  RecordHistory();
  return Texts();
}

void ReplaceCommand::ApplyMultiLineMode() const {
  const bool multiLine = controls_.multiLine.IsChecked();
  controls_.searchLines.SetVisible(multiLine);
  controls_.replacementLines.SetVisible(multiLine);
  if (!multiLine) {
    controls_.search.SetText(u"");
    controls_.replacement.SetText(u"");
  }
}

}  // namespace quobrel
