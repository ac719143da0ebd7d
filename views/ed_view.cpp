// The editing surface's window: its class, creation, the engine and the
// records it is handed, the page metrics and the page bitmap, input
// blocking, the caret keys and the window messages it answers itself.
#include "views/ed_view.h"

#include <algorithm>
#include <array>

#include "engine/doc_root.h"
#include "engine/texts.h"
#include "engine/wp_commands.h"
#include "engine/wp_ctrl.h"
#include "model/text_navigator.h"
#include "platform/caret.h"
#include "platform/clipboard.h"
#include "platform/input.h"
#include "platform/muldiv.h"
#include "platform/paint.h"
#include "platform/system_info.h"

namespace {

using platform::MulDiv;

constexpr int32_t kTenthMmPerInch = 254;
// The page bitmap's shadow (0.5 mm) and corner marks (6 mm) keep their
// unzoomed sizes.
constexpr int32_t kShadowTenthMm = 5;
constexpr int32_t kCornerMarkTenthMm = 60;
constexpr int32_t kBorderWidth = 1;

void Fill(platform::HDC dc, const platform::RECT& rect, platform::COLORREF colour) {
  platform::UniqueBrush brush = platform::CreateSolidBrush(colour);
  platform::FillRect(dc, rect, brush.get());
}

}  // namespace

EditSurfaceDisplayRecord DefaultDisplayRecord() {
  EditSurfaceDisplayRecord record;
  record.paperColour = platform::GetSysColor(platform::COLOR_WINDOW);
  record.borderColour = platform::GetSysColor(platform::COLOR_3DDKSHADOW);
  record.markColour = platform::GetSysColor(platform::COLOR_3DLIGHT);
  record.shadowColour = platform::GetSysColor(platform::COLOR_3DDKSHADOW);
  record.deskColour = platform::GetSysColor(platform::COLOR_APPWORKSPACE);
  return record;
}

using framework::CView;

IMPLEMENT_DYNCREATE(CVedEdView, CView)

// clang-format off
BEGIN_MESSAGE_MAP(CVedEdView, framework::CView)
  framework::OnMessage<platform::WM_ERASEBKGND>(&CVedEdView::OnEraseBkgnd),
  framework::OnMessage<platform::WM_SIZE>(&CVedEdView::OnSize),
  framework::OnMessage<platform::WM_SETFOCUS>(&CVedEdView::OnSetFocus),
  framework::OnMessage<platform::WM_KILLFOCUS>(&CVedEdView::OnKillFocus),
  framework::OnMessage<platform::WM_DESTROY>(&CVedEdView::OnDestroy),
  framework::OnMessage<platform::WM_CHAR>(&CVedEdView::OnChar),
  framework::OnMessage<platform::WM_LBUTTONDOWN>(&CVedEdView::OnLButtonDown),
  framework::OnMessage<platform::WM_MOUSEMOVE>(&CVedEdView::OnMouseMove),
  framework::OnMessage<platform::WM_LBUTTONUP>(&CVedEdView::OnLButtonUp),
  framework::OnMessage<platform::WM_RBUTTONDOWN>(&CVedEdView::OnRButtonDown),
  framework::OnMessage<platform::WM_TIMER>(&CVedEdView::OnTimer),
END_MESSAGE_MAP()
    // clang-format on

    CVedEdView::CVedEdView()
    : display_(DefaultDisplayRecord()) {
  geometry_.pageView = display_.pageView;
  geometry_.zoom = display_.zoom;
}

CVedEdView::~CVedEdView() {
  DropOwnQueuedKeys();
  if (marginCursor_ != 0) platform::DestroyCursor(marginCursor_);
}

// Keys typed into other windows (another document) stay queued for them.
void CVedEdView::DropOwnQueuedKeys() {
  if (geometry_.window == platform::kNoWindow) return;
  platform::MSG msg;
  while (platform::PeekMessage(&msg, geometry_.window, platform::WM_KEYFIRST, platform::WM_KEYLAST,
                               platform::PM_REMOVE)) {
  }
}

int CVedEdView::CreateEditSurfaceWindow(framework::CWnd* parent) {
  if (!platform::GetClassInfo(kEditSurfaceClass, nullptr)) {
    platform::WNDCLASS windowClass;
    windowClass.style =
        platform::CS_VREDRAW | platform::CS_HREDRAW | platform::CS_DBLCLKS | platform::CS_OWNDC;
    windowClass.lpfnWndProc = framework::FrameworkWndProc;
    windowClass.hCursor = platform::LoadCursor(nullptr, platform::IDC_ARROW);
    windowClass.hbrBackground = nullptr;
    windowClass.lpszClassName = kEditSurfaceClass;
    if (platform::RegisterClass(windowClass) == 0) return 0;
  }
  constexpr platform::DWORD kStyle = platform::WS_CHILD | platform::WS_VISIBLE |
                                     platform::WS_CLIPSIBLINGS | platform::WS_CLIPCHILDREN;
  if (!CreateEx(0, kEditSurfaceClass, "", kStyle, platform::RECT{}, parent, 0)) return 0;
  geometry_.window = m_hWnd;
  marginCursor_ =
      platform::CreateCursor(nullptr, kMarginCursorHotX, kMarginCursorHotY, kMarginCursorSize,
                             kMarginCursorSize, MarginCursorAndMask(), MarginCursorXorMask());
  clipboardFormat_ =
      static_cast<uint16_t>(platform::RegisterClipboardFormatA(kClipboardFormatName));
  return 1;
}

