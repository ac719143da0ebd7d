#include <gtest/gtest.h>

#include <vector>

#include "model/font_table.h"
#include "model/renderer.h"
#include "model/table_object.h"
#include "table_fixture.h"

namespace table_test {
namespace {

struct Stroke {
  int32_t x1, y1, x2, y2, kind, width;
  bool operator==(const Stroke&) const = default;
};

// Keeps what the table asks to be drawn; text runs by the origin they
// were drawn at.
class RecordingRenderer : public CDocRenderer {
 public:
  using CDocRenderer::CDocRenderer;
  void DrawLine(int32_t x1, int32_t y1, int32_t x2, int32_t y2, int32_t kind, int32_t width,
                platform::COLORREF) override {
    lines.push_back({x1, y1, x2, y2, kind, width});
  }
  void DrawFrame(int32_t left, int32_t top, int32_t right, int32_t bottom, int32_t kind,
                 int32_t width, platform::COLORREF) override {
    frames.push_back({left, top, right, bottom, kind, width});
  }
  void DrawTextRun(const TextRun&) override { runOrigins.push_back(GetOffset()); }

  std::vector<Stroke> lines;
  std::vector<Stroke> frames;
  std::vector<platform::POINT> runOrigins;
};

// The 2 x 3 table of the geometry tests, bound to a recording renderer.
class DrawnTable : public ::testing::Test {
 protected:
  void SetUp() override {
    recorder.SetPageFormat(t.f.format);
    table.Initialize(&recorder, &t.f.feedback);
    table.SetReferenceDC(t.f.format.referenceDC);
    const DocObjOptions options = DocObjOptions::ContainerDefaults();
    table.SetOptions(&options);
    CharFormat typing;
    t.f.container.GetCharFormat(&typing);
    table.SetCharFormat(&typing);
    table.SetPageFormat(&t.f.format);
    TableSpec spec;
    spec.texts = {"ab", "", "", "", "", "cd"};
    ASSERT_EQ(t.Load(table, t.Stream(spec)), 1);
  }

  TableFixture t;
  CFontTable fonts;
  RecordingRenderer recorder{fonts};
  CTableObject table;
};

constexpr int32_t kSingle = 16;

TEST_F(DrawnTable, RulesAreCentredInTheirBandsWithTheFrameAround) {
  EXPECT_EQ(table.DrawRuledLines(0, 10000, 0), 1225);
  const std::vector<Stroke> expected = {
      {1560, 87, 3640, 87, kSingle, 10},     {1560, 612, 3640, 612, kSingle, 10},
      {1560, 1137, 3640, 1137, kSingle, 10}, {1625, 0, 1625, 1225, kSingle, 10},
      {2275, 0, 2275, 1225, kSingle, 10},    {2795, 0, 2795, 1225, kSingle, 10},
      {3575, 0, 3575, 1225, kSingle, 10}};
  EXPECT_EQ(recorder.lines, expected);
  EXPECT_EQ(recorder.frames, (std::vector<Stroke>{{1625, 87, 3575, 1138, kSingle, 10}}));
}

TEST_F(DrawnTable, ABandDrawsItsOwnRulesDownToItsBottom) {
  EXPECT_EQ(table.DrawRuledLines(0, 600, 0), 600);
  ASSERT_EQ(recorder.lines.size(), 2u + 4u);
  EXPECT_EQ(recorder.lines[1].y1, 612);  // the rule 525-700 reaches into the band
  EXPECT_EQ(recorder.lines[2].y2, 600);
}

TEST_F(DrawnTable, CellsDrawAtTheirOwnOriginsInsideTheBand) {
  EXPECT_EQ(table.DrawCells(0, 0, 5200, 5000, 0, 0, 0), 1050);
  ASSERT_FALSE(recorder.runOrigins.empty());
  EXPECT_EQ(recorder.runOrigins.front(), (platform::POINT{1690, 175}));
  EXPECT_EQ(recorder.runOrigins.back(), (platform::POINT{2860, 700}));
  EXPECT_EQ(recorder.GetOffset(), (platform::POINT{0, 0}));

  recorder.runOrigins.clear();
  EXPECT_EQ(table.DrawCells(0, 600, 5200, 5000, 0, 0, 0), 1050);
  for (const platform::POINT& origin : recorder.runOrigins) EXPECT_EQ(origin.y, 700);
}

TEST_F(DrawnTable, AnEmptyTableDrawsNoRules) {
  TableFixture u;
  EXPECT_EQ(u.table.DrawRuledLines(0, 1000, 0), 0);
}

}  // namespace
}  // namespace table_test
