#pragma once

#include <string>
#include <string_view>

#include "conversion/controls.h"
#include "conversion/convert_options.h"

namespace quobrel {

// Runs the text through the conversions `options` selects (ChainOf), in one pass.
std::u16string ConvertText(std::u16string_view text, const Options& options);

// Where the text tab's command reads its options. It is asked again as each conversion's
// turn comes, after the conversions before it, and only that conversion's options are
// taken: a selection changed while a long conversion yields takes effect in that same run.
class ConvertOptionsSource {
 public:
  virtual ~ConvertOptionsSource() = default;
  virtual Options Current() const = 0;
};

struct ConvertControls {
  const TabStrip& tabs;
  const ConvertOptionsSource& options;
  const TextBox& source;  // on the text tab
  TextBox& destination;   // on the text tab
};

class ConvertCommand {
 public:
  explicit ConvertCommand(ConvertControls controls) : controls_(controls) {}

  // The text tab's button: the source box converted into the destination box.
  void Run() const;
  // For the next file of the conversion batch: the options as they are now.
  Options Selection() const { return controls_.options.Current(); }

 private:
  ConvertControls controls_;
};

}  // namespace quobrel
