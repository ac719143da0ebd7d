// HTML pages turned into RTF for the document converter: any page gives
// a refusal or RTF that the converter's own reader accepts whole.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "converters/html_to_rtf.h"
#include "converters/rtf_reader.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const auto rtf =
      converters::html::ToRtf(std::string_view(reinterpret_cast<const char*>(data), size));
  if (rtf && !converters::rtf::Read(*rtf)) std::abort();
  return 0;
}
