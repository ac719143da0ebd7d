#include "platform/sound.h"

#include <algorithm>
#include <array>
#include <atomic>
#include <cstring>
#include <optional>
#include <string>
#include <utility>

#include "platform/clock.h"
#include "platform/system_info.h"

namespace platform {

namespace {

// How often a synchronous PlaySound looks whether its sound has ended.
constexpr uint32_t kSyncPollMs = 10;
constexpr size_t kRiffPreambleBytes = 8;

uint32_t DurationMs(const WAVEFORMATEX& format, size_t bytes) {
  if (format.nAvgBytesPerSec == 0) return 0;
  const uint64_t ms =
      (uint64_t{bytes} * 1000 + format.nAvgBytesPerSec - 1) / format.nAvgBytesPerSec;
  return static_cast<uint32_t>(ms);
}

std::atomic<AudioBackend*>& InstalledBackend() {
  static std::atomic<AudioBackend*> installed{nullptr};
  return installed;
}

// Never destroyed: the process-wide sound player stops its sounds from
// its own destructor at exit, which may run after this one would.
AudioBackend& DefaultBackend() {
  static AudioBackend* const backend = [] {
    std::unique_ptr<AudioBackend> alsa = OpenAlsaBackend();
    return alsa ? alsa.release() : new SilentAudioBackend;
  }();
  return *backend;
}

// The one stream that PlaySound plays; a new sound replaces it.
class PlaySoundChannel {
 public:
  bool IsPlaying() {
    std::lock_guard lock(mutex_);
    return backend_ != nullptr && backend_->IsPlaying(stream_);
  }
  void Stop() {
    std::lock_guard lock(mutex_);
    StopLocked();
  }
  void Forget(AudioBackend* backend) {
    std::lock_guard lock(mutex_);
    if (backend_ == backend) StopLocked();
  }
  void Start(const WaveImage& wave, bool loop) {
    std::lock_guard lock(mutex_);
    StopLocked();
    backend_ = &ProcessAudio();
    stream_ = backend_->Start(wave.format, wave.samples, loop ? 0 : 1);
  }

 private:
  void StopLocked() {
    if (backend_ != nullptr) backend_->Stop(stream_);
    backend_ = nullptr;
  }

