#include "speech/speech_guide.h"

#include "platform/clock.h"
#include "platform/message_loop.h"
#include "speech/reader_bridge.h"

namespace {

constexpr int kMarked = 1;
constexpr uint32_t kAfterStopMs = 50;
constexpr uint32_t kPollMs = 5;
constexpr uint32_t kMaxPolls = 1000;

// Lets the reader finish, handling messages meanwhile, for at most
// kMaxPolls polls; a waiting key ends the wait early.
void WaitForSilence() {
  platform::LoopExit exit;
  exit.done = [] { return GetVoiceStatus() == 0; };
  exit.onKeyDown = true;
  exit.deadline = platform::GetTickCount() + kMaxPolls * kPollMs;
  exit.idlePollMs = kPollMs;
  platform::RunNestedLoop(exit);
}

}  // namespace

int SpeakGuide(const char* text, int interrupt, int mode, int flag) {
  const auto [category, item] = kOwnSpeechStatus;
  const int previous = GetReaderStatus(category, item, 0);
  SetReaderStatus(category, item, kMarked);
  if (interrupt != 0 && GetVoiceStatus() != 0) {
    StopSpeech();
    platform::Sleep(kAfterStopMs);
  }
  WaitForSilence();
  SpeakText(text, mode, flag);
  return SetReaderStatus(category, item, previous);
}

int GuideBeep(int kind, int length) { return PlayReaderBeep(kind, length, 0); }

void GuideBeepRepeat(unsigned count, int kind, unsigned length) {
  const unsigned pause = length / 5 * 4;
  for (unsigned i = 0; i < count; ++i) {
    PlayReaderBeep(kind, static_cast<int>(length), 0);
    platform::Sleep(pause);
  }
}
