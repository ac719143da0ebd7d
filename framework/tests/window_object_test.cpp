// The window object as the views and dialogs lean on it: system controls
// made through an object, the PreTranslateMessage walk, notifications
// reflected to the control's own object, paint and client DCs, fonts,
// scroll bars and dynamic creation.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <cstring>
#include <functional>
#include <memory>
#include <string>

#include "framework/dc.h"
#include "framework/font.h"
#include "framework/scroll_bar.h"
#include "framework/wnd.h"
#include "framework_test_support.h"
#include "platform/caller_assert.h"
#include "platform/input.h"
#include "platform/synthetic_fonts.h"

namespace framework {
namespace {

using ::testing::ElementsAre;
using namespace platform;

constexpr UINT kBarId = 7;

// ---- System controls made through an object ------------------------------------

// A scroll bar that tells what its map saw while it was made.
class CWatchedScrollBar : public CScrollBar {
  DECLARE_MESSAGE_MAP()

 private:
  bool OnNcCreate(const CREATESTRUCT*) {
    Note("nccreate");
    return true;
  }
  int OnCreate(const CREATESTRUCT*) {
    Note("create");
    return 0;
  }
  void OnNcDestroy() { Seen().push_back("ncdestroy"); }
  void Note(const std::string& what) {
    const bool attached = m_hWnd != kNoWindow && FromHandlePermanent(m_hWnd) == this;
    Seen().push_back(what + (attached ? " attached" : " detached"));
  }
};

BEGIN_MESSAGE_MAP(CWatchedScrollBar, CScrollBar)
OnMessage<WM_NCCREATE>(&CWatchedScrollBar::OnNcCreate),
    OnMessage<WM_CREATE>(&CWatchedScrollBar::OnCreate),
    OnMessage<WM_NCDESTROY>(&CWatchedScrollBar::OnNcDestroy),
    END_MESSAGE_MAP()

        class SystemControlTest : public WindowTest {
 protected:
  SystemControlTest() { EXPECT_TRUE(parent_.CreateEx(0, nullptr, "", 0, kRect, nullptr, 0)); }
  CWnd parent_;
};

TEST_F(SystemControlTest, ASystemControlsObjectSeesItsCreationAndTheControlStillWorks) {
  CWatchedScrollBar bar;
  ASSERT_TRUE(bar.Create(SBS_VERT, RECT{0, 0, 16, 100}, &parent_, kBarId));
  EXPECT_THAT(Seen(), ElementsAre("nccreate attached", "create attached"));
  std::string className;
  ASSERT_TRUE(GetClassName(bar.m_hWnd, &className));
  EXPECT_EQ(className, kScrollBarClass) << "the class stays the system's";

  // The control made its state behind the object's handler.
  SCROLLINFO info;
  info.fMask = SIF_RANGE | SIF_PAGE | SIF_POS;
  info.nMin = 0;
  info.nMax = 99;
  info.nPage = 10;
  info.nPos = 95;
  EXPECT_EQ(bar.SetScrollInfo(&info), 90) << "the position kept within max - page + 1";
  EXPECT_EQ(bar.GetScrollPos(), 90);

  Seen().clear();
  EXPECT_TRUE(bar.DestroyWindow());
  EXPECT_THAT(Seen(), ElementsAre("ncdestroy"));
  EXPECT_EQ(bar.m_hWnd, kNoWindow);
}

TEST_F(SystemControlTest, TheScrollBarObjectReadsAndSetsItsRangePageAndPosition) {
  CScrollBar bar;
  ASSERT_TRUE(bar.Create(SBS_HORZ | WS_VISIBLE, RECT{0, 0, 100, 16}, &parent_, kBarId));
  EXPECT_EQ(CWnd::FromHandlePermanent(parent_.GetDlgItem(kBarId)->m_hWnd), &bar);
  EXPECT_TRUE(bar.IsKindOf(RUNTIME_CLASS(CWnd)));
  struct Case {
    int32_t min, max, pos;
    int32_t keptPos;
  };
  for (const Case& c :
       {Case{0, 50, 20, 20}, Case{10, 20, 5, 10}, Case{0, 10, 30, 10}, Case{-5, 5, -3, -3}}) {
    ASSERT_TRUE(bar.SetScrollRange(c.min, c.max));
    bar.SetScrollPos(c.pos);
    int32_t min = 0;
    int32_t max = 0;
    ASSERT_TRUE(bar.GetScrollRange(&min, &max));
    EXPECT_EQ(min, c.min);
    EXPECT_EQ(max, c.max);
    EXPECT_EQ(bar.GetScrollPos(), c.keptPos) << c.min << ".." << c.max << " at " << c.pos;
    SCROLLINFO info;
    ASSERT_TRUE(bar.GetScrollInfo(&info, SIF_POS));
    EXPECT_EQ(info.nPos, c.keptPos);
  }
  EXPECT_EQ(bar.SetScrollPos(3), -3) << "answers the position before";
}

// A handler that refuses WM_NCCREATE ends the creation there.
class CRefusingWnd : public CWnd {
  DECLARE_MESSAGE_MAP()

