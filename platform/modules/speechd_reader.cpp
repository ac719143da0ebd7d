// The screen reader's user library, standing in for the reader: it
// speaks through speech-dispatcher in Japanese. It connects once, at the
// first call; when no speech server answers then, every entry point
// answers as if it were missing, so the program runs silent.
#include <libspeechd.h>

#include <atomic>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <map>
#include <mutex>
#include <numbers>
#include <set>
#include <string>
#include <utility>
#include <vector>

#include "platform/jis_code.h"
#include "platform/reader_module.h"
#include "platform/sjis.h"
#include "platform/sound.h"

namespace {

constexpr int kVersion = 0x06000000;
constexpr const char* kClientName = "lexora";
constexpr const char* kLanguage = "ja";
// The reader's own speech switch reads as on while connected.
constexpr std::pair<int, int> kSpeechSwitch{0x10001, 28};
constexpr int kCharGuideJis = 7;
constexpr int kCharGuideShiftJis = 8;

class Speaker {
 public:
  static Speaker& Instance() {
    static Speaker speaker;
    return speaker;
  }

  ~Speaker() {
    if (connection_ != nullptr) spd_close(connection_);
  }
  Speaker(const Speaker&) = delete;
  Speaker& operator=(const Speaker&) = delete;

  bool Connected() {
    std::lock_guard lock(mutex_);
    if (!tried_) Connect();
    return connection_ != nullptr;
  }

  int Say(const std::string& utf8) {
    if (!Connected() || utf8.empty()) return 0;
    const int id = spd_say(connection_, SPD_TEXT, utf8.c_str());
    if (id <= 0) return 0;
    std::lock_guard lock(mutex_);
    // The end may be reported before spd_say hands back the id.
    if (finished_.erase(static_cast<size_t>(id)) == 0) pending_.insert(static_cast<size_t>(id));
    return 1;
  }

  void Cancel() {
    if (!Connected()) return;
    spd_cancel(connection_);
  }

  bool Speaking() {
    if (!Connected()) return false;
    std::lock_guard lock(mutex_);
    return !pending_.empty();
  }

  int SetStatus(int category, int item, int value) {
    if (!Connected()) return 0;
    std::lock_guard lock(mutex_);
    return std::exchange(statuses_[{category, item}], value);
  }

  int GetStatus(int category, int item) {
    if (!Connected()) return 0;
    std::lock_guard lock(mutex_);
    const auto it = statuses_.find({category, item});
    return it != statuses_.end() ? it->second : 0;
  }

 private:
  Speaker() = default;

  void Connect() {
    tried_ = true;
    char* error = nullptr;
    // Never start a server of our own: without one the reader is silent.
    connection_ =
        spd_open2(kClientName, kClientName, nullptr, SPD_MODE_THREADED, nullptr, 0, &error);
    std::free(error);
    if (connection_ == nullptr) return;
    connection_->callback_end = &Speaker::Ended;
    connection_->callback_cancel = &Speaker::Ended;
    spd_set_notification_on(connection_, SPD_END);
    spd_set_notification_on(connection_, SPD_CANCEL);
    spd_set_language(connection_, kLanguage);
    statuses_[kSpeechSwitch] = 1;
  }

  static void Ended(size_t messageId, size_t, SPDNotificationType) {
    Speaker& speaker = Instance();
    std::lock_guard lock(speaker.mutex_);
    if (speaker.pending_.erase(messageId) == 0) speaker.finished_.insert(messageId);
  }

  std::mutex mutex_;
  bool tried_ = false;
  SPDConnection* connection_ = nullptr;
  std::set<size_t> pending_;
  std::set<size_t> finished_;
  std::map<std::pair<int, int>, int> statuses_;
};

std::string Utf8(const char* sjis) {
  if (sjis == nullptr) return {};
  return platform::SjisToUtf8(sjis).value_or(std::string{});
}

uint16_t FirstCharCode(const char* sjis) {
  const std::string_view text = sjis != nullptr ? sjis : "";
  return text.empty() ? 0 : platform::CharCodeAt(text, 0);
}

// Hex digits with spaces between them, so that each digit is read.
std::string SpelledHex(uint16_t code) {
  char buffer[16];
  std::snprintf(buffer, sizeof buffer, "%X", code);
  std::string spelled;
  for (const char* p = buffer; *p != '\0'; ++p) {
    if (!spelled.empty()) spelled += ' ';
    spelled += *p;
  }
  return spelled;
}

// A short sine tone; the kinds differ in pitch.
void Tone(int kind, int lengthMs) {
  constexpr uint32_t kRate = 44100;
  constexpr double kAmplitude = 8000.0;
  constexpr double kBaseHz = 440.0;
  const double hz = kBaseHz * (kind <= 1 ? 2.0 : kind == 2 ? 1.5 : 1.0);
  const size_t count = kRate * static_cast<size_t>(std::max(lengthMs, 0)) / 1000;
  std::vector<uint8_t> samples;
  samples.reserve(count * 2);
  for (size_t i = 0; i < count; ++i) {
    const auto value =
        static_cast<int16_t>(kAmplitude * std::sin(2 * std::numbers::pi * hz * i / kRate));
    samples.push_back(static_cast<uint8_t>(value));
    samples.push_back(static_cast<uint8_t>(static_cast<uint16_t>(value) >> 8));
  }
  const platform::WAVEFORMATEX format{platform::WAVE_FORMAT_PCM, 1, kRate, kRate * 2, 2, 16, 0};
  platform::ProcessAudio().Start(format, samples, 1);
}

}  // namespace

extern "C" {

int VXTRSetStatus(int category, int item, int value) {
  return Speaker::Instance().SetStatus(category, item, value);
}

int VXTRGetStatus(int category, int item, int) {
  return Speaker::Instance().GetStatus(category, item);
}

int VXTRGetVStatus() { return Speaker::Instance().Speaking() ? 1 : 0; }

int VXTRVoiceGuide(const char* text, int) { return Speaker::Instance().Say(Utf8(text)); }

int VXTRCommand(const char*, int, int) { return 0; }

void VXTRVReset() { Speaker::Instance().Cancel(); }

void VXTRStatus() {}

int VXTRBeep(int kind, int length, int) {
  if (!Speaker::Instance().Connected()) return 0;
  Tone(kind, length);
  return 1;
}

int VXTRGetVersion() { return Speaker::Instance().Connected() ? kVersion : 0; }

void VXTREventHook() {}
void VXTRGetVoiceLog() {}

void VXTRPRead(const char* text, int, int) { Speaker::Instance().Say(Utf8(text)); }

void VXTRCGuide(const char* text, int mode) {
  if (mode == kCharGuideJis) {
    Speaker::Instance().Say(SpelledHex(platform::ShiftJisToJis(FirstCharCode(text))));
  } else if (mode == kCharGuideShiftJis) {
    Speaker::Instance().Say(SpelledHex(FirstCharCode(text)));
  } else {
    Speaker::Instance().Say(Utf8(text));
  }
}

void VXTRPReadEx() {}
void VXTRCGuideEx() {}

void VXTRReadWindow(const char* text, int event) {
  Speaker& speaker = Speaker::Instance();
  if (speaker.GetStatus(kSpeechSwitch.first, kSpeechSwitch.second) == 0) return;
  if (event == platform::reader::kReadFocus) speaker.Cancel();
  speaker.Say(Utf8(text));
}

}  // extern "C"
