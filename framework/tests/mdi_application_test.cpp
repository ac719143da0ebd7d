// A small MDI application, headless: a main frame with its menu and
// accelerators, a template for documents shown in child frames with one
// view each, and an application object at the end of the command route.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "framework/cmd_ui.h"
#include "framework/command_routing.h"
#include "framework/doc_template.h"
#include "framework/framework_ids.h"
#include "framework/main_window.h"
#include "framework/mdi_wnd.h"
#include "framework/view.h"
#include "framework_test_support.h"
#include "platform/input.h"
#include "platform/menu.h"
#include "platform/message_box.h"
#include "platform/placement.h"

namespace framework {
namespace {

using ::testing::ElementsAre;
using ::testing::IsEmpty;
using ::testing::UnorderedElementsAre;
using namespace platform;

// 新規1, 新規2 and the template string as the resource holds it:
// "\n新規\n\n\n.lxc\nlxcFile\nレクソラⅢ文書".
constexpr char kUntitled1[] =
    "\x90\x56\x8B\x4B"
    "1";
constexpr char kUntitled2[] =
    "\x90\x56\x8B\x4B"
    "2";
constexpr char kDocStrings[] =
    "\n\x90\x56\x8B\x4B\n\n\n.lxc\nlxcFile\n"
    "\x83\x8C\x83\x4E\x83\x5C\x83\x89\x87\x54\x95\xB6\x8F\x91";
constexpr char kMainTitle[] = "Main";

enum Command : UINT {
  kViewCommand = 32800,
  kDocumentCommand,
  kChildCommand,
  kMainCommand,
  kApplicationCommand,
  // Handled by the view, the document, the main frame and the application.
  kSharedCommand,
  // The view has a handler; its update handler disables it.
  kDisabledInView,
  // The view has a handler; the application's update handler disables it.
  kDisabledByApplication,
  kWithoutHandler,
  // Checked and renamed by the view's update handler.
  kCheckedCommand,
};

constexpr BYTE kKeyF5 = 0x74;
constexpr BYTE kKeyF6 = 0x75;
constexpr BYTE kKeyF7 = 0x76;
constexpr BYTE kKeyF8 = 0x77;

const ACCEL kMainKeys[] = {
    {FVIRTKEY, kKeyF5, kViewCommand},
    {FVIRTKEY, kKeyF6, kDisabledInView},
    {FVIRTKEY, kKeyF7, kDisabledByApplication},
};

// The document windows' own table.
const ACCEL kChildKeys[] = {
    {FVIRTKEY, kKeyF8, kMainCommand},
};

// "チェック済み" as the view renames the checked item.
constexpr char kCheckedText[] = "\x83\x60\x83\x46\x83\x62\x83\x4E\x8D\xCF\x82\xDD";

class CTestDoc : public CDocument {
  DECLARE_DYNCREATE(CTestDoc)
  DECLARE_MESSAGE_MAP()

 public:
  static int& prompts() {
    static int count = 0;
    return count;
  }
  static int& answer() {
    static int button = IDNO;
    return button;
  }

  int ShowPrompt(const char*, UINT) override {
    ++prompts();
    return answer();
  }

  ~CTestDoc() override { Seen().push_back(std::string("document gone ") + GetTitle().GetString()); }

 private:
  void Note(const char* what) {
    Seen().push_back(std::string(what) + " " + GetTitle().GetString());
  }
  void OnDocumentCommand() { Note("document"); }
  void OnShared() { Note("document shared"); }
};

IMPLEMENT_DYNCREATE(CTestDoc, CDocument)

BEGIN_MESSAGE_MAP(CTestDoc, CDocument)
OnCommandId(kDocumentCommand, &CTestDoc::OnDocumentCommand),
    OnCommandId(kSharedCommand, &CTestDoc::OnShared),
    END_MESSAGE_MAP()

        class CTestView : public CView {
  DECLARE_DYNCREATE(CTestView)
  DECLARE_MESSAGE_MAP()

