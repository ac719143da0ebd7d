#include "engine/wp_ctrl.h"

#include <gtest/gtest.h>

#include "doc_root_fixture.h"
#include "engine/notifier.h"
#include "engine/wp_commands.h"

namespace doc_root_test {
namespace {

class WpCtrlTest : public ::testing::Test {
 protected:
  TestEnvironment environment_;
  RecordingWindow window_;
  CVedWpCtrl engine_;

  void Listen(uint32_t mask = kNotifyAll) {
    engine_.NotifyCommand(WPC_SET_NOTIFY_WINDOW, window_.handle());
    engine_.NotifyCommand(WPC_SET_NOTIFY_MASK, static_cast<int32_t>(mask));
  }
};

TEST_F(WpCtrlTest, StartMakesTheDocumentOnceAndStopTellsTheWindow) {
  EXPECT_EQ(engine_.IsStarted(), 0);
  EXPECT_EQ(engine_.DocumentRoot(), nullptr);
  ASSERT_EQ(engine_.Start(), 1);
  CDocBunsObj* root = engine_.DocumentRoot();
  ASSERT_NE(root, nullptr);
  EXPECT_NE(engine_.PageTable(), nullptr);
  EXPECT_NE(engine_.ReferenceDC(), nullptr);

  EXPECT_EQ(engine_.Start(), 1);
  EXPECT_EQ(engine_.DocumentRoot(), root) << "a second start must create nothing new";

  Listen();
  EXPECT_EQ(engine_.Stop(), 1);
  EXPECT_EQ(engine_.DocumentRoot(), nullptr);
  EXPECT_EQ(engine_.ReferenceDC(), nullptr);
  EXPECT_EQ(window_.Sequence(), std::vector<platform::UINT>{WM_WPC_STOPPED});
}

TEST_F(WpCtrlTest, StopWithoutStartStillTellsTheWindow) {
  Listen();
  EXPECT_EQ(engine_.Stop(), 1);
  EXPECT_EQ(window_.Sequence(), std::vector<platform::UINT>{WM_WPC_STOPPED});

  window_.Clear();
  engine_.NotifyCommand(WPC_SET_NOTIFY_MASK, 0);
  EXPECT_EQ(engine_.Stop(), 1);
  EXPECT_TRUE(window_.messages().empty());
}

TEST_F(WpCtrlTest, UnknownCodesAnswerZeroInEveryDispatcher) {
  ASSERT_EQ(engine_.Start(), 1);
  for (const int code : {0, 1000, 1008, 1999, 2999, 3000, 3999}) {
    EXPECT_EQ(engine_.StyleCommand(code, nullptr, nullptr), 0) << code;
    EXPECT_EQ(engine_.EditCommand(code, 1, 1), 0) << code;
    EXPECT_EQ(engine_.NotifyCommand(code, 1), 0) << code;
    EXPECT_EQ(engine_.TableCommand(code, 1, 1), 0) << code;
  }
}

TEST_F(WpCtrlTest, TheRunningFlagIsSetForEditsOnlyAndGivenBackOnExit) {
  struct Case {
    int group;
    int code;
    int sets;
  };
  const Case cases[] = {
      {1, 3200, 0}, {1, 3201, 1}, {1, 3220, 1}, {1, 3221, 0}, {1, 3500, 0},
      {1, 3501, 1}, {1, 3514, 1}, {1, 3515, 0}, {1, 3001, 0}, {2, 7000, 0},
      {2, 7001, 1}, {2, 7007, 1}, {2, 7008, 0}, {2, 3201, 0}, {1, 7001, 0},
  };
  for (const Case& c : cases) {
    const int previous = engine_.MarkEditRunning(c.group, c.code);
    EXPECT_EQ(previous, 0);
    EXPECT_EQ(engine_.IsEditRunning(), c.sets) << c.group << " " << c.code;
    engine_.EndEditRunning(previous);
    EXPECT_EQ(engine_.IsEditRunning(), 0);
  }
}

TEST_F(WpCtrlTest, AQueryFromAHandlerInsideAnEditSeesTheFlagAndLeavesItSet) {
  ASSERT_EQ(engine_.Start(), 1);
  const int previous = engine_.MarkEditRunning(1, WPC_INSERT_TEXT);
  EXPECT_EQ(engine_.EditCommand(WPC_IS_EDIT_RUNNING, 0, 0), 1);
  EXPECT_EQ(engine_.TableCommand(WPC_GET_TABLE_ROWS, 0, 0), 0);
  EXPECT_EQ(engine_.IsEditRunning(), 1) << "the edit that is still running keeps its guard";
  engine_.EndEditRunning(previous);
  EXPECT_EQ(engine_.IsEditRunning(), 0);
}

TEST_F(WpCtrlTest, TheOwnReferenceDcGoesAndAGivenOneIsNotOwned) {
  auto given = platform::CreateImageDC(4, 4);
  engine_.StyleCommand(WPC_SET_REFDC, given.get(), nullptr);
  EXPECT_EQ(engine_.StyleCommand(WPC_GET_REFDC, nullptr, nullptr),
            reinterpret_cast<intptr_t>(given.get()));
  engine_.StyleCommand(WPC_SET_REFDC, nullptr, nullptr);
  EXPECT_NE(engine_.ReferenceDC(), nullptr);
  EXPECT_NE(engine_.ReferenceDC(), given.get());
  engine_.SetReferenceDC(0, nullptr);
  EXPECT_EQ(engine_.ReferenceDC(), nullptr);
}

TEST_F(WpCtrlTest, ThePendingStyleIsKeptUntilAsked) {
  DocStyle style;
  style.charPitch = 130;
  style.linePitch = 350;
  EXPECT_EQ(engine_.StyleCommand(WPC_SET_DOCSTYLE, nullptr, &style), 0);
  DocStyle back;
  engine_.StyleCommand(WPC_GET_DOCSTYLE, nullptr, &back);
  EXPECT_EQ(EncodeDocStyle(back), EncodeDocStyle(style));
  engine_.StyleCommand(WPC_GET_APPLIED_DOCSTYLE, nullptr, &back);
  EXPECT_EQ(EncodeDocStyle(back), EncodeDocStyle(DocStyle{}));
}

}  // namespace
}  // namespace doc_root_test
