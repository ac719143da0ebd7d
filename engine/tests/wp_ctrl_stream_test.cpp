#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "engine/wp_ctrl.h"
#include "platform/archive.h"
#include "platform/file.h"
#include "wp_ctrl_fixture.h"

namespace doc_root_test {
namespace {

using Bytes = std::vector<uint8_t>;

class WpCtrlStreamTest : public ::testing::Test {
 protected:
  WpCtrlStreamTest() {
    EXPECT_EQ(engine_.Start(), 1);
    DocStyle style = TestStyle();
    engine_.StyleCommand(WPC_SET_DOCSTYLE, nullptr, &style);
    EXPECT_EQ(engine_.DocumentCommand(WPC_NEW_DOCUMENT, 0, nullptr), kWpcOk);
  }

  Bytes WriteHeader() {
    platform::CMemFile file;
    {
      platform::CArchive archive(&file, platform::CArchive::kStore);
      EXPECT_EQ(engine_.WriteStreamHeader(archive), kWpcOk);
      archive.Close();
    }
    return Bytes(file.Data(), file.Data() + file.GetLength());
  }

  int ReadHeader(const Bytes& bytes, int flags, PageLineColumn& location, DocStyle& style) {
    Bytes copy = bytes;
    platform::CMemFile file(copy.data(), copy.size());
    platform::CArchive archive(&file, platform::CArchive::kLoad);
    return engine_.ReadStreamHeader(flags, archive, location, style);
  }

  TestEnvironment environment_;
  CVedWpCtrl engine_;
};

TEST_F(WpCtrlStreamTest, TheHeaderStartsWithItsThreeFieldsAndAMarkedStyle) {
  const Bytes bytes = WriteHeader();
  ASSERT_EQ(bytes.size(), 48u + 704u + 12u);
  EXPECT_EQ(Bytes(bytes.begin(), bytes.begin() + 16), SignatureField("VEDWpCtrl"));
  EXPECT_EQ(Bytes(bytes.begin() + 16, bytes.begin() + 32), SignatureField("01.00.00.02"));
  EXPECT_EQ(Bytes(bytes.begin() + 32, bytes.begin() + 48), SignatureField("DocStyleHead"));

  const uint8_t* style = bytes.data() + 48;
  const Bytes marker = {'0', '0', '0', '1', 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0};
  EXPECT_EQ(Bytes(style + 448, style + 464), marker);
  // The orientation stays; everything after it is cleared.
  EXPECT_EQ(style[464] | (style[465] << 8), 1);
  EXPECT_EQ(Bytes(style + 466, style + 704), Bytes(704 - 466, 0));
  // The style as applied, field by field, before the header's fields.
  const DocStyleBytes applied = EncodeDocStyle(TestStyle());
  EXPECT_EQ(Bytes(style, style + 384), Bytes(applied.begin(), applied.begin() + 384));
}

TEST_F(WpCtrlStreamTest, AWrittenHeaderReadsBackWithItsStyle) {
  const Bytes bytes = WriteHeader();
  PageLineColumn location;
  DocStyle style;
  ASSERT_EQ(ReadHeader(bytes, kLoadHeader, location, style), kWpcOk);
  DocStyle expected = TestStyle();
  std::memcpy(expected.marker, "0001", 4);
  EXPECT_EQ(EncodeDocStyle(style), EncodeDocStyle(expected));
}

TEST_F(WpCtrlStreamTest, VersionsOfTheSameFormUpToOursAreRead) {
  struct Case {
    const char* version;
    int result;
  };
  const Case cases[] = {
      {"01.00.00.02", kWpcOk},         {"01.00.00.01", kWpcOk},         {"00.09.99.99", kWpcOk},
      {"01.00.00.03", kWpcBadVersion}, {"02.00.00.00", kWpcBadVersion}, {"1.0.0.2", kWpcBadVersion},
      {"01-00-00-02", kWpcBadVersion}, {"01.00.00.0a", kWpcBadVersion},
  };
  const Bytes written = WriteHeader();
  for (const Case& c : cases) {
    Bytes bytes = written;
    const Bytes field = SignatureField(c.version);
    std::copy(field.begin(), field.end(), bytes.begin() + 16);
    PageLineColumn location;
    DocStyle style;
    EXPECT_EQ(ReadHeader(bytes, kLoadHeader, location, style), c.result) << c.version;
  }
}

TEST_F(WpCtrlStreamTest, AVersionMustEndWithAZeroRightAfterItsEndByte) {
  const Bytes written = WriteHeader();
  PageLineColumn location;
  DocStyle style;
  Bytes longer = written;
  longer[16 + 12] = '3';
  EXPECT_EQ(ReadHeader(longer, kLoadHeader, location, style), kWpcBadVersion);
  // What follows the terminating zero is not part of the version.
  Bytes padded = written;
  padded[16 + 13] = 'x';
  EXPECT_EQ(ReadHeader(padded, kLoadHeader, location, style), kWpcOk);
}

TEST_F(WpCtrlStreamTest, ADamagedMagicIsRefusedAndADamagedTagOnlyWhenTheStyleIsTaken) {
  const Bytes written = WriteHeader();
  PageLineColumn location;
  DocStyle style;

  Bytes badMagic = written;
  badMagic[15] = 1;
  EXPECT_EQ(ReadHeader(badMagic, kLoadHeader, location, style), kWpcBadSignature);

  Bytes badTag = written;
  badTag[33] = 'x';
  EXPECT_EQ(ReadHeader(badTag, kLoadHeader, location, style), kWpcBadSignature);
  DocStyle untouched;
  untouched.fontSize = 7;
  EXPECT_EQ(ReadHeader(badTag, kLoadHeader | kLoadInsert, location, untouched), kWpcOk);
  EXPECT_EQ(untouched.fontSize, 7) << "an insertion keeps the present style";
}

TEST_F(WpCtrlStreamTest, AStyleWithoutTheMarkerLosesItsOrientation) {
  Bytes bytes = WriteHeader();
  bytes[48 + 448] = 'x';
  PageLineColumn location;
  DocStyle style;
  ASSERT_EQ(ReadHeader(bytes, kLoadHeader, location, style), kWpcOk);
  EXPECT_EQ(style.orientation, 0);
}

TEST_F(WpCtrlStreamTest, AShortStreamIsAFailureNotAGuess) {
  const Bytes written = WriteHeader();
  for (const size_t length : {size_t{0}, size_t{20}, size_t{100}, written.size() - 1}) {
    PageLineColumn location;
    DocStyle style;
    EXPECT_NE(
        ReadHeader(Bytes(written.begin(), written.begin() + length), kLoadHeader, location, style),
        kWpcOk)
        << length;
  }
}

TEST(WpCtrlVersion, ParsesTheFourNumbersOfAWellFormedVersion) {
  int32_t numbers[4] = {-1, -1, -1, -1};
  EXPECT_EQ(CVedWpCtrl::ParseVersion(CVedWpCtrl::ProgramVersion(), numbers), 1);
  EXPECT_EQ(std::vector<int32_t>(numbers, numbers + 4), (std::vector<int32_t>{1, 0, 0, 2}));
  int32_t untouched[4] = {9, 9, 9, 9};
  EXPECT_EQ(CVedWpCtrl::ParseVersion(platform::MakeSignature("1.0.0.2"), untouched), 0);
  EXPECT_EQ(untouched[0], 9);
}

}  // namespace
}  // namespace doc_root_test
