#include "framework/mdi_wnd.h"

#include <algorithm>
#include <vector>

#include "framework/control_bar.h"
#include "framework/document.h"
#include "framework/view.h"
#include "platform/mdi_client.h"
#include "platform/menu_window.h"

namespace framework {
namespace {

CMDIChildWnd* ChildObjectOf(HWND window) {
  CWnd* object = CWnd::FromHandlePermanent(window);
  return object != nullptr && object->IsKindOf(RUNTIME_CLASS(CMDIChildWnd))
             ? static_cast<CMDIChildWnd*>(object)
             : nullptr;
}

}  // namespace

IMPLEMENT_DYNCREATE(CMDIFrameWnd, CFrameWnd)

BEGIN_MESSAGE_MAP(CMDIFrameWnd, CFrameWnd)
OnMessage<platform::WM_CLOSE>(&CMDIFrameWnd::OnClose),
    OnMessage<platform::WM_SETFOCUS>(&CMDIFrameWnd::OnSetFocus),
    END_MESSAGE_MAP()

        CMDIChildWnd* CMDIFrameWnd::MDIGetActive() const {
  if (m_hWndMDIClient == platform::kNoWindow) return nullptr;
  return ChildObjectOf(
      static_cast<HWND>(platform::SendMessage(m_hWndMDIClient, platform::WM_MDIGETACTIVE, 0, 0)));
}

void CMDIFrameWnd::MDIActivate(CWnd* child) {
  platform::SendMessage(m_hWndMDIClient, platform::WM_MDIACTIVATE,
                        static_cast<WPARAM>(child->m_hWnd), 0);
}

void CMDIFrameWnd::MDINext() { platform::SendMessage(m_hWndMDIClient, platform::WM_MDINEXT, 0, 0); }

CFrameWnd* CMDIFrameWnd::GetActiveFrame() {
  CMDIChildWnd* child = MDIGetActive();
  return child != nullptr ? static_cast<CFrameWnd*>(child) : this;
}

CDocument* CMDIFrameWnd::GetActiveDocument() {
  CMDIChildWnd* child = MDIGetActive();
  return child != nullptr ? child->GetActiveDocument() : CFrameWnd::GetActiveDocument();
}

bool CMDIFrameWnd::OnCmdMsg(UINT id, UINT code, CCmdUI* cmdUI, CmdHandlerInfo* handlerInfo) {
  CMDIChildWnd* child = MDIGetActive();
  if (child != nullptr && child->OnCmdMsg(id, code, cmdUI, handlerInfo)) return true;
  return CFrameWnd::OnCmdMsg(id, code, cmdUI, handlerInfo);
}

bool CMDIFrameWnd::OnCreateClient(const CREATESTRUCT*, CCreateContext*) {
  RECT client;
  GetClientRect(&client);
  // The client takes the pane id, so the frame's sizing fills it.
  m_hWndMDIClient = platform::CreateWindowEx(
      0, platform::MdiClientClass(), "",
      platform::WS_CHILD | platform::WS_VISIBLE | platform::WS_CLIPCHILDREN, 0, 0, client.Width(),
      client.Height(), m_hWnd, static_cast<int32_t>(AFX_IDW_PANE_FIRST), nullptr);
  return m_hWndMDIClient != platform::kNoWindow;
}

void CMDIFrameWnd::OnClose() {
  std::vector<CDocument*> asked;
  for (HWND at = platform::GetWindow(m_hWndMDIClient, platform::GW_CHILD);
       at != platform::kNoWindow; at = platform::GetWindow(at, platform::GW_HWNDNEXT)) {
    CMDIChildWnd* child = ChildObjectOf(at);
    CDocument* document = child != nullptr ? child->GetActiveDocument() : nullptr;
    if (document == nullptr || std::find(asked.begin(), asked.end(), document) != asked.end())
      continue;
    asked.push_back(document);
    if (!document->SaveModified()) return;
  }
  DestroyWindow();
}

void CMDIFrameWnd::ShowMenuBar(platform::HMENU menu) {
  if (IsDestroying() || menu == platform::kNoMenu || platform::GetMenu(m_hWnd) == menu) return;
  platform::SetMenu(m_hWnd, menu);
  RepositionBars(this);
}

void CMDIFrameWnd::OnSetFocus(CWnd*) { platform::SetFocus(m_hWndMDIClient); }

IMPLEMENT_DYNCREATE(CMDIChildWnd, CFrameWnd)

BEGIN_MESSAGE_MAP(CMDIChildWnd, CFrameWnd)
OnMessage<platform::WM_MDIACTIVATE>(&CMDIChildWnd::OnMDIActivate),
    END_MESSAGE_MAP()

