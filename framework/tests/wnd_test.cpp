#include "framework/wnd.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "framework/cmd_ui.h"
#include "framework_test_support.h"

namespace framework {
namespace {

using ::testing::ElementsAre;
using namespace platform;

constexpr char kPlainClass[] = "PlainWindow";
// Answers what the subclass tests expect of the procedure it replaces.
constexpr UINT kAskOriginal = WM_USER;
constexpr LRESULT kOriginalAnswer = 42;
constexpr UINT kHandledByObject = WM_USER + 1;
constexpr UINT kOverriddenDefault = WM_USER + 2;
constexpr LRESULT kOverriddenAnswer = 7;

LRESULT OriginalProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == kAskOriginal || message == kHandledByObject) {
    Seen().push_back("original " + std::to_string(message - WM_USER));
    return kOriginalAnswer;
  }
  return platform::DefWindowProc(window, message, wParam, lParam);
}

HWND PlainWindow(HWND parent = kNoWindow) {
  WNDCLASS windowClass;
  if (!GetClassInfo(kPlainClass, &windowClass)) {
    windowClass.lpfnWndProc = OriginalProc;
    windowClass.lpszClassName = kPlainClass;
    RegisterClass(windowClass);
  }
  return CreateWindowEx(0, kPlainClass, "", parent != kNoWindow ? WS_CHILD : 0, 0, 0, 50, 50,
                        parent, 0, nullptr);
}

using AttachTest = WindowTest;

TEST_F(AttachTest, AWindowWithAnObjectIsNeverTakenOver) {
  const HWND window = PlainWindow();
  const HWND other = PlainWindow();
  CWnd first;
  CWnd second;
  ASSERT_TRUE(first.Attach(window));
  EXPECT_EQ(CWnd::FromHandlePermanent(window), &first);
  EXPECT_FALSE(second.Attach(window));
  EXPECT_FALSE(first.Attach(other)) << "one window per object";
  EXPECT_FALSE(second.Attach(kNoWindow));
  EXPECT_EQ(first.Detach(), window);
  EXPECT_EQ(CWnd::FromHandlePermanent(window), nullptr);
  EXPECT_TRUE(second.Attach(window));
  EXPECT_EQ(CWnd::FromHandle(window), &second);
  second.Detach();
}

TEST_F(AttachTest, AWindowWithoutAnObjectGetsATemporaryOne) {
  const HWND window = PlainWindow();
  CWnd* temporary = CWnd::FromHandle(window);
  ASSERT_NE(temporary, nullptr);
  EXPECT_EQ(temporary->m_hWnd, window);
  EXPECT_EQ(CWnd::FromHandle(window), temporary) << "the same until the map is emptied";
  EXPECT_EQ(CWnd::FromHandlePermanent(window), nullptr);
  EXPECT_EQ(CWnd::FromHandle(kNoWindow), nullptr);
  CWnd::DeleteTempMap();
  EXPECT_TRUE(IsWindow(window)) << "a temporary object never owned its window";
  CWnd permanent;
  EXPECT_TRUE(permanent.Attach(window)) << "a temporary object does not count as one";
  permanent.Detach();
}

TEST_F(AttachTest, DestroyingTheObjectDestroysItsWindow) {
  HWND window = kNoWindow;
  {
    CWnd object;
    ASSERT_TRUE(object.CreateEx(0, nullptr, "", 0, kRect, nullptr, 0));
    window = object.m_hWnd;
    EXPECT_TRUE(IsWindow(window));
  }
  EXPECT_FALSE(IsWindow(window));
  EXPECT_EQ(CWnd::FromHandlePermanent(window), nullptr);
}

// Changes what it is created as, and records what its map saw during
// creation and whether it was attached by then.
class CStyledWnd : public CWnd {
  DECLARE_MESSAGE_MAP()

 public:
  static constexpr char kName[] = "restyled";

  bool PreCreateWindow(CREATESTRUCT& cs) override {
    cs.style |= WS_BORDER;
    cs.lpszName = kName;
    return CWnd::PreCreateWindow(cs);
  }

 private:
  bool OnNcCreate(const CREATESTRUCT* cs) {
    Note("nccreate", cs);
    return true;
  }
  int OnCreate(const CREATESTRUCT* cs) {
    Note("create", cs);
    return 0;
  }
  void Note(const std::string& what, const CREATESTRUCT* cs) {
    const bool attached = m_hWnd != kNoWindow && FromHandlePermanent(m_hWnd) == this;
    Seen().push_back(what + (attached ? " attached " : " detached ") + cs->lpszName);
  }
};