platform::HDC CVedEdView::SurfaceDC() const {
  // The class's own DC: the same one for the window's whole life.
  return m_hWnd == platform::kNoWindow ? platform::GetDesktopDC() : platform::GetDC(m_hWnd);
}

void CVedEdView::AttachEngine(CVedWpCtrl* engine, framework::CDocument* document) {
  if (document != nullptr) document->AddView(this);
  document_ = document;
  geometry_.engine = engine;
  if (engine == nullptr) return;
  ComputeMetrics();
  BuildPageBitmap();
  relayoutPending_ = 0;
  TakeClientSize();
  const platform::HDC dc = SurfaceDC();
  lines_.ResetOrigin(dc);
  RebuildSelection();
  const CaretPoint caret = CaretRecord();
  lines_.PlaceCaret(dc, &caret);
  EnableInput();
}

void CVedEdView::SetDisplayRecord(const EditSurfaceDisplayRecord& record) {
  const bool layoutChanged = record.pageView != display_.pageView || record.zoom != display_.zoom;
  display_ = record;
  geometry_.pageView = display_.pageView;
  // A zoom below 1 would divide every pixel length by 0.
  geometry_.zoom = std::max<int32_t>(display_.zoom, 1);
  if (layoutChanged && geometry_.engine != nullptr) {
    ComputeMetrics();
    if (!lines_.Lines().empty()) {
      lines_.ResetOrigin(SurfaceDC());
      RebuildSelection();
    }
  }
  BuildPageBitmap();
}

void CVedEdView::SetStyleBlock(const EditSurfaceStyleBlock& block) { style_ = block; }

void CVedEdView::RefreshAfterLoad() {
  if (geometry_.engine == nullptr) return;
  ComputeMetrics();
  BuildPageBitmap();
  TakeClientSize();
  lines_.ResetOrigin(SurfaceDC());
  RebuildSelection();
  const CaretPoint caret = CaretRecord();
  OnCaretMoved(0, &caret);
}

void CVedEdView::EnableInput() {
  inputBlocked_ = 0;
  platform::POINT at;
  if (platform::GetCursorPos(&at)) platform::SetCursorPos(at.x, at.y);
}

void CVedEdView::DisableInput() {
  // Whoever takes the keys now must not find them typed later.
  InsertGatheredText();
  StopDragScroll();
  inputBlocked_ = 1;
  platform::POINT at;
  if (platform::GetCursorPos(&at)) platform::SetCursorPos(at.x, at.y);
}

CaretPoint CVedEdView::CaretRecord() const {
  CaretPoint caret;
  if (geometry_.engine != nullptr) {
    geometry_.engine->EditCommand(WPC_GET_CARET_RECT, 0, reinterpret_cast<intptr_t>(&caret));
  }
  return caret;
}

void CVedEdView::ComputeMetrics() {
  if (geometry_.engine == nullptr) return;
  DocStyle style;
  geometry_.engine->StyleCommand(WPC_GET_APPLIED_DOCSTYLE, nullptr, &style);
  const auto [dpiX, dpiY] = lines_.GetDpiPair(SurfaceDC());
  geometry_.page = ComputePageMetrics(style, geometry_.zoom, geometry_.pageView, dpiX, dpiY);
}

void CVedEdView::TakeClientSize() {
  const platform::RECT client = ClientRect();
  geometry_.clientWidth = client.Width() + 1;
  geometry_.clientHeight = client.Height() + 1;
}

platform::RECT CVedEdView::ClientRect() const {
  platform::RECT client{};
  if (m_hWnd != platform::kNoWindow) platform::GetClientRect(m_hWnd, &client);
  return client;
}

