// The edit control's object: its limit, selection, replacement and
// modified flag go to the Edit window behind it.
#include "framework/edit.h"

#include <gtest/gtest.h>

#include <string>

#include "framework_test_support.h"
#include "platform/sjis.h"
#include "platform/synthetic_fonts.h"

namespace framework {
namespace {

using namespace platform;

constexpr UINT kEditId = 12;

class EditObjectTest : public WindowTest {
 protected:
  EditObjectTest() {
    EXPECT_TRUE(parent_.CreateEx(0, nullptr, "", 0, kRect, nullptr, 0));
    EXPECT_TRUE(edit_.Create(WS_CHILD | WS_VISIBLE | WS_BORDER | ES_AUTOHSCROLL,
                             RECT{0, 0, 150, 24}, &parent_, kEditId));
  }

  SyntheticFontService fonts_;
  ScopedFontService scopedFonts_{fonts_};
  CWnd parent_;
  CEdit edit_;
};

TEST_F(EditObjectTest, TheObjectDrivesItsControl) {
  std::string className;
  ASSERT_TRUE(GetClassName(edit_.m_hWnd, &className));
  EXPECT_EQ(className, kEditClass);
  EXPECT_TRUE(edit_.IsKindOf(RUNTIME_CLASS(CWnd)));

  edit_.SetLimitText(6);
  EXPECT_EQ(edit_.GetLimitText(), 6u);
  SetWindowText(edit_.m_hWnd, Utf8ToSjis("aあb").value().c_str());
  int32_t start = -1;
  int32_t end = -1;
  edit_.SetSel(2, -1);
  edit_.GetSel(start, end);
  EXPECT_EQ(start, 1) << "the middle of あ goes to its start";
  EXPECT_EQ(end, 4);

  EXPECT_FALSE(edit_.GetModify());
  edit_.ReplaceSel(Utf8ToSjis("漢字c").value().c_str());
  EXPECT_EQ(GetWindowText(edit_.m_hWnd), Utf8ToSjis("a漢字c").value());
  edit_.GetSel(start, end);
  EXPECT_EQ(start, 6);
  EXPECT_EQ(end, 6);
  EXPECT_TRUE(edit_.GetModify());
  edit_.SetModify(false);
  EXPECT_FALSE(edit_.GetModify());
  edit_.SetModify();
  EXPECT_TRUE(edit_.GetModify());
}

}  // namespace
}  // namespace framework
