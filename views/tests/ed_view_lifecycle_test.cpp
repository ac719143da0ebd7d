// The editing surface's life: attached at the framework view's first
// background erase, the caret keys, input blocking and what it drops of
// the queue when it goes.
#include <gtest/gtest.h>

#include <vector>

#include "ed_view_fixture.h"
#include "framework/dc.h"
#include "framework/message_map.h"
#include "platform/caret.h"
#include "platform/input.h"

namespace views_test {
namespace {

// A framework view's stand-in: its first erase attaches the surface and
// opens the engine's notifications.
class FirstEraseHost : public framework::CWnd {
  DECLARE_MESSAGE_MAP()

 public:
  CVedEdView* surface = nullptr;
  CVedWpCtrl* engine = nullptr;
  int erased = 0;

  bool OnEraseBkgnd(framework::CDC*) {
    if (erased++ == 0) {
      surface->AttachEngine(engine, nullptr);
      engine->NotifyCommand(WPC_SET_NOTIFY_MASK, -1);
    }
    return true;
  }
  void OnPaint() { framework::CPaintDC dc(this); }
};

// clang-format off
BEGIN_MESSAGE_MAP(FirstEraseHost, framework::CWnd)
  framework::OnMessage<platform::WM_ERASEBKGND>(&FirstEraseHost::OnEraseBkgnd),
  framework::OnMessage<platform::WM_PAINT>(&FirstEraseHost::OnPaint),
END_MESSAGE_MAP()
    // clang-format on

