// The framework document: its engine's life and what the view reaches
// through it.
#include "views/wp_doc.h"

#include <gtest/gtest.h>

#include <memory>

#include "engine/tests/doc_root_fixture.h"
#include "engine/wp_commands.h"
#include "platform/window_message.h"

namespace {

class WpDocTest : public ::testing::Test {
 protected:
  doc_root_test::TestEnvironment environment;
};

TEST_F(WpDocTest, OwnsAStartedEngineWithoutADocumentYet) {
  CVedWpDoc document;
  ASSERT_NE(document.GetEngine(), nullptr);
  EXPECT_EQ(document.GetEngine()->IsStarted(), 1);
  EXPECT_EQ(document.GetEngine()->DocumentCommand(WPC_HAS_DOCUMENT, 0, nullptr), 0);
  EXPECT_TRUE(document.OnNewDocument());
  EXPECT_EQ(document.GetEngine()->DocumentCommand(WPC_HAS_DOCUMENT, 0, nullptr), 0);
}

TEST_F(WpDocTest, IsMadeByName) {
  std::unique_ptr<framework::CObject> made(RUNTIME_CLASS(CVedWpDoc)->CreateObject());
  auto* document = dynamic_cast<CVedWpDoc*>(made.get());
  ASSERT_NE(document, nullptr);
  EXPECT_NE(document->GetEngine(), nullptr);
}

TEST_F(WpDocTest, GoingAwayLeavesTypedAheadKeysQueued) {
  doc_root_test::RecordingWindow window;
  auto document = std::make_unique<CVedWpDoc>();
  ASSERT_TRUE(platform::PostMessage(window.handle(), platform::WM_KEYDOWN, 'A', 0));
  ASSERT_TRUE(platform::PostMessage(window.handle(), platform::WM_CHAR, 'a', 0));
  document.reset();
  platform::MSG msg;
  ASSERT_TRUE(platform::PeekMessage(&msg, platform::kNoWindow, 0, 0, platform::PM_REMOVE));
  EXPECT_EQ(msg.message, platform::WM_KEYDOWN);
  ASSERT_TRUE(platform::PeekMessage(&msg, platform::kNoWindow, 0, 0, platform::PM_REMOVE));
  EXPECT_EQ(msg.message, platform::WM_CHAR);
}

}  // namespace
