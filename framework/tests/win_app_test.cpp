#include "framework/win_app.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "framework/frame_wnd.h"
#include "framework/main_window.h"
#include "framework/message_box.h"
#include "framework/resource_strings.h"
#include "framework/wnd.h"
#include "framework_test_support.h"
#include "platform/batch_run.h"
#include "platform/clock.h"
#include "platform/control_notify.h"
#include "platform/input.h"
#include "platform/message_driver.h"
#include "platform/paint.h"
#include "platform/registry.h"

namespace framework {
namespace {

using ::testing::ElementsAre;
using ::testing::IsEmpty;
using namespace platform;

constexpr UINT kPing = WM_USER + 10;
constexpr UINT_PTR kTimerId = 4;
constexpr UINT kTimerMs = 50;

// A window that records its messages and PreTranslateMessage calls.
class CLoopWnd : public CWnd {
  DECLARE_MESSAGE_MAP()

 public:
  explicit CLoopWnd(std::string name) : name_(std::move(name)) {}

  bool PreTranslateMessage(MSG* msg) override {
    if (msg->message != WM_KEYDOWN) return false;
    Seen().push_back(name_ + " pre " + std::to_string(msg->wParam));
    if (msg->wParam == rewriteFrom) msg->wParam = rewriteTo;
    return false;
  }
  LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override {
    if (message == kPing) Seen().push_back(name_ + " ping " + std::to_string(wParam));
    return CWnd::WindowProc(message, wParam, lParam);
  }

  WPARAM rewriteFrom = 0;
  WPARAM rewriteTo = 0;

 private:
  void OnKeyDown(UINT key, UINT, UINT) { Seen().push_back(name_ + " key " + std::to_string(key)); }
  void OnPaint() {
    PAINTSTRUCT paint;
    BeginPaint(m_hWnd, &paint);
    EndPaint(m_hWnd, &paint);
    Seen().push_back(name_ + " paint");
  }
  void OnTimer(UINT_PTR id) {
    KillTimer(m_hWnd, id);
    Seen().push_back(name_ + " timer");
  }

  std::string name_;
};

BEGIN_MESSAGE_MAP(CLoopWnd, CWnd)
OnMessage<WM_KEYDOWN>(&CLoopWnd::OnKeyDown), OnMessage<WM_PAINT>(&CLoopWnd::OnPaint),
    OnMessage<WM_TIMER>(&CLoopWnd::OnTimer),
    END_MESSAGE_MAP()

    // An application whose idle calls and message offers are recorded,
    // and which does what a test asks on a given idle turn.
    class CLoopApp : public CWinApp {
 public:
  CLoopApp() : CWinApp("Lexora3") {}

  bool PreTranslateMessage(MSG* msg) override {
    if (msg->message == WM_KEYDOWN) Seen().push_back("app pre " + std::to_string(msg->wParam));
    return CWinApp::PreTranslateMessage(msg);
  }
  bool OnIdle(long count) override {
    Seen().push_back("idle " + std::to_string(count));
    CWinApp::OnIdle(count);
    if (onIdle) return onIdle(count);
    return count < 2;
  }
  int ExitInstance() override {
    Seen().push_back("exit");
    return CWinApp::ExitInstance() + exitOffset;
  }

  std::function<bool(long)> onIdle;
  int exitOffset = 0;
};

class RunTest : public WindowTest {
 protected:
  RunTest() : clockScope_(clock_) {
    EXPECT_TRUE(main_.CreateEx(0, nullptr, "", WS_VISIBLE, kRect, nullptr, 0));
    EXPECT_TRUE(child_.Create(nullptr, "", WS_VISIBLE, kRect, &main_, 1));
    main_.UpdateWindow();
    child_.UpdateWindow();
    app_.m_pMainWnd = &main_;
    Seen().clear();
  }

