// The continuous view's page-height totals are kept between scroll steps;
// after each change the engine reports they must be the engine's again.
#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "platform/muldiv.h"
#include "views/tests/display_lines_fixture.h"

namespace views_test {
namespace {

using doc_root_test::kStyleCharsPerLine;

class PageHeightSumsTest : public DisplayLinesTest {
 protected:
  // The totals summed from the engine's page heights on the spot.
  std::vector<int32_t> EngineSums(platform::HDC device) {
    const int32_t dpiY = lines.GetDpiPair(device).second;
    std::vector<int32_t> sums{0};
    const int32_t count = engine.EditCommand(WPC_GET_PAGE_COUNT, 0, 0);
    for (int32_t page = 1; page <= count; ++page) {
      int32_t twips = 0;
      engine.EditCommand(WPC_GET_PAGE_HEIGHT, page, Pointer(&twips));
      sums.push_back(sums.back() + platform::MulDiv(twips, dpiY, 1440));
    }
    return sums;
  }

  // The kept totals, the page of every position around each page's end
  // and the height above the view all agree with the engine's.
  void ExpectSumsOfTheEngine(platform::HDC device, const std::string& step) {
    const std::vector<int32_t> sums = EngineSums(device);
    const auto count = static_cast<int32_t>(sums.size()) - 1;
    EXPECT_EQ(lines.GetDocumentHeight(device), sums.back()) << step;
    for (int32_t page = 1; page <= count; ++page) {
      EXPECT_EQ(lines.GetHeightAbovePage(device, page), sums[page - 1]) << step << " " << page;
      for (const int32_t position : {sums[page] - 1, sums[page]}) {
        const int32_t expectedPage = position < sums[page] || page == count ? page : page + 1;
        EXPECT_EQ(lines.PositionToPage(device, position),
                  (PagePosition{expectedPage, position - sums[expectedPage - 1]}))
            << step << " " << position;
      }
    }
    if (!lines.Lines().empty()) {
      const DisplayLine& first = First();
      EXPECT_EQ(lines.GetHeightAbove(device),
                sums[first.page - 1] + (first.yOrigin - surface.page.offsetY) / surface.zoom)
          << step;
    }
  }

  // What the surface does when the engine reports the edit.
  void Report(int kind) {
    CaretPoint caret;
    engine.EditCommand(WPC_GET_CARET_RECT, 0, Pointer(&caret));
    ScrollOffset offset;
    lines.UpdateForCaret(dc.get(), kind, caret, &offset);
  }

  void Select(PageLineColumn from, PageLineColumn to) {
    engine.EditCommand(WPC_GOTO, 0, Pointer(&from));
    engine.EditCommand(WPC_GOTO_EXTEND, kCharacterWise, Pointer(&to));
  }
};

TEST_F(PageHeightSumsTest, EditsThatChangePageHeightsAreReadAgain) {
  Show(kContinuous, 1, 600, 400);
  lines.ResetOrigin(dc.get());
  ExpectSumsOfTheEngine(dc.get(), "start");
  const std::string line(2 * kStyleCharsPerLine, 'a');
  struct EditCase {
    const char* name;
    int kind;
    std::function<void()> edit;
  };
  const std::vector<EditCase> cases = {
      {"typing a line on page 1", kCaretContentChanged,
       [&] {
         PageLineColumn at{1, 1, 1};
         engine.EditCommand(WPC_GOTO, 0, Pointer(&at));
         Type(line.c_str());
       }},
      {"Enter on page 2", kCaretContentChanged,
       [&] {
         PageLineColumn at{2, 3, 1};
         engine.EditCommand(WPC_GOTO, 0, Pointer(&at));
         engine.EditCommand(WPC_INSERT_LINE, 1, 0);
       }},
      {"deleting a page's worth", kCaretContentChanged,
       [&] {
         Select({1, 2, 1}, {2, 2, 1});
         engine.EditCommand(WPC_DELETE, 1, 0);
       }},
      {"typing reported as a caret move", kCaretMoved,
       [&] {
         PageLineColumn at{1, 1, 1};
         engine.EditCommand(WPC_GOTO, 0, Pointer(&at));
         Type(line.c_str());
       }},
  };
  for (const EditCase& c : cases) {
    const std::vector<int32_t> before = EngineSums(dc.get());
    c.edit();
    ASSERT_NE(EngineSums(dc.get()), before) << c.name << ": the edit must change a height";
    Report(c.kind);
    ExpectSumsOfTheEngine(dc.get(), c.name);
  }
}

TEST_F(PageHeightSumsTest, ALoadAZoomAndAnotherDeviceAreReadAgain) {
  Show(kContinuous, 1, 600, 400);
  lines.ResetOrigin(dc.get());
  ExpectSumsOfTheEngine(dc.get(), "start");

  ASSERT_EQ(engine.DocumentCommand(WPC_NEW_DOCUMENT, 0, nullptr), kWpcOk);
  lines.ResetOrigin(dc.get());
  ExpectSumsOfTheEngine(dc.get(), "after a load");

  Type(std::string(3 * kStyleCharsPerLine, 'b').c_str());
  Show(kContinuous, 2, 600, 400);
  lines.ResetOrigin(dc.get());
  ExpectSumsOfTheEngine(dc.get(), "at zoom 2");

  const platform::UniqueDC fine = platform::CreateImageDC(8, 8, 2 * kDpi, 2 * kDpi);
  ExpectSumsOfTheEngine(fine.get(), "on a 192-dpi device");
  ExpectSumsOfTheEngine(dc.get(), "back on the 96-dpi device");
}

}  // namespace
}  // namespace views_test
