// The local date and time, and the date and time pictures the program
// speaks and types ("yyyy'/'M'/'d", "tt h'時'm'分's'秒'"). Output is CP932
// text in the Japanese user locale.
#pragma once

#include <cstdint>

namespace platform {

using WORD = uint16_t;
using LCID = uint32_t;

inline constexpr LCID LOCALE_USER_DEFAULT = 0x0400;

struct SYSTEMTIME {
  WORD wYear;
  WORD wMonth;
  WORD wDayOfWeek;  // 0 is Sunday
  WORD wDay;
  WORD wHour;
  WORD wMinute;
  WORD wSecond;
  WORD wMilliseconds;
};

// The host's local time, unless a test fixed it with ScopedLocalTime.
void GetLocalTime(SYSTEMTIME* time);

// Format `time` (the local time when null) by `picture` (a short default
// when null). Text in single quotes is copied as it stands, '' is one
// quote, and characters that are no picture letter are copied too. Answers
// the bytes written including the closing zero; with `size` 0 the bytes
// needed; 0 when the buffer is too small or the time is not a real one.
int GetDateFormat(LCID locale, uint32_t flags, const SYSTEMTIME* time, const char* picture,
                  char* out, int size);
int GetTimeFormat(LCID locale, uint32_t flags, const SYSTEMTIME* time, const char* picture,
                  char* out, int size);

// Fixes what GetLocalTime answers for the lifetime of the guard.
class ScopedLocalTime {
 public:
  explicit ScopedLocalTime(const SYSTEMTIME& time);
  ~ScopedLocalTime();
  ScopedLocalTime(const ScopedLocalTime&) = delete;
  ScopedLocalTime& operator=(const ScopedLocalTime&) = delete;

 private:
  bool hadPrevious_;
  SYSTEMTIME previous_{};
};

}  // namespace platform
