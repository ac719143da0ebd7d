// The framework view in a headless MDI program: its children and their
// places, the attachment at the first background erase of the paint
// cycle, and the engine's notifications on their way to the surface.
#include <gtest/gtest.h>

#include <vector>

#include "framework/framework_ids.h"
#include "framework/message_map.h"
#include "platform/paint.h"
#include "platform/system_info.h"
#include "wp_view_fixture.h"

namespace views_test {

IMPLEMENT_DYNCREATE(CTestWpDoc, CVedWpDoc)

namespace {

using platform::RECT;

constexpr intptr_t kOnlyContentLoaded = 0x1000;

// A view that counts the caret notifications it gets before handing them
// on, as the application view does.
class CCountingView : public CVedWpView {
  DECLARE_DYNCREATE(CCountingView)
  DECLARE_MESSAGE_MAP()

 public:
  static int& caretMoves() {
    static int count = 0;
    return count;
  }
  static int& reconvertAnswer() {
    static int answer = 0;
    return answer;
  }

 private:
  platform::LRESULT OnCaret(platform::WPARAM code, platform::LPARAM record) {
    ++caretMoves();
    return OnCaretChanged(code, record);
  }
  platform::LRESULT OnReconvert(platform::WPARAM, platform::LPARAM) { return reconvertAnswer(); }
};

IMPLEMENT_DYNCREATE(CCountingView, CVedWpView)

// clang-format off
BEGIN_MESSAGE_MAP(CCountingView, CVedWpView)
  framework::OnProgramMessage(WM_WPC_CARETMOVED, &CCountingView::OnCaret),
  framework::OnProgramMessage(WM_WPC_RECONVERT, &CCountingView::OnReconvert),
END_MESSAGE_MAP()
    // clang-format on

