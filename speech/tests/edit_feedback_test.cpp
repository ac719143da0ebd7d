#include "speech/edit_feedback.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <map>
#include <optional>

#include "platform/system_info.h"
#include "speech/phrases.h"
#include "speech_test_support.h"

namespace {

using speech_test::Hex;
using speech_test::RecordingReader;
using ::testing::ElementsAre;
using ::testing::IsEmpty;

constexpr int kAsync = 2;

// Feedback over the recording reader and the cue sounds the build made.
class EditFeedbackTest : public speech_test::SpeechTest {
 protected:
  EditFeedbackTest() { EXPECT_EQ(LoadReaderModules(), 0); }

  void SetBeepMask(int32_t mask) {
    SpeechOptions options;
    feedback_.GetSpeechOptions(options);
    options.beepMask = mask;
    feedback_.SetSpeechOptions(options);
  }

  // The cue files played so far, told apart by their samples.
  std::vector<std::string> Sounds() const {
    std::map<std::vector<uint8_t>, std::string> byContent;
    char windows[260];
    platform::GetWindowsDirectoryA(windows, sizeof windows);
    for (const CueSound& cue : CueSoundTable) {
      if (cue.id == kEndOfCueSounds) break;
      const std::string path = std::string(windows) + phrases::kMediaFolder + "\\" + cue.file;
      const std::optional<platform::WaveImage> wave = platform::ReadWave(*platform::HostPath(path));
      if (wave) byContent[wave->samples] = cue.file;
    }
    std::vector<std::string> sounds;
    for (const auto& stream : audio_.Streams()) sounds.push_back(byContent[stream.samples]);
    return sounds;
  }

