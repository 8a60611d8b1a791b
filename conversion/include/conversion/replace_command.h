#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

#include "conversion/controls.h"
#include "engine/conversions.h"

namespace quobrel {

struct ReplaceControls {
  const TabStrip& tabs;
  ComboBox& search;                  // and its history
  ComboBox& replacement;             // and its history
  OverlayTextBox& searchLines;       // multi-line search text, over `search`
  OverlayTextBox& replacementLines;  // multi-line replacement text, over `replacement`
  const CheckBox& ignoreCase;
  const CheckBox& multiLine;  // checked: the multi-line boxes are used
  const TextBox& source;      // on the text tab
  TextBox& destination;       // on the text tab
};

// What a replacement of a file's text needs, read from the controls when the file begins.
struct ReplaceTexts {
  std::u16string search;
  std::u16string replacement;
  convert::CompareMode mode = convert::CompareMode::Exact;

  convert::Replaced In(std::u16string_view text) const {
    return convert::ReplaceAll(text, search, replacement, mode);
  }
  // A match may span a line break.
  bool AcrossLines() const { return search.find_first_of(u"\r\n") != std::u16string::npos; }
};

// Replaces every occurrence of the search text by the replacement text, keeping both in
// the history lists while input is single-line.
class ReplaceCommand {
 public:
  explicit ReplaceCommand(ReplaceControls controls) : controls_(controls) {}

  // The text tab's button: the source box, replaced, into the destination box.
  void Run() const;
  // For the next file of the replacement batch: the texts and mode as they are now; or
  // nothing, to replace nothing, while the search or the replacement text is empty.
  std::optional<ReplaceTexts> ForFile() const;

  // Switches between the combo boxes and the multi-line boxes over them.
  void ApplyMultiLineMode() const;

  // The first steps of a run, which the replacement batch takes once before its files:
  // in multi-line mode the multi-line texts become the combo boxes' texts; false when the
  // search or the replacement text is empty.
  bool TakeTexts() const;
  // Adds the texts to the history lists, in single-line mode.
  void RecordHistory() const;

 private:
  ReplaceTexts Texts() const;
  ReplaceControls controls_;
};

}  // namespace quobrel
