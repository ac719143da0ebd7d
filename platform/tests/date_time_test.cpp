#include "platform/date_time.h"

#include <gtest/gtest.h>

#include <string>

#include "platform/sjis.h"

namespace platform {
namespace {

std::string Sjis(const char* utf8) { return *Utf8ToSjis(utf8); }

// Thursday 10 December 2026, 00:07:09 and 13:05:00.
constexpr SYSTEMTIME kNearMidnight{2026, 12, 0, 10, 0, 7, 9, 0};
constexpr SYSTEMTIME kAfterNoon{2026, 12, 0, 10, 13, 5, 0, 0};
constexpr SYSTEMTIME kNoon{2026, 12, 0, 10, 12, 5, 0, 0};

std::string Date(const SYSTEMTIME& time, const std::string& picture) {
  char out[64];
  int written = GetDateFormat(LOCALE_USER_DEFAULT, 0, &time, picture.c_str(), out, sizeof out);
  return written > 0 ? std::string(out, written - 1) : "<failed>";
}

std::string Time(const SYSTEMTIME& time, const std::string& picture) {
  char out[64];
  int written = GetTimeFormat(LOCALE_USER_DEFAULT, 0, &time, picture.c_str(), out, sizeof out);
  return written > 0 ? std::string(out, written - 1) : "<failed>";
}

TEST(DateTimeTest, DatePicturesOfTheProgram) {
  struct Case {
    SYSTEMTIME time;
    const char* picture;
    const char* expected;
  } cases[] = {
      {kNearMidnight, "yyyy'年'M'月'd'日 'dddd ", "2026年12月10日 木曜日 "},
      {kNearMidnight, "yyyy'/'M'/'d", "2026/12/10"},
      {{2027, 1, 0, 3, 0, 0, 0, 0}, "yyyy'/'M'/'d", "2027/1/3"},
      {{2027, 1, 0, 3, 0, 0, 0, 0}, "yy/MM/dd ddd", "27/01/03 日"},
      {{2028, 2, 6, 29, 0, 0, 0, 0}, "dddd", "火曜日"},
      {kNearMidnight, "'It''s' d", "It's 10"},
      {kNearMidnight, "MMMM", "12月"},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(Date(c.time, Sjis(c.picture)), Sjis(c.expected)) << c.picture;
  }
}

TEST(DateTimeTest, TimePicturesOfTheProgram) {
  struct Case {
    SYSTEMTIME time;
    const char* picture;
    const char* expected;
  } cases[] = {
      {kNearMidnight, "tt h'時'm'分's'秒'", "午前 12時7分9秒"},
      {kAfterNoon, "tt h'時'm'分's'秒'", "午後 1時5分0秒"},
      {kNoon, "tt h'時'm'分's'秒'", "午後 12時5分0秒"},
      {kNearMidnight, "H'/'m'/'s", "0/7/9"},
      {kAfterNoon, "HH:mm:ss", "13:05:00"},
      {kAfterNoon, "t", "午"},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(Time(c.time, Sjis(c.picture)), Sjis(c.expected)) << c.picture;
  }
}

TEST(DateTimeTest, TrailBytesThatLookLikePictureLettersAreCopied) {
  // ヅ is 83 64 and ノ is 83 6D: their trail bytes are 'd' and 'm', and
  // they must stay characters, not become a day or a minute.
  std::string picture = "\x83\x64\x83\x6D d";
  EXPECT_EQ(Date(kNearMidnight, picture), "\x83\x64\x83\x6D 10");
  EXPECT_EQ(Time(kNearMidnight, "\x83\x6D m"), "\x83\x6D 7");
}

TEST(DateTimeTest, SizesAndRefusals) {
  EXPECT_EQ(GetDateFormat(LOCALE_USER_DEFAULT, 0, &kNearMidnight, "yyyy'/'M'/'d", nullptr, 0), 11);
  char small[10];
  EXPECT_EQ(
      GetDateFormat(LOCALE_USER_DEFAULT, 0, &kNearMidnight, "yyyy'/'M'/'d", small, sizeof small),
      0);

  SYSTEMTIME notADay{2026, 2, 0, 29, 0, 0, 0, 0};
  SYSTEMTIME notAnHour{2026, 2, 0, 28, 24, 0, 0, 0};
  char out[32];
  EXPECT_EQ(GetDateFormat(LOCALE_USER_DEFAULT, 0, &notADay, "d", out, sizeof out), 0);
  EXPECT_EQ(GetTimeFormat(LOCALE_USER_DEFAULT, 0, &notAnHour, "H", out, sizeof out), 0);
  EXPECT_GT(GetDateFormat(LOCALE_USER_DEFAULT, 0, &notAnHour, "d", out, sizeof out), 0);
}

TEST(DateTimeTest, LocalTimeFixedByATestAndDefaultPictures) {
  {
    ScopedLocalTime fixed(kAfterNoon);
    SYSTEMTIME now;
    GetLocalTime(&now);
    EXPECT_EQ(now.wHour, 13);
    char out[32];
    ASSERT_GT(GetDateFormat(LOCALE_USER_DEFAULT, 0, nullptr, nullptr, out, sizeof out), 0);
    EXPECT_STREQ(out, "2026/12/10");
    ASSERT_GT(GetTimeFormat(LOCALE_USER_DEFAULT, 0, nullptr, nullptr, out, sizeof out), 0);
    EXPECT_STREQ(out, "13:05:00");
  }
  SYSTEMTIME host;
  GetLocalTime(&host);
  EXPECT_GE(host.wYear, 2026);
  EXPECT_LE(host.wMonth, 12);
}

}  // namespace
}  // namespace platform