  RecordingReader reader_;
  CEditFeedback feedback_;
};

TEST_F(EditFeedbackTest, StartsWithEverythingOnAndLoadsTheCueSounds) {
  SpeechOptions options;
  options.speechOn = 0;
  feedback_.GetSpeechOptions(options);
  EXPECT_EQ(options, (SpeechOptions{1, 1, -1, -1}));
  for (const CueSound& cue : CueSoundTable) {
    if (cue.id == kEndOfCueSounds) continue;
    EXPECT_GE(GlobalSoundPlayer().FindSound(cue.id), 0) << cue.file;
  }
}

TEST_F(EditFeedbackTest, ReaderSpeechSwitchIsStatusItem28) {
  EXPECT_EQ(feedback_.IsReaderSpeechOn(), 0);
  SetReaderStatus(0x10001, 28, 1);
  EXPECT_EQ(feedback_.IsReaderSpeechOn(), 1);
}

struct SpeakCase {
  const char* name;
  int kind;
  std::string text;
  int32_t beepMask;
  int interrupt;
  int answer;
  std::vector<std::string> calls;
  std::vector<std::string> sounds;
  friend std::ostream& operator<<(std::ostream& out, const SpeakCase& c) { return out << c.name; }
};

class EditFeedbackSpeakTest : public EditFeedbackTest,
                              public ::testing::WithParamInterface<SpeakCase> {};

TEST_P(EditFeedbackSpeakTest, SpeaksByKind) {
  const SpeakCase& c = GetParam();
  SetBeepMask(c.beepMask);
  EXPECT_EQ(feedback_.Speak(c.kind, c.text.c_str(), c.interrupt, 0), c.answer);
  EXPECT_EQ(reader_.Calls(), c.calls);
  EXPECT_EQ(Sounds(), c.sounds);
}

const std::string kPageBreak = "VXTRPRead " + Hex(phrases::kPageBreak) + " 3 1";

INSTANTIATE_TEST_SUITE_P(
    Kinds, EditFeedbackSpeakTest,
    ::testing::Values(
        SpeakCase{"PlainText", 1, "abc", -1, 0, 0, {"VXTRPRead " + Hex("abc") + " 3 1"}, {}},
        SpeakCase{"PlainEmpty", 1, "", -1, 1, 0, {}, {}},
        SpeakCase{"PlainInterrupts", 1, "a", -1, 1, 0, {"VXTRVReset", "VXTRPRead [61] 3 1"}, {}},
        SpeakCase{"OwnGuideMarksTheStatus",
                  2,
                  "a",
                  -1,
                  0,
                  0,
                  {"VXTRSetStatus 65537 13 1", "VXTRPRead [61] 3 1", "VXTRSetStatus 65537 13 0"},
                  {}},
        SpeakCase{"HalfSpaceSilentWithoutBeepBit", 101, " ", ~kBeepSpaces, 0, 0, {}, {}},
        SpeakCase{
            "HalfSpaceCue", 101, " ", kBeepSpaces, 0, -1, {}, {phrases::kHalfWidthSpaceSound}},
        SpeakCase{"FullSpaceCue",
                  104,
                  phrases::kFullWidthSpace,
                  kBeepSpaces,
                  1,
                  -1,
                  {},
                  {phrases::kFullWidthSpaceSound}},
        SpeakCase{"FullSpaceSilentWithoutBeepBit", 105, phrases::kFullWidthSpace, 0, 0, 0, {}, {}},
        SpeakCase{"TextStartingWithFullSpaceIsSpoken",
                  101,
                  "\x81\x40\x82\xA0",
                  kBeepSpaces,
                  0,
                  0,
                  {"VXTRCGuide " + Hex("\x81\x40\x82\xA0") + " 0"},
                  {}},
        SpeakCase{"FormFeedIsAPageBreak", 106, "\f", -1, 1, 0, {"VXTRVReset", kPageBreak}, {}},
        SpeakCase{"CrLfBecomesCr", 101, "\r\n", -1, 0, 0, {"VXTRCGuide [0d] 0"}, {}},
        SpeakCase{
            "LongTextWhole", 101, "a\r\nb\r\r\n", -1, 0, 0, {"VXTRCGuide [610d620d0d] 0"}, {}},
        SpeakCase{"EmptyCharacter", 101, "", -1, 0, 0, {}, {}},
        SpeakCase{"DetailedReading", 102, "\xB1", -1, 0, 0, {"VXTRCGuide [b1] 9"}, {}},
        SpeakCase{"DetailedStopsBeforeTheByteTest",
                  102,
                  "\t",
                  -1,
                  1,
                  -1,
                  {"VXTRVReset"},
                  {phrases::kWarningSound}},
        SpeakCase{"CodesOfATab",
                  103,
                  "\t",
                  -1,
                  1,
                  0,
                  {"VXTRPRead " + Hex(phrases::kJisCode) + " 3 1", "VXTRCGuide [09] 7",
                   "VXTRPRead " + Hex(phrases::kShiftJisCode) + " 3 1", "VXTRCGuide [09] 8"},
                  {}},
        SpeakCase{"CodesOfAControlByteWarn", 103, "\x01", -1, 1, -1, {}, {phrases::kWarningSound}},
        SpeakCase{"UnknownKind", 7, "a", -1, 1, 0, {}, {}}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(EditFeedbackTest, SpeechOffSendsNothingAnywhere) {
  int hooked = 0;
  const platform::HWND hook = platform::CreateWindowHandle([&](auto, auto, auto, auto) {
    ++hooked;
    return platform::LRESULT{1};
  });
  feedback_.SetHookWindow(hook);
  feedback_.SetHookFlags(kHookSpeech | kHookCues);
  feedback_.SetSpeechOptions(SpeechOptions{0, 0, -1, -1});
  EXPECT_EQ(feedback_.Speak(1, "a", 0, 1), 0);
  EXPECT_EQ(feedback_.Cue(kCueError, 0, kAsync), 0);
  EXPECT_EQ(hooked, 0);
  EXPECT_THAT(reader_.Calls(), IsEmpty());
  EXPECT_THAT(Sounds(), IsEmpty());
}

TEST_F(EditFeedbackTest, HookGetsOnlyWhatItsFlagsOffer) {
  std::vector<std::tuple<platform::UINT, platform::WPARAM, std::string>> seen;
  platform::LRESULT reply = 0;
  const platform::HWND hook =
      platform::CreateWindowHandle([&](platform::HWND, platform::UINT message,
                                       platform::WPARAM wParam, platform::LPARAM lParam) {
        const std::string text =
            message == WM_FEEDBACK_SPEAK ? reinterpret_cast<const char*>(lParam) : "";
        seen.emplace_back(message, wParam, text);
        return reply;
      });
  feedback_.SetHookWindow(hook);
  feedback_.Speak(1, "a", 0, 0);
  feedback_.Cue(kCueError, 1, kAsync);
  EXPECT_THAT(seen, IsEmpty()) << "flags 0 offer nothing";

  feedback_.SetHookFlags(kHookSpeech);
  EXPECT_EQ(feedback_.Speak(101, "b", 0, 0), 0);
  feedback_.Cue(kCueError, 1, kAsync);
  reply = 1;
  EXPECT_EQ(feedback_.Speak(1, "c", 0, 0), 0);
  EXPECT_THAT(seen, ElementsAre(std::tuple{WM_FEEDBACK_SPEAK, 101u, "b"},
                                std::tuple{WM_FEEDBACK_SPEAK, 1u, "c"}));
  EXPECT_THAT(reader_.Calls(), ElementsAre("VXTRPRead [61] 3 1", "VXTRCGuide [62] 0"))
      << "a nonzero reply keeps the object silent";

  feedback_.SetHookFlags(kHookCues);
  reply = 42;
  EXPECT_EQ(feedback_.Cue(kCueError, 1, kAsync), 42) << "the hook's reply is the answer";
  EXPECT_EQ(feedback_.SendToHook(WM_FEEDBACK_SPEAK, 1, 0), 0);
  EXPECT_EQ(Sounds().size(), 2u);
}

struct CueCase {
  int cue;
  int32_t beepMask;
  std::string sound;  // empty: no sound
  std::string beep;   // empty: no beep
  friend std::ostream& operator<<(std::ostream& out, const CueCase& c) {
    return out << "cue " << c.cue << " mask " << c.beepMask;
  }
};

class EditFeedbackCueTest : public EditFeedbackTest,
                            public ::testing::WithParamInterface<CueCase> {};

TEST_P(EditFeedbackCueTest, CuesAreGatedByTheBeepMask) {
  const CueCase& c = GetParam();
  SetBeepMask(c.beepMask);
  const int answer = feedback_.Cue(c.cue, 1, kAsync);
  EXPECT_EQ(Sounds(), c.sound.empty() ? std::vector<std::string>{} : std::vector{c.sound});
  EXPECT_EQ(reader_.Calls(), c.beep.empty() ? std::vector<std::string>{} : std::vector{c.beep});
  EXPECT_EQ(answer, c.beep.empty() ? 0 : 1);
}

INSTANTIATE_TEST_SUITE_P(
    Table, EditFeedbackCueTest,
    ::testing::Values(CueCase{kCueRefused, 0, phrases::kNoInputSound, ""},
                      CueCase{kCueNoInput, 0, phrases::kNoInputSound, ""},
                      CueCase{kCueCellGrew, 0x7FF, "", ""},
                      CueCase{kCueCellGrew, 0x800, phrases::kStretchSound, ""},
                      CueCase{kCueCellShrank, 0x800, "", ""},
                      CueCase{kCueCellShrank, 0x1000, phrases::kStretchSound, ""},
                      CueCase{kCueHalfWidthSpace, 0x2, phrases::kHalfWidthSpaceSound, ""},
                      CueCase{kCueFullWidthSpace, ~0x2, "", ""},
                      CueCase{kCueBlankAtTextEnd, 0x4, phrases::kBlankSound, ""},
                      CueCase{kCueLineChange, 0x100, phrases::kLineChangeSound, ""},
                      CueCase{kCueTableBottom, 0x100, "", ""},
                      CueCase{kCueTableBottom, 0x200, phrases::kTableBottomSound, ""},
                      CueCase{kCueRowEnd, 0x400, phrases::kRowEndSound, ""},
                      CueCase{kCueSecondWarning, 0, phrases::kWarningSound, ""},
                      CueCase{kCueError, 0, phrases::kErrorSound, ""},
                      CueCase{kCueReaderBeepShort, 0, "", "VXTRBeep 1 10 0"},
                      CueCase{kCueReaderBeepMedium, 0, "", "VXTRBeep 2 20 0"},
                      CueCase{kCueReaderBeepLong, 0, "", "VXTRBeep 3 500 0"},
                      CueCase{6, -1, "", ""}, CueCase{99, -1, "", ""}));

TEST_F(EditFeedbackTest, CueWaitsForSilenceAtMostThreeSeconds) {
  reader_.SetSpeaking(1000000);
  feedback_.Cue(kCueError, 0, kAsync);
  EXPECT_EQ(clock_.TickCount(), 4000u) << "stops once the seconds differ by more than 3";
  EXPECT_EQ(clock_.sleeps(), 40u);
  EXPECT_EQ(Sounds(), std::vector<std::string>{phrases::kErrorSound});
}

TEST_F(EditFeedbackTest, CueStopsWaitingForAPendingKey) {
  reader_.SetSpeaking(1000000);
  platform::PostThreadMessage(platform::WM_KEYDOWN, 'A', 0);
  feedback_.Cue(kCueError, 0, kAsync);
  EXPECT_EQ(clock_.sleeps(), 0u);
  EXPECT_TRUE(platform::PeekMessage(nullptr, 0, 0, 0, platform::PM_NOREMOVE)) << "left queued";
}

TEST_F(EditFeedbackTest, CueWithInterruptDoesNotWait) {
  reader_.SetSpeaking(1000000);
  feedback_.Cue(kCueError, 1, kAsync);
  EXPECT_EQ(clock_.sleeps(), 0u);
}

class EditFeedbackInputTest : public EditFeedbackTest,
                              public ::testing::WithParamInterface<platform::UINT> {};

TEST_P(EditFeedbackInputTest, PendingInputAbandonsTheWait) {
  reader_.SetSpeaking(1000000);
  platform::PostThreadMessage(GetParam(), 0, 0);
  EXPECT_EQ(feedback_.Speak(1, "a", 0, 1), 0);
  EXPECT_THAT(reader_.Calls(), IsEmpty());
  platform::MSG msg;
  ASSERT_TRUE(platform::PeekMessage(&msg, 0, 0, 0, platform::PM_REMOVE));
  EXPECT_EQ(msg.message, GetParam()) << "the input stays for the window";
}

INSTANTIATE_TEST_SUITE_P(Messages, EditFeedbackInputTest,
                         ::testing::Values(platform::WM_KEYDOWN, platform::WM_LBUTTONDOWN,
                                           platform::WM_RBUTTONDOWN));

TEST_F(EditFeedbackTest, OtherMessagesAreDispatchedWhileWaiting) {
  std::vector<platform::UINT> handled;
  const platform::HWND window = platform::CreateWindowHandle(
      [&](platform::HWND, platform::UINT message, platform::WPARAM, platform::LPARAM) {
        handled.push_back(message);
        return platform::LRESULT{0};
      });
  reader_.SetSpeaking(3);
  platform::PostMessage(window, platform::WM_USER, 0, 0);
  platform::PostMessage(window, platform::WM_USER + 1, 0, 0);
  EXPECT_EQ(feedback_.Speak(1, "a", 0, 1), 0);
  EXPECT_THAT(handled, ElementsAre(platform::WM_USER, platform::WM_USER + 1));
  EXPECT_THAT(reader_.Calls(), ElementsAre("VXTRPRead [61] 3 1"));
  EXPECT_EQ(clock_.sleeps(), 1u) << "sleeps only when no message came";
}

TEST_F(EditFeedbackTest, QuitMessageIsNotSwallowed) {
  reader_.SetSpeaking(1000000);
  platform::PostQuitMessage(3);
  EXPECT_EQ(feedback_.Speak(1, "a", 0, 1), 0);
  EXPECT_THAT(reader_.Calls(), IsEmpty());
  platform::MSG msg;
  ASSERT_TRUE(platform::PeekMessage(&msg, 0, 0, 0, platform::PM_REMOVE));
  EXPECT_EQ(msg.message, platform::WM_QUIT);
  EXPECT_EQ(msg.wParam, 3u);
}

TEST_F(EditFeedbackTest, SpeakWaitIsBoundedToAThousandPolls) {
  reader_.SetSpeaking(1000000);
  EXPECT_EQ(feedback_.Speak(1, "a", 0, 1), 0);
  EXPECT_EQ(clock_.sleeps(), 1000u);
  EXPECT_EQ(clock_.TickCount(), 5000u);
  EXPECT_THAT(reader_.Calls(), ElementsAre("VXTRPRead [61] 3 1"));
}

TEST_F(EditFeedbackTest, WithoutReaderEveryWaitEndsAtOnce) {
  ResetReaderModules();
  EXPECT_EQ(feedback_.Speak(1, "a", 0, 1), 0);
  EXPECT_EQ(feedback_.Cue(kCueReaderBeepMedium, 0, kAsync), 0);
  EXPECT_EQ(feedback_.Cue(kCueError, 0, kAsync), 0);
  EXPECT_EQ(clock_.sleeps(), 0u);
  EXPECT_THAT(reader_.Calls(), IsEmpty());
}

// An editing session as the engine drives it: the test types nothing and
// hears every text and cue that reaches the reader and the speakers.
TEST_F(EditFeedbackTest, ScriptedFeedbackSequence) {
  SetBeepMask(kBeepSpaces | kBeepBlank);
  reader_.SetSpeaking(0, 1);
  feedback_.Speak(kSpeechCharacter, "\x82\xA0", 1, 1);       // あ typed
  feedback_.Speak(kSpeechCharacter, " ", 1, 1);              // a space typed
  feedback_.Cue(kCueBlank, 0, kAsync);                       // the caret reaches a blank line
  feedback_.Speak(kSpeechCharacter, "\f", 1, 1);             // a page break
  feedback_.Cue(kCueRefused, 1, kAsync);                     // nothing to delete
  feedback_.Speak(kSpeechCharacterCodes, "\x88\x9F", 0, 0);  // 亜: its codes
  feedback_.Cue(kCueCellGrew, 1, kAsync);                    // gated off
  feedback_.Cue(kCueReaderBeepMedium, 1, kAsync);
  feedback_.Speak(kSpeechOwnGuide, "\x8A\xAE\x97\xB9", 1, 0);  // 完了
  EXPECT_THAT(reader_.Calls(),
              ElementsAre("VXTRVReset", "VXTRCGuide [82a0] 0", "VXTRVReset", kPageBreak,
                          "VXTRPRead " + Hex(phrases::kJisCode) + " 3 1", "VXTRCGuide [889f] 7",
                          "VXTRPRead " + Hex(phrases::kShiftJisCode) + " 3 1",
                          "VXTRCGuide [889f] 8", "VXTRBeep 2 20 0", "VXTRSetStatus 65537 13 1",
                          "VXTRVReset", "VXTRPRead [8aae97b9] 3 1", "VXTRSetStatus 65537 13 0"));
  EXPECT_THAT(Sounds(), ElementsAre(phrases::kHalfWidthSpaceSound, phrases::kBlankSound,
                                    phrases::kNoInputSound));
}

}  // namespace