  FakeClock clock_;
  ScopedClock clockScope_;
  CLoopApp app_;
  CLoopWnd main_{"main"};
  CLoopWnd child_{"child"};
};

TEST_F(RunTest, MessagesGoThroughTheApplicationAndTheWindowChainAndTheQuitEndsTheLoop) {
  child_.rewriteFrom = 'A';
  child_.rewriteTo = 'B';
  PostMessage(child_.m_hWnd, WM_KEYDOWN, 'A', 0);
  PostQuitMessage(3);
  app_.exitOffset = 10;
  EXPECT_EQ(app_.Run(), 13) << "ExitInstance's code, from the WM_QUIT's";
  EXPECT_THAT(Seen(),
              ElementsAre("app pre 65", "child pre 65", "main pre 66", "child key 66", "exit"));
}

TEST_F(RunTest, IdleCallsCountWhileTheQueueIsEmptyAndStartAgainAfterAMessage) {
  PostMessage(main_.m_hWnd, kPing, 1, 0);
  PostMessage(main_.m_hWnd, kPing, 2, 0);
  int rounds = 0;
  app_.onIdle = [&](long count) {
    if (count < 2) return true;
    if (++rounds == 1)
      PostMessage(child_.m_hWnd, kPing, 3, 0);
    else
      PostQuitMessage(0);
    return false;
  };
  EXPECT_EQ(app_.Run(), 0);
  EXPECT_THAT(Seen(), ElementsAre("main ping 1", "main ping 2", "idle 0", "idle 1", "idle 2",
                                  "child ping 3", "idle 0", "idle 1", "idle 2", "exit"));
}

TEST_F(RunTest, APaintDoesNotStartTheIdleCallsAgainButAWindowTimerDoes) {
  int rounds = 0;
  app_.onIdle = [&](long count) {
    if (count < 1) return true;
    if (++rounds == 1) {
      InvalidateRect(child_.m_hWnd, nullptr, false);
      SetTimer(child_.m_hWnd, kTimerId, kTimerMs, nullptr);
    } else {
      PostQuitMessage(0);
    }
    return false;
  };
  app_.Run();
  EXPECT_THAT(Seen(), ElementsAre("idle 0", "idle 1", "child paint", "child timer", "idle 0",
                                  "idle 1", "exit"));
}

TEST_F(RunTest, TheLoopEndsWhenTheMainWindowGoes) {
  PostMessage(main_.m_hWnd, kPing, 1, 0);
  app_.onIdle = [&](long) {
    main_.DestroyWindow();
    return false;
  };
  EXPECT_EQ(app_.Run(), 0);
  EXPECT_EQ(app_.m_pMainWnd, nullptr);
  EXPECT_THAT(Seen(), ElementsAre("main ping 1", "idle 0", "exit"));
}

TEST_F(RunTest, AnotherWindowGoingLeavesTheMainWindowAndTheLoop) {
  child_.DestroyWindow();
  EXPECT_EQ(app_.m_pMainWnd, &main_);
  MSG msg;
  EXPECT_FALSE(PeekMessage(&msg, kNoWindow, WM_QUIT, WM_QUIT, PM_NOREMOVE));
}

TEST_F(RunTest, TheMainWindowIsTheApplicationsOne) {
  EXPECT_EQ(AfxGetMainWnd(), &main_);
  AfxSetMainWnd(&child_);
  EXPECT_EQ(app_.m_pMainWnd, &child_);
  AfxSetMainWnd(&main_);
}

using MainWindowTest = WindowTest;

TEST_F(MainWindowTest, WithoutAnApplicationItIsKeptApart) {
  CLoopWnd window{"alone"};
  ASSERT_TRUE(window.CreateEx(0, nullptr, "", 0, kRect, nullptr, 0));
  AfxSetMainWnd(&window);
  EXPECT_EQ(AfxGetMainWnd(), &window);
  window.DestroyWindow();
  EXPECT_EQ(AfxGetMainWnd(), nullptr);
  MSG msg;
  EXPECT_FALSE(PeekMessage(&msg, kNoWindow, WM_QUIT, WM_QUIT, PM_REMOVE))
      << "no application loop to end";
}

TEST_F(MainWindowTest, AMainFrameGoingPostsOneQuit) {
  CWinApp app;
  auto* frame = new CFrameWnd;
  ASSERT_TRUE(frame->LoadFrame({}, 0, nullptr));
  AfxSetMainWnd(frame);
  frame->DestroyWindow();
  EXPECT_EQ(AfxGetMainWnd(), nullptr);
  EXPECT_EQ(app.m_pMainWnd, nullptr);
  MSG msg;
  EXPECT_TRUE(PeekMessage(&msg, kNoWindow, WM_QUIT, WM_QUIT, PM_REMOVE));
  EXPECT_FALSE(PeekMessage(&msg, kNoWindow, WM_QUIT, WM_QUIT, PM_REMOVE)) << "only one";
}

// ---- AfxMessageBox -------------------------------------------------------------------

class AfxMessageBoxTest : public WindowTest {
 protected:
  AfxMessageBoxTest() : clockScope_(clock_) {
    ResetStrings();
    ResetInput();
  }
  ~AfxMessageBoxTest() override {
    ResetStrings();
    ResetInput();
  }

