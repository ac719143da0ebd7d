// Cut, copy and paste through the clipboard. A copy puts the selection on
// the clipboard twice: in the program's own format (the document-root
// header and the content) and as plain Shift-JIS text. A paste prefers
// the own format and falls back to the text.
//
// A paste checks what the clipboard holds before it deletes the selection
// it replaces: data that cannot be read (a foreign or damaged own-format
// block, text that is not Shift-JIS) leaves the document and its
// selection exactly as they were.
#include <array>
#include <string>

#include "engine/clipboard_file.h"
#include "engine/doc_root.h"
#include "engine/doc_root_scopes.h"
#include "engine/texts.h"
#include "engine/wp_ctrl.h"
#include "model/text_transfer.h"

namespace {

constexpr size_t kOwnFormatFileBytes = 10240;
constexpr size_t kTextFileBytes = 4096;
constexpr size_t kReadFileBytes = 1024;
constexpr size_t kProbeFileBytes = 4096;
constexpr size_t kArchiveBufferBytes = 4096;

constexpr int kEditTypeInsert = 1;
constexpr int kEditTypeDeleteSelection = 3;
// The range recorded before an insertion is the caret's.
constexpr int kSaveCaret = 0;
// Places that take no pasted input; line ends that take pasted text are
// not among them.
constexpr int kRefusesPaste = 2;

constexpr int kSpeakInterrupting = 1;

// The content kind of a header whose content counts its children's
// blocks.
constexpr int32_t kHeadedContent = 2;
// Answers of the clipboard read.
constexpr int kReadInserted = 1;
constexpr int kReadNothing = 0;
constexpr int kReadFailed = -1;

const CVedTextPos* CaretOf(const EditResult& result) {
  return result.newCursor.IsEmpty() ? nullptr : &result.newCursor;
}

// Writes one form of the range into a clipboard memory file and hands it
// to the clipboard; false when the archive or the clipboard failed.
template <typename WriteForm>
bool PutForm(uint32_t format, size_t fileBytes, bool emptyFirst, WriteForm write) {
  CVedClipboardFile file(fileBytes);
  file.SetFormat(format);
  try {
    platform::CArchive archive(&file, platform::CArchive::kStore, kArchiveBufferBytes);
    write(archive);
    archive.Close();
  } catch (const platform::CArchiveException&) {
    return false;
  } catch (const platform::CFileException&) {
    return false;
  }
  return file.PutOnClipboard(emptyFirst) != 0;
}

// The clipboard's content, checked before the document is touched and
// then loaded at the cursor. The clipboard stays open from Open until the
// reader goes.
class ClipboardReader {
 public:
  explicit ClipboardReader(CDocBunsObj& root) : root_(root), file_(kReadFileBytes) {}
  ClipboardReader(const ClipboardReader&) = delete;
  ClipboardReader& operator=(const ClipboardReader&) = delete;

  // kReadInserted when there is content to load, kReadNothing when the
  // clipboard offers nothing usable, kReadFailed when what it offers
  // cannot be read.
  int Open();
  // Loads the checked content at the cursor.
  int Load(EditResult* out);
  // Whether the checked content is the blocks of several children, which
  // go in at the start of the cursor's line when the cursor is in text.
  bool SeveralBlocks() const { return blocks_ > 1; }

 private:
  int CheckOwnFormat();
  int CheckText();
  // Reads the own format's header; false when it is not intact.
  bool ReadHeader(platform::CArchive& archive, int32_t* kind);

