#include "engine/clipboard_file.h"

#include "engine/texts.h"

using platform::HGLOBAL;
using platform::kNullGlobal;

CVedClipboardFile::CVedClipboardFile(size_t growBytes)
    : platform::CMemFile(growBytes),
      registered_(platform::RegisterClipboardFormatA(kClipboardFormatName)) {}

CVedClipboardFile::~CVedClipboardFile() {
  CloseClipboardData();
  // The base destructor can no longer reach this class's Free.
  ReleaseBuffer();
}

uint32_t CVedClipboardFile::MapFormat(uint32_t format) const {
  return format == kOwnFormat ? registered_ : format;
}

uint8_t* CVedClipboardFile::Alloc(size_t bytes) {
  if (block_ != kNullGlobal) return nullptr;
  block_ = platform::GlobalAlloc(platform::GMEM_MOVEABLE | platform::GMEM_ZEROINIT, bytes);
  if (block_ == kNullGlobal) return nullptr;
  return static_cast<uint8_t*>(platform::GlobalLock(block_));
}

uint8_t* CVedClipboardFile::Realloc(uint8_t* /*block*/, size_t bytes) {
  platform::GlobalUnlock(block_);
  if (platform::GlobalReAlloc(block_, bytes, platform::GMEM_ZEROINIT) == kNullGlobal) {
    return nullptr;
  }
  return static_cast<uint8_t*>(platform::GlobalLock(block_));
}

void CVedClipboardFile::Free(uint8_t* /*block*/) {
  if (block_ == kNullGlobal) return;
  platform::GlobalUnlock(block_);
  if (ownershipPassed_ == 0) platform::GlobalFree(block_);
  block_ = kNullGlobal;
}

int CVedClipboardFile::PutOnClipboard(bool emptyFirst) {
  const auto length = static_cast<size_t>(GetLength());
  if (length == 0 || block_ == kNullGlobal) return 0;
  platform::GlobalUnlock(block_);
  if (platform::GlobalReAlloc(block_, length, 0) == kNullGlobal) {
    platform::GlobalLock(block_);
    return 0;
  }
  platform::GlobalLock(block_);
  platform::ScopedClipboard clipboard(platform::kNoWindow);
  if (!clipboard.IsOpen()) return 0;
  if (emptyFirst) platform::EmptyClipboard();
  if (platform::SetClipboardData(format_, block_) == kNullGlobal) return 0;
  ownershipPassed_ = 1;
  // The block is the clipboard's now: the file lets go of it.
  platform::GlobalUnlock(block_);
  block_ = kNullGlobal;
  Detach();
  return 1;
}

int CVedClipboardFile::HasFormat(uint32_t format) const {
  const uint32_t wanted = MapFormat(format);
  platform::ScopedClipboard clipboard(platform::kNoWindow);
  if (!clipboard.IsOpen()) return 0;
  uint32_t at = 0;
  for (int examined = 0; examined < kMaxFormatsExamined; ++examined) {
    at = platform::EnumClipboardFormats(at);
    if (at == 0) return 0;
    if (at == wanted) return 1;
  }
  return 0;
}

int CVedClipboardFile::OpenFromClipboard(uint32_t format) {
  if (HasFormat(format) == 0) return 0;
  if (!platform::OpenClipboard(platform::kNoWindow)) return 0;
  const HGLOBAL data = platform::GetClipboardData(MapFormat(format));
  auto* bytes = data != kNullGlobal ? static_cast<uint8_t*>(platform::GlobalLock(data)) : nullptr;
  if (bytes == nullptr) {
    platform::CloseClipboard();
    return 0;
  }
  reading_ = data;
  Attach(bytes, platform::GlobalSize(data), 0);
  return 1;
}

void CVedClipboardFile::CloseClipboardData() {
  if (reading_ == kNullGlobal) return;
  Detach();
  platform::GlobalUnlock(reading_);
  reading_ = kNullGlobal;
  platform::CloseClipboard();
}
