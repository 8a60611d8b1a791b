#pragma once

#include <cstddef>

#include "commands/controls.h"
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

// Replaces every occurrence of the search text by the replacement text, keeping both in
// the history lists while input is single-line.
class ReplaceCommand {
 public:
  explicit ReplaceCommand(ReplaceControls controls) : controls_(controls) {}

  // The text tab's button: the source box, replaced, into the destination box.
  void Run() const;
  // A file's text, for the replacement batch, with the texts and mode as they are now.
  // Nothing is replaced (a count of 0) in an empty text, or while the search or the
  // replacement text is empty.
  convert::Replaced Replace(std::u16string text) const;

  // Switches between the combo boxes and the multi-line boxes over them.
  void ApplyMultiLineMode() const;

  // The first steps of a run, which the replacement batch takes once before its files:
  // in multi-line mode the multi-line texts become the combo boxes' texts; false when the
  // search or the replacement text is empty.
  bool TakeTexts() const;
  // Adds the texts to the history lists, in single-line mode.
  void RecordHistory() const;

 private:
  convert::Replaced ReplaceIn(std::u16string_view text) const;
  ReplaceControls controls_;
};

}  // namespace quobrel
