#include "speech/reader_bridge.h"

#include <array>
#include <atomic>
#include <cstddef>
#include <mutex>

#include "platform/module.h"
#include "platform/reader_module.h"
#include "platform/window_reading.h"

namespace {

namespace abi = platform::reader;

// Entry-point indexes, in binding order.
enum ReaderEntry : size_t {
  kSetStatus,
  kGetStatus,
  kGetVoiceStatus,
  kVoiceGuide,
  kCommand,
  kVoiceReset,
  kStatus,
  kBeep,
  kGetVersion,
  kEventHook,
  kGetVoiceLog,
  kPlainRead,
  kCharGuide,
  kPlainReadEx,
  kCharGuideEx,
  kReadWindow,
  kReaderEntryCount
};

enum BrailleEntry : size_t {
  kCallEvents,
  kSetBrailleCommand,
  kSetRoundCommand,
  kTovelStatus,
  kTovelSendCommand,
  kTovelGetStatus,
  kTovelSetStatus,
  kBrailleEntryCount
};

constexpr std::array<const char*, kReaderEntryCount> kReaderEntryNames{
    abi::kSetStatus,  abi::kGetStatus,   abi::kGetVoiceStatus, abi::kVoiceGuide,
    abi::kCommand,    abi::kVoiceReset,  abi::kStatus,         abi::kBeep,
    abi::kGetVersion, abi::kEventHook,   abi::kGetVoiceLog,    abi::kPlainRead,
    abi::kCharGuide,  abi::kPlainReadEx, abi::kCharGuideEx,    abi::kReadWindow};

constexpr std::array<const char*, kBrailleEntryCount> kBrailleEntryNames{
    abi::kCallEvents,       abi::kSetBrailleCommand, abi::kSetRoundCommand, abi::kTovelStatus,
    abi::kTovelSendCommand, abi::kTovelGetStatus,    abi::kTovelSetStatus};

// A module and its bound entry points. The pointers are atomic because
// speaking threads read them while the window thread may bind them.
template <size_t N>
class BoundModule {
 public:
  BoundModule(const char* name, const std::array<const char*, N>& entryNames)
      : name_(name), entryNames_(entryNames) {}

  bool IsLoaded() const { return module_.IsLoaded(); }

  bool Load() {
    module_ = platform::Module(name_);
    if (!module_.IsLoaded()) return false;
    for (size_t i = 0; i < N; ++i) entries_[i].store(module_.Find(entryNames_[i]));
    return true;
  }

  void Free() {
    for (auto& entry : entries_) entry.store(nullptr);
    module_ = platform::Module();
  }

  template <typename Fn>
  Fn Get(size_t index) const {
    return reinterpret_cast<Fn>(entries_[index].load());
  }

 private:
  const char* name_;
  const std::array<const char*, N>& entryNames_;
  platform::Module module_;
  std::array<std::atomic<platform::FARPROC>, N> entries_{};
};

class ModuleTable {
 public:
  int Load() {
    std::lock_guard lock(mutex_);
    int result = 0;
    if (!reader_.IsLoaded() && !reader_.Load()) result |= kReaderModuleMissing;
    // Our own windows are read to the reader while it is loaded.
    platform::SetWindowReader(reader_.Get<abi::ReadWindowFn>(kReadWindow));
    if (!braille_.IsLoaded() && !braille_.Load()) result |= kBrailleModuleMissing;
    ++useCount_;
    return result;
  }

  void Unload() {
    std::lock_guard lock(mutex_);
    if (useCount_ == 0) return;
    if (--useCount_ == 0) FreeAll();
  }

  void Reset() {
    std::lock_guard lock(mutex_);
    useCount_ = 0;
    FreeAll();
  }

  template <typename Fn>
  Fn Reader(ReaderEntry entry) const {
    return reader_.Get<Fn>(entry);
  }
  template <typename Fn>
  Fn Braille(BrailleEntry entry) const {
    return braille_.Get<Fn>(entry);
  }

 private:
  void FreeAll() {
    platform::SetWindowReader(nullptr);
    reader_.Free();
    braille_.Free();
  }

  std::mutex mutex_;
  int useCount_ = 0;
  BoundModule<kReaderEntryCount> reader_{abi::kReaderModule, kReaderEntryNames};
  BoundModule<kBrailleEntryCount> braille_{abi::kBrailleModule, kBrailleEntryNames};
};

ModuleTable& Modules() {
  static ModuleTable table;
  return table;
}

}  // namespace

int LoadReaderModules() { return Modules().Load(); }

int UnloadReaderModules() {
  Modules().Unload();
  return 0;
}

void ResetReaderModules() { Modules().Reset(); }

int SetReaderStatus(int category, int itemOrValue, int value) {
  const auto fn = Modules().Reader<abi::SetStatusFn>(kSetStatus);
  return fn != nullptr ? fn(category, itemOrValue, value) : 0;
}

int GetReaderStatus(int category, int item, int unused) {
  const auto fn = Modules().Reader<abi::GetStatusFn>(kGetStatus);
  return fn != nullptr ? fn(category, item, unused) : 0;
}

int GetVoiceStatus() {
  const auto fn = Modules().Reader<abi::GetVoiceStatusFn>(kGetVoiceStatus);
  return fn != nullptr ? fn() : 0;
}

int SpeakVoiceGuide(const char* text, int mode) {
  const auto fn = Modules().Reader<abi::VoiceGuideFn>(kVoiceGuide);
  return fn != nullptr ? fn(text, mode) : 0;
}

int SendReaderCommand(const char* name, int unused1, int unused2) {
  const auto fn = Modules().Reader<abi::CommandFn>(kCommand);
  return fn != nullptr ? fn(name, unused1, unused2) : 0;
}

void SpeakText(const char* text, int mode, int flag) {
  if (const auto fn = Modules().Reader<abi::PlainReadFn>(kPlainRead)) fn(text, mode, flag);
}

void SpeakCharGuide(const char* text, int mode) {
  if (const auto fn = Modules().Reader<abi::CharGuideFn>(kCharGuide)) fn(text, mode);
}

void StopSpeech() {
  if (const auto fn = Modules().Reader<abi::VoiceResetFn>(kVoiceReset)) fn();
}

int PlayReaderBeep(int kind, int length, int unused) {
  const auto fn = Modules().Reader<abi::BeepFn>(kBeep);
  return fn != nullptr ? fn(kind, length, unused) : 0;
}

int GetReaderVersion() {
  const auto fn = Modules().Reader<abi::GetVersionFn>(kGetVersion);
  return fn != nullptr ? fn() : 0;
}

int SetBrailleCommandFile(const char* path) {
  const auto fn = Modules().Braille<abi::BrailleFileFn>(kSetBrailleCommand);
  return fn != nullptr ? fn(path) : 0;
}

int SetBrailleKeyCommandFile(const char* path) {
  const auto fn = Modules().Braille<abi::BrailleFileFn>(kSetRoundCommand);
  return fn != nullptr ? fn(path) : 0;
}