  CDocBunsObj& root_;
  CVedClipboardFile file_;
  uint32_t format_ = 0;
  uint32_t blocks_ = 1;
};

int ClipboardReader::Open() {
  if (file_.HasFormat(CVedClipboardFile::kOwnFormat) != 0) {
    format_ = CVedClipboardFile::kOwnFormat;
  } else if (file_.HasFormat(platform::CF_TEXT) != 0) {
    format_ = platform::CF_TEXT;
  } else {
    return kReadNothing;
  }
  if (file_.OpenFromClipboard(format_) == 0) return kReadFailed;
  return format_ == CVedClipboardFile::kOwnFormat ? CheckOwnFormat() : CheckText();
}

bool ClipboardReader::ReadHeader(platform::CArchive& archive, int32_t* kind) {
  try {
    return root_.ReadStreamHeader(archive, kind, 1) == kWpcOk;
  } catch (const platform::CArchiveException&) {
    return false;
  } catch (const platform::CFileException&) {
    return false;
  }
}

// The whole block is read once into a scratch document of the same page
// format: whatever would fail there fails before the document changes.
int ClipboardReader::CheckOwnFormat() {
  platform::CMemFile view(const_cast<uint8_t*>(file_.Data()),
                          static_cast<size_t>(file_.GetLength()));
  platform::CArchive archive(&view, platform::CArchive::kLoad, kArchiveBufferBytes);
  SavedFontListScope fonts(root_.Renderer(), true);
  int32_t kind = 0;
  if (!ReadHeader(archive, &kind)) return kReadFailed;
  CDocObjContainer scratch;
  CharFormat format;
  root_.GetCharFormat(&format);
  scratch.Initialize(&root_.Renderer(), &root_.Feedback());
  scratch.SetOptions(&root_.Options());
  scratch.SetCharFormat(&format);
  if (scratch.SetPageFormat(&root_.Format()) == 0) return kReadFailed;
  if (kind == kHeadedContent) {
    platform::CMemFile countView(const_cast<uint8_t*>(file_.Data()),
                                 static_cast<size_t>(file_.GetLength()));
    platform::CArchive counted(&countView, platform::CArchive::kLoad, kArchiveBufferBytes);
    int32_t ignored = 0;
    std::array<uint8_t, sizeof(uint32_t)> count{};
    if (!ReadHeader(counted, &ignored) ||
        counted.Read(count.data(), count.size()) != count.size()) {
      return kReadFailed;
    }
    // Little-endian, as the container writes it.
    blocks_ = static_cast<uint32_t>(count[0]) | static_cast<uint32_t>(count[1]) << 8 |
              static_cast<uint32_t>(count[2]) << 16 | static_cast<uint32_t>(count[3]) << 24;
  }
  EditResult loaded;
  return scratch.SerializeRange(archive, kFormatOwnBlock, kind, nullptr, nullptr, &loaded) < 0
             ? kReadFailed
             : kReadInserted;
}

// Text up to its first zero byte; text that is not Shift-JIS is refused
// rather than pasted in part.
int ClipboardReader::CheckText() {
  std::string text(reinterpret_cast<const char*>(file_.Data()),
                   static_cast<size_t>(file_.GetLength()));
  const size_t end = text.find('\0');
  if (end != std::string::npos) text.resize(end);
  if (text.empty()) return kReadNothing;
  return CTextTransfer::CheckPlainText(&text) != 0 ? kReadInserted : kReadFailed;
}

int ClipboardReader::Load(EditResult* out) {
  try {
    platform::CArchive archive(&file_, platform::CArchive::kLoad, kArchiveBufferBytes);
    if (format_ == platform::CF_TEXT) {
      const int loaded = root_.SerializeRange(archive, kFormatPlainText, 0, nullptr, nullptr, out);
      return loaded < 0 ? kReadFailed : (out->changed != 0 ? kReadInserted : kReadNothing);
    }
    SavedFontListScope fonts(root_.Renderer(), true);
    int32_t kind = 0;
    if (!ReadHeader(archive, &kind)) return kReadFailed;
    const int loaded = root_.SerializeRange(archive, kFormatOwnBlock, kind, nullptr, nullptr, out);
    return loaded < 0 ? kReadFailed : (out->changed != 0 ? kReadInserted : kReadNothing);
  } catch (const platform::CArchiveException&) {
    return kReadFailed;
  } catch (const platform::CFileException&) {
    return kReadFailed;
  }
}

}  // namespace

int CDocBunsObj::CopyToClipboard() {
  if (!HasSelection()) return 0;
  const CVedTextRange selected = SelectedContent();
  const CVedTextPos& start = selected.start;
  const CVedTextPos& end = selected.end;
  const bool own = PutForm(CVedClipboardFile::kOwnFormat, kOwnFormatFileBytes, true,
                           [&](platform::CArchive& archive) {
                             WriteContent(archive, kFormatOwnBlock, &start, &end, 1);
                           });
  const bool text =
      own && PutForm(platform::CF_TEXT, kTextFileBytes, false, [&](platform::CArchive& archive) {
        WriteContent(archive, kFormatPlainText, &start, &end, 0);
        archive << uint8_t{0};
      });
  if (!text) feedback_.Cue(kCueError, kCueInterrupt, kCueAsync);
  return text ? 1 : 0;
}

int CDocBunsObj::Copy() {
  if (!HasSelection() || CopyToClipboard() == 0) return 0;
  SpeakString(kPhraseCopy, kSpeakInterrupting);
  return 1;
}

// The selection is only deleted once it is safe on the clipboard.
int CDocBunsObj::Cut(int undo, ChangeRecord* change) {
  if (!HasSelection() || CopyToClipboard() == 0) return 0;
  return DeleteSelectionSaying(kPhraseCut, undo, change);
}

bool CDocBunsObj::WidenSelectionToUnits() {
  const CVedTextRange selection = SelectedContent();
  CVedTextRange widened;
  if (AdjustRange(&selection, &widened) == 0) return false;
  if (widened.start == selection.start && widened.end == selection.end) return false;
  SetSelectionRange(1, &widened.start, &widened.end);
  // The widened ends name the last character themselves.
  selectionStartCode_ = kMoveWholeUnit;
  return true;
}

