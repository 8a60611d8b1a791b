// The lines of a text file as the program reads them: a line ends at CR LF or at a lone CR;
// a lone LF is an ordinary character of the line. A last line without a line end is a line.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace quobrel {

std::vector<std::u16string_view> SplitLines(std::u16string_view text);

// The lines of the text joined by CR LF, as a batch hands a file to a command: a lone CR
// becomes CR LF, and the line break that ends the last line goes.
std::u16string JoinedLines(std::u16string text);

}  // namespace quobrel
