#include "converters/html_to_rtf.h"

#include <gtest/gtest.h>

#include <string>

#include "converters/rtf_reader.h"

namespace {

namespace rtf = converters::rtf;

std::string Text(const rtf::Document& document) {
  std::string text;
  for (const auto& run : document.runs) text += run.text;
  return text;
}

TEST(HtmlToRtfTest, PagesInEitherEncodingKeepTheirTextAndFormats) {
  struct Case {
    const char* name;
    std::string html;
  };
  const Case cases[] = {
      {"utf-8",
       "<html><head><meta charset=\"utf-8\"><title>t</title><style>p{}</style></head><body>"
       "<p>\xE6\xBC\xA2\xE5\xAD\x97 <b>\xE5\xA4\xAA</b><i>i</i><u>u</u></p><p>a<br>b</p>"
       "</body></html>"},
      {"shift_jis",
       "<html><head><meta http-equiv=\"Content-Type\" content=\"text/html; charset=Shift_JIS\">"
       "<title>t</title></head><body><p>\x8A\xBF\x8E\x9A <strong>\x91\xBE</strong><em>i</em>"
       "<u>u</u></p><div>a<br>b</div></body></html>"},
  };
  for (const Case& c : cases) {
    const auto converted = converters::html::ToRtf(c.html);
    ASSERT_TRUE(converted) << c.name;
    const auto document = rtf::Read(*converted);
    ASSERT_TRUE(document) << c.name;
    EXPECT_EQ(Text(*document), "\x8A\xBF\x8E\x9A \x91\xBEiu\r\na\r\nb\r\n") << c.name;
    ASSERT_GE(document->runs.size(), 4u) << c.name;
    EXPECT_EQ(document->runs[1].text, "\x91\xBE");
    EXPECT_TRUE(document->runs[1].format.bold);
    EXPECT_EQ(document->runs[2].text, "i");
    EXPECT_TRUE(document->runs[2].format.italic);
    EXPECT_EQ(document->runs[3].text, "u");
    EXPECT_TRUE(document->runs[3].format.underline);
  }
}

TEST(HtmlToRtfTest, RtfSpecialCharactersAreEscaped) {
  const auto converted = converters::html::ToRtf("<p>{a}\\b</p>");
  ASSERT_TRUE(converted);
  const auto document = rtf::Read(*converted);
  ASSERT_TRUE(document);
  EXPECT_EQ(Text(*document), "{a}\\b\r\n");
}

TEST(HtmlToRtfTest, NothingIsNoPage) { EXPECT_FALSE(converters::html::ToRtf("")); }

}  // namespace
