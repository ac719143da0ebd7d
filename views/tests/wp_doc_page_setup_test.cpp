// The framework document's page setup: the document style built from a
// page-setup record, byte for byte against a style written out by hand,
// the way back, and the layout anew through a temporary file.
#include <gtest/gtest.h>
#include <stdlib.h>

#include <array>
#include <cstring>
#include <filesystem>
#include <string>

#include "engine/doc_style.h"
#include "engine/tests/doc_root_fixture.h"
#include "engine/wp_commands.h"
#include "platform/file.h"
#include "platform/synthetic_fonts.h"
#include "views/wp_doc.h"

namespace {

namespace fs = std::filesystem;

using platform::RECT;

// At 1440 dpi a twip is a dot; the synthetic face of 12 points has a line
// height of 240 and a descent of 30 twips.
constexpr int32_t kDpi = 1440;
constexpr char kStartChars[] = "\x81\x41\x81\x42";  // 、。
constexpr char kEndChars[] = "\x81\x69";            // （

// A4, margins 30 mm top and bottom, 25 mm left and right, 40 characters
// by 30 lines, page numbers in a band across the foot of the page.
struct TestSetup {
  TestSetup() {
    record.paperId = 9;
    record.paperSource = 7;
    record.orientation = 1;
    std::strcpy(record.paperName, "A4");
    paper.MarginTop = paper.MarginBottom = 300;
    paper.MarginLeft = paper.MarginRight = 250;
    paper.dpiDC[0] = paper.dpiDC[1] = kDpi;
    std::strcpy(font.FontName, platform::kSyntheticFixedFace);
    font.FontSize = 120;
    layout.Chars = 40;
    layout.Lines = 30;
    layout.KinsokuTop = -1;
    std::strcpy(layout.KinsokuTopChars, kStartChars);
    layout.KinsokuEnd = 1;
    std::strcpy(layout.KinsokuEndChars, kEndChars);
    layout.TabSpace = 4;
    layout.Indent1 = 1;
    layout.Indent2 = 2;
    layout.IndentEnd = 3;
    std::strcpy(number.NFontName, platform::kSyntheticFixedFace);
    number.NFontSize = 90;
    number.NVexpan = 100;
    number.NHexpan = 50;
    number.NBold = 1;
    number.Position = kPageNumberBelow;
    number.AreaRectStr = RECT{250, 2600, 1850, 2900};
    number.PrintOut = 1;
    number.Start = 1;
    number.ParaArrange = 2;
    number.OutForm = 2;
    record.paper = &paper;
    record.font = &font;
    record.layout = &layout;
    record.pageNumber = &number;
  }
  TestSetup(const TestSetup&) = delete;
  TestSetup& operator=(const TestSetup&) = delete;