  FakeClock clock_;
  ScopedClock clockScope_;
  MessageDriver driver_{clock_, 100};
  CWinApp app_{"Lexora3"};
};

TEST_F(AfxMessageBoxTest, TheBoxIsCaptionedWithTheApplicationAndAnsweredByTheScript) {
  driver_.AnswerDialog("Lexora3", [](HWND box) {
    PostMessage(box, WM_COMMAND, MakeWParam(static_cast<UINT>(IDNO), 0), 0);
  });
  EXPECT_EQ(AfxMessageBox("?", MB_YESNOCANCEL), IDNO);
  EXPECT_EQ(driver_.mismatch(), "");
}

TEST_F(AfxMessageBoxTest, TheTextComesFromTheStringTable) {
  constexpr UINT kQuestionId = 300;
  const StringResource strings[] = {{kQuestionId, "保存しますか"}};
  ASSERT_TRUE(RegisterStrings(strings));
  std::string shown;
  driver_.AnswerDialog("Lexora3", [&shown](HWND box) {
    shown = "answered";
    PostMessage(box, WM_COMMAND, MakeWParam(static_cast<UINT>(IDCANCEL), 0), 0);
  });
  EXPECT_EQ(AfxMessageBox(kQuestionId, MB_YESNOCANCEL), IDCANCEL);
  EXPECT_EQ(shown, "answered");
}

TEST_F(AfxMessageBoxTest, ABatchRunAnswersTheDefaultButton) {
  ScopedBatchRun batch;
  EXPECT_EQ(AfxMessageBox("?", MB_YESNOCANCEL | MB_DEFBUTTON2), IDNO);
  EXPECT_EQ(AfxMessageBox("!"), IDOK);
}

TEST_F(RunTest, TheDefaultIdleLetsTheTemporaryObjectsGo) {
  const HWND bare =
      CreateWindowEx(0, FrameworkWindowClass(), "", 0, 0, 0, 1, 1, kNoWindow, 0, nullptr);
  CWnd* temporary = CWnd::FromHandle(bare);
  ASSERT_NE(temporary, nullptr);
  CWinApp plain;
  EXPECT_TRUE(plain.OnIdle(0)) << "one more turn";
  EXPECT_EQ(temporary->m_hWnd, bare) << "still there on the first turn";
  EXPECT_FALSE(plain.OnIdle(1));
  EXPECT_EQ(CWnd::FromHandlePermanent(bare), nullptr);
}

// ---- AfxGetApp and AfxWinMain ---------------------------------------------------------

class CStartingApp : public CWinApp {
 public:
  bool InitInstance() override {
    Seen().push_back("init " + m_lpCmdLine.Bytes() + " " + std::to_string(m_nCmdShow));
    if (makeMainWindow) {
      auto* frame = new CSelfDeletingFrame;
      frame->CreateEx(0, nullptr, "", 0, RECT{0, 0, 10, 10}, nullptr, 0);
      m_pMainWnd = frame;
    }
    if (succeed) PostQuitMessage(5);
    return succeed;
  }
  int Run() override {
    Seen().push_back("run");
    return CWinApp::Run();
  }
  int ExitInstance() override {
    Seen().push_back("exit");
    return CWinApp::ExitInstance();
  }

  bool succeed = true;
  bool makeMainWindow = false;

