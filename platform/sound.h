// Sound output: PlaySound and the wave-out device, both through one
// audio back end. The process back end is ALSA when a sound device can
// be opened and silence when none can, so that a machine without sound
// plays nothing and reports no error; tests install a recording one.
#pragma once

#include <cstdint>
#include <map>
#include <memory>
#include <mutex>
#include <span>
#include <vector>

#include "platform/module.h"
#include "platform/wave.h"

namespace platform {

// One stream of samples being played by a back end.
using StreamId = uint64_t;

class AudioBackend {
 public:
  virtual ~AudioBackend() = default;
  // Starts playing a copy of the samples; `repeats` plays them that many
  // times in a row, 0 repeating until stopped.
  virtual StreamId Start(const WAVEFORMATEX& format, std::span<const uint8_t> samples,
                         uint32_t repeats) = 0;
  virtual bool IsPlaying(StreamId stream) = 0;
  virtual void Stop(StreamId stream) = 0;
};

// Plays nothing: every stream has ended as soon as it starts.
class SilentAudioBackend : public AudioBackend {
 public:
  StreamId Start(const WAVEFORMATEX& format, std::span<const uint8_t> samples,
                 uint32_t repeats) override;
  bool IsPlaying(StreamId) override { return false; }
  void Stop(StreamId) override {}

 private:
  StreamId next_ = 1;
};

// Keeps every stream it is given. A stream plays for as long as its
// samples last by the process clock (a fake clock in tests), or until
// stopped when it repeats without end.
class RecordingAudioBackend : public AudioBackend {
 public:
  struct Stream {
    WAVEFORMATEX format;
    std::vector<uint8_t> samples;
    uint32_t repeats = 1;
    uint32_t startTick = 0;
    bool stopped = false;
  };

  StreamId Start(const WAVEFORMATEX& format, std::span<const uint8_t> samples,
                 uint32_t repeats) override;
  bool IsPlaying(StreamId stream) override;
  void Stop(StreamId stream) override;

  // Every stream started, in order.
  std::vector<Stream> Streams() const;
  size_t PlayingCount();

 private:
  bool IsPlayingLocked(const Stream& stream) const;

  mutable std::mutex mutex_;
  std::map<StreamId, Stream> streams_;
  StreamId next_ = 1;
};

// The ALSA back end on the default device; null when no device opens.
std::unique_ptr<AudioBackend> OpenAlsaBackend();

// The process back end, chosen at first use.
AudioBackend& ProcessAudio();

// Installs a back end as the process back end while the guard lives;
// what still plays on it when the guard ends is stopped and forgotten.
class ScopedAudioBackend {
 public:
  explicit ScopedAudioBackend(AudioBackend& backend);
  ~ScopedAudioBackend();
  ScopedAudioBackend(const ScopedAudioBackend&) = delete;
  ScopedAudioBackend& operator=(const ScopedAudioBackend&) = delete;

 private:
  AudioBackend* installed_;
  AudioBackend* previous_;
};

// PlaySound. SND_FILENAME takes a system path (CP932); SND_MEMORY a
// whole wave image whose RIFF header tells its size. There are no
// resources and no default sounds.
inline constexpr uint32_t SND_SYNC = 0x0000;
inline constexpr uint32_t SND_ASYNC = 0x0001;
inline constexpr uint32_t SND_NODEFAULT = 0x0002;
inline constexpr uint32_t SND_MEMORY = 0x0004;
inline constexpr uint32_t SND_LOOP = 0x0008;
inline constexpr uint32_t SND_NOSTOP = 0x0010;
inline constexpr uint32_t SND_PURGE = 0x0040;
inline constexpr uint32_t SND_NOWAIT = 0x2000;
inline constexpr uint32_t SND_FILENAME = 0x20000;
inline constexpr uint32_t SND_RESOURCE = 0x40004;

// Answers true when the sound was played (or, with SND_PURGE or no
// sound, when playing stopped).
bool PlaySoundA(const char* sound, HMODULE instance, uint32_t flags);

// The sounds MessageBeep knows, by message-box icon; any other value
// gives the default beep. Each is a short tone of its own pitch, played
// at once beside whatever PlaySound plays.
inline constexpr uint32_t MB_OK = 0x00;
inline constexpr uint32_t MB_ICONHAND = 0x10;
inline constexpr uint32_t MB_ICONQUESTION = 0x20;
inline constexpr uint32_t MB_ICONEXCLAMATION = 0x30;
inline constexpr uint32_t MB_ICONASTERISK = 0x40;
inline constexpr uint32_t kSimpleBeep = 0xFFFFFFFF;
bool MessageBeep(uint32_t type);

// The wave-out device.
using MMRESULT = uint32_t;
inline constexpr MMRESULT MMSYSERR_NOERROR = 0;
inline constexpr MMRESULT MMSYSERR_BADDEVICEID = 2;
inline constexpr MMRESULT MMSYSERR_INVALHANDLE = 5;
inline constexpr MMRESULT MMSYSERR_INVALPARAM = 11;
inline constexpr MMRESULT WAVERR_BADFORMAT = 32;
inline constexpr MMRESULT WAVERR_STILLPLAYING = 33;
inline constexpr MMRESULT WAVERR_UNPREPARED = 34;

inline constexpr uint32_t WAVE_MAPPER = 0xFFFFFFFF;
inline constexpr uint32_t CALLBACK_NULL = 0x00000;
inline constexpr uint32_t CALLBACK_FUNCTION = 0x30000;

inline constexpr uint32_t WHDR_DONE = 0x01;
inline constexpr uint32_t WHDR_PREPARED = 0x02;
inline constexpr uint32_t WHDR_BEGINLOOP = 0x04;
inline constexpr uint32_t WHDR_ENDLOOP = 0x08;
inline constexpr uint32_t WHDR_INQUEUE = 0x10;

struct WAVEHDR {
  char* lpData = nullptr;
  uint32_t dwBufferLength = 0;
  uint32_t dwBytesRecorded = 0;
  uintptr_t dwUser = 0;
  uint32_t dwFlags = 0;
  uint32_t dwLoops = 0;
  WAVEHDR* lpNext = nullptr;
  uintptr_t reserved = 0;
};

class WaveOutDevice;
using HWAVEOUT = WaveOutDevice*;

// Opens a device for plain PCM. No callback is ever made: a header's
// WHDR_DONE flag tells when it has played.
MMRESULT waveOutOpen(HWAVEOUT* device, uint32_t deviceId, const WAVEFORMATEX* format,
                     uintptr_t callback, uintptr_t instance, uint32_t flags);
MMRESULT waveOutPrepareHeader(HWAVEOUT device, WAVEHDR* header, uint32_t headerSize);
MMRESULT waveOutWrite(HWAVEOUT device, WAVEHDR* header, uint32_t headerSize);
// WAVERR_STILLPLAYING while the header is queued.
MMRESULT waveOutUnprepareHeader(HWAVEOUT device, WAVEHDR* header, uint32_t headerSize);
// Stops playback and marks every queued header done.
MMRESULT waveOutReset(HWAVEOUT device);
// WAVERR_STILLPLAYING while a header is queued; the device stays open.
MMRESULT waveOutClose(HWAVEOUT device);

// How many wave-out devices are open; tests use it to find leaks.
size_t OpenWaveOutDevices();

}  // namespace platform
