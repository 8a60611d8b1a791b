#include "encoding/alternate_codes.h"

#include <algorithm>
#include <cstring>
#include <map>
#include <memory>

#include "internal/blockwise.h"
#include "internal/cp932_tables.h"

namespace quobrel {
namespace {

constexpr bool IsLeadByte(unsigned char b) { return (b >= 0x81 && b <= 0x9F) || b >= 0xE0; }

template <class Block>
bool IsAscii(Block block) {
  std::uint64_t halves[2];
  std::memcpy(halves, &block, sizeof halves);
  return ((halves[0] | halves[1]) & 0x8080808080808080u) == 0;
}

// Calls `visit(code)` for each two-byte character of code page 932 bytes.
template <class Visit>
void ForEachDoubleByte(std::string_view bytes, Visit visit) {
  using Block = std::uint8_t __attribute__((vector_size(16)));
  // A block of ASCII from a character's start holds only characters of one byte.
  auto ascii = [&](std::size_t at) {
    Block block;
    std::memcpy(&block, bytes.data() + at, sizeof block);
    return IsAscii(block);
  };
  auto one = [&](std::size_t& at) {
    const auto lead = static_cast<unsigned char>(bytes[at++]);
    if (IsLeadByte(lead) && at < bytes.size())
      visit(static_cast<std::uint16_t>(lead << 8 | static_cast<unsigned char>(bytes[at++])));
    return true;
  };
  Blockwise<sizeof(Block)>(bytes.size(), ascii, one);
}

}  // namespace

const std::array<std::uint16_t, 0x10000>& AlternateCodes::StandardCodes() {
  static const auto table = [] {
    // A code whose character other codes read as too stands for the code ICU writes.
    const cp932::Tables& tables = cp932::GetTables();
    auto standard = std::make_unique<std::array<std::uint16_t, 0x10000>>();
    for (unsigned code = 0; code < tables.doubleByte.size(); ++code) {
      const char16_t c = tables.doubleByte[code];
      (*standard)[code] =
          c != cp932::kNoCharacter && tables.hasAlternateCodes[c] ? tables.code[c] : 0;
    }
    return standard;
  }();
  return *table;
}

AlternateCodes AlternateCodes::Of(std::string_view bytes) {
  AlternateCodes noted;
  const auto& standardCodes = StandardCodes();
  ForEachDoubleByte(bytes, [&](std::uint16_t code) {
    if (const std::uint16_t standard = standardCodes[code]) {
      std::vector<Run>& runs = noted.uses_[standard];
      if (runs.empty() || runs.back().code != code) runs.push_back({code, 0});
      ++runs.back().count;
    }
  });
  return noted;
}

void AlternateCodes::Append(const AlternateCodes& later) {
  for (const auto& [standard, laterRuns] : later.uses_) {
    std::vector<Run>& runs = uses_[standard];
    for (const Run& run : laterRuns) {
      if (!runs.empty() && runs.back().code == run.code) {
        runs.back().count += run.count;
      } else {
        runs.push_back(run);
      }
    }
  }
}

AlternateCodes::Restoration::Restoration(const AlternateCodes& source) {
  for (const auto& [standard, runs] : source.uses_) {
    std::map<std::uint16_t, std::size_t> counts;
    for (const Run& run : runs) counts[run.code] += run.count;
    const std::uint16_t mostUsed =
        std::max_element(counts.begin(), counts.end(), [](const auto& a, const auto& b) {
          return a.second < b.second;
        })->first;
    cursors_.emplace(standard, Cursor{&runs, 0, 0, mostUsed});
  }
}

void AlternateCodes::Restoration::Restore(std::string& bytes,
                                          const std::vector<std::size_t>& alternateCodesAt) {
  if (alternateCodesAt.empty()) return;
  const auto& standardCodes = StandardCodes();
  for (std::size_t at : alternateCodesAt) {
    const auto code = static_cast<std::uint16_t>(static_cast<unsigned char>(bytes[at]) << 8 |
                                                 static_cast<unsigned char>(bytes[at + 1]));
    const auto cursor = cursors_.find(standardCodes[code]);
    if (cursor == cursors_.end()) continue;
    Cursor& next = cursor->second;
    const std::vector<Run>& runs = *next.runs;
    std::uint16_t original = next.mostUsed;
    if (next.run < runs.size()) {
      original = runs[next.run].code;
      if (++next.taken == runs[next.run].count) {
        ++next.run;
        next.taken = 0;
      }
    }
    bytes[at] = static_cast<char>(original >> 8);
    bytes[at + 1] = static_cast<char>(original & 0xFF);
  }
}

}  // namespace quobrel
