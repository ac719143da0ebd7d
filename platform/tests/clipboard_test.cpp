#include "platform/clipboard.h"

#include <gtest/gtest.h>

#include <cstring>
#include <map>

#include "platform/display_backend.h"

namespace platform {
namespace {

// A display whose clipboard another program may own, with what that
// program offers in each format.
class SharingBackend : public HeadlessBackend {
 public:
  void ClipboardChanged() override {
    ++changes;
    owns = true;
  }
  bool OwnsClipboard() const override { return owns; }
  std::optional<std::string> ForeignClipboardData(uint32_t format) override {
    ++reads;
    const auto found = foreign.find(format);
    if (found == foreign.end()) return std::nullopt;
    return found->second;
  }
  std::vector<uint32_t> ForeignClipboardFormats() override {
    ++formatQueries;
    std::vector<uint32_t> formats;
    for (const auto& entry : foreign) formats.push_back(entry.first);
    return formats;
  }

  int changes = 0;
  int formatQueries = 0;
  int reads = 0;
  bool owns = false;
  std::map<uint32_t, std::string> foreign;
};

std::string BytesOf(HGLOBAL block) {
  const auto* bytes = static_cast<const char*>(GlobalLock(block));
  if (bytes == nullptr) return {};
  std::string copy(bytes, GlobalSize(block));
  GlobalUnlock(block);
  return copy;
}

class ClipboardTest : public ::testing::Test {
 protected:
  ClipboardTest() { ResetClipboard(); }
  ~ClipboardTest() override { ResetClipboard(); }
};

TEST_F(ClipboardTest, RegisteredNamesKeepTheirIds) {
  const uint32_t a = RegisterClipboardFormatA("one");
  EXPECT_GE(a, kFirstRegisteredFormat);
  EXPECT_EQ(RegisterClipboardFormatA("one"), a);
  EXPECT_NE(RegisterClipboardFormatA("two"), a);
  EXPECT_EQ(RegisterClipboardFormatA(""), 0u);
}

TEST_F(ClipboardTest, OnlyOneOpenerAndOnlyWhileOpen) {
  EXPECT_EQ(SetClipboardData(CF_TEXT, GlobalAlloc(GMEM_MOVEABLE, 4)), kNullGlobal);
  ASSERT_TRUE(OpenClipboard(kNoWindow));
  EXPECT_FALSE(OpenClipboard(kNoWindow));
  EXPECT_TRUE(CloseClipboard());
  EXPECT_FALSE(CloseClipboard());
  {
    ScopedClipboard scope(kNoWindow);
    EXPECT_TRUE(scope.IsOpen());
  }
  EXPECT_TRUE(OpenClipboard(kNoWindow));
  CloseClipboard();
}

TEST_F(ClipboardTest, BlocksBelongToTheClipboardAndAreEnumeratedInOrder) {
  ASSERT_TRUE(OpenClipboard(kNoWindow));
  const HGLOBAL text = GlobalAlloc(GMEM_MOVEABLE, 3);
  const uint32_t own = RegisterClipboardFormatA("own");
  SetClipboardData(own, GlobalAlloc(GMEM_MOVEABLE, 8));
  SetClipboardData(CF_TEXT, text);
  EXPECT_EQ(EnumClipboardFormats(0), own);
  EXPECT_EQ(EnumClipboardFormats(own), CF_TEXT);
  EXPECT_EQ(EnumClipboardFormats(CF_TEXT), 0u);
  EXPECT_EQ(GetClipboardData(CF_TEXT), text);
  EXPECT_TRUE(EmptyClipboard());
  EXPECT_EQ(GlobalSize(text), 0u);  // freed with the clipboard's content
  EXPECT_EQ(EnumClipboardFormats(0), 0u);
  CloseClipboard();
}

}  // namespace
}  // namespace platform

