// The whole-document commands: a new or cleared document, loading and
// saving, inserting and writing content.
#include "engine/wp_ctrl.h"

namespace {

// Sets the running flag for the whole call and gives back what it was on
// every way out.
class DocumentRunning {
 public:
  explicit DocumentRunning(int& flag) : flag_(flag), previous_(flag) { flag_ = 1; }
  ~DocumentRunning() { flag_ = previous_; }
  DocumentRunning(const DocumentRunning&) = delete;
  DocumentRunning& operator=(const DocumentRunning&) = delete;

 private:
  int& flag_;
  int previous_;
};

// While a whole-document load runs, the first clearing of the root's
// children sets them aside in `kept` rather than destroying them.
class KeptContentScope {
 public:
  KeptContentScope(CDocBunsObj& root, CKeptChildren& kept) : root_(root) {
    root_.KeepChildrenAtNextClear(&kept);
  }
  ~KeptContentScope() { root_.KeepChildrenAtNextClear(nullptr); }
  KeptContentScope(const KeptContentScope&) = delete;
  KeptContentScope& operator=(const KeptContentScope&) = delete;

 private:
  CDocBunsObj& root_;
};

}  // namespace

void CVedWpCtrl::NotifyWholeDocument() {
  UpdateCaretLocation(nullptr);
  // The first edit of a renewed document needs a state to undo back to.
  SaveEditSnapshot();
  const auto display = reinterpret_cast<platform::LPARAM>(&caretDisplay_);
  Notify(WM_WPC_CONTENTCHANGED, 0, display);
  Notify(WM_WPC_CARETMOVED, 0, display);
}

int CVedWpCtrl::NewDocument() {
  const PageFormat format = BuildFormat(pendingStyle_);
  if (!IsUsableDocStyle(pendingStyle_) || root_->SetPageFormat(format) == 0) return kWpcRefused;
  appliedStyle_ = pendingStyle_;
  DistributeStyle();
  // Nothing of the document that was there before may come back.
  ClearUndoLists();
  RepaginateAll();
  NotifyWholeDocument();
  documentPresent_ = 1;
  fileVersion_ = ProgramVersion();
  return kWpcOk;
}

int CVedWpCtrl::ClearDocument() {
  if (root_->Reset() == 0) return kWpcRefused;
  RepaginateAll();
  NotifyWholeDocument();
  fileVersion_ = ProgramVersion();
  return kWpcOk;
}

int CVedWpCtrl::ContentDirection(int flags) {
  if ((flags & kLoadUndo) != 0) return 1;
  if ((flags & kLoadRedo) != 0) return -1;
  return 0;
}

int CVedWpCtrl::LoadDocument(int flags, platform::CArchive& archive) {
  if (!archive.IsLoading()) return kWpcWrongDirection;
  const bool inserting = (flags & kLoadInsert) != 0;
  if (inserting && (!root_->CanInsertAtCaret() || caretLevelType_ == kObjectTable)) {
    root_->Feedback().Cue(kCueWarning, 1, 2);
    return kWpcInsertNotAllowed;
  }
  if (!inserting) flags &= ~(kLoadUndo | kLoadRedo);
  // Every way out of a load gives the window its caret and content
  // messages back.
  ScopedQuietNotifier quiet(notifier_, kCaretAndContentBits);
  if (inserting) {
    const int wasOn = root_->SetSpeechEnabled(0);
    root_->Move(0, kMoveLineStart);
    root_->SetSpeechEnabled(wasOn);
    return ReadDocument(flags, archive, inserting, quiet);
  }
  DocumentBackup backup;
  BackUpDocument(backup);
  const KeptContentScope keeping(*root_, backup.content);
  int result = kWpcStreamFailed;
  try {
    result = ReadDocument(flags, archive, inserting, quiet);
  } catch (...) {
    RestoreDocument(backup);
    throw;
  }
  if (result != kWpcOk) RestoreDocument(backup);
  return result;
}

int CVedWpCtrl::ReadDocument(int flags, platform::CArchive& archive, bool inserting,
                             ScopedQuietNotifier& quiet) {
  PageLineColumn stored;
  if ((flags & kLoadHeader) != 0) {
    DocStyle style;
    const int header = ReadStreamHeader(flags, archive, stored, style);
    if (header != kWpcOk) return header;
    if (!inserting) {
      if (!IsUsableDocStyle(style)) return kWpcFormatRefused;
      const PageFormat format = BuildFormat(style);
      if (root_->SetPageFormat(format) == 0) return kWpcFormatRefused;
      appliedStyle_ = style;
      DistributeStyle();
    }
  }
  const uint32_t contentFlags =
      static_cast<uint32_t>(flags) &
      (CDocBunsObj::kStreamOwnFormat | CDocBunsObj::kStreamPlainText | CDocBunsObj::kStreamAtCaret |
       CDocBunsObj::kStreamUndo | CDocBunsObj::kStreamRedo);
  EditResult inserted;
  const int content = root_->InsertFromArchive(contentFlags, archive, &inserted, 1);
  if (content != kWpcOk) return content;
  if (!inserting) root_->ApplyPageFormat(&root_->Format());
  const bool restoreCaret = (flags & kLoadHeader) != 0 && (flags & kLoadRestoreCaret) != 0;
  if (!restoreCaret && !inserting) root_->Move(0, kMoveDocumentStart);
  // The stored caret is found by page, so the pages are laid out first;
  // moving the caret changes none of them.
  RepaginateAll();
  if (restoreCaret) GoToLocation(0, stored, 0);
  UpdateCaretLocation(nullptr);
  if (!inserting) {
    root_->SetModified(0);
    ClearUndoLists();
  }
  quiet.Restore();
  NotifyWholeDocument();
  return kWpcOk;
}

