// The player of the numbered sound cues. It loads the cue sounds once
// from a folder and plays them by sound id; ids it does not hold fall
// back to the screen reader's beeps.
#pragma once

#include <array>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "platform/sound.h"
#include "platform/system_info.h"
#include "platform/wave.h"
#include "speech/phrases.h"

struct SoundEntry {
  enum Kind : int32_t { kMappedFile = 0, kFile = 1, kMemory = 2, kResource = 3 };

  int32_t id = 0;
  int32_t kind = kFile;
  // The samples as the file describes them (Windows XP or later) ...
  platform::WaveImage wave;
  // ... or the full path, played by name (older Windows).
  std::string path;
  platform::WAVEHDR header;
};

struct CueSound {
  int32_t id;
  const char* file;
};

// Sound ids of the cue sounds.
inline constexpr int32_t kSoundNoInput = 16;
inline constexpr int32_t kSoundStretch = 19;
inline constexpr int32_t kSoundFullWidthSpace = 80;
inline constexpr int32_t kSoundHalfWidthSpace = 81;
inline constexpr int32_t kSoundBlank = 82;
inline constexpr int32_t kSoundLineChange = 256;
inline constexpr int32_t kSoundTableBottom = 257;
inline constexpr int32_t kSoundRowEnd = 258;
inline constexpr int32_t kSoundWarning = 4096;
inline constexpr int32_t kSoundError = 4098;
inline constexpr int32_t kEndOfCueSounds = -1;

inline constexpr std::array<CueSound, 11> CueSoundTable{{
    {kSoundNoInput, phrases::kNoInputSound},
    {kSoundStretch, phrases::kStretchSound},
    {kSoundFullWidthSpace, phrases::kFullWidthSpaceSound},
    {kSoundHalfWidthSpace, phrases::kHalfWidthSpaceSound},
    {kSoundBlank, phrases::kBlankSound},
    {kSoundLineChange, phrases::kLineChangeSound},
    {kSoundTableBottom, phrases::kTableBottomSound},
    {kSoundRowEnd, phrases::kRowEndSound},
    {kSoundWarning, phrases::kWarningSound},
    {kSoundError, phrases::kErrorSound},
    {kEndOfCueSounds, nullptr},
}};

// Reads a wave file given by its system path: the format from its "fmt "
// chunk and the samples of its "data" chunk. 1 read, 0 failed.
int ReadWaveFile(const char* path, platform::WaveImage& wave);

class CSoundPlayer {
 public:
  // Mode 1: ids without a sound give a reader beep.
  static constexpr int kBeepForUnknown = 1;
  // Play flag bits of the callers.
  static constexpr int kPlayWait = 0x1;
  static constexpr int kPlayAsync = 0x2;
  static constexpr int kPlayLoop = 0x4;
  static constexpr int kPlayNoStop = 0x8;
  static constexpr int kPlayNoWait = 0x10;

  explicit CSoundPlayer(int mode);
  ~CSoundPlayer();
  CSoundPlayer(const CSoundPlayer&) = delete;
  CSoundPlayer& operator=(const CSoundPlayer&) = delete;

  // Answers 1 when every cue sound was loaded by this call.
  int LoadSounds(const char* folder);
  int IsLoaded(int id) const;
  // The index of the sound; -1 for the reserved ids and absent ones.
  int FindSound(int id) const;
  int Play(int id, int purge, int flags);
  // Stops every sound this player plays.
  void StopSound();
  void FreeSound(int index);

 private:
  // A cue written to a wave-out device, released once it has played.
  struct Playback {
    platform::HWAVEOUT device;
    platform::WAVEHDR* header;
  };

  bool IsXpOrLater() const;
  int PlayDirect(SoundEntry& entry);
  int PlayByName(const SoundEntry& entry, uint32_t flags);
  void ReleaseFinished();
  void ReleaseAll();
  void ReleasePlaybackOf(const platform::WAVEHDR* header);
  static void Release(const Playback& playback);

  platform::OSVERSIONINFOA version_;
  int mode_;
  int busy_ = 0;
  std::vector<std::unique_ptr<SoundEntry>> sounds_;
  std::vector<Playback> playbacks_;
};

// The one player of the process, built with mode 1 at first use.
CSoundPlayer& GlobalSoundPlayer();
// Replaces it with a new, empty player; for tests.
void ResetGlobalSoundPlayer();
