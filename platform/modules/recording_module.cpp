// A screen-reader and braille module for tests: it appends every call it
// receives to a log file, one line each, texts written as hex bytes in
// brackets, and plays a reader that stays "speaking" for a set number of
// voice-status polls after each utterance. Built with
// LEXORA_RECORDING_PARTIAL it leaves out some entry points, to show how
// a module with missing entry points is treated.
//
// Any thread may call it (a reading thread polls the voice status while
// the window thread stops the speech), so every entry point holds one lock.
#include <cstdio>
#include <mutex>
#include <string>

namespace {

constexpr int kVersion = 0x06000000;
constexpr int kMaxStatuses = 64;
// The reader's own speech switch: our windows are read only while it is on.
constexpr int kSpeechSwitchCategory = 0x10001;
constexpr int kSpeechSwitchItem = 28;

struct Status {
  int category;
  int item;
  int value;
};

struct Recorder {
  std::string logPath;
  int speakingPolls = 0;
  int pollsPerUtterance = 0;
  Status statuses[kMaxStatuses] = {};
  int statusCount = 0;
};

Recorder& State() {
  static Recorder recorder;
  return recorder;
}

std::mutex& EntryLock() {
  static std::mutex lock;
  return lock;
}

std::string Hex(const char* text) {
  static constexpr char kDigits[] = "0123456789abcdef";
  std::string hex = "[";
  for (const char* p = text != nullptr ? text : ""; *p != '\0'; ++p) {
    const auto byte = static_cast<unsigned char>(*p);
    hex += kDigits[byte >> 4];
    hex += kDigits[byte & 0xF];
  }
  return hex + "]";
}

void Log(const std::string& line) {
  const Recorder& recorder = State();
  if (recorder.logPath.empty()) return;
  if (FILE* file = std::fopen(recorder.logPath.c_str(), "a")) {
    std::fprintf(file, "%s\n", line.c_str());
    std::fclose(file);
  }
}

std::string Ints(std::initializer_list<int> values) {
  std::string text;
  for (int value : values) {
    text += ' ';
    text += std::to_string(value);
  }
  return text;
}

int* FindStatus(int category, int item) {
  Recorder& recorder = State();
  for (int i = 0; i < recorder.statusCount; ++i) {
    Status& status = recorder.statuses[i];
    if (status.category == category && status.item == item) return &status.value;
  }
  if (recorder.statusCount == kMaxStatuses) return nullptr;
  recorder.statuses[recorder.statusCount] = Status{category, item, 0};
  return &recorder.statuses[recorder.statusCount++].value;
}

void StartUtterance() { State().speakingPolls = State().pollsPerUtterance; }

int BrailleFile(const char* name, const char* path) {
  Log(std::string(name) + " " + Hex(path));
  FILE* file = path != nullptr ? std::fopen(path, "rb") : nullptr;
  if (file == nullptr) return 1;
  std::fclose(file);
  return 0;
}

}  // namespace

extern "C" {

// Test controls.
void RecorderStart(const char* logPath) {
  const std::lock_guard lock(EntryLock());
  State() = Recorder{};
  State().logPath = logPath;
  if (FILE* file = std::fopen(logPath, "w")) std::fclose(file);
}

void RecorderSetSpeaking(int pollsNow, int pollsPerUtterance) {
  const std::lock_guard lock(EntryLock());
  State().speakingPolls = pollsNow;
  State().pollsPerUtterance = pollsPerUtterance;
}

// Screen reader.
int VXTRSetStatus(int category, int item, int value) {
  const std::lock_guard lock(EntryLock());
  Log("VXTRSetStatus" + Ints({category, item, value}));
  int* slot = FindStatus(category, item);
  if (slot == nullptr) return 0;
  const int previous = *slot;
  *slot = value;
  return previous;
}

int VXTRGetStatus(int category, int item, int unused) {
  const std::lock_guard lock(EntryLock());
  Log("VXTRGetStatus" + Ints({category, item, unused}));
  const int* slot = FindStatus(category, item);
  return slot != nullptr ? *slot : 0;
}

#ifndef LEXORA_RECORDING_PARTIAL
int VXTRGetVStatus() {
  const std::lock_guard lock(EntryLock());
  Recorder& recorder = State();
  const int speaking = recorder.speakingPolls > 0 ? 1 : 0;
  if (speaking != 0) --recorder.speakingPolls;
  Log("VXTRGetVStatus" + Ints({speaking}));
  return speaking;
}
#endif

int VXTRVoiceGuide(const char* text, int mode) {
  const std::lock_guard lock(EntryLock());
  Log("VXTRVoiceGuide " + Hex(text) + Ints({mode}));
  StartUtterance();
  return 1;
}

int VXTRCommand(const char* name, int unused1, int unused2) {
  const std::lock_guard lock(EntryLock());
  Log("VXTRCommand " + Hex(name) + Ints({unused1, unused2}));
  return 1;
}

void VXTRVReset() {
  const std::lock_guard lock(EntryLock());
  Log("VXTRVReset");
  State().speakingPolls = 0;
}

void VXTRStatus() {}

int VXTRBeep(int kind, int length, int unused) {
  const std::lock_guard lock(EntryLock());
  Log("VXTRBeep" + Ints({kind, length, unused}));
  return 1;
}

int VXTRGetVersion() {
  const std::lock_guard lock(EntryLock());
  Log("VXTRGetVersion");
  return kVersion;
}

void VXTREventHook() {}
void VXTRGetVoiceLog() {}

#ifndef LEXORA_RECORDING_PARTIAL
void VXTRPRead(const char* text, int mode, int flag) {
  const std::lock_guard lock(EntryLock());
  Log("VXTRPRead " + Hex(text) + Ints({mode, flag}));
  StartUtterance();
}
#endif

void VXTRCGuide(const char* text, int mode) {
  const std::lock_guard lock(EntryLock());
  Log("VXTRCGuide " + Hex(text) + Ints({mode}));
  StartUtterance();
}

void VXTRPReadEx() {}
void VXTRCGuideEx() {}

void VXTRReadWindow(const char* text, int event) {
  const std::lock_guard lock(EntryLock());
  const int* speechSwitch = FindStatus(kSpeechSwitchCategory, kSpeechSwitchItem);
  if (speechSwitch == nullptr || *speechSwitch == 0) return;
  Log("VXTRReadWindow " + Hex(text) + Ints({event}));
  StartUtterance();
}

// Braille event module.
void CallEvents() {}

#ifndef LEXORA_RECORDING_PARTIAL
int SetEventBrlCommand(const char* path) { return BrailleFile("SetEventBrlCommand", path); }
#endif

int SetEventRoundCommand(const char* path) { return BrailleFile("SetEventRoundCommand", path); }

void TovelStatus() {}
void TovelSendCommand() {}
void TovelGetStatus() {}
void TovelSetStatus() {}

}  // extern "C"
