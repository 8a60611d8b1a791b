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

std::size_t ReplaceCommand::Command6_Click(Caller caller) const {
  const ReplaceControls& c = controls_;
  const bool multiLine = c.CO2.IsChecked();
  if (multiLine) {
    c.C1.SetText(c.T1.Text());
    c.C2.SetText(c.T2.Text());
  }
  const std::u16string search = c.C1.Text();
  const std::u16string replacement = c.C2.Text();
  if (search.empty() || replacement.empty()) return 0;
  if (form_.SourceData.empty() && c.Text3.Text().empty()) return 0;
  if (!multiLine) {
    AddToHistory(c.C1, search);
    AddToHistory(c.C2, replacement);
  }
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
