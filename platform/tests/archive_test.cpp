#include "platform/archive.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <vector>

namespace platform {
namespace {

using Bytes = std::vector<uint8_t>;

Bytes Contents(const CMemFile& file) { return Bytes(file.Data(), file.Data() + file.GetLength()); }

template <typename WriteFn>
Bytes Store(WriteFn write) {
  CMemFile file;
  {
    CArchive archive(&file, CArchive::kStore);
    write(archive);
    archive.Close();
  }
  return Contents(file);
}

TEST(ArchiveTest, IntegersAreLittleEndian) {
  const Bytes bytes = Store([](CArchive& ar) {
    ar << static_cast<uint8_t>(0xAB) << static_cast<int16_t>(-2)
       << static_cast<int32_t>(0x01020304);
  });
  EXPECT_EQ(bytes, (Bytes{0xAB, 0xFE, 0xFF, 0x04, 0x03, 0x02, 0x01}));
}

struct CountCase {
  uint32_t count;
  Bytes stored;
};

class CountFormTest : public ::testing::TestWithParam<CountCase> {};

TEST_P(CountFormTest, StoresAndLoads) {
  const CountCase& c = GetParam();
  const Bytes bytes = Store([&](CArchive& ar) { ar.WriteCount(c.count); });
  EXPECT_EQ(bytes, c.stored);

  CMemFile file(const_cast<uint8_t*>(bytes.data()), bytes.size());
  CArchive archive(&file, CArchive::kLoad);
  EXPECT_EQ(archive.ReadCount(), c.count);
}

INSTANTIATE_TEST_SUITE_P(
    Boundaries, CountFormTest,
    ::testing::Values(CountCase{0, {0x00, 0x00}}, CountCase{0xFFFE, {0xFE, 0xFF}},
                      CountCase{0xFFFF, {0xFF, 0xFF, 0xFF, 0xFF, 0x00, 0x00}},
                      CountCase{0x12345, {0xFF, 0xFF, 0x45, 0x23, 0x01, 0x00}}));

TEST(ArchiveTest, ByteStringLengthPrefixes) {
  const std::string shortText(3, 'a');
  const std::string threeHundred(300, 'b');
  const std::string at254(254, 'c');
  const std::string at255(255, 'd');
  const Bytes bytes = Store([&](CArchive& ar) {
    ar.WriteString(shortText);
    ar.WriteString(threeHundred);
    ar.WriteString(at254);
    ar.WriteString(at255);
  });
  ASSERT_EQ(bytes.size(), 1 + 3 + 3 + 300 + 1 + 254 + 3 + 255);
  EXPECT_EQ(bytes[0], 3);
  EXPECT_EQ(Bytes(bytes.begin() + 4, bytes.begin() + 7), (Bytes{0xFF, 0x2C, 0x01}));
  EXPECT_EQ(bytes[307], 254);
  EXPECT_EQ(Bytes(bytes.begin() + 562, bytes.begin() + 565), (Bytes{0xFF, 0xFF, 0x00}));

  CMemFile file(const_cast<uint8_t*>(bytes.data()), bytes.size());
  CArchive archive(&file, CArchive::kLoad);
  EXPECT_EQ(archive.ReadString(), shortText);
  EXPECT_EQ(archive.ReadString(), threeHundred);
  EXPECT_EQ(archive.ReadString(), at254);
  EXPECT_EQ(archive.ReadString(), at255);
}

TEST(ArchiveTest, LongByteStringUsesThirtyTwoBitLength) {
  const std::string text(0x10000, 'x');
  const Bytes bytes = Store([&](CArchive& ar) { ar.WriteString(text); });
  EXPECT_EQ(Bytes(bytes.begin(), bytes.begin() + 7),
            (Bytes{0xFF, 0xFF, 0xFF, 0x00, 0x00, 0x01, 0x00}));
}

TEST(ArchiveTest, ShortReadsAreReportedNotThrownByRawRead) {
  Bytes bytes{1, 2, 3};
  CMemFile file(bytes.data(), bytes.size());
  CArchive archive(&file, CArchive::kLoad);
  uint8_t buffer[8] = {};
  EXPECT_EQ(archive.Read(buffer, sizeof buffer), 3u);
  EXPECT_EQ(archive.Read(buffer, sizeof buffer), 0u);
}

TEST(ArchiveTest, TypedReadPastTheEndThrowsEndOfFile) {
  Bytes bytes{1, 2, 3};
  CMemFile file(bytes.data(), bytes.size());
  CArchive archive(&file, CArchive::kLoad);
  int32_t value = 0;
  try {
    archive >> value;
    FAIL() << "no exception";
  } catch (const CArchiveException& e) {
    EXPECT_EQ(e.cause(), CArchiveException::kEndOfFile);
  }
}

TEST(ArchiveTest, StringLongerThanTheArchiveIsRefusedBeforeAllocating) {
  Bytes bytes{0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0x7F, 'a'};
  CMemFile file(bytes.data(), bytes.size());
  CArchive archive(&file, CArchive::kLoad);
  EXPECT_THROW(archive.ReadString(), CArchiveException);
}

TEST(ArchiveTest, SignatureFormAndCheck) {
  const Signature sig = MakeSignature("TableCellObj");
  const Bytes expected{'T', 'a', 'b', 'l', 'e', 'C', 'e', 'l', 'l', 'O', 'b', 'j', 0x1A, 0, 0, 0};
  EXPECT_EQ(Bytes(sig.begin(), sig.end()), expected);

  Bytes bytes = Store([&](CArchive& ar) { ar.WriteSignature(sig); });
  EXPECT_EQ(bytes, expected);
  {
    CMemFile file(bytes.data(), bytes.size());
    CArchive archive(&file, CArchive::kLoad);
    EXPECT_TRUE(archive.CheckSignature(sig));
  }
  bytes[12] = 0;
  CMemFile file(bytes.data(), bytes.size());
  CArchive archive(&file, CArchive::kLoad);
  EXPECT_FALSE(archive.CheckSignature(sig));
}

TEST(ArchiveTest, StoringIsBufferedUntilFlush) {
  CMemFile file;
  CArchive archive(&file, CArchive::kStore, 8);
  archive << static_cast<uint32_t>(1);
  EXPECT_EQ(file.GetLength(), 0u);
  archive << static_cast<uint32_t>(2) << static_cast<uint32_t>(3);
  EXPECT_EQ(file.GetLength(), 8u);
  archive.Flush();
  EXPECT_EQ(file.GetLength(), 12u);
}

TEST(ArchiveTest, DestructorFlushesAnUnclosedArchive) {
  CMemFile file;
  { CArchive(&file, CArchive::kStore) << static_cast<uint16_t>(7); }
  EXPECT_EQ(Contents(file), (Bytes{7, 0}));
}

TEST(MemFileTest, GrowsInStepsOfTheGrowthSize) {
  CMemFile file;
  const uint8_t byte = 1;
  file.Write(&byte, 1);
  EXPECT_EQ(file.BufferSize(), 1024u);
  std::vector<uint8_t> more(1024, 2);
  file.Write(more.data(), more.size());
  EXPECT_EQ(file.BufferSize(), 2048u);
  EXPECT_EQ(file.GetLength(), 1025u);
}

TEST(MemFileTest, AttachedBlockCannotGrowAndStaysTheCallers) {
  Bytes bytes{1, 2};
  CMemFile file(bytes.data(), bytes.size());
  const uint8_t extra[4] = {};
  EXPECT_THROW(file.Write(extra, sizeof extra), CFileException);
  EXPECT_EQ(bytes, (Bytes{1, 2}));
}

TEST(MemFileTest, DetachHandsOverTheBuffer) {
  CMemFile file;
  const uint8_t data[3] = {4, 5, 6};
  file.Write(data, 3);
  uint8_t* block = file.Detach();
  EXPECT_EQ(block[2], 6);
  EXPECT_EQ(file.GetLength(), 0u);
  std::free(block);
}

TEST(DiskFileTest, RoundTripThroughAnArchive) {
  const std::string path = ::testing::TempDir() + "archive_roundtrip.bin";
  {
    CFile file;
    ASSERT_TRUE(file.Open(path, CFile::kModeCreate | CFile::kModeWrite));
    CArchive archive(&file, CArchive::kStore);
    archive.WriteString("abc");
    archive << static_cast<int32_t>(-5);
    archive.Close();
  }
  CFile file;
  ASSERT_TRUE(file.Open(path, CFile::kModeRead));
  EXPECT_EQ(file.GetLength(), 8u);
  CArchive archive(&file, CArchive::kLoad);
  EXPECT_EQ(archive.ReadString(), "abc");
  int32_t value = 0;
  archive >> value;
  EXPECT_EQ(value, -5);
  std::remove(path.c_str());
}

TEST(DiskFileTest, MissingFileDoesNotOpen) {
  CFile file;
  EXPECT_FALSE(file.Open(::testing::TempDir() + "no/such/file", CFile::kModeRead));
}

}  // namespace
}  // namespace platform
