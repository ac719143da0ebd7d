// The wave file reader: a RIFF/WAVE image whose "fmt " chunk must
// describe playable PCM before its "data" chunk. What it accepts must be
// whole blocks of a playable format, and must come back the same from
// the bytes the writer makes of it.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <optional>
#include <span>
#include <vector>

#include "platform/wave.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::vector<uint8_t> image(data, data + size);
  const std::optional<platform::WaveImage> wave = platform::ParseWave(image);
  if (!wave) return 0;
  if (!platform::IsPlayablePcm(wave->format) ||
      wave->samples.size() % wave->format.nBlockAlign != 0 || wave->samples.size() > size) {
    std::abort();
  }
  const std::vector<uint8_t> written = platform::MakeWaveImage(wave->format, wave->samples);
  const std::optional<platform::WaveImage> again = platform::ParseWave(written);
  if (!again || !(again->format == wave->format) || again->samples != wave->samples) {
    std::abort();
  }
  return 0;
}
