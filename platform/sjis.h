// Shift-JIS (code page 932) text as bytes.
//
// All text inside the system is CP932: lengths are byte counts, a
// double-byte character counts two, and a character code is
// lead * 256 + trail. Conversion to UTF-8 exists only for the edges
// (file names on the host, diagnostics, tests).
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace platform {

// A byte string in CP932. std::string is used for storage; the alias
// documents intent at interfaces.
using SjisString = std::string;

// The lead-byte ranges a caller tests against. CP932 itself uses
// 0x81-0x9F and 0xE0-0xFC; some callers deliberately accept a wider
// upper range, so the range is a parameter rather than a hidden rule.
struct LeadByteRange {
  uint8_t upperFirst;
  uint8_t upperLast;
};
inline constexpr LeadByteRange kCp932LeadBytes{0xE0, 0xFC};

constexpr bool IsLeadByte(uint8_t byte, LeadByteRange range = kCp932LeadBytes) {
  return (byte >= 0x81 && byte <= 0x9F) || (byte >= range.upperFirst && byte <= range.upperLast);
}

constexpr uint16_t CharCode(uint8_t lead, uint8_t trail) {
  return static_cast<uint16_t>(lead * 256 + trail);
}

// Byte length (1 or 2) of the character that starts at `pos`. A lead
// byte at the very end of the text counts as one byte.
size_t CharLengthAt(std::string_view text, size_t pos, LeadByteRange range = kCp932LeadBytes);

// Character code of the character at `pos` (a single byte answers its value).
uint16_t CharCodeAt(std::string_view text, size_t pos, LeadByteRange range = kCp932LeadBytes);

// Finds `needle` in `text` starting at `from`, matching only at character
// boundaries, so that a trail byte such as 0x5C is never taken for a
// separator. Answers npos when not found.
size_t FindDbcs(std::string_view text, std::string_view needle, size_t from = 0);

// Splits at every occurrence of a single-byte separator that stands at a
// character boundary.
std::vector<std::string> SplitDbcs(std::string_view text, char separator);

// iconv "CP932" conversions. nullopt when the input is not convertible.
std::optional<std::string> SjisToUtf8(std::string_view sjis);
std::optional<SjisString> Utf8ToSjis(std::string_view utf8);

}  // namespace platform
