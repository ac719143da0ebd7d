// The framework view's balloon tip: made in the colours that stand out
// against the paper, shown below the caret and hidden when the view
// scrolls, loses the focus or repaints.
#include "platform/texts.h"
#include "platform/window.h"
#include "views/ed_view.h"
#include "views/wp_view.h"

namespace {

// The tip hangs this far below the caret's line.
constexpr int32_t kTipBelowCaret = 5;
constexpr int32_t kTipPointTenths = 90;

// On paper of any colour but black: black on light yellow; on black:
// white on navy.
constexpr platform::COLORREF kBlack = 0x000000;
constexpr platform::COLORREF kWhite = 0xFFFFFF;
constexpr platform::COLORREF kLightYellow = 0x80FFFF;
constexpr platform::COLORREF kNavy = 0x800000;

}  // namespace

bool CVedWpView::TipShown() const {
  return tip_ != nullptr && tip_->m_hWnd != platform::kNoWindow &&
         platform::IsWindowVisible(tip_->m_hWnd);
}

void CVedWpView::CreateTipWindow() {
  DestroyTipWindow();
  tipFace_ = TipFaceOf(platform::kFaceMsGothic);
  tipPointTenths_ = kTipPointTenths;
  const bool blackPaper = colours_.display.background == kBlack;
  tipTextColour_ = blackPaper ? kWhite : kBlack;
  tipBackColour_ = blackPaper ? kNavy : kLightYellow;
  tipBorderColour_ = blackPaper ? kWhite : kBlack;
  tip_ = std::make_unique<CTipBalloonWnd>();
  tipPlaced_ = 0;
}

void CVedWpView::DestroyTipWindow() {
  if (TipShown()) tip_->Hide();
  tip_.reset();
  tipPlaced_ = 0;
}

int CVedWpView::ShowTip(const char* text) {
  if (tip_ == nullptr) return 0;
  if (TipShown()) tip_->Hide();
  if (tip_->Create(this, text, tipTextColour_, tipBackColour_, tipBorderColour_, tipFace_.data(),
                   tipPointTenths_) == 0) {
    return 0;
  }
  PlaceTipAtCaret(0);
  return 1;
}

void CVedWpView::PlaceTipAtCaret(int skip) {
  platform::RECT caret;
  if (tip_ == nullptr || skip != 0 || surface_->GetCaretWindowRect(&caret) == 0) return;
  platform::POINT corner{caret.left, caret.bottom + kTipBelowCaret};
  platform::ClientToScreen(surface_->m_hWnd, &corner);
  tipPlaced_ = 1;
  tip_->ShowAt(corner.x, corner.y);
}

void CVedWpView::HideTip() {
  tipPlaced_ = 0;
  if (TipShown()) tip_->Hide();
}
