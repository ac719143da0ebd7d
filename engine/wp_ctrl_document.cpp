// The whole-document commands: a new or cleared document, loading and
// saving, inserting and writing content.
#include "engine/wp_ctrl.h"

namespace {

// Sets the running flag for the whole call and clears it on every way out.
class DocumentRunning {
 public:
  explicit DocumentRunning(int& flag) : flag_(flag) { flag_ = 1; }
  ~DocumentRunning() { flag_ = 0; }
  DocumentRunning(const DocumentRunning&) = delete;
  DocumentRunning& operator=(const DocumentRunning&) = delete;

 private:
  int& flag_;
};

}  // namespace

void CVedWpCtrl::NotifyWholeDocument() {
  UpdateCaretLocation(nullptr);
  const auto display = reinterpret_cast<platform::LPARAM>(&caretDisplay_);
  Notify(WM_WPC_CONTENTCHANGED, 0, display);
  Notify(WM_WPC_CARETMOVED, 0, display);
}

int CVedWpCtrl::NewDocument() {
  const PageFormat format = BuildFormat(pendingStyle_);
  if (!IsUsableDocStyle(pendingStyle_) || root_->SetPageFormat(format) == 0) return kWpcRefused;
  appliedStyle_ = pendingStyle_;
  DistributeStyle();
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

int CVedWpCtrl::DocumentCommand(int code, int flags, platform::CArchive* archive) {
  DocumentRunning running(editRunning_);
  (void)flags;
  (void)archive;
  switch (code) {
    case WPC_NEW_DOCUMENT:
      return NewDocument();
    case WPC_CLEAR_DOCUMENT:
      return ClearDocument();
    case WPC_HAS_DOCUMENT:
      return documentPresent_;
    default:
      return 0;
  }
}
