#include "framework/win_app.h"

#include "framework/command_routing.h"
#include "framework/control_bar.h"
#include "framework/doc_template.h"
#include "framework/frame_wnd.h"
#include "framework/main_window.h"
#include "framework/menu.h"
#include "framework/wnd.h"
#include "platform/paint.h"
#include "platform/registry.h"

namespace framework {
namespace {

CWinApp* currentApp = nullptr;
// The main window while there is no application object.
CWnd* mainWindowWithoutApp = nullptr;

constexpr char kSoftwareKey[] = "Software\\";
constexpr int kNoApplication = -1;
constexpr platform::RegistryHive kProfileHive = platform::RegistryHive::kCurrentUser;
// The idle turn that brings the bars up to date, and the one after which
// the temporary window objects are let go.
constexpr long kBarUpdateTurn = 0;
constexpr long kTempMapTurn = 1;

// A paint or a thread timer (the caret's blink) does not start the idle
// calls again: neither is the user doing something.
bool RestartsIdle(const MSG& msg) {
  if (msg.message == platform::WM_PAINT) return false;
  return !(msg.message == platform::WM_TIMER && msg.hwnd == platform::kNoWindow);
}

bool MessageWaiting() {
  return platform::PeekMessage(nullptr, platform::kNoWindow, 0, 0, platform::PM_NOREMOVE);
}

}  // namespace

IMPLEMENT_DYNAMIC(CWinApp, CCmdTarget)

CWinApp::CWinApp(const char* appName) : m_pszAppName(appName) {
  currentApp = this;
  SetApplicationCommandTarget(this);
}

CWinApp::~CWinApp() {
  // The documents close while the application is still there to ask.
  m_templates.clear();
  if (ApplicationCommandTarget() == this) SetApplicationCommandTarget(nullptr);
  if (currentApp == this) currentApp = nullptr;
}

CWinApp* AfxGetApp() { return currentApp; }

void AfxSetMainWnd(CWnd* window) {
  if (currentApp != nullptr) {
    currentApp->m_pMainWnd = window;
  } else {
    mainWindowWithoutApp = window;
  }
}

CWnd* AfxGetMainWnd() {
  return currentApp != nullptr ? currentApp->m_pMainWnd : mainWindowWithoutApp;
}

bool CWinApp::InitInstance() { return true; }

int CWinApp::Run() {
  long idleCount = 0;
  bool idle = true;
  for (;;) {
    while (idle && !MessageWaiting())
      if (!OnIdle(idleCount++)) idle = false;
    do {
      if (!PumpMessage()) return ExitInstance();
      if (RestartsIdle(m_msgCur)) {
        idle = true;
        idleCount = 0;
      }
    } while (MessageWaiting());
  }
}

bool CWinApp::PumpMessage() {
  if (platform::GetMessage(&m_msgCur, platform::kNoWindow, 0, 0) == 0) return false;
  if (!PreTranslateMessage(&m_msgCur)) {
    platform::TranslateMessage(&m_msgCur);
    platform::DispatchMessage(&m_msgCur);
  }
  return true;
}

bool CWinApp::PreTranslateMessage(MSG* msg) {
  const HWND mainWindow = m_pMainWnd != nullptr ? m_pMainWnd->GetSafeHwnd() : platform::kNoWindow;
  return WalkPreTranslateTree(mainWindow, msg);
}

bool CWinApp::OnIdle(long count) {
  if (count == kBarUpdateTurn) UpdateFrameBars();
  if (count < kTempMapTurn) return true;
  CWnd::DeleteTempMap();
  CMenu::DeleteTempMap();
  return false;
}

int CWinApp::ExitInstance() { return static_cast<int>(m_msgCur.wParam); }

// ---- The command line ------------------------------------------------------------

void CWinApp::ParseCommandLine(CCommandLineInfo& info) {
  framework::ParseCommandLine(m_lpCmdLine.View(), info);
}

bool CWinApp::ProcessShellCommand(CCommandLineInfo& info) {
  switch (info.m_nShellCommand) {
    case CCommandLineInfo::FileNew:
      return OnFileNew();
    case CCommandLineInfo::FileOpen:
      return !info.m_strFileName.IsEmpty() && OpenDocumentFile(info.m_strFileName) != nullptr;
    case CCommandLineInfo::FilePrint:
    case CCommandLineInfo::FilePrintTo:
      PrintFromCommandLine(info);
      return false;
  }
  return false;
}

void CWinApp::PrintFromCommandLine(const CCommandLineInfo& info) {
  m_nCmdShow = platform::SW_HIDE;
  if (info.m_strFileName.IsEmpty()) return;
  if (info.m_nShellCommand == CCommandLineInfo::FilePrintTo && info.m_strPrinterName.IsEmpty())
    return;
  if (CDocument* document = OpenDocumentFile(info.m_strFileName))
    PrintShellDocument(document, info);
}

void CWinApp::UpdateFrameBars() {
  CWnd* mainWindow = m_pMainWnd;
  if (mainWindow == nullptr || !platform::IsWindow(mainWindow->GetSafeHwnd())) return;
  UpdateBarsWhenIdle(mainWindow);
  if (!mainWindow->IsKindOf(RUNTIME_CLASS(CFrameWnd))) return;
  CFrameWnd* active = static_cast<CFrameWnd*>(mainWindow)->GetActiveFrame();
  if (active != nullptr && active != mainWindow) UpdateBarsWhenIdle(active);
}

void CWinApp::AddDocTemplate(CDocTemplate* docTemplate) {
  if (docTemplate != nullptr) m_templates.emplace_back(docTemplate);
}

bool CWinApp::OnFileNew() {
  return !m_templates.empty() && m_templates.front()->OpenDocumentFile(nullptr) != nullptr;
}

CDocument* CWinApp::OpenDocumentFile(const char* path) {
  if (m_templates.empty() || path == nullptr) return nullptr;
  return m_templates.front()->OpenDocumentFile(path);
}

bool CWinApp::PrintShellDocument(CDocument*, const CCommandLineInfo&) { return false; }

// ---- The profile -------------------------------------------------------------------

void CWinApp::SetRegistryKey(const char* key) {
  m_pszRegistryKey = key;
  m_pszProfileName = m_pszAppName;
}

bool CWinApp::SectionKey(const char* section, CString* path) const {
  if (m_pszRegistryKey.IsEmpty() || section == nullptr) return false;
  *path = CString(kSoftwareKey) + m_pszRegistryKey.View() + '\\' + m_pszProfileName.View() + '\\' +
          section;
  return true;
}

CString CWinApp::GetProfileString(const char* section, const char* entry,
                                  const char* defaultValue) const {
  CString path;
  if (entry == nullptr || !SectionKey(section, &path)) return defaultValue;
  const std::optional<std::string> value =
      platform::CurrentRegistry().ReadString(kProfileHive, path.View(), entry);
  return value ? CString(*value) : CString(defaultValue);
}

bool CWinApp::WriteProfileString(const char* section, const char* entry, const char* value) {
  CString path;
  return entry != nullptr && value != nullptr && SectionKey(section, &path) &&
         platform::CurrentRegistry().WriteString(kProfileHive, path.View(), entry, value);
}

UINT CWinApp::GetProfileInt(const char* section, const char* entry, int defaultValue) const {
  CString path;
  const std::optional<platform::DWORD> value =
      entry != nullptr && SectionKey(section, &path)
          ? platform::CurrentRegistry().ReadDword(kProfileHive, path.View(), entry)
          : std::nullopt;
  return value ? *value : static_cast<UINT>(defaultValue);
}

bool CWinApp::WriteProfileInt(const char* section, const char* entry, int value) {
  CString path;
  return entry != nullptr && SectionKey(section, &path) &&
         platform::CurrentRegistry().WriteDword(kProfileHive, path.View(), entry,
                                                static_cast<platform::DWORD>(value));
}

// ---- Running -------------------------------------------------------------------------

int AfxWinMain(const char* commandLine, int cmdShow) {
  CWinApp* app = AfxGetApp();
  if (app == nullptr) return kNoApplication;
  app->m_lpCmdLine = commandLine;
  app->m_nCmdShow = cmdShow;
  if (app->InitInstance()) return app->Run();
  // The main window's own shutdown runs before the program ends.
  if (app->m_pMainWnd != nullptr) {
    app->m_pMainWnd->DestroyWindow();
    app->m_pMainWnd = nullptr;
  }
  return app->ExitInstance();
}

}  // namespace framework
