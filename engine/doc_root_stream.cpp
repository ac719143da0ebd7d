// The document root's stream: content read into the document and written
// out of it through an archive. The own format carries a header in front
// of the container's content: the magic and the renderer's fonts in use
// (only with header: whole documents and the clipboard), then the range
// kind and reserved bytes (always: undo fragments and transfers too).
#include <array>
#include <cstring>

#include "engine/doc_root.h"
#include "engine/doc_root_scopes.h"
#include "engine/wp_ctrl.h"
#include "model/table_object.h"

namespace {

constexpr size_t kReservedBytes = 128;

// How an insertion is logged for undo.
constexpr int kEditTypeInsert = 1;
constexpr int kEditTypeInsertAsMove = 2;
// The selection an insertion replaces is deleted as this edit type.
constexpr int kEditTypeDeleteSelection = 3;
// The range an insertion records before the edit is the selection.
constexpr int kSaveSelection = 1;

// Text written to memory is ended by one zero byte.
constexpr size_t kMemoryGrowBytes = 1024;
constexpr size_t kArchiveBufferBytes = 4096;

int UndoDirection(uint32_t flags) {
  if ((flags & CDocBunsObj::kStreamUndo) != 0) return 1;
  if ((flags & CDocBunsObj::kStreamRedo) != 0) return -1;
  return 0;
}

int ContentFormat(uint32_t flags) {
  if ((flags & CDocBunsObj::kStreamOwnFormat) != 0) return kFormatOwnBlock;
  if ((flags & CDocBunsObj::kStreamBareText) != 0) return kFormatBareText;
  if ((flags & CDocBunsObj::kStreamPlainText) != 0) return kFormatPlainText;
  return 0;
}

// The container reports a range it could not store by its answer; the
// stream's callers learn of every write failure the same way, as an
// archive exception.
void StoreRange(CDocObjContainer& container, platform::CArchive& archive, int format, int mode,
                const CVedTextPos* start, const CVedTextPos* end) {
  if (container.SerializeRange(archive, format, mode, start, end, nullptr) < 0) {
    throw platform::CArchiveException(platform::CArchiveException::kGeneric,
                                      "the range could not be stored");
  }
}

}  // namespace

int32_t CDocBunsObj::CaretTableRows() {
  if (Children().GetCurrentType() != kObjectTable) return -1;
  const auto* table = dynamic_cast<const CTableObject*>(Children().GetCurrent());
  return table != nullptr ? table->Rows() : -1;
}

bool CDocBunsObj::SelectionEndsAtTableEnd() {
  if (!HasSelection()) return false;
  for (const CVedTextPos* end : {&selectionAnchorEnd_, &selectionCaretEnd_}) {
    const StrippedPath path = PopChildIndex(end, Children().GetCursorIndex());
    if (Children().GetTypeAt(path.step.value) == kObjectTable && IsAtChildEnd(end, 0) != 0) {
      return true;
    }
  }
  return false;
}

int CDocBunsObj::InsertFromArchive(uint32_t flags, platform::CArchive& archive, EditResult* out,
                                   int withHeader) {
  if (out != nullptr) *out = EditResult{};
  if (CheckReadOnly() != 0) return kWpcFormatRefused;
  const bool atCaret = (flags & kStreamAtCaret) != 0;
  if (atCaret && replaying_ == 0 && !CanInsertAtCaret()) {
    feedback_.Cue(kCueRefused, kCueInterrupt, kCueAsync);
    return kWpcFormatRefused;
  }
  if (archive.IsStoring()) return kWpcWrongDirection;
  if ((flags & (kStreamOwnFormat | kStreamPlainText)) == 0) return kWpcNoFormat;
  const int format = (flags & kStreamOwnFormat) != 0 ? kFormatOwnBlock : kFormatPlainText;

  RememberCaretState();
  UndoRecordingScope group(*this, UndoDirection(flags));
  EditResult deletion;
  bool tableEnd = false;
  if (atCaret) {
    tableEnd = SelectionEndsAtTableEnd();
    ApplyEditWithUndo(group.direction(), &deletion, 0, kEditTypeDeleteSelection);
  } else {
    if (Reset() == 0) {
      group.Drop();
      feedback_.Cue(kCueError, kCueInterrupt, kCueAsync);
      return kWpcStreamFailed;
    }
    group.Drop();
    GetCursor(&caret_);
  }
  const int editType = (flags & kStreamLogAsMove) != 0 ? kEditTypeInsertAsMove : kEditTypeInsert;
  SaveBeforeEdit(group.direction(), editType, kSaveSelection);
  const int32_t rowsBefore = CaretTableRows();

  InsertionMark mark;
  if (atCaret) MarkInsertionPoint(mark);
  EditResult inserted;
  const int answer = ReadContent(archive, format, withHeader, &inserted);
  EditResult logged = inserted;
  NarrowToInserted(mark, logged);
  if (inserted.changed == 0 && deletion.changed == 0) {
    group.Cancel();
    feedback_.Cue(kCueWarning, kCueInterrupt, kCueAsync);
    return answer;
  }
  if (answer != kWpcOk) feedback_.Cue(kCueWarning, kCueInterrupt, kCueAsync);
  if (inserted.changed == 0) inserted = logged = deletion;
  if (deletion.changed != 0 && CaretTableRows() == rowsBefore && !tableEnd) {
    // The logged range covers the deletion and the insertion together.
    if (ComparePositions(&inserted.rangeStart, &deletion.newCursor) == kCompareAfter) {
      inserted.rangeStart = deletion.newCursor;
    }
    if (inserted.heightDelta == 0) inserted.heightDelta = deletion.heightDelta;
  }
  LogAfterEdit(group.direction(), editType, &logged);
  const CVedTextPos* newCaret = inserted.newCursor.IsEmpty() ? nullptr : &inserted.newCursor;
  UpdateAfterChange({.edited = true,
                     .caret = newCaret,
                     .result = &inserted,
                     .changeFlags = ChangeFlagsOf(inserted, inserted.newCursor)});
  if ((flags & kStreamAnnounce) != 0) SpeakSelectionChange(flags, &inserted);
  if (out != nullptr) *out = inserted;
  return answer;
}

