#include "platform/registry_text.h"

#include <cstdio>
#include <optional>
#include <vector>

#include "platform/sjis.h"

namespace platform {
namespace {

constexpr char kHeader[] = "# Lexora registry\n";
constexpr char kEscape = '%';
constexpr char kStringType[] = "string:";
constexpr char kDwordType[] = "dword:";
constexpr char kBinaryType[] = "binary:";
constexpr size_t kDwordDigits = 8;
constexpr uint8_t kFirstNonAscii = 0x80;
constexpr uint8_t kDelete = 0x7F;

// Which bytes of a text must be escaped where it stands.
enum class Field { kSection, kValueName, kString };

bool MustEscape(uint8_t byte, Field field, bool first) {
  if (byte < 0x20 || byte == kDelete || byte == kEscape) return true;
  switch (field) {
    case Field::kSection:
      return byte == ']';
    case Field::kValueName:
      return byte == '=' || (first && (byte == '[' || byte == '#'));
    case Field::kString:
      return false;
  }
  return false;
}

void AppendEscaped(std::string& out, std::string_view bytes) {
  for (const char byte : bytes) {
    char digits[4];
    std::snprintf(digits, sizeof digits, "%%%02X", static_cast<uint8_t>(byte));
    out += digits;
  }
}

// The UTF-8 form of one CP932 character when it converts both ways to the
// same bytes.
std::optional<std::string> ExactUtf8(std::string_view character) {
  std::optional<std::string> utf8 = SjisToUtf8(character);
  if (!utf8 || Utf8ToSjis(*utf8) != character) return std::nullopt;
  return utf8;
}

std::string Encode(std::string_view sjis, Field field) {
  std::string out;
  for (size_t at = 0; at < sjis.size();) {
    const size_t length = CharLengthAt(sjis, at);
    const std::string_view character = sjis.substr(at, length);
    const auto byte = static_cast<uint8_t>(character[0]);
    if (length == 1 && byte < kFirstNonAscii) {
      if (MustEscape(byte, field, at == 0))
        AppendEscaped(out, character);
      else
        out += character;
    } else if (std::optional<std::string> utf8 = ExactUtf8(character)) {
      out += *utf8;
    } else {
      AppendEscaped(out, character);
    }
    at += length;
  }
  return out;
}

int HexDigit(char digit) {
  if (digit >= '0' && digit <= '9') return digit - '0';
  if (digit >= 'a' && digit <= 'f') return digit - 'a' + 10;
  if (digit >= 'A' && digit <= 'F') return digit - 'A' + 10;
  return -1;
}

std::optional<uint8_t> HexByte(std::string_view digits) {
  if (digits.size() != 2) return std::nullopt;
  const int high = HexDigit(digits[0]);
  const int low = HexDigit(digits[1]);
  if (high < 0 || low < 0) return std::nullopt;
  return static_cast<uint8_t>(high * 16 + low);
}

// Back to CP932: runs of UTF-8 are converted, an escaped byte is taken as
// it is.
std::optional<std::string> Decode(std::string_view text) {
  std::string out;
  std::string run;
  auto flush = [&] {
    std::optional<std::string> sjis = Utf8ToSjis(run);
    if (!sjis) return false;
    out += *sjis;
    run.clear();
    return true;
  };
  for (size_t at = 0; at < text.size(); ++at) {
    if (text[at] != kEscape) {
      run += text[at];
      continue;
    }
    const std::optional<uint8_t> byte = HexByte(text.substr(at + 1, 2));
    if (!byte) return std::nullopt;
    at += 2;
    if (*byte < kFirstNonAscii) {
      run += static_cast<char>(*byte);
    } else {
      if (!flush()) return std::nullopt;
      out += static_cast<char>(*byte);
    }
  }
  if (!flush()) return std::nullopt;
  return out;
}

std::string FormatValue(const RegistryValue& value) {
  if (const std::string* text = std::get_if<std::string>(&value))
    return kStringType + Encode(*text, Field::kString);
  if (const DWORD* number = std::get_if<DWORD>(&value)) {
    char digits[kDwordDigits + 1];
    std::snprintf(digits, sizeof digits, "%08x", *number);
    return kDwordType + std::string(digits);
  }
  std::string out = kBinaryType;
  for (const uint8_t byte : std::get<RegistryBinary>(value)) {
    char digits[4];
    std::snprintf(digits, sizeof digits, out.size() == sizeof kBinaryType - 1 ? "%02x" : " %02x",
                  byte);
    out += digits;
  }
  return out;
}

void FormatKey(const Registry& registry, RegistryHive hive, const std::string& path,
               std::string& out) {
  const std::vector<std::string> values = registry.EnumValues(hive, path);
  const std::vector<std::string> subkeys = registry.EnumKeys(hive, path);
  if (!values.empty() || (subkeys.empty() && !path.empty())) {
    out += '[' + Encode(path, Field::kSection) + "]\n";
    for (const std::string& name : values)
      if (std::optional<RegistryValue> value = registry.ReadValue(hive, path, name))
        out += Encode(name, Field::kValueName) + '=' + FormatValue(*value) + '\n';
  }
  for (const std::string& subkey : subkeys)
    FormatKey(registry, hive, path.empty() ? subkey : path + '\\' + subkey, out);
}

bool StartsWith(std::string_view text, std::string_view prefix) {
  return text.substr(0, prefix.size()) == prefix;
}

std::optional<DWORD> ParseDword(std::string_view digits) {
  if (digits.empty() || digits.size() > kDwordDigits) return std::nullopt;
  DWORD number = 0;
  for (const char digit : digits) {
    const int value = HexDigit(digit);
    if (value < 0) return std::nullopt;
    number = number * 16 + static_cast<DWORD>(value);
  }
  return number;
}

std::optional<RegistryBinary> ParseBinary(std::string_view text) {
  RegistryBinary bytes;
  for (size_t at = 0; at < text.size(); at += 3) {
    if (at > 0 && text[at - 1] != ' ') return std::nullopt;
    const std::optional<uint8_t> byte = HexByte(text.substr(at, 2));
    if (!byte) return std::nullopt;
    bytes.push_back(*byte);
  }
  return bytes;
}

std::optional<RegistryValue> ParseValue(std::string_view text) {
  if (StartsWith(text, kStringType)) {
    std::optional<std::string> value = Decode(text.substr(sizeof kStringType - 1));
    if (!value) return std::nullopt;
    return RegistryValue(std::move(*value));
  }
  if (StartsWith(text, kDwordType)) {
    std::optional<DWORD> value = ParseDword(text.substr(sizeof kDwordType - 1));
    if (!value) return std::nullopt;
    return RegistryValue(*value);
  }
  if (StartsWith(text, kBinaryType)) {
    std::optional<RegistryBinary> value = ParseBinary(text.substr(sizeof kBinaryType - 1));
    if (!value) return std::nullopt;
    return RegistryValue(std::move(*value));
  }
  return std::nullopt;
}

}  // namespace

std::string FormatRegistryText(const Registry& registry, RegistryHive hive) {
  std::string out = kHeader;
  FormatKey(registry, hive, "", out);
  return out;
}

bool ParseRegistryText(std::string_view text, Registry& registry, RegistryHive hive) {
  std::optional<std::string> section;
  while (!text.empty()) {
    const size_t end = text.find('\n');
    std::string_view line = text.substr(0, end);
    text = end == std::string_view::npos ? std::string_view() : text.substr(end + 1);
    if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
    if (line.empty() || line.front() == '#') continue;
    if (line.front() == '[') {
      if (line.back() != ']') return false;
      section = Decode(line.substr(1, line.size() - 2));
      if (!section || !registry.OpenKey(hive, *section, true)) return false;
      continue;
    }
    const size_t equals = line.find('=');
    if (!section || equals == std::string_view::npos) return false;
    std::optional<std::string> name = Decode(line.substr(0, equals));
    std::optional<RegistryValue> value = ParseValue(line.substr(equals + 1));
    if (!name || !value || !registry.WriteValue(hive, *section, *name, std::move(*value)))
      return false;
  }
  return true;
}

}  // namespace platform
