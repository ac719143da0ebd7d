// A document's life through the engine's numbered commands only: typed,
// moved through, edited, undone and redone, saved to a file and loaded
// into a second engine; and the fixed first bytes of every saved document.
#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdio>
#include <cstring>
#include <filesystem>
#include <string>
#include <vector>

#include "platform/file.h"
#include "wp_ctrl_fixture.h"

namespace doc_root_test {
namespace {

using Bytes = std::vector<uint8_t>;

// 日本語の文章です。 / 二行目、ここ。 / 三行目
constexpr char kFirstLine[] =
    "\x93\xFA\x96\x7B\x8C\xEA\x82\xCC\x95\xB6\x8F\xCD\x82\xC5\x82\xB7\x81\x42";
constexpr char kSecondLine[] = "\x93\xF1\x8D\x73\x96\xDA\x81\x41\x82\xB1\x82\xB1\x81\x42";
constexpr char kThirdLine[] = "\x8E\x4F\x8D\x73\x96\xDA";

// Little-endian fields written by hand into a record.
void Put32(Bytes& record, size_t offset, int32_t value) {
  for (int i = 0; i < 4; ++i) record[offset + i] = static_cast<uint8_t>(value >> (8 * i));
}
void Put16(Bytes& record, size_t offset, int16_t value) {
  record[offset] = static_cast<uint8_t>(value);
  record[offset + 1] = static_cast<uint8_t>(value >> 8);
}
void PutText(Bytes& record, size_t offset, const char* text) {
  std::memcpy(record.data() + offset, text, std::strlen(text));
}

// The 704-byte style record of the test style, as the stream header
// stores it: field by field, the marker "0001", the orientation, zeros.
Bytes StyleRecord() {
  const DocStyle s = TestStyle();
  Bytes r(704, 0);
  Put32(r, 0, 2100);
  Put32(r, 4, 2970);
  Put32(r, 8, 200);
  Put32(r, 12, 300);
  Put32(r, 16, 1900);
  Put32(r, 20, 2700);
  Put32(r, 24, s.textAreaTwips.left);
  Put32(r, 28, s.textAreaTwips.top);
  Put32(r, 32, s.textAreaTwips.right);
  Put32(r, 36, s.textAreaTwips.bottom);
  Put32(r, 40, kStyleCharsPerLine * kWide);
  Put32(r, 44, kStyleLinesPerPage * kLinePitch);
  Put32(r, 48, 96);
  Put32(r, 52, 96);
  PutText(r, 56, platform::kSyntheticFixedFace);
  Put32(r, 88, 120);
  r[92] = 100;
  r[93] = 100;
  Put16(r, 98, -1);
  PutText(r, 100, text_test::kStartList);
  Put16(r, 228, -1);
  PutText(r, 230, text_test::kEndList);
  Put16(r, 358, 4);
  Put32(r, 368, text_test::kGap);
  Put32(r, 372, text_test::kLineGap);
  Put32(r, 376, kPitch);
  Put32(r, 380, kLinePitch);
  PutText(r, 448, "0001");
  Put16(r, 464, 1);
  return r;
}

class SavedDocumentTest : public WpCtrlFixture {
 protected:
  ~SavedDocumentTest() override { std::filesystem::remove(path_); }

  Bytes SaveToMemory() {
    platform::CMemFile file;
    platform::CArchive archive(&file, platform::CArchive::kStore);
    EXPECT_EQ(engine.DocumentCommand(WPC_SAVE_DOCUMENT, kLoadHeader, &archive), kWpcOk);
    archive.Close();
    return Bytes(file.Data(), file.Data() + file.GetLength());
  }

  void SaveToFile() {
    platform::CFile file;
    ASSERT_TRUE(file.Open(path_, platform::CFile::kModeWrite | platform::CFile::kModeCreate));
    platform::CArchive archive(&file, platform::CArchive::kStore);
    ASSERT_EQ(engine.DocumentCommand(WPC_SAVE_DOCUMENT, kLoadHeader, &archive), kWpcOk);
    archive.Close();
    file.Close();
  }

  void LoadFromFile(CVedWpCtrl& into) {
    platform::CFile file;
    ASSERT_TRUE(file.Open(path_, platform::CFile::kModeRead));
    platform::CArchive archive(&file, platform::CArchive::kLoad);
    ASSERT_EQ(into.DocumentCommand(WPC_LOAD_DOCUMENT, kLoadHeader | kLoadRestoreCaret, &archive),
              kWpcOk);
  }

  void Move(int code, intptr_t count = 1) { engine.EditCommand(WPC_MOVE, code, count); }
  // Extends a character-wise selection: the command's value is the
  // selection mode, not a count.
  void Extend(int code, int times = 1) {
    for (int i = 0; i < times; ++i) engine.EditCommand(WPC_MOVE_EXTEND, code, kCharacterWise);
  }
  int Undo() { return engine.EditCommand(WPC_UNDO, 0, 0); }
  int Redo() { return engine.EditCommand(WPC_REDO, 0, 0); }
  bool CanUndo() { return engine.EditCommand(WPC_CAN_UNDO, 0, 0) != 0; }
  bool CanRedo() { return engine.EditCommand(WPC_CAN_REDO, 0, 0) != 0; }

