#include "platform/profile.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>

namespace platform {
namespace {

// 表 (95 5C) and ソ (83 5C) end in the byte of a backslash, ゾ (83 5D) in
// that of "]".
constexpr char kTable[] = "\x95\x5C";
constexpr char kSo[] = "\x83\x5C";
constexpr char kZo[] = "\x83\x5D";

class ProfileTest : public ::testing::Test {
 protected:
  void SetUp() override {
    char pattern[] = "/tmp/lexora-profile-XXXXXX";
    ASSERT_NE(::mkdtemp(pattern), nullptr);
    folder_ = pattern;
    file_ = folder_ + "/LXRD3.INI";
  }
  void TearDown() override { std::filesystem::remove_all(folder_); }

  void Write(const std::string& text) { std::ofstream(file_, std::ios::binary) << text; }
  std::string Read() const {
    std::ifstream in(file_, std::ios::binary);
    std::stringstream text;
    text << in.rdbuf();
    return text.str();
  }
  std::string Get(const char* section, const char* key, const char* fallback = "none",
                  DWORD size = 126) {
    std::string buffer(size, '\x7F');
    const DWORD length =
        GetPrivateProfileString(section, key, fallback, buffer.data(), size, file_.c_str());
    EXPECT_EQ(buffer[length], '\0');
    return buffer.substr(0, length);
  }

