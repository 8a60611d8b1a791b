#pragma once

#include <string_view>

namespace quobrel::Pembo95 {

// The three positions of an option code, read once before a scan.
struct CodePositions {
  bool first = false;
  bool second = false;
  bool third = false;
};

constexpr CodePositions ReadCode(std::string_view code) {
  auto holdsOne = [code](std::size_t position) {
    return position < code.size() && code[position] == '1';
  };
  return {holdsOne(0), holdsOne(1), holdsOne(2)};
}

}  // namespace quobrel::Pembo95
