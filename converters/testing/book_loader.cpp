// A book loader for tests: a "book" is any file, loaded as its own bytes.
#include "converters/testing/book_loader.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "converters/book_loader.h"

namespace {

int outstanding = 0;
void* lastPassThrough = nullptr;

bool ReadWhole(const char* path, std::vector<char>& bytes) {
  std::FILE* file = std::fopen(path, "rb");
  if (file == nullptr) return false;
  char chunk[4096];
  size_t got = 0;
  while ((got = std::fread(chunk, 1, sizeof chunk, file)) > 0)
    bytes.insert(bytes.end(), chunk, chunk + got);
  std::fclose(file);
  return true;
}

}  // namespace

extern "C" {

void* RuveloBook_Load(const char* bookPath, int* byteCount, int /*reserved*/, void* passThrough) {
  lastPassThrough = passThrough;
  std::vector<char> bytes;
  if (bookPath == nullptr || !ReadWhole(bookPath, bytes)) return nullptr;
  // One byte more, so that an empty book is still a real block.
  void* block = std::malloc(bytes.size() + 1);
  if (block == nullptr) return nullptr;
  if (!bytes.empty()) std::memcpy(block, bytes.data(), bytes.size());
  *byteCount = static_cast<int>(bytes.size());
  if (passThrough != nullptr) {
    std::strncpy(static_cast<char*>(passThrough), converters::testing::kBookName,
                 converters::book::kNameBufferBytes - 1);
  }
  ++outstanding;
  return block;
}

void RuveloBook_Unload(void* bytes) {
  if (bytes == nullptr) return;
  std::free(bytes);
  --outstanding;
}

int TestBookLoader_Outstanding() { return outstanding; }
void* TestBookLoader_LastPassThrough() { return lastPassThrough; }

}  // extern "C"
