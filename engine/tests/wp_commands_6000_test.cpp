// The notification commands as the view sets itself up as the engine's
// listener: which window hears the engine and the document root, and
// which of their messages, phrases and cues it hears.
#include <gtest/gtest.h>

#include <vector>

#include "engine/notifier.h"
#include "engine/wp_commands.h"
#include "engine/wp_ctrl.h"
#include "speech/edit_feedback.h"
#include "wp_ctrl_fixture.h"

namespace doc_root_test {
namespace {

class NotifyCommandTest : public WpCtrlFixture {
 protected:
  int Notify(int code, intptr_t arg = 0) { return engine.NotifyCommand(code, arg); }
  // Typing, then a caret move, then range marking started and cancelled.
  void TypeMoveAndMark() {
    Type("ab");
    engine.EditCommand(WPC_MOVE, kMovePrevChar, 1);
    engine.EditCommand(WPC_BEGIN_MARKING, 0, 0);
    engine.EditCommand(WPC_END_MARKING, 0, 0);
  }
};

TEST_F(NotifyCommandTest, AnotherWindowTakesOverFromTheEngineAndTheDocumentRoot) {
  RecordingWindow other;
  EXPECT_EQ(Notify(WPC_GET_NOTIFY_WINDOW), static_cast<int>(window.handle()));
  EXPECT_EQ(Notify(WPC_SET_NOTIFY_WINDOW, other.handle()), static_cast<int>(window.handle()))
      << "the document root's previous window";
  EXPECT_EQ(Notify(WPC_GET_NOTIFY_WINDOW), static_cast<int>(other.handle()));
  TypeMoveAndMark();
  EXPECT_TRUE(window.messages().empty());
  EXPECT_GT(other.Count(WM_WPC_CONTENTCHANGED), 0u);
  EXPECT_GT(other.Count(WM_WPC_CARETMOVED), 0u);
  EXPECT_EQ(other.Count(WM_WPC_MARKSTART), 1u);
  EXPECT_FALSE(other.Spoken().empty());

  // No window: nobody hears anything, and nothing breaks.
  EXPECT_EQ(Notify(WPC_SET_NOTIFY_WINDOW, platform::kNoWindow), static_cast<int>(other.handle()));
  other.Clear();
  TypeMoveAndMark();
  EXPECT_TRUE(other.messages().empty());
  EXPECT_TRUE(window.messages().empty());
  EXPECT_EQ(DocumentText(), "aabb");
}

TEST_F(NotifyCommandTest, TheMaskChoosesWhatTheWindowHears) {
  const uint32_t caret = NotifyMaskBit(WM_WPC_CARETMOVED);
  const uint32_t content = NotifyMaskBit(WM_WPC_CONTENTCHANGED);
  const uint32_t marking = NotifyMaskBit(WM_WPC_MARKSTART) | NotifyMaskBit(WM_WPC_MARKEND);
  struct Case {
    const char* name;
    uint32_t mask;
    bool hearsContent;
    bool hearsCaret;
    bool hearsMarking;
    bool hearsSpeech;
    bool hearsCues;
  };
  const Case cases[] = {
      {"everything", kNotifyAll, true, true, true, true, true},
      {"nothing", 0, false, false, false, false, false},
      {"the caret", caret, false, true, false, false, false},
      {"the content", content, true, false, false, false, false},
      {"range marking", marking, false, false, true, false, false},
      {"phrases", kHookSpeech, false, false, false, true, false},
      {"cues", kHookCues, false, false, false, false, true},
  };
  for (const Case& c : cases) {
    engine.DocumentCommand(WPC_NEW_DOCUMENT, 0, nullptr);
    Notify(WPC_SET_NOTIFY_MASK, static_cast<int32_t>(c.mask));
    EXPECT_EQ(static_cast<uint32_t>(Notify(WPC_GET_NOTIFY_MASK)), c.mask) << c.name;
    window.Clear();
    TypeMoveAndMark();
    EXPECT_EQ(window.Count(WM_WPC_CONTENTCHANGED) > 0, c.hearsContent) << c.name;
    EXPECT_EQ(window.Count(WM_WPC_CARETMOVED) > 0, c.hearsCaret) << c.name;
    EXPECT_EQ(window.Count(WM_WPC_MARKSTART) > 0, c.hearsMarking) << c.name;
    EXPECT_EQ(!window.Spoken().empty(), c.hearsSpeech) << c.name;
    EXPECT_EQ(!window.Cues().empty(), c.hearsCues) << c.name;
  }
}

TEST_F(NotifyCommandTest, SettingTheMaskAnswersTheOldOne) {
  EXPECT_EQ(Notify(WPC_SET_NOTIFY_MASK, 0x3), -1);
  EXPECT_EQ(Notify(WPC_SET_NOTIFY_MASK, 0), 0x3);
  EXPECT_EQ(Notify(WPC_GET_NOTIFY_MASK), 0);
  EXPECT_EQ(Notify(WPC_SET_NOTIFY_MASK, -1), 0);
  EXPECT_EQ(Notify(WPC_GET_NOTIFY_MASK), -1);
}

}  // namespace
}  // namespace doc_root_test
