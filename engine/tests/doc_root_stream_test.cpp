#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

#include "doc_root_fixture.h"
#include "doc_root_stream_bytes.h"
#include "engine/doc_root.h"
#include "engine/wp_ctrl.h"

namespace doc_root_test {
namespace {

constexpr int kWithHeader = 1;
constexpr int kBare = 0;
// A one-line text child: its line of 330 twips and its gap of 20.
constexpr int32_t kOneLine = 350;

class DocRootStreamTest : public DocRootTest {
 protected:
  // The default format applied after the page format equals the typing
  // format the page format left, so the text never realises its font; a
  // different format first makes it do so.
  DocRootStreamTest() {
    CharFormat typing;
    CDocBunsObj::BuildDefaultCharFormat(format, typing);
    typing.size += 10;
    root.SetCharFormat(&typing);
    root.SetCharFormat(nullptr);
  }

  Bytes Write(uint32_t flags, int withHeader, int* answer = nullptr) {
    platform::CMemFile file;
    {
      platform::CArchive archive(&file, platform::CArchive::kStore);
      const int written = root.WriteToArchive(flags, archive, withHeader);
      if (answer != nullptr) *answer = written;
      archive.Close();
    }
    return FileBytes(file);
  }

  int Insert(uint32_t flags, Bytes bytes, int withHeader, EditResult* out = nullptr) {
    platform::CMemFile file(bytes.data(), bytes.size());
    platform::CArchive archive(&file, platform::CArchive::kLoad);
    return root.InsertFromArchive(flags, archive, out, withHeader);
  }

  // The document "ab", then a second text child "cd".
  void TwoTexts() {
    Type("ab");
    AddTextChild("cd");
  }

