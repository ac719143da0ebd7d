// A stand-in for the IME-control module whose reconversion entry points
// the display lines bind: each answers a value the tests can recognise.
// Built without ZNIMEReconvert when LEXORA_IME_CONTROL_PARTIAL is defined.
#include <cstdint>
#include <cstring>

extern "C" {

__attribute__((visibility("default"))) int ZNCanIMEReconvert(uint32_t, int* answer) {
  if (answer != nullptr) *answer = 1;
  return 7;
}

#ifndef LEXORA_IME_CONTROL_PARTIAL
__attribute__((visibility("default"))) int ZNIMEReconvert(uint32_t, const char* text) {
  return text != nullptr ? static_cast<int>(std::strlen(text)) : -1;
}
#endif
}
