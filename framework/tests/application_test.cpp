// The small application as a program is made: an application object whose
// InitInstance registers a document template from resources and loads its
// main MDI frame by resource id (menu bar, accelerators, title), then runs
// its message loop headless. Everything the test does happens from the
// loop's idle turns, as a user at the keyboard would, and ends with the
// main frame closed and the loop ended by WM_QUIT.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <functional>
#include <iterator>
#include <string>
#include <vector>

#include "framework/cmd_ui.h"
#include "framework/doc_template.h"
#include "framework/framework_ids.h"
#include "framework/mdi_wnd.h"
#include "framework/resource_accelerators.h"
#include "framework/resource_menus.h"
#include "framework/resource_strings.h"
#include "framework/tool_bar.h"
#include "framework/view.h"
#include "framework/win_app.h"
#include "framework_test_support.h"
#include "platform/clock.h"
#include "platform/input.h"
#include "platform/menu_window.h"
#include "platform/message_driver.h"

namespace framework {
namespace {

using ::testing::ElementsAre;
using namespace platform;

constexpr UINT kMainFrameId = 128;
constexpr UINT kDocumentId = 129;

enum Command : UINT {
  kRunCommand = 32800,
  // The view has a handler; its update handler disables it.
  kBlockedCommand,
};

constexpr BYTE kKeyF5 = 0x74;
constexpr BYTE kKeyF6 = 0x75;

// 新規1 and 新規2 in CP932; "新規2 - Lexora" is the main frame's title.
constexpr char kUntitled1[] =
    "\x90\x56\x8B\x4B"
    "1";
constexpr char kUntitled2[] =
    "\x90\x56\x8B\x4B"
    "2";
constexpr char kAppTitle[] = "Lexora";

// The position of the Edit popup on the menu bar.
constexpr int kEditPosition = 1;
// An exit code the loop never ends with when the test goes as it should.
constexpr int kStuck = 99;

const StringResource kStrings[] = {
    {kMainFrameId, "Lexora"},
    {kDocumentId, "\n新規\n\n\n.lxc\nlxcFile\nレクソラⅢ文書"},
};

std::vector<MenuResourceItem> MenuTable() {
  return {MenuPopup("&File", {MenuCommand(ID_FILE_CLOSE, "&Close")}),
          MenuPopup("&Edit", {MenuCommand(kRunCommand, "&Run\tF5"),
                              MenuCommand(kBlockedCommand, "&Blocked\tF6")})};
}

// The documents' menu has a popup more than the main frame's.
std::vector<MenuResourceItem> DocumentMenuTable() {
  std::vector<MenuResourceItem> table = MenuTable();
  table.push_back(MenuPopup("&Window", {MenuCommand(kRunCommand, "&Again")}));
  return table;
}
constexpr int kMainMenuPopups = 2;
constexpr int kDocumentMenuPopups = 3;

std::vector<ACCEL> KeyTable() {
  return {{FVIRTKEY, kKeyF5, kRunCommand}, {FVIRTKEY, kKeyF6, kBlockedCommand}};
}

class CAppDoc : public CDocument {
  DECLARE_DYNCREATE(CAppDoc)
};

IMPLEMENT_DYNCREATE(CAppDoc, CDocument)

class CAppView : public CView {
  DECLARE_DYNCREATE(CAppView)
  DECLARE_MESSAGE_MAP()

 public:
  void OnDraw(CDC*) override {}

 private:
  void Note(const char* what) {
    Seen().push_back(std::string(what) + " " + GetDocument()->GetTitle().GetString());
  }
  void OnRun() { Note("run"); }
  void OnBlocked() { Note("blocked ran"); }
  void OnUpdateBlocked(CCmdUI* cmdUI) { cmdUI->Enable(false); }
};

IMPLEMENT_DYNCREATE(CAppView, CView)

BEGIN_MESSAGE_MAP(CAppView, CView)
OnCommandId(kRunCommand, &CAppView::OnRun), OnCommandId(kBlockedCommand, &CAppView::OnBlocked),
    OnUpdateUI(kBlockedCommand, &CAppView::OnUpdateBlocked),
    END_MESSAGE_MAP()

        void Tap(BYTE vk) {
  keybd_event(vk, 0, 0, 0);
  keybd_event(vk, 0, KEYEVENTF_KEYUP, 0);
}

void TapAll(const std::vector<BYTE>& keys) {
  for (const BYTE vk : keys) Tap(vk);
}

// What the test looked at while the program ran.
struct Observed {
  std::string mainTitle;
  std::string firstTitle;
  std::string secondTitle;
  HMENU menuBar = kNoMenu;
  int32_t menuBarHeight = 0;
  int32_t toolBarTop = -1;
  int32_t toolBarHeight = 0;
  int32_t clientTop = -1;
  bool blockedGreyed = false;
  UINT runButton = 0;
  UINT blockedButton = 0;
  HWND mainWindow = kNoWindow;
};

// The main frame with its toolbar of the Edit commands.
class CMainFrame : public CMDIFrameWnd {
 public:
  bool LoadFrame(UINT resourceId) {
    static constexpr UINT kButtons[] = {kRunCommand, kBlockedCommand};
    if (!CMDIFrameWnd::LoadFrame(resourceId, FWS_ADDTOTITLE, nullptr)) return false;
    if (!toolBar.CreateEx(this, TBSTYLE_FLAT, WS_CHILD | WS_VISIBLE | CBRS_TOP) ||
        !toolBar.SetButtons(kButtons, static_cast<int>(std::size(kButtons))))
      return false;
    RepositionBars(this);
    return true;
  }

