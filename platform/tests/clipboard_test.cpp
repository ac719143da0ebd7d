#include "platform/clipboard.h"

#include <gtest/gtest.h>

namespace platform {
namespace {

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
