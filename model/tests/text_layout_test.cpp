#include "model/text_layout.h"

#include <gtest/gtest.h>

#include "text_fixture.h"

namespace text_test {
namespace {

struct RecordedRun {
  int32_t x;
  int32_t y;
  std::string text;
  std::vector<int32_t> widths;
  int32_t effect;
  platform::COLORREF colour;
  platform::COLORREF secondColour;
};

struct RecordedLine {
  int32_t kind;
  int32_t width;
};

// Records what the layout asks the renderer to draw.
class RecordingRenderer : public CDocRenderer {
 public:
  explicit RecordingRenderer(CFontTable& table) : CDocRenderer(table) {}
  void DrawTextRun(const TextRun& run) override {
    runs.push_back({run.x, run.y, std::string(run.text, run.count),
                    std::vector<int32_t>(run.widths, run.widths + run.count), run.effect,
                    run.colour, run.secondColour});
  }
  void DrawChar(int32_t x, int32_t, uint8_t code, platform::COLORREF) override {
    marks.push_back({x, code});
  }
  void DrawLine(int32_t, int32_t, int32_t, int32_t, int32_t kind, int32_t width,
                platform::COLORREF) override {
    lines.push_back({kind, width});
  }
  void ShadeRect(int32_t, int32_t, int32_t, int32_t, int32_t pattern, platform::COLORREF) override {
    shades.push_back(pattern);
  }

  std::vector<RecordedRun> runs;
  std::vector<std::pair<int32_t, uint8_t>> marks;
  std::vector<RecordedLine> lines;
  std::vector<int32_t> shades;
};

class LayoutTest : public ::testing::Test {
 protected:
  LayoutTest() : t(4), recorder(table) {
    layout.CopyFrom(t.navigator);
    layout.Init(&recorder, &t.navigator, &t.formats);
  }

  void DrawAll() {
    CVedTextPos start;
    CVedTextPos end;
    t.navigator.GetStartPosition(&start);
    t.navigator.GetEndPosition(&end);
    TextNodes from;
    TextNodes to;
    t.navigator.MapPosition(&start, &from);
    t.navigator.MapPosition(&end, &to);
    DrawResult result;
    ASSERT_EQ(layout.DrawRange(from, to, 0, 0, &result), 1);
    height = result.height;
  }