 private:
  class CSelfDeletingFrame : public CWnd {
   protected:
    void PostNcDestroy() override {
      Seen().push_back("main window gone");
      delete this;
    }
  };
};

using WinMainTest = WindowTest;

TEST_F(WinMainTest, TheNewestApplicationObjectIsTheApplicationUntilItGoes) {
  EXPECT_EQ(AfxGetApp(), nullptr);
  {
    CWinApp app("Lexora3");
    EXPECT_EQ(AfxGetApp(), &app);
    EXPECT_EQ(app.m_nCmdShow, SW_SHOWNORMAL);
    EXPECT_EQ(app.m_pMainWnd, nullptr);
    EXPECT_TRUE(app.IsKindOf(RUNTIME_CLASS(CCmdTarget)));
  }
  EXPECT_EQ(AfxGetApp(), nullptr);
  EXPECT_EQ(AfxWinMain("", SW_SHOW), -1) << "no application to run";
}

TEST_F(WinMainTest, ASucceedingStartRunsTheLoop) {
  CStartingApp app;
  EXPECT_EQ(AfxWinMain("a.lxc", SW_SHOW), 5);
  EXPECT_THAT(Seen(), ElementsAre("init a.lxc 5", "run", "exit"));
}

TEST_F(WinMainTest, AFailedStartEndsAtOnceAndTheMainWindowGoes) {
  CStartingApp app;
  app.succeed = false;
  app.makeMainWindow = true;
  EXPECT_EQ(AfxWinMain("/p a.lxc", SW_SHOWNORMAL), 0);
  EXPECT_THAT(Seen(), ElementsAre("init /p a.lxc 1", "main window gone", "exit"));
  EXPECT_EQ(app.m_pMainWnd, nullptr);
}

// ---- The shell command ---------------------------------------------------------------

// The document classes come from elsewhere; the hooks only hand the
// pointer on, never use it.
int openedToken = 0;
CDocument* const kOpened = reinterpret_cast<CDocument*>(&openedToken);

class CShellApp : public CWinApp {
 public:
  bool OnFileNew() override {
    calls.push_back("new");
    return newWorks;
  }
  CDocument* OpenDocumentFile(const char* path) override {
    calls.push_back(std::string("open ") + path);
    return openWorks ? kOpened : nullptr;
  }
  bool PrintShellDocument(CDocument* document, const CCommandLineInfo& info) override {
    EXPECT_EQ(document, kOpened);
    std::string call = "print " + info.m_strFileName.Bytes();
    if (info.m_nShellCommand == CCommandLineInfo::FilePrintTo)
      call += " on " + info.m_strPrinterName.Bytes() + " " + info.m_strDriverName.Bytes() + " " +
              info.m_strPortName.Bytes();
    calls.push_back(call);
    return true;
  }

