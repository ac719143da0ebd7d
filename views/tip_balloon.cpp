#include "views/tip_balloon.h"

#include <algorithm>
#include <string_view>

#include "framework/dc.h"
#include "framework/wnd_class.h"
#include "platform/input.h"
#include "platform/system_info.h"
#include "platform/window.h"

using framework::CWnd;

IMPLEMENT_DYNAMIC(CTipBalloonWnd, CWnd)

// clang-format off
BEGIN_MESSAGE_MAP(CTipBalloonWnd, CWnd)
  framework::OnMessage<platform::WM_CREATE>(&CTipBalloonWnd::OnCreate),
  framework::OnMessage<platform::WM_PAINT>(&CTipBalloonWnd::OnPaint),
END_MESSAGE_MAP()
    // clang-format on

    namespace {
  // The window is the text's size plus room for the pointer on the left and
  // a rim: 40 across, 10 down.
  constexpr int32_t kExtraWidth = 40;
  constexpr int32_t kExtraHeight = 10;
  // The body starts right of the pointer's tip and has rounded corners.
  constexpr int32_t kBodyLeft = 10;
  constexpr int32_t kCornerEllipse = 8;
  // The pointer: from its tip at the left edge, 10 above the middle, to a
  // base 15 to the right, from 5 above the middle to 5 below.
  constexpr int32_t kPointerTipAbove = 10;
  constexpr int32_t kPointerBaseX = 15;
  constexpr int32_t kPointerBaseHalf = 5;
  constexpr int32_t kBorderPixels = 1;
  // Where the text starts inside the client rectangle.
  constexpr int32_t kTextLeft = 10;
  constexpr int32_t kTextTop = 5;

}  // namespace

CTipBalloonWnd::~CTipBalloonWnd() { Reset(); }

int CTipBalloonWnd::Create(CWnd* parent, const char* text, platform::COLORREF textColour,
                           platform::COLORREF backColour, platform::COLORREF borderColour,
                           const char* face, int32_t pointTenths) {
  if (m_hWnd != platform::kNoWindow) DestroyWindow();
  style_.textColour = textColour;
  style_.backColour = backColour;
  style_.borderColour = borderColour;
  style_.face = TipFaceOf(face);
  style_.pointTenths = pointTenths;
  font_.DeleteObject();
  font_.CreatePointFont(style_.pointTenths, style_.face.data());
  text_ = text;
  const platform::SIZE size = MeasureText();
  const char* className = framework::AfxRegisterWndClass(0);
  if (size.cx == 0 || size.cy == 0 || className == nullptr ||
      !CreateEx(0, className, "", platform::WS_POPUP,
                platform::RECT{0, 0, size.cx + kExtraWidth, size.cy + kExtraHeight}, parent, 0)) {
    ResetStyle();
    return 0;
  }
  return 1;
}

platform::SIZE CTipBalloonWnd::MeasureText() {
  const platform::UniqueDC memory = platform::CreateCompatibleDC(platform::GetDesktopDC());
  framework::CDC dc(memory.get());
  dc.SetTextCharacterExtra(0);
  if (font_.GetSafeHandle() == nullptr) return platform::SIZE{};
  dc.SelectObject(&font_);
  const std::string_view text(text_.GetString(), static_cast<size_t>(text_.GetLength()));
  platform::SIZE total;
  for (size_t start = 0; start <= text.size();) {
    const size_t feed = std::min(text.find('\n', start), text.size());
    const platform::SIZE line =
        dc.GetTextExtent(text.data() + start, static_cast<int32_t>(feed - start));
    total.cx = std::max(total.cx, line.cx);
    total.cy += line.cy;
    start = feed + 1;
  }
  return total;
}

