#include "converters/rtf_reader.h"

#include <gtest/gtest.h>

#include <string>

namespace {

using converters::rtf::CharFormat;
using converters::rtf::Document;
using converters::rtf::Read;

std::string Text(const Document& document) {
  std::string text;
  for (const auto& run : document.runs) text += run.text;
  return text;
}

TEST(RtfReaderTest, FormatsLandOnTheirCharacters) {
  const auto document = Read(
      "{\\rtf1\\ansi\\ansicpg932{\\fonttbl{\\f0\\fcharset128 \\'82\\'6c\\'82\\'72 "
      "\\'96\\'be\\'92\\'a9;}}{\\colortbl;\\red255\\green0\\blue0;}\\f0\\fs24 a{\\b "
      "\\'8a\\'bf}{\\i b}{\\ul c}{\\fs40 d}{\\cf1 e}{\\strike f}\\par}");
  ASSERT_TRUE(document);
  const std::string face = "\x82\x6C\x82\x72 \x96\xBE\x92\xA9";
  CharFormat plain;
  plain.face = face;
  auto with = [&](auto change) {
    CharFormat format = plain;
    change(format);
    return format;
  };
  struct Expected {
    std::string text;
    CharFormat format;
  };
  const Expected expected[] = {
      {"a", plain},
      {"\x8A\xBF", with([](CharFormat& f) { f.bold = true; })},
      {"b", with([](CharFormat& f) { f.italic = true; })},
      {"c", with([](CharFormat& f) { f.underline = true; })},
      {"d", with([](CharFormat& f) { f.halfPoints = 40; })},
      {"e", with([](CharFormat& f) { f.color = 0x0000FFu; })},
      {"f", with([](CharFormat& f) { f.strike = true; })},
      {"\r\n", plain},
  };
  ASSERT_EQ(document->runs.size(), std::size(expected));
  for (size_t i = 0; i < std::size(expected); ++i) {
    EXPECT_EQ(document->runs[i].text, expected[i].text) << i;
    EXPECT_TRUE(document->runs[i].format == expected[i].format) << i;
  }
}

TEST(RtfReaderTest, TextFromEveryKindOfCharacter) {
  struct Case {
    const char* rtf;
    std::string text;
  };
  const Case cases[] = {
      {"{\\rtf1\\u12354?x}", "\x82\xA0x"},
      {"{\\rtf1\\uc0\\u12354 ?}", "\x82\xA0?"},
      {"{\\rtf1\\uc2\\u28450\\'8a\\'bfz}", "\x8A\xBFz"},
      {"{\\rtf1\\u-3?x}", "?x"},
      {"{\\rtf1\\ansi\\ansicpg932 \\'82\\'a0}", "\x82\xA0"},
      {"{\\rtf1\\ansi\\ansicpg1252 caf\\'e9}", "caf?"},
      {"{\\rtf1\\ansicpg1252{\\fonttbl{\\f1\\fcharset128 M;}}\\f1 \\'82\\'a0}", "\x82\xA0"},
      {"{\\rtf1 a\\par b\\line c\\page d\\tab e}", "a\r\nb\r\nc\fd\te"},
      {"{\\rtf1 \\{\\}\\\\\\~}", "{}\\ "},
      {"{\\rtf1{\\*\\generator x;}{\\info{\\title t}}{\\stylesheet{s}}{\\*\\unknown u}a}", "a"},
      {"{\\rtf1 raw\r\n text}", "raw text"},
  };
  for (const Case& c : cases) {
    const auto document = Read(c.rtf);
    ASSERT_TRUE(document) << c.rtf;
    EXPECT_EQ(Text(*document), c.text) << c.rtf;
  }
}

TEST(RtfReaderTest, ThePageStyleIsRead) {
  const auto document = Read(
      "{\\rtf1\\paperw11906\\paperh16838\\margl1800\\margr1440\\margt720\\margb360"
      "\\landscape x}");
  ASSERT_TRUE(document);
  const auto& page = document->page;
  EXPECT_EQ(page.paperWidth, 11906);
  EXPECT_EQ(page.paperHeight, 16838);
  EXPECT_EQ(page.marginLeft, 1800);
  EXPECT_EQ(page.marginRight, 1440);
  EXPECT_EQ(page.marginTop, 720);
  EXPECT_EQ(page.marginBottom, 360);
  EXPECT_TRUE(page.landscape);
  EXPECT_FALSE(Read("{\\rtf1 x}")->page.paperWidth);
}

TEST(RtfReaderTest, DamagedDocumentsAreRefused) {
  const std::string tooDeep = "{\\rtf1" + std::string(600, '{') + std::string(601, '}');
  const std::string cases[] = {"",      "hello",          "{\\rt", "{\\rtf1 abc", "{\\rtf1 {\\b x}",
                               tooDeep, "\\'82{\\rtf1 x}"};
  for (const std::string& c : cases) EXPECT_FALSE(Read(c)) << c;
}

}  // namespace
