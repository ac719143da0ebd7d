#include "platform/window_reading.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/button.h"
#include "platform/combo_box.h"
#include "platform/edit_control.h"
#include "platform/input.h"
#include "platform/list_box.h"
#include "platform/list_view.h"
#include "platform/sjis.h"
#include "platform/static_control.h"
#include "platform/synthetic_fonts.h"
#include "window_test_support.h"

namespace {

using namespace platform;

constexpr char kParentClass[] = "ReadingParent";
constexpr char kSurfaceClass[] = "ReadingSurface";

// One control and the window just before it in Z order (none when the
// class is empty), and what focusing the control reads.
struct ReadingCase {
  const char* beforeClass;
  DWORD beforeStyle;
  const char* beforeText;
  const char* className;
  DWORD style;
  const char* text;
  bool enabled;
  const char* expected;
};

const std::vector<ReadingCase> kCases{
    {"", 0, "", kButtonClass, BS_PUSHBUTTON, "開く(&O)", true, "開く(O) ボタン"},
    {"", 0, "", kButtonClass, BS_DEFPUSHBUTTON, "OK", false, "OK ボタン 既定 利用不可"},
    {"", 0, "", kButtonClass, BS_AUTOCHECKBOX, "&&太字", true,
     "&太字 チェックボックス チェックなし"},
    {kStaticClass, SS_LEFT, "ページ(&P):", kEditClass, 0, "12", true, "ページ(P): エディット 12"},
    {kStaticClass, SS_LEFT | SS_NOPREFIX, "A&B", kEditClass, 0, "", true, "A&B エディット 空白"},
    {kButtonClass, BS_GROUPBOX, "余白", kEditClass, 0, "3", true, "余白 エディット 3"},
    // An icon, a push button or nothing before an edit is no label.
    {kStaticClass, SS_ICON, "", kEditClass, 0, "x", true, "エディット x"},
    {kButtonClass, BS_PUSHBUTTON, "OK", kEditClass, 0, "x", true, "エディット x"},
    {"", 0, "", kEditClass, 0, "x", true, "エディット x"},
    // The program's own windows speak for themselves.
    {kStaticClass, SS_LEFT, "ラベル", kSurfaceClass, 0, "", true, ""},
};

class WindowReadingTest : public ::testing::Test {
 protected:
  WindowReadingTest() {
    ResetWindowMessages();
    ResetInput();
    RegisterTestClass(kParentClass, DefWindowProc);
    RegisterTestClass(kSurfaceClass, DefWindowProc);
    parent_ =
        CreateWindowEx(0, kParentClass, "", WS_VISIBLE, 0, 0, 400, 200, kNoWindow, 0, nullptr);
  }
  ~WindowReadingTest() override {
    ResetWindowMessages();
    ResetInput();
  }

  // Each child below the ones made before it, as a dialog's rows are.
  HWND Child(const char* className, DWORD style, const char* utf8) const {
    const HWND child =
        CreateWindowEx(0, className, Utf8ToSjis(utf8).value().c_str(),
                       WS_CHILD | WS_VISIBLE | style, 0, 0, 100, 20, parent_, 0, nullptr);
    SetWindowPos(child, HWND_BOTTOM, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
    return child;
  }

  SyntheticFontService fonts_;
  ScopedFontService scopedFonts_{fonts_};
  HWND parent_ = kNoWindow;
};

TEST_F(WindowReadingTest, AControlReadsItsLabelKindStateAndValue) {
  for (const ReadingCase& c : kCases) {
    SCOPED_TRACE(c.expected);
    const HWND before =
        *c.beforeClass != '\0' ? Child(c.beforeClass, c.beforeStyle, c.beforeText) : kNoWindow;
    const HWND control = Child(c.className, c.style, c.text);
    EnableWindow(control, c.enabled);
    EXPECT_EQ(FocusReadingOf(control, false), Utf8ToSjis(c.expected).value());
    DestroyWindow(control);
    if (before != kNoWindow) DestroyWindow(before);
  }
}

TEST_F(WindowReadingTest, ListsReadTheItemTheUserIsOnAndWhereItStands) {
  Child(kStaticClass, SS_LEFT, "色(&C):");
  const HWND list = Child(kListBoxClass, 0, "");
  Child(kStaticClass, SS_LEFT, "線種:");
  const HWND combo = Child(kComboBoxClass, CBS_DROPDOWNLIST, "");
  for (const char* item : {"赤", "緑", "青"}) {
    const std::string text = Utf8ToSjis(item).value();
    SendMessage(list, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(text.c_str()));
    SendMessage(combo, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(text.c_str()));
  }
  EXPECT_EQ(FocusReadingOf(combo, false), Utf8ToSjis("線種: コンボボックス").value());
  SendMessage(list, LB_SETCURSEL, 1, 0);
  SendMessage(combo, CB_SETCURSEL, 2, 0);
  EXPECT_EQ(FocusReadingOf(list, false), Utf8ToSjis("色(C): リスト 緑 2/3").value());
  EXPECT_EQ(FocusReadingOf(combo, false), Utf8ToSjis("線種: コンボボックス 青 3/3").value());
}

TEST_F(WindowReadingTest, AnOwnerDrawnListWithoutTextsReadsWhereItStandsOnly) {
  const HWND list = Child(kListBoxClass, LBS_OWNERDRAWFIXED, "");
  for (const LPARAM data : {0x8182, 0x4142}) SendMessage(list, LB_ADDSTRING, 0, data);
  SendMessage(list, LB_SETCURSEL, 1, 0);
  EXPECT_EQ(ValueReadingOf(list), "2/2");
}

TEST_F(WindowReadingTest, AListViewReadsItsFocusedItem) {
  Child(kStaticClass, SS_LEFT, "文書:");
  const HWND view = Child(kListViewClass, LVS_LIST, "");
  for (const char* name : {"報告書", "手紙"}) {
    std::string text = Utf8ToSjis(name).value();
    LVITEMA item;
    item.mask = LVIF_TEXT;
    item.iItem = 9;
    item.pszText = text.data();
    SendMessage(view, LVM_INSERTITEM, 0, reinterpret_cast<LPARAM>(&item));
  }
  EXPECT_EQ(FocusReadingOf(view, false), Utf8ToSjis("文書: リストビュー").value());
  LVITEMA focus;
  focus.state = LVIS_FOCUSED | LVIS_SELECTED;
  focus.stateMask = LVIS_FOCUSED | LVIS_SELECTED;
  SendMessage(view, LVM_SETITEMSTATE, 1, reinterpret_cast<LPARAM>(&focus));
  EXPECT_EQ(FocusReadingOf(view, false), Utf8ToSjis("文書: リストビュー 手紙 2/2").value());
}

TEST_F(WindowReadingTest, AWindowThatIsNoDialogHasNoCaptionRead) {
  const HWND check = Child(kButtonClass, BS_AUTOCHECKBOX, "太字");
  SendMessage(check, BM_SETCHECK, BST_CHECKED, 0);
  EXPECT_EQ(FocusReadingOf(check, true), Utf8ToSjis("太字 チェックボックス チェック").value());
  EXPECT_EQ(ValueReadingOf(check), Utf8ToSjis("チェック").value());
  EXPECT_EQ(FocusReadingOf(parent_, true), "");
}

}  // namespace
