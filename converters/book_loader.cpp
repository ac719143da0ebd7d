// The shipped book loader. Reading books are a format of another maker
// that this system cannot read, so every book is answered as unreadable:
// its callers then take their own failure paths.
#include "converters/book_loader.h"

extern "C" {

void* RuveloBook_Load(const char* /*bookPath*/, int* byteCount, int /*reserved*/,
                      void* /*passThrough*/) {
  if (byteCount != nullptr) *byteCount = 0;
  return nullptr;
}

void RuveloBook_Unload(void* /*bytes*/) {}

}  // extern "C"
