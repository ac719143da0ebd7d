// The cue sounds the build generates: playable as the player expects,
// and each one distinct.
#include <gtest/gtest.h>

#include <cstdlib>
#include <optional>
#include <set>

#include "platform/system_info.h"
#include "platform/wave.h"
#include "speech/phrases.h"
#include "speech/sound_player.h"

namespace {

constexpr platform::WAVEFORMATEX kCueFormat{platform::WAVE_FORMAT_PCM, 1, 44100, 88200, 2, 16, 0};

platform::WaveImage ReadCue(const char* file) {
  const std::string path = platform::ProgramFolder() + "/Media/" + file;
  std::optional<platform::WaveImage> wave = platform::ReadWave(path);
  EXPECT_TRUE(wave) << path;
  return wave.value_or(platform::WaveImage{});
}

// Sign changes per second: a rough pitch.
double CrossingsPerSecond(const platform::WaveImage& wave) {
  int crossings = 0;
  int16_t previous = 0;
  for (size_t i = 0; i + 1 < wave.samples.size(); i += 2) {
    const auto sample = static_cast<int16_t>(wave.samples[i] | (wave.samples[i + 1] << 8));
    if ((sample < 0) != (previous < 0)) ++crossings;
    previous = sample;
  }
  return crossings * 44100.0 / static_cast<double>(wave.samples.size() / 2);
}

TEST(CueSoundsTest, EveryCueIsShortMono16BitAndUnlikeTheOthers) {
  std::set<std::vector<uint8_t>> distinct;
  for (const CueSound& cue : CueSoundTable) {
    if (cue.id == kEndOfCueSounds) break;
    const platform::WaveImage wave = ReadCue(cue.file);
    EXPECT_EQ(wave.format, kCueFormat) << cue.file;
    EXPECT_GT(wave.samples.size(), 0u) << cue.file;
    EXPECT_LT(wave.samples.size(), kCueFormat.nAvgBytesPerSec / 2) << cue.file << " under 0.5 s";
    distinct.insert(wave.samples);
  }
  EXPECT_EQ(distinct.size(), CueSoundTable.size() - 1);
}

TEST(CueSoundsTest, AnErrorSoundsUnlikeABlankLineTick) {
  const platform::WaveImage error = ReadCue(phrases::kErrorSound);
  const platform::WaveImage blank = ReadCue(phrases::kBlankSound);
  EXPECT_GT(error.samples.size(), 10 * blank.samples.size()) << "long against a tick";
  EXPECT_LT(CrossingsPerSecond(error) * 5, CrossingsPerSecond(blank)) << "low against high";
}

}  // namespace
