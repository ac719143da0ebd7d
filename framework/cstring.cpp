#include "framework/cstring.h"

#include <algorithm>
#include <cstdio>
#include <optional>
#include <vector>

#include "framework/resource_strings.h"
#include "platform/sjis.h"

namespace framework {
namespace {

constexpr char kLineBreak[] = "\r\n";
constexpr std::string_view kWhitespace = " \t\r\n";
constexpr int kMaxMessageInsert = 99;

char AsciiUpper(char ch) { return ch >= 'a' && ch <= 'z' ? static_cast<char>(ch - 'a' + 'A') : ch; }
char AsciiLower(char ch) { return ch >= 'A' && ch <= 'Z' ? static_cast<char>(ch - 'A' + 'a') : ch; }

int Sign(int value) { return (value > 0) - (value < 0); }

// Calls `visit(pos, length)` for each character in order; stops when it answers false.
template <typename Visit>
void ForEachChar(std::string_view text, Visit visit) {
  for (size_t pos = 0; pos < text.size();) {
    const size_t length = platform::CharLengthAt(text, pos);
    if (!visit(pos, length)) return;
    pos += length;
  }
}

// Applies a single-byte mapping to single-byte characters only.
void MapSingleBytes(std::string& bytes, char (*map)(char)) {
  ForEachChar(bytes, [&](size_t pos, size_t length) {
    if (length == 1) bytes[pos] = map(bytes[pos]);
    return true;
  });
}

int Clamp(int value, int low, int high) { return std::clamp(value, low, std::max(low, high)); }

std::string FormatToString(const char* format, va_list args) {
  va_list measure;
  va_copy(measure, args);
  const int length = std::vsnprintf(nullptr, 0, format, measure);
  va_end(measure);
  if (length <= 0) return {};
  std::vector<char> buffer(static_cast<size_t>(length) + 1);
  std::vsnprintf(buffer.data(), buffer.size(), format, args);
  return std::string(buffer.data(), static_cast<size_t>(length));
}

// printf of one argument into a string; the conversion is built by the caller.
template <typename Arg>
std::string Printed(const char* conversion, Arg arg) {
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wformat-nonliteral"
  const int length = std::snprintf(nullptr, 0, conversion, arg);
  if (length <= 0) return {};
  std::string out(static_cast<size_t>(length) + 1, '\0');
  std::snprintf(out.data(), out.size(), conversion, arg);
#pragma GCC diagnostic pop
  out.pop_back();
  return out;
}

// One "%n!spec!" insert of a message text, as parsed.
struct MessageInsert {
  int number = 0;     // 1-99
  std::string spec;   // printf conversion without the '%', "s" when none is written
  size_t length = 0;  // bytes the insert takes in the format
};

// Parses the insert at `pos`, which holds the '%'; number 0 when it is no insert.
MessageInsert ParseInsert(std::string_view format, size_t pos) {
  MessageInsert insert;
  size_t at = pos + 1;
  while (at < format.size() && at < pos + 3 && format[at] >= '0' && format[at] <= '9') {
    insert.number = insert.number * 10 + (format[at] - '0');
    ++at;
  }
  if (insert.number == 0 || insert.number > kMaxMessageInsert) return {};
  insert.spec = "s";
  if (at < format.size() && format[at] == '!') {
    const size_t close = format.find('!', at + 1);
    if (close == std::string_view::npos) return {};
    insert.spec = std::string(format.substr(at + 1, close - at - 1));
    at = close + 1;
  }
  insert.length = at - pos;
  return insert;
}

bool IsStringSpec(std::string_view spec) { return !spec.empty() && spec.back() == 's'; }

bool IsNumberSpec(std::string_view spec) {
  return !spec.empty() && std::string_view("diuxXoc").find(spec.back()) != std::string_view::npos;
}

// The inserted text, or nullopt when the argument does not suit the conversion.
std::optional<std::string> RenderInsert(const MessageInsert& insert,
                                        const CString::MessageArg& arg) {
  const std::string conversion = "%" + insert.spec;
  if (const auto* text = std::get_if<std::string_view>(&arg)) {
    if (!IsStringSpec(insert.spec)) return std::nullopt;
    const std::string copy(*text);
    return Printed(conversion.c_str(), copy.c_str());
  }
  if (!IsNumberSpec(insert.spec)) return std::nullopt;
  const long long number = std::get<int64_t>(arg);
  // The insert's own length modifier is replaced so that the argument is read whole.
  std::string wide = "%";
  for (char ch : insert.spec.substr(0, insert.spec.size() - 1)) {
    if (ch != 'l' && ch != 'h' && ch != 'I') wide += ch;
  }
  wide += "ll";
  wide += insert.spec.back();
  return Printed(wide.c_str(), number);
}

}  // namespace

CString& CString::operator+=(std::string_view text) {
  bytes_ += text;
  return *this;
}

CString& CString::operator+=(char ch) {
  bytes_ += ch;
  return *this;
}

int CString::Compare(std::string_view other) const {
  return Sign(std::string_view(bytes_).compare(other));
}

int CString::CompareNoCase(std::string_view other) const {
  std::string left = bytes_;
  std::string right(other);
  MapSingleBytes(left, AsciiLower);
  MapSingleBytes(right, AsciiLower);
  return Sign(left.compare(right));
}

int CString::Find(char ch, int start) const { return Find(std::string_view(&ch, 1), start); }

int CString::Find(std::string_view needle, int start) const {
  if (start < 0 || start > GetLength()) return kNotFound;
  const size_t found = platform::FindDbcs(bytes_, needle, static_cast<size_t>(start));
  return found == std::string_view::npos ? kNotFound : static_cast<int>(found);
}

int CString::ReverseFind(char ch) const {
  int last = kNotFound;
  ForEachChar(bytes_, [&](size_t pos, size_t length) {
    if (length == 1 && bytes_[pos] == ch) last = static_cast<int>(pos);
    return true;
  });
  return last;
}

int CString::FindOneOf(std::string_view set) const {
  int found = kNotFound;
  ForEachChar(bytes_, [&](size_t pos, size_t length) {
    if (length == 1 && set.find(bytes_[pos]) != std::string_view::npos) {
      found = static_cast<int>(pos);
      return false;
    }
    return true;
  });
  return found;
}

CString CString::Left(int count) const {
  return CString(bytes_.substr(0, static_cast<size_t>(Clamp(count, 0, GetLength()))));
}

CString CString::Mid(int first) const { return Mid(first, GetLength()); }

CString CString::Mid(int first, int count) const {
  const int from = Clamp(first, 0, GetLength());
  const int length = Clamp(count, 0, GetLength() - from);
  return CString(bytes_.substr(static_cast<size_t>(from), static_cast<size_t>(length)));
}

CString CString::Right(int count) const {
  const int length = Clamp(count, 0, GetLength());
  return CString(bytes_.substr(bytes_.size() - static_cast<size_t>(length)));
}

CString& CString::MakeUpper() {
  MapSingleBytes(bytes_, AsciiUpper);
  return *this;
}

CString& CString::MakeLower() {
  MapSingleBytes(bytes_, AsciiLower);
  return *this;
}

CString& CString::TrimLeft() {
  bytes_.erase(0, std::min(bytes_.find_first_not_of(kWhitespace), bytes_.size()));
  return *this;
}

// Trail bytes are never whitespace (they start at 0x40), so a plain scan from the end is safe.
CString& CString::TrimRight() {
  const size_t last = bytes_.find_last_not_of(kWhitespace);
  bytes_.erase(last == std::string::npos ? 0 : last + 1);
  return *this;
}

CString& CString::Trim() { return TrimRight().TrimLeft(); }

int CString::Replace(std::string_view from, std::string_view to) {
  if (from.empty()) return 0;
  std::string out;
  int count = 0;
  size_t pos = 0;
  while (pos < bytes_.size()) {
    if (std::string_view(bytes_).substr(pos, from.size()) == from) {
      out += to;
      pos += from.size();
      ++count;
      continue;
    }
    const size_t length = platform::CharLengthAt(bytes_, pos);
    out.append(bytes_, pos, length);
    pos += length;
  }
  bytes_ = std::move(out);
  return count;
}

int CString::Delete(int index, int count) {
  if (index >= 0 && index < GetLength() && count > 0) {
    bytes_.erase(static_cast<size_t>(index), static_cast<size_t>(count));
  }
  return GetLength();
}

int CString::Insert(int index, std::string_view text) {
  bytes_.insert(static_cast<size_t>(Clamp(index, 0, GetLength())), text);
  return GetLength();
}

void CString::Format(const char* format, ...) {
  va_list args;
  va_start(args, format);
  FormatV(format, args);
  va_end(args);
}

void CString::FormatV(const char* format, va_list args) { bytes_ = FormatToString(format, args); }

void CString::FormatMessage(std::string_view format, std::initializer_list<MessageArg> args) {
  const std::vector<MessageArg> inserts(args);
  std::string out;
  size_t pos = 0;
  while (pos < format.size()) {
    const size_t length = platform::CharLengthAt(format, pos);
    if (length == 2 || format[pos] != '%' || pos + 1 == format.size()) {
      out.append(format.substr(pos, length));
      pos += length;
      continue;
    }
    const char next = format[pos + 1];
    if (next == '0') break;
    if (next == 'n') {
      out += kLineBreak;
      pos += 2;
      continue;
    }
    const MessageInsert insert = ParseInsert(format, pos);
    if (insert.number == 0) {
      // "%%", "%." and the like stand for the character after the percent sign.
      out += next;
      pos += 2;
      continue;
    }
    std::optional<std::string> text;
    if (static_cast<size_t>(insert.number) <= inserts.size()) {
      text = RenderInsert(insert, inserts[static_cast<size_t>(insert.number) - 1]);
    }
    out += text ? *text : std::string(format.substr(pos, insert.length));
    pos += insert.length;
  }
  bytes_ = std::move(out);
}

bool CString::LoadString(uint32_t id) {
  const std::string* text = FindString(id);
  bytes_ = text != nullptr ? *text : std::string();
  return text != nullptr;
}

}  // namespace framework