BEGIN_MESSAGE_MAP(CStyledWnd, CWnd)
OnMessage<WM_NCCREATE>(&CStyledWnd::OnNcCreate), OnMessage<WM_CREATE>(&CStyledWnd::OnCreate),
    END_MESSAGE_MAP()

        using CreationTest = WindowTest;

TEST_F(CreationTest, PreCreateWindowChangesTheStyleAndTheObjectSeesCreation) {
  CStyledWnd window;
  ASSERT_TRUE(window.CreateEx(0, nullptr, "asked", WS_VISIBLE, kRect, nullptr, 0));
  EXPECT_EQ(window.GetStyle() & WS_BORDER, WS_BORDER);
  EXPECT_EQ(window.GetStyle() & WS_VISIBLE, WS_VISIBLE);
  EXPECT_THAT(Seen(), ElementsAre("nccreate attached restyled", "create attached restyled"));
  EXPECT_EQ(window.GetWindowText(), CStyledWnd::kName) << "a listed WM_NCCREATE keeps the text";
}

TEST_F(CreationTest, AnUnknownClassFailsWithoutAWindow) {
  CWnd window;
  EXPECT_FALSE(window.CreateEx(0, "NoSuchClass", "", 0, kRect, nullptr, 0));
  EXPECT_EQ(window.m_hWnd, kNoWindow);
}

// ---- Message maps ------------------------------------------------------------

constexpr UINT kBaseCommand = 100;
constexpr UINT kDerivedCommand = 101;
constexpr UINT kUnhandledCommand = 102;
// Messages of the program's own: the base answers the first, the derived
// class takes the second over.
constexpr UINT kProgramMessage = WM_USER + 10;
constexpr UINT kReplacedMessage = WM_USER + 11;

class CBaseWnd : public CWnd {
  DECLARE_MESSAGE_MAP()

 protected:
  void OnSize(UINT type, int cx, int cy) {
    Seen().push_back("base size " + std::to_string(type) + " " + std::to_string(cx) + "x" +
                     std::to_string(cy));
  }
  void OnLButtonDown(UINT, POINT) { Seen().push_back("base lbutton"); }
  void OnBaseCommand() { Seen().push_back("base command"); }
  LRESULT OnProgram(WPARAM wParam, LPARAM lParam) {
    Seen().push_back("base program " + std::to_string(wParam) + " " + std::to_string(lParam));
    return static_cast<LRESULT>(wParam) + lParam;
  }
  void OnContextMenu(CWnd* window, POINT point) {
    Seen().push_back("base context " + std::string(window == this ? "self" : "other") + " (" +
                     std::to_string(point.x) + "," + std::to_string(point.y) + ")");
  }
};

BEGIN_MESSAGE_MAP(CBaseWnd, CWnd)
OnMessage<WM_SIZE>(&CBaseWnd::OnSize), OnMessage<WM_LBUTTONDOWN>(&CBaseWnd::OnLButtonDown),
    OnProgramMessage(kProgramMessage, &CBaseWnd::OnProgram),
    OnProgramMessage(kReplacedMessage, &CBaseWnd::OnProgram),
    OnMessage<WM_CONTEXTMENU>(&CBaseWnd::OnContextMenu),
    OnCommandId(kBaseCommand, &CBaseWnd::OnBaseCommand),
    OnCommandId(kDerivedCommand, &CBaseWnd::OnBaseCommand),
    END_MESSAGE_MAP()

        class CDerivedWnd : public CBaseWnd {
  DECLARE_MESSAGE_MAP()

 public:
  bool derivedEnabled = true;

 private:
  void OnLButtonDown(UINT flags, POINT point) {
    Seen().push_back("derived lbutton " + std::to_string(flags) + " (" + std::to_string(point.x) +
                     "," + std::to_string(point.y) + ")");
  }
  void OnDerivedCommand() { Seen().push_back("derived command"); }
  void OnUpdateDerived(CCmdUI* cmdUI) { cmdUI->Enable(derivedEnabled); }
  LRESULT OnReplaced(WPARAM, LPARAM) {
    Seen().push_back("derived program");
    return -1;
  }
};

BEGIN_MESSAGE_MAP(CDerivedWnd, CBaseWnd)
OnMessage<WM_LBUTTONDOWN>(&CDerivedWnd::OnLButtonDown),
    OnProgramMessage(kReplacedMessage, &CDerivedWnd::OnReplaced),
    OnCommandId(kDerivedCommand, &CDerivedWnd::OnDerivedCommand),
    OnUpdateUI(kDerivedCommand, &CDerivedWnd::OnUpdateDerived),
    END_MESSAGE_MAP()

        class MessageMapTest : public WindowTest {
 protected:
  MessageMapTest() { EXPECT_TRUE(window_.CreateEx(0, nullptr, "", 0, kRect, nullptr, 0)); }
  CDerivedWnd window_;
};