    constexpr intptr_t kOnlyContentLoaded = 0x1000;

TEST_F(EdViewTest, NothingIsAttachedBeforeTheFirstEraseOfThePaintCycle) {
  FirstEraseHost host;
  host.engine = &engine;
  ASSERT_TRUE(host.CreateEx(0, nullptr, "", platform::WS_VISIBLE | platform::WS_CLIPCHILDREN,
                            RECT{0, 0, 400, 300}, nullptr, 0));
  engine.NotifyCommand(WPC_SET_NOTIFY_MASK, kOnlyContentLoaded);
  host.surface = new CVedEdView;
  ASSERT_EQ(host.surface->CreateEditSurfaceWindow(&host), 1);
  platform::MoveWindow(host.surface->m_hWnd, 0, 0, 400, 300, false);
  window.Clear();
  Type("\x82\xA0");
  EXPECT_EQ(host.surface->Engine(), nullptr);
  EXPECT_TRUE(host.surface->DisplayLines().Lines().empty());
  EXPECT_EQ(engine.NotifyCommand(WPC_GET_NOTIFY_MASK, 0), kOnlyContentLoaded);
  EXPECT_EQ(window.Count(WM_WPC_CARETMOVED), 0u) << "held back before the erase";

  platform::InvalidateRect(host.m_hWnd, nullptr, true);
  Pump();
  EXPECT_EQ(host.erased, 1);
  EXPECT_EQ(host.surface->Engine(), &engine);
  EXPECT_FALSE(host.surface->DisplayLines().Lines().empty());
  EXPECT_EQ(engine.NotifyCommand(WPC_GET_NOTIFY_MASK, 0), -1);
  Type("\x82\xA0");
  EXPECT_GT(window.Count(WM_WPC_CARETMOVED), 0u);
}

TEST_F(EdViewTest, ClosingDropsOnlyTheSurfacesOwnQueuedKeys) {
  CVedEdView& view = Surface(1, 1, 300, 200);
  const platform::HWND surface = view.m_hWnd;
  const platform::HWND other = window.handle();
  platform::PostMessage(surface, platform::WM_KEYDOWN, 'A', 0);
  platform::PostMessage(other, platform::WM_KEYDOWN, 'B', 0);
  platform::PostMessage(surface, platform::WM_CHAR, 'a', 0);
  platform::PostMessage(other, platform::WM_CHAR, 'b', 0);
  platform::DestroyWindow(surface);
  std::vector<platform::WPARAM> left;
  platform::MSG msg;
  while (platform::PeekMessage(&msg, platform::kNoWindow, platform::WM_KEYFIRST,
                               platform::WM_KEYLAST, platform::PM_REMOVE)) {
    EXPECT_EQ(msg.hwnd, other);
    left.push_back(msg.wParam);
  }
  EXPECT_EQ(left, (std::vector<platform::WPARAM>{'B', 'b'}));
}

TEST_F(EdViewTest, TheCaretKeysGiveTheirMoveCodesByCtrlAndAlt) {
  CVedEdView& view = Surface(1, 1, 300, 200);
  struct Case {
    int key;
    bool shift, ctrl, alt;
    int move;
  };
  for (const Case& c : {
           Case{platform::VK_LEFT, false, false, false, 1},
           Case{platform::VK_LEFT, false, true, false, 1027},
           Case{platform::VK_RIGHT, false, false, false, 2},
           Case{platform::VK_RIGHT, false, true, false, 1026},
           Case{platform::VK_UP, false, false, false, 3},
           Case{platform::VK_UP, false, true, false, 36},
           Case{platform::VK_DOWN, true, false, false, 4},
           Case{platform::VK_DOWN, false, true, false, 35},
           Case{platform::VK_HOME, false, false, false, 17},
           Case{platform::VK_HOME, true, true, false, 65},
           Case{platform::VK_END, false, false, false, 18},
           Case{platform::VK_END, false, true, false, 66},
           Case{platform::VK_PRIOR, false, false, false, 258},
           Case{platform::VK_PRIOR, false, true, false, 274},
           Case{platform::VK_NEXT, false, false, false, 257},
           Case{platform::VK_NEXT, false, true, false, 273},
           Case{platform::VK_LEFT, false, false, true, 0},
           Case{platform::VK_LEFT, false, true, true, 0},
           Case{'A', false, false, false, 0},
       }) {
    platform::KeyboardState keys{};
    keys[platform::VK_SHIFT] = c.shift ? 0x80 : 0;
    keys[platform::VK_CONTROL] = c.ctrl ? 0x80 : 0;
    keys[platform::VK_MENU] = c.alt ? 0x80 : 0;
    platform::SetKeyboardState(keys);
    EXPECT_EQ(view.GetKeyMoveCode(c.key), c.move) << c.key << c.shift << c.ctrl << c.alt;
  }
  platform::SetKeyboardState(platform::KeyboardState{});
}

TEST_F(EdViewTest, TheRecordsAreCopiedAndAZoomChangeLaysThePagesOutAgain) {
  CVedEdView& view = Surface(1, 1, 300, 200);
  EditSurfaceStyleBlock block;
  block.enterOption = 1;
  block.clauses[kClauseInput].underline = 1;
  view.SetStyleBlock(block);
  EXPECT_EQ(view.StyleBlock().enterOption, 1);
  EXPECT_EQ(view.StyleBlock().clauses[kClauseInput].underline, 1);
  EXPECT_EQ(view.Geometry().page.paperWidth, kPaperWidth);
  view.SetDisplayRecord(Display(1, 2));
  EXPECT_EQ(view.Geometry().zoom, 2);
  EXPECT_EQ(view.Geometry().page.paperWidth, 1587);
  EXPECT_EQ(view.DisplayLines().Lines().front().xOrigin, 0) << "laid out from page 1 again";
  EXPECT_EQ(view.PageBitmapRect(), (RECT{0, 0, 1587 + kShadowSize, 2245 + kShadowSize}));
  view.SetDisplayRecord(Display(0, 2));
  EXPECT_EQ(view.PageBitmapDC(), nullptr) << "continuous view has no page bitmap";
}

TEST_F(EdViewTest, MouseActivationLeavesTheFrameAloneAndFocusesTheParent) {
  CVedEdView& view = Surface(1, 1, 300, 200);
  platform::SetFocus(platform::kNoWindow);
  EXPECT_EQ(platform::SendMessage(view.m_hWnd, platform::WM_MOUSEACTIVATE, host_, 0),
            platform::MA_NOACTIVATE);
  EXPECT_EQ(platform::GetFocus(), host_);
}

TEST_F(EdViewTest, FocusShowsTheCaretAndLosingItDestroysIt) {
  CVedEdView& view = Surface(1, 1, 300, 200);
  platform::SetFocus(view.m_hWnd);
  EXPECT_TRUE(view.DisplayLines().IsCaretShown());
  EXPECT_EQ(platform::GetCaretState().owner, view.m_hWnd);
  platform::SetFocus(host_);
  EXPECT_FALSE(view.DisplayLines().IsCaretCreated());
}

TEST_F(EdViewTest, AfterALoadThePagesAndTheCaretAreTakenAgain) {
  CVedEdView& view = Surface(1, 1, 600, 400);
  engine.EditCommand(WPC_MOVE, kMoveNextPage, 0);
  const CaretPoint onSecond = Caret();
  view.OnCaretMoved(kMoveNextPage, &onSecond);
  ASSERT_EQ(view.DisplayLines().Lines().front().page, 2);
  ASSERT_EQ(engine.DocumentCommand(WPC_NEW_DOCUMENT, 0, nullptr), kWpcOk);
  view.RefreshAfterLoad();
  ASSERT_EQ(view.DisplayLines().Lines().size(), 1u);
  EXPECT_EQ(view.DisplayLines().Lines().front().page, 1);
  EXPECT_EQ(view.DisplayLines().CaretPage(), 1);
  EXPECT_TRUE(view.DisplayLines().IsCaretShown());
}

}  // namespace
}  // namespace views_test
