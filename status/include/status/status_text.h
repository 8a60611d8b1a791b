// The words of a status list, in Japanese, as the window shows them and quobrel-cli
// prints them.
#pragma once

#include <string>
#include <string_view>

#include "batch/file_status.h"

namespace quobrel {

// What follows the file's name on its line: "：変換終了", "：変換個所なし(3)", …
std::u16string StatusText(const StatusLine& line);

// The line added after the files' lines at the end of a batch.
inline constexpr std::u16string_view kAllConverted = u"全て変換終了";

}  // namespace quobrel
