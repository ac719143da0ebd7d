// The framework view's display records, view mode, zoom and rulers.
#include "engine/doc_style.h"
#include "engine/wp_commands.h"
#include "engine/wp_ctrl.h"
#include "platform/gdi.h"
#include "platform/muldiv.h"
#include "platform/paint.h"
#include "platform/system_info.h"
#include "platform/window.h"
#include "views/ed_view.h"
#include "views/wp_view.h"

namespace {

constexpr int32_t kTenthMmPerInch = 254;
// Windows 9x draws nothing beyond 16-bit coordinates; a page is kept
// below this many pixels across and down.
constexpr int32_t kLargestPagePixels = 0x7F00;
// From this zoom on pages are shown continuously, without a vertical ruler.
constexpr int kContinuousZoom = 2;

bool RunsOnWindows9x() {
  platform::OSVERSIONINFOA version;
  version.dwOSVersionInfoSize = sizeof version;
  return platform::GetVersionExA(&version) &&
         version.dwPlatformId == platform::VER_PLATFORM_WIN32_WINDOWS;
}

void RedrawNow(platform::HWND window) {
  platform::RedrawWindow(window, nullptr, 0,
                         platform::RDW_INVALIDATE | platform::RDW_ERASE | platform::RDW_UPDATENOW);
}

}  // namespace

// ---- Display records

void CVedWpView::ApplyColours(const ViewColourSet& colours, const RulerColourPair&) {
  const uint8_t zoom =
      colours.colours.display.zoom != 0 ? colours.colours.display.zoom : colours_.display.zoom;
  colours_ = colours.colours;
  colours_.display.zoom = zoom;
  const EditSurfaceDisplayRecord& shown = surface_->DisplayRecord();
  colours_.screenSuppression = LayoutFlagFor(shown.pageView, zoom);
  const EditSurfaceDisplayRecord record{
      shown.pageView, shown.zoom,  colours_.display.background, colours.pageBorder, colours.marks,
      colours.shadow, colours.desk};
  if (engine_ != nullptr) engine_->DisplayCommand(WPC_SET_COLOURS, 0, &colours_);
  surface_->SetDisplayRecord(record);
  if (surface_->Engine() != nullptr) RedrawNow(surface_->m_hWnd);
}

void CVedWpView::ApplyDisplayOptions(const ViewDisplayOptions& options,
                                     const EditSurfaceStyleBlock& block) {
  displayOptions_ = options.options;
  reconversion_ = options.reconversion;
  EngineEdit(WPC_SET_DISPLAY_OPTIONS, 0, reinterpret_cast<intptr_t>(&displayOptions_));
  EditSurfaceStyleBlock surfaceBlock = block;
  surfaceBlock.enterOption = options.enterOption;
  surface_->SetStyleBlock(surfaceBlock);
  if (surface_->m_hWnd != platform::kNoWindow) RedrawNow(surface_->m_hWnd);
}

void CVedWpView::ApplySpeechOptions(const SpeechOptions& options) {
  speech_ = options;
  if (engine_ != nullptr) engine_->FeedbackCommand(WPC_SET_SPEECH_OPTIONS, 0, &speech_);
}

void CVedWpView::SaveDisplayState(ViewColourSet* colours, RulerColourPair*) {
  if (colours == nullptr) return;
  if (engine_ != nullptr) engine_->DisplayCommand(WPC_GET_COLOURS, 0, &colours->colours);
  const EditSurfaceDisplayRecord& shown = surface_->DisplayRecord();
  colours->pageBorder = shown.borderColour;
  colours->marks = shown.markColour;
  colours->shadow = shown.shadowColour;
  colours->desk = shown.deskColour;
}

// ---- View mode, zoom and rulers

void CVedWpView::SetViewScale(int mode, int zoom, int hruler, int vruler) {
  SetViewMode(mode, LimitZoomForPlatform(zoom), hruler, vruler);
  if (surface_->m_hWnd == platform::kNoWindow) return;
  platform::ShowWindow(surface_->m_hWnd, platform::SW_HIDE);
  CaretChanged(0, nullptr);
  platform::ShowWindow(surface_->m_hWnd, platform::SW_SHOW);
}

void CVedWpView::SetViewMode(int mode, int zoom, int hruler, int vruler) {
  if (zoom >= kContinuousZoom) mode = 0;
  // Continuous view has no vertical ruler.
  if (mode == 0) vruler = 0;
  colours_.screenSuppression = LayoutFlagFor(mode, zoom);
  const EditSurfaceDisplayRecord& shown = surface_->DisplayRecord();
  if (shown.pageView != mode || shown.zoom != zoom) ApplyZoomAndMode(mode, zoom);
  SetRulerVisibility(hruler, vruler);
}

void CVedWpView::ApplyZoomAndMode(int mode, int zoom) {
  colours_.display.zoom = static_cast<uint8_t>(zoom);
  if (engine_ != nullptr) engine_->DisplayCommand(WPC_SET_COLOURS, 0, &colours_);
  EditSurfaceDisplayRecord record = surface_->DisplayRecord();
  record.pageView = mode;
  record.zoom = zoom;
  surface_->SetDisplayRecord(record);
}

int CVedWpView::LimitZoomForPlatform(int zoom) {
  if (zoom <= 1) return 1;
  if (!RunsOnWindows9x() || engine_ == nullptr) return zoom;
  DocStyle style;
  engine_->StyleCommand(WPC_GET_APPLIED_DOCSTYLE, nullptr, &style);
  const platform::HDC screen = platform::GetDesktopDC();
  const int32_t dpiX = platform::GetDeviceCaps(screen, platform::LOGPIXELSX);
  const int32_t dpiY = platform::GetDeviceCaps(screen, platform::LOGPIXELSY);
  auto tooLarge = [&](int z) {
    return platform::MulDiv(z * style.paperWidth, dpiX, kTenthMmPerInch) > kLargestPagePixels ||
           platform::MulDiv(z * style.paperHeight, dpiY, kTenthMmPerInch) > kLargestPagePixels;
  };
  while (zoom > 1 && tooLarge(zoom)) --zoom;
  return zoom;
}
