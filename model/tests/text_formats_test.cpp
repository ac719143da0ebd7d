#include "model/text_formats.h"

#include <gtest/gtest.h>

#include "text_fixture.h"

namespace text_test {
namespace {

struct FontFieldCase {
  const char* name;
  int32_t mask;
  void (*set)(CharFormat&);
  bool valid;
};

class SetTypingFormatTest : public ::testing::TestWithParam<FontFieldCase> {};

TEST_P(SetTypingFormatTest, ValidatesOnlyMaskedFields) {
  const FontFieldCase& c = GetParam();
  TextFixture t;
  CharFormat before;
  t.formats.GetTypingFormat(&before);
  CharFormat format = before;
  c.set(format);
  format.mask = c.mask;
  EXPECT_EQ(t.formats.SetTypingFormat(format), c.valid ? 1 : 0);
  if (!c.valid) {
    CharFormat after;
    t.formats.GetTypingFormat(&after);
    EXPECT_EQ(std::memcmp(&after, &before, sizeof after), 0);
  }
}

INSTANTIATE_TEST_SUITE_P(
    Fields, SetTypingFormatTest,
    ::testing::Values(
        FontFieldCase{"Size69", kMaskSize, [](CharFormat& f) { f.size = 69; }, false},
        FontFieldCase{"Size70", kMaskSize, [](CharFormat& f) { f.size = 70; }, true},
        FontFieldCase{"Size720", kMaskSize, [](CharFormat& f) { f.size = 720; }, true},
        FontFieldCase{"Size721", kMaskSize, [](CharFormat& f) { f.size = 721; }, false},
        FontFieldCase{"Size721Unmasked", kMaskBold, [](CharFormat& f) { f.size = 721; }, true},
        FontFieldCase{"Scale201", kMaskWidthScale, [](CharFormat& f) { f.widthScale = 201; },
                      false},
        FontFieldCase{"ScaleZero", kMaskHeightScale, [](CharFormat& f) { f.heightScale = 0; },
                      true},
        FontFieldCase{"Bold2", kMaskBold, [](CharFormat& f) { f.bold = 2; }, false},
        FontFieldCase{"Italic2", kMaskItalic, [](CharFormat& f) { f.italic = 2; }, false},
        FontFieldCase{"Placement4", kMaskPlacement, [](CharFormat& f) { f.placement = 4; }, false},
        FontFieldCase{"Placement3", kMaskPlacement, [](CharFormat& f) { f.placement = 3; }, true},
        FontFieldCase{"EmptyFace", kMaskFace, [](CharFormat& f) { f.face[0] = '\0'; }, false},
        FontFieldCase{"FaceNoFontRealises", kMaskFace,
                      [](CharFormat& f) { std::strcpy(f.face, "No Such Face"); }, false}),
    [](const auto& info) { return std::string(info.param.name); });

struct DecorationCase {
  int32_t mask;
  CellDecoration decoration;
  bool valid;
};

class DecorationValidationTest : public ::testing::TestWithParam<DecorationCase> {};

TEST_P(DecorationValidationTest, Checks) {
  const DecorationCase& c = GetParam();
  EXPECT_EQ(CTextFormats::ValidateDecoration(c.decoration, c.mask), c.valid ? 1 : 0);
}

INSTANTIATE_TEST_SUITE_P(Values, DecorationValidationTest,
                         ::testing::Values(DecorationCase{kMaskUnderline, {17, 0, 0, 0, 0}, true},
                                           DecorationCase{kMaskUnderline, {64, 0, 0, 0, 0}, true},
                                           DecorationCase{kMaskUnderline, {1, 0, 0, 0, 0}, false},
                                           DecorationCase{kMaskStrikeOut, {0, 48, 0, 0, 0}, false},
                                           DecorationCase{kMaskStrikeOut, {0, 32, 0, 0, 0}, true},
                                           DecorationCase{kMaskEnclosure, {0, 0, 2, 0, 0}, false},
                                           DecorationCase{kMaskShading, {0, 0, 0, 3, 0}, false},
                                           DecorationCase{kMaskShading, {0, 0, 0, 2, 0}, true},
                                           DecorationCase{kMaskUnderline, {0, 48, 2, 3, 0}, true}));

TEST(TextFormatsTest, ParagraphAndDesignValidation) {
  ParagraphInfo p;
  p.alignment = 0;
  EXPECT_EQ(CTextFormats::ValidateParaFormat(p, kMaskAlignment), 0);
  p.alignment = 4;
  EXPECT_EQ(CTextFormats::ValidateParaFormat(p, kMaskAlignment), 0);
  p.alignment = 2;
  p.leftIndent = -1;
  p.lineGap = -50;
  EXPECT_EQ(CTextFormats::ValidateParaFormat(p, kMaskAlignment | kMaskLineGap), 1);
  EXPECT_EQ(CTextFormats::ValidateParaFormat(p, kMaskLeftIndent), 0);

  EXPECT_EQ(CTextFormats::ValidateDesign(CellDesign{0, 2, 0, 0}, kMaskHollow), 0);
  EXPECT_EQ(CTextFormats::ValidateDesign(CellDesign{0, 2, 0, 0}, kMaskShadow), 1);
}

TEST(TextFormatsTest, PageFormatsNeedAReferenceDcAndAWritingDirection) {
  TextFixture t;
  PageFormat format = t.page;
  EXPECT_EQ(t.formats.CheckPageFormat(format), 1);
  format.vertical = 2;
  EXPECT_EQ(t.formats.CheckPageFormat(format), 0);
  format.vertical = 1;
  format.referenceDC = nullptr;
  EXPECT_EQ(t.formats.CheckPageFormat(format), 0);
}

TEST(TextFormatsTest, SameFormatComparesOnlyMaskedFields) {
  CharFormat a;
  CharFormat b;
  a.mask = kMaskSize;
  a.size = 105;
  b.size = 105;
  b.bold = 1;
  EXPECT_EQ(CTextFormats::IsSameCharFormat(a, b), 1);
  b.size = 100;
  EXPECT_EQ(CTextFormats::IsSameCharFormat(a, b), 0);
  a.mask = kMaskEveryField;
  b = a;
  b.mask = kMaskSize;
  EXPECT_EQ(CTextFormats::IsSameCharFormat(a, b), 0);
}

TEST(TextFormatsTest, CellTemplateTakesTheTypingFontAndTheGap) {
  TextFixture t;
  CharCell cell;
  ASSERT_EQ(t.formats.MakeCellTemplate(nullptr, nullptr, nullptr, &cell), 1);
  EXPECT_GE(cell.fontId, 0);
  EXPECT_EQ(cell.glyphWidth, (kAscent + kDescent) / 2);
  EXPECT_EQ(cell.cellWidth, kGap);
  std::vector<int32_t> widths;
  ASSERT_TRUE(t.formats.GetCharWidths(cell.fontId, "a\x82\xA0", &widths));
  EXPECT_EQ(widths, (std::vector<int32_t>{kHalf, kEm}));
  EXPECT_FALSE(t.formats.GetCharWidths(-1, "a", &widths));
  EXPECT_EQ(t.formats.GetPunctuationSpace(cell.fontId, 0x8142), kHalf);
  EXPECT_EQ(t.formats.GetPunctuationSpace(cell.fontId, 0x8175), -kHalf);
}

}  // namespace
}  // namespace text_test