 public:
  void OnDraw(CDC*) override { Note("draw"); }
  void OnInitialUpdate() override {
    Note("initial update");
    CView::OnInitialUpdate();
  }
  void OnUpdate(CView*, LPARAM hint, CObject*) override {
    Seen().push_back("update " + std::to_string(hint));
  }

 private:
  void Note(const char* what) {
    Seen().push_back(std::string(what) + " " + GetDocument()->GetTitle().GetString());
  }
  void OnViewCommand() { Note("view"); }
  void OnShared() { Note("view shared"); }
  void OnDisabledInView() { Note("disabled in view ran"); }
  void OnDisabledByApplication() { Note("disabled by application ran"); }
  void OnChecked() { Note("checked"); }
  void OnUpdateDisabled(CCmdUI* cmdUI) { cmdUI->Enable(false); }
  void OnUpdateChecked(CCmdUI* cmdUI) {
    cmdUI->SetCheck(1);
    cmdUI->SetText(kCheckedText);
  }
};

IMPLEMENT_DYNCREATE(CTestView, CView)

BEGIN_MESSAGE_MAP(CTestView, CView)
OnCommandId(kViewCommand, &CTestView::OnViewCommand),
    OnCommandId(kSharedCommand, &CTestView::OnShared),
    OnCommandId(kDisabledInView, &CTestView::OnDisabledInView),
    OnCommandId(kDisabledByApplication, &CTestView::OnDisabledByApplication),
    OnCommandId(kCheckedCommand, &CTestView::OnChecked),
    OnUpdateUI(kDisabledInView, &CTestView::OnUpdateDisabled),
    OnUpdateUI(kCheckedCommand, &CTestView::OnUpdateChecked),
    END_MESSAGE_MAP()

        class CTestChild : public CMDIChildWnd {
  DECLARE_DYNCREATE(CTestChild)
  DECLARE_MESSAGE_MAP()

 private:
  void OnChildCommand() { Seen().push_back("child"); }
};

IMPLEMENT_DYNCREATE(CTestChild, CMDIChildWnd)

BEGIN_MESSAGE_MAP(CTestChild, CMDIChildWnd)
OnCommandId(kChildCommand, &CTestChild::OnChildCommand),
    END_MESSAGE_MAP()

        class CTestMainFrame : public CMDIFrameWnd {
  DECLARE_MESSAGE_MAP()

 private:
  void OnMainCommand() { Seen().push_back("main"); }
  void OnShared() { Seen().push_back("main shared"); }
};

BEGIN_MESSAGE_MAP(CTestMainFrame, CMDIFrameWnd)
OnCommandId(kMainCommand, &CTestMainFrame::OnMainCommand),
    OnCommandId(kSharedCommand, &CTestMainFrame::OnShared),
    END_MESSAGE_MAP()

        class CTestApp : public CCmdTarget {
  DECLARE_MESSAGE_MAP()

 private:
  void OnApplicationCommand() { Seen().push_back("application"); }
  void OnShared() { Seen().push_back("application shared"); }
  void OnUpdateDisabled(CCmdUI* cmdUI) { cmdUI->Enable(false); }
};

BEGIN_MESSAGE_MAP(CTestApp, CCmdTarget)
OnCommandId(kApplicationCommand, &CTestApp::OnApplicationCommand),
    OnCommandId(kSharedCommand, &CTestApp::OnShared),
    OnUpdateUI(kDisabledByApplication, &CTestApp::OnUpdateDisabled),
    END_MESSAGE_MAP()

