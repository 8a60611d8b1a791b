#pragma once

#include "controls.h"
#include "form_data.h"
#include "option_panel.h"

namespace quobrel {

struct ConvertControls {
  const TabStrip& SSTab1;
  const OptionPanel& panel;
  const TextBox& Text1;  // source on the text tab
  TextBox& Text2;        // destination on the text tab
};

// Runs the text through the conversions the option panel selects: full-width, then
// half-width, then letter case, then spaces, each only when its code is not "000".
class ConvertCommand {
 public:
  ConvertCommand(ConvertControls controls, FormData& form) : controls_(controls), form_(form) {}

  void Command1_Click(Caller caller = Caller::Click) const;

 private:
  ConvertControls controls_;
  FormData& form_;
};

}  // namespace quobrel