  PageSetupRecord record;
  PageSetupPaper paper;
  PageSetupFont font;
  PageSetupLayout layout;
  PageSetupPageNumber number;
};

void Put32(DocStyleBytes& bytes, size_t at, int32_t value) {
  for (int i = 0; i < 4; ++i)
    bytes[at + i] = static_cast<uint8_t>(static_cast<uint32_t>(value) >> (8 * i));
}
void Put16(DocStyleBytes& bytes, size_t at, int16_t value) {
  bytes[at] = static_cast<uint8_t>(value & 0xFF);
  bytes[at + 1] = static_cast<uint8_t>((static_cast<uint16_t>(value) >> 8) & 0xFF);
}
void PutText(DocStyleBytes& bytes, size_t at, const char* text) {
  std::memcpy(bytes.data() + at, text, std::strlen(text));
}

// The style of TestSetup, worked out by hand.
//   text area, 0.1 mm: (250, 300, 1850, 2670); in twips (x 1440 / 254,
//   rounded): (1417, 1701, 10488, 15137), 9071 by 13436.
//   across: 9071 / 40 = 226, gap 226 - 120 = 106 twips = 18.7 -> 19 tenths
//   = 107.7 -> 108 twips, pitch 228; 40 x 228 = 9120 > 9071, so the width
//   is 9120 and the right edge 10537.
//   down: 13436 / 30 = 447, gap 447 - (90 + 240) = 117 twips = 20.6 -> 21
//   tenths = 119.1 -> 119 twips, pitch 449; 30 x 449 = 13470 > 13436, so
//   the height is 13470 and the bottom edge 15171.
//   page numbers: (250, 2600, 1850, 2900) is (1417, 14740, 10488, 16441)
//   in twips; the text area covers its top across its whole width up to
//   15171, which is cut off.
DocStyleBytes ExpectedBytes() {
  DocStyleBytes b{};
  Put32(b, 0, 2100);
  Put32(b, 4, 2970);
  Put32(b, 8, 250);
  Put32(b, 12, 300);
  Put32(b, 16, 1850);
  Put32(b, 20, 2670);
  Put32(b, 24, 1417);
  Put32(b, 28, 1701);
  Put32(b, 32, 10537);
  Put32(b, 36, 15171);
  Put32(b, 40, 9120);
  Put32(b, 44, 13470);
  Put32(b, 48, 1440);
  Put32(b, 52, 1440);
  PutText(b, 56, "Synthetic Fixed");
  Put32(b, 88, 120);
  b[92] = 100;
  b[93] = 100;
  b[94] = 0;
  b[95] = 0;
  Put16(b, 96, 0);
  Put16(b, 98, -1);
  PutText(b, 100, kStartChars);
  Put16(b, 228, 1);
  PutText(b, 230, kEndChars);
  Put16(b, 358, 4);
  Put16(b, 360, 1);
  Put16(b, 362, 2);
  Put16(b, 364, 3);
  Put32(b, 368, 108);
  Put32(b, 372, 119);
  Put32(b, 376, 228);
  Put32(b, 380, 449);
  PutText(b, 384, "Synthetic Fixed");
  Put32(b, 416, 90);
  b[420] = 100;
  b[421] = 50;
  b[422] = 1;
  b[423] = 0;
  Put32(b, 424, 1417);
  Put32(b, 428, 15171);
  Put32(b, 432, 10488);
  Put32(b, 436, 16441);
  Put16(b, 440, 1);
  Put16(b, 442, 1);
  Put16(b, 444, 2);
  Put16(b, 446, 2);
  Put16(b, 464, 1);
  return b;
}

class WpDocPageSetupTest : public ::testing::Test {
 protected:
  WpDocPageSetupTest() {
    char pattern[] = "/tmp/lexora-wpdoc-XXXXXX";
    folder_ = mkdtemp(pattern);
    const char* previous = getenv("TMPDIR");
    if (previous != nullptr) previousTmp_ = previous;
    setenv("TMPDIR", folder_.c_str(), 1);
  }
  ~WpDocPageSetupTest() override {
    if (previousTmp_.empty()) {
      unsetenv("TMPDIR");
    } else {
      setenv("TMPDIR", previousTmp_.c_str(), 1);
    }
    std::error_code ignored;
    fs::remove_all(folder_, ignored);
  }

  bool TempFolderEmpty() const { return fs::is_empty(folder_); }

  static std::string TextOf(CVedWpDoc& document) {
    platform::CMemFile file;
    platform::CArchive archive(&file, platform::CArchive::kStore);
    document.GetEngine()->DocumentCommand(WPC_WRITE_BARE_CONTENT, CDocBunsObj::kStreamPlainText,
                                          &archive);
    archive.Close();
    return std::string(reinterpret_cast<const char*>(file.Data()), file.GetLength());
  }

  static DocStyle AppliedStyle(CVedWpDoc& document) {
    DocStyle style;
    document.GetEngine()->StyleCommand(WPC_GET_APPLIED_DOCSTYLE, nullptr, &style);
    return style;
  }