        class MdiApplicationTest : public WindowTest {
 protected:
  MdiApplicationTest() {
    ResetInput();
    CTestDoc::prompts() = 0;
    CTestDoc::answer() = IDNO;
    SetApplicationCommandTarget(&app_);
    accelerators_ = CreateAcceleratorTable(kMainKeys, static_cast<int>(std::size(kMainKeys)));
    childAccelerators_ =
        CreateAcceleratorTable(kChildKeys, static_cast<int>(std::size(kChildKeys)));
    main_ = new CTestMainFrame;
    EXPECT_TRUE(main_->LoadFrame({kNoMenu, accelerators_, kMainTitle}, FWS_ADDTOTITLE, nullptr));
    mainHandle_ = main_->m_hWnd;
    AfxSetMainWnd(main_);
    main_->ShowWindow(SW_SHOW);
    template_ = std::make_unique<CMultiDocTemplate>(
        kDocStrings, FrameResources{kNoMenu, childAccelerators_, ""}, RUNTIME_CLASS(CTestDoc),
        RUNTIME_CLASS(CTestChild), RUNTIME_CLASS(CTestView));
  }
  ~MdiApplicationTest() override {
    if (IsWindow(mainWindow())) main_->DestroyWindow();
    template_.reset();
    AfxSetMainWnd(nullptr);
    SetApplicationCommandTarget(nullptr);
    DestroyAcceleratorTable(accelerators_);
    DestroyAcceleratorTable(childAccelerators_);
    ResetInput();
  }

  // The main frame's object is gone with its window.
  HWND mainWindow() const { return mainHandle_; }

  // Opens the two documents and forgets what that was seen doing.
  void OpenTwo() {
    first_ = template_->OpenDocumentFile(nullptr);
    second_ = template_->OpenDocumentFile(nullptr);
    ASSERT_NE(first_, nullptr);
    ASSERT_NE(second_, nullptr);
    Pump();
    Seen().clear();
  }

  static CFrameWnd* FrameOf(CDocument* document) {
    return document->GetViews().front()->GetParentFrame();
  }

  // The way an application's loop hands messages on.
  void Pump() {
    MSG msg;
    while (PeekMessage(&msg, kNoWindow, 0, 0, PM_REMOVE)) {
      if (WalkPreTranslateTree(main_->m_hWnd, &msg)) continue;
      TranslateMessage(&msg);
      DispatchMessage(&msg);
    }
  }

  void Press(BYTE key) {
    keybd_event(key, 0, 0, 0);
    keybd_event(key, 0, KEYEVENTF_KEYUP, 0);
    Pump();
  }

  void Send(UINT command) { main_->SendMessage(WM_COMMAND, MakeWParam(command, 0), 0); }
  void Post(UINT command) {
    main_->PostMessage(WM_COMMAND, MakeWParam(command, 0), 0);
    Pump();
  }