TEST_F(MessageMapTest, TheDerivedTableComesFirstAndTheBaseAnswersTheRest) {
  Seen().clear();
  window_.SendMessage(WM_SIZE, SIZE_RESTORED, MakeLParam(640, 480));
  window_.SendMessage(WM_LBUTTONDOWN, MK_SHIFT, MakeLParam(12, 34));
  window_.SendMessage(WM_COMMAND, MakeWParam(kBaseCommand, CN_COMMAND), 0);
  window_.SendMessage(WM_COMMAND, MakeWParam(kDerivedCommand, CN_COMMAND), 0);
  EXPECT_THAT(Seen(), ElementsAre("base size 0 640x480", "derived lbutton 4 (12,34)",
                                  "base command", "derived command"));
  // What no table lists goes to the default procedure.
  window_.SetWindowText("kept");
  EXPECT_EQ(window_.GetWindowText(), "kept");
}

TEST_F(MessageMapTest, ProgramMessagesAnswerAsTheirHandlerSaysAndADerivedEntryReplacesTheBase) {
  Seen().clear();
  EXPECT_EQ(window_.SendMessage(kProgramMessage, 40, 2), 42);
  EXPECT_EQ(window_.SendMessage(kReplacedMessage, 40, 2), -1);
  EXPECT_THAT(Seen(), ElementsAre("base program 40 2", "derived program"));
}

TEST_F(MessageMapTest, TheContextMenuHasItsWindowAndTheKeyboardsMinusOne) {
  Seen().clear();
  window_.SendMessage(WM_CONTEXTMENU, window_.m_hWnd, MakeLParam(120, -3));
  window_.SendMessage(WM_CONTEXTMENU, window_.m_hWnd, MakeLParam(-1, -1));
  EXPECT_THAT(Seen(), ElementsAre("base context self (120,-3)", "base context self (-1,-1)"));
}

TEST_F(MessageMapTest, MousePointsKeepTheirSign) {
  struct Case {
    int32_t x, y;
    const char* seen;
  };
  for (const Case& c :
       {Case{0, 0, "derived lbutton 1 (0,0)"}, Case{-5, 300, "derived lbutton 1 (-5,300)"},
        Case{32767, -32768, "derived lbutton 1 (32767,-32768)"}}) {
    Seen().clear();
    window_.SendMessage(WM_LBUTTONDOWN, MK_LBUTTON, MakeLParam(c.x, c.y));
    EXPECT_THAT(Seen(), ElementsAre(c.seen));
  }
}

TEST_F(MessageMapTest, OnCmdMsgTellsAboutAHandlerWithoutRunningIt) {
  Seen().clear();
  CmdHandlerInfo info;
  EXPECT_TRUE(window_.OnCmdMsg(kDerivedCommand, CN_COMMAND, nullptr, &info));
  EXPECT_EQ(info.target, &window_);
  EXPECT_TRUE(Seen().empty());
  EXPECT_FALSE(window_.OnCmdMsg(kUnhandledCommand, CN_COMMAND, nullptr, &info));
  EXPECT_TRUE(window_.OnCmdMsg(kBaseCommand, CN_COMMAND, nullptr, nullptr));
  EXPECT_THAT(Seen(), ElementsAre("base command"));
}

TEST_F(MessageMapTest, UpdateHandlersAndTheNoHandlerRule) {
  struct Case {
    UINT id;
    bool derivedEnabled;
    bool disableIfNoHandler;
    bool updated;
    bool enabled;
  };
  for (const Case& c : {
           Case{kDerivedCommand, true, true, true, true},
           Case{kDerivedCommand, false, true, true, false},
           Case{kBaseCommand, true, true, false, true},        // a handler, no update handler
           Case{kUnhandledCommand, true, true, false, false},  // no handler at all
           Case{kUnhandledCommand, true, false, false, true},
       }) {
    window_.derivedEnabled = c.derivedEnabled;
    CCmdUI cmdUI(c.id);
    EXPECT_EQ(cmdUI.DoUpdate(&window_, c.disableIfNoHandler), c.updated) << c.id;
    EXPECT_EQ(cmdUI.m_bEnabled, c.enabled) << c.id;
  }
}

// ---- Subclassing ---------------------------------------------------------------

class CSubclassWnd : public CWnd {
  DECLARE_MESSAGE_MAP()

