// The lines of a text file as the program reads them: a line ends at CR LF or at a lone CR;
// a lone LF is an ordinary character of the line. A last line without a line end is a line.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace quobrel {

std::vector<std::u16string_view> SplitLines(std::u16string_view text);

}  // namespace quobrel
