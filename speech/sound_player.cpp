#include "speech/sound_player.h"

#include <algorithm>
#include <optional>
#include <string_view>

#include "platform/sjis.h"
#include "speech/reader_bridge.h"

namespace {

constexpr int kReservedIds = 15;
constexpr int kLastReaderBeep = 3;
constexpr int kFallbackBeepKind = 2;
constexpr int kFallbackBeepLength = 15;
constexpr int kRefused = -1;
constexpr int kNotFound = -1;
constexpr char kSeparator = '\\';
constexpr uint32_t kXpMajor = 5;
// Loop over the whole buffer once.
constexpr uint32_t kHeaderFlags = platform::WHDR_BEGINLOOP | platform::WHDR_ENDLOOP;
constexpr uint32_t kHeaderLoops = 1;

bool EndsWithSeparator(std::string_view folder) {
  // Walk whole characters: a trail byte may be 0x5C without being "\".
  size_t last = std::string_view::npos;
  for (size_t pos = 0; pos < folder.size(); pos += platform::CharLengthAt(folder, pos)) last = pos;
  return last != std::string_view::npos && folder.size() - last == 1 && folder[last] == kSeparator;
}

uint32_t PlaySoundFlags(int flags) {
  uint32_t result = platform::SND_NODEFAULT;
  if ((flags & CSoundPlayer::kPlayAsync) != 0) result |= platform::SND_ASYNC;
  if ((flags & CSoundPlayer::kPlayLoop) != 0) result |= platform::SND_LOOP;
  if ((flags & CSoundPlayer::kPlayNoStop) != 0) result |= platform::SND_NOSTOP;
  if ((flags & CSoundPlayer::kPlayNoWait) != 0) result |= platform::SND_NOWAIT;
  return result;
}

uint32_t KindFlags(int32_t kind) {
  switch (kind) {
    case SoundEntry::kMappedFile:
    case SoundEntry::kMemory:
      return platform::SND_MEMORY;
    case SoundEntry::kResource:
      return platform::SND_RESOURCE;
    default:
      return platform::SND_FILENAME;
  }
}

void PointHeaderAtSamples(SoundEntry& entry) {
  entry.header = platform::WAVEHDR{};
  entry.header.lpData = reinterpret_cast<char*>(entry.wave.samples.data());
  entry.header.dwBufferLength = static_cast<uint32_t>(entry.wave.samples.size());
  entry.header.dwFlags = kHeaderFlags;
  entry.header.dwLoops = kHeaderLoops;
}

std::unique_ptr<CSoundPlayer>& GlobalSlot() {
  static std::unique_ptr<CSoundPlayer> player;
  return player;
}

}  // namespace

int ReadWaveFile(const char* path, platform::WaveImage& wave) {
  wave = platform::WaveImage{};
  if (path == nullptr) return 0;
  const std::optional<std::string> hostPath = platform::HostPath(path);
  if (!hostPath) return 0;
  std::optional<platform::WaveImage> read = platform::ReadWave(*hostPath);
  if (!read) return 0;
  wave = std::move(*read);
  return 1;
}

CSoundPlayer::CSoundPlayer(int mode) : mode_(mode) {
  version_.dwOSVersionInfoSize = sizeof(version_);
  platform::GetVersionExA(&version_);
}

CSoundPlayer::~CSoundPlayer() {
  busy_ = 1;
  StopSound();
  for (size_t i = 0; i < sounds_.size(); ++i) FreeSound(static_cast<int>(i));
  sounds_.clear();
  busy_ = 0;
}

bool CSoundPlayer::IsXpOrLater() const {
  return version_.dwMajorVersion > kXpMajor ||
         (version_.dwMajorVersion == kXpMajor && version_.dwMinorVersion != 0);
}

int CSoundPlayer::LoadSounds(const char* folder) {
  busy_ = 1;
  std::string prefix = folder != nullptr ? folder : "";
  if (!EndsWithSeparator(prefix)) prefix += kSeparator;
  int allLoaded = 1;
  for (const CueSound& cue : CueSoundTable) {
    if (cue.id == kEndOfCueSounds) break;
    if (IsLoaded(cue.id) != 0) {
      allLoaded = 0;
      continue;
    }
    auto entry = std::make_unique<SoundEntry>();
    entry->id = cue.id;
    entry->kind = SoundEntry::kFile;
    const std::string path = prefix + cue.file;
    bool had = true;
    if (IsXpOrLater()) {
      had = ReadWaveFile(path.c_str(), entry->wave) != 0;
      PointHeaderAtSamples(*entry);
    } else {
      entry->path = path;
    }
    if (had) {
      sounds_.push_back(std::move(entry));
    } else {
      allLoaded = 0;
    }
  }
  busy_ = 0;
  return allLoaded;
}

int CSoundPlayer::IsLoaded(int id) const {
  return id <= kReservedIds || FindSound(id) != kNotFound ? 1 : 0;
}

