#include "framework/frame_wnd.h"

#include "framework/command_routing.h"
#include "framework/control_bar.h"
#include "framework/document.h"
#include "framework/menu_cmd_ui.h"
#include "framework/resource_accelerators.h"
#include "framework/resource_menus.h"
#include "framework/resource_strings.h"
#include "framework/view.h"
#include "platform/menu_window.h"

namespace framework {
namespace {

// " - " between the document's title and the frame's.
constexpr char kTitleSeparator[] = " - ";
// The title ends where a frame's string holds more fields.
constexpr char kStringFieldSeparator = '\n';

CString TitleOfString(UINT resourceId) {
  const std::string* text = FindString(resourceId);
  if (text == nullptr) return CString();
  return CString(text->substr(0, text->find(kStringFieldSeparator)));
}

}  // namespace

IMPLEMENT_DYNCREATE(CFrameWnd, CWnd)

BEGIN_MESSAGE_MAP(CFrameWnd, CWnd)
OnMessage<platform::WM_CREATE>(&CFrameWnd::OnCreate),
    OnMessage<platform::WM_DESTROY>(&CFrameWnd::OnDestroy),
    OnMessage<platform::WM_CLOSE>(&CFrameWnd::OnClose),
    OnMessage<platform::WM_SIZE>(&CFrameWnd::OnSize),
    OnMessage<platform::WM_SETFOCUS>(&CFrameWnd::OnSetFocus),
    OnMessage<platform::WM_INITMENUPOPUP>(&CFrameWnd::OnInitMenuPopup),
    END_MESSAGE_MAP()