 private:
  bool OnNcCreate(const CREATESTRUCT*) { return false; }
};

BEGIN_MESSAGE_MAP(CRefusingWnd, CWnd)
OnMessage<WM_NCCREATE>(&CRefusingWnd::OnNcCreate),
    END_MESSAGE_MAP()

        TEST_F(SystemControlTest, ARefusedCreationLeavesNoWindow) {
  for (const char* className : {static_cast<const char*>(nullptr), kScrollBarClass}) {
    CRefusingWnd window;
    EXPECT_FALSE(window.CreateEx(0, className, "", WS_CHILD, kRect, &parent_, 1));
    EXPECT_EQ(window.m_hWnd, kNoWindow);
    EXPECT_EQ(GetWindow(parent_.m_hWnd, GW_CHILD), kNoWindow);
  }
}

// ---- PreTranslateMessage ---------------------------------------------------------

// Records each PreTranslateMessage it is asked; rewrites one key into
// another, or eats one key.
class CTranslatingWnd : public CWnd {
  DECLARE_MESSAGE_MAP()

 public:
  explicit CTranslatingWnd(std::string name) : name_(std::move(name)) {}

  bool PreTranslateMessage(MSG* msg) override {
    Seen().push_back(name_ + " pre " + std::to_string(msg->wParam));
    if (msg->wParam == rewriteFrom) msg->wParam = rewriteTo;
    return msg->wParam == eat;
  }

  WPARAM rewriteFrom = 0;
  WPARAM rewriteTo = 0;
  WPARAM eat = 0;

 private:
  void OnKeyDown(UINT key, UINT, UINT) { Seen().push_back(name_ + " key " + std::to_string(key)); }

  std::string name_;
};

BEGIN_MESSAGE_MAP(CTranslatingWnd, CWnd)
OnMessage<WM_KEYDOWN>(&CTranslatingWnd::OnKeyDown), END_MESSAGE_MAP()

                                                        class PreTranslateTest : public WindowTest {
 protected:
  PreTranslateTest() {
    EXPECT_TRUE(top_.CreateEx(0, nullptr, "", 0, kRect, nullptr, 0));
    EXPECT_TRUE(middle_.Create(nullptr, "", 0, kRect, &top_, 1));
    // The child between has no object of its own: the walk passes over it.
    bare_ = CreateWindowEx(0, FrameworkWindowClass(), "", WS_CHILD, 0, 0, 50, 50, middle_.m_hWnd, 2,
                           nullptr);
    EXPECT_TRUE(leaf_.Create(nullptr, "", 0, kRect, CWnd::FromHandle(bare_), 3));
  }

  // What a message loop does with a message it has taken.
  bool Pump(MSG msg, HWND stop = kNoWindow) {
    if (WalkPreTranslateTree(stop, &msg)) return true;
    DispatchMessage(&msg);
    return false;
  }

