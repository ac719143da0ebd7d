#include "platform/date_time.h"

#include <time.h>

#include <cstdio>
#include <mutex>
#include <optional>
#include <string>
#include <string_view>

#include "platform/sjis.h"

namespace platform {
namespace {

constexpr const char* kDayNames[] = {
    "\x93\xFA\x97\x6A\x93\xFA",  // 日曜日
    "\x8C\x8E\x97\x6A\x93\xFA",  // 月曜日
    "\x89\xCE\x97\x6A\x93\xFA",  // 火曜日
    "\x90\x85\x97\x6A\x93\xFA",  // 水曜日
    "\x96\xD8\x97\x6A\x93\xFA",  // 木曜日
    "\x8B\xE0\x97\x6A\x93\xFA",  // 金曜日
    "\x93\x79\x97\x6A\x93\xFA",  // 土曜日
};
constexpr size_t kDayInitialBytes = 2;             // 日, 月, … alone
constexpr char kMonthSuffix[] = "\x8C\x8E";        // 月
constexpr char kMorning[] = "\x8C\xDF\x91\x4F";    // 午前
constexpr char kAfternoon[] = "\x8C\xDF\x8C\xE3";  // 午後
constexpr size_t kMarkerInitialBytes = 2;          // 午

constexpr char kDefaultDatePicture[] = "yyyy/MM/dd";
constexpr char kDefaultTimePicture[] = "H:mm:ss";

constexpr WORD kFirstYear = 1601;
constexpr WORD kLastYear = 30827;
constexpr WORD kHoursPerHalfDay = 12;
constexpr char kQuote = '\'';

std::mutex fixedTimeLock;
std::optional<SYSTEMTIME> fixedTime;

bool IsLeapYear(int year) { return (year % 4 == 0 && year % 100 != 0) || year % 400 == 0; }

int DaysInMonth(int year, int month) {
  constexpr int kDays[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
  return month == 2 && IsLeapYear(year) ? 29 : kDays[month - 1];
}

bool IsRealDate(const SYSTEMTIME& time) {
  return time.wYear >= kFirstYear && time.wYear <= kLastYear && time.wMonth >= 1 &&
         time.wMonth <= 12 && time.wDay >= 1 && time.wDay <= DaysInMonth(time.wYear, time.wMonth);
}

bool IsRealTime(const SYSTEMTIME& time) {
  return time.wHour < 24 && time.wMinute < 60 && time.wSecond < 60;
}

// The day of the week from the date itself: callers often leave the field
// unset, and a date's weekday is never in doubt.
int DayOfWeek(int year, int month, int day) {
  constexpr int kMonthOffsets[] = {0, 3, 2, 5, 0, 3, 5, 1, 4, 6, 2, 4};
  if (month < 3) --year;
  return (year + year / 4 - year / 100 + year / 400 + kMonthOffsets[month - 1] + day) % 7;
}

std::string Number(int value, int minimumDigits) {
  char text[16];
  std::snprintf(text, sizeof text, "%0*d", minimumDigits, value);
  return text;
}

enum class PictureKind { kDate, kTime };

bool IsPictureLetter(PictureKind kind, char letter) {
  std::string_view letters = kind == PictureKind::kDate ? "dMy" : "hHmst";
  return letters.find(letter) != std::string_view::npos;
}

std::string DateField(const SYSTEMTIME& time, char letter, size_t run) {
  switch (letter) {
    case 'd': {
      if (run <= 2) return Number(time.wDay, static_cast<int>(run));
      std::string_view name = kDayNames[DayOfWeek(time.wYear, time.wMonth, time.wDay)];
      return std::string(run == 3 ? name.substr(0, kDayInitialBytes) : name);
    }
    case 'M':
      if (run <= 2) return Number(time.wMonth, static_cast<int>(run));
      return Number(time.wMonth, 1) + kMonthSuffix;
    default:  // 'y'
      if (run == 1) return Number(time.wYear % 100, 1);
      if (run == 2) return Number(time.wYear % 100, 2);
      return Number(time.wYear, 1);
  }
}

std::string TimeField(const SYSTEMTIME& time, char letter, size_t run) {
  int digits = run >= 2 ? 2 : 1;
  switch (letter) {
    case 'h': {
      int hour = time.wHour % kHoursPerHalfDay;
      return Number(hour == 0 ? kHoursPerHalfDay : hour, digits);
    }
    case 'H':
      return Number(time.wHour, digits);
    case 'm':
      return Number(time.wMinute, digits);
    case 's':
      return Number(time.wSecond, digits);
    default: {  // 't'
      std::string_view marker = time.wHour < kHoursPerHalfDay ? kMorning : kAfternoon;
      return std::string(run == 1 ? marker.substr(0, kMarkerInitialBytes) : marker);
    }
  }
}

// Copies a quoted stretch starting after its opening quote; answers the
// position after the closing quote (or the end of an unclosed one).
size_t CopyQuoted(std::string_view picture, size_t pos, std::string& out) {
  while (pos < picture.size()) {
    size_t length = CharLengthAt(picture, pos);
    if (length == 1 && picture[pos] == kQuote) {
      if (pos + 1 < picture.size() && picture[pos + 1] == kQuote) {
        out += kQuote;
        pos += 2;
        continue;
      }
      return pos + 1;
    }
    out.append(picture.substr(pos, length));
    pos += length;
  }
  return pos;
}

std::string Expand(PictureKind kind, const SYSTEMTIME& time, std::string_view picture) {
  std::string out;
  size_t pos = 0;
  while (pos < picture.size()) {
    size_t length = CharLengthAt(picture, pos);
    char letter = picture[pos];
    if (length == 1 && letter == kQuote) {
      pos = CopyQuoted(picture, pos + 1, out);
    } else if (length == 1 && IsPictureLetter(kind, letter)) {
      size_t run = 1;
      while (pos + run < picture.size() && picture[pos + run] == letter) ++run;
      out +=
          kind == PictureKind::kDate ? DateField(time, letter, run) : TimeField(time, letter, run);
      pos += run;
    } else {
      out.append(picture.substr(pos, length));
      pos += length;
    }
  }
  return out;
}

int Format(PictureKind kind, const SYSTEMTIME* time, const char* picture, char* out, int size) {
  SYSTEMTIME now;
  if (time == nullptr) {
    GetLocalTime(&now);
    time = &now;
  }
  bool real = kind == PictureKind::kDate ? IsRealDate(*time) : IsRealTime(*time);
  if (!real || size < 0) return 0;
  if (picture == nullptr)
    picture = kind == PictureKind::kDate ? kDefaultDatePicture : kDefaultTimePicture;
  std::string text = Expand(kind, *time, picture);
  int needed = static_cast<int>(text.size()) + 1;
  if (size == 0) return needed;
  if (out == nullptr || needed > size) return 0;
  text.copy(out, text.size());
  out[text.size()] = '\0';
  return needed;
}

SYSTEMTIME HostLocalTime() {
  timespec now{};
  clock_gettime(CLOCK_REALTIME, &now);
  tm local{};
  localtime_r(&now.tv_sec, &local);
  constexpr long kNanosecondsPerMillisecond = 1000000;
  constexpr int kTmYearBase = 1900;
  return SYSTEMTIME{static_cast<WORD>(local.tm_year + kTmYearBase),
                    static_cast<WORD>(local.tm_mon + 1), static_cast<WORD>(local.tm_wday),
                    static_cast<WORD>(local.tm_mday), static_cast<WORD>(local.tm_hour),
                    static_cast<WORD>(local.tm_min),
                    // A leap second reads as the last second of its minute.
                    static_cast<WORD>(local.tm_sec > 59 ? 59 : local.tm_sec),
                    static_cast<WORD>(now.tv_nsec / kNanosecondsPerMillisecond)};
}

}  // namespace

void GetLocalTime(SYSTEMTIME* time) {
  std::lock_guard lock(fixedTimeLock);
  *time = fixedTime ? *fixedTime : HostLocalTime();
}

int GetDateFormat(LCID, uint32_t, const SYSTEMTIME* time, const char* picture, char* out,
                  int size) {
  return Format(PictureKind::kDate, time, picture, out, size);
}

int GetTimeFormat(LCID, uint32_t, const SYSTEMTIME* time, const char* picture, char* out,
                  int size) {
  return Format(PictureKind::kTime, time, picture, out, size);
}

ScopedLocalTime::ScopedLocalTime(const SYSTEMTIME& time) {
  std::lock_guard lock(fixedTimeLock);
  hadPrevious_ = fixedTime.has_value();
  if (hadPrevious_) previous_ = *fixedTime;
  fixedTime = time;
}

ScopedLocalTime::~ScopedLocalTime() {
  std::lock_guard lock(fixedTimeLock);
  if (hadPrevious_) {
    fixedTime = previous_;
  } else {
    fixedTime.reset();
  }
}

}  // namespace platform