  std::mutex mutex_;
  AudioBackend* backend_ = nullptr;
  StreamId stream_ = 0;
};

// The channel and the device table are never destroyed, like the default
// back end: sounds may be stopped by destructors of statics at exit.
PlaySoundChannel& Channel() {
  static PlaySoundChannel* const channel = new PlaySoundChannel;
  return *channel;
}

std::optional<WaveImage> LoadSound(const char* sound, uint32_t flags) {
  if ((flags & SND_MEMORY) != 0) {
    // A memory image carries its own size in the RIFF header.
    const auto* bytes = reinterpret_cast<const uint8_t*>(sound);
    uint32_t riffSize = 0;
    std::memcpy(&riffSize, bytes + 4, sizeof riffSize);
    return ParseWave({bytes, size_t{riffSize} + kRiffPreambleBytes});
  }
  const std::optional<std::string> path = HostPath(sound);
  if (!path) return std::nullopt;
  return ReadWave(*path);
}

}  // namespace

StreamId SilentAudioBackend::Start(const WAVEFORMATEX&, std::span<const uint8_t>, uint32_t) {
  return next_++;
}

StreamId RecordingAudioBackend::Start(const WAVEFORMATEX& format, std::span<const uint8_t> samples,
                                      uint32_t repeats) {
  std::lock_guard lock(mutex_);
  const StreamId id = next_++;
  streams_[id] = Stream{format, {samples.begin(), samples.end()}, repeats, GetTickCount(), false};
  return id;
}

bool RecordingAudioBackend::IsPlayingLocked(const Stream& stream) const {
  if (stream.stopped) return false;
  if (stream.repeats == 0) return !stream.samples.empty();
  const uint64_t duration =
      uint64_t{DurationMs(stream.format, stream.samples.size())} * stream.repeats;
  return GetTickCount() - stream.startTick < duration;
}

bool RecordingAudioBackend::IsPlaying(StreamId stream) {
  std::lock_guard lock(mutex_);
  const auto it = streams_.find(stream);
  return it != streams_.end() && IsPlayingLocked(it->second);
}

void RecordingAudioBackend::Stop(StreamId stream) {
  std::lock_guard lock(mutex_);
  const auto it = streams_.find(stream);
  if (it != streams_.end()) it->second.stopped = true;
}

std::vector<RecordingAudioBackend::Stream> RecordingAudioBackend::Streams() const {
  std::lock_guard lock(mutex_);
  std::vector<Stream> all;
  for (const auto& [id, stream] : streams_) all.push_back(stream);
  return all;
}

size_t RecordingAudioBackend::PlayingCount() {
  std::lock_guard lock(mutex_);
  size_t count = 0;
  for (const auto& [id, stream] : streams_) count += IsPlayingLocked(stream) ? 1 : 0;
  return count;
}

AudioBackend& ProcessAudio() {
  AudioBackend* installed = InstalledBackend().load();
  return installed != nullptr ? *installed : DefaultBackend();
}

bool PlaySoundA(const char* sound, HMODULE, uint32_t flags) {
  PlaySoundChannel& channel = Channel();
  if ((flags & SND_PURGE) != 0 || sound == nullptr) {
    channel.Stop();
    return true;
  }
  const bool async = (flags & SND_ASYNC) != 0;
  const bool loop = (flags & SND_LOOP) != 0;
  if ((flags & SND_RESOURCE) == SND_RESOURCE || (loop && !async)) return false;
  if ((flags & SND_NOSTOP) != 0 && channel.IsPlaying()) return false;
  const std::optional<WaveImage> wave = LoadSound(sound, flags);
  if (!wave) return false;
  channel.Start(*wave, loop);
  if (!async) {
    while (channel.IsPlaying()) Sleep(kSyncPollMs);
  }
  return true;
}

namespace {

constexpr uint32_t kBeepRate = 44100;
constexpr uint16_t kBeepBits = 16;
constexpr uint16_t kBeepBlock = kBeepBits / 8;
constexpr WAVEFORMATEX kBeepFormat{WAVE_FORMAT_PCM, 1,         kBeepRate, kBeepRate* kBeepBlock,
                                   kBeepBlock,      kBeepBits, 0};
constexpr uint32_t kBeepMs = 150;
constexpr int16_t kBeepAmplitude = 8000;
constexpr uint32_t kMsPerSecond = 1000;

struct BeepTone {
  uint32_t type;
  uint32_t hertz;
};
constexpr BeepTone kDefaultTone{MB_OK, 800};
constexpr std::array kBeepTones = {
    kDefaultTone,
    BeepTone{MB_ICONHAND, 440},
    BeepTone{MB_ICONQUESTION, 660},
    BeepTone{MB_ICONEXCLAMATION, 880},
    BeepTone{MB_ICONASTERISK, 1320},
};

uint32_t BeepHertz(uint32_t type) {
  for (const BeepTone& tone : kBeepTones) {
    if (tone.type == type) return tone.hertz;
  }
  return kDefaultTone.hertz;
}

// A square wave of the pitch, as 16-bit little-endian samples.
std::vector<uint8_t> SquareWave(uint32_t hertz) {
  const uint32_t count = kBeepRate * kBeepMs / kMsPerSecond;
  const uint32_t halfPeriod = kBeepRate / (2 * hertz);
  std::vector<uint8_t> samples;
  samples.reserve(count * kBeepBlock);
  for (uint32_t i = 0; i < count; ++i) {
    const int16_t value = (i / halfPeriod) % 2 == 0 ? kBeepAmplitude : -kBeepAmplitude;
    const auto bits = static_cast<uint16_t>(value);
    samples.push_back(static_cast<uint8_t>(bits & 0xFF));
    samples.push_back(static_cast<uint8_t>(bits >> 8));
  }
  return samples;
}

}  // namespace

bool MessageBeep(uint32_t type) {
  const std::vector<uint8_t> samples = SquareWave(BeepHertz(type));
  ProcessAudio().Start(kBeepFormat, samples, 1);
  return true;
}

// A wave-out device: the headers written to it and the streams that play them.
class WaveOutDevice {
 public:
  explicit WaveOutDevice(const WAVEFORMATEX& format) : format_(format) {}
  ~WaveOutDevice() { Reset(); }
  WaveOutDevice(const WaveOutDevice&) = delete;
  WaveOutDevice& operator=(const WaveOutDevice&) = delete;

  void Write(WAVEHDR* header) {
    const bool looped =
        (header->dwFlags & (WHDR_BEGINLOOP | WHDR_ENDLOOP)) == (WHDR_BEGINLOOP | WHDR_ENDLOOP);
    const uint32_t repeats = looped && header->dwLoops > 1 ? header->dwLoops : 1;
    AudioBackend& backend = ProcessAudio();
    const std::span<const uint8_t> samples(reinterpret_cast<const uint8_t*>(header->lpData),
                                           header->dwBufferLength);
    queued_.push_back(Queued{header, &backend, backend.Start(format_, samples, repeats)});
    header->dwFlags = (header->dwFlags & ~WHDR_DONE) | WHDR_INQUEUE;
  }

  // Marks the headers whose samples have played as done.
  void Refresh() {
    std::erase_if(queued_, [](const Queued& queued) {
      if (queued.backend->IsPlaying(queued.stream)) return false;
      MarkDone(queued.header);
      return true;
    });
  }

  bool IsQueued(const WAVEHDR* header) {
    Refresh();
    return std::any_of(queued_.begin(), queued_.end(),
                       [header](const Queued& queued) { return queued.header == header; });
  }

  bool HasQueued() {
    Refresh();
    return !queued_.empty();
  }

  void Reset() { Forget(nullptr); }

