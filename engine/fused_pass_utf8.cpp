// The fused pass on UTF-8, compiled for each instruction set Highway targets: text that no
// unit of the table changes is copied a vector at a time, without going through UTF-16.
#include <array>
#include <bit>
#include <cstdint>
#include <cstring>

#include "internal/fused_plan.h"

#undef HWY_TARGET_INCLUDE
#define HWY_TARGET_INCLUDE "fused_pass_utf8.cpp"
#include "hwy/foreach_target.h"  // IWYU pragma: keep
// After foreach_target.h, which includes this file again for each target.
#include "hwy/highway.h"

HWY_BEFORE_NAMESPACE();
namespace quobrel::convert::HWY_NAMESPACE {
namespace hn = hwy::HWY_NAMESPACE;

// The marks' UTF-8 bytes differ in the last only.
constexpr std::uint8_t kMarkLead = 0xEF, kMarkSecond = 0xBE, kVoicedMarkLast = 0x9E;
static_assert(InUtf8({kVoicedMark}).bytes == std::array<std::uint8_t, 7>{0xEF, 0xBE, 0x9E} &&
              kSemiVoicedMark == kVoicedMark + 1);

// The lead bytes of the pages the table can change.
constexpr std::uint8_t kLatin1Leads[] = {0xC2, 0xC3};  // U+0080 to U+00BF, U+00C0 to U+00FF
constexpr std::uint8_t kKanaLead = 0xE3;               // U+3000 to U+3FFF
constexpr std::uint8_t kKanaSeconds = 0x80;            // to 0x83: U+3000 to U+30FF
constexpr std::uint8_t kFormsLead = 0xEF;              // U+F000 to U+FFFF
constexpr std::uint8_t kFormsSeconds = 0xBC;           // to 0xBF: U+FF00 to U+FFFF
static_assert(InUtf8({0x80}).bytes[0] == kLatin1Leads[0] &&
              InUtf8({0xFF}).bytes[0] == kLatin1Leads[1]);
static_assert(InUtf8({0x3000}).bytes[0] == kKanaLead && InUtf8({0x3000}).bytes[1] == kKanaSeconds &&
              InUtf8({0x30FF}).bytes[1] == kKanaSeconds + 3);
static_assert(InUtf8({0xFF00}).bytes[0] == kFormsLead &&
              InUtf8({0xFF00}).bytes[1] == kFormsSeconds &&
              InUtf8({0xFFFF}).bytes[1] == kFormsSeconds + 3);

HWY_INLINE char* Put(const Utf8Result& result, char* out) {
  std::memcpy(out, &result, sizeof result);  // the room's slack takes what is not kept
  return out + result.length;
}

// One character through the tables, looking ahead where it may be a kana before its mark or
// the first space of a pair. Characters of other pages no step changes.
template <bool kPairs, bool kComposes>
HWY_INLINE char* OneCharacter(const FusedPlan& plan, const std::uint8_t* text, std::size_t size,
                              std::size_t& at, char* out) {
  const std::uint8_t lead = text[at];
  if (lead < 0x80 || lead == kLatin1Leads[0] || lead == kLatin1Leads[1]) {
    const std::size_t c = lead < 0x80 ? lead : (lead & 0x03) << 6 | (text[at + 1] & 0x3F);
    at += lead < 0x80 ? 1 : 2;
    const Utf8Result& result = plan.latin1Utf8[c];
    if constexpr (kPairs) {
      // The steps make a half-width space of a half-width space only, so the text's own
      // bytes tell the next one.
      static_assert(kCode160Space == 0xA0);
      if (result.length == 1 && result.bytes[0] == ' ' && at < size &&
          (text[at] == ' ' || (at + 2 <= size && text[at] == 0xC2 && text[at + 1] == 0xA0))) {
        at += text[at] == ' ' ? 1 : 2;
        return Put(plan.fullWidthSpaceUtf8, out);
      }
    }
    return Put(result, out);
  }
  const std::size_t length = lead < 0xE0 ? 2 : lead < 0xF0 ? 3 : 4;
  const std::uint8_t block = text[at + 1] & 0xFC;
  if (length != 3 || !((lead == kKanaLead && block == kKanaSeconds) ||
                       (lead == kFormsLead && block == kFormsSeconds))) {
    std::memcpy(out, text + at, length);
    at += length;
    return out + length;
  }
  const std::size_t index = ThreeByteIndex(text + at);
  at += 3;
  if constexpr (kComposes) {
    const std::size_t kana = index - ThreeByteIndex(kHalfWidthKatakana.first);
    if (kana < kHalfWidthKanaCount && at + 3 <= size && text[at] == kMarkLead &&
        text[at + 1] == kMarkSecond &&
        static_cast<std::uint8_t>(text[at + 2] - kVoicedMarkLast) < 2) {
      const Utf8Result& composed = plan.composedUtf8[text[at + 2] - kVoicedMarkLast][kana];
      if (composed.length != 0) {
        at += 3;
        return Put(composed, out);
      }
    }
  }
  return Put(plan.threeByteUtf8[index], out);
}

// Character by character to `to`, after the rest of one that a vector copied in part.
template <bool kPairs, bool kComposes>
HWY_INLINE char* Finish(const FusedPlan& plan, const std::uint8_t* text, std::size_t size,
                        std::size_t& at, std::size_t to, char* out) {
  while (at < size && (text[at] & 0xC0) == 0x80) *out++ = static_cast<char>(text[at++]);
  while (at < to) out = OneCharacter<kPairs, kComposes>(plan, text, size, at, out);
  return out;
}

#if HWY_TARGET != HWY_SCALAR

// For an ASCII byte's high four bits h, the bit h; none for any other byte.
alignas(16) constexpr std::uint8_t kBitOfHighHalf[16] = {1, 2, 4, 8, 16, 32, 64, 128};

template <bool kPairs, bool kComposes>
char* Run(const FusedPlan& plan, const std::uint8_t* text, std::size_t size, std::size_t& at,
          std::size_t to, char* out) {
  const hn::ScalableTag<std::uint8_t> d;
  const std::size_t lanes = hn::Lanes(d);
  static_assert(MaxLanes(d) <= 64, "the lanes' bits fit in a word, a vector in the slack");
  const auto asciiTaken = hn::LoadDup128(d, plan.asciiTaken.data());
  const auto bitOfHighHalf = hn::LoadDup128(d, kBitOfHighHalf);
  const auto blocksTaken = hn::LoadDup128(d, plan.blocksTaken.data());
  const auto lowHalf = hn::Set(d, 0x0F);
  const auto seconds = hn::Set(d, 0xFC);  // the byte after a lead, but for its block
  // Each group is looked at beside the byte after it, which must exist.
  while (at < to && at + lanes < size) {
    const auto bytes = hn::LoadU(d, text + at);
    const auto next = hn::LoadU(d, text + at + 1);
    auto taken = hn::Ne(hn::And(hn::TableLookupBytes(asciiTaken, hn::And(bytes, lowHalf)),
                                hn::TableLookupBytes(bitOfHighHalf, hn::ShiftRight<4>(bytes))),
                        hn::Zero(d));
    if (plan.latin1Taken) {
      taken = hn::Or(taken, hn::Or(hn::Eq(bytes, hn::Set(d, kLatin1Leads[0])),
                                   hn::Eq(bytes, hn::Set(d, kLatin1Leads[1]))));
    }
    const auto block = hn::And(next, seconds);
    const auto inPages = hn::Or(
        hn::And(hn::Eq(bytes, hn::Set(d, kKanaLead)), hn::Eq(block, hn::Set(d, kKanaSeconds))),
        hn::And(hn::Eq(bytes, hn::Set(d, kFormsLead)), hn::Eq(block, hn::Set(d, kFormsSeconds))));
    taken = hn::Or(
        taken, hn::And(inPages, hn::Ne(hn::TableLookupBytes(blocksTaken, hn::And(next, lowHalf)),
                                       hn::Zero(d))));
    if constexpr (kPairs) {
      // A space before another, of either kind: U+00A0 is led by C2.
      taken = hn::Or(taken, hn::And(hn::Eq(bytes, hn::Set(d, ' ')),
                                    hn::Or(hn::Eq(next, hn::Set(d, ' ')),
                                           hn::Eq(next, hn::Set(d, kLatin1Leads[0])))));
    }
    if (hn::AllFalse(d, taken)) {
      hn::StoreU(bytes, d, reinterpret_cast<std::uint8_t*>(out));
      out += lanes;
      at += lanes;
      continue;
    }
    // Only lead bytes are ever taken: what lies between them is whole characters, or the
    // start of one that the next group goes on with, copied as they are.
    const std::size_t group = at;
    const std::size_t end = group + lanes;
    const auto copyTo = [&](std::size_t until) {
      if (at + lanes <= size) {
        hn::StoreU(hn::LoadU(d, text + at), d, reinterpret_cast<std::uint8_t*>(out));
      } else {
        std::memcpy(out, text + at, until - at);
      }
      out += until - at;
      at = until;
    };
    std::uint64_t bits = 0;
    hn::StoreMaskBits(d, taken, reinterpret_cast<std::uint8_t*>(&bits));
    do {
      copyTo(group + static_cast<std::size_t>(std::countr_zero(bits)));
      // A character may take its mark or its pair along, in this group or the next.
      out = OneCharacter<kPairs, kComposes>(plan, text, size, at, out);
      bits = at < end ? bits & ~std::uint64_t{0} << (at - group) : 0;
    } while (bits != 0);
    if (at < end) copyTo(end);
  }
  return Finish<kPairs, kComposes>(plan, text, size, at, to, out);
}

#else

template <bool kPairs, bool kComposes>
char* Run(const FusedPlan& plan, const std::uint8_t* text, std::size_t size, std::size_t& at,
          std::size_t to, char* out) {
  return Finish<kPairs, kComposes>(plan, text, size, at, to, out);
}

#endif  // HWY_TARGET != HWY_SCALAR

char* RunPlanUtf8(const FusedPlan& plan, const char* text, std::size_t size, std::size_t& at,
                  std::size_t to, char* out) {
  const auto* bytes = reinterpret_cast<const std::uint8_t*>(text);
  if (plan.pairsSpaces) {
    return plan.composes ? Run<true, true>(plan, bytes, size, at, to, out)
                         : Run<true, false>(plan, bytes, size, at, to, out);
  }
  return plan.composes ? Run<false, true>(plan, bytes, size, at, to, out)
                       : Run<false, false>(plan, bytes, size, at, to, out);
}

}  // namespace quobrel::convert::HWY_NAMESPACE
HWY_AFTER_NAMESPACE();

#if HWY_ONCE
namespace quobrel::convert {

HWY_EXPORT(RunPlanUtf8);

char* RunFusedPlanUtf8(const FusedPlan& plan, const char* text, std::size_t size, std::size_t& at,
                       std::size_t to, char* out) {
  return HWY_DYNAMIC_DISPATCH(RunPlanUtf8)(plan, text, size, at, to, out);
}

}  // namespace quobrel::convert
#endif
