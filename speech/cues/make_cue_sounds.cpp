// Writes the cue sounds into the folder named on the command line: short
// 16-bit mono 44.1 kHz tones, each shaped so that it is told apart by ear
// (a warning falls, an error buzzes long and low, a blank place ticks).
#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <fstream>
#include <numbers>
#include <string>
#include <vector>

#include "platform/wave.h"
#include "speech/sound_player.h"

namespace {

constexpr uint32_t kRate = 44100;
constexpr uint16_t kBits = 16;
constexpr double kAmplitude = 12000.0;
constexpr double kFadeMs = 3.0;

enum class Wave { kSine, kSquare };

// One tone: a frequency glide over its length, repeated with a pause.
struct Tone {
  int32_t sound;
  double startHz;
  double endHz;
  double lengthMs;
  Wave wave;
  int pulses;
  double gapMs;
};

constexpr Tone kTones[] = {
    {kSoundNoInput, 330, 220, 120, Wave::kSine, 1, 0},
    {kSoundStretch, 500, 1000, 140, Wave::kSine, 1, 0},
    {kSoundFullWidthSpace, 1200, 1200, 35, Wave::kSine, 2, 25},
    {kSoundHalfWidthSpace, 1600, 1600, 30, Wave::kSine, 1, 0},
    {kSoundBlank, 2400, 2400, 12, Wave::kSine, 1, 0},
    {kSoundLineChange, 880, 880, 60, Wave::kSine, 1, 0},
    {kSoundTableBottom, 660, 660, 60, Wave::kSine, 2, 30},
    {kSoundRowEnd, 520, 390, 90, Wave::kSine, 1, 0},
    {kSoundWarning, 740, 520, 110, Wave::kSine, 2, 40},
    {kSoundError, 150, 150, 320, Wave::kSquare, 1, 0},
};

void AppendSample(std::vector<uint8_t>& out, double value) {
  const auto sample = static_cast<int16_t>(value);
  out.push_back(static_cast<uint8_t>(sample));
  out.push_back(static_cast<uint8_t>(static_cast<uint16_t>(sample) >> 8));
}

void AppendPulse(std::vector<uint8_t>& out, const Tone& tone) {
  const auto count = static_cast<size_t>(tone.lengthMs * kRate / 1000);
  const double fade = kFadeMs * kRate / 1000;
  double phase = 0;
  for (size_t i = 0; i < count; ++i) {
    const double t = static_cast<double>(i) / static_cast<double>(count);
    phase += 2 * std::numbers::pi * (tone.startHz + (tone.endHz - tone.startHz) * t) / kRate;
    const double envelope =
        std::min({1.0, static_cast<double>(i) / fade, static_cast<double>(count - i) / fade});
    const double shape =
        tone.wave == Wave::kSine ? std::sin(phase) : (std::sin(phase) >= 0 ? 0.5 : -0.5);
    AppendSample(out, kAmplitude * envelope * shape);
  }
}

std::vector<uint8_t> Samples(const Tone& tone) {
  std::vector<uint8_t> out;
  for (int pulse = 0; pulse < tone.pulses; ++pulse) {
    if (pulse > 0) out.resize(out.size() + static_cast<size_t>(tone.gapMs * kRate / 1000) * 2);
    AppendPulse(out, tone);
  }
  return out;
}

const Tone* FindTone(int32_t sound) {
  for (const Tone& tone : kTones) {
    if (tone.sound == sound) return &tone;
  }
  return nullptr;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: %s OUTPUT-FOLDER\n", argv[0]);
    return 2;
  }
  const platform::WAVEFORMATEX format{platform::WAVE_FORMAT_PCM, 1, kRate, kRate * 2, 2, kBits, 0};
  for (const CueSound& cue : CueSoundTable) {
    if (cue.id == kEndOfCueSounds) break;
    const Tone* tone = FindTone(cue.id);
    if (tone == nullptr) return 1;
    const std::vector<uint8_t> image = platform::MakeWaveImage(format, Samples(*tone));
    std::ofstream file(std::string(argv[1]) + "/" + cue.file, std::ios::binary);
    file.write(reinterpret_cast<const char*>(image.data()),
               static_cast<std::streamsize>(image.size()));
    if (!file) return 1;
  }
  return 0;
}