void CVedWpCtrl::BackUpDocument(DocumentBackup& backup) {
  backup.style = appliedStyle_;
  // Kept in the unit the go-to that puts it back reads.
  backup.caret = LocationOf(root_->Caret(), kColumnsAsObjectsCount);
  backup.modified = root_->IsModified();
}

void CVedWpCtrl::RestoreDocument(DocumentBackup& backup) {
  const int wasOn = root_->SetSpeechEnabled(0);
  const PageFormat format = BuildFormat(backup.style);
  // Setting the format clears the children: when the load had not cleared
  // them yet, this is the clearing that sets them aside.
  root_->SetPageFormat(format);
  appliedStyle_ = backup.style;
  DistributeStyle();
  root_->TakeBackContent(backup.content);
  root_->ApplyPageFormat(&root_->Format());
  RepaginateAll();
  GoToLocation(0, backup.caret, 0);
  UpdateCaretLocation(nullptr);
  root_->SetModified(backup.modified);
  root_->SetSpeechEnabled(wasOn);
}

int CVedWpCtrl::SaveDocument(int flags, platform::CArchive& archive) {
  if (!archive.IsStoring()) return kWpcWrongDirection;
  if ((flags & kLoadHeader) != 0) WriteStreamHeader(archive);
  const int written = root_->WriteToArchive(static_cast<uint32_t>(flags), archive, 1);
  // A document whose writing failed is still unsaved: the user must be
  // asked before it is closed. What the archive still buffers must reach
  // the file first, or a full disk would only show when it is closed.
  if (written != kWpcOk) return written;
  archive.Flush();
  root_->SetModified(0);
  return kWpcOk;
}

int CVedWpCtrl::InsertContent(int flags, platform::CArchive& archive, int withHeader) {
  if (!archive.IsLoading()) return kWpcWrongDirection;
  const int direction = ContentDirection(flags);
  EditResult inserted;
  const int result =
      root_->InsertFromArchive(static_cast<uint32_t>(flags), archive, &inserted, withHeader);
  if (result == kWpcOk && inserted.changed != 0) {
    ChangeRecord change;
    root_->FillChangeRecord(inserted, change);
    AfterEdit(&change, 0, direction, 0, 0, 1);
  }
  NotifyWholeDocument();
  return result;
}

int CVedWpCtrl::WriteContent(int flags, platform::CArchive& archive, int withHeader) {
  if (!archive.IsStoring()) return kWpcWrongDirection;
  return root_->WriteToArchive(static_cast<uint32_t>(flags), archive, withHeader);
}

int CVedWpCtrl::RunStreamCommand(int code, int flags, platform::CArchive& archive) {
  switch (code) {
    case WPC_LOAD_DOCUMENT:
      return LoadDocument(flags, archive);
    case WPC_SAVE_DOCUMENT:
      return SaveDocument(flags, archive);
    case WPC_INSERT_CONTENT:
      return InsertContent(flags, archive, 1);
    case WPC_WRITE_CONTENT:
      return WriteContent(flags, archive, 1);
    case WPC_INSERT_BARE_CONTENT:
      return InsertContent(flags, archive, 0);
    case WPC_WRITE_BARE_CONTENT:
      return WriteContent(flags, archive, 0);
    default:
      return 0;
  }
}

int CVedWpCtrl::DocumentCommand(int code, int flags, platform::CArchive* archive) {
  std::lock_guard lock(commandLock_);
  DocumentRunning running(editRunning_);
  switch (code) {
    case WPC_NEW_DOCUMENT:
      return NewDocument();
    case WPC_CLEAR_DOCUMENT:
      return ClearDocument();
    case WPC_HAS_DOCUMENT:
      return documentPresent_;
    default:
      break;
  }
  if (code < WPC_LOAD_DOCUMENT || code > WPC_WRITE_BARE_CONTENT) return 0;
  if (archive == nullptr) return kWpcWrongDirection;
  // A damaged or short stream surfaces as an exception of the archive.
  try {
    return RunStreamCommand(code, flags, *archive);
  } catch (const platform::CArchiveException&) {
    return kWpcStreamFailed;
  } catch (const platform::CFileException&) {
    return kWpcStreamFailed;
  }
}