namespace platform {
namespace {

TEST_F(ClipboardTest, TheDisplayHearsOfNewContentWhenTheClipboardCloses) {
  SharingBackend display;
  ScopedDisplay scoped(display);
  ASSERT_TRUE(OpenClipboard(kNoWindow));
  CloseClipboard();
  EXPECT_EQ(display.changes, 0);
  ASSERT_TRUE(OpenClipboard(kNoWindow));
  EmptyClipboard();
  SetClipboardData(CF_TEXT, GlobalAlloc(GMEM_ZEROINIT, 2));
  EXPECT_EQ(display.changes, 0);
  CloseClipboard();
  EXPECT_EQ(display.changes, 1);
  ASSERT_TRUE(OpenClipboard(kNoWindow));
  EXPECT_NE(GetClipboardData(CF_TEXT), kNullGlobal);
  CloseClipboard();
  EXPECT_EQ(display.changes, 1);
  EXPECT_EQ(display.reads, 0);
}

TEST_F(ClipboardTest, AnotherProgramsContentIsReadWhileItOwnsTheClipboard) {
  SharingBackend display;
  ScopedDisplay scoped(display);
  const uint32_t own = RegisterClipboardFormatA("own");
  display.foreign[CF_TEXT] = "ab";
  display.foreign[own] = std::string("\0\1", 2);
  ASSERT_TRUE(OpenClipboard(kNoWindow));
  // Text gets its terminating zero; other formats are their bytes.
  const HGLOBAL text = GetClipboardData(CF_TEXT);
  EXPECT_EQ(BytesOf(text), std::string("ab\0", 3));
  EXPECT_EQ(BytesOf(GetClipboardData(own)), std::string("\0\1", 2));
  EXPECT_EQ(GetClipboardData(RegisterClipboardFormatA("absent")), kNullGlobal);
  CloseClipboard();
  // The blocks were the clipboard's until it closed.
  EXPECT_EQ(GlobalLock(text), nullptr);
}

TEST_F(ClipboardTest, AnotherProgramsFormatsAreEnumeratedAndAskedForOnceAnOpening) {
  SharingBackend display;
  ScopedDisplay scoped(display);
  const uint32_t own = RegisterClipboardFormatA("own");
  display.foreign[CF_TEXT] = "ab";
  display.foreign[own] = "x";
  for (int opening = 1; opening <= 2; ++opening) {
    ASSERT_TRUE(OpenClipboard(kNoWindow));
    EXPECT_EQ(EnumClipboardFormats(0), CF_TEXT);
    EXPECT_EQ(EnumClipboardFormats(CF_TEXT), own);
    EXPECT_EQ(EnumClipboardFormats(own), 0u);
    CloseClipboard();
    EXPECT_EQ(display.formatQueries, opening);
  }
  EXPECT_EQ(EnumClipboardFormats(0), 0u);
}

TEST_F(ClipboardTest, RegisteredNamesAreFoundWithoutRegistering) {
  const uint32_t own = RegisterClipboardFormatA("own");
  EXPECT_EQ(FindClipboardFormat("own"), own);
  EXPECT_EQ(FindClipboardFormat("other"), 0u);
  EXPECT_EQ(RegisterClipboardFormatA("new"), own + 1);
}

TEST_F(ClipboardTest, ContentPutButNotYetClosedIsTheProgramsOwn) {
  SharingBackend display;
  ScopedDisplay scoped(display);
  display.foreign[CF_TEXT] = "theirs";
  ASSERT_TRUE(OpenClipboard(kNoWindow));
  EmptyClipboard();
  EXPECT_EQ(GetClipboardData(CF_TEXT), kNullGlobal);
  EXPECT_EQ(EnumClipboardFormats(0), 0u);
  CloseClipboard();
  EXPECT_EQ(display.reads, 0);
  EXPECT_EQ(display.formatQueries, 0);
}

TEST_F(ClipboardTest, TheOwnContentIsCopiedForTheDisplayWithItsFormatNames) {
  const uint32_t own = RegisterClipboardFormatA("own");
  ASSERT_TRUE(OpenClipboard(kNoWindow));
  const HGLOBAL text = GlobalAlloc(GMEM_ZEROINIT, 3);
  std::memcpy(GlobalLock(text), "hi", 2);
  GlobalUnlock(text);
  SetClipboardData(own, GlobalAlloc(GMEM_ZEROINIT, 1));
  SetClipboardData(CF_TEXT, text);
  CloseClipboard();
  EXPECT_EQ(ClipboardFormats(), (std::vector<uint32_t>{own, CF_TEXT}));
  EXPECT_EQ(ClipboardBytes(CF_TEXT), std::string("hi\0", 3));
  EXPECT_EQ(ClipboardBytes(RegisterClipboardFormatA("absent")), std::nullopt);
  EXPECT_EQ(ClipboardFormatName(own), "own");
  EXPECT_EQ(ClipboardFormatName(CF_TEXT), "");
}

}  // namespace
}  // namespace platform
