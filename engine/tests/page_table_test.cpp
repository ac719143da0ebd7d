#include "engine/page_table.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <functional>
#include <ostream>
#include <string>
#include <string_view>
#include <vector>

#include "engine/change_record.h"
#include "engine/doc_style.h"
#include "model/container.h"
#include "model/doc_object.h"
#include "model/tests/container_fixture.h"

namespace {

using container_test::BasicContainerFixture;
using container_test::kLinePitch;
using container_test::kPitch;
using container_test::kWide;

constexpr int32_t kWideCharsPerLine = 10;
constexpr int32_t kTextWidth = kWideCharsPerLine * kWide;
constexpr int32_t kGapBelow = container_test::kLineGap;
constexpr platform::RECT kTextArea{1000, 1500, 1000 + kTextWidth, 1500 + 20000};
constexpr char kWideChar[] = "\x82\xa0";  // あ
constexpr char kParagraphEnd[] = "\r";
constexpr char kPageBreak[] = "\x0c";
// DeleteChar's kind for the character at the caret.
constexpr int kDeleteAtCaret = 1;
constexpr int kDeleteBeforeCaret = 2;

// Counts the lines pagination measures, so that tests see the table's work:
// lines measured by position and lines measured on a walk over the lines.
class CountingContainer : public CDocObjContainer {
 public:
  LineMetrics* GetPageLineMetrics(LineMetrics* out, const CVedTextPos* pos) override {
    // A walk that steps by positions measures through here too: its lines
    // are counted once, as the walk hands them on.
    if (!walking_) Measuring();
    return CDocObjContainer::GetPageLineMetrics(out, pos);
  }
  PageLineWalk WalkPageLines(const CVedTextPos* from, CPageLineVisitor& visitor) override {
    CountingVisitor counting(*this, visitor);
    walking_ = true;
    const PageLineWalk walk = CDocObjContainer::WalkPageLines(from, counting);
    walking_ = false;
    return walk;
  }
  LineMetrics* GetLineMetrics(LineMetrics* out, const CVedTextPos* pos) override {
    ++looked;
    return CDocObjContainer::GetLineMetrics(out, pos);
  }
  int measured = 0;
  int looked = 0;  // lines whose metrics were read, as a record check reads them
  std::function<void()> onMeasure;

 private:
  bool walking_ = false;

  void Measuring() {
    ++measured;
    if (onMeasure) onMeasure();
  }

  class CountingLine final : public CPageLine {
   public:
    CountingLine(CountingContainer& owner, const CPageLine& line) : owner_(owner), line_(line) {}
    void GetMetrics(LineMetrics* out) const override {
      owner_.Measuring();
      line_.GetMetrics(out);
    }
    void GetPosition(CVedTextPos* out) const override { line_.GetPosition(out); }

   private:
    CountingContainer& owner_;
    const CPageLine& line_;
  };

  class CountingVisitor final : public CPageLineVisitor {
   public:
    CountingVisitor(CountingContainer& owner, CPageLineVisitor& visitor)
        : owner_(owner), visitor_(visitor) {}
    bool VisitLine(const CPageLine& line) override {
      return visitor_.VisitLine(CountingLine(owner_, line));
    }

   private:
    CountingContainer& owner_;
    CPageLineVisitor& visitor_;
  };
};

// `count` one-character paragraphs.
std::string Paragraphs(int count) {
  std::string text;
  for (int i = 0; i < count; ++i) {
    if (i > 0) text += kParagraphEnd;
    text += kWideChar;
  }
  return text;
}

std::string Wide(int count) {
  std::string text;
  for (int i = 0; i < count; ++i) text += kWideChar;
  return text;
}

// Text height that holds exactly `lines` lines: the last line's gap may
// hang below the text area.
int32_t HeightFor(int lines) { return lines * kLinePitch - kGapBelow; }

class PageTableTest : public ::testing::Test {
 protected:
  PageTableTest() : doc(kWideCharsPerLine) { table.Attach(&root()); }
  ~PageTableTest() override { CVedPageTable::ResetRebuildGuard(); }

  CountingContainer& root() { return doc.container; }

  void SetTextHeight(int32_t height) {
    DocStyle style;
    style.textAreaTwips = kTextArea;
    style.textAreaTwips.bottom = kTextArea.top + height;
    style.textWidth = kTextWidth;
    style.textHeight = height;
    table.SetPageMetrics(style, kPitch);
    textHeight_ = height;
  }

  // Start of the document's line `index` (0-based).
  CVedTextPos LineStart(int index) {
    CVedTextPos line;
    root().StepPageLine(nullptr, kLinePrevious, &line);
    for (int i = 0; i < index; ++i) {
      CVedTextPos next;
      if (root().StepPageLine(&line, kLineNext, &next) == 0) return {};
      line = next;
    }
    return line;
  }

  std::vector<int32_t> Heights() {
    std::vector<int32_t> heights;
    for (int32_t n = 1; n <= table.GetCount(); ++n) heights.push_back(table.GetPageHeight(n));
    return heights;
  }

  // The change record the document root makes of an edit's result.
  ChangeRecord ChangeOf(const EditResult& result) {
    ChangeRecord change;
    change.changed = result.changed;
    root().StepPageLine(&result.rangeStart, kLineThis, &change.lineStart);
    change.heightChanged = result.heightDelta != 0 ? 1 : 0;
    change.pageBreakChanged = result.pageBreakChanged;
    change.changeEnd = result.rangeEnd;
    change.area[0] = {0, 0, kTextWidth, kLinePitch};
    return change;
  }