  CToolBar toolBar;
};

// Where a child window stands in its parent.
POINT TopLeftInParent(HWND child) {
  RECT rect;
  GetWindowRect(child, &rect);
  POINT topLeft{rect.left, rect.top};
  ScreenToClient(GetParent(child), &topLeft);
  return topLeft;
}

class CTestApplication : public CWinApp {
 public:
  CTestApplication() : CWinApp("Lexora") {}

  bool InitInstance() override {
    AddDocTemplate(new CMultiDocTemplate(kDocumentId, RUNTIME_CLASS(CAppDoc),
                                         RUNTIME_CLASS(CMDIChildWnd), RUNTIME_CLASS(CAppView)));
    auto* frame = new CMainFrame;
    m_pMainWnd = frame;
    if (!frame->LoadFrame(kMainFrameId)) return false;
    CCommandLineInfo info;
    ParseCommandLine(info);
    // No file on the command line: the first new document.
    if (!ProcessShellCommand(info)) return false;
    if (!OnFileNew()) return false;
    frame->ShowWindow(m_nCmdShow);
    return true;
  }

  // Each step queues what the user does; the loop carries it out.
  bool OnIdle(long count) override {
    if (count == 0) {
      if (step_ < steps.size()) {
        steps[step_++]();
      } else {
        PostQuitMessage(kStuck);
      }
    }
    return CWinApp::OnIdle(count);
  }

  std::vector<std::function<void()>> steps;

 private:
  size_t step_ = 0;
};

class ApplicationTest : public WindowTest {
 protected:
  ApplicationTest() : clockScope_(clock_) {
    ResetInput();
    ResetMenus();
    ResetStrings();
    ResetMenuResources();
    ResetAcceleratorResources();
    EXPECT_TRUE(RegisterStrings(kStrings));
    EXPECT_TRUE(RegisterMenu(kMainFrameId, MenuTable()));
    EXPECT_TRUE(RegisterMenu(kDocumentId, DocumentMenuTable()));
    EXPECT_TRUE(RegisterAccelerators(kMainFrameId, KeyTable()));
    EXPECT_TRUE(RegisterAccelerators(kDocumentId, KeyTable()));
  }
  ~ApplicationTest() override {
    ResetAcceleratorResources();
    ResetMenuResources();
    ResetStrings();
    ResetMenus();
    ResetInput();
  }

