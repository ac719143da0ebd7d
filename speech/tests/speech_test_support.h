// Shared test scaffolding: a fake clock, a recording audio back end,
// fresh process-wide speech state, and the recording reader module
// loaded through the real module loader.
#pragma once

#include <gtest/gtest.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <fstream>
#include <string>
#include <string_view>
#include <vector>

#include "platform/clock.h"
#include "platform/module.h"
#include "platform/reader_module.h"
#include "platform/sound.h"
#include "platform/window_message.h"
#include "speech/reader_bridge.h"
#include "speech/sound_player.h"

namespace speech_test {

// A text as the recording module writes it: hex bytes in brackets.
inline std::string Hex(std::string_view text) {
  static constexpr char kDigits[] = "0123456789abcdef";
  std::string hex = "[";
  for (const char c : text) {
    const auto byte = static_cast<unsigned char>(c);
    hex += kDigits[byte >> 4];
    hex += kDigits[byte & 0xF];
  }
  return hex + "]";
}

// A path of its own for this test process in the temporary folder.
inline std::string TempPath(const std::string& name) {
  return ::testing::TempDir() + name + "_" + std::to_string(::getpid());
}

// Fresh process-wide state around each test, on a clock that never waits.
class SpeechTest : public ::testing::Test {
 protected:
  SpeechTest() { ResetAll(); }
  ~SpeechTest() override { ResetAll(); }

  static void ResetAll() {
    ResetReaderModules();
    ResetGlobalSoundPlayer();
    platform::ResetWindowMessages();
  }

  platform::FakeClock clock_;
  platform::ScopedClock scopedClock_{clock_};
  platform::RecordingAudioBackend audio_;
  platform::ScopedAudioBackend scopedAudio_{audio_};
};

// The recording screen reader, loaded by name from the folder the build
// puts it in. Holding its own handle keeps the module (and its log) alive
// across the bridge's loads and unloads.
class RecordingReader {
 public:
  explicit RecordingReader(const char* folder = LEXORA_RECORDING_MODULES)
      : folder_(folder), module_(platform::reader::kReaderModule) {
    std::string name = ::testing::UnitTest::GetInstance()->current_test_info()->name();
    std::replace(name.begin(), name.end(), '/', '_');
    logPath_ = TempPath("reader_" + std::to_string(++count_) + "_" + name) + ".log";
    if (!module_.IsLoaded()) {
      ADD_FAILURE() << "recording module not found in " << folder;
      return;
    }
    module_.Bind<void (*)(const char*)>("RecorderStart")(logPath_.c_str());
  }

  ~RecordingReader() { std::remove(logPath_.c_str()); }
  RecordingReader(const RecordingReader&) = delete;
  RecordingReader& operator=(const RecordingReader&) = delete;

  // The reader answers "speaking" to the next `now` polls, and to
  // `perUtterance` polls after each text it is given.
  void SetSpeaking(int now, int perUtterance = 0) {
    if (!module_.IsLoaded()) return;
    module_.Bind<void (*)(int, int)>("RecorderSetSpeaking")(now, perUtterance);
  }

  std::vector<std::string> Lines() const {
    std::ifstream file(logPath_);
    std::vector<std::string> lines;
    for (std::string line; std::getline(file, line);) lines.push_back(line);
    return lines;
  }

  // The log without the voice-status polls.
  std::vector<std::string> Calls() const {
    std::vector<std::string> calls;
    for (const std::string& line : Lines()) {
      if (line.rfind("VXTRGetVStatus", 0) != 0) calls.push_back(line);
    }
    return calls;
  }

 private:
  inline static int count_ = 0;
  platform::ScopedModuleFolder folder_;
  platform::Module module_;
  std::string logPath_;
};

}  // namespace speech_test
