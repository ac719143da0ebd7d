// A memory file whose bytes live in a global memory block, so that a
// document archive can be written straight into a block that is then
// handed to the clipboard, and a clipboard block can be read through an
// archive without copying.
#pragma once

#include <cstdint>

#include "platform/clipboard.h"
#include "platform/file.h"
#include "platform/global_memory.h"

class CVedClipboardFile : public platform::CMemFile {
 public:
  // Stands for the program's own registered format wherever a format is
  // taken.
  static constexpr uint32_t kOwnFormat = 0xC000;
  // The clipboard is searched this far for a format.
  static constexpr int kMaxFormatsExamined = 1024;

  explicit CVedClipboardFile(size_t growBytes);
  ~CVedClipboardFile() override;

  uint32_t MapFormat(uint32_t format) const;
  void SetFormat(uint32_t format) { format_ = MapFormat(format); }
  // Hands the written bytes to the clipboard in the current format; 1, or
  // 0 (the clipboard closed again) when nothing was written or it failed.
  int PutOnClipboard(bool emptyFirst);
  int HasFormat(uint32_t format) const;
  // Attaches the clipboard's block of the format for reading; the
  // clipboard stays open until CloseClipboardData.
  int OpenFromClipboard(uint32_t format);
  void CloseClipboardData();

 protected:
  uint8_t* Alloc(size_t bytes) override;
  uint8_t* Realloc(uint8_t* block, size_t bytes) override;
  void Free(uint8_t* block) override;

 private:
  platform::HGLOBAL block_ = platform::kNullGlobal;
  uint32_t format_ = platform::CF_TEXT;
  platform::HGLOBAL reading_ = platform::kNullGlobal;
  uint32_t registered_ = 0;
  int32_t ownershipPassed_ = 0;
};
