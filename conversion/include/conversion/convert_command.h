#pragma once

#include <string>

#include "conversion/controls.h"
#include "conversion/option_panel.h"
#include "conversion/plain_controls.h"
#include "engine/conversions.h"

namespace quobrel {

// The conversions the option panel has no buttons for, which other front ends offer.
struct ExtraConversions {
  enum class SymbolWidth { Unchanged, Full, Half };
  SymbolWidth symbols = SymbolWidth::Unchanged;
  convert::KanaScript kana = convert::KanaScript::Unchanged;
};

// Runs the text through the conversions the panel and `extra` select: kana script, then
// full-width, then half-width, then letter case, then spaces, each only when it selects
// something. Each group is read when its turn comes, after the conversions before it. The
// script goes first so that hiragana can end up as half-width katakana.
std::u16string ConvertText(std::u16string text, const OptionPanel& panel,
                           const ExtraConversions& extra = {});

struct ConvertControls {
  const TabStrip& tabs;
  const OptionPanel& panel;
  const TextBox& source;  // on the text tab
  TextBox& destination;   // on the text tab
};

class ConvertCommand {
 public:
  explicit ConvertCommand(ConvertControls controls) : controls_(controls) {}

  // The text tab's button: the source box converted into the destination box.
  void Run() const;
  // For the next file of the conversion batch: the panel's selection as it is now.
  PlainOptionPanel Selection() const { return PlainOptionPanel(controls_.panel); }

 private:
  ConvertControls controls_;
};

}  // namespace quobrel