  std::string folder_;
  std::string file_;
};

TEST_F(ProfileTest, ValuesAreFoundIgnoringCaseAndBlanks) {
  Write(
      "; colours\r\n[Color]\r\n  ViewColorPattern1 = (0,0,0)(255,255,255)Plain  \r\n"
      "Quoted=\"  spaced  \"\r\n[Other]\r\nViewColorPattern1=other\r\n");
  EXPECT_EQ(Get("color", "VIEWCOLORPATTERN1"), "(0,0,0)(255,255,255)Plain");
  EXPECT_EQ(Get(" Color ", "ViewColorPattern1 "), "(0,0,0)(255,255,255)Plain");
  EXPECT_EQ(Get("Other", "viewcolorpattern1"), "other");
  EXPECT_EQ(Get("Color", "Quoted"), "  spaced  ");
  EXPECT_EQ(Get("Color", "Missing", "  fallback  "), "fallback");
  EXPECT_EQ(Get("Color", "; colours"), "none") << "a comment is no key";
  EXPECT_EQ(Get("Color", "ViewColorPattern1", "", 8), "(0,0,0)") << "cut to fit with its zero";
  EXPECT_EQ(Get("Missing", "ViewColorPattern1"), "none");
  std::string nowhere(8, '\x7F');
  EXPECT_EQ(GetPrivateProfileString("Color", "ViewColorPattern1", "none", nowhere.data(), 8,
                                    (folder_ + "/missing.ini").c_str()),
            4u);
  EXPECT_STREQ(nowhere.c_str(), "none");
}

TEST_F(ProfileTest, ListsOfSectionsAndKeysEndInTwoZeros) {
  Write("[A]\nx=1\ny=2\n[B]\n");
  EXPECT_EQ(Get(nullptr, nullptr), std::string("A\0B\0", 4));
  EXPECT_EQ(Get("a", nullptr), std::string("x\0y\0", 4));
  char small[4];
  EXPECT_EQ(GetPrivateProfileString("A", nullptr, "", small, sizeof small, file_.c_str()), 2u);
  EXPECT_EQ(std::string(small, 4), std::string("x\0\0\0", 4));
}

TEST_F(ProfileTest, NumbersAreReadWithTheirSign) {
  Write("[N]\nminus=-1\nplus=+12\nlead=  42px\nword=abc\nempty=\nbig=99999999999\n");
  struct Case {
    const char* key;
    int expected;
  };
  for (const Case& c : {Case{"minus", -1}, Case{"plus", 12}, Case{"lead", 42}, Case{"word", 0},
                        Case{"empty", 7}, Case{"missing", 7}, Case{"big", 2147483647}}) {
    SCOPED_TRACE(c.key);
    EXPECT_EQ(GetPrivateProfileInt("n", c.key, 7, file_.c_str()), c.expected);
  }
}

TEST_F(ProfileTest, TrailBytesAreNeverTakenForPunctuation) {
  // "[ゾ]" ends its name at the second "]", not at the trail of ゾ; the
  // key "表=" holds its "=" as the trail of a lead byte; "\x81;" begins a
  // line with a character, not a comment.
  Write(std::string("[") + kZo + "]\r\n" + kSo + "=C:\\" + kTable + "\r\n" + "\x81;x=comment?\r\n" +
        "\x83\x41=a\r\n");
  EXPECT_EQ(Get(kZo, kSo), std::string("C:\\") + kTable);
  EXPECT_EQ(Get(kZo, "\x81;x"), "comment?");
  EXPECT_EQ(Get(kZo, "\x83\x61"), "none") << "a trail byte is not folded as a letter";
  EXPECT_EQ(Get(kZo, "\x83\x41"), "a");
  EXPECT_EQ(Get(kZo, kSo, "", 5), "C:\\") << "a double-byte character is never cut in half";
  EXPECT_EQ(Get(nullptr, nullptr), std::string(kZo) + '\0');
}

TEST_F(ProfileTest, WritingChangesOnlyItsOwnLines) {
  Write("; keep me\r\n[Color]\r\nA=1\r\n\r\n[Other]\r\nB=2\r\n");
  ASSERT_TRUE(WritePrivateProfileString("color", "a", "10", file_.c_str()));
  ASSERT_TRUE(WritePrivateProfileString("Color", "New", "x", file_.c_str()));
  ASSERT_TRUE(WritePrivateProfileString(kTable, kSo, kTable, file_.c_str()));
  EXPECT_EQ(Read(), std::string("; keep me\r\n[Color]\r\nA=10\r\nNew=x\r\n\r\n[Other]\r\nB=2\r\n") +
                        "[" + kTable + "]\r\n" + kSo + "=" + kTable + "\r\n");
  EXPECT_EQ(Get(kTable, kSo), kTable);

  ASSERT_TRUE(WritePrivateProfileString("Color", "A", nullptr, file_.c_str()));
  ASSERT_TRUE(WritePrivateProfileString("Color", "Missing", nullptr, file_.c_str()));
  ASSERT_TRUE(WritePrivateProfileString("other", nullptr, nullptr, file_.c_str()));
  EXPECT_EQ(Read(), std::string("; keep me\r\n[Color]\r\nNew=x\r\n\r\n[") + kTable + "]\r\n" + kSo +
                        "=" + kTable + "\r\n");
  EXPECT_FALSE(WritePrivateProfileString(nullptr, "A", "1", file_.c_str()));
}

TEST_F(ProfileTest, ANewFileIsMadeAndAnOldOneKeepsItsLineEndsAndPermissions) {
  ASSERT_TRUE(WritePrivateProfileString("S", "k", "v", file_.c_str()));
  EXPECT_EQ(Read(), "[S]\r\nk=v\r\n");
  Write("[S]\nk=v\n");
  ::chmod(file_.c_str(), 0640);
  ASSERT_TRUE(WritePrivateProfileString("S", "k", "w", file_.c_str()));
  EXPECT_EQ(Read(), "[S]\nk=w\n");
  struct stat info {};
  ASSERT_EQ(::stat(file_.c_str(), &info), 0);
  EXPECT_EQ(info.st_mode & 0777, 0640u);
  EXPECT_FALSE(WritePrivateProfileString("S", "k", "v", (folder_ + "/no/such.ini").c_str()));
  EXPECT_EQ(std::distance(std::filesystem::directory_iterator(folder_),
                          std::filesystem::directory_iterator()),
            1)
      << "no temporary file is left behind";
}

TEST_F(ProfileTest, AFileNameIsConvertedFromCp932) {
  const std::string name = folder_ + "/" + kTable + ".ini";
  ASSERT_TRUE(WritePrivateProfileString("S", "k", "v", name.c_str()));
  EXPECT_TRUE(std::filesystem::exists(folder_ + "/\xE8\xA1\xA8.ini"));
  char value[4];
  EXPECT_EQ(GetPrivateProfileString("S", "k", "", value, sizeof value, name.c_str()), 1u);
}

}  // namespace
}  // namespace platform
