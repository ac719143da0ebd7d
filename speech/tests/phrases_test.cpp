#include "speech/phrases.h"

#include <gtest/gtest.h>

#include "platform/sjis.h"

namespace {

struct Phrase {
  const char* bytes;
  const char* utf8;
};

class PhrasesTest : public ::testing::TestWithParam<Phrase> {};

TEST_P(PhrasesTest, BytesAreTheCp932OfTheReadableText) {
  EXPECT_EQ(platform::Utf8ToSjis(GetParam().utf8), std::string(GetParam().bytes));
}

INSTANTIATE_TEST_SUITE_P(Spoken, PhrasesTest,
                         ::testing::Values(Phrase{phrases::kPageBreak, "改ページ"},
                                           Phrase{phrases::kJisCode, "ジスコード"},
                                           Phrase{phrases::kShiftJisCode, "シフトジスコード"},
                                           Phrase{phrases::kFullWidthSpace, "　"},
                                           Phrase{phrases::kMediaFolder, "\\Media"}));

}  // namespace
