#include "speech/reader_bridge.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>

#include "speech/phrases.h"
#include "speech_test_support.h"

namespace {

using speech_test::Hex;
using speech_test::RecordingReader;
using ::testing::ElementsAre;

constexpr int kVersion6 = 0x06000000;

class ReaderBridgeTest : public speech_test::SpeechTest {
 protected:
  static std::string EmptyFolder() {
    const std::string folder = speech_test::TempPath("no_modules");
    std::filesystem::create_directories(folder);
    return folder;
  }

  static std::string ExistingFile() {
    const std::string path = speech_test::TempPath("LexoraBR") + ".ini";
    std::ofstream(path) << "[braille]\n";
    return path;
  }

  // Every wrapper with the answer it gives when its entry point is missing.
  static void ExpectSilent() {
    EXPECT_EQ(SetReaderStatus(0x10001, 13, 1), 0);
    EXPECT_EQ(GetReaderStatus(0x10001, 28, 0), 0);
    EXPECT_EQ(GetVoiceStatus(), 0);
    EXPECT_EQ(SpeakVoiceGuide("a", 2), 0);
    EXPECT_EQ(SendReaderCommand(phrases::kReadInputStatus, 0, 0), 0);
    SpeakText("a", 4, 1);
    SpeakCharGuide("a", 0);
    StopSpeech();
    EXPECT_EQ(PlayReaderBeep(2, 300, 0), 0);
    EXPECT_EQ(GetReaderVersion(), 0);
    EXPECT_EQ(SetBrailleCommandFile("missing.ini"), 0);
    EXPECT_EQ(SetBrailleKeyCommandFile("missing.ini"), 0);
  }
};

TEST_F(ReaderBridgeTest, WithoutModulesEveryWrapperIsSilent) {
  ExpectSilent();  // never loaded
  platform::ScopedModuleFolder none(EmptyFolder());
  EXPECT_EQ(LoadReaderModules(), kReaderModuleMissing | kBrailleModuleMissing);
  ExpectSilent();
}

TEST_F(ReaderBridgeTest, WrappersReachTheModuleInOrder) {
  RecordingReader reader;
  ASSERT_EQ(LoadReaderModules(), 0);
  EXPECT_EQ(SetReaderStatus(0x10001, 13, 1), 0);
  EXPECT_EQ(SetReaderStatus(0x10001, 13, 0), 1) << "answers the previous value";
  EXPECT_EQ(GetReaderVersion() >> 24, 6);
  SpeakText("\x82\xA0", 4, 1);
  SpeakCharGuide("\r", 7);
  EXPECT_EQ(SendReaderCommand(phrases::kSetCursorGuide, 0, 0), 1);
  StopSpeech();
  EXPECT_EQ(PlayReaderBeep(3, 500, 0), 1);
  EXPECT_THAT(reader.Calls(),
              ElementsAre("VXTRSetStatus 65537 13 1", "VXTRSetStatus 65537 13 0", "VXTRGetVersion",
                          "VXTRPRead " + Hex("\x82\xA0") + " 4 1", "VXTRCGuide [0d] 7",
                          "VXTRCommand " + Hex(phrases::kSetCursorGuide) + " 0 0", "VXTRVReset",
                          "VXTRBeep 3 500 0"));
}

TEST_F(ReaderBridgeTest, TwoLoadsNeedTwoUnloads) {
  RecordingReader reader;
  EXPECT_EQ(LoadReaderModules(), 0);
  EXPECT_EQ(LoadReaderModules(), 0) << "modules already held set no bit";
  EXPECT_EQ(UnloadReaderModules(), 0);
  EXPECT_EQ(GetReaderVersion(), kVersion6);
  EXPECT_EQ(SetBrailleCommandFile("missing.ini"), 1) << "the braille module is still held";
  UnloadReaderModules();
  EXPECT_EQ(GetReaderVersion(), 0);
  EXPECT_EQ(SetBrailleCommandFile("missing.ini"), 0);
  UnloadReaderModules();  // below zero: nothing happens
  EXPECT_EQ(LoadReaderModules(), 0);
  EXPECT_EQ(GetReaderVersion(), kVersion6) << "one load after the extra unload suffices";
}

TEST_F(ReaderBridgeTest, UnloadWithoutLoadDoesNothing) {
  UnloadReaderModules();
  RecordingReader reader;
  EXPECT_EQ(LoadReaderModules(), 0);
  UnloadReaderModules();
  EXPECT_EQ(GetReaderVersion(), 0);
}

TEST_F(ReaderBridgeTest, FailedLoadCountsAndIsRetriedByTheNext) {
  {
    platform::ScopedModuleFolder none(EmptyFolder());
    EXPECT_EQ(LoadReaderModules(), kReaderModuleMissing | kBrailleModuleMissing);
  }
  RecordingReader reader;
  EXPECT_EQ(LoadReaderModules(), 0);
  UnloadReaderModules();
  EXPECT_EQ(GetReaderVersion(), kVersion6) << "the failed load counted too";
  UnloadReaderModules();
  EXPECT_EQ(GetReaderVersion(), 0);
}

TEST_F(ReaderBridgeTest, MissingEntryPointsAnswerZeroWhileOthersWork) {
  RecordingReader reader(LEXORA_PARTIAL_MODULES);
  reader.SetSpeaking(5);
  ASSERT_EQ(LoadReaderModules(), 0);
  EXPECT_EQ(GetVoiceStatus(), 0) << "no VXTRGetVStatus: every wait ends at once";
  SpeakText("a", 4, 1);  // no VXTRPRead
  EXPECT_EQ(SetBrailleCommandFile("missing.ini"), 0) << "no SetEventBrlCommand";
  EXPECT_EQ(SetBrailleKeyCommandFile("missing.ini"), 1);
  SpeakCharGuide("a", 0);
  EXPECT_EQ(GetReaderVersion(), kVersion6);
  EXPECT_THAT(reader.Calls(), ElementsAre("VXTRCGuide " + Hex("a") + " 0", "VXTRGetVersion"));
}

TEST_F(ReaderBridgeTest, BrailleFilesAnswerZeroWhenRead) {
  RecordingReader reader;
  ASSERT_EQ(LoadReaderModules(), 0);
  const std::string file = ExistingFile();
  EXPECT_EQ(SetBrailleCommandFile(file.c_str()), 0);
  EXPECT_EQ(SetBrailleKeyCommandFile(file.c_str()), 0);
  EXPECT_NE(SetBrailleCommandFile((file + ".missing").c_str()), 0);
  EXPECT_NE(SetBrailleKeyCommandFile((file + ".missing").c_str()), 0);
}

// The stand-ins the program ships: without a speech server the reader
// answers as if it were missing, and the braille module reads its file.
TEST_F(ReaderBridgeTest, StandInsLoadByNameAndRunSilentWithoutSpeechServer) {
  ::setenv("SPEECHD_ADDRESS", "unix_socket:/nonexistent/lexora-speechd.sock", 1);
  platform::ScopedModuleFolder standIns(LEXORA_STANDIN_MODULES);
  ASSERT_EQ(LoadReaderModules(), 0);
  SpeakText("\x82\xA0", 3, 1);
  SpeakCharGuide("\x82\xA0", 7);
  EXPECT_EQ(GetVoiceStatus(), 0);
  EXPECT_EQ(GetReaderVersion(), 0);
  EXPECT_EQ(SetReaderStatus(0x10001, 13, 1), 0);
  EXPECT_EQ(GetReaderStatus(0x10001, 28, 0), 0);
  EXPECT_EQ(PlayReaderBeep(2, 300, 0), 0);
  EXPECT_EQ(SetBrailleCommandFile(ExistingFile().c_str()), 0);
  EXPECT_NE(SetBrailleKeyCommandFile("C:\\nowhere\\LexoraBR.ini"), 0);
  // Our windows' readings have an entry point of their own, silent too.
  const platform::Module reader(platform::reader::kReaderModule);
  const auto readWindow =
      reader.Bind<platform::reader::ReadWindowFn>(platform::reader::kReadWindow);
  ASSERT_NE(readWindow, nullptr);
  readWindow("\x82\xA0", platform::reader::kReadFocus);
  EXPECT_TRUE(audio_.Streams().empty());
}

}  // namespace