  doc_root_test::TestEnvironment environment;
  fs::path folder_;
  std::string previousTmp_;
};

TEST_F(WpDocPageSetupTest, TheStyleIsTheOneWrittenOutByHand) {
  CVedWpDoc document;
  TestSetup setup;
  DocStyle style;
  ASSERT_EQ(document.PageSetupToDocStyle(setup.record, style), 0);
  const DocStyleBytes expected = ExpectedBytes();
  const DocStyleBytes made = EncodeDocStyle(style);
  for (size_t at = 0; at < kDocStyleSize; ++at) {
    EXPECT_EQ(made[at], expected[at]) << "byte " << at;
  }
}

TEST_F(WpDocPageSetupTest, AVerticalFaceIsMeasuredUprightFormStoredWithoutTheAtSign) {
  CVedWpDoc document;
  TestSetup setup;
  std::strcpy(setup.font.FontName, "@Synthetic Fixed");
  setup.font.Direction = 1;
  DocStyle style;
  ASSERT_EQ(document.PageSetupToDocStyle(setup.record, style), 0);
  EXPECT_STREQ(style.face, platform::kSyntheticFixedFace);
  EXPECT_EQ(style.vertical, 1);
  // The synthetic vertical face has the upright one's metrics.
  EXPECT_EQ(style.charPitch, 228);
  EXPECT_EQ(style.linePitch, 449);
}

TEST_F(WpDocPageSetupTest, WithoutResolutionsTheScreensAreUsed) {
  CVedWpDoc document;
  TestSetup setup;
  setup.paper.dpiDC[1] = 0;
  DocStyle style;
  ASSERT_EQ(document.PageSetupToDocStyle(setup.record, style), 0);
  EXPECT_EQ(style.resolutionX, 96);
  EXPECT_EQ(style.resolutionY, 96);
}

TEST_F(WpDocPageSetupTest, ZeroCountsAndMissingFacesAreRefused) {
  CVedWpDoc document;
  struct Case {
    const char* what;
    uint16_t chars, lines;
    const char* face;
  };
  const Case cases[] = {
      {"no characters per line", 0, 30, platform::kSyntheticFixedFace},
      {"no lines per page", 40, 0, platform::kSyntheticFixedFace},
      {"a face that is not installed", 40, 30, "Not Installed"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    TestSetup setup;
    setup.layout.Chars = c.chars;
    setup.layout.Lines = c.lines;
    std::strcpy(setup.font.FontName, c.face);
    DocStyle style;
    EXPECT_EQ(document.PageSetupToDocStyle(setup.record, style), -1);
    EXPECT_EQ(document.ApplyPageSetup(setup.record, 1), -1);
  }
  EXPECT_EQ(document.GetEngine()->DocumentCommand(WPC_HAS_DOCUMENT, 0, nullptr), 0);
}

TEST_F(WpDocPageSetupTest, ApplyingToAnEngineWithoutADocumentStartsOneInThatStyle) {
  CVedWpDoc document;
  TestSetup setup;
  ASSERT_EQ(document.ApplyPageSetup(setup.record, 1), 0);
  EXPECT_NE(document.GetEngine()->DocumentCommand(WPC_HAS_DOCUMENT, 0, nullptr), 0);
  EXPECT_EQ(EncodeDocStyle(AppliedStyle(document)), ExpectedBytes());
  EXPECT_TRUE(TempFolderEmpty());
}

TEST_F(WpDocPageSetupTest, GetPageSetupAnswersTheMarginsThatWereAppliedNotTheWidenedArea) {
  CVedWpDoc document;
  TestSetup applied;
  applied.record.orientation = 2;
  ASSERT_EQ(document.ApplyPageSetup(applied.record, 1), 0);

  TestSetup back;
  std::memset(back.record.paperName, 'x', sizeof back.record.paperName);
  ASSERT_EQ(document.GetPageSetup(back.record), 0);
  EXPECT_EQ(back.record.paperId, 9);
  EXPECT_EQ(back.record.paperSource, 7);
  EXPECT_EQ(back.record.orientation, 2);
  EXPECT_STREQ(back.record.paperName, "A4");
  EXPECT_EQ(back.paper.PaperWidth, 2100);
  EXPECT_EQ(back.paper.PaperHeight, 2970);
  EXPECT_EQ(back.paper.MarginTop, 300);
  EXPECT_EQ(back.paper.MarginBottom, 300);
  EXPECT_EQ(back.paper.MarginLeft, 250);
  EXPECT_EQ(back.paper.MarginRight, 250);
  EXPECT_EQ(back.paper.dpiDC[0], kDpi);
  EXPECT_EQ(back.layout.Chars, 40);
  EXPECT_EQ(back.layout.Lines, 30);
  // 108 twips = 19.05 tenths, 119 twips = 20.99 tenths.
  EXPECT_EQ(back.layout.charGap, 19);
  EXPECT_EQ(back.layout.lineGap, 21);
  EXPECT_STREQ(back.layout.KinsokuTopChars, kStartChars);
  EXPECT_EQ(back.layout.KinsokuEnd, 1);
  EXPECT_EQ(back.layout.IndentEnd, 3);
  EXPECT_STREQ(back.font.FontName, platform::kSyntheticFixedFace);
  EXPECT_EQ(back.font.FontSize, 120);
  // The cut page-number area, back in 0.1 mm.
  EXPECT_EQ(back.number.AreaRectStr, (RECT{250, 2676, 1850, 2900}));
  EXPECT_EQ(back.number.Position, kPageNumberBelow);
  EXPECT_EQ(back.number.NHexpan, 50);
  EXPECT_EQ(back.number.OutForm, 2);
}

TEST_F(WpDocPageSetupTest, APaperNameWithoutItsEndIsKeptToSixtyThreeCharacters) {
  CVedWpDoc document;
  TestSetup applied;
  std::memset(applied.record.paperName, 'P', sizeof applied.record.paperName);
  ASSERT_EQ(document.ApplyPageSetup(applied.record, 1), 0);
  TestSetup back;
  ASSERT_EQ(document.GetPageSetup(back.record), 0);
  EXPECT_EQ(std::string(back.record.paperName), std::string(kPaperNameLength, 'P'));
}

TEST_F(WpDocPageSetupTest, GetPageSetupBeforeAnyStyleIsRefused) {
  CVedWpDoc document;
  TestSetup back;
  EXPECT_EQ(document.GetPageSetup(back.record), -1);
  EXPECT_EQ(back.layout.Chars, 40);
}

// Text typed into a document with the test setup: 30 lines of "あいう".
class ReflowTest : public WpDocPageSetupTest {
 protected:
  void Fill(CVedWpDoc& document) {
    ASSERT_EQ(document.ApplyPageSetup(setup_.record, 1), 0);
    std::string text;
    for (int line = 0; line < 30; ++line) text += "\x82\xA0\x82\xA2\x82\xA4\r";
    document.GetEngine()->EditCommand(WPC_INSERT_TEXT, 1, reinterpret_cast<intptr_t>(text.c_str()));
    text_ = TextOf(document);
    ASSERT_FALSE(text_.empty());
  }

  TestSetup setup_;
  std::string text_;
};

TEST_F(ReflowTest, ANewPageSetupLaysTheTextOutAnewAndRestoresTheMaskItFound) {
  CVedWpDoc document;
  Fill(document);
  const int pagesBefore = document.GetEngine()->EditCommand(WPC_GET_PAGE_COUNT, 0, 0);
  constexpr int kOnlyLoads = 0x1000;
  document.GetEngine()->NotifyCommand(WPC_SET_NOTIFY_MASK, kOnlyLoads);

  TestSetup fewer;
  fewer.layout.Lines = 10;
  ASSERT_EQ(document.ApplyPageSetup(fewer.record, 1), 0);
  EXPECT_EQ(TextOf(document), text_);
  EXPECT_GT(document.GetEngine()->EditCommand(WPC_GET_PAGE_COUNT, 0, 0), pagesBefore);
  EXPECT_EQ(AppliedStyle(document).textHeight, 10 * AppliedStyle(document).linePitch);
  EXPECT_EQ(document.GetEngine()->NotifyCommand(WPC_GET_NOTIFY_MASK, 0), kOnlyLoads);
  EXPECT_TRUE(TempFolderEmpty());
}

TEST_F(ReflowTest, WithoutReflowOnlyTheDocumentsMembersChange) {
  CVedWpDoc document;
  Fill(document);
  const DocStyleBytes before = EncodeDocStyle(AppliedStyle(document));
  TestSetup other;
  other.layout.Lines = 10;
  other.record.paperSource = 15;
  ASSERT_EQ(document.ApplyPageSetup(other.record, 0), 0);
  EXPECT_EQ(EncodeDocStyle(AppliedStyle(document)), before);
  TestSetup back;
  ASSERT_EQ(document.GetPageSetup(back.record), 0);
  EXPECT_EQ(back.record.paperSource, 15);
}

TEST_F(ReflowTest, AnEmptyDocumentTakesTheStyleWithoutATemporaryFile) {
  CVedWpDoc document;
  ASSERT_EQ(document.ApplyPageSetup(setup_.record, 1), 0);
  TestSetup fewer;
  fewer.layout.Lines = 10;
  ASSERT_EQ(document.ApplyPageSetup(fewer.record, 1), 0);
  EXPECT_EQ(AppliedStyle(document).textHeight, 10 * AppliedStyle(document).linePitch);
  EXPECT_TRUE(TempFolderEmpty());
}

TEST_F(ReflowTest, WithoutAWritableTemporaryFolderTheReflowFailsAndTheTextStays) {
  CVedWpDoc document;
  Fill(document);
  setenv("TMPDIR", (folder_ / "missing").c_str(), 1);
  TestSetup fewer;
  fewer.layout.Lines = 10;
  EXPECT_EQ(document.ApplyPageSetup(fewer.record, 1), -1);
  EXPECT_EQ(TextOf(document), text_);
  EXPECT_EQ(AppliedStyle(document).linePitch, 449);
}

// A document whose first load of a new style drops the old content and
// then fails, as a read that breaks off half-way would.
class FailingLoadDoc : public CVedWpDoc {
 public:
  int loads = 0;

 protected:
  int ApplyStyleWithContent(platform::CArchive* archive, DocStyle& style) override {
    if (archive != nullptr && loads++ == 0) {
      CVedWpDoc::ApplyStyleWithContent(nullptr, style);
      return kWpcRefused;
    }
    return CVedWpDoc::ApplyStyleWithContent(archive, style);
  }
};

TEST_F(ReflowTest, ALoadThatFailsAfterDroppingTheTextIsUndoneFromTheTemporaryCopy) {
  FailingLoadDoc document;
  Fill(document);
  constexpr int kOnlyLoads = 0x1000;
  document.GetEngine()->NotifyCommand(WPC_SET_NOTIFY_MASK, kOnlyLoads);
  const DocStyleBytes before = EncodeDocStyle(AppliedStyle(document));
  TestSetup fewer;
  fewer.layout.Lines = 10;
  EXPECT_EQ(document.ApplyPageSetup(fewer.record, 1), -1);
  EXPECT_EQ(document.loads, 2);
  EXPECT_EQ(TextOf(document), text_);
  EXPECT_EQ(EncodeDocStyle(AppliedStyle(document)), before);
  EXPECT_EQ(document.GetEngine()->NotifyCommand(WPC_GET_NOTIFY_MASK, 0), kOnlyLoads);
  EXPECT_TRUE(TempFolderEmpty());
  // The members still describe the style in force.
  TestSetup back;
  ASSERT_EQ(document.GetPageSetup(back.record), 0);
  EXPECT_EQ(back.layout.Lines, 30);
}

}  // namespace