int CSoundPlayer::FindSound(int id) const {
  if (id <= kReservedIds) return kNotFound;
  const auto it = std::find_if(sounds_.begin(), sounds_.end(),
                               [id](const auto& entry) { return entry && entry->id == id; });
  return it == sounds_.end() ? kNotFound : static_cast<int>(it - sounds_.begin());
}

int CSoundPlayer::Play(int id, int purge, int flags) {
  if (busy_ != 0) return 1;
  ReleaseFinished();
  const uint32_t soundFlags = PlaySoundFlags(flags);
  if ((soundFlags & (platform::SND_NOSTOP | platform::SND_NOWAIT)) == 0 && purge == 1) StopSound();
  const int index = FindSound(id);
  if (index == kNotFound) {
    if (id >= 1 && id <= kLastReaderBeep) return PlayReaderBeep(id, kFallbackBeepLength, 0);
    if (mode_ == kBeepForUnknown) {
      return PlayReaderBeep(kFallbackBeepKind, kFallbackBeepLength, 0);
    }
    return kRefused;
  }
  SoundEntry& entry = *sounds_[static_cast<size_t>(index)];
  if (entry.kind == SoundEntry::kFile && IsXpOrLater()) return PlayDirect(entry);
  return PlayByName(entry, soundFlags);
}

int CSoundPlayer::PlayDirect(SoundEntry& entry) {
  // A header may be written again only once its last playback is over.
  ReleasePlaybackOf(&entry.header);
  platform::PlaySoundA(nullptr, nullptr, platform::SND_PURGE);
  platform::HWAVEOUT device = nullptr;
  const platform::MMRESULT opened = platform::waveOutOpen(
      &device, platform::WAVE_MAPPER, &entry.wave.format, 0, 0, platform::CALLBACK_FUNCTION);
  if (opened != platform::MMSYSERR_NOERROR) return static_cast<int>(opened);
  constexpr uint32_t kHeaderSize = sizeof(platform::WAVEHDR);
  if (platform::waveOutPrepareHeader(device, &entry.header, kHeaderSize) ==
      platform::MMSYSERR_NOERROR) {
    if (platform::waveOutWrite(device, &entry.header, kHeaderSize) == platform::MMSYSERR_NOERROR) {
      // Closing now would cut the cue off or leave the device open for
      // good: it is released once it has played (ReleaseFinished).
      playbacks_.push_back(Playback{device, &entry.header});
      return static_cast<int>(platform::MMSYSERR_NOERROR);
    }
    platform::waveOutUnprepareHeader(device, &entry.header, kHeaderSize);
  }
  return static_cast<int>(platform::waveOutClose(device));
}

int CSoundPlayer::PlayByName(const SoundEntry& entry, uint32_t flags) {
  return platform::PlaySoundA(entry.path.c_str(), nullptr, flags | KindFlags(entry.kind)) ? 1 : 0;
}

void CSoundPlayer::StopSound() {
  platform::PlaySoundA(nullptr, nullptr, platform::SND_PURGE);
  ReleaseAll();
}

void CSoundPlayer::FreeSound(int index) {
  if (index < 0 || static_cast<size_t>(index) >= sounds_.size()) return;
  std::unique_ptr<SoundEntry>& entry = sounds_[static_cast<size_t>(index)];
  if (!entry) return;
  ReleasePlaybackOf(&entry->header);
  entry.reset();
}

void CSoundPlayer::Release(const Playback& playback) {
  constexpr uint32_t kHeaderSize = sizeof(platform::WAVEHDR);
  platform::waveOutReset(playback.device);
  platform::waveOutUnprepareHeader(playback.device, playback.header, kHeaderSize);
  platform::waveOutClose(playback.device);
}

void CSoundPlayer::ReleaseFinished() {
  std::erase_if(playbacks_, [](const Playback& playback) {
    if (platform::waveOutUnprepareHeader(playback.device, playback.header,
                                         sizeof(platform::WAVEHDR)) ==
        platform::WAVERR_STILLPLAYING) {
      return false;
    }
    Release(playback);
    return true;
  });
}

void CSoundPlayer::ReleasePlaybackOf(const platform::WAVEHDR* header) {
  std::erase_if(playbacks_, [header](const Playback& playback) {
    if (playback.header != header) return false;
    Release(playback);
    return true;
  });
}

void CSoundPlayer::ReleaseAll() {
  for (const Playback& playback : playbacks_) Release(playback);
  playbacks_.clear();
}

CSoundPlayer& GlobalSoundPlayer() {
  std::unique_ptr<CSoundPlayer>& slot = GlobalSlot();
  if (!slot) slot = std::make_unique<CSoundPlayer>(CSoundPlayer::kBeepForUnknown);
  return *slot;
}

void ResetGlobalSoundPlayer() {
  GlobalSlot() = std::make_unique<CSoundPlayer>(CSoundPlayer::kBeepForUnknown);
}
