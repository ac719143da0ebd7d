#include "engine/doc_root.h"

#include <cstring>

#include "platform/system_info.h"

namespace {

constexpr char kMagicText[] = "DocBunsObj";
constexpr uint8_t kMagicEnd = 0x1A;

DisplaySettings DefaultColours() {
  DisplaySettings colours;
  colours.background = platform::GetSysColor(platform::COLOR_WINDOW);
  colours.text = platform::GetSysColor(platform::COLOR_WINDOWTEXT);
  colours.third = platform::GetSysColor(platform::COLOR_BTNSHADOW);
  colours.zoom = 1;
  colours.further = 0;
  colours.flag = 1;
  colours.minchoAsGothic = 1;
  colours.marks = 1;
  return colours;
}

}  // namespace

CDocBunsObj::CDocBunsObj() : colours_(DefaultColours()) {
  renderer_.SetDisplaySettings(colours_);
  feedback_.SetSpeechOptions(speechOptions_);
  std::memcpy(magic_, kMagicText, sizeof(kMagicText) - 1);
  magic_[sizeof(kMagicText) - 1] = kMagicEnd;
}

// The children draw through the renderer and speak through the feedback
// object, both members of this class: they must go while those still live.
CDocBunsObj::~CDocBunsObj() { ClearChildren(); }

int CDocBunsObj::StartUp() { return CDocObjContainer::Initialize(&renderer_, &feedback_); }

int CDocBunsObj::SetPageFormat(const PageFormat* format) {
  if (format == nullptr) return 0;
  renderer_.SetPageFormat(*format);
  const int result = CDocObjContainer::SetPageFormat(format);
  if (result == 0) return 0;
  caret_ = CVedTextPos{};
  anchor_ = CVedTextPos{};
  GetCursor(&caret_);
  RefreshCaretRect(caret_);
  CharFormat defaults;
  BuildDefaultCharFormat(*format, defaults);
  SetDefaultCharFormat(&defaults);
  modified_ = 0;
  return result;
}

int CDocBunsObj::SetPageFormat(const PageFormat& format) {
  if (SetPageFormat(&format) == 0) return 0;
  renderer_.RefreshDefaultFont(format);
  return 1;
}

int CDocBunsObj::Reset() {
  if (IsEmpty()) return 1;
  RememberCaretState();
  ResetSelection(0);
  const int result = CDocObjContainer::Reset();
  if (result != 0) {
    CVedTextPos cursor;
    GetCursor(&cursor);
    UpdateAfterChange({.edited = true, .caret = &cursor});
  }
  return result;
}

int CDocBunsObj::TakeBackContent(CKeptChildren& kept) {
  RememberCaretState();
  ResetSelection(0);
  if (TakeBackChildren(kept) == 0) return 0;
  CVedTextPos cursor;
  GetCursor(&cursor);
  UpdateAfterChange({.edited = true, .caret = &cursor});
  return 1;
}

int CDocBunsObj::SetCharFormat(const CharFormat* format) {
  CharFormat applied;
  if (format != nullptr) {
    applied = *format;
  } else {
    BuildDefaultCharFormat(Format(), applied);
  }
  return CDocObjContainer::SetCharFormat(&applied);
}

int CDocBunsObj::OpenFromArchive(platform::CArchive* archive, const PageFormat* format) {
  if (format == nullptr || SetPageFormat(*format) == 0) return 0;
  RememberCaretState();
  ResetSelection(0);
  if (archive != nullptr && ReadContent(*archive) == 0) {
    renderer_.ForgetStoredDefaultFontId();
    Notify(WM_WPC_CONTENTLOADED, 0, 0);
    return 0;
  }
  const MoveParams toStart;
  CVedTextPos start;
  MoveCursor(kMoveDocumentStart, &toStart, nullptr, &start);
  GetCursor(&start);
  UpdateAfterChange({.edited = true, .caret = &start});
  renderer_.ForgetStoredDefaultFontId();
  Notify(WM_WPC_CONTENTLOADED, 1, 0);
  return 1;
}