  bool newWorks = true;
  bool openWorks = true;
  std::vector<std::string> calls;
};

TEST(ShellCommandTest, EachCommandCallsItsHooksAndAPrintEndsTheProgramHidden) {
  struct Case {
    const char* line;
    bool hooksWork;
    bool goesOn;
    std::vector<std::string> calls;
    int cmdShow;
  };
  const Case cases[] = {
      {"", true, true, {"new"}, SW_SHOWNORMAL},
      {"", false, false, {"new"}, SW_SHOWNORMAL},
      {"a.lxc", true, true, {"open a.lxc"}, SW_SHOWNORMAL},
      {"a.lxc", false, false, {"open a.lxc"}, SW_SHOWNORMAL},
      {"/p a.lxc", true, false, {"open a.lxc", "print a.lxc"}, SW_HIDE},
      {"/pt \"a b.lxc\" P D O", true, false, {"open a b.lxc", "print a b.lxc on P D O"}, SW_HIDE},
      {"/p a.lxc", false, false, {"open a.lxc"}, SW_HIDE},
      {"/p", true, false, {}, SW_HIDE},
      {"/pt a.lxc", true, false, {}, SW_HIDE},
  };
  for (const Case& c : cases) {
    CShellApp app;
    app.newWorks = app.openWorks = c.hooksWork;
    app.m_lpCmdLine = c.line;
    CCommandLineInfo info;
    app.ParseCommandLine(info);
    EXPECT_EQ(app.ProcessShellCommand(info), c.goesOn) << c.line;
    EXPECT_EQ(app.calls, c.calls) << c.line;
    EXPECT_EQ(app.m_nCmdShow, c.cmdShow) << c.line;
  }
}

TEST(ShellCommandTest, TheDefaultHooksReportFailure) {
  CWinApp app;
  for (const char* line : {"", "a.lxc", "/p a.lxc", "/pt a.lxc P D O"}) {
    CCommandLineInfo info;
    ParseCommandLine(line, info);
    EXPECT_FALSE(app.ProcessShellCommand(info)) << line;
  }
  EXPECT_EQ(app.OpenDocumentFile("a.lxc"), nullptr);
}

// ---- The profile ------------------------------------------------------------------------

class ProfileTest : public ::testing::Test {
 protected:
  ProfileTest() : scope_(registry_) {}
  MemoryRegistry registry_;
  ScopedRegistry scope_;
  CWinApp app_{"Lexora3"};
};

TEST_F(ProfileTest, WithoutARegistryKeyThereIsNoProfile) {
  EXPECT_FALSE(app_.WriteProfileString("Directories", "Manual", "C:\\"));
  EXPECT_FALSE(app_.WriteProfileInt("Settings", "n", 1));
  EXPECT_EQ(app_.GetProfileString("Directories", "Manual", "none"), "none");
  EXPECT_EQ(app_.GetProfileInt("Settings", "n", 7), 7u);
  EXPECT_THAT(registry_.EnumKeys(RegistryHive::kCurrentUser, ""), IsEmpty());
}

TEST_F(ProfileTest, TheProfileLivesUnderTheKeyAndTheApplicationName) {
  app_.SetRegistryKey("ZNT");
  EXPECT_EQ(app_.m_pszProfileName, "Lexora3");
  ASSERT_TRUE(app_.WriteProfileString("Directories", "ProductDir", "C:\\Lexora"));
  ASSERT_TRUE(app_.WriteProfileInt("Settings", "i_RecentFileMax", 16));
  EXPECT_EQ(registry_.ReadString(RegistryHive::kCurrentUser, "Software\\ZNT\\Lexora3\\Directories",
                                 "ProductDir"),
            "C:\\Lexora");
  EXPECT_EQ(registry_.ReadDword(RegistryHive::kCurrentUser, "Software\\ZNT\\Lexora3\\Settings",
                                "i_RecentFileMax"),
            16u);
  EXPECT_THAT(registry_.EnumKeys(RegistryHive::kCurrentUser, "Software\\ZNT\\Lexora3"),
              ElementsAre("Directories", "Settings"));
}

TEST_F(ProfileTest, ValuesReadBackAsTheyWereWrittenAndDefaultsStandForTheRest) {
  app_.SetRegistryKey("ZNT");
  struct IntCase {
    const char* entry;
    std::optional<int> written;
    int defaultValue;
    UINT read;
  };
  for (const IntCase& c : {IntCase{"zero", 0, 9, 0u}, IntCase{"big", 123456, 0, 123456u},
                           IntCase{"minus", -1, 0, 0xFFFFFFFFu}, IntCase{"missing", {}, 42, 42u},
                           IntCase{"text", {}, 3, 3u}}) {
    if (c.written) {
      ASSERT_TRUE(app_.WriteProfileInt("Ints", c.entry, *c.written));
    }
    if (std::string(c.entry) == "text") app_.WriteProfileString("Ints", "text", "12");
    EXPECT_EQ(app_.GetProfileInt("Ints", c.entry, c.defaultValue), c.read) << c.entry;
  }
  // "表示" is 95 5C 8E A6: kept byte for byte.
  ASSERT_TRUE(app_.WriteProfileString("Texts", "Caption", "\x95\x5C\x8E\xA6"));
  ASSERT_TRUE(app_.WriteProfileString("Texts", "Empty", ""));
  EXPECT_EQ(app_.GetProfileString("Texts", "caption"), "\x95\x5C\x8E\xA6");
  EXPECT_EQ(app_.GetProfileString("Texts", "Empty", "default"), "") << "empty is a value";
  EXPECT_EQ(app_.GetProfileString("Texts", "Missing", "default"), "default");
  EXPECT_EQ(app_.GetProfileString("Ints", "big", "default"), "default") << "not a string";
  EXPECT_FALSE(app_.WriteProfileString("Texts", "Caption", nullptr));
  EXPECT_EQ(app_.GetProfileString("Texts", "Caption"), "\x95\x5C\x8E\xA6");
}

}  // namespace
}  // namespace framework
