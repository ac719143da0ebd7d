// The book-to-text library "RVBtoTEXT": it turns a reading book into a
// plain file holding the bytes the book loader answers, unchanged.
#pragma once

#include <cstdint>

namespace rvbtotext {

inline constexpr const char* kModule = "RVBtoTEXT.dll";
inline constexpr const char* kEntryPoint = "RvbToTxt";

enum RvbToTxtResult : int {
  kNoData = -1,      // the loader answered no data; nothing was created
  kWritten = 0,      // the text file holds the book's bytes
  kWriteFailed = 1,  // creating or writing the text file failed
};

using RvbToTxtFn = int (*)(const char* bookPath, const char* textPath, std::uintptr_t passThrough);

}  // namespace rvbtotext

extern "C" {
// `passThrough` reaches the loader unchanged: callers pass a number or the
// address of a buffer, so it is as wide as a pointer.
int RvbToTxt(const char* bookPath, const char* textPath, std::uintptr_t passThrough);
}