  CTranslatingWnd top_{"top"};
  CTranslatingWnd middle_{"middle"};
  HWND bare_ = kNoWindow;
  CTranslatingWnd leaf_{"leaf"};
};

TEST_F(PreTranslateTest, TheTargetAndThenEachParentUpToTheTopAreAsked) {
  EXPECT_FALSE(Pump(MSG{leaf_.m_hWnd, WM_KEYDOWN, 'A', 0}));
  EXPECT_THAT(Seen(), ElementsAre("leaf pre 65", "middle pre 65", "top pre 65", "leaf key 65"));
}

TEST_F(PreTranslateTest, TheWalkStopsAtTheWindowItIsGiven) {
  EXPECT_FALSE(Pump(MSG{leaf_.m_hWnd, WM_KEYDOWN, 'A', 0}, middle_.m_hWnd));
  EXPECT_THAT(Seen(), ElementsAre("leaf pre 65", "middle pre 65", "leaf key 65"));
}

TEST_F(PreTranslateTest, ARewriteInPlaceReachesTheParentsAndTheDispatch) {
  leaf_.rewriteFrom = 'A';
  leaf_.rewriteTo = 'B';
  middle_.rewriteFrom = 'B';
  middle_.rewriteTo = 'C';
  EXPECT_FALSE(Pump(MSG{leaf_.m_hWnd, WM_KEYDOWN, 'A', 0}));
  EXPECT_THAT(Seen(), ElementsAre("leaf pre 65", "middle pre 66", "top pre 67", "leaf key 67"));
}

TEST_F(PreTranslateTest, AParentThatHandlesItEndsTheWalkAndNothingIsDispatched) {
  middle_.eat = 'A';
  EXPECT_TRUE(Pump(MSG{leaf_.m_hWnd, WM_KEYDOWN, 'A', 0}));
  EXPECT_THAT(Seen(), ElementsAre("leaf pre 65", "middle pre 65"));
}

TEST_F(PreTranslateTest, AMessageWithoutAWindowAsksNobody) {
  MSG msg{kNoWindow, WM_KEYDOWN, 'A', 0};
  EXPECT_FALSE(WalkPreTranslateTree(kNoWindow, &msg));
  EXPECT_TRUE(Seen().empty());
}

// ---- Reflection --------------------------------------------------------------------

constexpr UINT kControlId = 20;
constexpr UINT kClickCode = 0;
constexpr UINT kChangeCode = 0x0300;
constexpr UINT kNotifyCode = 0xFFFFFFF0u;

// A control that handles what it is told to, and declines the rest.
class CReflectingControl : public CWnd {
  DECLARE_MESSAGE_MAP()

 public:
  bool handleDraw = true;
  HBRUSH brush = nullptr;

 protected:
  bool OnChildNotify(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* result) override {
    if (message == WM_DRAWITEM && !handleDraw) return false;
    return CWnd::OnChildNotify(message, wParam, lParam, result);
  }

 private:
  void DrawItem(DRAWITEMSTRUCT* item) {
    Seen().push_back("control draws " + std::to_string(item->itemID));
  }
  void OnChange() { Seen().push_back("control change"); }
  void OnNotifyReflect(NMHDR*, LRESULT* result) {
    Seen().push_back("control notify");
    *result = 5;
  }
  HBRUSH CtlColor(CDC*, UINT kind) {
    Seen().push_back("control colour " + std::to_string(kind));
    return brush;
  }
};

BEGIN_MESSAGE_MAP(CReflectingControl, CWnd)
OnReflected<WM_DRAWITEM>(&CReflectingControl::DrawItem),
    OnReflectedCommand(kChangeCode, &CReflectingControl::OnChange),
    OnReflectedNotify(kNotifyCode, &CReflectingControl::OnNotifyReflect),
    OnReflected<WM_CTLCOLOR>(&CReflectingControl::CtlColor),
    END_MESSAGE_MAP()

        class CNotifiedParent : public CWnd {
  DECLARE_MESSAGE_MAP()

 public:
  HBRUSH brush = nullptr;

 private:
  void OnDrawItem(int id, DRAWITEMSTRUCT*) {
    Seen().push_back("parent draws for " + std::to_string(id));
  }
  void OnClicked() { Seen().push_back("parent click"); }
  void OnChanged() { Seen().push_back("parent change"); }
  void OnItemNotify(NMHDR*, LRESULT* result) {
    Seen().push_back("parent notify");
    *result = 9;
  }
  HBRUSH OnCtlColor(CDC*, CWnd*, UINT kind) {
    Seen().push_back("parent colour " + std::to_string(kind));
    return brush;
  }
};

BEGIN_MESSAGE_MAP(CNotifiedParent, CWnd)
OnMessage<WM_DRAWITEM>(&CNotifiedParent::OnDrawItem),
    OnControlCode(kClickCode, kControlId, &CNotifiedParent::OnClicked),
    OnControlCode(kChangeCode, kControlId, &CNotifiedParent::OnChanged),
    OnNotifyCode(kNotifyCode, kControlId, &CNotifiedParent::OnItemNotify),
    OnMessage<WM_CTLCOLOR>(&CNotifiedParent::OnCtlColor),
    END_MESSAGE_MAP()