  FakeClock clock_;
  ScopedClock clockScope_;
  MessageDriver driver_{clock_, 1000};
};

TEST_F(ApplicationTest, ATemplateFromAResourceIdHasItsStringFields) {
  CMultiDocTemplate docTemplate(kDocumentId, RUNTIME_CLASS(CAppDoc), RUNTIME_CLASS(CMDIChildWnd),
                                RUNTIME_CLASS(CAppView));
  CString field;
  EXPECT_TRUE(docTemplate.GetDocString(field, CDocTemplate::docName));
  EXPECT_EQ(field, "\x90\x56\x8B\x4B") << "新規";
  EXPECT_TRUE(docTemplate.GetDocString(field, CDocTemplate::filterExt));
  EXPECT_EQ(field, ".lxc");
  CMultiDocTemplate missing(kDocumentId + 1, RUNTIME_CLASS(CAppDoc), RUNTIME_CLASS(CMDIChildWnd),
                            RUNTIME_CLASS(CAppView));
  EXPECT_FALSE(missing.GetDocString(field, CDocTemplate::docName));
}

TEST_F(ApplicationTest, AFrameFromAResourceIdIsTitledByTheStringsFirstField) {
  const StringResource strings[] = {{kMainFrameId + 10, "Title\nmore"}};
  ASSERT_TRUE(RegisterStrings(strings));
  auto* frame = new CFrameWnd;
  ASSERT_TRUE(frame->LoadFrame(kMainFrameId + 10, 0, nullptr));
  EXPECT_EQ(frame->GetWindowText(), "Title");
  EXPECT_EQ(GetMenu(frame->m_hWnd), kNoMenu) << "no menu is registered under the id";
  EXPECT_EQ(frame->GetAccelerators(), kNoAccelerators);
  frame->DestroyWindow();
}

TEST_F(ApplicationTest, TwoDocumentsAMenuCommandADroppedOneAndACleanShutdown) {
  CTestApplication app;
  Observed seen;
  app.steps = {
      [&] {
        auto* main = static_cast<CMainFrame*>(app.m_pMainWnd);
        seen.mainWindow = main->m_hWnd;
        seen.mainTitle = main->GetWindowText().GetString();
        const auto& documents = app.GetDocTemplates().front()->GetDocuments();
        seen.firstTitle = documents.at(0)->GetTitle().GetString();
        seen.secondTitle = documents.at(1)->GetTitle().GetString();
        seen.menuBar = GetMenu(main->m_hWnd);
        seen.menuBarHeight = MenuBarHeight(main->m_hWnd);
        seen.toolBarTop = TopLeftInParent(main->toolBar.m_hWnd).y;
        RECT toolBar;
        main->toolBar.GetClientRect(&toolBar);
        seen.toolBarHeight = toolBar.Height();
        seen.clientTop = TopLeftInParent(main->m_hWndMDIClient).y;
        // Edit, then its first item: Run.
        TapAll({VK_F10, VK_RIGHT, VK_DOWN, VK_RETURN});
      },
      [&] {
        // The idle update has been through the toolbar.
        const CToolBar& toolBar = static_cast<CMainFrame*>(app.m_pMainWnd)->toolBar;
        seen.runButton = toolBar.GetButtonStyle(0);
        seen.blockedButton = toolBar.GetButtonStyle(1);
        // Edit's second item is greyed when it opens; choosing it does
        // nothing, and Esc leaves the menus.
        TapAll({VK_F10, VK_RIGHT, VK_DOWN, VK_DOWN, VK_RETURN, VK_ESCAPE, VK_ESCAPE});
      },
      [&] {
        const HMENU edit = GetSubMenu(seen.menuBar, kEditPosition);
        seen.blockedGreyed = (GetMenuState(edit, kBlockedCommand, MF_BYCOMMAND) & MF_GRAYED) != 0;
        // The blocked command by its key and posted; the run command's key.
        Tap(kKeyF6);
        app.m_pMainWnd->PostMessage(WM_COMMAND, MakeWParam(kBlockedCommand, 0), 0);
        Tap(kKeyF5);
      },
      [&] { app.m_pMainWnd->PostMessage(WM_CLOSE); },
  };

  EXPECT_EQ(AfxWinMain("", SW_SHOW), 0) << "ended by the main frame's WM_QUIT";

  EXPECT_EQ(seen.firstTitle, kUntitled1);
  EXPECT_EQ(seen.secondTitle, kUntitled2);
  EXPECT_EQ(seen.mainTitle, std::string(kUntitled2) + " - " + kAppTitle);
  EXPECT_NE(seen.menuBar, kNoMenu);
  EXPECT_GT(seen.menuBarHeight, 0);
  EXPECT_EQ(seen.toolBarTop, seen.menuBarHeight) << "the toolbar starts below the menu bar";
  EXPECT_GT(seen.toolBarHeight, 0);
  EXPECT_EQ(seen.clientTop, seen.menuBarHeight + seen.toolBarHeight)
      << "and the MDI client below both";
  EXPECT_EQ(seen.runButton & TBBS_DISABLED, 0u);
  EXPECT_NE(seen.blockedButton & TBBS_DISABLED, 0u) << "the idle update disabled it";
  EXPECT_TRUE(seen.blockedGreyed);
  EXPECT_THAT(Seen(),
              ElementsAre(std::string("run ") + kUntitled2, std::string("run ") + kUntitled2))
      << "the menu's command and the key's reach the active view; the blocked one never runs";
  EXPECT_FALSE(IsWindow(seen.mainWindow));
  EXPECT_EQ(app.m_pMainWnd, nullptr);
  EXPECT_TRUE(app.GetDocTemplates().front()->GetDocuments().empty());
}

TEST_F(ApplicationTest, TheActiveDocumentsMenuIsTheMenuBarUntilNoDocumentIsLeft) {
  CTestApplication app;
  std::vector<int> popups;
  const auto countPopups = [&] {
    popups.push_back(GetMenuItemCount(GetMenu(app.m_pMainWnd->m_hWnd)));
  };
  app.steps = {
      [&] {
        countPopups();
        app.m_pMainWnd->PostMessage(WM_COMMAND, MakeWParam(ID_FILE_CLOSE, 0), 0);
      },
      [&] {
        countPopups();
        app.m_pMainWnd->PostMessage(WM_COMMAND, MakeWParam(ID_FILE_CLOSE, 0), 0);
      },
      [&] {
        countPopups();
        app.m_pMainWnd->PostMessage(WM_CLOSE);
      },
  };
  EXPECT_EQ(AfxWinMain("", SW_SHOW), 0);
  EXPECT_THAT(popups, ElementsAre(kDocumentMenuPopups, kDocumentMenuPopups, kMainMenuPopups));
}

}  // namespace
}  // namespace framework