int CDocBunsObj::ReadContent(platform::CArchive& archive, int format, int withHeader,
                             EditResult* out) {
  if (replaying_ == 0 && RefusesRead(2, nullptr)) return kWpcFormatRefused;
  int32_t kind = 0;
  SavedFontListScope fonts(renderer_, format == kFormatOwnBlock && withHeader != 0);
  if (format == kFormatOwnBlock) {
    const int header = ReadStreamHeader(archive, &kind, withHeader);
    if (header != kWpcOk) return header;
  }
  CVedTextPos cursor;
  GetCursor(&cursor);
  // An undo replay puts content back where it came from: the stored child
  // indexes then take part in placing it.
  const CVedTextPos* at = replaying_ != 0 ? &cursor : nullptr;
  const int loaded = SerializeRange(archive, format, kind, at, nullptr, out);
  return loaded < 0 ? kWpcFormatRefused : kWpcOk;
}

int CDocBunsObj::ReadContent(platform::CArchive& archive) {
  try {
    EditResult loaded;
    return ReadContent(archive, kFormatOwnBlock, 1, &loaded) == kWpcOk ? 1 : 0;
  } catch (const platform::CArchiveException&) {
    return 0;
  } catch (const platform::CFileException&) {
    return 0;
  }
}

int CDocBunsObj::ReadStreamHeader(platform::CArchive& archive, int32_t* kind, int withHeader) {
  if (withHeader != 0) {
    std::array<uint8_t, kDocRootMagicSize> signature{};
    if (archive.Read(signature.data(), signature.size()) != signature.size() ||
        std::memcmp(signature.data(), magic_, signature.size()) != 0) {
      return kWpcBadSignature;
    }
    // Content after a font block that could not be read would be read
    // with the wrong fonts, or from the wrong place.
    if (renderer_.SerializeFontList(archive) == 0) return kWpcBadSignature;
  }
  int32_t rangeKind = 0;
  archive >> rangeKind;
  std::array<uint8_t, kReservedBytes> reserved{};
  archive.ReadExact(reserved.data(), reserved.size());
  if (kind != nullptr) *kind = rangeKind;
  return kWpcOk;
}

int CDocBunsObj::WriteToArchive(uint32_t flags, platform::CArchive& archive, int withHeader) {
  if (archive.IsLoading()) return kWpcWrongDirection;
  const int format = ContentFormat(flags);
  if (format == 0) return kWpcNoFormat;
  if ((flags & kStreamSelection) == 0)
    return WriteContent(archive, format, nullptr, nullptr, withHeader);
  CVedTextPos start = caret_;
  CVedTextPos end = caret_;
  if (HasSelection()) {
    const CVedTextRange selected = SelectedContent();
    start = selected.start;
    end = selected.end;
  }
  return WriteContent(archive, format, &start, &end, withHeader);
}

int CDocBunsObj::WriteContent(platform::CArchive& archive, int format, const CVedTextPos* start,
                              const CVedTextPos* end, int withHeader) {
  if (format != kFormatOwnBlock) {
    StoreRange(*this, archive, format, 0, start, end);
    return kWpcOk;
  }
  SavedFontListScope fonts(renderer_, withHeader != 0);
  int32_t kind = kRangeAcrossObjects;
  WriteStreamHeader(archive, &kind, start, end, withHeader);
  StoreRange(*this, archive, kFormatOwnBlock, kind, start, end);
  return kWpcOk;
}

int CDocBunsObj::WriteStreamHeader(platform::CArchive& archive, int32_t* kind,
                                   const CVedTextPos* start, const CVedTextPos* end,
                                   int withHeader) {
  if (withHeader != 0) {
    archive.Write(magic_, kDocRootMagicSize);
    if (renderer_.SerializeFontList(archive) == 0) {
      throw platform::CArchiveException(platform::CArchiveException::kGeneric,
                                        "the fonts in use could not be stored");
    }
  }
  const int32_t rangeKind =
      IsRangeInOneText(start, end) != 0 ? kRangeInOneText : kRangeAcrossObjects;
  archive << rangeKind;
  const std::array<uint8_t, kReservedBytes> reserved{};
  archive.Write(reserved.data(), reserved.size());
  if (kind != nullptr) *kind = rangeKind;
  return kWpcOk;
}

int CDocBunsObj::WriteRangeToMemory(const CVedTextPos* start, const CVedTextPos* end, int format,
                                    std::vector<uint8_t>* block) {
  if (format != kFormatPlainText && format != kFormatBareText) return 1;
  platform::CMemFile file(kMemoryGrowBytes);
  int failed = 0;
  try {
    platform::CArchive archive(&file, platform::CArchive::kStore, kArchiveBufferBytes);
    StoreRange(*this, archive, format, 0, start, end);
    archive << uint8_t{0};
    archive.Close();
  } catch (const platform::CArchiveException&) {
    failed = 1;
  } catch (const platform::CFileException&) {
    failed = 1;
  }
  if (block != nullptr) {
    block->assign(file.Data(), file.Data() + static_cast<size_t>(file.GetLength()));
  }
  return failed;
}
