// RTF documents opened through the document converter: the reader must
// answer every input with runs or a refusal, never a crash or a hang.
// Whatever it reads, the runs must hold text.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "converters/rtf_reader.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const auto document =
      converters::rtf::Read(std::string_view(reinterpret_cast<const char*>(data), size));
  if (!document) return 0;
  for (const auto& run : document->runs) {
    if (run.text.empty()) std::abort();
  }
  return 0;
}
