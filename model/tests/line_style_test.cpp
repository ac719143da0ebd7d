#include "model/line_style.h"

#include <gtest/gtest.h>

#include <vector>

#include "model/doc_object.h"
#include "model/draw_device.h"
#include "model/font_table.h"
#include "model/renderer.h"
#include "model/texts.h"
#include "platform/file.h"
#include "platform/sjis.h"
#include "platform/synthetic_fonts.h"

namespace {

using Bytes = std::vector<uint8_t>;

// What a line style asked the renderer for.
struct DrawCall {
  bool frame = false;
  int32_t a = 0, b = 0, c = 0, d = 0;  // the two points, or the rectangle
  int32_t kind = 0;
  int32_t width = 0;
  platform::COLORREF colour = 0;
  bool operator==(const DrawCall&) const = default;
};

class RecordingRenderer : public CDocRenderer {
 public:
  explicit RecordingRenderer(CFontTable& table) : CDocRenderer(table) {}

  void DrawLine(int32_t x1, int32_t y1, int32_t x2, int32_t y2, int32_t kind, int32_t width,
                platform::COLORREF colour) override {
    calls.push_back({false, x1, y1, x2, y2, kind, width, colour});
  }
  void DrawFrame(int32_t left, int32_t top, int32_t right, int32_t bottom, int32_t kind,
                 int32_t width, platform::COLORREF colour) override {
    calls.push_back({true, left, top, right, bottom, kind, width, colour});
  }

  std::vector<DrawCall> calls;
};

class LineStyleTest : public ::testing::Test {
 protected:
  platform::SyntheticFontService service_;
  platform::ScopedFontService scope_{service_};
  CFontTable table_;