 public:
  LRESULT DefWindowProc(UINT message, WPARAM wParam, LPARAM lParam) override {
    if (message == kOverriddenDefault) return kOverriddenAnswer;
    return CWnd::DefWindowProc(message, wParam, lParam);
  }

 private:
  void OnHandled(UINT, UINT, UINT) { Seen().push_back("object"); }
};

// A key message's decoder stands in for any handler of a user message.
BEGIN_MESSAGE_MAP(CSubclassWnd, CWnd)
OnMessage<WM_KEYDOWN>(&CSubclassWnd::OnHandled),
    END_MESSAGE_MAP()

        LRESULT InFrontProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  return platform::DefWindowProc(window, message, wParam, lParam);
}

using SubclassTest = WindowTest;

TEST_F(SubclassTest, TheObjectGoesInFrontAndPassesOnToTheOldProcedure) {
  const HWND window = PlainWindow();
  CSubclassWnd object;
  ASSERT_TRUE(object.SubclassWindow(window));
  EXPECT_EQ(CWnd::FromHandlePermanent(window), &object);
  EXPECT_EQ(SendMessage(window, kAskOriginal, 0, 0), kOriginalAnswer);
  SendMessage(window, WM_KEYDOWN, VK_SPACE, 0);
  EXPECT_EQ(SendMessage(window, kOverriddenDefault, 0, 0), kOverriddenAnswer);
  EXPECT_THAT(Seen(), ElementsAre("original 0", "object"));

  CSubclassWnd second;
  EXPECT_FALSE(second.SubclassWindow(window)) << "already has an object";

  EXPECT_EQ(object.UnsubclassWindow(), window);
  EXPECT_EQ(reinterpret_cast<WNDPROC>(GetWindowLongPtr(window, GWLP_WNDPROC)), &OriginalProc);
  EXPECT_EQ(CWnd::FromHandlePermanent(window), nullptr);
  Seen().clear();
  SendMessage(window, kHandledByObject, 0, 0);
  EXPECT_THAT(Seen(), ElementsAre("original 1"));
  EXPECT_TRUE(IsWindow(window));
}

TEST_F(SubclassTest, UnsubclassingRefusesToDropAProcedurePutInFrontSince) {
  const HWND window = PlainWindow();
  CSubclassWnd object;
  ASSERT_TRUE(object.SubclassWindow(window));
  const LONG_PTR ours =
      SetWindowLongPtr(window, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&InFrontProc));
  EXPECT_EQ(object.UnsubclassWindow(), kNoWindow);
  EXPECT_EQ(CWnd::FromHandlePermanent(window), &object);
  SetWindowLongPtr(window, GWLP_WNDPROC, ours);
  EXPECT_EQ(object.UnsubclassWindow(), window);
}

// ---- Destruction -------------------------------------------------------------------

int selfDeleted = 0;

class CSelfDeletingWnd : public CWnd {
  DECLARE_MESSAGE_MAP()

 protected:
  void PostNcDestroy() override {
    Seen().push_back(m_hWnd == kNoWindow ? "post detached" : "post attached");
    ++selfDeleted;
    delete this;
  }

 private:
  void OnNcDestroy() { Seen().push_back("ncdestroy"); }
};

BEGIN_MESSAGE_MAP(CSelfDeletingWnd, CWnd)
OnMessage<WM_NCDESTROY>(&CSelfDeletingWnd::OnNcDestroy), END_MESSAGE_MAP()

                                                             using DestructionTest = WindowTest;

TEST_F(DestructionTest, PostNcDestroyComesDetachedAndMayDeleteTheObject) {
  selfDeleted = 0;
  auto* object = new CSelfDeletingWnd;
  ASSERT_TRUE(object->CreateEx(0, nullptr, "", 0, kRect, nullptr, 0));
  const HWND window = object->m_hWnd;
  EXPECT_TRUE(DestroyWindow(window));
  EXPECT_EQ(selfDeleted, 1);
  EXPECT_THAT(Seen(), ElementsAre("ncdestroy", "post detached"));
  EXPECT_EQ(CWnd::FromHandlePermanent(window), nullptr);
}

TEST_F(DestructionTest, AChildsObjectGoesWithItsParent) {
  selfDeleted = 0;
  CWnd parent;
  ASSERT_TRUE(parent.CreateEx(0, nullptr, "", 0, kRect, nullptr, 0));
  auto* child = new CSelfDeletingWnd;
  ASSERT_TRUE(child->Create(nullptr, "", 0, kRect, &parent, 1));
  EXPECT_TRUE(parent.DestroyWindow());
  EXPECT_EQ(selfDeleted, 1);
  EXPECT_EQ(parent.m_hWnd, kNoWindow);
}

}  // namespace
}  // namespace framework