  // Types at the start of line `index` and re-paginates; answers the lines
  // measured.
  int TypeAtLine(int index, std::string_view text) {
    const CVedTextPos at = LineStart(index);
    EXPECT_EQ(root().SetCursor(&at), 1);
    EditResult result;
    root().InsertText(text, &result);
    const ChangeRecord change = ChangeOf(result);
    root().measured = 0;
    EXPECT_EQ(table.Repaginate(&change), 1);
    return root().measured;
  }

  // Page starts and heights after a full rebuild, for comparison with what
  // incremental pagination left.
  void ExpectSameAsRebuild() {
    std::vector<CVedTextPos> starts;
    for (int32_t n = 1; n <= table.GetCount(); ++n) starts.push_back(*table.GetPageStart(n));
    const std::vector<int32_t> heights = Heights();
    ChangeRecord whole;
    whole.changed = 1;
    table.Repaginate(&whole);
    ASSERT_EQ(Heights(), heights);
    for (int32_t n = 1; n <= table.GetCount(); ++n) {
      EXPECT_EQ(*table.GetPageStart(n), starts[n - 1]) << "page " << n;
    }
  }

  // Every page start carries its record and no other line of the first
  // `lines` lines carries one.
  void ExpectOnlyPageStartsAnchored(int lines) {
    int32_t page = 0;
    for (int line = 0; line < lines; ++line) {
      const CVedTextPos at = LineStart(line);
      if (page < table.GetCount() && *table.GetPageStart(page + 1) == at) ++page;
      LineMetrics metrics;
      root().GetPageLineMetrics(&metrics, &at);
      const bool pageStart = *table.GetPageStart(page) == at;
      EXPECT_EQ(metrics.anchor, pageStart ? table.GetPageNode(page) : nullptr) << "line " << line;
    }
  }

  // The pages as the layout rule makes them from the lines as they are
  // now, worked out here line by line: starts and used heights.
  std::vector<std::pair<CVedTextPos, int32_t>> LaidOutPages() {
    std::vector<std::pair<CVedTextPos, int32_t>> pages;
    CVedTextPos line;
    if (root().StepPageLine(nullptr, kLinePrevious, &line) == 0) return pages;
    CVedTextPos start = line;
    int32_t used = 0;
    bool breakBefore = false;
    while (true) {
      if (breakBefore) start = line;
      breakBefore = false;
      LineMetrics metrics;
      root().GetPageLineMetrics(&metrics, &line);
      if (used > 0 && used + metrics.height - metrics.gap > textHeight_) {
        pages.emplace_back(start, used);
        start = line;
        used = 0;
      }
      if (metrics.endKind == kLineEndPageBreak) {
        pages.emplace_back(start, used + metrics.height);
        used = 0;
        breakBefore = true;
      } else {
        used += metrics.height;
      }
      CVedTextPos next;
      if (root().StepPageLine(&line, kLineNext, &next) == 0 || next == line) break;
      line = next;
    }
    if (used > 0 || pages.empty()) pages.emplace_back(start, used);
    return pages;
  }

  int LaidOutLineCount() {
    int count = 0;
    CVedTextPos line;
    if (root().StepPageLine(nullptr, kLinePrevious, &line) == 0) return 0;
    while (true) {
      ++count;
      CVedTextPos next;
      if (root().StepPageLine(&line, kLineNext, &next) == 0 || next == line) return count;
      line = next;
    }
  }

  // The table as it stands, compared without rebuilding it.
  void ExpectLaidOut(const std::string& when) {
    const auto pages = LaidOutPages();
    ASSERT_EQ(table.GetCount(), static_cast<int32_t>(pages.size())) << when;
    for (int32_t n = 1; n <= table.GetCount(); ++n) {
      EXPECT_EQ(*table.GetPageStart(n), pages[n - 1].first) << when << ", page " << n;
      EXPECT_EQ(table.GetPageHeight(n), pages[n - 1].second) << when << ", page " << n;
    }
  }

  // Deletes the character at the start of line `index` and re-paginates;
  // answers the lines measured.
  int DeleteAtLine(int index) {
    const CVedTextPos at = LineStart(index);
    EXPECT_EQ(root().SetCursor(&at), 1);
    EditResult result;
    EXPECT_GT(root().DeleteChar(kDeleteAtCaret, &result), 0);
    const ChangeRecord change = ChangeOf(result);
    root().measured = 0;
    EXPECT_EQ(table.Repaginate(&change), 1);
    return root().measured;
  }

  // A seeded series of typing, deleting and type changes over the
  // document, each edit checked against the layout rule.
  void RunSeriesOfEdits(int edits, uint32_t seed);

