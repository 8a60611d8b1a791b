#include "replace_command.h"

#include "pembo95.h"

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
  if (c.CO2.IsChecked()) {
    c.C1.SetText(c.T1.Text());
    c.C2.SetText(c.T2.Text());
  }
  return !c.C1.Text().empty() && !c.C2.Text().empty();
}

void ReplaceCommand::RecordHistory() const {
  if (controls_.CO2.IsChecked()) return;
  AddToHistory(controls_.C1, controls_.C1.Text());
  AddToHistory(controls_.C2, controls_.C2.Text());
}

std::size_t ReplaceCommand::Command6_Click(Caller caller) const {
  const ReplaceControls& c = controls_;
  if (!TakeTexts()) return 0;
  if (form_.SourceData.empty() && c.Text3.Text().empty()) return 0;
  RecordHistory();
  const std::u16string search = c.C1.Text();
  const std::u16string replacement = c.C2.Text();
  const auto mode =
      c.CO1.IsChecked() ? Pembo95::CompareMode::IgnoreCase : Pembo95::CompareMode::Exact;

  if (caller == Caller::Batch || c.SSTab1.Tab() == 3) {
    form_.ResultData = Pembo95::ReplaceAll(form_.SourceData, search, replacement, mode);
  } else if (c.SSTab1.Tab() == 2) {
    c.Text4.SetText(Pembo95::ReplaceAll(c.Text3.Text(), search, replacement, mode));
  } else {
    return 0;
  }
  return Pembo95::ReplaceCount();
}

void ReplaceCommand::CO2_Click() const {
  const bool multiLine = controls_.CO2.IsChecked();
  controls_.T1.SetVisible(multiLine);
  controls_.T2.SetVisible(multiLine);
  if (!multiLine) {
    controls_.C1.SetText(u"");
    controls_.C2.SetText(u"");
  }
}

}  // namespace quobrel
