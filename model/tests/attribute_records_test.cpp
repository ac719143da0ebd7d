#include "model/attribute_records.h"

#include <gtest/gtest.h>

#include <cstring>

namespace {

CharFormat Mincho105() {
  CharFormat f;
  std::strcpy(f.face, "\x82\x6C\x82\x72\x20\x96\xBE\x92\xA9");  // ＭＳ 明朝
  f.size = 105;
  f.heightScale = 100;
  f.widthScale = 100;
  f.color = platform::RGB(0, 0, 0);
  return f;
}

TEST(AttributeRecordsTest, MaskBitsOfTheCharacterKindsNeverCollide) {
  EXPECT_EQ(kMaskCharFormatAll & kMaskDecorationAll, 0);
  EXPECT_EQ(kMaskCharFormatAll & kMaskDesignAll, 0);
  EXPECT_EQ(kMaskDecorationAll & kMaskDesignAll, 0);
  EXPECT_EQ(kMaskAlignment | kMaskLineGap | kMaskParagraphGap | kMaskFirstIndent | kMaskLeftIndent |
                kMaskRightIndent,
            kMaskParaFormatAll);
}

TEST(AttributeRecordsTest, SetterCopiesOnlyMaskedFields) {
  CharFormat target = Mincho105();
  CharFormat source;
  std::strcpy(source.face, "Other");
  source.size = 200;
  source.bold = 1;
  source.widthScale = 50;

  source.mask = 0;
  ApplyMasked(target, source);
  EXPECT_EQ(target.size, 105);
  EXPECT_EQ(target.bold, 0);

  source.mask = kMaskSize | kMaskBold;
  ApplyMasked(target, source);
  EXPECT_EQ(target.size, 200);
  EXPECT_EQ(target.bold, 1);
  EXPECT_EQ(target.widthScale, 100);
  EXPECT_STREQ(target.face, Mincho105().face);

  source.mask = kMaskEveryField;
  ApplyMasked(target, source);
  EXPECT_STREQ(target.face, "Other");
  EXPECT_EQ(target.widthScale, 50);
}

TEST(AttributeRecordsTest, RangeGetterKeepsOnlyCommonFields) {
  CharFormat common = Mincho105();
  common.mask = kMaskCharFormatAll;
  CharFormat bolder = Mincho105();
  bolder.bold = 1;
  CharFormat recoloured = Mincho105();
  recoloured.color = platform::RGB(255, 0, 0);

  NarrowCommon(common, bolder);
  NarrowCommon(common, recoloured);
  EXPECT_EQ(common.mask, kMaskCharFormatAll & ~(kMaskBold | kMaskColor));
}

TEST(AttributeRecordsTest, DecorationDesignAndParagraphFollowTheSameRules) {
  CharDecoration decoration{kMaskDecorationAll, 1, 2, 3, 4, 5};
  CharDecoration underlineOnly{kMaskUnderline, 9, 9, 9, 9, 9};
  ApplyMasked(decoration, underlineOnly);
  EXPECT_EQ(decoration.underline, 9);
  EXPECT_EQ(decoration.shading, 2);
  NarrowCommon(decoration, CharDecoration{0, 9, 2, 0, 4, 5});
  EXPECT_EQ(decoration.mask, kMaskDecorationAll & ~kMaskStrikeOut);

  CharDesign design{kMaskDesignAll, 0, 0, 0};
  ApplyMasked(design, CharDesign{kMaskShadow, 1, 1, 1});
  EXPECT_EQ(design.shadow, 1);
  EXPECT_EQ(design.hollow, 0);
  NarrowCommon(design, CharDesign{0, 0, 1, 1});
  EXPECT_EQ(design.mask, kMaskHollow | kMaskShadow);

  ParaFormat para{kMaskParaFormatAll, 1, 10, 20, 30, 40, 50};
  ApplyMasked(para, ParaFormat{kMaskLeftIndent | kMaskAlignment, 3, 0, 0, 0, 99, 0});
  EXPECT_EQ(para.alignment, 3);
  EXPECT_EQ(para.leftIndent, 99);
  EXPECT_EQ(para.lineGap, 10);
  NarrowCommon(para, ParaFormat{0, 3, 10, 21, 30, 99, 50});
  EXPECT_EQ(para.mask, kMaskParaFormatAll & ~kMaskParagraphGap);
}

}  // namespace
