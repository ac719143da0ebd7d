// CString: a growable CP932 byte string with the operations the
// application's classes use.
//
// Lengths and indexes are byte counts. Every search and every case change
// walks the text character by character, so that a trail byte such as 0x5C
// in "表" (95 5C) is never taken for a backslash nor changed by MakeUpper.
// Left, Mid and Right cut at the byte counts given, as callers that cut to a
// field width expect.
#pragma once

#include <cstdarg>
#include <cstdint>
#include <initializer_list>
#include <string>
#include <string_view>
#include <variant>

namespace framework {

class CString {
 public:
  static constexpr int kNotFound = -1;

  CString() = default;
  CString(const char* text) : bytes_(text != nullptr ? text : "") {}  // NOLINT: implicit by design
  CString(std::string_view text) : bytes_(text) {}                    // NOLINT
  CString(std::string text) : bytes_(std::move(text)) {}              // NOLINT
  CString(char ch, int count) : bytes_(count > 0 ? count : 0, ch) {}

  int GetLength() const { return static_cast<int>(bytes_.size()); }
  bool IsEmpty() const { return bytes_.empty(); }
  void Empty() { bytes_.clear(); }
  char GetAt(int index) const { return bytes_.at(static_cast<size_t>(index)); }
  void SetAt(int index, char ch) { bytes_.at(static_cast<size_t>(index)) = ch; }
  const char* GetString() const { return bytes_.c_str(); }
  operator const char*() const { return bytes_.c_str(); }  // NOLINT: implicit by design
  std::string_view View() const { return bytes_; }
  const std::string& Bytes() const { return bytes_; }

  CString& operator+=(std::string_view text);
  CString& operator+=(char ch);
  friend CString operator+(CString left, std::string_view right) { return left += right; }
  friend CString operator+(CString left, char right) { return left += right; }
  friend bool operator==(const CString& a, const CString& b) { return a.bytes_ == b.bytes_; }
  friend bool operator==(const CString& a, const char* b) { return a.bytes_ == b; }

  // Byte-wise comparison as strcmp answers it: < 0, 0 or > 0.
  int Compare(std::string_view other) const;
  // Comparison with ASCII letters folded; double-byte characters compare as bytes.
  int CompareNoCase(std::string_view other) const;

  // Searches from a character boundary at or after `start`; kNotFound when absent.
  int Find(char ch, int start = 0) const;
  int Find(std::string_view needle, int start = 0) const;
  int ReverseFind(char ch) const;
  int FindOneOf(std::string_view set) const;

  CString Left(int count) const;
  CString Mid(int first) const;
  CString Mid(int first, int count) const;
  CString Right(int count) const;

  // ASCII letters only: full-width letters and every trail byte stay as they are.
  CString& MakeUpper();
  CString& MakeLower();

  CString& TrimLeft();
  CString& TrimRight();
  CString& Trim();

  // Replaces every occurrence that starts at a character boundary; answers the count.
  int Replace(std::string_view from, std::string_view to);
  // Removes the character at `index` and the byte after it when it is a lead byte.
  int Delete(int index, int count = 1);
  int Insert(int index, std::string_view text);

  // printf formatting of bytes; %s arguments are CP932 byte strings.
  void Format(const char* format, ...) __attribute__((format(printf, 2, 3)));
  void FormatV(const char* format, va_list args);

  // One inserted argument of FormatMessage: a byte string or a number.
  using MessageArg = std::variant<std::string_view, int64_t>;
  // Message-text formatting: "%1" to "%99" insert argument n, with an
  // optional printf spec between exclamation marks ("%1!s!", "%2!d!");
  // "%%" is a percent sign, "%n" a line break, "%0" ends the text. An
  // insert whose argument is missing, or whose spec does not suit it, is
  // left in the text as written.
  void FormatMessage(std::string_view format, std::initializer_list<MessageArg> args);

  // Takes the string table's text of `id` (framework/resource_strings.h);
  // false, leaving the string empty, when there is none.
  bool LoadString(uint32_t id);

 private:
  std::string bytes_;
};

}  // namespace framework
