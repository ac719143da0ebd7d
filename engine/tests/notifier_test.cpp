#include "engine/notifier.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

using platform::LRESULT;
using platform::UINT;

class NotifierTest : public ::testing::Test {
 protected:
  NotifierTest() {
    platform::ResetWindowMessages();
    window = platform::CreateWindowHandle(
        [this](platform::HWND, UINT message, platform::WPARAM, platform::LPARAM) -> LRESULT {
          received.push_back(message);
          return message == WM_WPC_BEFOREDRAW ? 1 : 7;
        });
  }
  ~NotifierTest() override { platform::ResetWindowMessages(); }

  platform::HWND window;
  std::vector<UINT> received;
};

TEST_F(NotifierTest, SendsOnlyItsOwnMessagesThroughItsMask) {
  CVedNotifier engine = MakeEngineNotifier();
  EXPECT_EQ(engine.Notify(WM_WPC_CARETMOVED, 0, 0), 0);  // no window yet
  engine.SetWindow(window);
  EXPECT_EQ(engine.SetMask(kNotifyAll), 0u);
  EXPECT_EQ(engine.Notify(WM_WPC_CONTENTCHANGED, 0, 0), 7);
  EXPECT_EQ(engine.Notify(WM_WPC_SELSTARTED, 0, 0), 0);  // the document root's
  EXPECT_EQ(engine.SetMask(0x1), kNotifyAll);
  engine.Notify(WM_WPC_CONTENTCHANGED, 0, 0);
  engine.Notify(WM_WPC_CARETMOVED, 0, 0);
  EXPECT_EQ(received, (std::vector<UINT>{WM_WPC_CONTENTCHANGED, WM_WPC_CARETMOVED}));
}

TEST_F(NotifierTest, TheRedrawGateHoldsBackOnlyCaretAndContentMessages) {
  CVedNotifier engine = MakeEngineNotifier();
  engine.SetWindow(window);
  engine.SetMask(kNotifyAll);
  engine.SetRedrawGate(0);
  engine.Notify(WM_WPC_CARETMOVED, 0, 0);
  engine.Notify(WM_WPC_CONTENTCHANGED, 0, 0);
  engine.Notify(WM_WPC_STOPPED, 0, 0);
  EXPECT_EQ(received, (std::vector<UINT>{WM_WPC_STOPPED}));
}

TEST_F(NotifierTest, TheDocumentRootNeverSendsTheEnginesMessages) {
  CVedNotifier root = MakeDocumentNotifier();
  root.SetWindow(window);
  root.SetMask(kNotifyAll & ~kEngineOnlyMask);
  EXPECT_EQ(root.GetMask(), 0xFFFFEFFCu);
  root.Notify(WM_WPC_CARETMOVED, 0, 0);
  root.Notify(WM_WPC_CONTENTLOADED, 0, 0);
  root.Notify(WM_WPC_SELSTARTED, 0, 0);
  EXPECT_EQ(root.Notify(WM_WPC_BEFOREDRAW, 0, 0), 1);  // the reply reaches the sender
  EXPECT_EQ(received, (std::vector<UINT>{WM_WPC_SELSTARTED, WM_WPC_BEFOREDRAW}));
}

TEST_F(NotifierTest, AQuietStretchRestoresTheMaskOnEveryPath) {
  CVedNotifier engine = MakeEngineNotifier();
  engine.SetWindow(window);
  engine.SetMask(kNotifyAll);
  {
    ScopedQuietNotifier quiet(engine, 0x1 | 0x2);
    engine.Notify(WM_WPC_CARETMOVED, 0, 0);
    EXPECT_EQ(engine.GetMask(), kNotifyAll & ~3u);
  }
  EXPECT_EQ(engine.GetMask(), kNotifyAll);
  EXPECT_TRUE(received.empty());
}

}  // namespace
