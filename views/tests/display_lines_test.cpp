// Which pages show where: the records of both geometries, the start
// origin, the hit test of a window row, and the page metrics behind them.
#include <gtest/gtest.h>

#include <vector>

#include "display_lines_fixture.h"
#include "platform/archive.h"
#include "platform/file.h"
#include "platform/module.h"

namespace views_test {
namespace {

TEST_F(DisplayLinesTest, PageMetricsFollowTheStyleTheZoomAndTheViewMode) {
  struct MetricsCase {
    int32_t pageView;
    int32_t zoom;
    int32_t paperWidth, paperHeight, areaLeft, areaTop, gapX, gapY, offsetX, offsetY;
  };
  for (const MetricsCase& c : {
           MetricsCase{kPageView, 1, 794, 1123, 76, 113, 19, 19, 0, 0},
           MetricsCase{kPageView, 2, 1587, 2245, 151, 227, 38, 38, 0, 0},
           // The margin left of the text stays at its unzoomed 5 mm.
           MetricsCase{kContinuous, 1, 794, 1123, 76, 113, 0, 0, 57, 113},
           MetricsCase{kContinuous, 2, 1587, 2245, 151, 227, 0, 0, 132, 227},
       }) {
    Show(c.pageView, c.zoom, 600, 400);
    const SurfacePageMetrics& m = surface.page;
    EXPECT_EQ((std::vector<int32_t>{m.paperWidth, m.paperHeight, m.textArea.left, m.textArea.top,
                                    m.gapX, m.gapY, m.offsetX, m.offsetY}),
              (std::vector<int32_t>{c.paperWidth, c.paperHeight, c.areaLeft, c.areaTop, c.gapX,
                                    c.gapY, c.offsetX, c.offsetY}))
        << c.pageView << " zoom " << c.zoom;
    EXPECT_EQ(m.linePitch, doc_root_test::kLinePitch);
  }
}

TEST_F(DisplayLinesTest, RebuildListsThePagesThatShowFromTheOrigin) {
  struct RebuildCase {
    const char* name;
    int32_t pageView, zoom, width, height, x, y, page;
    std::vector<DisplayLine> expected;
  };
  const std::vector<RebuildCase> cases = {
      {"the top of page 1 with its gap",
       kPageView,
       1,
       600,
       400,
       -19,
       -19,
       1,
       {{{0, 0, 581, 381}, 1, -19, -19, 1142}}},
      {"the bottom of page 1, the gap and the top of page 2",
       kPageView,
       1,
       600,
       400,
       0,
       1000,
       1,
       {{{0, 1000, 600, 1123}, 1, 0, 1000, 1142}, {{0, 0, 600, 258}, 2, 0, -142, 1142}}},
      {"the last page has nothing below it",
       kPageView,
       1,
       600,
       400,
       0,
       1000,
       3,
       {{{0, 1000, 600, 1123}, 3, 0, 1000, 1142}}},
      {"a page past the last is the last",
       kPageView,
       1,
       600,
       400,
       0,
       1000,
       9,
       {{{0, 1000, 600, 1123}, 3, 0, 1000, 1142}}},
      {"a view taller than a page shows the following pages",
       kPageView,
       1,
       600,
       2500,
       0,
       -19,
       1,
       {{{0, 0, 600, 1123}, 1, 0, -19, 1142},
        {{0, 0, 600, 1123}, 2, 0, -1161, 1142},
        {{0, 0, 600, 197}, 3, 0, -2303, 1142}}},
      {"a view that starts in the gap",
       kPageView,
       1,
       600,
       400,
       0,
       1130,
       1,
       {{{}, 1, 0, 1130, 1142}, {{0, 0, 600, 388}, 2, 0, -12, 1142}}},
      {"zoom 2 doubles the page",
       kPageView,
       2,
       600,
       400,
       0,
       2000,
       1,
       {{{0, 2000, 600, 2245}, 1, 0, 2000, 2283}, {{0, 0, 600, 117}, 2, 0, -283, 2283}}},
      {"continuous: the margins bound the origin",
       kContinuous,
       1,
       600,
       400,
       0,
       0,
       1,
       {{{57, 113, 657, 513}, 1, 57, 113, 467}}},
      {"continuous: used heights are stacked",
       kContinuous,
       1,
       600,
       400,
       57,
       400,
       1,
       {{{57, 400, 657, 580}, 1, 57, 400, 467}, {{57, 113, 657, 333}, 2, 57, -67, 467}}},
      {"continuous: an origin past the used height goes back a line",
       kContinuous,
       1,
       600,
       400,
       57,
       600,
       3,
       {{{57, 207, 657, 230}, 3, 57, 207, 117}}},
      {"continuous at zoom 2",
       kContinuous,
       2,
       600,
       400,
       132,
       900,
       1,
       {{{132, 900, 732, 1160}, 1, 132, 900, 933}, {{132, 227, 732, 367}, 2, 132, -33, 933}}},
  };
  for (const RebuildCase& c : cases) {
    Show(c.pageView, c.zoom, c.width, c.height);
    lines.Rebuild(dc.get(), c.x, c.y, c.page);
    EXPECT_EQ(lines.Lines(), c.expected) << c.name;
  }
}

TEST_F(DisplayLinesTest, RebuildReusesItsRecordsAndDropsTheSurplus) {
  Show(kPageView, 1, 600, 2500);
  lines.Rebuild(dc.get(), 0, -19, 1);
  ASSERT_EQ(lines.Lines().size(), 3u);
  const DisplayLine* storage = lines.Lines().data();
  lines.Rebuild(dc.get(), 0, 2000, 2);
  EXPECT_EQ(lines.Lines().size(), 2u);
  lines.Rebuild(dc.get(), 0, -19, 1);
  EXPECT_EQ(lines.Lines().size(), 3u);
  EXPECT_EQ(lines.Lines().data(), storage) << "no new allocation while scrolling";
}

TEST_F(DisplayLinesTest, ResetOriginCentresANarrowPageAtZoomOne) {
  struct ResetCase {
    int32_t pageView, zoom, width, height;
    int32_t x, y;
  };
  for (const ResetCase& c : {
           ResetCase{kPageView, 1, 1000, 400, -103, -19},  // (1000 - 794) / 2
           ResetCase{kPageView, 1, 800, 400, -19, -19},    // at least the gap shows
           ResetCase{kPageView, 1, 600, 400, -19, -19},
           ResetCase{kPageView, 1, 600, 10, -19, 0},  // a gap taller than the view
           ResetCase{kPageView, 2, 2000, 400, 0, 0},
           ResetCase{kContinuous, 1, 1000, 400, 57, 113},
       }) {
    Show(c.pageView, c.zoom, c.width, c.height);
    lines.ResetOrigin(dc.get());
    ASSERT_FALSE(lines.Lines().empty());
    EXPECT_EQ(First().page, 1);
    EXPECT_EQ(First().xOrigin, c.x) << c.width << " zoom " << c.zoom;
    EXPECT_EQ(First().yOrigin, c.y) << c.width << " zoom " << c.zoom;
  }
}

TEST_F(DisplayLinesTest, HitTestYFindsThePageUnderAWindowRow) {
  struct HitCase {
    const char* name;
    int32_t pageView, x0, y0, page0;
    int32_t x, y;
    int result;
    CaretPoint expected;
  };
  const std::vector<HitCase> cases = {
      {"page 1's first row", kPageView, -19, 1000, 1, 10, 0, 1, {{-9, 1000, -9, 1000}, 1}},
      {"page 1's last row", kPageView, -19, 1000, 1, 10, 122, 1, {{-9, 1122, -9, 1122}, 1}},
      {"the gap belongs to the page below",
       kPageView,
       -19,
       1000,
       1,
       10,
       123,
       1,
       {{-9, -19, -9, -19}, 2}},
      {"page 2's first row", kPageView, -19, 1000, 1, 10, 142, 1, {{-9, 0, -9, 0}, 2}},
      {"page 2 at the window's bottom",
       kPageView,
       -19,
       1000,
       1,
       10,
       399,
       1,
       {{-9, 257, -9, 257}, 2}},
      {"below the last page", kPageView, -19, 1000, 3, 10, 200, 0, {{-9, 1200, -9, 1200}, 3}},
      {"continuous: page 1", kContinuous, 57, 400, 1, 0, 179, 1, {{57, 579, 57, 579}, 1}},
      {"continuous: page 2 follows the used height",
       kContinuous,
       57,
       400,
       1,
       0,
       180,
       1,
       {{57, 113, 57, 113}, 2}},
      {"continuous: below the last page",
       kContinuous,
       57,
       207,
       3,
       0,
       30,
       0,
       {{57, 237, 57, 237}, 3}},
  };
  for (const HitCase& c : cases) {
    Show(c.pageView, 1, 600, 400);
    lines.Rebuild(dc.get(), c.x0, c.y0, c.page0);
    CaretPoint out;
    EXPECT_EQ(lines.HitTestY(c.x, c.y, &out), c.result) << c.name;
    EXPECT_EQ(out, c.expected) << c.name;
  }
}

TEST_F(DisplayLinesTest, WithoutLinesNothingIsHit) {
  CaretPoint out;
  EXPECT_EQ(lines.HitTestY(10, 10, &out), 0);
  EXPECT_EQ(out, CaretPoint{});
}

TEST_F(DisplayLinesTest, TheDpiPairIsTheDevicesResolution) {
  const platform::UniqueDC other = platform::CreateImageDC(8, 8, 120, 144);
  EXPECT_EQ(lines.GetDpiPair(other.get()), (std::pair<int32_t, int32_t>{120, 144}));
}

TEST_F(DisplayLinesTest, TheReconversionMessagesAreRegisteredAndAMissingModuleOffersNone) {
  EXPECT_NE(lines.ImeReconvertMessage(), 0u);
  EXPECT_EQ(lines.ImeReconvertMessage(), platform::RegisterWindowMessage("MSIMEReconvert"));
  EXPECT_EQ(lines.AtokReconvertMessage(),
            platform::RegisterWindowMessage("Atok Message for ReconvertString"));
  EXPECT_NE(lines.ImeReconvertMessage(), lines.AtokReconvertMessage());
  EXPECT_EQ(lines.ImeReconvert(), nullptr);
  EXPECT_EQ(lines.CanImeReconvert(), nullptr);
}

TEST_F(DisplayLinesTest, TheRecordsAreStoredAsACountAnd32BytesEach) {
  lines.Rebuild(dc.get(), 0, 1000, 1);
  platform::CMemFile file;
  {
    platform::CArchive archive(&file, platform::CArchive::kStore);
    EXPECT_TRUE(lines.Serialize(archive));
    archive.Close();
  }
  const std::vector<uint8_t> expected = {
      0x02, 0x00,                                      // two records
      0x00, 0x00, 0x00, 0x00, 0xE8, 0x03, 0x00, 0x00,  // visible 0, 1000,
      0x58, 0x02, 0x00, 0x00, 0x63, 0x04, 0x00, 0x00,  //   600, 1123
      0x01, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00,  // page 1, x 0
      0xE8, 0x03, 0x00, 0x00, 0x76, 0x04, 0x00, 0x00,  // y 1000, height 1142
      0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00,  // visible 0, 0,
      0x58, 0x02, 0x00, 0x00, 0x02, 0x01, 0x00, 0x00,  //   600, 258
      0x02, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00,  // page 2, x 0
      0x72, 0xFF, 0xFF, 0xFF, 0x76, 0x04, 0x00, 0x00,  // y -142, height 1142
  };
  ASSERT_EQ(std::vector<uint8_t>(file.Data(), file.Data() + file.GetLength()), expected);

  struct LoadCase {
    const char* name;
    std::vector<uint8_t> bytes;
    bool loads;
  };
  std::vector<uint8_t> truncated = expected;
  truncated.pop_back();
  for (const LoadCase& c :
       {LoadCase{"whole", expected, true}, LoadCase{"a byte short", truncated, false},
        LoadCase{"a count far past the bytes", {0xFF, 0xFF, 0x00, 0x00, 0x00, 0x10}, false}}) {
    CDisplayLineList loaded(&surface);
    loaded.Rebuild(dc.get(), -19, -19, 3);
    const std::vector<DisplayLine> before = loaded.Lines();
    std::vector<uint8_t> bytes = c.bytes;
    platform::CMemFile in(bytes.data(), bytes.size());
    platform::CArchive archive(&in, platform::CArchive::kLoad);
    EXPECT_EQ(loaded.Serialize(archive), c.loads) << c.name;
    EXPECT_EQ(loaded.Lines(), c.loads ? lines.Lines() : before) << c.name;
  }
}

TEST_F(DisplayLinesTest, TheImeControlModuleIsBoundWhenItLoads) {
  {
    const platform::ScopedModuleFolder folder(LEXORA_IME_CONTROL_MODULES);
    const CDisplayLineList bound(&surface);
    ASSERT_NE(bound.ImeReconvert(), nullptr);
    ASSERT_NE(bound.CanImeReconvert(), nullptr);
    int answer = 0;
    EXPECT_EQ(bound.CanImeReconvert()(window.handle(), &answer), 7);
    EXPECT_EQ(answer, 1);
    EXPECT_EQ(bound.ImeReconvert()(window.handle(), "abc"), 3);
  }
  {
    // A module without one of the entry points offers only the other.
    const platform::ScopedModuleFolder folder(LEXORA_IME_CONTROL_PARTIAL_MODULES);
    const CDisplayLineList partial(&surface);
    EXPECT_EQ(partial.ImeReconvert(), nullptr);
    EXPECT_NE(partial.CanImeReconvert(), nullptr);
  }
}

}  // namespace
}  // namespace views_test
