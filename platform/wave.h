// Wave files: RIFF images with a "fmt " chunk that describes the samples
// and a "data" chunk that holds them.
#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <vector>

namespace platform {

struct WAVEFORMATEX {
  uint16_t wFormatTag = 0;
  uint16_t nChannels = 0;
  uint32_t nSamplesPerSec = 0;
  uint32_t nAvgBytesPerSec = 0;
  uint16_t nBlockAlign = 0;
  uint16_t wBitsPerSample = 0;
  uint16_t cbSize = 0;
  bool operator==(const WAVEFORMATEX&) const = default;
};

inline constexpr uint16_t WAVE_FORMAT_PCM = 1;

// Plain PCM that a wave-out device can play: 1 or 2 channels of 8 or 16
// bits with consistent block and byte rates.
bool IsPlayablePcm(const WAVEFORMATEX& format);

struct WaveImage {
  WAVEFORMATEX format;
  std::vector<uint8_t> samples;
};

// Parses a RIFF/WAVE image. Chunk sizes are trusted only as far as the
// bytes present reach; the samples are the "data" chunk cut to whole
// blocks. nullopt when there is no "fmt " chunk of plain PCM before a
// "data" chunk.
std::optional<WaveImage> ParseWave(std::span<const uint8_t> image);

// Reads and parses a wave file given by its host path. Files larger than
// kMaxWaveFileBytes are refused.
inline constexpr size_t kMaxWaveFileBytes = 64u << 20;
std::optional<WaveImage> ReadWave(const std::string& hostPath);

// The bytes of a wave file holding the samples in the given format; the
// inverse of ParseWave, used to write sound files.
std::vector<uint8_t> MakeWaveImage(const WAVEFORMATEX& format, std::span<const uint8_t> samples);

}  // namespace platform