int CDocBunsObj::DeleteSelectionSaying(const char* phrase, int undo, ChangeRecord* change) {
  if (!HasSelection()) return 0;
  RememberCaretState();
  UndoRecordingScope group(*this, undo);
  if (WidenSelectionToUnits()) SetKeepEmptiedStart(1);
  EditResult deleted;
  const int changed = ApplyEditWithUndo(undo, &deleted, 0, kEditTypeDeleteSelection);
  if (changed != 0) {
    UpdateAfterChange({.edited = true,
                       .caret = CaretOf(deleted),
                       .result = &deleted,
                       .change = change,
                       .changeFlags = ChangeFlagsOf(deleted, deleted.rangeEnd)});
    SpeakPhrase(phrase, &deleted);
  } else {
    group.Cancel();
    feedback_.Cue(kCueWarning, kCueInterrupt, kCueAsync);
  }
  SetKeepEmptiedStart(0);
  return changed;
}

int CDocBunsObj::ReadClipboard(EditResult* out) {
  EditResult ignored;
  EditResult& result = out != nullptr ? *out : ignored;
  result = EditResult{};
  if (RefusesRead(kRefusesPaste, nullptr)) return kReadNothing;
  ClipboardReader reader(*this);
  const int ready = reader.Open();
  const int answer = ready == kReadInserted ? reader.Load(&result) : ready;
  if (answer == kReadFailed) feedback_.Cue(kCueError, kCueInterrupt, kCueAsync);
  return answer;
}

int CDocBunsObj::Paste(int undo, ChangeRecord* change) {
  if (CheckReadOnly() != 0) return 0;
  ClipboardReader reader(*this);
  const int ready = RefusesRead(kRefusesPaste, nullptr) ? kReadNothing : reader.Open();
  if (ready == kReadFailed) {
    feedback_.Cue(kCueError, kCueInterrupt, kCueAsync);
    return kReadFailed;
  }
  RememberCaretState();
  UndoRecordingScope group(*this, undo);
  bool earlierAtChildStart = false;
  if (HasSelection()) {
    CVedTextPos earlier = selectionAnchorEnd_;
    CVedTextPos later = selectionCaretEnd_;
    OrderPositions(earlier, later);
    earlierAtChildStart = IsAtChildStart(&earlier, 0) != 0;
  }
  EditResult deletion;
  ApplyEditWithUndo(undo, &deletion, 0, kEditTypeDeleteSelection);
  SaveBeforeEdit(undo, kEditTypeInsert, kSaveCaret);
  const int32_t childrenBefore =
      Children().GetCurrentType() == kObjectText ? Children().GetCount() : -1;

  // The blocks of several children go in at the start of the cursor's
  // line in text; what went in is found from there.
  CVedTextPos lineStart;
  const bool atLineStart = ready == kReadInserted && reader.SeveralBlocks() &&
                           Children().GetCurrentType() == kObjectText &&
                           ProbeMove(kMoveLineStart, nullptr, &lineStart);
  InsertionMark mark;
  MarkInsertionPoint(mark, nullptr, atLineStart ? &lineStart : nullptr);
  EditResult result;
  const int answer = ready == kReadInserted ? reader.Load(&result) : ready;
  EditResult logged = result;
  NarrowToInserted(mark, logged);
  TakeInParagraphEndBefore(logged);
  // A block of nothing but a text's end mark (cut from a selection of the
  // last line's margin) is no change: nothing to record, only the warning.
  if (mark.broughtNothing) {
    result.changed = 0;
    logged.changed = 0;
  }
  if (answer == kReadFailed) feedback_.Cue(kCueError, kCueInterrupt, kCueAsync);
  if (result.changed == 0) {
    if (deletion.changed == 0) {
      group.Cancel();
      feedback_.Cue(kCueWarning, kCueInterrupt, kCueAsync);
      return answer;
    }
    // Only the deletion stands: its range went, nothing came in, so the
    // step holds no insertion (one over the deleted range would take
    // the text after it with it on undo).
    result = deletion;
  } else if (deletion.changed != 0) {
    const bool sameChildren = childrenBefore < 0 || Children().GetCount() == childrenBefore;
    if (sameChildren && !earlierAtChildStart &&
        ComparePositions(&result.rangeStart, &deletion.rangeStart) == kCompareAfter) {
      result.rangeStart = deletion.rangeStart;
    }
    result.heightDelta += deletion.heightDelta;
  }
  LogAfterEdit(undo, kEditTypeInsert, &logged);
  UpdateAfterChange({.edited = true,
                     .caret = CaretOf(result),
                     .result = &result,
                     .change = change,
                     .changeFlags = ChangeFlagsOf(result, result.rangeEnd)});
  SpeakPhrase(kPhrasePaste, &result);
  return answer;
}

int CDocBunsObj::CanPaste() {
  const CVedClipboardFile probe(kProbeFileBytes);
  return probe.HasFormat(CVedClipboardFile::kOwnFormat) != 0 ||
                 probe.HasFormat(platform::CF_TEXT) != 0
             ? 1
             : 0;
}
