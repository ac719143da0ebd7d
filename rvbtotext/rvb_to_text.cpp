#include "rvbtotext/rvb_to_text.h"

#include "converters/book_loader.h"
#include "platform/file.h"

namespace {

constexpr unsigned kCreateForWriting = platform::CFile::kModeCreate | platform::CFile::kModeWrite;
constexpr int kReserved = 0;

// A partly written file is left in place: the result tells the caller.
int WriteBook(const char* textPath, const void* bytes, int byteCount) {
  platform::CFile file;
  if (textPath == nullptr || !file.Open(textPath, kCreateForWriting))
    return rvbtotext::kWriteFailed;
  try {
    file.Write(bytes, static_cast<size_t>(byteCount));
    file.Flush();
    file.Close();
  } catch (const platform::CFileException&) {
    return rvbtotext::kWriteFailed;
  }
  return rvbtotext::kWritten;
}

}  // namespace

extern "C" int RvbToTxt(const char* bookPath, const char* textPath, std::uintptr_t passThrough) {
  int byteCount = 0;
  void* bytes =
      RuveloBook_Load(bookPath, &byteCount, kReserved, reinterpret_cast<void*>(passThrough));
  if (bytes == nullptr) return rvbtotext::kNoData;
  const int result = WriteBook(textPath, bytes, byteCount < 0 ? 0 : byteCount);
  RuveloBook_Unload(bytes);
  return result;
}
