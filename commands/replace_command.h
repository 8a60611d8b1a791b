#pragma once

#include <cstddef>

#include "controls.h"
#include "form_data.h"

namespace quobrel {

struct ReplaceControls {
  const TabStrip& SSTab1;
  ComboBox& C1;          // search string and its history
  ComboBox& C2;          // replacement string and its history
  OverlayTextBox& T1;    // multi-line search string, over C1
  OverlayTextBox& T2;    // multi-line replacement string, over C2
  const CheckBox& CO1;   // checked: ignore letter case
  const CheckBox& CO2;   // checked: multi-line input
  const TextBox& Text3;  // source on the text tab
  TextBox& Text4;        // destination on the text tab
};

// Replaces every occurrence of the search string by the replacement string, keeping both
// in the history lists while input is single-line.
class ReplaceCommand {
 public:
  ReplaceCommand(ReplaceControls controls, FormData& form) : controls_(controls), form_(form) {}

  // Returns the number of replacements made; 0 when the run replaced nothing or stopped
  // before replacing (an empty search or replacement string, nothing to work on).
  std::size_t Command6_Click(Caller caller = Caller::Click) const;

  // Switches between the combo boxes and the multi-line boxes over them.
  void CO2_Click() const;

  // The first steps of a run, which the replacement batch takes once before its files:
  // in multi-line mode the multi-line texts become the combo boxes' texts; false when the
  // search or the replacement text is empty.
  bool TakeTexts() const;
  // Adds the texts to the history lists, in single-line mode.
  void RecordHistory() const;

 private:
  ReplaceControls controls_;
  FormData& form_;
};

}  // namespace quobrel