  // Ends the playback on `backend` (on every back end for null).
  void Forget(const AudioBackend* backend) {
    std::erase_if(queued_, [backend](const Queued& queued) {
      if (backend != nullptr && queued.backend != backend) return false;
      queued.backend->Stop(queued.stream);
      MarkDone(queued.header);
      return true;
    });
  }

 private:
  struct Queued {
    WAVEHDR* header;
    AudioBackend* backend;
    StreamId stream;
  };

  static void MarkDone(WAVEHDR* header) {
    header->dwFlags = (header->dwFlags & ~WHDR_INQUEUE) | WHDR_DONE;
  }

  WAVEFORMATEX format_;
  std::vector<Queued> queued_;
};

namespace {

class DeviceTable {
 public:
  HWAVEOUT Open(const WAVEFORMATEX& format) {
    auto device = std::make_unique<WaveOutDevice>(format);
    HWAVEOUT handle = device.get();
    std::lock_guard lock(mutex_);
    devices_[handle] = std::move(device);
    return handle;
  }
  bool Contains(HWAVEOUT device) {
    std::lock_guard lock(mutex_);
    return devices_.count(device) != 0;
  }
  void Close(HWAVEOUT device) {
    std::lock_guard lock(mutex_);
    devices_.erase(device);
  }
  size_t Count() {
    std::lock_guard lock(mutex_);
    return devices_.size();
  }
  void Forget(const AudioBackend* backend) {
    std::lock_guard lock(mutex_);
    for (auto& [handle, device] : devices_) device->Forget(backend);
  }

 private:
  std::mutex mutex_;
  std::map<HWAVEOUT, std::unique_ptr<WaveOutDevice>> devices_;
};

DeviceTable& Devices() {
  static DeviceTable* const table = new DeviceTable;
  return *table;
}

bool ValidHeader(const WAVEHDR* header, uint32_t headerSize) {
  return header != nullptr && headerSize == sizeof(WAVEHDR);
}

}  // namespace

MMRESULT waveOutOpen(HWAVEOUT* device, uint32_t deviceId, const WAVEFORMATEX* format, uintptr_t,
                     uintptr_t, uint32_t) {
  if (device == nullptr || format == nullptr) return MMSYSERR_INVALPARAM;
  *device = nullptr;
  if (deviceId != WAVE_MAPPER && deviceId != 0) return MMSYSERR_BADDEVICEID;
  if (!IsPlayablePcm(*format)) return WAVERR_BADFORMAT;
  *device = Devices().Open(*format);
  return MMSYSERR_NOERROR;
}

MMRESULT waveOutPrepareHeader(HWAVEOUT device, WAVEHDR* header, uint32_t headerSize) {
  if (!Devices().Contains(device)) return MMSYSERR_INVALHANDLE;
  if (!ValidHeader(header, headerSize)) return MMSYSERR_INVALPARAM;
  header->dwFlags = (header->dwFlags & ~WHDR_DONE) | WHDR_PREPARED;
  return MMSYSERR_NOERROR;
}

MMRESULT waveOutWrite(HWAVEOUT device, WAVEHDR* header, uint32_t headerSize) {
  if (!Devices().Contains(device)) return MMSYSERR_INVALHANDLE;
  if (!ValidHeader(header, headerSize)) return MMSYSERR_INVALPARAM;
  if ((header->dwFlags & WHDR_PREPARED) == 0) return WAVERR_UNPREPARED;
  if (device->IsQueued(header)) return WAVERR_STILLPLAYING;
  device->Write(header);
  return MMSYSERR_NOERROR;
}

MMRESULT waveOutUnprepareHeader(HWAVEOUT device, WAVEHDR* header, uint32_t headerSize) {
  if (!Devices().Contains(device)) return MMSYSERR_INVALHANDLE;
  if (!ValidHeader(header, headerSize)) return MMSYSERR_INVALPARAM;
  if (device->IsQueued(header)) return WAVERR_STILLPLAYING;
  header->dwFlags &= ~WHDR_PREPARED;
  return MMSYSERR_NOERROR;
}

MMRESULT waveOutReset(HWAVEOUT device) {
  if (!Devices().Contains(device)) return MMSYSERR_INVALHANDLE;
  device->Reset();
  return MMSYSERR_NOERROR;
}

MMRESULT waveOutClose(HWAVEOUT device) {
  if (!Devices().Contains(device)) return MMSYSERR_INVALHANDLE;
  if (device->HasQueued()) return WAVERR_STILLPLAYING;
  Devices().Close(device);
  return MMSYSERR_NOERROR;
}

size_t OpenWaveOutDevices() { return Devices().Count(); }

ScopedAudioBackend::ScopedAudioBackend(AudioBackend& backend)
    : installed_(&backend), previous_(InstalledBackend().exchange(&backend)) {}

ScopedAudioBackend::~ScopedAudioBackend() {
  InstalledBackend().store(previous_);
  Channel().Forget(installed_);
  Devices().Forget(installed_);
}

}  // namespace platform