  CTestApp app_;
  HACCEL accelerators_ = kNoAccelerators;
  HACCEL childAccelerators_ = kNoAccelerators;
  CTestMainFrame* main_ = nullptr;
  HWND mainHandle_ = kNoWindow;
  std::unique_ptr<CMultiDocTemplate> template_;
  CDocument* first_ = nullptr;
  CDocument* second_ = nullptr;
};

TEST_F(MdiApplicationTest, TwoDocumentsAreNumberedAndTheFrameTitleFollowsTheActiveOne) {
  EXPECT_EQ(main_->GetWindowText(), kMainTitle);
  first_ = template_->OpenDocumentFile(nullptr);
  ASSERT_NE(first_, nullptr);
  EXPECT_THAT(Seen(), ElementsAre(std::string("initial update ") + kUntitled1, "update 0"));
  second_ = template_->OpenDocumentFile(nullptr);
  ASSERT_NE(second_, nullptr);
  EXPECT_EQ(first_->GetTitle(), kUntitled1);
  EXPECT_EQ(second_->GetTitle(), kUntitled2);
  EXPECT_THAT(template_->GetDocuments(), ElementsAre(first_, second_));

  EXPECT_EQ(main_->MDIGetActive(), FrameOf(second_));
  EXPECT_EQ(FrameOf(second_)->GetWindowText(), kUntitled2);
  EXPECT_EQ(main_->GetWindowText(), std::string(kUntitled2) + " - " + kMainTitle);
  EXPECT_EQ(GetFocus(), second_->GetViews().front()->m_hWnd);

  main_->MDIActivate(FrameOf(first_));
  EXPECT_EQ(main_->MDIGetActive(), FrameOf(first_));
  EXPECT_EQ(main_->GetActiveDocument(), first_);
  EXPECT_EQ(main_->GetWindowText(), std::string(kUntitled1) + " - " + kMainTitle);
  EXPECT_EQ(GetFocus(), first_->GetViews().front()->m_hWnd);

  main_->MDINext();
  EXPECT_EQ(main_->MDIGetActive(), FrameOf(second_));
  main_->MDINext();
  EXPECT_EQ(main_->MDIGetActive(), FrameOf(first_)) << "two children take turns";
}

struct RouteCase {
  UINT command;
  const char* handler;
};

TEST_F(MdiApplicationTest, CommandsGoViewDocumentChildMainApplication) {
  OpenTwo();
  const std::string active = std::string(" ") + kUntitled2;
  const RouteCase cases[] = {
      {kViewCommand, "view"},
      {kDocumentCommand, "document"},
      {kChildCommand, "child"},
      {kMainCommand, "main"},
      {kApplicationCommand, "application"},
      // The first handler on the route takes it.
      {kSharedCommand, "view shared"},
  };
  for (const RouteCase& route : cases) {
    Seen().clear();
    Send(route.command);
    std::string expected = route.handler;
    if (expected.starts_with("view") || expected.starts_with("document")) expected += active;
    EXPECT_THAT(Seen(), ElementsAre(expected)) << route.handler;
  }
}

TEST_F(MdiApplicationTest, ADisabledCommandDoesNotRunWhoeverSendsIt) {
  OpenTwo();
  for (const UINT command : {kDisabledInView, kDisabledByApplication}) {
    Send(command);
    Post(command);
  }
  Press(kKeyF6);
  Press(kKeyF7);
  EXPECT_THAT(Seen(), IsEmpty());

  // The enabled command by the same roads reaches its handler.
  const std::string ran = std::string("view ") + kUntitled2;
  Press(kKeyF5);
  Send(kViewCommand);
  Post(kViewCommand);
  EXPECT_THAT(Seen(), ElementsAre(ran, ran, ran));
}

TEST_F(MdiApplicationTest, TheDocumentWindowsKeysTakeTheWholeRoute) {
  OpenTwo();
  Press(kKeyF8);
  EXPECT_THAT(Seen(), ElementsAre("main"));
  // The main frame's own keys still work inside a document window.
  Seen().clear();
  Press(kKeyF5);
  EXPECT_THAT(Seen(), ElementsAre(std::string("view ") + kUntitled2));
}

TEST_F(MdiApplicationTest, TheActiveViewReceivesCommands) {
  OpenTwo();
  main_->MDIActivate(FrameOf(first_));
  Press(kKeyF5);
  main_->MDINext();
  Press(kKeyF5);
  EXPECT_THAT(Seen(),
              ElementsAre(std::string("view ") + kUntitled1, std::string("view ") + kUntitled2));
}

TEST_F(MdiApplicationTest, APopupShowsWhatTheUpdateHandlersSay) {
  OpenTwo();
  const HMENU popup = CreatePopupMenu();
  const UINT items[] = {kViewCommand, kDisabledInView, kWithoutHandler, kCheckedCommand,
                        kApplicationCommand};
  for (const UINT id : items) AppendMenu(popup, MF_STRING, id, "item");
  AppendMenu(popup, MF_SEPARATOR, 0, nullptr);
  main_->SendMessage(WM_INITMENUPOPUP, static_cast<WPARAM>(popup), 0);

  const UINT grayed = MF_GRAYED;
  EXPECT_EQ(GetMenuState(popup, kViewCommand, MF_BYCOMMAND) & grayed, 0u);
  EXPECT_EQ(GetMenuState(popup, kDisabledInView, MF_BYCOMMAND) & grayed, grayed);
  EXPECT_EQ(GetMenuState(popup, kWithoutHandler, MF_BYCOMMAND) & grayed, grayed);
  EXPECT_EQ(GetMenuState(popup, kApplicationCommand, MF_BYCOMMAND) & grayed, 0u);
  EXPECT_EQ(GetMenuState(popup, kCheckedCommand, MF_BYCOMMAND) & (MF_CHECKED | grayed), MF_CHECKED);
  char text[32] = {};
  GetMenuString(popup, kCheckedCommand, text, sizeof text, MF_BYCOMMAND);
  EXPECT_STREQ(text, kCheckedText);
  EXPECT_EQ(GetMenuItemCount(popup), 6) << "the separator stays";
  DestroyMenu(popup);
}

TEST_F(MdiApplicationTest, AllViewsButTheSenderHearOfAChange) {
  OpenTwo();
  CFrameWnd* other = template_->CreateNewFrame(first_, nullptr);
  ASSERT_NE(other, nullptr);
  template_->InitialUpdateFrame(other, first_);
  ASSERT_EQ(first_->GetViews().size(), 2u);
  Seen().clear();
  first_->UpdateAllViews(first_->GetViews().front(), 7);
  EXPECT_THAT(Seen(), ElementsAre("update 7"));
}

TEST_F(MdiApplicationTest, ClosingOneDocumentActivatesTheOther) {
  OpenTwo();
  FrameOf(second_)->SendMessage(WM_CLOSE);
  EXPECT_THAT(Seen(), ElementsAre(std::string("document gone ") + kUntitled2));
  EXPECT_THAT(template_->GetDocuments(), ElementsAre(first_));
  EXPECT_EQ(main_->MDIGetActive(), FrameOf(first_));
  EXPECT_EQ(main_->GetWindowText(), std::string(kUntitled1) + " - " + kMainTitle);
  EXPECT_EQ(GetFocus(), first_->GetViews().front()->m_hWnd);

  FrameOf(first_)->SendMessage(WM_CLOSE);
  EXPECT_EQ(main_->MDIGetActive(), nullptr);
  EXPECT_EQ(main_->GetWindowText(), kMainTitle);
  EXPECT_EQ(CTestDoc::prompts(), 0) << "unchanged documents close without a question";
}

TEST_F(MdiApplicationTest, FileCloseAsksAboutTheActiveDocumentOnly) {
  OpenTwo();
  first_->SetModifiedFlag();
  second_->SetModifiedFlag();
  CTestDoc::answer() = IDCANCEL;
  Send(ID_FILE_CLOSE);
  EXPECT_EQ(CTestDoc::prompts(), 1);
  EXPECT_EQ(template_->GetDocuments().size(), 2u);
  CTestDoc::answer() = IDNO;
  Send(ID_FILE_CLOSE);
  EXPECT_EQ(CTestDoc::prompts(), 2);
  EXPECT_THAT(template_->GetDocuments(), ElementsAre(first_));
  EXPECT_EQ(main_->MDIGetActive(), FrameOf(first_));
}

TEST_F(MdiApplicationTest, ATitleChangeReachesBothFrames) {
  OpenTwo();
  second_->SetTitle("renamed");
  EXPECT_EQ(FrameOf(second_)->GetWindowText(), "renamed");
  EXPECT_EQ(main_->GetWindowText(), std::string("renamed - ") + kMainTitle);
  first_->SetTitle("behind");
  EXPECT_EQ(FrameOf(first_)->GetWindowText(), "behind");
  EXPECT_EQ(main_->GetWindowText(), std::string("renamed - ") + kMainTitle)
      << "only the active document names the main frame";
}

TEST_F(MdiApplicationTest, AFileThatCannotBeOpenedLeavesNoWindow) {
  OpenTwo();
  EXPECT_EQ(template_->OpenDocumentFile("/nonexistent/folder/letter.lxc"), nullptr);
  EXPECT_EQ(CTestDoc::prompts(), 1) << "the failure is reported";
  EXPECT_THAT(template_->GetDocuments(), ElementsAre(first_, second_));
  EXPECT_EQ(main_->MDIGetActive(), FrameOf(second_));
  int children = 0;
  for (HWND at = GetWindow(main_->m_hWndMDIClient, GW_CHILD); at != kNoWindow;
       at = GetWindow(at, GW_HWNDNEXT))
    ++children;
  EXPECT_EQ(children, 2);
  EXPECT_EQ(template_->OpenDocumentFile(nullptr)->GetTitle(),
            "\x90\x56\x8B\x4B"
            "3")
      << "only new documents take numbers";
}

TEST_F(MdiApplicationTest, ViewsPaintThroughOnDraw) {
  OpenTwo();
  second_->GetViews().front()->Invalidate();
  Pump();
  EXPECT_THAT(Seen(), ::testing::Contains(std::string("draw ") + kUntitled2));
}

TEST_F(MdiApplicationTest, MdiDestroyClosesWithoutAskingAndActivatesTheNext) {
  OpenTwo();
  main_->MDIActivate(FrameOf(first_));
  first_->SetModifiedFlag();
  static_cast<CMDIChildWnd*>(FrameOf(first_))->MDIDestroy();
  EXPECT_EQ(CTestDoc::prompts(), 0);
  EXPECT_THAT(template_->GetDocuments(), ElementsAre(second_));
  EXPECT_EQ(main_->MDIGetActive(), FrameOf(second_));
  EXPECT_EQ(main_->GetWindowText(), std::string(kUntitled2) + " - " + kMainTitle);
}

TEST_F(MdiApplicationTest, AChildShownMaximisedFillsTheFrameAndIsActive) {
  OpenTwo();
  CFrameWnd* frame = FrameOf(first_);
  frame->ActivateFrame(SW_SHOWMAXIMIZED);
  EXPECT_TRUE(IsZoomed(frame->m_hWnd));
  EXPECT_EQ(main_->MDIGetActive(), frame);
  RECT mainArea;
  RECT childArea;
  main_->GetClientRect(&mainArea);
  frame->GetClientRect(&childArea);
  EXPECT_EQ(childArea, mainArea);
  MoveWindow(main_->m_hWnd, 0, 0, 300, 200, true);
  frame->GetClientRect(&childArea);
  EXPECT_EQ(childArea, (RECT{0, 0, 300, 200})) << "the view's frame follows the main frame";
}

TEST_F(MdiApplicationTest, AModifiedDocumentIsAskedAboutAndCancelKeepsEverything) {
  OpenTwo();
  first_->SetModifiedFlag();
  CTestDoc::answer() = IDCANCEL;
  main_->SendMessage(WM_CLOSE);
  EXPECT_EQ(CTestDoc::prompts(), 1);
  EXPECT_TRUE(IsWindow(mainWindow()));
  EXPECT_EQ(template_->GetDocuments().size(), 2u);

  CTestDoc::answer() = IDNO;
  FrameOf(first_)->SendMessage(WM_CLOSE);
  EXPECT_EQ(CTestDoc::prompts(), 2);
  EXPECT_THAT(template_->GetDocuments(), ElementsAre(second_));
}

TEST_F(MdiApplicationTest, ShutdownClosesEveryDocumentAndWindow) {
  OpenTwo();
  second_->SetModifiedFlag();
  main_->SendMessage(WM_CLOSE);
  EXPECT_EQ(CTestDoc::prompts(), 1) << "answered no";
  EXPECT_FALSE(IsWindow(mainWindow()));
  EXPECT_THAT(template_->GetDocuments(), IsEmpty());
  EXPECT_THAT(Seen(), UnorderedElementsAre(std::string("document gone ") + kUntitled1,
                                           std::string("document gone ") + kUntitled2));
  EXPECT_EQ(AfxGetMainWnd(), nullptr);
  EXPECT_EQ(template_->OpenDocumentFile(nullptr), nullptr) << "no frame to open a document in";
  EXPECT_THAT(template_->GetDocuments(), IsEmpty());
}

}  // namespace
}  // namespace framework
