// The framework view's editing wrappers, the keyboard prompt modes and the
// keys it takes before the surface, scrolling and the context menu.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "framework/command_routing.h"
#include "framework/framework_ids.h"
#include "platform/scroll_bar.h"
#include "wp_view_fixture.h"

namespace views_test {
namespace {

constexpr char kA[] = "\x82\xA0";  // あ
constexpr char kI[] = "\x82\xA2";  // い
constexpr char kU[] = "\x82\xA4";  // う
constexpr int kCharacterWise = 1;

// A view that keeps where its context menu was asked for.
class CMenuView : public CVedWpView {
  DECLARE_DYNCREATE(CMenuView)

 public:
  struct Request {
    int x, y, where;
  };
  static std::vector<Request>& requests() {
    static std::vector<Request> seen;
    return seen;
  }
  void OnContextMenuAt(int x, int y, int where, const ObjectDescription&) override {
    requests().push_back({x, y, where});
  }
};

IMPLEMENT_DYNCREATE(CMenuView, CVedWpView)

class WpViewInputTest : public WpViewTest {
 protected:
  WpViewInputTest() {
    OpenShown();
    platform::MoveWindow(view_->m_hWnd, 0, 0, 600, 400, true);
    Pump();
  }
  void Type(const char* text) {
    engine().EditCommand(WPC_INSERT_TEXT, 1, reinterpret_cast<intptr_t>(text));
  }
  // The last `count` characters typed, selected.
  void SelectBack(int count) {
    for (int i = 0; i < count; ++i) engine().EditCommand(WPC_MOVE_EXTEND, 1, kCharacterWise);
  }
  int Selected() { return engine().EditCommand(WPC_HAS_SELECTION, 0, 0); }
  LocationRecord Location() {
    LocationRecord record;
    engine().EditCommand(WPC_GET_LOCATION, 0, reinterpret_cast<intptr_t>(&record));
    return record;
  }
  static platform::MSG Message(platform::UINT message, platform::WPARAM wParam,
                               platform::LPARAM lParam = 0) {
    platform::MSG msg;
    msg.message = message;
    msg.wParam = wParam;
    msg.lParam = lParam;
    return msg;
  }
};

// ---- Editing ----------------------------------------------------------------

TEST_F(WpViewInputTest, CopyCutPasteUndoAndRedoAnswerWhatTheyDid) {
  CVedWpView& view = *view_;
  Type(kA);
  Type(kI);
  EXPECT_EQ(view.Copy(), kEditNothingToDo) << "nothing selected";
  EXPECT_EQ(view.Cut(), kEditNothingToDo);
  SelectBack(1);
  EXPECT_EQ(view.Copy(), kEditDone);
  EXPECT_EQ(view.Cut(), kEditDone);
  EXPECT_EQ(Text(), kA);
  EXPECT_EQ(view.Paste(), kEditDone);
  EXPECT_EQ(view.Paste(), kEditDone);
  EXPECT_EQ(Text(), std::string(kA) + kI + kI);
  EXPECT_EQ(view.Undo(), kEditDone);
  EXPECT_EQ(Text(), std::string(kA) + kI);
  EXPECT_EQ(view.Redo(), kEditDone);
  EXPECT_EQ(Text(), std::string(kA) + kI + kI);
  EXPECT_EQ(view.Redo(), kEditNothingToDo);
  while (engine().EditCommand(WPC_CAN_UNDO, 0, 0) != 0) EXPECT_EQ(view.Undo(), kEditDone);
  EXPECT_EQ(view.Undo(), kEditNothingToDo);
  EXPECT_EQ(Text(), "");
}

TEST_F(WpViewInputTest, TheStandardEditCommandsReachTheWrappers) {
  Type(kA);
  Type(kU);
  SelectBack(1);
  view_->SendMessage(platform::WM_COMMAND, framework::ID_EDIT_COPY, 0);
  engine().EditCommand(WPC_MOVE, kMoveDocumentStart, 0);
  view_->SendMessage(platform::WM_COMMAND, framework::ID_EDIT_PASTE, 0);
  EXPECT_EQ(Text(), std::string(kU) + kA + kU);
  SelectBack(0);
  engine().EditCommand(WPC_MOVE_EXTEND, 2, kCharacterWise);
  view_->SendMessage(platform::WM_COMMAND, framework::ID_EDIT_CUT, 0);
  EXPECT_EQ(Text(), std::string(kU) + kU);
}

TEST_F(WpViewInputTest, TheInputMethodNeverHasACompositionYet) {
  framework::CString text("left over");
  EXPECT_EQ(view_->GetImeCompositionState(), 0);
  EXPECT_EQ(view_->SuspendImeComposition(), 0);
  EXPECT_EQ(view_->GetImeCompositionText(text), 0);
  EXPECT_TRUE(text.IsEmpty());
}

// ---- Prompt modes -------------------------------------------------------------

TEST_F(WpViewInputTest, APromptModeTakesTheCaretKeysFromTheSurfaceAndGivesThemBack) {
  CVedWpView& view = *view_;
  Type(kA);
  Type(kI);
  Type(kU);
  engine().EditCommand(WPC_MOVE, kMoveDocumentStart, 0);
  platform::SetFocus(view.Surface()->m_hWnd);
  view.SuspendEditInput();
  EXPECT_EQ(view.SurfaceHasInput(), 0);
  EXPECT_EQ(view.ViewDrivesCaretKeys(), 1);
  EXPECT_EQ(platform::GetFocus(), view.m_hWnd);
  EXPECT_FALSE(platform::IsWindowEnabled(view.Surface()->m_hWnd));
  EXPECT_EQ(view.Surface()->IsInputBlocked(), 1);
  EXPECT_TRUE(view.Surface()->DisplayLines().IsCaretShown()) << "the caret stays visible";

  Press(platform::VK_RIGHT);
  EXPECT_EQ(Location().caret.column, 3) << "a plain move, two columns a character";
  EXPECT_EQ(Selected(), 0);
  EXPECT_NE(view.BeginRangeSelection(kCharacterWise), -1);
  EXPECT_EQ(view.AnchorSet(), 1);
  Press(platform::VK_RIGHT);
  EXPECT_NE(Selected(), 0) << "with the anchor set the keys extend";
  view.CancelSelection(1);
  view.BeginRangeSelection(kCharacterWise);
  view.StartRangeMarking();
  EXPECT_EQ(view.RangeMarking(), 1);
  const int32_t marked = Location().caret.column;
  Press(platform::VK_RIGHT);
  EXPECT_GT(Location().caret.column, marked) << "range marking moves plainly";
  view.ExtendRangeSelection(2);
  EXPECT_EQ(view.SelectionMode(), kCharacterWise) << "no extension while marking";

  view.ResumeEditInput();
  EXPECT_EQ(view.SurfaceHasInput(), 1);
  EXPECT_EQ(view.RangeMarking(), 0);
  EXPECT_EQ(view.AnchorSet(), 0);
  EXPECT_EQ(Location().caret.column, marked) << "the marking is cancelled, the caret put back";
  EXPECT_TRUE(platform::IsWindowEnabled(view.Surface()->m_hWnd));
  EXPECT_EQ(view.Surface()->IsInputBlocked(), 0);
  EXPECT_EQ(platform::GetFocus(), view.Surface()->m_hWnd);
  view.ResumeEditInput();
  EXPECT_EQ(view.SurfaceHasInput(), 1) << "only once";
}

TEST_F(WpViewInputTest, AKeyTheViewDoesNotMoveByGoesOnAndSystemKeysAreEatenOnlyWhenItDoesNotDrive) {
  CVedWpView& view = *view_;
  struct Case {
    bool suspended;
    int drives;
    platform::UINT message;
    platform::WPARAM key;
    bool eaten;
  };
  for (const Case& c : {
           Case{false, 1, platform::WM_SYSKEYDOWN, 'F', false},
           Case{true, 1, platform::WM_SYSKEYDOWN, 'F', false},
           Case{true, 0, platform::WM_SYSKEYDOWN, 'F', true},
           Case{true, 0, platform::WM_SYSKEYDOWN, platform::VK_RIGHT, true},
           Case{true, 0, platform::WM_KEYDOWN, platform::VK_RIGHT, false},
           Case{true, 1, platform::WM_KEYDOWN, platform::VK_RIGHT, true},
           Case{true, 1, platform::WM_KEYDOWN, 'Y', false},
       }) {
    if (c.suspended) view.SuspendEditInput();
    view.EnableViewCaretKeys(c.drives);
    platform::MSG msg = Message(c.message, c.key);
    EXPECT_EQ(view.PreTranslateMessage(&msg), c.eaten)
        << c.suspended << c.drives << " " << c.message << " " << c.key;
    view.ResumeEditInput();
  }
}

TEST_F(WpViewInputTest, AFullWidthSpaceFromTheInputMethodBecomesASpaceWhileTheViewHasInput) {
  CVedWpView& view = *view_;
  platform::MSG msg = Message(platform::WM_IME_CHAR, 0x8140, 1);
  EXPECT_FALSE(view.PreTranslateMessage(&msg));
  EXPECT_EQ(msg.message, platform::WM_IME_CHAR) << "the surface has input";
  view.SuspendEditInput();
  EXPECT_FALSE(view.PreTranslateMessage(&msg)) << "it goes on to be handled";
  EXPECT_EQ(msg.message, platform::WM_CHAR);
  EXPECT_EQ(msg.wParam, 0x20u);
  EXPECT_EQ(msg.lParam, 0);
  platform::MSG other = Message(platform::WM_IME_CHAR, 0x82A0, 1);
  EXPECT_FALSE(view.PreTranslateMessage(&other));
  EXPECT_EQ(other.message, platform::WM_IME_CHAR);
  EXPECT_EQ(other.wParam, 0x82A0u);
}

TEST_F(WpViewInputTest, CancellingASelectionClearsTheAnchorAndTheEnginesSelection) {
  Type(kA);
  Type(kI);
  view_->BeginRangeSelection(kCharacterWise);
  SelectBack(1);
  ASSERT_NE(Selected(), 0);
  view_->CancelSelection(1);
  EXPECT_EQ(view_->AnchorSet(), 0);
  EXPECT_EQ(Selected(), 0);
  view_->StopRangeMarking(1);
  EXPECT_EQ(view_->RangeMarking(), 0) << "nothing to stop";
}

// ---- Scrolling ----------------------------------------------------------------

TEST_F(WpViewInputTest, TheScrollBarsScrollTheSurfaceAndFollowIt) {
  std::string text;
  for (int i = 0; i < 25 * doc_root_test::kStyleCharsPerLine; ++i) text += kA;
  Type(text.c_str());
  engine().EditCommand(WPC_MOVE, kMoveDocumentStart, 0);
  Pump();
  CVertScrollBar& bar = view_->VertScrollBar();
  const int32_t top = bar.GetScrollPos();
  view_->SendMessage(platform::WM_VSCROLL, platform::SB_PAGEDOWN,
                     static_cast<platform::LPARAM>(bar.m_hWnd));
  EXPECT_GT(bar.GetScrollPos(), top);
  const int32_t lowered = view_->Surface()->DisplayLines().Lines().front().yOrigin;
  view_->SendMessage(platform::WM_VSCROLL, 0, 0);
  EXPECT_EQ(view_->Surface()->DisplayLines().Lines().front().yOrigin, lowered)
      << "all zero only refreshes the bars";
  view_->SendMessage(platform::WM_HSCROLL, platform::SB_LINEDOWN,
                     static_cast<platform::LPARAM>(view_->HorzScrollBar().m_hWnd));
  EXPECT_GT(view_->HorzScrollBar().GetScrollPos(), 0);
}

// ---- The context menu ---------------------------------------------------------

class WpViewMenuTest : public WpViewTest {
 protected:
  WpViewMenuTest() {
    CMenuView::requests().clear();
    template_ = std::make_unique<framework::CMultiDocTemplate>(
        kDocStrings, framework::FrameResources{}, RUNTIME_CLASS(CTestWpDoc),
        RUNTIME_CLASS(CMDIChildWnd), RUNTIME_CLASS(CMenuView));
    OpenShown();
    platform::MoveWindow(view_->m_hWnd, 0, 0, 600, 400, true);
    Pump();
  }
  void AskAt(platform::POINT client) {
    platform::ClientToScreen(view_->m_hWnd, &client);
    view_->SendMessage(platform::WM_CONTEXTMENU, view_->m_hWnd,
                       platform::MakeLParam(client.x, client.y));
  }
};

TEST_F(WpViewMenuTest, TheKeyboardsMenuOpensBelowRightOfTheCaret) {
  platform::RECT caret;
  ASSERT_NE(view_->Surface()->GetCaretWindowRect(&caret), 0);
  view_->SendMessage(platform::WM_CONTEXTMENU, view_->m_hWnd, platform::MakeLParam(-1, -1));
  ASSERT_EQ(CMenuView::requests().size(), 1u);
  EXPECT_EQ(CMenuView::requests()[0].x, caret.right + 10);
  EXPECT_EQ(CMenuView::requests()[0].y, caret.bottom + 20);
}

TEST_F(WpViewMenuTest, AClickOnTheSurfaceAsksAndOneOnAScrollBarDoesNot) {
  AskAt({100, 150});
  ASSERT_EQ(CMenuView::requests().size(), 1u);
  EXPECT_EQ(CMenuView::requests()[0].x, 100);
  EXPECT_EQ(CMenuView::requests()[0].y, 150);
  EXPECT_EQ(CMenuView::requests()[0].where, kHitInfoNoSelection);
  const platform::RECT bar = view_->VertScrollBar().Anchor().placed;
  AskAt({bar.left + 2, bar.top + 20});
  EXPECT_EQ(CMenuView::requests().size(), 1u) << "no menu over the scroll bar";
}

}  // namespace
}  // namespace views_test