int CTipBalloonWnd::OnCreate(const platform::CREATESTRUCT* cs) {
  if (DefWindowProc(platform::WM_CREATE, 0, reinterpret_cast<platform::LPARAM>(cs)) == -1) {
    return -1;
  }
  platform::RECT client;
  GetClientRect(&client);
  if (!BuildShape(client)) {
    DropShape();
    return -1;
  }
  platform::UniqueRegion windowShape = platform::CreateRectRgn(0, 0, 0, 0);
  if (windowShape == nullptr || platform::CombineRgn(windowShape.get(), shape_.get(), nullptr,
                                                     platform::RGN_COPY) == platform::ERROR) {
    DropShape();
    return -1;
  }
  platform::SetWindowRgn(m_hWnd, std::move(windowShape), true);
  return 0;
}

bool CTipBalloonWnd::BuildShape(const platform::RECT& client) {
  const int32_t middle = client.bottom / 2;
  body_ = platform::CreateRoundRectRgn(client.left + kBodyLeft, client.top, client.right,
                                       client.bottom, kCornerEllipse, kCornerEllipse);
  const platform::POINT pointer[] = {
      {client.left, middle - kPointerTipAbove},
      {client.left + kPointerBaseX, middle - kPointerBaseHalf},
      {client.left + kPointerBaseX, middle + kPointerBaseHalf},
  };
  pointer_ = platform::CreatePolygonRgn(pointer, 3, platform::ALTERNATE);
  shape_ = platform::CreateRectRgn(0, 0, 0, 0);
  return body_ != nullptr && pointer_ != nullptr && shape_ != nullptr &&
         platform::CombineRgn(shape_.get(), body_.get(), pointer_.get(), platform::RGN_OR) !=
             platform::ERROR;
}

void CTipBalloonWnd::OnPaint() {
  framework::CPaintDC dc(this);
  if (shape_ != nullptr) {
    const platform::UniqueBrush back = platform::CreateSolidBrush(style_.backColour);
    const platform::UniqueBrush border = platform::CreateSolidBrush(style_.borderColour);
    platform::FillRgn(dc, shape_.get(), back.get());
    platform::FrameRgn(dc, shape_.get(), border.get(), kBorderPixels, kBorderPixels);
  }
  platform::RECT client;
  GetClientRect(&client);
  client.left += kTextLeft;
  client.top += kTextTop;
  dc.SetBkMode(platform::TRANSPARENT);
  dc.SetTextColor(style_.textColour);
  dc.SelectObject(&font_);
  dc.DrawText(text_.GetString(), text_.GetLength(), &client, platform::DT_CENTER);
}

void CTipBalloonWnd::ShowAt(int32_t x, int32_t y) {
  if (m_hWnd == platform::kNoWindow) return;
  platform::RECT client;
  GetClientRect(&client);
  x = std::min(x, platform::GetSystemMetrics(platform::SM_CXSCREEN) - client.right);
  y = std::min(y, platform::GetSystemMetrics(platform::SM_CYSCREEN) - client.bottom);
  x = std::max(x, 0);
  y = std::max(y, 0);
  platform::SetWindowPos(m_hWnd, platform::HWND_TOP, x, y, 0, 0,
                         platform::SWP_NOSIZE | platform::SWP_NOACTIVATE);
  if (!platform::IsWindowVisible(m_hWnd)) ShowWindow(platform::SW_SHOWNOACTIVATE);
}

void CTipBalloonWnd::Hide() {
  if (m_hWnd != platform::kNoWindow && platform::IsWindowVisible(m_hWnd)) {
    ShowWindow(platform::SW_HIDE);
  }
}

void CTipBalloonWnd::Reset() {
  ResetStyle();
  if (m_hWnd != platform::kNoWindow) DestroyWindow();
}

void CTipBalloonWnd::ResetStyle() {
  style_ = TipStyle{};
  font_.DeleteObject();
  text_.Empty();
  DropShape();
}

void CTipBalloonWnd::DropShape() {
  body_.reset();
  pointer_.reset();
  shape_.reset();
}

// A click on the tip leaves the activation, and the focus, where they are.
platform::LRESULT CTipBalloonWnd::WindowProc(platform::UINT message, platform::WPARAM wParam,
                                             platform::LPARAM lParam) {
  if (message == platform::WM_MOUSEACTIVATE) return platform::MA_NOACTIVATE;
  return CWnd::WindowProc(message, wParam, lParam);
}
