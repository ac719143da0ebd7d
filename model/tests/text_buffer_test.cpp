#include "model/text_buffer.h"

#include <gtest/gtest.h>

#include <string>

namespace {

TEST(GlobalTextBufferTest, GrowsWhenTheTextReachesTheCapacityAndResetShrinksIt) {
  CGlobalTextBuffer buffer;
  EXPECT_EQ(buffer.GetCapacity(), 128u);
  const std::string first(127, 'a');
  buffer.Append(first.data(), first.size());
  EXPECT_EQ(buffer.GetCapacity(), 128u);
  buffer.AppendChar('b');  // the 128th byte leaves no room for the NUL
  EXPECT_EQ(buffer.GetCapacity(), 256u);
  EXPECT_EQ(buffer.GetLength(), 128u);
  EXPECT_EQ(std::string(buffer.GetText()), first + "b");

  buffer.Reset();
  EXPECT_EQ(buffer.GetCapacity(), 128u);
  EXPECT_EQ(buffer.GetLength(), 0u);
  EXPECT_STREQ(buffer.GetText(), "");
}

TEST(GlobalTextBufferTest, GrowthIsCutToAMultipleOfFour) {
  CGlobalTextBuffer buffer;
  const std::string text(130, 'x');
  buffer.Append(text.data(), text.size());
  EXPECT_EQ(buffer.GetCapacity(), 256u);  // (130 + 128) cut to 256
  buffer.Append("\x82\xA0", 2);
  buffer.Append(text.data(), 125);
  EXPECT_EQ(buffer.GetCapacity(), 384u);  // (257 + 128) cut to 384
  EXPECT_EQ(buffer.GetLength(), 257u);
  EXPECT_EQ(buffer.GetText()[130], '\x82');
}

TEST(GlobalTextBufferTest, ProcessBufferStartsEmpty) {
  GlobalTextBuffer().Reset();
  GlobalTextBuffer().Append("ab", 2);
  EXPECT_STREQ(GlobalTextBuffer().GetText(), "ab");
  GlobalTextBuffer().Reset();
  EXPECT_EQ(GlobalTextBuffer().GetLength(), 0u);
}

TEST(StrCopyEndTest, AnswersTheCopiedNulSoCopiesChain) {
  char target[16] = {};
  char* end = StrCopyEnd(target, "ab");
  EXPECT_EQ(end, target + 2);
  end = StrCopyEnd(end, "cd");
  EXPECT_STREQ(target, "abcd");
  EXPECT_EQ(*end, '\0');
}

}  // namespace
