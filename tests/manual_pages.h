// A sample of real Japanese text for the tests: the manual pages of manpages-ja.
#pragma once

#include <string>

namespace quobrel::testing {

// Every twentieth Japanese manual page, those in UTF-8, one after the other; empty where
// none is installed.
std::string EveryTwentiethManualPage();

}  // namespace quobrel::testing
