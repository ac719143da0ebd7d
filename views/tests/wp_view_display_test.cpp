// The framework view's display records, view mode and zoom, with the
// zoom limit of Windows 9x shown by switching the version the system
// reports.
#include <gtest/gtest.h>

#include "platform/print_dc.h"
#include "platform/system_info.h"
#include "print_fixture.h"
#include "wp_view_fixture.h"

namespace views_test {
namespace {

class WpViewDisplayTest : public WpViewTest {
 protected:
  WpViewDisplayTest() { OpenShown(); }
  ColourRecord EngineColours() {
    ColourRecord colours;
    engine().DisplayCommand(WPC_GET_COLOURS, 0, &colours);
    return colours;
  }
};

TEST_F(WpViewDisplayTest, ZoomTwoAndContinuousViewDropTheVerticalRulerAndSetTheLayoutFlag) {
  struct Case {
    int mode, zoom, vruler;
    int pageView, layoutFlag, shownVruler;
  };
  for (const Case& c : {
           Case{1, 1, 1, 1, 0, 1},
           Case{0, 1, 1, 0, 1, 0},
           Case{1, 2, 1, 0, 1, 0},
           Case{1, 3, 0, 0, 1, 0},
           Case{1, 1, 0, 1, 0, 0},
       }) {
    view_->SetViewMode(c.mode, c.zoom, 1, c.vruler);
    EXPECT_EQ(view_->Surface()->DisplayRecord().pageView, c.pageView) << c.mode << c.zoom;
    EXPECT_EQ(view_->Surface()->DisplayRecord().zoom, c.zoom);
    EXPECT_EQ(view_->Colours().display.zoom, c.zoom);
    EXPECT_EQ(view_->Colours().screenSuppression, c.layoutFlag);
    EXPECT_EQ(EngineColours().display.zoom, c.zoom) << "the engine draws at the zoom";
    EXPECT_EQ(view_->VertRulerVisible(), c.shownVruler);
    EXPECT_EQ(view_->HorzRulerVisible(), 1);
  }
}

TEST_F(WpViewDisplayTest, AScaleChangeKeepsTheSurfaceShownWithTheCaretInView) {
  view_->SetViewScale(1, 2, 1, 1);
  EXPECT_EQ(view_->Surface()->Geometry().zoom, 2);
  EXPECT_TRUE(platform::IsWindowVisible(view_->Surface()->m_hWnd));
  EXPECT_EQ(view_->Surface()->DisplayLines().CaretPage(), 1);
  view_->SetViewScale(1, 0, 1, 1);
  EXPECT_EQ(view_->Surface()->Geometry().zoom, 1) << "below 1 is 1";
}

TEST_F(WpViewDisplayTest, OnlyWindows9xLowersAZoomThatMakesThePageTooLargeToDraw) {
  // A4 at 96 dpi: 1123 pixels down at zoom 1, so zoom 28 is the last below
  // 32512 pixels.
  EXPECT_EQ(view_->LimitZoomForPlatform(40), 40);
  EXPECT_EQ(view_->LimitZoomForPlatform(0), 1);
  platform::ScopedWindowsVersion windows98(4, 10, platform::VER_PLATFORM_WIN32_WINDOWS);
  struct Case {
    int zoom, limited;
  };
  for (const Case& c :
       {Case{1, 1}, Case{-3, 1}, Case{2, 2}, Case{28, 28}, Case{29, 28}, Case{40, 28}}) {
    EXPECT_EQ(view_->LimitZoomForPlatform(c.zoom), c.limited) << c.zoom;
  }
  view_->SetViewScale(1, 30, 1, 1);
  EXPECT_EQ(view_->Surface()->Geometry().zoom, 28);
}

TEST_F(WpViewDisplayTest, ColoursReachTheEngineAndTheSurfaceAndComeBackForPrinting) {
  ViewColourSet set;
  set.colours = DefaultViewColours();
  set.colours.display.background = 0x102030;
  set.colours.display.text = 0x405060;
  set.colours.display.zoom = 0;
  set.pageBorder = 1;
  set.marks = 2;
  set.shadow = 3;
  set.desk = 4;
  view_->SetViewMode(1, 2, 1, 1);
  view_->ApplyColours(set, RulerColourPair{});
  EXPECT_EQ(view_->Colours().display.zoom, 2) << "a zoom of 0 keeps the zoom";
  EXPECT_EQ(view_->Colours().screenSuppression, 1) << "continuous at zoom 2";
  EXPECT_EQ(EngineColours().display.background, 0x102030u);
  EXPECT_EQ(EngineColours().display.text, 0x405060u);
  const EditSurfaceDisplayRecord& shown = view_->Surface()->DisplayRecord();
  EXPECT_EQ(shown.pageView, 0);
  EXPECT_EQ(shown.zoom, 2);
  EXPECT_EQ(shown.paperColour, 0x102030u) << "the background is the paper";
  EXPECT_EQ(shown.borderColour, 1u);
  EXPECT_EQ(shown.markColour, 2u);
  EXPECT_EQ(shown.shadowColour, 3u);
  EXPECT_EQ(shown.deskColour, 4u);

  ViewColourSet saved;
  RulerColourPair rulers;
  view_->SaveDisplayState(&saved, &rulers);
  EXPECT_EQ(saved.colours.display.background, 0x102030u);
  EXPECT_EQ(saved.colours.display.zoom, 2);
  EXPECT_EQ(saved.pageBorder, 1u);
  EXPECT_EQ(saved.desk, 4u);
  view_->SaveDisplayState(nullptr, nullptr);

  view_->SetViewMode(1, 1, 1, 1);
  set.colours.display.zoom = 1;
  view_->ApplyColours(set, RulerColourPair{});
  EXPECT_EQ(view_->Colours().screenSuppression, 0) << "page view at zoom 1";
}

TEST_F(WpViewDisplayTest, PrintingASelectionGivesTheViewItsDisplayBack) {
  ViewColourSet set;
  set.colours = DefaultViewColours();
  set.colours.display.background = 0x0A0B0C;
  set.desk = 0x112233;
  view_->ApplyColours(set, RulerColourPair{});
  engine().EditCommand(WPC_INSERT_TEXT, 1, reinterpret_cast<intptr_t>("printed part"));
  engine().EditCommand(WPC_MOVE_EXTEND, kMoveLineStart, 1);
  ASSERT_NE(engine().EditCommand(WPC_HAS_SELECTION, 0, 0), 0);

  print_test::PageSetupBlocks setup;
  ASSERT_EQ(document_->GetPageSetup(setup.record), 0);
  // The PDF goes beside the document it is named after.
  const std::string name = testing::TempDir() + "selection-with-view.lxc";
  const int pages =
      document_->StartPrintJob(1, platform::kPdfPrinterName, setup.record, name.c_str());
  ASSERT_EQ(pages, 1);
  EXPECT_EQ(document_->PrintPage(1), 0);
  EXPECT_EQ(document_->EndPrintJob(), 0);

  EXPECT_EQ(EngineColours().display.background, 0x0A0B0Cu);
  EXPECT_EQ(view_->Surface()->DisplayRecord().deskColour, 0x112233u);
  EXPECT_NE(engine().EditCommand(WPC_HAS_SELECTION, 0, 0), 0) << "the selection stays";
  std::remove((testing::TempDir() + "selection-with-view.pdf").c_str());
}

TEST_F(WpViewDisplayTest, OptionsAndSpeechOptionsReachTheEngineAndTheSurface) {
  ViewDisplayOptions options;
  options.options = DefaultViewDisplayOptions();
  options.options.pageJumpStep = 9;
  options.enterOption = 1;
  EditSurfaceStyleBlock block;
  block.closeImeAfterComposition = 1;
  view_->ApplyDisplayOptions(options, block);
  DisplayOptionsRecord got;
  engine().EditCommand(WPC_GET_DISPLAY_OPTIONS, 0, reinterpret_cast<intptr_t>(&got));
  EXPECT_EQ(got.pageJumpStep, 9);
  EXPECT_EQ(view_->DisplayOptions().pageJumpStep, 9);
  EXPECT_EQ(view_->Surface()->StyleBlock().enterOption, 1);
  EXPECT_EQ(view_->Surface()->StyleBlock().closeImeAfterComposition, 1);

  SpeechOptions speech;
  speech.soundOn = 0;
  speech.beepMask = 6;
  view_->ApplySpeechOptions(speech);
  SpeechOptions inEngine;
  engine().FeedbackCommand(WPC_GET_SPEECH_OPTIONS, 0, &inEngine);
  EXPECT_EQ(inEngine, speech);
  EXPECT_EQ(view_->Speech(), speech);
}

TEST_F(WpViewDisplayTest, RulerVisibilityIsKeptWhileTheRulersPlacesStayEmpty) {
  platform::MoveWindow(view_->m_hWnd, 0, 0, 300, 200, true);
  const platform::RECT surface = view_->SurfaceAnchor().placed;
  view_->SetRulerVisibility(0, 0);
  EXPECT_EQ(view_->HorzRulerVisible(), 0);
  EXPECT_EQ(view_->VertRulerVisible(), 0);
  EXPECT_EQ(view_->SurfaceAnchor().placed, surface);
  view_->SetRulerVisibility(1, 1);
  EXPECT_EQ(view_->SurfaceAnchor().placed, surface);
}

}  // namespace
}  // namespace views_test