        class ReflectionTest : public WindowTest {
 protected:
  ReflectionTest() {
    EXPECT_TRUE(parent_.CreateEx(0, nullptr, "", 0, kRect, nullptr, 0));
    EXPECT_TRUE(control_.Create(nullptr, "", 0, kRect, &parent_, kControlId));
  }

 public:
  // What the control sends its parent, one message each.
  LRESULT Command(UINT code) {
    return parent_.SendMessage(WM_COMMAND, MakeWParam(kControlId, code),
                               static_cast<LPARAM>(control_.m_hWnd));
  }
  LRESULT Notify() {
    NMHDR header{control_.m_hWnd, kControlId, kNotifyCode};
    return parent_.SendMessage(WM_NOTIFY, kControlId, reinterpret_cast<LPARAM>(&header));
  }
  LRESULT Draw() {
    DRAWITEMSTRUCT item;
    item.CtlType = ODT_BUTTON;
    item.CtlID = kControlId;
    item.itemID = 3;
    item.hwndItem = control_.m_hWnd;
    return parent_.SendMessage(WM_DRAWITEM, kControlId, reinterpret_cast<LPARAM>(&item));
  }
  LRESULT Colour() {
    return parent_.SendMessage(WM_CTLCOLOREDIT, 0, static_cast<LPARAM>(control_.m_hWnd));
  }

 protected:
  CNotifiedParent parent_;
  CReflectingControl control_;
};

TEST_F(ReflectionTest, TheControlIsAskedFirstAndTheParentOnlyWhenItDeclines) {
  const UniqueBrush controlBrush = CreateSolidBrush(RGB(1, 2, 3));
  const UniqueBrush parentBrush = CreateSolidBrush(RGB(4, 5, 6));
  parent_.brush = parentBrush.get();
  struct Case {
    const char* what;
    std::function<LRESULT(ReflectionTest&)> send;
    bool handleDraw;
    HBRUSH controlBrush;
    std::vector<std::string> seen;
    LRESULT answer;
  };
  const Case cases[] = {
      {"a code the control handles",
       [](ReflectionTest& t) { return t.Command(kChangeCode); },
       true,
       nullptr,
       {"control change"},
       0},
      {"a code it has no entry for",
       [](ReflectionTest& t) { return t.Command(kClickCode); },
       true,
       nullptr,
       {"parent click"},
       0},
      {"a notification it handles",
       [](ReflectionTest& t) { return t.Notify(); },
       true,
       nullptr,
       {"control notify"},
       5},
      {"an owner draw it handles",
       [](ReflectionTest& t) { return t.Draw(); },
       true,
       nullptr,
       {"control draws 3"},
       1},
      {"an owner draw it declines",
       [](ReflectionTest& t) { return t.Draw(); },
       false,
       nullptr,
       {"parent draws for 20"},
       1},
      {"a colour it gives",
       [](ReflectionTest& t) { return t.Colour(); },
       true,
       controlBrush.get(),
       {"control colour 1"},
       BrushAnswer(controlBrush.get())},
      {"a colour it leaves",
       [](ReflectionTest& t) { return t.Colour(); },
       true,
       nullptr,
       {"control colour 1", "parent colour 1"},
       BrushAnswer(parentBrush.get())},
  };
  for (const Case& c : cases) {
    Seen().clear();
    control_.handleDraw = c.handleDraw;
    control_.brush = c.controlBrush;
    EXPECT_EQ(c.send(*this), c.answer) << c.what;
    EXPECT_EQ(Seen(), c.seen) << c.what;
  }
}

TEST_F(ReflectionTest, AControlWithoutAnObjectLeavesEverythingToTheParent) {
  const HWND bare = CreateWindowEx(0, FrameworkWindowClass(), "", WS_CHILD, 0, 0, 10, 10,
                                   parent_.m_hWnd, kControlId, nullptr);
  parent_.SendMessage(WM_COMMAND, MakeWParam(kControlId, kChangeCode), static_cast<LPARAM>(bare));
  NMHDR header{bare, kControlId, kNotifyCode};
  EXPECT_EQ(parent_.SendMessage(WM_NOTIFY, kControlId, reinterpret_cast<LPARAM>(&header)), 9);
  EXPECT_THAT(Seen(), ElementsAre("parent change", "parent notify"));
}

// ---- Device contexts -----------------------------------------------------------------

class CPaintingWnd : public CWnd {
  DECLARE_MESSAGE_MAP()