        bool CMDIChildWnd::LoadFrame(const FrameResources& resources, DWORD style, CWnd* parent,
                                     CCreateContext* context) {
  if (parent == nullptr || !parent->IsKindOf(RUNTIME_CLASS(CMDIFrameWnd))) return false;
  const HWND client = static_cast<CMDIFrameWnd*>(parent)->m_hWndMDIClient;
  if (client == platform::kNoWindow) return false;
  m_hMenuDefault = resources.menu;
  m_hAccelTable = resources.accelerators;
  m_strTitle = resources.title;
  RECT area;
  platform::GetClientRect(client, &area);
  // Made hidden; ActivateFrame shows it.
  return CreateEx(0, nullptr, m_strTitle, (style & ~platform::WS_VISIBLE) | platform::WS_CHILD,
                  area, FromHandle(client), 0, context);
}

CMDIFrameWnd* CMDIChildWnd::GetMDIFrame() const {
  CFrameWnd* frame = GetParentFrame();
  return frame != nullptr && frame->IsKindOf(RUNTIME_CLASS(CMDIFrameWnd))
             ? static_cast<CMDIFrameWnd*>(frame)
             : nullptr;
}

void CMDIChildWnd::MDIActivate() {
  platform::SendMessage(platform::GetParent(m_hWnd), platform::WM_MDIACTIVATE,
                        static_cast<WPARAM>(m_hWnd), 0);
}

void CMDIChildWnd::MDIDestroy() {
  platform::SendMessage(platform::GetParent(m_hWnd), platform::WM_MDIDESTROY,
                        static_cast<WPARAM>(m_hWnd), 0);
}

void CMDIChildWnd::ActivateFrame(int showCommand) {
  ShowWindow(showCommand == -1 ? platform::SW_SHOW : showCommand);
  MDIActivate();
}

void CMDIChildWnd::OnUpdateFrameTitle(bool addToTitle) {
  if (addToTitle && (GetStyle() & FWS_ADDTOTITLE) != 0) {
    CDocument* document = GetActiveDocument();
    UpdateFrameTitleForDocument(document != nullptr ? document->GetTitle().GetString() : nullptr);
  }
  if (CMDIFrameWnd* frame = GetMDIFrame()) frame->OnUpdateFrameTitle(addToTitle);
}

bool CMDIChildWnd::PreTranslateMessage(MSG* msg) {
  if (msg->message < platform::WM_KEYFIRST || msg->message > platform::WM_KEYLAST) return false;
  CMDIFrameWnd* frame = GetMDIFrame();
  return frame != nullptr && m_hAccelTable != platform::kNoAccelerators &&
         platform::TranslateAccelerator(frame->m_hWnd, m_hAccelTable, msg) != 0;
}

LRESULT CMDIChildWnd::DefWindowProc(UINT message, WPARAM wParam, LPARAM lParam) {
  return platform::DefMDIChildProc(m_hWnd, message, wParam, lParam);
}

void CMDIChildWnd::OnMDIActivate(bool activate, CWnd* activated, CWnd*) {
  // The active document's menu is the frame's menu bar; with no document
  // active the frame's own comes back.
  if (CMDIFrameWnd* frame = GetMDIFrame()) {
    if (activate && m_hMenuDefault != platform::kNoMenu) {
      frame->ShowMenuBar(m_hMenuDefault);
    } else if (!activate && activated == nullptr) {
      frame->ShowMenuBar(frame->GetDefaultMenu());
    }
  }
  if (m_pViewActive != nullptr)
    m_pViewActive->OnActivateView(activate, activate ? m_pViewActive : nullptr,
                                  activate ? nullptr : m_pViewActive);
  OnUpdateFrameTitle(true);
}

}  // namespace framework
