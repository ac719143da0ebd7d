#include "platform/sjis.h"

#include <gtest/gtest.h>

namespace platform {
namespace {

TEST(SjisTest, LeadBytesFollowTheRangeAsked) {
  EXPECT_TRUE(IsLeadByte(0x81));
  EXPECT_TRUE(IsLeadByte(0x9F));
  EXPECT_FALSE(IsLeadByte(0xA0));
  EXPECT_FALSE(IsLeadByte(0xDF));  // half-width katakana
  EXPECT_TRUE(IsLeadByte(0xE0));
  EXPECT_TRUE(IsLeadByte(0xFC));
  EXPECT_FALSE(IsLeadByte(0xFD));
  EXPECT_TRUE(IsLeadByte(0xFE, LeadByteRange{0xE0, 0xFE}));
}

TEST(SjisTest, CharacterCodesAreLeadTimes256PlusTrail) {
  const std::string text = "a\x82\xA0\xB1";
  EXPECT_EQ(CharCodeAt(text, 0), 'a');
  EXPECT_EQ(CharCodeAt(text, 1), 0x82A0);
  EXPECT_EQ(CharLengthAt(text, 1), 2u);
  EXPECT_EQ(CharCodeAt(text, 3), 0xB1);
  // A lead byte at the very end stands alone.
  EXPECT_EQ(CharLengthAt("\x82", 0), 1u);
}

TEST(SjisTest, FindSkipsTrailBytesThatLookLikeSeparators) {
  // "表" is 0x95 0x5C: its trail byte is a backslash.
  const std::string text =
      "\x95\x5C"
      "a\\b";
  EXPECT_EQ(FindDbcs(text, "\\"), 3u);
  EXPECT_EQ(FindDbcs(text,
                     "\x5C"
                     "a"),
            std::string::npos);
  EXPECT_EQ(FindDbcs(text, "b", 4), 4u);
}

TEST(SjisTest, SplitKeepsDoubleByteCharactersWhole) {
  const std::string text = "\x95\x5C\\x\\";
  const auto parts = SplitDbcs(text, '\\');
  ASSERT_EQ(parts.size(), 3u);
  EXPECT_EQ(parts[0], "\x95\x5C");
  EXPECT_EQ(parts[1], "x");
  EXPECT_EQ(parts[2], "");
}

TEST(SjisTest, ConvertsThroughCp932) {
  // U+2460 CIRCLED DIGIT ONE exists in CP932 only, not in plain Shift_JIS.
  EXPECT_EQ(Utf8ToSjis("\xE2\x91\xA0"), std::optional<std::string>("\x87\x40"));
  EXPECT_EQ(SjisToUtf8("\x82\xA0"), std::optional<std::string>("\xE3\x81\x82"));
  EXPECT_EQ(SjisToUtf8("\x82"), std::nullopt);
}

}  // namespace
}  // namespace platform