  TextFixture t;
  CFontTable table;
  RecordingRenderer recorder;
  CTextLayout layout;
  int32_t height = 0;
};

TEST_F(LayoutTest, LineOfOnlyABreakDrawsAMarkAndNoRun) {
  t.Type("\r");
  DrawAll();
  EXPECT_TRUE(recorder.runs.empty());
  ASSERT_EQ(recorder.marks.size(), 2u);
  EXPECT_EQ(recorder.marks[0].second, kMarkParagraphEnd);
  EXPECT_EQ(recorder.marks[1].second, kMarkEndOfText);
  EXPECT_EQ(height, 2 * (kLineHeight + kLineGap));
}

TEST_F(LayoutTest, ColourChangeSplitsRunsAndReverseSwapsColours) {
  t.Type("abc");
  CharFormat red;
  red.mask = kMaskColor;
  red.color = platform::RGB(255, 0, 0);
  EditResult result;
  const CVedTextPos b = t.CellAt(1);
  t.editor.ApplyCharFont(red, &b, &b, &result);
  CharDesign reverse{kMaskReverse, 0, 1, 0};
  const CVedTextPos c = t.CellAt(2);
  t.editor.ApplyDesign(reverse, &c, &c, &result);
  DrawAll();
  ASSERT_EQ(recorder.runs.size(), 3u);
  EXPECT_EQ(recorder.runs[0].text, "a");
  EXPECT_EQ(recorder.runs[1].colour, platform::RGB(255, 0, 0));
  EXPECT_EQ(recorder.runs[2].colour, 0xFFFFFFu);  // white on its own colour
  EXPECT_EQ(recorder.runs[2].secondColour, 0u);
  EXPECT_EQ(recorder.runs[0].y, kBaseline);
}

TEST_F(LayoutTest, UnderlineStylesChangeTheThickness) {
  t.Type("abc");
  const uint8_t kinds[] = {17, 32, 18};
  EditResult result;
  for (int i = 0; i < 3; ++i) {
    CharDecoration d{kMaskUnderline, kinds[i]};
    const CVedTextPos at = t.CellAt(i);
    t.editor.ApplyDecoration(d, &at, &at, &result);
  }
  DrawAll();
  ASSERT_EQ(recorder.lines.size(), 3u);
  EXPECT_LT(recorder.lines[0].width, recorder.lines[1].width);
  EXPECT_GT(recorder.lines[2].width, recorder.lines[1].width);
  EXPECT_EQ(recorder.lines[1].kind, 32);
  EXPECT_EQ(recorder.lines[0].kind, 16);
}

TEST_F(LayoutTest, ReverseWithShadingIsShadedNotSwapped) {
  t.Type("a");
  EditResult result;
  const CVedTextPos a = t.CellAt(0);
  CharDesign reverse{kMaskReverse, 0, 1, 0};
  CharDecoration shade{kMaskShading, 0, 2};
  t.editor.ApplyDesign(reverse, &a, &a, &result);
  t.editor.ApplyDecoration(shade, &a, &a, &result);
  DrawAll();
  ASSERT_EQ(recorder.runs.size(), 1u);
  EXPECT_EQ(recorder.runs[0].colour, 0u);
  EXPECT_EQ(recorder.shades, (std::vector<int32_t>{kShadeSolid, 2}));
}

// One pushed-in line, measured three ways: the widths the composer wrote
// back, the caret rectangles, and the x positions the runs are drawn at.
TEST_F(LayoutTest, PushedInLineAgreesAcrossComposerCaretAndDrawing) {
  t.Type("\x81\x41\x81\x41\x82\xA0\x82\xA0\x81\x42\x82\xA2");
  DrawAll();
  ASSERT_FALSE(recorder.runs.empty());
  const RecordedRun& run = recorder.runs[0];
  ASSERT_EQ(run.text.size(), 10u);  // five double-byte cells on the first line
  int32_t drawnX = run.x;
  for (int i = 0; i < 5; ++i) {
    const CVedTextPos pos = t.CellAt(i);
    const CharCell cell = t.CellRecord(pos);
    TextNodes n;
    t.navigator.MapPosition(&pos, &n);
    platform::RECT rect;
    ASSERT_EQ(t.navigator.GetCellRect(n.paragraph, n.line, n.cell, 1, &rect), 1);
    EXPECT_EQ(rect.left, drawnX) << i;
    EXPECT_EQ(run.widths[2 * i], cell.glyphWidth + cell.cellWidth) << i;
    EXPECT_EQ(rect.right - rect.left, run.widths[2 * i]) << i;
    drawnX += run.widths[2 * i];
  }
  EXPECT_EQ(drawnX, 4 * kWide);
}

}  // namespace
}  // namespace text_test

namespace text_test {
namespace {

// Through the real renderer: the glyph blocks of the synthetic face leave
// ink where the layout places the characters, and nothing beyond them.
TEST(LayoutPixelTest, RunsInkTheCellsTheyCover) {
  TextFixture t(4);
  t.Type("\x82\xA0\x82\xA0");
  CDocRenderer& renderer = t.renderer();
  DisplaySettings paper;
  paper.background = 0xFFFFFF;
  paper.text = 0x000000;
  renderer.SetDisplaySettings(paper);
  platform::UniqueDC dc = platform::CreateImageDC(200, 60, 96, 96);
  CTextLayout layout;
  layout.CopyFrom(t.navigator);
  layout.Init(&renderer, &t.navigator, &t.formats);
  renderer.BeginPage(dc.get(), kDrawingScreen);
  CVedTextPos start;
  t.navigator.GetStartPosition(&start);
  TextNodes nodes;
  t.navigator.MapPosition(&start, &nodes);
  DrawResult result;
  ASSERT_EQ(layout.DrawRange(nodes, nodes, 0, 0, &result), 1);
  renderer.EndDraw();
  // At 96 dpi a twip is 1/15 pixel: the first cell spans 0-16 px, the
  // second 17-33 px; the baseline lies at 240 twips = 16 px.
  auto inked = [&](int x, int y) { return platform::GetPixel(dc.get(), x, y) != 0xFFFFFF; };
  EXPECT_TRUE(inked(8, 12));
  EXPECT_TRUE(inked(26, 12));
  EXPECT_FALSE(inked(60, 12));
}

}  // namespace
}  // namespace text_test
