#include "engine/texts.h"

#include <gtest/gtest.h>

#include <string>

#include "platform/sjis.h"

namespace {

struct Text {
  const char* bytes;
  const char* utf8;
};

class EngineTexts : public ::testing::TestWithParam<Text> {};

TEST_P(EngineTexts, AreTheShiftJisFormOfTheirReadableText) {
  EXPECT_EQ(std::string(GetParam().bytes), platform::Utf8ToSjis(GetParam().utf8));
}

INSTANTIATE_TEST_SUITE_P(MoveAnnouncements, EngineTexts,
                         ::testing::Values(Text{kPhraseNext, "ネクスト"},
                                           Text{kPhraseBack, "バック"}, Text{kPhraseLeft, "左"},
                                           Text{kPhraseRight, "右"}, Text{kPhraseJump, "ジャンプ"},
                                           Text{kPhrasePageLocation, " %dの%dの%d"},
                                           Text{kPhraseColumnLocation, " %d"}));

}  // namespace
