#include "speech/speech_guide.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <algorithm>

#include "speech_test_support.h"

namespace {

using speech_test::Hex;
using speech_test::RecordingReader;
using ::testing::ElementsAre;

class SpeechGuideTest : public speech_test::SpeechTest {
 protected:
  static long Count(const std::vector<std::string>& lines, const std::string& line) {
    return std::count(lines.begin(), lines.end(), line);
  }
};

TEST_F(SpeechGuideTest, WithoutReaderReturnsAtOnceAndSpeaksNothing) {
  EXPECT_EQ(SpeakGuide("a", 1, 4, 1), 0);
  EXPECT_EQ(clock_.sleeps(), 0u);
}

TEST_F(SpeechGuideTest, MarksWaitsSpeaksAndRestoresInOrder) {
  RecordingReader reader;
  ASSERT_EQ(LoadReaderModules(), 0);
  SetReaderStatus(0x10001, 13, 7);
  reader.SetSpeaking(2);
  EXPECT_EQ(SpeakGuide("\x82\xA0", 0, 4, 1), 1) << "restoring answers the value it replaced";
  const std::vector<std::string> lines = reader.Lines();
  EXPECT_THAT(std::vector(lines.begin() + 1, lines.end()),
              ElementsAre("VXTRGetStatus 65537 13 0", "VXTRSetStatus 65537 13 1",
                          "VXTRGetVStatus 1", "VXTRGetVStatus 1", "VXTRGetVStatus 0",
                          "VXTRPRead " + Hex("\x82\xA0") + " 4 1", "VXTRSetStatus 65537 13 7"));
  EXPECT_EQ(clock_.sleeps(), 2u);
  EXPECT_EQ(clock_.TickCount(), 10u);
}

TEST_F(SpeechGuideTest, InterruptStopsSpeechAndPausesBeforeWaiting) {
  RecordingReader reader;
  ASSERT_EQ(LoadReaderModules(), 0);
  reader.SetSpeaking(1000000);
  SpeakGuide("a", 1, 4, 1);
  EXPECT_THAT(reader.Lines(),
              ElementsAre("VXTRGetStatus 65537 13 0", "VXTRSetStatus 65537 13 1",
                          "VXTRGetVStatus 1", "VXTRVReset", "VXTRGetVStatus 0",
                          "VXTRPRead " + Hex("a") + " 4 1", "VXTRSetStatus 65537 13 0"));
  EXPECT_EQ(clock_.TickCount(), 50u);
}

TEST_F(SpeechGuideTest, InterruptOnSilentReaderDoesNotStop) {
  RecordingReader reader;
  ASSERT_EQ(LoadReaderModules(), 0);
  SpeakGuide("a", 1, 4, 1);
  EXPECT_EQ(Count(reader.Lines(), "VXTRVReset"), 0);
  EXPECT_EQ(clock_.TickCount(), 0u);
}

TEST_F(SpeechGuideTest, QueuesTheTextAfterAThousandPolls) {
  RecordingReader reader;
  ASSERT_EQ(LoadReaderModules(), 0);
  reader.SetSpeaking(1000000);
  SpeakGuide("a", 0, 4, 1);
  const std::vector<std::string> lines = reader.Lines();
  EXPECT_EQ(Count(lines, "VXTRGetVStatus 1"), 1000);
  EXPECT_EQ(Count(lines, "VXTRPRead " + Hex("a") + " 4 1"), 1);
  EXPECT_EQ(clock_.sleeps(), 1000u);
  EXPECT_EQ(clock_.TickCount(), 5000u);
}

TEST_F(SpeechGuideTest, AWaitingKeyEndsTheWaitAndTheTextIsStillQueued) {
  RecordingReader reader;
  ASSERT_EQ(LoadReaderModules(), 0);
  reader.SetSpeaking(1000000);
  platform::PostThreadMessage(platform::WM_KEYDOWN, 'A', 0);
  SpeakGuide("a", 0, 4, 1);
  EXPECT_EQ(Count(reader.Lines(), "VXTRGetVStatus 1"), 1);
  EXPECT_EQ(Count(reader.Lines(), "VXTRPRead " + Hex("a") + " 4 1"), 1);
  EXPECT_EQ(clock_.TickCount(), 0u);
  EXPECT_TRUE(platform::PeekMessage(nullptr, 0, 0, 0, platform::PM_NOREMOVE)) << "left queued";
}

TEST_F(SpeechGuideTest, BeepsRepeatWithFourFifthsPause) {
  RecordingReader reader;
  ASSERT_EQ(LoadReaderModules(), 0);
  EXPECT_EQ(GuideBeep(2, 300), 1);
  GuideBeepRepeat(3, 2, 30);
  GuideBeepRepeat(0, 2, 30);
  EXPECT_THAT(reader.Lines(), ElementsAre("VXTRBeep 2 300 0", "VXTRBeep 2 30 0", "VXTRBeep 2 30 0",
                                          "VXTRBeep 2 30 0"));
  EXPECT_EQ(clock_.sleeps(), 3u);
  EXPECT_EQ(clock_.TickCount(), 72u);
}

}  // namespace