  // Two paragraphs, a table of two rows and three columns after them and
  // the empty text that follows a table.
  void TextAndTable() {
    Type("ab\rxyz");
    EditResult table;
    root.InsertTable(2, 3, &table);
  }
};

TEST_F(DocRootStreamTest, WholeDocumentWithHeaderAsWrittenByHand) {
  Type("ab");
  Bytes expected = RootSignature();
  Append(&expected, FixedFaceFontBlock());
  // One text child holds the whole range: the blocks go without headers.
  Append(&expected, RangeKind(CDocBunsObj::kRangeInOneText));
  Append(&expected, TwoCharTextBlock('a', 'b'));

  int answer = -1;
  EXPECT_EQ(Write(CDocBunsObj::kStreamOwnFormat, kWithHeader, &answer), expected);
  EXPECT_EQ(answer, kWpcOk);
  EXPECT_EQ(root.Renderer().GetSavedFontList(), nullptr);
}

TEST_F(DocRootStreamTest, TwoChildrenAreWrittenWithCountAndChildHeaders) {
  TwoTexts();
  Bytes expected = RootSignature();
  Append(&expected, FixedFaceFontBlock());
  Append(&expected, RangeKind(CDocBunsObj::kRangeAcrossObjects));
  AppendInt32(&expected, 2);
  Append(&expected, TextChildHeader(kOneLine, 1, 0));
  Append(&expected, TwoCharTextBlock('a', 'b'));
  Append(&expected, TextChildHeader(kOneLine, 1, 1));
  Append(&expected, TwoCharTextBlock('c', 'd'));

  EXPECT_EQ(Write(CDocBunsObj::kStreamOwnFormat, kWithHeader), expected);
}

TEST_F(DocRootStreamTest, BareFormStartsAtTheRangeKind) {
  TwoTexts();
  Bytes expected = RangeKind(CDocBunsObj::kRangeAcrossObjects);
  AppendInt32(&expected, 2);
  Append(&expected, TextChildHeader(kOneLine, 1, 0));
  Append(&expected, TwoCharTextBlock('a', 'b'));
  Append(&expected, TextChildHeader(kOneLine, 1, 1));
  Append(&expected, TwoCharTextBlock('c', 'd'));

  EXPECT_EQ(Write(CDocBunsObj::kStreamOwnFormat, kBare), expected);
}

TEST_F(DocRootStreamTest, TextFormatsAreTheContentAlone) {
  TwoTexts();
  EXPECT_EQ(AsText(Write(CDocBunsObj::kStreamPlainText, kWithHeader)), "ab\r\ncd");
  EXPECT_EQ(AsText(Write(CDocBunsObj::kStreamBareText, kWithHeader)), "abcd");
}

TEST_F(DocRootStreamTest, SelectionFlagWithoutSelectionWritesTheCaretPositionOnly) {
  TwoTexts();
  const uint32_t flags = CDocBunsObj::kStreamPlainText | CDocBunsObj::kStreamSelection;
  EXPECT_EQ(AsText(Write(flags, kBare)), "");
}

TEST_F(DocRootStreamTest, WrongDirectionAndMissingFormatAreRefused) {
  Type("ab");
  platform::CMemFile file;
  platform::CArchive storing(&file, platform::CArchive::kStore);
  EXPECT_EQ(root.InsertFromArchive(CDocBunsObj::kStreamOwnFormat, storing, nullptr, kWithHeader),
            kWpcWrongDirection);

  Bytes empty;
  platform::CMemFile source(empty.data(), empty.size());
  platform::CArchive loading(&source, platform::CArchive::kLoad);
  EXPECT_EQ(root.WriteToArchive(CDocBunsObj::kStreamOwnFormat, loading, kWithHeader),
            kWpcWrongDirection);

  int answer = -1;
  EXPECT_TRUE(Write(CDocBunsObj::kStreamSelection, kWithHeader, &answer).empty());
  EXPECT_EQ(answer, kWpcNoFormat);

  Bytes stream = Write(CDocBunsObj::kStreamOwnFormat, kWithHeader);
  EXPECT_EQ(Insert(CDocBunsObj::kStreamAtCaret | CDocBunsObj::kStreamBareText, stream, kWithHeader),
            kWpcNoFormat);
  EXPECT_EQ(PlainText(), "ab");
}

// A whole-document load replaces the content and writing it again gives
// the very bytes it was read from.
TEST_F(DocRootStreamTest, RoundTripGivesIdenticalBytes) {
  TextAndTable();
  const Bytes first = Write(CDocBunsObj::kStreamOwnFormat, kWithHeader);

  root.Reset();
  Type("something else");
  EditResult loaded;
  EXPECT_EQ(Insert(CDocBunsObj::kStreamOwnFormat, first, kWithHeader, &loaded), kWpcOk);
  EXPECT_EQ(loaded.changed, 1);
  EXPECT_EQ(Write(CDocBunsObj::kStreamOwnFormat, kWithHeader), first);
  EXPECT_EQ(root.Renderer().GetSavedFontList(), nullptr);
}

TEST_F(DocRootStreamTest, BareRoundTripGivesIdenticalBytes) {
  TextAndTable();
  const std::string text = PlainText();
  const Bytes bare = Write(CDocBunsObj::kStreamOwnFormat, kBare);
  root.Reset();
  EXPECT_EQ(Insert(CDocBunsObj::kStreamOwnFormat, bare, kBare), kWpcOk);
  EXPECT_EQ(PlainText(), text);
  EXPECT_EQ(Write(CDocBunsObj::kStreamOwnFormat, kBare), bare);
}

// Any byte of the 16-byte signature counts, the padding included.
TEST_F(DocRootStreamTest, SignatureMismatchInAnyByteInsertsNothing) {
  Type("ab");
  const Bytes good = Write(CDocBunsObj::kStreamOwnFormat, kWithHeader);
  for (const size_t at : {size_t{0}, size_t{9}, size_t{10}, size_t{15}}) {
    SCOPED_TRACE(at);
    Bytes bad = good;
    bad[at] ^= 0x01;
    platform::CMemFile file(bad.data(), bad.size());
    platform::CArchive archive(&file, platform::CArchive::kLoad);
    EditResult out;
    EXPECT_EQ(root.ReadContent(archive, kFormatOwnBlock, kWithHeader, &out), kWpcBadSignature);
    EXPECT_EQ(out.changed, 0);
    EXPECT_EQ(PlainText(), "ab");
    EXPECT_EQ(root.Renderer().GetSavedFontList(), nullptr);
  }
}

TEST_F(DocRootStreamTest, DocumentReadReportsFailureWithoutThrowing) {
  Type("ab");
  const Bytes good = Write(CDocBunsObj::kStreamOwnFormat, kWithHeader);
  root.Reset();
  struct Case {
    const char* name;
    Bytes bytes;
    int answer;
  };
  Bytes truncated(good.begin(), good.begin() + 40);
  Bytes badBlock = good;
  badBlock[good.size() - TwoCharTextBlock('a', 'b').size()] = 'X';  // the block's tag
  const std::vector<Case> cases = {
      {"whole", good, 1}, {"truncated header", truncated, 0}, {"bad block", badBlock, 0}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    root.Reset();
    Bytes bytes = c.bytes;
    platform::CMemFile file(bytes.data(), bytes.size());
    platform::CArchive archive(&file, platform::CArchive::kLoad);
    EXPECT_EQ(root.ReadContent(archive), c.answer);
    EXPECT_EQ(root.Renderer().GetSavedFontList(), nullptr);
  }
  EXPECT_EQ(PlainText(), "");
}

TEST_F(DocRootStreamTest, HeaderReadGivesTheRangeKind) {
  TwoTexts();
  Bytes bytes = Write(CDocBunsObj::kStreamOwnFormat, kBare);
  platform::CMemFile file(bytes.data(), bytes.size());
  platform::CArchive archive(&file, platform::CArchive::kLoad);
  int32_t kind = 0;
  EXPECT_EQ(root.ReadStreamHeader(archive, &kind, kBare), kWpcOk);
  EXPECT_EQ(kind, CDocBunsObj::kRangeAcrossObjects);
  EXPECT_EQ(file.GetPosition(), 4u + 128u);
}

TEST_F(DocRootStreamTest, RangeToMemoryEndsWithOneZeroByte) {
  TwoTexts();
  std::vector<uint8_t> block = {0x55};
  EXPECT_EQ(root.WriteRangeToMemory(nullptr, nullptr, kFormatPlainText, &block), 0);
  EXPECT_EQ(AsText(block), std::string("ab\r\ncd", 6) + '\0');
  EXPECT_EQ(root.WriteRangeToMemory(nullptr, nullptr, kFormatBareText, &block), 0);
  EXPECT_EQ(AsText(block), std::string("abcd") + '\0');

  std::vector<uint8_t> untouched = {0x55};
  EXPECT_EQ(root.WriteRangeToMemory(nullptr, nullptr, kFormatOwnBlock, &untouched), 1);
  EXPECT_EQ(untouched, std::vector<uint8_t>{0x55});
}

TEST_F(DocRootStreamTest, WholeDocumentLoadRecordsNoUndo) {
  TextAndTable();
  const Bytes stream = Write(CDocBunsObj::kStreamOwnFormat, kWithHeader);
  root.Reset();
  Type("old");
  EXPECT_EQ(Insert(CDocBunsObj::kStreamOwnFormat | CDocBunsObj::kStreamUndo, stream, kWithHeader),
            kWpcOk);
  CEditOpLog& log = root.GetEditOpLog();
  EXPECT_TRUE(log.IsSuppressed());
  log.Rewind();
  EXPECT_EQ(log.GetNext(), nullptr);
  EXPECT_FALSE(log.IsActive());
}

TEST_F(DocRootStreamTest, PlainTextGoesInAtTheCaret) {
  Type("ab");
  const std::string text = "xy\r\nz";
  Bytes bytes(text.begin(), text.end());
  EditResult out;
  EXPECT_EQ(
      Insert(CDocBunsObj::kStreamPlainText | CDocBunsObj::kStreamAtCaret | CDocBunsObj::kStreamUndo,
             bytes, kWithHeader, &out),
      kWpcOk);
  EXPECT_EQ(out.changed, 1);
  EXPECT_EQ(PlainText(), "abxy\r\nz");
  EXPECT_TRUE(window.Cues().empty());
  CEditOpLog& log = root.GetEditOpLog();
  log.Rewind();
  EXPECT_NE(log.GetNext(), nullptr);
  EXPECT_FALSE(log.IsActive());
}

TEST_F(DocRootStreamTest, ReadOnlyDocumentRefusesWithTheNoInputCue) {
  Type("ab");
  root.SetReadOnly(1);
  Bytes bytes = {'x'};
  EXPECT_EQ(Insert(CDocBunsObj::kStreamPlainText | CDocBunsObj::kStreamAtCaret, bytes, kBare),
            kWpcFormatRefused);
  EXPECT_EQ(window.Cues(), std::vector<int>{kCueRefused});
  EXPECT_EQ(PlainText(), "ab");
}

// A stream that is not the root's inserts nothing: one warning, no undo
// step, and the edit-operation group is closed again.
TEST_F(DocRootStreamTest, ForeignStreamAtTheCaretWarnsOnceAndChangesNothing) {
  Type("ab");
  Bytes foreign = Write(CDocBunsObj::kStreamOwnFormat, kWithHeader);
  foreign[3] = 'X';
  EXPECT_EQ(
      Insert(CDocBunsObj::kStreamOwnFormat | CDocBunsObj::kStreamAtCaret | CDocBunsObj::kStreamUndo,
             foreign, kWithHeader),
      kWpcBadSignature);
  EXPECT_EQ(window.Cues(), std::vector<int>{kCueWarning});
  EXPECT_EQ(PlainText(), "ab");
  CEditOpLog& log = root.GetEditOpLog();
  log.Rewind();
  EXPECT_EQ(log.GetNext(), nullptr);
  EXPECT_FALSE(log.IsActive());
  EXPECT_EQ(root.Renderer().GetSavedFontList(), nullptr);
}

// A stream cut short throws out of the insertion; the group is closed and
// the saved font list gone all the same.
TEST_F(DocRootStreamTest, ArchiveFailureLeavesNoOpenGroupNorFontList) {
  Type("ab");
  const Bytes whole = Write(CDocBunsObj::kStreamOwnFormat, kWithHeader);
  // Cut inside the reserved bytes after the range kind.
  const Bytes cut(whole.begin(), whole.begin() + 300);
  EXPECT_ANY_THROW(
      Insert(CDocBunsObj::kStreamOwnFormat | CDocBunsObj::kStreamAtCaret | CDocBunsObj::kStreamUndo,
             cut, kWithHeader));
  EXPECT_FALSE(root.GetEditOpLog().IsActive());
  EXPECT_EQ(root.Renderer().GetSavedFontList(), nullptr);
}

}  // namespace
}  // namespace doc_root_test
