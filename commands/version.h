#pragma once

#include <string_view>

namespace quobrel {

// What the version labels read.
inline constexpr std::string_view kVersionLabel = "Quobrel Ver 2.09";

}  // namespace quobrel
