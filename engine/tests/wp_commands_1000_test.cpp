// The page style commands as the view's page setup sends them: a style is
// checked against the content before it is applied, applying lays the
// document out afresh, and the pending style waits for a new document.
#include <gtest/gtest.h>

#include "engine/doc_style.h"
#include "engine/wp_commands.h"
#include "engine/wp_ctrl.h"
#include "wp_ctrl_fixture.h"

namespace doc_root_test {
namespace {

// Twenty-five double-byte characters: three lines at ten a line.
constexpr char kTwentyFive[] =
    "\x82\xA0\x82\xA2\x82\xA4\x82\xA6\x82\xA8\x82\xA9\x82\xAB\x82\xAD\x82\xAF\x82\xB1"
    "\x82\xB3\x82\xB5\x82\xB7\x82\xB9\x82\xBB\x82\xBD\x82\xBF\x82\xC2\x82\xC4\x82\xC6"
    "\x82\xC8\x82\xC9\x82\xCA\x82\xCB\x82\xCC";

// The test style with another number of double-byte characters a line
// and lines a page.
DocStyle StyleOf(int32_t charsPerLine, int32_t linesPerPage) {
  DocStyle style = TestStyle();
  style.textWidth = charsPerLine * kWide;
  style.textHeight = linesPerPage * kLinePitch;
  style.textAreaTwips.right = style.textAreaTwips.left + style.textWidth;
  style.textAreaTwips.bottom = style.textAreaTwips.top + style.textHeight;
  return style;
}

class StyleCommandTest : public WpCtrlFixture {
 protected:
  intptr_t Check(DocStyle style) {
    return engine.StyleCommand(WPC_CHECK_DOCSTYLE, nullptr, &style);
  }
  intptr_t Apply(DocStyle style, platform::CArchive* archive = nullptr) {
    return engine.StyleCommand(WPC_APPLY_DOCSTYLE, archive, &style);
  }
  DocStyle Applied() {
    DocStyle style;
    engine.StyleCommand(WPC_GET_APPLIED_DOCSTYLE, nullptr, &style);
    return style;
  }
  int PageCount() { return engine.EditCommand(WPC_GET_PAGE_COUNT, 0, 0); }
};

TEST_F(StyleCommandTest, CheckAnswersWhetherTheContentFitsTheStyle) {
  Type("ab");
  ASSERT_NE(engine.TableCommand(WPC_CREATE_TABLE, 1, (1 << 16) | 4), 0);
  Type("c");
  window.Clear();
  DocStyle noPitch = TestStyle();
  noPitch.charPitch = 0;
  DocStyle halfLine = TestStyle();
  halfLine.textHeight = kLinePitch / 2;
  halfLine.textAreaTwips.bottom = halfLine.textAreaTwips.top + halfLine.textHeight;
  struct Case {
    const char* name;
    DocStyle style;
    intptr_t answer;
  };
  const Case cases[] = {
      {"the style in force", TestStyle(), kFormatFits},
      {"wider lines, fewer of them", StyleOf(20, 5), kFormatFits},
      {"no character pitch", noPitch, kFormatTooWide},
      // Four columns need nine single-byte pitches of text width.
      {"four characters a line", StyleOf(4, 20), kFormatTooWide},
      {"pages lower than one table row", halfLine, kFormatTooWide},
  };
  for (const Case& c : cases) EXPECT_EQ(Check(c.style), c.answer) << c.name;
  EXPECT_EQ(engine.StyleCommand(WPC_CHECK_DOCSTYLE, nullptr, nullptr), 0);
  // Checking changes nothing.
  EXPECT_EQ(EncodeDocStyle(Applied()), EncodeDocStyle(TestStyle()));
  EXPECT_EQ(window.Notifications(), std::vector<platform::UINT>{});
}

TEST_F(StyleCommandTest, ApplyingLaysTheContentOutAfreshAndForgetsUndo) {
  // The page setup keeps the content by handing it back in an archive.
  Type(kTwentyFive);
  engine.EditCommand(WPC_SET_MODIFIED, 0, 0);
  ASSERT_EQ(engine.EditCommand(WPC_CAN_UNDO, 0, 0), 1);
  ASSERT_EQ(PageCount(), 1);
  platform::CMemFile file;
  {
    platform::CArchive out(&file, platform::CArchive::kStore);
    ASSERT_EQ(engine.DocumentCommand(WPC_WRITE_CONTENT, CDocBunsObj::kStreamOwnFormat, &out),
              kWpcOk);
    out.Close();
  }
  file.Seek(0, platform::CFile::kBegin);
  window.Clear();

  // Two lines a page: the three lines take two pages.
  const DocStyle shorter = StyleOf(10, 2);
  {
    platform::CArchive in(&file, platform::CArchive::kLoad);
    EXPECT_EQ(Apply(shorter, &in), kWpcOk);
  }
  EXPECT_EQ(DocumentText(), kTwentyFive);
  EXPECT_EQ(EncodeDocStyle(Applied()), EncodeDocStyle(shorter));
  EXPECT_EQ(PageCount(), 2);
  EXPECT_EQ(engine.EditCommand(WPC_IS_MODIFIED, 0, 0), 1);
  EXPECT_EQ(engine.EditCommand(WPC_CAN_UNDO, 0, 0), 0);
  EXPECT_EQ(engine.EditCommand(WPC_CAN_REDO, 0, 0), 0);
  ASSERT_FALSE(window.messages().empty());
  EXPECT_EQ(window.messages().back().message, WM_WPC_CONTENTLOADED);
  EXPECT_EQ(window.messages().back().wParam, 0u);
  EXPECT_EQ(engine.IsEditRunning(), 0);
  EXPECT_EQ(Location().caret, (PageLineColumn{1, 1, 1}));

  // Without an archive the style opens an empty document.
  EXPECT_EQ(Apply(StyleOf(25, 2)), kWpcOk);
  EXPECT_EQ(DocumentText(), "");
  EXPECT_EQ(PageCount(), 1);
}

TEST_F(StyleCommandTest, ARefusedStyleLeavesTheAppliedOneAndTheUndoHistory) {
  Type("abc");
  ASSERT_EQ(engine.EditCommand(WPC_CAN_UNDO, 0, 0), 1);
  DocStyle broken = TestStyle();
  broken.linePitch = 0;
  EXPECT_EQ(Apply(broken), kWpcRefused);
  EXPECT_EQ(engine.StyleCommand(WPC_APPLY_DOCSTYLE, nullptr, nullptr), kWpcRefused);
  EXPECT_EQ(EncodeDocStyle(Applied()), EncodeDocStyle(TestStyle()));
  EXPECT_EQ(DocumentText(), "abc");
  EXPECT_EQ(engine.EditCommand(WPC_CAN_UNDO, 0, 0), 1) << "nothing changed, nothing to forget";
  EXPECT_EQ(engine.IsEditRunning(), 0);
}

TEST_F(StyleCommandTest, ThePendingStyleWaitsForTheNextNewDocument) {
  DocStyle wide = StyleOf(20, 10);
  engine.StyleCommand(WPC_SET_DOCSTYLE, nullptr, &wide);
  EXPECT_EQ(EncodeDocStyle(Applied()), EncodeDocStyle(TestStyle()));
  DocStyle pending;
  engine.StyleCommand(WPC_GET_DOCSTYLE, nullptr, &pending);
  EXPECT_EQ(EncodeDocStyle(pending), EncodeDocStyle(wide));

  ASSERT_EQ(engine.DocumentCommand(WPC_NEW_DOCUMENT, 0, nullptr), kWpcOk);
  EXPECT_EQ(EncodeDocStyle(Applied()), EncodeDocStyle(wide));
  // A null record sets nothing.
  EXPECT_EQ(engine.StyleCommand(WPC_SET_DOCSTYLE, nullptr, nullptr), 0);
  engine.StyleCommand(WPC_GET_DOCSTYLE, nullptr, &pending);
  EXPECT_EQ(EncodeDocStyle(pending), EncodeDocStyle(wide));
}

TEST_F(StyleCommandTest, AGivenReferenceDcIsAnsweredAndNullBringsBackTheEnginesOwn) {
  auto given = platform::CreateImageDC(8, 8, 96, 96);
  EXPECT_EQ(engine.StyleCommand(WPC_SET_REFDC, given.get(), nullptr), 0);
  EXPECT_EQ(engine.StyleCommand(WPC_GET_REFDC, nullptr, nullptr),
            reinterpret_cast<intptr_t>(given.get()));
  // The document is laid out through the given DC as well as through the
  // engine's own.
  EXPECT_EQ(Apply(StyleOf(10, 2)), kWpcOk);
  Type(kTwentyFive);
  EXPECT_EQ(PageCount(), 2);
  engine.StyleCommand(WPC_SET_REFDC, nullptr, nullptr);
  const intptr_t own = engine.StyleCommand(WPC_GET_REFDC, nullptr, nullptr);
  EXPECT_NE(own, 0);
  EXPECT_NE(own, reinterpret_cast<intptr_t>(given.get()));
}

}  // namespace
}  // namespace doc_root_test
