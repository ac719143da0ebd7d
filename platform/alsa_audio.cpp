// The ALSA back end: each stream plays on its own thread through its own
// handle on the default device, so that cues may overlap like separate
// wave-out devices do.
#include <alsa/asoundlib.h>

#include <atomic>
#include <map>
#include <mutex>
#include <thread>

#include "platform/sound.h"

namespace platform {

namespace {

constexpr const char* kDevice = "default";
constexpr unsigned kLatencyUs = 100000;
constexpr snd_pcm_uframes_t kFramesPerWrite = 1024;

// ALSA reports a missing card on stderr; a machine without sound is normal here.
void IgnoreAlsaError(const char*, int, const char*, int, const char*, ...) {}

class PcmHandle {
 public:
  explicit PcmHandle(int mode) {
    if (snd_pcm_open(&pcm_, kDevice, SND_PCM_STREAM_PLAYBACK, mode) < 0) pcm_ = nullptr;
  }
  ~PcmHandle() {
    if (pcm_ != nullptr) snd_pcm_close(pcm_);
  }
  PcmHandle(const PcmHandle&) = delete;
  PcmHandle& operator=(const PcmHandle&) = delete;
  snd_pcm_t* get() const { return pcm_; }

 private:
  snd_pcm_t* pcm_ = nullptr;
};

class AlsaStream {
 public:
  AlsaStream(const WAVEFORMATEX& format, std::span<const uint8_t> samples, uint32_t repeats)
      : format_(format), samples_(samples.begin(), samples.end()), repeats_(repeats) {
    thread_ = std::thread([this] { Run(); });
  }
  ~AlsaStream() {
    stop_ = true;
    thread_.join();
  }
  AlsaStream(const AlsaStream&) = delete;
  AlsaStream& operator=(const AlsaStream&) = delete;

  bool IsPlaying() const { return !done_; }
  void Stop() { stop_ = true; }

 private:
  void Run() {
    PcmHandle pcm(0);
    const snd_pcm_format_t sampleFormat =
        format_.wBitsPerSample == 8 ? SND_PCM_FORMAT_U8 : SND_PCM_FORMAT_S16_LE;
    if (pcm.get() != nullptr &&
        snd_pcm_set_params(pcm.get(), sampleFormat, SND_PCM_ACCESS_RW_INTERLEAVED,
                           format_.nChannels, format_.nSamplesPerSec, 1, kLatencyUs) >= 0) {
      for (uint32_t pass = 0; !stop_ && (repeats_ == 0 || pass < repeats_); ++pass) {
        WriteAll(pcm.get());
      }
      if (stop_) {
        snd_pcm_drop(pcm.get());
      } else {
        snd_pcm_drain(pcm.get());
      }
    }
    done_ = true;
  }

  void WriteAll(snd_pcm_t* pcm) {
    const size_t frameBytes = format_.nBlockAlign;
    const snd_pcm_uframes_t frames = samples_.size() / frameBytes;
    snd_pcm_uframes_t written = 0;
    while (!stop_ && written < frames) {
      const snd_pcm_uframes_t chunk = std::min(kFramesPerWrite, frames - written);
      snd_pcm_sframes_t result = snd_pcm_writei(pcm, samples_.data() + written * frameBytes, chunk);
      if (result < 0) result = snd_pcm_recover(pcm, static_cast<int>(result), 1);
      if (result < 0) return;
      written += static_cast<snd_pcm_uframes_t>(result);
    }
  }

  WAVEFORMATEX format_;
  std::vector<uint8_t> samples_;
  uint32_t repeats_;
  std::atomic<bool> stop_{false};
  std::atomic<bool> done_{false};
  std::thread thread_;
};

class AlsaBackend : public AudioBackend {
 public:
  StreamId Start(const WAVEFORMATEX& format, std::span<const uint8_t> samples,
                 uint32_t repeats) override {
    std::lock_guard lock(mutex_);
    std::erase_if(streams_, [](const auto& entry) { return !entry.second->IsPlaying(); });
    const StreamId id = next_++;
    streams_[id] = std::make_unique<AlsaStream>(format, samples, repeats);
    return id;
  }
  bool IsPlaying(StreamId stream) override {
    std::lock_guard lock(mutex_);
    const auto it = streams_.find(stream);
    return it != streams_.end() && it->second->IsPlaying();
  }
  void Stop(StreamId stream) override {
    std::lock_guard lock(mutex_);
    const auto it = streams_.find(stream);
    if (it != streams_.end()) it->second->Stop();
  }

 private:
  std::mutex mutex_;
  std::map<StreamId, std::unique_ptr<AlsaStream>> streams_;
  StreamId next_ = 1;
};

}  // namespace

std::unique_ptr<AudioBackend> OpenAlsaBackend() {
  snd_lib_error_set_handler(&IgnoreAlsaError);
  const PcmHandle probe(SND_PCM_NONBLOCK);
  if (probe.get() == nullptr) return nullptr;
  return std::make_unique<AlsaBackend>();
}

}  // namespace platform
