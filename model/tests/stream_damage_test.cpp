// Damaged blocks that once broke the text after they had been read: each
// must be refused whole, leaving the text as it was.
#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

#include "model/text_transfer.h"
#include "text_fixture.h"

namespace text_test {
namespace {

using Bytes = std::vector<uint8_t>;

constexpr int32_t kLargestGap = 1 << 16;

void AppendInt16(Bytes* bytes, uint16_t value) {
  bytes->push_back(static_cast<uint8_t>(value));
  bytes->push_back(static_cast<uint8_t>(value >> 8));
}

void AppendInt32(Bytes* bytes, int32_t value) {
  const auto v = static_cast<uint32_t>(value);
  for (int i = 0; i < 4; ++i) bytes->push_back(static_cast<uint8_t>(v >> (8 * i)));
}

// "TextObject Data", NUL; the length; then the range data.
Bytes Block(const Bytes& data) {
  const char tag[] = "TextObject Data";
  Bytes bytes(tag, tag + sizeof tag);
  AppendInt32(&bytes, static_cast<int32_t>(data.size()));
  bytes.insert(bytes.end(), data.begin(), data.end());
  return bytes;
}

// One paragraph with the given paragraph flags and fields, holding the
// single byte "A" and no break.
Bytes OneParagraph(uint16_t flags, const std::vector<int32_t>& fields) {
  Bytes data;
  AppendInt32(&data, 1);
  AppendInt16(&data, 0x1001);
  AppendInt16(&data, flags);
  for (int32_t field : fields) AppendInt32(&data, field);
  AppendInt16(&data, 0x1002);
  AppendInt16(&data, 0);
  AppendInt32(&data, 1);
  AppendInt16(&data, 0x1003);
  AppendInt16(&data, 'A');
  AppendInt16(&data, 0);
  AppendInt16(&data, 0xFFFF);
  return data;
}

// Reads a block at the caret, as a paste or an undo step reads it.
int ReadAtCaret(TextFixture& t, Bytes block) {
  platform::CMemFile file(block.data(), block.size());
  platform::CArchive archive(&file, platform::CArchive::kLoad);
  const CVedTextPos at = t.Caret();
  int inserted = 0;
  EditResult result;
  return CTextTransfer(t.editor, t.navigator, t.formats, &t.renderer(), t.page, t.options)
      .ReadBlock(archive, &at, &inserted, &result);
}

// Two paragraphs with the caret at the start of the second.
void TwoParagraphs(TextFixture& t) {
  t.Type("ABC\rDEF");
  t.SetCaret(t.CellAt(4));
}

// A paragraph record whose line gap of 1626341376 twips overflowed the
// heights the text adds up once the block was in (the fuzzer's input,
// less its first byte).
TEST(StreamDamageTest, AParagraphGapBeyondAnyPageIsRefused) {
  const Bytes found = {
      0x54, 0x65, 0x78, 0x74, 0x4f, 0x62, 0x6a, 0x65, 0x63, 0x74, 0x20, 0x44, 0x61,
      0x74, 0x61, 0x00, 0x25, 0x00, 0x00, 0x00, 0x01, 0x00, 0x00, 0x00, 0x01, 0x10,
      0x61, 0x1c, 0x00, 0x00, 0xf0, 0x60, 0x00, 0x00, 0x80, 0x00, 0x01, 0x02, 0x10,
      0xfe, 0xff, 0x01, 0x00, 0x00, 0x00, 0x03, 0x10, 0x41, 0x00, 0x20, 0x00, 0x0a,
      0x00, 0x00, 0x00, 0xff, 0xff, 0x20, 0x00, 0x00, 0x00, 0x00, 0x00, 0xff, 0xff,
  };
  TextFixture t;
  TwoParagraphs(t);
  const std::vector<std::string> before = t.Lines();
  EXPECT_EQ(ReadAtCaret(t, found), 0);
  EXPECT_EQ(t.Lines(), before);
  EXPECT_EQ(StoreProblems(t.editor), "");
}

TEST(StreamDamageTest, StoredGapsAreReadOnlyWithinAMetreEitherWay) {
  struct Case {
    uint16_t flags;  // 0x01 line gap, 0x02 paragraph gap
    int32_t gap;
    int answer;
  };
  const Case cases[] = {
      {0x01, kLargestGap, 1},      {0x01, -kLargestGap, 1}, {0x01, kLargestGap + 1, 0},
      {0x01, -kLargestGap - 1, 0}, {0x02, kLargestGap, 1},  {0x02, kLargestGap + 1, 0},
      {0x02, INT32_MIN, 0},
  };
  for (const Case& c : cases) {
    TextFixture t;
    TwoParagraphs(t);
    const std::vector<std::string> before = t.Lines();
    EXPECT_EQ(ReadAtCaret(t, Block(OneParagraph(c.flags, {c.gap}))), c.answer)
        << c.flags << " " << c.gap;
    if (c.answer == 0) {
      EXPECT_EQ(t.Lines(), before) << c.flags << " " << c.gap;
    }
    EXPECT_EQ(StoreProblems(t.editor), "");
  }
}

}  // namespace
}  // namespace text_test