  // Types the three lines, then edits them: a word replaced through a
  // selection, a character deleted each way, a line added at the end.
  void TypeAndEdit() {
    Type(kFirstLine);
    Type("\r");
    Type(kSecondLine);
    Type("\r");
    Type(kThirdLine);
    Move(kMoveDocumentStart);
    Move(kMoveNextChar, 3);
    Extend(kMoveNextChar, 2);
    Type("\x8C\xEA");  // 語 over the selected の文
    Move(kMoveLineDown);
    engine.EditCommand(WPC_DELETE, 1, 0);
    engine.EditCommand(WPC_BACKSPACE, 1, 0);
    Move(kMoveDocumentEnd);
    Type("\r\x82\xA0");
  }

  // ctest runs each test in a process of its own, in parallel, and an
  // object's address can repeat across processes: the process id and the
  // test's name keep one test from removing another's file.
  static std::string UniquePath() {
    const auto* test = ::testing::UnitTest::GetInstance()->current_test_info();
    return (std::filesystem::temp_directory_path() /
            ("lexora-saved-" + std::to_string(getpid()) + "-" + test->name() + ".doc"))
        .string();
  }
  const std::string path_ = UniquePath();
};

TEST_F(SavedDocumentTest, TheFirstBytesAreTheEngineHeaderThenTheDocumentRootSignature) {
  const Bytes saved = SaveToMemory();
  Bytes expected;
  for (const char* signature : {"VEDWpCtrl", "01.00.00.02", "DocStyleHead"}) {
    const Bytes field = SignatureField(signature);
    expected.insert(expected.end(), field.begin(), field.end());
  }
  const Bytes style = StyleRecord();
  expected.insert(expected.end(), style.begin(), style.end());
  Bytes caret(12, 0);
  Put32(caret, 0, 1);  // page
  Put32(caret, 4, 1);  // line
  Put32(caret, 8, 1);  // column
  expected.insert(expected.end(), caret.begin(), caret.end());
  const Bytes root = SignatureField("DocBunsObj");
  expected.insert(expected.end(), root.begin(), root.end());

  ASSERT_GT(saved.size(), expected.size());
  EXPECT_EQ(Bytes(saved.begin(), saved.begin() + static_cast<ptrdiff_t>(expected.size())),
            expected);
}

TEST_F(SavedDocumentTest, ADocumentEditedUndoneAndRedoneLoadsIntoASecondEngineAsTheSame) {
  TypeAndEdit();
  const Bytes edited = Content();
  const std::string editedText = DocumentText();

  // Back and forth through the history: every undo has its redo.
  int undone = 0;
  while (CanUndo() && undone < 100) {
    Undo();
    ++undone;
  }
  EXPECT_GT(undone, 3);
  EXPECT_FALSE(CanUndo());
  for (int i = 0; i < undone; ++i) Redo();
  EXPECT_FALSE(CanRedo());
  EXPECT_EQ(DocumentText(), editedText);
  EXPECT_EQ(Content(), edited);

  SaveToFile();
  CVedWpCtrl second;
  ASSERT_EQ(second.Start(), 1);
  DocStyle style = TestStyle();
  second.StyleCommand(WPC_SET_DOCSTYLE, nullptr, &style);
  ASSERT_EQ(second.DocumentCommand(WPC_NEW_DOCUMENT, 0, nullptr), kWpcOk);
  LoadFromFile(second);
  EXPECT_EQ(ContentOf(second), edited);
  LocationRecord here;
  LocationRecord there;
  engine.EditCommand(WPC_GET_LOCATION, 0, Pointer(&here));
  second.EditCommand(WPC_GET_LOCATION, 0, Pointer(&there));
  EXPECT_EQ(there.caret, here.caret);
  second.Stop();
}

TEST_F(SavedDocumentTest, UndoingEverythingGivesBackTheOriginalDocumentByteForByte) {
  Type(kFirstLine);
  Type("\r");
  Type(kSecondLine);
  const Bytes original = Content();
  while (CanUndo()) Undo();
  for (int i = 0; i < 3; ++i) Redo();
  ASSERT_EQ(Content(), original);

  Move(kMoveDocumentStart);
  Move(kMoveNextChar, 2);
  Extend(kMoveLineDown);
  engine.EditCommand(WPC_DELETE, 1, 0);
  Type(kThirdLine);
  Move(kMoveDocumentEnd);
  engine.EditCommand(WPC_BACKSPACE, 1, 0);
  EXPECT_NE(Content(), original);
  for (int i = 0; i < 3 && CanUndo(); ++i) Undo();
  EXPECT_EQ(Content(), original);
}

}  // namespace
}  // namespace doc_root_test