        bool CFrameWnd::LoadFrame(const FrameResources& resources, DWORD style, CWnd* parent,
                                  CCreateContext* context) {
  m_hMenuDefault = resources.menu;
  m_hAccelTable = resources.accelerators;
  m_strTitle = resources.title;
  const RECT rect{0, 0, kDefaultWidth, kDefaultHeight};
  if (!CreateEx(0, nullptr, m_strTitle, style, rect, parent, 0, context)) return false;
  if (m_hMenuDefault != platform::kNoMenu && (style & platform::WS_CHILD) == 0) {
    platform::SetMenu(m_hWnd, m_hMenuDefault);
    // The bar's strip takes the top of the client area.
    RepositionBars(this);
  }
  return true;
}

bool CFrameWnd::LoadFrame(UINT resourceId, DWORD style, CWnd* parent, CCreateContext* context) {
  m_hMenuLoaded = framework::LoadMenu(resourceId);
  m_hAccelLoaded = framework::LoadAccelerators(resourceId);
  return LoadFrame(FrameResources{m_hMenuLoaded, m_hAccelLoaded, TitleOfString(resourceId)}, style,
                   parent, context);
}

CFrameWnd::~CFrameWnd() {
  if (m_hMenuLoaded != platform::kNoMenu) platform::DestroyMenu(m_hMenuLoaded);
  if (m_hAccelLoaded != platform::kNoAccelerators)
    platform::DestroyAcceleratorTable(m_hAccelLoaded);
}

void CFrameWnd::SetActiveView(CView* view) {
  CView* const previous = m_pViewActive;
  if (previous == view) return;
  m_pViewActive = view;
  if (previous != nullptr) previous->OnActivateView(false, view, previous);
  if (view != nullptr) view->OnActivateView(true, view, previous);
}

CDocument* CFrameWnd::GetActiveDocument() {
  return m_pViewActive != nullptr ? m_pViewActive->GetDocument() : nullptr;
}

CFrameWnd* CFrameWnd::GetActiveFrame() { return this; }

CFrameWnd* CWnd::GetParentFrame() const {
  for (HWND at = platform::GetAncestor(m_hWnd, platform::GA_PARENT); at != platform::kNoWindow;
       at = platform::GetAncestor(at, platform::GA_PARENT)) {
    CWnd* object = FromHandlePermanent(at);
    if (object != nullptr && object->IsKindOf(RUNTIME_CLASS(CFrameWnd)))
      return static_cast<CFrameWnd*>(object);
  }
  return nullptr;
}

void CFrameWnd::ActivateFrame(int showCommand) {
  // Showing a top-level frame activates it, which gives its view the focus.
  ShowWindow(showCommand == -1 ? platform::SW_SHOW : showCommand);
}

void CFrameWnd::InitialUpdateFrame(CDocument*, bool makeVisible) {
  CView* view = m_pViewActive;
  if (view == nullptr) {
    CWnd* pane = GetDlgItem(static_cast<int>(AFX_IDW_PANE_FIRST));
    if (pane != nullptr && pane->IsKindOf(RUNTIME_CLASS(CView))) view = static_cast<CView*>(pane);
  }
  if (view != nullptr) {
    view->OnInitialUpdate();
    SetActiveView(view);
  }
  OnUpdateFrameTitle(true);
  if (makeVisible) ActivateFrame();
}

void CFrameWnd::OnUpdateFrameTitle(bool addToTitle) {
  if (!addToTitle || (GetStyle() & FWS_ADDTOTITLE) == 0) return;
  CDocument* document = GetActiveDocument();
  UpdateFrameTitleForDocument(document != nullptr ? document->GetTitle().GetString() : nullptr);
}

void CFrameWnd::UpdateFrameTitleForDocument(const char* documentTitle) {
  CString title;
  if (documentTitle != nullptr && documentTitle[0] != '\0') {
    title = documentTitle;
    if (!m_strTitle.IsEmpty()) {
      title += kTitleSeparator;
      title += m_strTitle.GetString();
    }
  } else {
    title = m_strTitle;
  }
  if (GetWindowText() != title) SetWindowText(title);
}

bool CFrameWnd::OnCmdMsg(UINT id, UINT code, CCmdUI* cmdUI, CmdHandlerInfo* handlerInfo) {
  if (m_pViewActive != nullptr && m_pViewActive->OnCmdMsg(id, code, cmdUI, handlerInfo))
    return true;
  if (CWnd::OnCmdMsg(id, code, cmdUI, handlerInfo)) return true;
  // Only the outermost frame hands on to the application.
  if (GetParentFrame() != nullptr) return false;
  CCmdTarget* application = ApplicationCommandTarget();
  return application != nullptr && application->OnCmdMsg(id, code, cmdUI, handlerInfo);
}

bool CFrameWnd::PreTranslateMessage(MSG* msg) {
  if (msg->message < platform::WM_KEYFIRST || msg->message > platform::WM_KEYLAST) return false;
  return m_hAccelTable != platform::kNoAccelerators &&
         platform::TranslateAccelerator(m_hWnd, m_hAccelTable, msg) != 0;
}

bool CFrameWnd::OnCreateClient(const CREATESTRUCT*, CCreateContext* context) {
  return context == nullptr || context->m_pNewViewClass == nullptr ||
         CreateView(context) != nullptr;
}

CWnd* CFrameWnd::CreateView(CCreateContext* context, UINT id) {
  CObject* object = context->m_pNewViewClass->CreateObject();
  if (object == nullptr) return nullptr;
  if (!object->IsKindOf(RUNTIME_CLASS(CWnd))) {
    delete object;
    return nullptr;
  }
  auto* view = static_cast<CWnd*>(object);
  RECT client;
  GetClientRect(&client);
  client.top += platform::MenuBarHeight(m_hWnd);
  // A view that fails to be made has deleted itself in PostNcDestroy.
  if (!view->CreateEx(0, nullptr, "", platform::WS_CHILD | platform::WS_VISIBLE, client, this, id,
                      context))
    return nullptr;
  return view;
}

void CFrameWnd::PostNcDestroy() { delete this; }

int CFrameWnd::OnCreate(const CREATESTRUCT* cs) {
  auto* context = static_cast<CCreateContext*>(cs->lpCreateParams);
  return OnCreateClient(cs, context) ? 0 : -1;
}

void CFrameWnd::OnDestroy() {
  m_bDestroying = true;
  if (platform::GetMenu(m_hWnd) != platform::kNoMenu) platform::SetMenu(m_hWnd, platform::kNoMenu);
  // An MDI child's default handling activates the next child.
  DefWindowProc(platform::WM_DESTROY, 0, 0);
}

void CFrameWnd::OnClose() {
  CDocument* document = GetActiveDocument();
  if (document != nullptr && !document->CanCloseFrame(this)) return;
  DestroyWindow();
}

void CFrameWnd::OnSize(UINT, int, int) { RepositionBars(this); }

void CFrameWnd::EnableDocking(DWORD dockStyle) { m_dwDockStyle = dockStyle & CBRS_ALIGN_ANY; }

bool CFrameWnd::DockControlBar(CControlBar* bar, DWORD edge) {
  const DWORD allowed = m_dwDockStyle & bar->GetDockingStyle() & edge;
  for (const DWORD side : {CBRS_ALIGN_TOP, CBRS_ALIGN_BOTTOM, CBRS_ALIGN_LEFT, CBRS_ALIGN_RIGHT}) {
    if ((allowed & side) == 0 || !bar->SetEdge(side)) continue;
    RepositionBars(this);
    return true;
  }
  return false;
}

void CFrameWnd::OnSetFocus(CWnd*) {
  if (m_pViewActive != nullptr) platform::SetFocus(m_pViewActive->m_hWnd);
}

void CFrameWnd::OnInitMenuPopup(platform::HMENU popup, UINT, bool systemMenu) {
  if (!systemMenu) UpdateMenuItems(this, popup);
}

}  // namespace framework