  BasicContainerFixture<CountingContainer> doc;
  CVedPageTable table;
  int32_t textHeight_ = 0;
};

TEST_F(PageTableTest, LineHeightsOfTheFixture) {
  doc.TypeIntoFirst(Paragraphs(2));
  LineMetrics metrics;
  root().GetPageLineMetrics(&metrics, nullptr);
  EXPECT_EQ(metrics.height, kLinePitch);
  EXPECT_EQ(metrics.gap, kGapBelow);
}

// --- Full pagination ---------------------------------------------------------

struct LayoutCase {
  const char* name;
  std::string text;
  int32_t textHeight;
  std::vector<int32_t> heights;
  std::vector<int> startLines;
};

void PrintTo(const LayoutCase& c, std::ostream* os) { *os << c.name; }

class PageLayoutTest : public PageTableTest, public ::testing::WithParamInterface<LayoutCase> {};

TEST_P(PageLayoutTest, FirstPageBuildsTheTable) {
  const LayoutCase& c = GetParam();
  SetTextHeight(c.textHeight);
  if (!c.text.empty()) doc.TypeIntoFirst(c.text);
  ASSERT_NE(table.FirstPage(), nullptr);
  EXPECT_EQ(Heights(), c.heights);
  for (size_t i = 0; i < c.startLines.size(); ++i) {
    EXPECT_EQ(*table.GetPageStart(static_cast<int32_t>(i + 1)), LineStart(c.startLines[i]))
        << "page " << i + 1;
  }
  EXPECT_FALSE(CVedPageTable::IsRebuilding());
}

const int32_t P = kLinePitch;

INSTANTIATE_TEST_SUITE_P(
    Layouts, PageLayoutTest,
    ::testing::Values(
        LayoutCase{"Empty", "", HeightFor(3), {P}, {0}},
        LayoutCase{"ThreePerPage", Paragraphs(7), HeightFor(3), {3 * P, 3 * P, P}, {0, 3, 6}},
        // The third line fills the page to the twip (used + height - gap).
        LayoutCase{"ExactFitStays", Paragraphs(4), HeightFor(3), {3 * P, P}, {0, 3}},
        LayoutCase{"OneTwipMoreMoves", Paragraphs(4), HeightFor(3) - 1, {2 * P, 2 * P}, {0, 2}},
        // A wrapped paragraph is paged by its lines.
        LayoutCase{"WrappedLines", Wide(25), HeightFor(2), {2 * P, P}, {0, 2}},
        LayoutCase{"ForcedBreak",
                   std::string(kWideChar) + kPageBreak + Paragraphs(2),
                   HeightFor(3),
                   {P, 2 * P},
                   {0, 1}},
        // A break on the last line that fits still ends the page there.
        LayoutCase{"BreakOnLastLineOfPage",
                   Paragraphs(2) + kParagraphEnd + kWideChar + kPageBreak + kWideChar,
                   HeightFor(3),
                   {3 * P, P},
                   {0, 3}},
        // A line that does not fit and ends in a break is a page of its own.
        LayoutCase{"BreakThatDoesNotFit",
                   Paragraphs(3) + kParagraphEnd + kWideChar + kPageBreak + kWideChar,
                   HeightFor(3),
                   {3 * P, P, P},
                   {0, 3, 4}},
        LayoutCase{
            "BreakEndsTheText", std::string(kWideChar) + kPageBreak, HeightFor(3), {P, P}, {0, 1}},
        // Lines taller than a page: one per page, and no empty pages.
        LayoutCase{"PageShorterThanALine", Paragraphs(3), P / 2, {P, P, P}, {0, 1, 2}},
        LayoutCase{"NoTextHeight", Paragraphs(2), 0, {P, P}, {0, 1}}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(PageTableTest, PageAccessBeyondTheListAnswersNothing) {
  SetTextHeight(HeightFor(2));
  doc.TypeIntoFirst(Paragraphs(3));
  table.FirstPage();
  ASSERT_EQ(table.GetCount(), 2);
  EXPECT_EQ(*table.GetPageStart(0), LineStart(0));
  EXPECT_EQ(*table.GetPageStart(-4), LineStart(0));
  EXPECT_EQ(table.GetPageStart(3), nullptr);
  EXPECT_EQ(table.GetPageNode(0), nullptr);
  EXPECT_EQ(table.GetPageNode(3), nullptr);
  EXPECT_EQ(table.GetPageHeight(3), 0);
  const platform::RECT* rects = nullptr;
  EXPECT_EQ(table.GetRepaintState(3, &rects), 0);
  EXPECT_EQ(table.GetRepaintState(0, &rects), 0);
}

TEST_F(PageTableTest, RecordsAreLineAnchorsOfTheirPages) {
  SetTextHeight(HeightFor(2));
  doc.TypeIntoFirst(Paragraphs(5));
  table.FirstPage();
  ASSERT_EQ(table.GetCount(), 3);
  for (int32_t n = 1; n <= 3; ++n) {
    CVedPageRecord* record = table.GetPageNode(n);
    EXPECT_EQ(record->GetValue(), 1);
    EXPECT_TRUE(record->IsValid());
    EXPECT_EQ(record->repaintState, kRepaintClean);
    const CVedTextPos start = LineStart(2 * (n - 1));
    EXPECT_EQ(root().FindAnchor(kAnchorLine, &start, 1), record);
  }
  for (int line : {1, 3}) {
    LineMetrics inside;
    const CVedTextPos at = LineStart(line);
    root().GetPageLineMetrics(&inside, &at);
    EXPECT_EQ(inside.anchor, nullptr) << "only page starts carry anchors";
  }
}

TEST_F(PageTableTest, FindPageNumbersEveryLine) {
  SetTextHeight(HeightFor(3));
  doc.TypeIntoFirst(Paragraphs(8));
  for (int line = 0; line < 8; ++line) {
    const CVedTextPos at = LineStart(line);
    int32_t number = 0;
    const CVedTextPos* start = table.FindPage(&at, &number);
    ASSERT_NE(start, nullptr);
    EXPECT_EQ(number, line / 3 + 1);
    EXPECT_EQ(*start, LineStart(line / 3 * 3));
  }
}

TEST_F(PageTableTest, APositionBeforeEveryAnchorIsOnTheFirstPageAnchoredAgain) {
  SetTextHeight(HeightFor(3));
  doc.TypeIntoFirst(Paragraphs(5));
  table.FirstPage();
  const CVedTextPos first = LineStart(0);
  root().SetAnchor(kAnchorLine, nullptr, &first);
  const CVedTextPos second = LineStart(1);
  int32_t number = 0;
  EXPECT_EQ(*table.FindPage(&second, &number), first);
  EXPECT_EQ(number, 1);
  EXPECT_EQ(root().FindAnchor(kAnchorLine, &first, 1), table.GetPageNode(1));
}

TEST_F(PageTableTest, WithoutADocumentThereIsNoPage) {
  CVedPageTable lone;
  int32_t number = 7;
  EXPECT_EQ(lone.FindPage(nullptr, &number), nullptr);
  EXPECT_EQ(number, 0);
  EXPECT_EQ(lone.FirstPage(), nullptr);
  ChangeRecord change;
  change.changed = 1;
  EXPECT_EQ(lone.Repaginate(&change), 0);
}

TEST_F(PageTableTest, AttachAndDetachDropTheRecords) {
  SetTextHeight(HeightFor(2));
  doc.TypeIntoFirst(Paragraphs(5));
  table.FirstPage();
  ASSERT_EQ(table.GetCount(), 3);
  table.Detach();
  EXPECT_EQ(table.GetCount(), 0);
  EXPECT_EQ(table.FirstPage(), nullptr);
  table.Attach(&root());
  EXPECT_EQ(table.GetCount(), 0);
  // The document still points at the dropped records; the table never
  // looks into those and rebuilds.
  const CVedTextPos at = LineStart(4);
  int32_t number = 0;
  EXPECT_EQ(*table.FindPage(&at, &number), LineStart(4));
  EXPECT_EQ(number, 3);
}

// --- Pagination after edits ---------------------------------------------------

TEST_F(PageTableTest, TypingNearTheEndOfAThousandPagesMeasuresOnlyThoseLines) {
  constexpr int kPages = 1000;
  SetTextHeight(HeightFor(2));
  doc.TypeIntoFirst(Paragraphs(2 * kPages));
  table.FirstPage();
  ASSERT_EQ(table.GetCount(), kPages);

  // A character that keeps the line: no page moves, the band is repainted.
  EXPECT_LE(TypeAtLine(1801, kWideChar), 1);
  EXPECT_EQ(table.GetCount(), kPages);
  const platform::RECT* rects = nullptr;
  EXPECT_EQ(table.GetRepaintState(901, &rects), 1);

  // A new paragraph on page 901 moves every later page start; the lines
  // after it all have one height, so their pages are placed a page at a
  // time: only the lines around the change are measured.
  const int measured = TypeAtLine(1800, kParagraphEnd);
  EXPECT_LE(measured, 6);
  EXPECT_EQ(table.GetCount(), kPages + 1);
  EXPECT_EQ(*table.GetPageStart(kPages + 1), LineStart(2 * kPages));
  ExpectSameAsRebuild();
}

TEST_F(PageTableTest, TypingInTheMiddleOfAThousandPagesChecksOnlyTheRecordsNearIt) {
  constexpr int kPages = 1000;
  SetTextHeight(HeightFor(2));
  doc.TypeIntoFirst(Paragraphs(2 * kPages));
  table.FirstPage();
  root().looked = 0;
  EXPECT_LE(TypeAtLine(kPages, kWideChar), 1);
  // The page before, the page of the change and the first page after it.
  EXPECT_LE(root().looked, 3);
  EXPECT_EQ(table.GetCount(), kPages);
  ExpectSameAsRebuild();
}

// Lines of one height on the pages after an edit are placed a page at a
// time, each page start stepped to from the old one; the pages come out as
// a rebuild lays them out, and only page starts carry records.
TEST_F(PageTableTest, AParagraphEndAtTheStartMovesEveryPageByALineWithoutMeasuringThem) {
  constexpr int kPages = 100;
  SetTextHeight(HeightFor(3));
  doc.TypeIntoFirst(Paragraphs(3 * kPages));
  table.FirstPage();
  ASSERT_EQ(table.GetCount(), kPages);

  EXPECT_LE(TypeAtLine(0, kParagraphEnd), 6);
  EXPECT_EQ(table.GetCount(), kPages + 1);
  EXPECT_EQ(*table.GetPageStart(2), LineStart(3));
  EXPECT_EQ(*table.GetPageStart(kPages + 1), LineStart(3 * kPages));
  ExpectOnlyPageStartsAnchored(3 * kPages + 1);
  ExpectSameAsRebuild();

  // Taken out again, every page moves back by a line.
  EXPECT_LE(DeleteAtLine(0), 6);
  EXPECT_EQ(table.GetCount(), kPages);
  EXPECT_EQ(*table.GetPageStart(kPages), LineStart(3 * (kPages - 1)));
  ExpectOnlyPageStartsAnchored(3 * kPages);
  ExpectSameAsRebuild();
}

// Where a later page holds lines of another height or a page break, its
// lines are measured again, and the pages after it are placed once more.
TEST_F(PageTableTest, PagesOfMixedLinesAfterAnEditAreMeasuredAgain) {
  constexpr int kPages = 20;
  SetTextHeight(HeightFor(3));
  doc.TypeIntoFirst(Paragraphs(3 * kPages));
  // A tall character on page 8, a page break ending a line of page 14.
  const CVedTextPos from = doc.PathIn(0, kMoveNextChar, 2 * 22);
  const CVedTextPos to = doc.PathIn(0, kMoveNextChar, 2 * 22 + 1);
  CharFormat type;
  type.size = 240;
  type.mask = kMaskSize;
  EditResult result;
  ASSERT_NE(root().SetCharFont(&type, &from, &to, &result), 0);
  const CVedTextPos breakAt = LineStart(40);
  ASSERT_EQ(root().SetCursor(&breakAt), 1);
  root().InsertText(kPageBreak, &result);
  table.FirstPage();
  const int32_t pages = table.GetCount();
  const int lines = 3 * kPages + 1;

  const int measured = TypeAtLine(0, kParagraphEnd);
  EXPECT_GE(measured, 3);
  EXPECT_LE(measured, 3 * 6);
  EXPECT_GE(table.GetCount(), pages);
  ExpectOnlyPageStartsAnchored(lines + 1);
  ExpectSameAsRebuild();

  DeleteAtLine(0);
  EXPECT_EQ(table.GetCount(), pages);
  ExpectOnlyPageStartsAnchored(lines);
  ExpectSameAsRebuild();
}

// A seeded series of edits over many pages: characters, paragraph ends and
// page breaks typed, characters deleted after and before a line start
// (there, the break ending the line above), characters set in a larger
// type and back. After each one the pages are those the layout rule makes
// of the lines, with no rebuild in between, so that what the records
// remember of their lines is carried from edit to edit.
void PageTableTest::RunSeriesOfEdits(int edits, uint32_t seed) {
  uint32_t random = seed;
  auto next = [&random](uint32_t below) {
    random = random * 1664525u + 1013904223u;
    return (random >> 8) % below;
  };
  for (int edit = 0; edit < edits; ++edit) {
    const auto lines = static_cast<uint32_t>(LaidOutLineCount());
    const int line = static_cast<int>(next(lines));
    const uint32_t kind = next(11);
    const std::string when = "edit " + std::to_string(edit) + " kind " + std::to_string(kind) +
                             " at line " + std::to_string(line);
    if (kind < 3) {
      TypeAtLine(line, kWideChar);
    } else if (kind < 5) {
      TypeAtLine(line, kParagraphEnd);
    } else if (kind == 5) {
      TypeAtLine(line, kPageBreak);
    } else if (kind < 9) {
      const CVedTextPos at = LineStart(line);
      ASSERT_EQ(root().SetCursor(&at), 1);
      EditResult result;
      if (root().DeleteChar(kind == 8 ? kDeleteBeforeCaret : kDeleteAtCaret, &result) > 0) {
        const ChangeRecord change = ChangeOf(result);
        table.Repaginate(&change);
      }
    } else {
      const CVedTextPos from = LineStart(line);
      CVedTextPos to;
      const MoveParams still{0, 0, 1};
      if (root().MoveCursor(kMoveNextChar, &still, &from, &to) != kMoveDone) continue;
      CharFormat type;
      type.size = next(2) == 0 ? 240 : 120;
      type.mask = kMaskSize;
      EditResult result;
      if (root().SetCharFont(&type, &from, &to, &result) != 0) {
        const ChangeRecord change = ChangeOf(result);
        table.Repaginate(&change);
      }
    }
    ExpectLaidOut(when);
    if (HasFailure()) return;
  }
  ExpectOnlyPageStartsAnchored(LaidOutLineCount());
}

TEST_F(PageTableTest, PagesFollowASeriesOfEditsAsTheLayoutRuleMakesThem) {
  constexpr int kParagraphs = 240;
  SetTextHeight(HeightFor(4));
  std::string text;
  for (int i = 0; i < kParagraphs; ++i) {
    if (i > 0) text += kParagraphEnd;
    text += Wide(1 + (i * 7) % 23);
  }
  doc.TypeIntoFirst(text);
  table.FirstPage();
  RunSeriesOfEdits(300, 20240611u);
}

// The same over a few paragraphs of many lines each, where typing re-breaks
// lines until it meets one that begins where a line began before.
TEST_F(PageTableTest, PagesFollowASeriesOfEditsInLongParagraphs) {
  constexpr int kParagraphs = 6;
  SetTextHeight(HeightFor(4));
  std::string text;
  for (int i = 0; i < kParagraphs; ++i) {
    if (i > 0) text += kParagraphEnd;
    text += Wide(150 + 37 * i);
  }
  doc.TypeIntoFirst(text);
  table.FirstPage();
  RunSeriesOfEdits(300, 20261211u);
}

TEST_F(PageTableTest, EveryLaterPageStartOfAParagraphFollowsTypingInIt) {
  SetTextHeight(HeightFor(2));
  // Ten lines of one paragraph (the last one short), then four paragraphs.
  doc.TypeIntoFirst(Wide(95) + kParagraphEnd + Paragraphs(4));
  table.FirstPage();
  ASSERT_EQ(table.GetCount(), 7);
  // From line 4 on every line of the paragraph begins one character
  // earlier in the text, though its height is the same; pages 1 and 2
  // keep their starts, pages 3 to 5 lie pages away from the changed line.
  EXPECT_EQ(TypeAtLine(3, kWideChar), 0);
  ASSERT_EQ(table.GetCount(), 7);
  for (int32_t n = 1; n <= 7; ++n) {
    EXPECT_EQ(*table.GetPageStart(n), LineStart(2 * (n - 1))) << "page " << n;
  }
  ExpectSameAsRebuild();
}

TEST_F(PageTableTest, AParagraphEndTypedInsideALineMovesTheLaterPagesOfItsParagraph) {
  SetTextHeight(HeightFor(2));
  // Ten lines of one paragraph (the last one short), then four paragraphs.
  doc.TypeIntoFirst(Wide(95) + kParagraphEnd + Paragraphs(4));
  table.FirstPage();
  ASSERT_EQ(table.GetCount(), 7);
  // Split inside the second line: the first paragraph keeps two lines, the
  // new one takes the rest in eight, as many lines as before and as high,
  // but the new paragraph's first line is a new line between the old ones.
  const CVedTextPos at = doc.PathIn(0, kMoveNextChar, 16);
  ASSERT_EQ(root().SetCursor(&at), 1);
  EditResult result;
  root().InsertText(kParagraphEnd, &result);
  ASSERT_EQ(result.heightDelta, 0);
  const ChangeRecord change = ChangeOf(result);
  EXPECT_EQ(table.Repaginate(&change), 1);
  ASSERT_EQ(table.GetCount(), 7);
  for (int32_t n = 1; n <= 7; ++n) {
    EXPECT_EQ(*table.GetPageStart(n), LineStart(2 * (n - 1))) << "page " << n;
  }
  ExpectSameAsRebuild();
}

TEST_F(PageTableTest, PaginationStopsAtTheFirstUnchangedPageAfterTheChange) {
  SetTextHeight(HeightFor(3));
  doc.TypeIntoFirst(Paragraphs(12));
  table.FirstPage();
  ASSERT_EQ(table.GetCount(), 4);
  // A record that no longer counts makes pagination run without a height
  // change; it stops at page 4, whose start is unchanged and after the
  // change: pages 2 and 3 and the first line of page 4 are measured.
  table.GetPageNode(3)->ResetValue2();
  EXPECT_EQ(TypeAtLine(3, kWideChar), 3 + 3 + 1);
  EXPECT_TRUE(table.GetPageNode(3)->IsValid());
  EXPECT_EQ(Heights(), (std::vector<int32_t>{3 * P, 3 * P, 3 * P, 3 * P}));
  const CVedTextPos page4 = LineStart(9);
  EXPECT_EQ(root().FindAnchor(kAnchorLine, &page4, 1), table.GetPageNode(4));
  ExpectSameAsRebuild();
}

TEST_F(PageTableTest, AnInvalidRecordBeforeTheChangeKeepsItsLinesOnAPage) {
  SetTextHeight(HeightFor(3));
  doc.TypeIntoFirst(Paragraphs(12));
  table.FirstPage();
  table.GetPageNode(2)->ResetValue2();
  TypeAtLine(10, kWideChar);
  ASSERT_EQ(table.GetCount(), 4);
  for (int32_t n = 1; n <= 4; ++n) {
    EXPECT_TRUE(table.GetPageNode(n)->IsValid());
    EXPECT_EQ(*table.GetPageStart(n), LineStart(3 * (n - 1)));
  }
  const CVedTextPos line4 = LineStart(4);
  int32_t number = 0;
  table.FindPage(&line4, &number);
  EXPECT_EQ(number, 2);
}

TEST_F(PageTableTest, ARecordWhoseLineNoLongerCarriesItIsPaginatedAgain) {
  SetTextHeight(HeightFor(3));
  doc.TypeIntoFirst(Paragraphs(9));
  table.FirstPage();
  const CVedTextPos page2 = LineStart(3);
  root().SetAnchor(kAnchorLine, nullptr, &page2);
  TypeAtLine(7, kWideChar);
  EXPECT_TRUE(table.GetPageNode(2)->IsValid());
  EXPECT_EQ(root().FindAnchor(kAnchorLine, &page2, 1), table.GetPageNode(2));
  const CVedTextPos line4 = LineStart(4);
  int32_t number = 0;
  table.FindPage(&line4, &number);
  EXPECT_EQ(number, 2);
  EXPECT_EQ(table.GetCount(), 3);
}

TEST_F(PageTableTest, PageStartsFollowTheirLinesWhenTextBeforeThemChanges) {
  SetTextHeight(HeightFor(2));
  doc.TypeIntoFirst(Wide(25));  // one paragraph of 10, 10 and 5 characters
  table.FirstPage();
  ASSERT_EQ(table.GetCount(), 2);
  // Typed at the paragraph's start: the third line keeps its place but now
  // begins with another character.
  EXPECT_EQ(TypeAtLine(0, kWideChar), 0);
  ASSERT_EQ(table.GetCount(), 2);
  EXPECT_EQ(*table.GetPageStart(2), LineStart(2));
  const CVedTextPos last = LineStart(2);
  int32_t number = 0;
  EXPECT_EQ(*table.FindPage(&last, &number), LineStart(2));
  EXPECT_EQ(number, 2);
}

TEST_F(PageTableTest, PagesFollowLinesAddedBeforeThem) {
  SetTextHeight(HeightFor(3));
  doc.TypeIntoFirst(Paragraphs(7));
  table.FirstPage();
  TypeAtLine(1, std::string(kParagraphEnd) + kWideChar + kParagraphEnd);
  EXPECT_EQ(Heights(), (std::vector<int32_t>{3 * P, 3 * P, 3 * P}));
  for (int32_t n = 1; n <= 3; ++n) EXPECT_EQ(*table.GetPageStart(n), LineStart(3 * (n - 1)));
  ExpectSameAsRebuild();
}

TEST_F(PageTableTest, AFirstLineThatShrankMovesUpToThePageBefore) {
  constexpr int32_t kTextHeight = 4 * P - kGapBelow;
  SetTextHeight(kTextHeight);
  doc.TypeIntoFirst(Paragraphs(5));
  // The fourth line in a large type is page 2.
  const CVedTextPos from = doc.PathIn(0, kMoveNextChar, 6);
  const CVedTextPos to = doc.PathIn(0, kMoveNextChar, 7);
  CharFormat type;
  type.size = 480;
  type.mask = kMaskSize;
  EditResult result;
  ASSERT_NE(root().SetCharFont(&type, &from, &to, &result), 0);
  table.FirstPage();
  ASSERT_EQ(table.GetCount(), 3);
  ASSERT_EQ(*table.GetPageStart(2), LineStart(3));
  // Back in the normal type the line fits at the bottom of page 1.
  type.size = 120;
  ASSERT_NE(root().SetCharFont(&type, &from, &to, &result), 0);
  ASSERT_NE(result.heightDelta, 0);
  const ChangeRecord change = ChangeOf(result);
  ASSERT_EQ(change.lineStart, LineStart(3));
  table.Repaginate(&change);
  EXPECT_EQ(Heights(), (std::vector<int32_t>{4 * P, P}));
  EXPECT_EQ(*table.GetPageStart(2), LineStart(4));
  ExpectSameAsRebuild();
}

TEST_F(PageTableTest, DeletingTheTextAfterPageThreeLeavesThreePages) {
  SetTextHeight(HeightFor(3));
  doc.TypeIntoFirst(Paragraphs(12));
  table.FirstPage();
  ASSERT_EQ(table.GetCount(), 4);
  // From behind the ninth character to the end of the text.
  const CVedTextPos from = doc.PathIn(0, kMoveNextChar, 17);
  const CVedTextPos to = doc.PathIn(0, kMoveDocumentEnd);
  EditResult result;
  ASSERT_NE(root().DeleteRange(&from, &to, &result), 0);
  ASSERT_NE(result.heightDelta, 0);
  const ChangeRecord change = ChangeOf(result);
  EXPECT_EQ(table.Repaginate(&change), 1);
  EXPECT_EQ(Heights(), (std::vector<int32_t>{3 * P, 3 * P, 3 * P}));
  ExpectSameAsRebuild();
}

TEST_F(PageTableTest, PagesAreFoundByNumberInAnyOrderWhilePagesComeAndGo) {
  SetTextHeight(HeightFor(3));
  doc.TypeIntoFirst(Paragraphs(12));
  table.FirstPage();
  // Each paragraph is one line, three lines a page.
  auto expectPages = [this](int32_t count, const char* when) {
    ASSERT_EQ(table.GetCount(), count) << when;
    std::vector<int32_t> orders[] = {{}, {}, {}};
    for (int32_t n = 1; n <= count; ++n) orders[0].push_back(n);
    for (int32_t n = count; n >= 1; --n) orders[1].push_back(n);
    for (int32_t n = 1; n <= (count + 1) / 2; ++n) {
      orders[2].push_back(n);
      if (count + 1 - n != n) orders[2].push_back(count + 1 - n);
    }
    for (const std::vector<int32_t>& order : orders) {
      for (const int32_t n : order) {
        ASSERT_NE(table.GetPageStart(n), nullptr) << when << " page " << n;
        EXPECT_EQ(*table.GetPageStart(n), LineStart(3 * (n - 1))) << when << " page " << n;
        EXPECT_EQ(table.GetPageHeight(n), 3 * kLinePitch) << when << " page " << n;
      }
    }
    EXPECT_EQ(table.GetPageNode(count + 1), nullptr) << when;
    EXPECT_EQ(table.GetPageNode(0), nullptr) << when;
  };
  expectPages(4, "typed");

  // The last page found is one that goes.
  ASSERT_NE(table.GetPageNode(4), nullptr);
  const CVedTextPos from = doc.PathIn(0, kMoveNextChar, 17);
  const CVedTextPos to = doc.PathIn(0, kMoveDocumentEnd);
  EditResult deleted;
  ASSERT_NE(root().DeleteRange(&from, &to, &deleted), 0);
  const ChangeRecord shrink = ChangeOf(deleted);
  ASSERT_EQ(table.Repaginate(&shrink), 1);
  expectPages(3, "after the deletion");

  // Pages added after the last one found.
  ASSERT_NE(table.GetPageNode(2), nullptr);
  const CVedTextPos end = doc.PathIn(0, kMoveDocumentEnd);
  ASSERT_EQ(root().SetCursor(&end), 1);
  EditResult typed;
  root().InsertText(std::string(kParagraphEnd) + Paragraphs(6), &typed);
  const ChangeRecord grow = ChangeOf(typed);
  ASSERT_EQ(table.Repaginate(&grow), 1);
  expectPages(5, "after typing");

  // A full rebuild makes every record anew.
  ASSERT_NE(table.GetPageNode(3), nullptr);
  ChangeRecord whole;
  whole.changed = 1;
  table.Repaginate(&whole);
  EXPECT_EQ(table.GetPageHeight(3), 3 * kLinePitch);
  expectPages(5, "after a rebuild");
}

TEST_F(PageTableTest, NoChangeNoWork) {
  SetTextHeight(HeightFor(3));
  doc.TypeIntoFirst(Paragraphs(4));
  table.FirstPage();
  EXPECT_EQ(table.Repaginate(nullptr), 0);
  ChangeRecord unchanged;
  unchanged.lineStart = LineStart(0);
  unchanged.area[0] = {0, 0, kTextWidth, P};
  root().measured = 0;
  EXPECT_EQ(table.Repaginate(&unchanged), 0);
  EXPECT_EQ(root().measured, 0);
  EXPECT_EQ(table.GetRepaintState(1, nullptr), 0);
}

TEST_F(PageTableTest, AChangeWithoutALineRebuildsAndRepaintsEverything) {
  SetTextHeight(HeightFor(3));
  doc.TypeIntoFirst(Paragraphs(4));
  table.FirstPage();
  ChangeRecord whole;
  whole.changed = 1;
  root().measured = 0;
  EXPECT_EQ(table.Repaginate(&whole), 1);
  EXPECT_EQ(root().measured, 4);
  EXPECT_EQ(table.GetRepaintState(1, nullptr), 1);
  EXPECT_EQ(table.GetRepaintState(2, nullptr), 1);
}

TEST_F(PageTableTest, ARebuildStartedDuringARebuildDoesNothing) {
  SetTextHeight(HeightFor(3));
  doc.TypeIntoFirst(Paragraphs(4));
  CVedPageTable other;
  other.Attach(&root());
  bool sawGuard = false;
  root().onMeasure = [&] {
    sawGuard = CVedPageTable::IsRebuilding();
    other.FirstPage();
  };
  table.FirstPage();
  root().onMeasure = nullptr;
  EXPECT_TRUE(sawGuard);
  EXPECT_EQ(other.GetCount(), 0);
  EXPECT_EQ(table.GetCount(), 2);
  EXPECT_FALSE(CVedPageTable::IsRebuilding());
}

// --- Repaint marking -----------------------------------------------------------

class RepaintTest : public PageTableTest {
 protected:
  RepaintTest() {
    SetTextHeight(HeightFor(3));
    doc.TypeIntoFirst(Paragraphs(9));
    table.FirstPage();
  }

  void Mark(int line, platform::RECT first, int32_t heightChanged = 0) {
    ChangeRecord change;
    change.changed = 1;
    change.lineStart = LineStart(line);
    change.changeEnd = change.lineStart;
    change.heightChanged = heightChanged;
    change.area[0] = first;
    table.Repaginate(&change);
  }

  std::vector<platform::RECT> Rects(int32_t n) {
    const platform::RECT* rects = nullptr;
    const int32_t state = table.GetRepaintState(n, &rects);
    if (state == 0) return {};
    return std::vector<platform::RECT>(rects, rects + (state == 1 ? 1 : state));
  }

  // A band of the text area in page coordinates.
  static platform::RECT OnPage(int32_t top, int32_t bottom) {
    return {kTextArea.left, kTextArea.top + top, kTextArea.left + kTextWidth,
            kTextArea.top + bottom};
  }

  static platform::RECT WholePage() {
    return {kTextArea.left, kTextArea.top, kTextArea.right + 2 * kPitch,
            kTextArea.top + HeightFor(3)};
  }
};

TEST_F(RepaintTest, TypingInOneLineMarksOnlyItsBand) {
  EXPECT_EQ(TypeAtLine(4, kWideChar), 1);  // the line above it on its page
  EXPECT_EQ(table.GetCount(), 3);
  EXPECT_EQ(table.GetPageNode(2)->repaintState, kRepaintRects);
  EXPECT_EQ(Rects(2), std::vector<platform::RECT>{OnPage(P, 2 * P)});
  EXPECT_TRUE(Rects(1).empty());
  EXPECT_TRUE(Rects(3).empty());
  table.ResetRepaintState();
  EXPECT_TRUE(Rects(2).empty());
}

TEST_F(RepaintTest, AHeightChangeRepaintsEveryLaterPage) {
  TypeAtLine(4, kParagraphEnd);
  EXPECT_TRUE(Rects(1).empty());
  EXPECT_EQ(Rects(2), std::vector<platform::RECT>{OnPage(P, 2 * P)});
  EXPECT_EQ(table.GetCount(), 4);
  for (int32_t n = 3; n <= 4; ++n) {
    EXPECT_EQ(table.GetRepaintState(n, nullptr), 1);
    EXPECT_EQ(Rects(n), std::vector<platform::RECT>{WholePage()});
  }
}

TEST_F(RepaintTest, ABandCrossingThePageEndGoesOnOnTheNextPage) {
  Mark(2, {0, 0, kTextWidth, 2 * P});
  EXPECT_EQ(Rects(1), std::vector<platform::RECT>{OnPage(2 * P, 3 * P)});
  EXPECT_EQ(Rects(2), std::vector<platform::RECT>{OnPage(0, P)});
  EXPECT_TRUE(Rects(3).empty());
}

TEST_F(RepaintTest, ABandCoveringThePageMarksItWhole) {
  Mark(3, {0, 0, kTextWidth, 3 * P});
  EXPECT_EQ(table.GetRepaintState(2, nullptr), 1);
  EXPECT_EQ(Rects(2), std::vector<platform::RECT>{WholePage()});
  // A wholly dirty page takes no further bands.
  Mark(3, {0, 0, kTextWidth, P});
  EXPECT_EQ(Rects(2), std::vector<platform::RECT>{WholePage()});
}

TEST_F(RepaintTest, ARectangleBelowTheLastPageRepaintsEveryPage) {
  Mark(6, {0, 5 * P, kTextWidth, 6 * P});
  for (int32_t n = 1; n <= 3; ++n) EXPECT_EQ(table.GetRepaintState(n, nullptr), 1);
}

TEST_F(RepaintTest, AnEmptyAreaMarksNothing) {
  Mark(4, {});
  for (int32_t n = 1; n <= 3; ++n) EXPECT_EQ(table.GetRepaintState(n, nullptr), 0);
}

TEST_F(RepaintTest, AChangeOnALineOfNoPageRepaintsEveryPage) {
  ChangeRecord change;
  change.changed = 1;
  change.lineStart = container_test::InChild(0, LineStart(4));
  change.area[0] = {0, 0, kTextWidth, P};
  table.Repaginate(&change);
  for (int32_t n = 1; n <= 3; ++n) EXPECT_EQ(table.GetRepaintState(n, nullptr), 1);
}

TEST_F(RepaintTest, MarkAllDirtyUsesTheWholePageRectangle) {
  table.MarkAllDirty();
  for (int32_t n = 1; n <= 3; ++n) EXPECT_EQ(Rects(n), std::vector<platform::RECT>{WholePage()});
  table.ResetRepaintState();
  for (int32_t n = 1; n <= 3; ++n) EXPECT_EQ(table.GetRepaintState(n, nullptr), 0);
}

}  // namespace
