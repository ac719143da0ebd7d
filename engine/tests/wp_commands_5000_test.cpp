// The spoken-feedback commands as the view's reading keys and option
// dialogs send them: the speech options, the speech and sound switches,
// reading a unit or the caret's character aloud whatever the switch, and
// playing a cue. The recording window hears every phrase and cue.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "engine/wp_commands.h"
#include "engine/wp_ctrl.h"
#include "speech/edit_feedback.h"
#include "wp_ctrl_fixture.h"

namespace doc_root_test {
namespace {

constexpr int kUnitSelection = 1;
constexpr int kUnitLine = 2;
constexpr int kReadCharacter = 1;
constexpr int kCueCannotMove = 22;

class FeedbackCommandTest : public WpCtrlFixture {
 protected:
  int Feedback(int code, int arg = 0, void* record = nullptr) {
    return engine.FeedbackCommand(code, arg, record);
  }
  SpeechOptions Options() {
    SpeechOptions options;
    Feedback(WPC_GET_SPEECH_OPTIONS, 0, &options);
    return options;
  }
};

TEST_F(FeedbackCommandTest, SpeechOptionsAreKeptWhole) {
  const SpeechOptions defaults = Options();
  EXPECT_EQ(defaults, (SpeechOptions{1, 1, -1, -1}));
  SpeechOptions set{1, 0, 0x5, 0x20};
  EXPECT_EQ(Feedback(WPC_SET_SPEECH_OPTIONS, 0, &set), 0);
  EXPECT_EQ(Options(), set);
  // A null record changes nothing and reads nothing.
  Feedback(WPC_SET_SPEECH_OPTIONS, 0, nullptr);
  Feedback(WPC_GET_SPEECH_OPTIONS, 0, nullptr);
  EXPECT_EQ(Options(), set);
}

TEST_F(FeedbackCommandTest, TheSwitchesAnswerTheirOldValueAndSilenceTheirOwnKind) {
  struct Case {
    int code;
    int on;
    int answer;
  };
  const Case cases[] = {
      {WPC_SET_SPEECH, 0, 1}, {WPC_SET_SPEECH, 0, 0}, {WPC_SET_SPEECH, 1, 0},
      {WPC_SET_SOUND, 0, 1},  {WPC_SET_SOUND, 1, 0},  {WPC_SET_SOUND, 1, 1},
  };
  for (const Case& c : cases) EXPECT_EQ(Feedback(c.code, c.on), c.answer) << c.code << " " << c.on;

  Type("abc");
  Feedback(WPC_SET_SOUND, 0);
  window.Clear();
  Feedback(WPC_PLAY_CUE, kCueCannotMove);
  EXPECT_TRUE(window.Cues().empty()) << "sound is off";
  Feedback(WPC_SET_SOUND, 1);
  Feedback(WPC_PLAY_CUE, kCueCannotMove);
  EXPECT_EQ(window.Cues(), std::vector<int>{kCueCannotMove});

  Feedback(WPC_SET_SPEECH, 0);
  window.Clear();
  engine.EditCommand(WPC_MOVE, kMovePrevChar, 1);
  EXPECT_TRUE(window.Spoken().empty()) << "speech is off";
  EXPECT_EQ(Options().speechOn, 0);
  Feedback(WPC_SET_SPEECH, 1);
  engine.EditCommand(WPC_MOVE, kMovePrevChar, 1);
  EXPECT_FALSE(window.Spoken().empty()) << "the same move is read once speech is on";
}

TEST_F(FeedbackCommandTest, ReadingAUnitSpeaksEvenWithSpeechOffAndLeavesItOff) {
  Type("abc");
  engine.EditCommand(WPC_MOVE, kMoveLineStart, 1);
  Feedback(WPC_SET_SPEECH, 0);
  window.Clear();
  EXPECT_NE(Feedback(WPC_SPEAK_UNIT, kUnitLine), 0);
  const std::vector<std::string> spoken = window.Spoken();
  ASSERT_EQ(spoken.size(), 1u);
  EXPECT_NE(spoken[0].find("abc"), std::string::npos) << spoken[0];
  EXPECT_EQ(Feedback(WPC_SET_SPEECH, 0), 0) << "speech is off again after the reading";

  // The character at the caret, read as a character.
  window.Clear();
  EXPECT_GT(Feedback(WPC_SPEAK_CARET_CHAR, kReadCharacter), 0);
  ASSERT_EQ(window.Spoken().size(), 1u);
  EXPECT_EQ(window.Spoken()[0], "a");
  EXPECT_EQ(window.SpokenKinds()[0], kSpeechCharacter);
  EXPECT_EQ(Options().speechOn, 0);
}

TEST_F(FeedbackCommandTest, ACueInPlaceOfTheCaretsCharacterStillCountsAsRead) {
  Type("abc");
  window.Clear();
  // At the end of the last line there is no character: a cue stands for it.
  EXPECT_EQ(Feedback(WPC_SPEAK_CARET_CHAR, kReadCharacter), 1);
  EXPECT_TRUE(window.Spoken().empty());
  EXPECT_EQ(window.Cues().size(), 1u);
  // Nothing selected: reading the selection says nothing.
  window.Clear();
  Feedback(WPC_SPEAK_UNIT, kUnitSelection);
  EXPECT_TRUE(window.Spoken().empty());
}

TEST_F(FeedbackCommandTest, ACueIsPlayedWithTheGivenOrTheDefaultFlags) {
  window.Clear();
  EXPECT_EQ(Feedback(WPC_PLAY_CUE, kCueWarning), 0);
  EXPECT_EQ(Feedback(WPC_PLAY_CUE, kCueRefused, reinterpret_cast<void*>(intptr_t{1})), 0);
  EXPECT_EQ(window.Cues(), (std::vector<int>{kCueWarning, kCueRefused}));
}

}  // namespace
}  // namespace doc_root_test
