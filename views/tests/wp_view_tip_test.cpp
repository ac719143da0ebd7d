// The framework view's balloon tip: its colours against the paper, its
// place below the caret, and what hides it.
#include <gtest/gtest.h>

#include <memory>
#include <string_view>
#include <vector>

#include "platform/font_service.h"
#include "platform/paint.h"
#include "platform/synthetic_fonts.h"
#include "platform/texts.h"
#include "wp_view_fixture.h"

namespace views_test {
namespace {

constexpr char kTipText[] = "\x83\x71\x83\x93\x83\x67";  // ヒント

// The tip's face, served by the synthetic fixed face.
class GothicFontService final : public platform::FontService {
 public:
  GothicFontService() : faces_(synthetic_.Faces()) {
    faces_.push_back({platform::kFaceMsGothic, platform::SHIFTJIS_CHARSET, platform::FIXED_PITCH});
  }
  const std::vector<platform::FaceDescription>& Faces() const override { return faces_; }
  std::shared_ptr<const platform::FontFace> Open(std::string_view name) const override {
    return synthetic_.Open(name == platform::kFaceMsGothic ? platform::kSyntheticFixedFace : name);
  }

 private:
  platform::SyntheticFontService synthetic_;
  std::vector<platform::FaceDescription> faces_;
};

class WpViewTipTest : public WpViewTest {
 protected:
  WpViewTipTest() {
    OpenShown();
    platform::MoveWindow(view_->m_hWnd, 0, 0, 600, 400, true);
    Pump();
  }
  GothicFontService gothic_;
  platform::ScopedFontService useGothic_{gothic_};

  bool TipVisible() const {
    return view_->Tip() != nullptr && platform::IsWindowVisible(view_->Tip()->m_hWnd);
  }
  void Erase() {
    platform::InvalidateRect(view_->m_hWnd, nullptr, true);
    platform::UpdateWindow(view_->m_hWnd);
  }
};

TEST_F(WpViewTipTest, TheTipStandsOutAgainstThePaper) {
  view_->CreateTipWindow();
  ASSERT_NE(view_->Tip(), nullptr);
  ASSERT_EQ(view_->ShowTip(kTipText), 1);
  EXPECT_EQ(view_->Tip()->Style().textColour, 0x000000u);
  EXPECT_EQ(view_->Tip()->Style().backColour, 0x80FFFFu);
  EXPECT_EQ(view_->Tip()->Style().borderColour, 0x000000u);
  EXPECT_EQ(view_->Tip()->Style().pointTenths, 90);

  ViewColourSet black;
  black.colours = DefaultViewColours();
  black.colours.display.background = 0x000000;
  view_->ApplyColours(black, RulerColourPair{});
  view_->CreateTipWindow();
  ASSERT_EQ(view_->ShowTip(kTipText), 1);
  EXPECT_EQ(view_->Tip()->Style().textColour, 0xFFFFFFu);
  EXPECT_EQ(view_->Tip()->Style().backColour, 0x800000u);
  EXPECT_EQ(view_->Tip()->Style().borderColour, 0xFFFFFFu);
}

TEST_F(WpViewTipTest, TheTipHangsBelowTheCaretAndOutlivesOnlyTheNextErase) {
  view_->CreateTipWindow();
  ASSERT_EQ(view_->ShowTip(kTipText), 1);
  ASSERT_TRUE(TipVisible());
  platform::RECT caret;
  ASSERT_NE(view_->Surface()->GetCaretWindowRect(&caret), 0);
  platform::POINT expected{caret.left, caret.bottom + 5};
  platform::ClientToScreen(view_->Surface()->m_hWnd, &expected);
  platform::RECT tip;
  platform::GetWindowRect(view_->Tip()->m_hWnd, &tip);
  EXPECT_EQ(tip.left, expected.x);
  EXPECT_EQ(tip.top, expected.y);
  EXPECT_EQ(view_->TipPlaced(), 1);
  Erase();
  EXPECT_TRUE(TipVisible()) << "the erase right after placing leaves the tip";
  EXPECT_EQ(view_->TipPlaced(), 0);
  Erase();
  EXPECT_FALSE(TipVisible());
}

TEST_F(WpViewTipTest, ACaretMoveAScrollAndFocusLossHideTheTip) {
  view_->CreateTipWindow();
  view_->ShowTip(kTipText);
  engine().EditCommand(WPC_INSERT_TEXT, 1, reinterpret_cast<intptr_t>("\x82\xA0"));
  EXPECT_FALSE(TipVisible()) << "caret moved";
  view_->ShowTip(kTipText);
  view_->SendMessage(platform::WM_VSCROLL, 0, 0);
  EXPECT_FALSE(TipVisible()) << "scrolled";
  view_->ShowTip(kTipText);
  platform::SetFocus(view_->m_hWnd);
  platform::SetFocus(main_->m_hWnd);
  EXPECT_FALSE(TipVisible()) << "focus lost";
  view_->ShowTip(kTipText);
  view_->DestroyTipWindow();
  EXPECT_EQ(view_->Tip(), nullptr);
  EXPECT_EQ(view_->ShowTip(kTipText), 0) << "no tip window";
  view_->PlaceTipAtCaret(0);
  view_->HideTip();
}

}  // namespace
}  // namespace views_test
