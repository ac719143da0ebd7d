#include "platform/wave.h"

#include <algorithm>
#include <cstring>
#include <fstream>
#include <string_view>

namespace platform {

namespace {

constexpr size_t kRiffHeaderBytes = 12;
constexpr size_t kChunkHeaderBytes = 8;
constexpr size_t kPcmFormatBytes = 16;

uint16_t Le16(const uint8_t* p) { return static_cast<uint16_t>(p[0] | (p[1] << 8)); }

uint32_t Le32(const uint8_t* p) {
  return static_cast<uint32_t>(p[0]) | (static_cast<uint32_t>(p[1]) << 8) |
         (static_cast<uint32_t>(p[2]) << 16) | (static_cast<uint32_t>(p[3]) << 24);
}

void PutLe16(std::vector<uint8_t>& out, uint16_t value) {
  out.push_back(static_cast<uint8_t>(value));
  out.push_back(static_cast<uint8_t>(value >> 8));
}

void PutLe32(std::vector<uint8_t>& out, uint32_t value) {
  for (int shift = 0; shift < 32; shift += 8) out.push_back(static_cast<uint8_t>(value >> shift));
}

// Byte by byte: a range insert here trips GCC 12's -Wstringop-overflow at -O3.
void PutTag(std::vector<uint8_t>& out, std::string_view tag) {
  for (const char c : tag) out.push_back(static_cast<uint8_t>(c));
}

bool HasTag(const uint8_t* p, std::string_view tag) { return std::memcmp(p, tag.data(), 4) == 0; }

WAVEFORMATEX ReadFormat(const uint8_t* p) {
  WAVEFORMATEX format;
  format.wFormatTag = Le16(p);
  format.nChannels = Le16(p + 2);
  format.nSamplesPerSec = Le32(p + 4);
  format.nAvgBytesPerSec = Le32(p + 8);
  format.nBlockAlign = Le16(p + 12);
  format.wBitsPerSample = Le16(p + 14);
  return format;
}

}  // namespace

bool IsPlayablePcm(const WAVEFORMATEX& format) {
  if (format.wFormatTag != WAVE_FORMAT_PCM) return false;
  if (format.nChannels < 1 || format.nChannels > 2) return false;
  if (format.wBitsPerSample != 8 && format.wBitsPerSample != 16) return false;
  if (format.nSamplesPerSec == 0) return false;
  if (format.nBlockAlign != format.nChannels * format.wBitsPerSample / 8) return false;
  return format.nAvgBytesPerSec == format.nSamplesPerSec * format.nBlockAlign;
}

std::optional<WaveImage> ParseWave(std::span<const uint8_t> image) {
  if (image.size() < kRiffHeaderBytes || !HasTag(image.data(), "RIFF") ||
      !HasTag(image.data() + 8, "WAVE")) {
    return std::nullopt;
  }
  // The RIFF size may claim more than is there; the bytes present win.
  const size_t riffEnd = std::min<size_t>(image.size(), size_t{Le32(image.data() + 4)} + 8);
  std::optional<WAVEFORMATEX> format;
  size_t pos = kRiffHeaderBytes;
  while (pos + kChunkHeaderBytes <= riffEnd) {
    const uint8_t* chunk = image.data() + pos;
    const size_t body = pos + kChunkHeaderBytes;
    const size_t size = std::min<size_t>(Le32(chunk + 4), riffEnd - body);
    if (HasTag(chunk, "fmt ")) {
      if (size < kPcmFormatBytes) return std::nullopt;
      format = ReadFormat(image.data() + body);
      if (!IsPlayablePcm(*format)) return std::nullopt;
    } else if (HasTag(chunk, "data")) {
      if (!format) return std::nullopt;
      const size_t whole = size - size % format->nBlockAlign;
      WaveImage wave{*format, {image.begin() + body, image.begin() + body + whole}};
      return wave;
    }
    pos = body + size + (size & 1);  // chunks are padded to even sizes
  }
  return std::nullopt;
}

std::optional<WaveImage> ReadWave(const std::string& hostPath) {
  std::ifstream file(hostPath, std::ios::binary | std::ios::ate);
  if (!file) return std::nullopt;
  const std::streamoff length = file.tellg();
  if (length < 0 || static_cast<uint64_t>(length) > kMaxWaveFileBytes) return std::nullopt;
  std::vector<uint8_t> bytes(static_cast<size_t>(length));
  file.seekg(0);
  if (!file.read(reinterpret_cast<char*>(bytes.data()), length)) return std::nullopt;
  return ParseWave(bytes);
}

std::vector<uint8_t> MakeWaveImage(const WAVEFORMATEX& format, std::span<const uint8_t> samples) {
  std::vector<uint8_t> out;
  const auto dataBytes = static_cast<uint32_t>(samples.size());
  PutTag(out, "RIFF");
  PutLe32(out, 4 + kChunkHeaderBytes + kPcmFormatBytes + kChunkHeaderBytes + dataBytes +
                   (dataBytes & 1));
  PutTag(out, "WAVE");
  PutTag(out, "fmt ");
  PutLe32(out, kPcmFormatBytes);
  PutLe16(out, format.wFormatTag);
  PutLe16(out, format.nChannels);
  PutLe32(out, format.nSamplesPerSec);
  PutLe32(out, format.nAvgBytesPerSec);
  PutLe16(out, format.nBlockAlign);
  PutLe16(out, format.wBitsPerSample);
  PutTag(out, "data");
  PutLe32(out, dataBytes);
  out.insert(out.end(), samples.begin(), samples.end());
  if (dataBytes & 1) out.push_back(0);
  return out;
}

}  // namespace platform