 public:
  COLORREF colour = RGB(255, 255, 255);
  PAINTSTRUCT painted;
  RECT clipInPaint;
  bool updateLeftInPaint = true;

 private:
  void OnPaint() {
    CPaintDC dc(this);
    painted = dc.m_ps;
    dc.GetClipBox(&clipInPaint);
    RECT update;
    updateLeftInPaint = GetUpdateRect(m_hWnd, &update, false);
    dc.FillSolidRect(dc.m_ps.rcPaint, colour);
  }
};

BEGIN_MESSAGE_MAP(CPaintingWnd, CWnd)
OnMessage<WM_PAINT>(&CPaintingWnd::OnPaint), END_MESSAGE_MAP()

                                                 using DeviceContextTest = WindowTest;

TEST_F(DeviceContextTest, APaintDCPaintsTheUpdateRegionAndEndsThePaintWhenItGoes) {
  CPaintingWnd window;
  ASSERT_TRUE(window.CreateEx(0, nullptr, "", WS_VISIBLE, kRect, nullptr, 0));
  window.UpdateWindow();
  window.colour = RGB(255, 0, 0);
  const RECT dirty{10, 20, 30, 40};
  InvalidateRect(window.m_hWnd, &dirty, false);
  ScopedMisuseCounter misuse;
  window.UpdateWindow();
  EXPECT_EQ(window.painted.rcPaint, dirty);
  EXPECT_EQ(window.clipInPaint, dirty);
  EXPECT_FALSE(window.updateLeftInPaint) << "the paint validated what it paints";
  EXPECT_EQ(misuse.Total(), 0);
  // Its EndPaint has run: ending that paint again is a misuse.
  EXPECT_FALSE(EndPaint(window.m_hWnd, &window.painted));
  EXPECT_EQ(misuse.Count(Misuse::kOutsidePaint), 1);

  CClientDC client(&window);
  EXPECT_EQ(GetPixel(client, 15, 25), RGB(255, 0, 0));
  EXPECT_NE(GetPixel(client, 5, 5), RGB(255, 0, 0)) << "outside the region nothing was painted";
}

TEST_F(DeviceContextTest, AWrappedDCIsNotTakenOver) {
  CDC dc;
  EXPECT_FALSE(dc.Attach(nullptr));
  const UniqueDC image = CreateImageDC(10, 10);
  EXPECT_TRUE(dc.Attach(image.get()));
  EXPECT_FALSE(dc.Attach(image.get())) << "one DC at a time";
  EXPECT_EQ(dc.Detach(), image.get());
  EXPECT_EQ(dc.GetSafeHdc(), nullptr);
}

// ---- Fonts ---------------------------------------------------------------------------

class FontTest : public WindowTest {
 protected:
  FontTest() : scope_(synthetic_) {}
  SyntheticFontService synthetic_;
  ScopedFontService scope_;
};

TEST_F(FontTest, APointFontIsAsHighAsItsDCsResolutionSays) {
  struct Case {
    int32_t pointTenths;
    int32_t dpi;  // 0: the screen
    int32_t height;
  };
  for (const Case& c :
       {Case{120, 0, -16}, Case{120, 1440, -240}, Case{105, 600, -88}, Case{90, 96, -12}}) {
    const UniqueDC image = CreateImageDC(10, 10, c.dpi, c.dpi);
    CDC dc(image.get());
    CFont font;
    ASSERT_TRUE(
        font.CreatePointFont(c.pointTenths, kSyntheticFixedFace, c.dpi != 0 ? &dc : nullptr));
    LOGFONTA logFont;
    ASSERT_TRUE(font.GetLogFont(&logFont));
    EXPECT_EQ(logFont.lfHeight, c.height) << c.pointTenths << " at " << c.dpi;
    EXPECT_STREQ(logFont.lfFaceName, kSyntheticFixedFace);
  }
}

TEST_F(FontTest, AFontIsMadeOnceSelectedAndDeleted) {
  CFont font;
  LOGFONTA unknown;
  std::strcpy(unknown.lfFaceName, "No Such Face");
  EXPECT_FALSE(font.CreateFontIndirect(unknown));
  EXPECT_FALSE(font.GetLogFont(&unknown));
  LOGFONTA wanted;
  wanted.lfHeight = -20;
  std::strcpy(wanted.lfFaceName, kSyntheticProportionalFace);
  ASSERT_TRUE(font.CreateFontIndirect(wanted));
  EXPECT_FALSE(font.CreateFontIndirect(wanted)) << "one font per object";

  const UniqueDC image = CreateImageDC(10, 10);
  CDC dc(image.get());
  CFont other;
  ASSERT_TRUE(other.CreatePointFont(100, kSyntheticFixedFace));
  dc.SelectObject(&font);
  EXPECT_EQ(dc.SelectObject(&other), font.GetSafeHandle()) << "answers the font it replaces";
  EXPECT_TRUE(font.DeleteObject());
  EXPECT_FALSE(font.DeleteObject());
  EXPECT_EQ(font.GetSafeHandle(), nullptr);
}

TEST_F(FontTest, TheDCMeasuresAndDrawsTextInItsFont) {
  const UniqueDC image = CreateImageDC(60, 30);
  CDC dc(image.get());
  EXPECT_EQ(dc.GetTextExtent("A"), (SIZE{})) << "no font selected";
  CFont font;
  ASSERT_TRUE(font.CreatePointFont(90, kSyntheticFixedFace));
  dc.SelectObject(&font);
  // An em of 12 pixels: a double-byte character 12 wide, a byte 6.
  EXPECT_EQ(dc.GetTextExtent("\x82\xA0"
                             "A"),
            (SIZE{18, 12}));
  EXPECT_EQ(dc.GetTextExtent("\x82\xA0"
                             "A",
                             2),
            (SIZE{12, 12}));
  EXPECT_EQ(dc.SetTextCharacterExtra(2), 0);
  EXPECT_EQ(dc.GetTextExtent("\x82\xA0"
                             "A"),
            (SIZE{22, 12}));
  dc.SetTextCharacterExtra(0);
  dc.SetBkMode(TRANSPARENT);
  dc.SetTextColor(RGB(255, 0, 0));
  const RECT rect{0, 0, 60, 30};
  EXPECT_EQ(dc.DrawText("\x82\xA0\n\x82\xA0", -1, &rect, DT_CENTER), 24);
  EXPECT_EQ(GetPixel(image.get(), 30, 8), RGB(255, 0, 0));
  EXPECT_EQ(GetPixel(image.get(), 30, 20), RGB(255, 0, 0));
  EXPECT_EQ(GetPixel(image.get(), 10, 8), RGB(255, 255, 255));
}

// ---- Run-time classes ----------------------------------------------------------------

class CMadeWnd : public CWnd {
  DECLARE_DYNCREATE(CMadeWnd)
};

IMPLEMENT_DYNCREATE(CMadeWnd, CWnd)

class CDerivedMadeWnd : public CMadeWnd {
  DECLARE_DYNCREATE(CDerivedMadeWnd)
};

IMPLEMENT_DYNCREATE(CDerivedMadeWnd, CMadeWnd)

TEST(RuntimeClassTest, ACreatableClassIsMadeFromItsClassAloneAndKnowsItsBases) {
  const CRuntimeClass* made = RUNTIME_CLASS(CDerivedMadeWnd);
  EXPECT_STREQ(made->m_lpszClassName, "CDerivedMadeWnd");
  EXPECT_TRUE(made->IsDerivedFrom(RUNTIME_CLASS(CMadeWnd)));
  EXPECT_TRUE(made->IsDerivedFrom(RUNTIME_CLASS(CWnd)));
  EXPECT_TRUE(made->IsDerivedFrom(RUNTIME_CLASS(CObject)));
  EXPECT_FALSE(RUNTIME_CLASS(CMadeWnd)->IsDerivedFrom(made));

  const std::unique_ptr<CObject> object(made->CreateObject());
  ASSERT_NE(object, nullptr);
  EXPECT_EQ(object->GetRuntimeClass(), made);
  EXPECT_TRUE(object->IsKindOf(RUNTIME_CLASS(CCmdTarget)));
  EXPECT_NE(dynamic_cast<CDerivedMadeWnd*>(object.get()), nullptr);
  EXPECT_FALSE(object->IsKindOf(RUNTIME_CLASS(CScrollBar)));
}

TEST(RuntimeClassTest, AClassNotDeclaredCreatableMakesNothing) {
  EXPECT_EQ(RUNTIME_CLASS(CScrollBar)->CreateObject(), nullptr);
  EXPECT_EQ(RUNTIME_CLASS(CCmdTarget)->CreateObject(), nullptr);
}

}  // namespace
}  // namespace framework
