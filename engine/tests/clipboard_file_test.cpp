#include "engine/clipboard_file.h"

#include <gtest/gtest.h>

#include <string>

#include "engine/texts.h"
#include "platform/archive.h"
#include "platform/sjis.h"

namespace {

using platform::CArchive;

class ClipboardFileTest : public ::testing::Test {
 protected:
  ClipboardFileTest() { platform::ResetClipboard(); }
  ~ClipboardFileTest() override { platform::ResetClipboard(); }

  static void Put(uint32_t format, const std::string& bytes, bool emptyFirst) {
    CVedClipboardFile file(1024);
    file.SetFormat(format);
    {
      CArchive archive(&file, CArchive::kStore);
      archive.Write(bytes.data(), bytes.size());
      archive.Close();
    }
    ASSERT_EQ(file.PutOnClipboard(emptyFirst), 1);
  }

  static std::string Read(uint32_t format) {
    CVedClipboardFile file(0);
    if (file.OpenFromClipboard(format) == 0) return "<none>";
    std::string bytes(static_cast<size_t>(file.GetLength()), '\0');
    CArchive archive(&file, CArchive::kLoad);
    archive.Read(bytes.data(), bytes.size());
    file.CloseClipboardData();
    return bytes;
  }
};

TEST_F(ClipboardFileTest, TheOwnFormatIsRegisteredUnderItsName) {
  EXPECT_EQ(platform::Utf8ToSjis("Lexora3.00 LXRC\xE5\xBD\xA2\xE5\xBC\x8F"),
            std::optional<std::string>(kClipboardFormatName));
  const CVedClipboardFile file(1024);
  EXPECT_EQ(file.MapFormat(CVedClipboardFile::kOwnFormat),
            platform::RegisterClipboardFormatA(kClipboardFormatName));
  EXPECT_EQ(file.MapFormat(platform::CF_TEXT), platform::CF_TEXT);
}

TEST_F(ClipboardFileTest, CopyPutsBothFormatsAndPasteReadsEither) {
  Put(CVedClipboardFile::kOwnFormat, std::string("own\0data", 8), true);
  Put(platform::CF_TEXT, std::string("text\0", 5), false);
  const CVedClipboardFile probe(1024);
  const uint32_t registered = probe.MapFormat(CVedClipboardFile::kOwnFormat);
  EXPECT_EQ(probe.HasFormat(CVedClipboardFile::kOwnFormat), 1);
  EXPECT_EQ(probe.HasFormat(registered), 1);
  EXPECT_EQ(Read(CVedClipboardFile::kOwnFormat), std::string("own\0data", 8));
  EXPECT_EQ(Read(platform::CF_TEXT), std::string("text\0", 5));
  // Every path closed the clipboard again.
  EXPECT_TRUE(platform::OpenClipboard(platform::kNoWindow));
  platform::CloseClipboard();
}

TEST_F(ClipboardFileTest, AnEmptyFileIsNeverPut) {
  CVedClipboardFile file(1024);
  EXPECT_EQ(file.PutOnClipboard(true), 0);
  EXPECT_EQ(Read(platform::CF_TEXT), "<none>");
}

TEST_F(ClipboardFileTest, TheClipboardKeepsTheBlockAfterTheFileIsGone) {
  Put(platform::CF_TEXT, "kept", true);
  ASSERT_TRUE(platform::OpenClipboard(platform::kNoWindow));
  const platform::HGLOBAL block = platform::GetClipboardData(platform::CF_TEXT);
  EXPECT_EQ(platform::GlobalSize(block), 4u);
  platform::CloseClipboard();
}

TEST_F(ClipboardFileTest, AFormatBeyondTheFirst1024IsAbsent) {
  ASSERT_TRUE(platform::OpenClipboard(platform::kNoWindow));
  for (int i = 0; i < CVedClipboardFile::kMaxFormatsExamined; ++i) {
    platform::SetClipboardData(platform::RegisterClipboardFormatA("f" + std::to_string(i)),
                               platform::GlobalAlloc(platform::GMEM_MOVEABLE, 1));
  }
  platform::CloseClipboard();
  Put(CVedClipboardFile::kOwnFormat, "late", false);
  const CVedClipboardFile probe(1024);
  EXPECT_EQ(probe.HasFormat(CVedClipboardFile::kOwnFormat), 0);
}

TEST_F(ClipboardFileTest, AClipboardHeldElsewhereRefusesAndStaysHeld) {
  Put(platform::CF_TEXT, "x", true);
  ASSERT_TRUE(platform::OpenClipboard(platform::kNoWindow));
  CVedClipboardFile file(1024);
  EXPECT_EQ(file.OpenFromClipboard(platform::CF_TEXT), 0);
  EXPECT_FALSE(platform::OpenClipboard(platform::kNoWindow));  // still held by its opener
  platform::CloseClipboard();
}

}  // namespace
