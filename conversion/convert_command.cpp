#include "conversion/convert_command.h"

#include "engine/conversion_chain.h"

namespace quobrel {

std::u16string ConvertText(std::u16string_view text, const Options& options) {
  return convert::FusedChain(ChainOf(options)).Convert(text);
}

void ConvertCommand::Run() const {
  if (controls_.tabs.Current() != Tab::ConvertText) return;
  // Step by step, each step taking the options as they are when its turn comes.
  std::u16string result = convert::ConvertStepByStep(
      controls_.source.Text(), [this] { return ChainOf(controls_.options.Current()); });
  // The tab is read again: the user may have turned to another while the text converted.
  if (controls_.tabs.Current() == Tab::ConvertText) controls_.destination.SetText(result);
}

}  // namespace quobrel