    RECT PlaceOf(platform::HWND window) {
  RECT rect;
  platform::GetWindowRect(window, &rect);
  platform::POINT corner{rect.left, rect.top};
  platform::ScreenToClient(platform::GetParent(window), &corner);
  return rect.Offset(corner.x - rect.left, corner.y - rect.top);
}

class WpViewLayoutTest : public WpViewTest {};

TEST_F(WpViewLayoutTest, TheSurfaceBarsAndBoxesFillTheViewAtEverySize) {
  CVedWpView& view = OpenShown();
  const int32_t bar = platform::GetSystemMetrics(platform::SM_CXVSCROLL);
  ASSERT_EQ(bar, platform::GetSystemMetrics(platform::SM_CYHSCROLL));
  struct Case {
    int32_t width, height;
  };
  for (const Case& c : {Case{300, 200}, Case{640, 480}}) {
    platform::MoveWindow(view.m_hWnd, 0, 0, c.width, c.height, true);
    Pump();
    // No rulers yet: the surface reaches the view's top-left corner.
    EXPECT_EQ(PlaceOf(view.Surface()->m_hWnd), (RECT{0, 0, c.width - bar, c.height - bar}));
    EXPECT_EQ(PlaceOf(view.VertScrollBar().m_hWnd),
              (RECT{c.width - bar, 0, c.width, c.height - bar}));
    EXPECT_EQ(PlaceOf(view.HorzScrollBar().m_hWnd),
              (RECT{0, c.height - bar, c.width - bar, c.height}));
    EXPECT_EQ(PlaceOf(view.Box(kBoxBottomRight).m_hWnd),
              (RECT{c.width - bar, c.height - bar, c.width, c.height}));
    EXPECT_EQ(view.Surface()->Geometry().clientWidth, c.width - bar + 1);
  }
  EXPECT_TRUE(platform::IsWindowVisible(view.Box(kBoxBottomRight).m_hWnd));
  for (CornerBox box : {kBoxTopLeft, kBoxTopRight, kBoxBottomLeft}) {
    EXPECT_FALSE(platform::IsWindowVisible(view.Box(box).m_hWnd)) << "no ruler beside box " << box;
  }
}

// ---- The attachment ---------------------------------------------------------

TEST_F(WpViewTest, CreationSendsTheRecordsAndOnlyTheFirstEraseAttaches) {
  CVedWpView& view = Open();
  EXPECT_EQ(document_->GetView(), &view);
  EXPECT_EQ(view.Engine(), document_->GetEngine());
  EXPECT_EQ(engine().NotifyCommand(WPC_GET_NOTIFY_WINDOW, 0), static_cast<int>(view.m_hWnd));
  EXPECT_EQ(engine().NotifyCommand(WPC_GET_NOTIFY_MASK, 0), kOnlyContentLoaded);
  ColourRecord colours;
  engine().DisplayCommand(WPC_GET_COLOURS, 0, &colours);
  EXPECT_EQ(colours.display.background, DefaultViewColours().display.background);
  EXPECT_EQ(colours.display.marks, 1);
  DisplayOptionsRecord options;
  engine().EditCommand(WPC_GET_DISPLAY_OPTIONS, 0, reinterpret_cast<intptr_t>(&options));
  EXPECT_EQ(options.pageJumpStep, 5);
  EXPECT_EQ(options.options[0], 1);
  SpeechOptions speech;
  speech.voiceMask = 0;
  engine().FeedbackCommand(WPC_GET_SPEECH_OPTIONS, 0, &speech);
  EXPECT_EQ(speech, SpeechOptions{});
  EXPECT_EQ(view.Surface()->Engine(), nullptr) << "not before the paint cycle";

  Pump();
  EXPECT_EQ(view.Surface()->Engine(), &engine());
  EXPECT_EQ(engine().NotifyCommand(WPC_GET_NOTIFY_MASK, 0), -1);
  EXPECT_EQ(view.VertScrollBar().Surface(), view.Surface());
  EXPECT_EQ(view.HorzScrollBar().Surface(), view.Surface());
  EXPECT_EQ(view.Box(kBoxTopLeft).BevelInset(), 2);
  EXPECT_EQ(view.Surface()->DisplayLines().CaretPage(), 1)
      << "the caret record went to the surface";
}

class WpViewCountingTest : public WpViewTest {
 protected:
  WpViewCountingTest() {
    CCountingView::caretMoves() = 0;
    CCountingView::reconvertAnswer() = 0;
    template_ = std::make_unique<framework::CMultiDocTemplate>(
        kDocStrings, framework::FrameResources{}, RUNTIME_CLASS(CTestWpDoc),
        RUNTIME_CLASS(CMDIChildWnd), RUNTIME_CLASS(CCountingView));
  }
};

TEST_F(WpViewCountingTest, CaretNotificationsWaitForTheFirstEraseOfThePaintCycle) {
  CVedWpView& view = Open();
  engine().EditCommand(WPC_INSERT_TEXT, 1, reinterpret_cast<intptr_t>("\x82\xA0"));
  EXPECT_EQ(CCountingView::caretMoves(), 0) << "held back before the erase";
  // A paint without an erase leaves the mask shut.
  platform::ValidateRect(view.m_hWnd, nullptr);
  platform::InvalidateRect(view.m_hWnd, nullptr, false);
  platform::UpdateWindow(view.m_hWnd);
  EXPECT_EQ(view.Surface()->Engine(), nullptr);
  EXPECT_EQ(engine().NotifyCommand(WPC_GET_NOTIFY_MASK, 0), kOnlyContentLoaded);

  platform::InvalidateRect(view.m_hWnd, nullptr, true);
  platform::UpdateWindow(view.m_hWnd);
  EXPECT_EQ(CCountingView::caretMoves(), 1) << "the view asks for the caret once";
  EXPECT_EQ(engine().NotifyCommand(WPC_GET_NOTIFY_MASK, 0), -1);
  engine().EditCommand(WPC_INSERT_TEXT, 1, reinterpret_cast<intptr_t>("\x82\xA0"));
  EXPECT_EQ(CCountingView::caretMoves(), 2);
  Pump();
  const CVedWpCtrl* attached = view.Surface()->Engine();
  platform::InvalidateRect(view.m_hWnd, nullptr, true);
  Pump();
  EXPECT_EQ(view.Surface()->Engine(), attached) << "a later erase attaches nothing";
  EXPECT_EQ(CCountingView::caretMoves(), 2);
}

// ---- The notifications ------------------------------------------------------

class WpViewNotificationTest : public WpViewTest {
 protected:
  WpViewNotificationTest() {
    OpenShown();
    platform::MoveWindow(view_->m_hWnd, 0, 0, 600, 400, true);
    Pump();
  }
  const CDisplayLineList& Lines() const { return view_->Surface()->DisplayLines(); }
  void TypePages(int lines) {
    std::string text;
    for (int i = 0; i < lines * doc_root_test::kStyleCharsPerLine; ++i) text += "\x82\xA0";
    engine().EditCommand(WPC_INSERT_TEXT, 1, reinterpret_cast<intptr_t>(text.c_str()));
  }
};

TEST_F(WpViewNotificationTest, ACaretMoveReachesTheSurfaceAndTheScrollBars) {
  TypePages(doc_root_test::kStyleLinesPerPage + 5);
  engine().EditCommand(WPC_MOVE, kMoveDocumentStart, 0);
  Pump();
  ASSERT_EQ(Lines().Lines().front().page, 1);
  const int32_t before = view_->VertScrollBar().GetScrollPos();
  engine().EditCommand(WPC_MOVE, kMoveNextPage, 0);
  EXPECT_EQ(Lines().CaretPage(), 2);
  EXPECT_EQ(Lines().Lines().front().page, 2) << "a page move scrolls the surface";
  EXPECT_GT(view_->VertScrollBar().GetScrollPos(), before);
}

TEST_F(WpViewNotificationTest, AContentChangeReachesTheSurfaceAndTheScrollBars) {
  platform::SCROLLINFO before;
  view_->VertScrollBar().GetScrollInfo(&before);
  TypePages(doc_root_test::kStyleLinesPerPage + 5);
  EXPECT_EQ(engine().EditCommand(WPC_GET_PAGE_COUNT, 0, 0), 2);
  platform::SCROLLINFO after;
  view_->VertScrollBar().GetScrollInfo(&after);
  EXPECT_EQ(after.nMax - before.nMax, 1000) << "a page more to scroll";
  EXPECT_EQ(Lines().CaretPage(), 2);
}

TEST_F(WpViewNotificationTest, ALoadedDocumentIsShownAgainFromItsFirstPage) {
  TypePages(doc_root_test::kStyleLinesPerPage + 5);
  engine().EditCommand(WPC_MOVE, kMoveDocumentStart, 0);
  engine().EditCommand(WPC_MOVE, kMoveNextPage, 0);
  ASSERT_EQ(Lines().Lines().front().page, 2);
  ASSERT_EQ(engine().DocumentCommand(WPC_NEW_DOCUMENT, 0, nullptr), kWpcOk);
  EXPECT_EQ(Lines().Lines().front().page, 1);
  EXPECT_EQ(Lines().CaretPage(), 1);
  EXPECT_TRUE(platform::IsWindowVisible(view_->Surface()->m_hWnd)) << "shown again";
}

TEST_F(WpViewCountingTest, TheReconversionAnswerGoesBackToTheEngine) {
  OpenShown();
  const char text[] = "\x82\xA0";
  EXPECT_EQ(engine().EditCommand(WPC_REQUEST_RECONVERT, 0, reinterpret_cast<intptr_t>(text)), 0);
  CCountingView::reconvertAnswer() = 1;
  EXPECT_EQ(engine().EditCommand(WPC_REQUEST_RECONVERT, 0, reinterpret_cast<intptr_t>(text)), 1);
}

TEST_F(WpViewTest, TheFrameworkViewRefusesReconversionWhateverItsOption) {
  CVedWpView& view = OpenShown();
  const char text[] = "\x82\xA0";
  for (uint8_t option : {0, 1}) {
    ViewDisplayOptions options;
    options.reconversion = option;
    view.ApplyDisplayOptions(options, EditSurfaceStyleBlock{});
    EXPECT_EQ(view.ReconversionOption(), option);
    EXPECT_EQ(engine().EditCommand(WPC_REQUEST_RECONVERT, 0, reinterpret_cast<intptr_t>(text)), 0);
  }
}

// ---- The whole road -------------------------------------------------------------

TEST_F(WpViewTest, AProgramOpensADocumentAndTypesCopiesPastesAndUndoesThroughTheView) {
  CVedWpView& view = OpenShown();
  ASSERT_EQ(platform::GetFocus(), view.Surface()->m_hWnd) << "the view hands the focus on";
  for (const uint16_t unit : {0x3042, 0x3044, 0x3046}) platform::TypeCharacter(unit);  // あいう
  Pump();
  const std::string typed = "\x82\xA0\x82\xA2\x82\xA4";
  EXPECT_EQ(Text(), typed);
  platform::keybd_event(platform::VK_SHIFT, 0, 0, 0);
  Press(platform::VK_LEFT);
  platform::keybd_event(platform::VK_SHIFT, 0, platform::KEYEVENTF_KEYUP, 0);
  Pump();
  ASSERT_NE(engine().EditCommand(WPC_HAS_SELECTION, 0, 0), 0);
  main_->SendMessage(platform::WM_COMMAND, framework::ID_EDIT_COPY, 0);
  Press(platform::VK_HOME);
  main_->SendMessage(platform::WM_COMMAND, framework::ID_EDIT_PASTE, 0);
  EXPECT_EQ(Text(), "\x82\xA4" + typed);
  platform::TypeCharacter(0x3048);  // え
  Pump();
  EXPECT_EQ(Text(), "\x82\xA4\x82\xA6" + typed);
  EXPECT_EQ(view.Undo(), kEditDone);
  EXPECT_EQ(Text(), "\x82\xA4" + typed);
  EXPECT_EQ(view.Undo(), kEditDone);
  EXPECT_EQ(Text(), typed);
  EXPECT_EQ(view.Redo(), kEditDone);
  EXPECT_EQ(Text(), "\x82\xA4" + typed);
  Pump();
  EXPECT_EQ(view.Surface()->DisplayLines().CaretPage(), 1);
  view.GetParentFrame()->DestroyWindow();
  EXPECT_TRUE(template_->GetDocuments().empty()) << "the document goes with its view";
}

}  // namespace
}  // namespace views_test