void CVedEdView::BuildPageBitmap() {
  pageBitmapDC_.reset();
  pageBitmap_.reset();
  pageBitmapRect_ = {};
  if (geometry_.pageView == 0 || geometry_.engine == nullptr) return;
  const platform::HDC surface = SurfaceDC();
  const auto [dpiX, dpiY] = lines_.GetDpiPair(surface);
  const SurfacePageMetrics& page = geometry_.page;
  const int32_t shadowX = MulDiv(kShadowTenthMm, dpiX, kTenthMmPerInch);
  const int32_t shadowY = MulDiv(kShadowTenthMm, dpiY, kTenthMmPerInch);
  const platform::RECT paper{0, 0, page.paperWidth, page.paperHeight};
  const platform::RECT whole{0, 0, paper.right + shadowX, paper.bottom + shadowY};
  platform::UniqueBitmap bitmap =
      platform::CreateCompatibleBitmap(surface, whole.right, whole.bottom);
  if (!bitmap) return;  // painting falls back to the continuous background
  platform::UniqueDC dc = platform::CreateCompatibleDC(surface);
  platform::SelectObject(dc.get(), bitmap.get());
  // The shadow is the page moved right and down; what it leaves at the
  // two far corners is desk.
  Fill(dc.get(), {shadowX, shadowY, whole.right, whole.bottom}, display_.shadowColour);
  Fill(dc.get(), {paper.right, 0, whole.right, shadowY}, display_.deskColour);
  Fill(dc.get(), {0, paper.bottom, shadowX, whole.bottom}, display_.deskColour);
  Fill(dc.get(), paper, display_.paperColour);
  platform::UniqueBrush border = platform::CreateSolidBrush(display_.borderColour);
  platform::FrameRect(dc.get(), paper, border.get());
  // L-shaped marks just outside each corner of the text area, running away
  // from the text.
  const int32_t markX = MulDiv(kCornerMarkTenthMm, dpiX, kTenthMmPerInch);
  const int32_t markY = MulDiv(kCornerMarkTenthMm, dpiY, kTenthMmPerInch);
  const platform::RECT& text = page.textArea;
  platform::UniquePen pen =
      platform::CreatePen(platform::PS_SOLID, kBorderWidth, display_.markColour);
  platform::SelectObject(dc.get(), pen.get());
  struct Corner {
    int32_t x, y, dx, dy;  // the mark's corner pixel and its outward directions
  };
  for (const Corner& c :
       {Corner{text.left - 1, text.top - 1, -1, -1}, Corner{text.right, text.top - 1, 1, -1},
        Corner{text.left - 1, text.bottom, -1, 1}, Corner{text.right, text.bottom, 1, 1}}) {
    platform::MoveToEx(dc.get(), c.x, c.y, nullptr);
    platform::LineTo(dc.get(), c.x + c.dx * markX, c.y);
    platform::MoveToEx(dc.get(), c.x, c.y, nullptr);
    platform::LineTo(dc.get(), c.x, c.y + c.dy * markY);
  }
  pageBitmap_ = std::move(bitmap);
  pageBitmapDC_ = std::move(dc);
  pageBitmapRect_ = whole;
}

void CVedEdView::RelayOut() {
  TakeClientSize();
  if (lines_.Lines().empty()) return;
  const DisplayLine first = lines_.Lines().front();
  lines_.Rebuild(SurfaceDC(), first.xOrigin, first.yOrigin, first.page);
  RebuildSelection();
}

void CVedEdView::RebuildSelection() {
  if (geometry_.engine == nullptr) {
    selection_.Clear();
    return;
  }
  const auto [dpiX, dpiY] = lines_.GetDpiPair(SurfaceDC());
  selection_.Build(*geometry_.engine, lines_.Lines(), geometry_.zoom, dpiX, dpiY);
}

// ---- Messages

bool CVedEdView::OnEraseBkgnd(framework::CDC*) { return true; }

void CVedEdView::OnSize(platform::UINT, int, int) { relayoutPending_ = 1; }

void CVedEdView::OnSetFocus(framework::CWnd*) {
  if (lines_.Lines().empty()) return;
  lines_.PlaceCaret(SurfaceDC(), nullptr);
  lines_.ShowCaret();
}

void CVedEdView::OnKillFocus(framework::CWnd*) {
  // The focus may go to another document; what was typed here goes in here.
  InsertGatheredText();
  lines_.DestroyCaret();
}

void CVedEdView::OnDestroy() {
  InsertGatheredText();
  StopDragScroll();
  CView::OnDestroy();
}

platform::LRESULT CVedEdView::OnMouseActivate() {
  if (platform::GetFocus() != m_hWnd) {
    const platform::HWND parent = platform::GetParent(m_hWnd);
    if (parent != platform::kNoWindow) platform::SetFocus(parent);
  }
  return platform::MA_NOACTIVATE;
}

platform::LRESULT CVedEdView::WindowProc(platform::UINT message, platform::WPARAM wParam,
                                         platform::LPARAM lParam) {
  switch (message) {
    case platform::WM_MOUSEACTIVATE:
      return OnMouseActivate();
    case platform::WM_MOUSEWHEEL:
      return OnMouseWheel(static_cast<platform::UINT>(platform::LowWord(wParam)),
                          static_cast<int16_t>(platform::HighWord(wParam)));
    case WM_SURFACE_RESTORE_COMPOSITION:
      // Nothing of a composition is ever put aside yet.
      return 0;
    case WM_SURFACE_TAKE_FOCUS:
      OnTakeFocus(wParam);
      return 0;
    case platform::WM_SETCURSOR:
      if (platform::LowWord(lParam) == platform::HTCLIENT && OnSetCursor(platform::HTCLIENT)) {
        return 1;
      }
      break;
    default:
      break;
  }
  return framework::CView::WindowProc(message, wParam, lParam);
}
