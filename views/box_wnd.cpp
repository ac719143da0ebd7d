#include "views/box_wnd.h"

#include "framework/dc.h"
#include "platform/gdi.h"
#include "platform/system_info.h"
#include "platform/window.h"

using framework::CWnd;

IMPLEMENT_DYNAMIC(CBoxWnd, CWnd)

// clang-format off
BEGIN_MESSAGE_MAP(CBoxWnd, framework::CWnd)
  framework::OnMessage<platform::WM_ERASEBKGND>(&CBoxWnd::OnEraseBkgnd),
END_MESSAGE_MAP()
    // clang-format on

    namespace {
  bool RegisterBoxClass() {
    if (platform::GetClassInfo(kBoxWindowClass, nullptr)) return true;
    platform::WNDCLASS windowClass;
    windowClass.style = platform::CS_VREDRAW | platform::CS_HREDRAW;
    windowClass.lpfnWndProc = framework::FrameworkWndProc;
    windowClass.hbrBackground = platform::GetSysColorBrush(platform::COLOR_BTNFACE);
    windowClass.lpszClassName = kBoxWindowClass;
    return platform::RegisterClass(windowClass) != 0;
  }

}  // namespace

int CBoxWnd::CreateBoxWindow(framework::CWnd* parent, int32_t width, int32_t height) {
  if (!RegisterBoxClass()) return 0;
  constexpr platform::DWORD kStyle =
      platform::WS_CHILD | platform::WS_VISIBLE | platform::WS_DISABLED;
  if (!CreateEx(0, kBoxWindowClass, "", kStyle, platform::RECT{}, parent, 0)) return 0;
  anchor_.window = m_hWnd;
  anchor_.parent = parent != nullptr ? parent->m_hWnd : platform::kNoWindow;
  anchor_.width = width;
  anchor_.height = height;
  return 1;
}

bool CBoxWnd::OnEraseBkgnd(framework::CDC* dc) {
  DefWindowProc(platform::WM_ERASEBKGND, reinterpret_cast<platform::WPARAM>(dc->GetSafeHdc()), 0);
  if (bevelInset_ > 0) DrawBevel(*dc);
  return true;
}

// A shadow frame with a highlight inside its top and left edges and one
// along the bottom, so that the box looks pressed in.
void CBoxWnd::DrawBevel(framework::CDC& dc) const {
  platform::RECT client;
  GetClientRect(&client);
  const platform::RECT r{client.left + bevelInset_, client.top + bevelInset_,
                         client.right - bevelInset_, client.bottom - bevelInset_};
  dc.FrameRect(r, platform::GetSysColorBrush(platform::COLOR_BTNSHADOW));
  platform::UniquePen highlight = platform::CreatePen(
      platform::PS_SOLID, 1, platform::GetSysColor(platform::COLOR_BTNHIGHLIGHT));
  const platform::HPEN previous = platform::SelectObject(dc.GetSafeHdc(), highlight.get());
  dc.MoveTo(r.left + 1, r.bottom - 2);
  dc.LineTo(r.left + 1, r.top + 1);
  dc.LineTo(r.right - 1, r.top + 1);
  dc.MoveTo(r.left, r.bottom);
  dc.LineTo(r.right, r.bottom);
  platform::SelectObject(dc.GetSafeHdc(), previous);
}
