#include "framework/view.h"

#include "framework/create_context.h"
#include "framework/frame_wnd.h"

namespace framework {

IMPLEMENT_DYNAMIC(CView, CWnd)

BEGIN_MESSAGE_MAP(CView, CWnd)
OnMessage<platform::WM_CREATE>(&CView::OnCreate), OnMessage<platform::WM_PAINT>(&CView::OnPaint),
    OnMessage<platform::WM_DESTROY>(&CView::OnDestroy),
    END_MESSAGE_MAP()

        CView::~CView() {
  if (m_pDocument != nullptr) m_pDocument->RemoveView(this);
}

void CView::OnInitialUpdate() { OnUpdate(nullptr, 0, nullptr); }

void CView::OnUpdate(CView*, LPARAM, CObject*) { Invalidate(true); }

void CView::OnActivateView(bool activate, CView*, CView*) {
  // The keyboard follows only within the active window.
  if (activate && platform::GetActiveWindow() == platform::GetAncestor(m_hWnd, platform::GA_ROOT))
    platform::SetFocus(m_hWnd);
}

bool CView::OnCmdMsg(UINT id, UINT code, CCmdUI* cmdUI, CmdHandlerInfo* handlerInfo) {
  if (CWnd::OnCmdMsg(id, code, cmdUI, handlerInfo)) return true;
  return m_pDocument != nullptr && m_pDocument->OnCmdMsg(id, code, cmdUI, handlerInfo);
}

bool CView::PreCreateWindow(CREATESTRUCT& cs) {
  cs.style |= platform::WS_CLIPSIBLINGS | platform::WS_CLIPCHILDREN;
  return CWnd::PreCreateWindow(cs);
}

void CView::PostNcDestroy() { delete this; }

int CView::OnCreate(const CREATESTRUCT* cs) {
  const auto* context = static_cast<const CCreateContext*>(cs->lpCreateParams);
  if (context != nullptr && context->m_pCurrentDoc != nullptr)
    context->m_pCurrentDoc->AddView(this);
  return 0;
}

void CView::OnPaint() {
  CPaintDC dc(this);
  OnDraw(&dc);
}

void CView::OnDestroy() {
  CFrameWnd* frame = GetParentFrame();
  if (frame != nullptr && frame->m_pViewActive == this) frame->m_pViewActive = nullptr;
}

}  // namespace framework