 public:
  RecordingRenderer renderer{table_};
};

LineStyleAttributes AttributesOf(const CLineStyle& style) {
  LineStyleAttributes attributes;
  attributes.a = 12345;  // overwritten when the style answers
  style.GetAttributes(&attributes);
  return attributes;
}

Bytes Store(CLineStyle& style, int tag, int* answer) {
  platform::CMemFile file;
  {
    platform::CArchive archive(&file, platform::CArchive::kStore);
    *answer = style.Serialize(archive, tag);
    archive.Close();
  }
  return Bytes(file.Data(), file.Data() + file.GetLength());
}

int Load(CLineStyle& style, Bytes bytes, int tag = kFormatOwnBlock) {
  platform::CMemFile file(bytes.data(), bytes.size());
  platform::CArchive archive(&file, platform::CArchive::kLoad);
  return style.Serialize(archive, tag);
}

// A style of B 2, 5 tenths of a point, colour 0x332211, visible, drawn.
const LineStyleAttributes kSample{-1, 2, 5, platform::RGB(0x11, 0x22, 0x33), 1};

// The same style as its stored record, written out byte by byte.
const Bytes kSampleRecord = {
    'L',  'S',  0x00,        // start marker
    0x00,                    // reserved
    0x01, 0x00, 0x00, 0x00,  // int32 1
    0xFF, 0xFF, 0xFF, 0xFF,  // A = -1
    0x02, 0x00, 0x00, 0x00,  // B
    0x05, 0x00, 0x00, 0x00,  // thickness
    0x11, 0x22, 0x33, 0x00,  // colour
    0x01, 0x00, 0x00, 0x00,  // visible
    0x01,                    // drawn flag
    'L',  'E',  0x00,        // end marker
};

TEST(LineStyleTextTest, MarkersAndCellSignatureAreTheSystemTexts) {
  EXPECT_EQ(platform::Utf8ToSjis("LS").value(), kLineStyleStartMark);
  EXPECT_EQ(platform::Utf8ToSjis("LE").value(), kLineStyleEndMark);
  EXPECT_EQ(platform::Utf8ToSjis("TableCellObj").value(), kTableCellSignature);
}

TEST(LineStyleConstructionTest, DefaultsKindDrawnFlagAndGivenAttributes) {
  const CLineStyle plain;
  EXPECT_EQ(AttributesOf(plain), (LineStyleAttributes{-1, 1, 10, 0, 1}));
  EXPECT_EQ(plain.IsDrawn(), 1);
  EXPECT_EQ(plain.GetKind(), kRuleHorizontal);

  const CLineStyle vertical(kRuleVertical, nullptr, 0);
  EXPECT_EQ(AttributesOf(vertical), (LineStyleAttributes{-1, 1, 10, 0, 1}));
  EXPECT_EQ(vertical.IsDrawn(), 0);
  EXPECT_EQ(vertical.GetKind(), kRuleVertical);

  const CLineStyle given(kRuleHorizontal, &kSample, 1);
  EXPECT_EQ(AttributesOf(given), kSample);
}

TEST_F(LineStyleTest, BindKeepsTheRuleSizes) {
  CLineStyle style;
  EXPECT_EQ(style.Bind(&renderer, 60, 90), 1);
  EXPECT_EQ(style.GetLineWidth(), 60);
  EXPECT_EQ(style.GetLineHeight(), 90);
}

struct ChangeCase {
  uint32_t mask;
  LineStyleAttributes expected;
};

class LineStyleChangeTest : public ::testing::TestWithParam<ChangeCase> {};

// The change carries B 3, thickness 20, colour 0xFF and visible 0; A is
// never changed.
TEST_P(LineStyleChangeTest, MaskChoosesTheWords) {
  CLineStyle style;
  style.ApplyChange(LineStyleChange{GetParam().mask, 3, 20, 0xFF, 0});
  EXPECT_EQ(AttributesOf(style), GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(
    Masks, LineStyleChangeTest,
    ::testing::Values(ChangeCase{0x00, {-1, 1, 10, 0, 1}}, ChangeCase{0x01, {-1, 3, 10, 0, 1}},
                      ChangeCase{0x02, {-1, 1, 20, 0, 1}}, ChangeCase{0x04, {-1, 1, 10, 0xFF, 0}},
                      ChangeCase{0x07, {-1, 3, 20, 0xFF, 0}}, ChangeCase{0xF8, {-1, 1, 10, 0, 1}}));

TEST_F(LineStyleTest, LinesFollowTheKindAndFramesTakeTheRectangle) {
  CLineStyle horizontal(kRuleHorizontal, &kSample, 1);
  CLineStyle vertical(kRuleVertical, &kSample, 1);
  horizontal.Bind(&renderer, 60, 90);
  vertical.Bind(&renderer, 60, 90);
  horizontal.DrawLine(100, 200, 900, 700);
  vertical.DrawLine(100, 200, 900, 700);
  horizontal.DrawFrame(10, 20, 30, 40);
  const platform::COLORREF colour = kSample.colour;
  EXPECT_EQ(renderer.calls, (std::vector<DrawCall>{
                                {false, 100, 200, 900, 200, kLineSingle, 5, colour},
                                {false, 100, 200, 100, 700, kLineSingle, 5, colour},
                                {true, 10, 20, 30, 40, kLineSingle, 5, colour},
                            }));
}

struct HiddenCase {
  uint8_t drawn;
  int32_t visible;
  bool bound;
};

class LineStyleHiddenTest : public LineStyleTest,
                            public ::testing::WithParamInterface<HiddenCase> {};

TEST_P(LineStyleHiddenTest, DrawsNothing) {
  LineStyleAttributes attributes = kSample;
  attributes.visible = GetParam().visible;
  CLineStyle style(kRuleHorizontal, &attributes, GetParam().drawn);
  if (GetParam().bound) style.Bind(&renderer, 60, 90);
  style.DrawLine(0, 0, 100, 0);
  style.DrawFrame(0, 0, 100, 100);
  EXPECT_TRUE(renderer.calls.empty());
}

INSTANTIATE_TEST_SUITE_P(Styles, LineStyleHiddenTest,
                         ::testing::Values(HiddenCase{0, 1, true}, HiddenCase{1, 0, true},
                                           HiddenCase{0, 0, true}, HiddenCase{1, 1, false}));

TEST(LineStyleStreamTest, StoresTheRecordByteForByteAndReadsItBack) {
  CLineStyle style(kRuleVertical, &kSample, 1);
  int answer = 0;
  const Bytes bytes = Store(style, kFormatOwnBlock, &answer);
  EXPECT_EQ(answer, 1);
  ASSERT_EQ(bytes.size(), kLineStyleRecordSize);
  EXPECT_EQ(bytes, kSampleRecord);

  CLineStyle loaded;
  EXPECT_EQ(Load(loaded, bytes), 1);
  EXPECT_EQ(AttributesOf(loaded), kSample);
  EXPECT_EQ(loaded.IsDrawn(), 1);
  EXPECT_EQ(loaded.GetKind(), kRuleHorizontal);  // the kind is not part of the record
}

TEST(LineStyleStreamTest, DrawnFlagAndEveryAttributeByteSurviveARoundTrip) {
  const LineStyleAttributes odd{INT32_MIN, -7, 0x7FFFFFFF, 0xFFFFFFFF, 2};
  CLineStyle style(kRuleHorizontal, &odd, 0);
  int answer = 0;
  const Bytes bytes = Store(style, kFormatOwnBlock, &answer);
  CLineStyle loaded;
  EXPECT_EQ(Load(loaded, bytes), 1);
  EXPECT_EQ(AttributesOf(loaded), odd);
  EXPECT_EQ(loaded.IsDrawn(), 0);
}

TEST(LineStyleStreamTest, OtherTagsWriteAndReadNothing) {
  CLineStyle style(kRuleHorizontal, &kSample, 1);
  for (const int tag : {0, kFormatPlainText, kFormatBareText}) {
    int answer = -1;
    EXPECT_TRUE(Store(style, tag, &answer).empty()) << tag;
    EXPECT_EQ(answer, 0) << tag;
    CLineStyle loaded;
    EXPECT_EQ(Load(loaded, kSampleRecord, tag), 0) << tag;
    EXPECT_EQ(AttributesOf(loaded), (LineStyleAttributes{-1, 1, 10, 0, 1})) << tag;
  }
}

struct DamageCase {
  const char* name;
  size_t length;  // bytes of the sample record kept
  size_t offset;  // a byte changed, when below the length
  uint8_t value;
};

class LineStyleDamageTest : public ::testing::TestWithParam<DamageCase> {};

// A damaged record is refused and leaves the style as it was.
TEST_P(LineStyleDamageTest, IsRefused) {
  Bytes bytes(kSampleRecord.begin(), kSampleRecord.begin() + GetParam().length);
  if (GetParam().offset < bytes.size()) bytes[GetParam().offset] = GetParam().value;
  CLineStyle style(kRuleHorizontal, nullptr, 0);
  EXPECT_EQ(Load(style, bytes), 0);
  EXPECT_EQ(AttributesOf(style), (LineStyleAttributes{-1, 1, 10, 0, 1}));
  EXPECT_EQ(style.IsDrawn(), 0);
}

INSTANTIATE_TEST_SUITE_P(Records, LineStyleDamageTest,
                         ::testing::Values(DamageCase{"Empty", 0, 32, 0},
                                           DamageCase{"OneShort", 31, 32, 0},
                                           DamageCase{"HalfRecord", 16, 32, 0},
                                           DamageCase{"StartMarkLetter", 32, 1, 'X'},
                                           DamageCase{"StartMarkNul", 32, 2, 'x'},
                                           DamageCase{"EndMarkLetter", 32, 29, 'l'},
                                           DamageCase{"EndMarkNul", 32, 31, 0x1A}),
                         [](const auto& info) { return std::string(info.param.name); });

}  // namespace
