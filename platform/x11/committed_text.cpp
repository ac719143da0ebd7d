#include "platform/x11/committed_text.h"

#include <cstddef>
#include <cstdint>
#include <optional>

#include "platform/input.h"

namespace platform::x11 {
namespace {

constexpr uint8_t kContinuationMask = 0xC0;
constexpr uint8_t kContinuation = 0x80;
constexpr uint8_t kPayloadBits = 6;
constexpr uint8_t kPayloadMask = 0x3F;
constexpr char32_t kLastUnit = 0xFFFF;
constexpr char32_t kFirstSurrogate = 0xD800;
constexpr char32_t kLastSurrogate = 0xDFFF;

struct Lead {
  uint8_t mask;
  uint8_t pattern;
  size_t length;
  char32_t smallest;
};
// Lead bytes of one to three bytes; longer sequences lie beyond one UTF-16
// unit, where CP932 has nothing.
constexpr Lead kLeads[] = {
    {0x80, 0x00, 1, 0x0000},
    {0xE0, 0xC0, 2, 0x0080},
    {0xF0, 0xE0, 3, 0x0800},
};
constexpr Lead kFourByteLead{0xF8, 0xF0, 4, 0x10000};

std::optional<Lead> LeadOf(uint8_t byte) {
  for (const Lead& each : kLeads) {
    if ((byte & each.mask) == each.pattern) return each;
  }
  if ((byte & kFourByteLead.mask) == kFourByteLead.pattern) return kFourByteLead;
  return std::nullopt;
}

// The character at `at` and the bytes it takes; nullopt for a byte that
// starts none, which is passed over alone.
std::optional<char32_t> Decode(std::string_view utf8, size_t at, size_t* length) {
  *length = 1;
  const auto first = static_cast<uint8_t>(utf8[at]);
  const std::optional<Lead> lead = LeadOf(first);
  if (!lead || at + lead->length > utf8.size()) return std::nullopt;
  char32_t code = first & static_cast<uint8_t>(~lead->mask);
  for (size_t i = 1; i < lead->length; ++i) {
    const auto next = static_cast<uint8_t>(utf8[at + i]);
    if ((next & kContinuationMask) != kContinuation) return std::nullopt;
    code = (code << kPayloadBits) | (next & kPayloadMask);
  }
  *length = lead->length;
  if (code < lead->smallest) return std::nullopt;
  return code;
}

}  // namespace

void TypeCommittedText(std::string_view utf8) {
  size_t at = 0;
  while (at < utf8.size()) {
    size_t length = 1;
    const std::optional<char32_t> code = Decode(utf8, at, &length);
    at += length;
    if (!code || *code > kLastUnit || (*code >= kFirstSurrogate && *code <= kLastSurrogate))
      continue;
    TypeCharacter(static_cast<uint16_t>(*code));
  }
}

}  // namespace platform::x11
