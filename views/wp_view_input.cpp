// The framework view's editing wrappers, the input method's composition,
// the keyboard prompt modes and the keys it takes before the surface.
#include <algorithm>

#include "engine/wp_commands.h"
#include "engine/wp_ctrl.h"
#include "platform/input.h"
#include "platform/window.h"
#include "views/ed_view.h"
#include "views/wp_view.h"

namespace {

// The input method's full-width space, as WM_IME_CHAR carries it.
constexpr platform::WPARAM kFullWidthSpace = 0x8140;
constexpr platform::WPARAM kSpace = 0x20;

// The undo direction the editing commands record with.
constexpr intptr_t kRecordUndo = 1;

// How StopRangeMarking's end is told: with a notification even when
// nothing moved.
constexpr intptr_t kForceNotification = 1;

int EditResultOf(int engineAnswer) { return engineAnswer == 0 ? kEditDone : kEditFailed; }

}  // namespace

// ---- Editing

int CVedWpView::Copy() {
  if (engine_ == nullptr) return kEditDone;
  surface_->InsertGatheredText();
  if (EngineEdit(WPC_HAS_SELECTION) == 0) return kEditNothingToDo;
  return EditResultOf(EngineEdit(WPC_COPY));
}

int CVedWpView::Cut() {
  if (engine_ == nullptr) return kEditDone;
  surface_->InsertGatheredText();
  if (EngineEdit(WPC_HAS_SELECTION) == 0) return kEditNothingToDo;
  return EditResultOf(EngineEdit(WPC_CUT, kRecordUndo));
}

int CVedWpView::Paste() {
  if (engine_ == nullptr) return kEditDone;
  surface_->InsertGatheredText();
  if (EngineEdit(WPC_CAN_PASTE) == 0) return kEditNothingToDo;
  return EditResultOf(EngineEdit(WPC_PASTE, kRecordUndo));
}

int CVedWpView::Undo() {
  if (engine_ == nullptr) return kEditDone;
  surface_->InsertGatheredText();
  if (GetImeCompositionState() != 0) {
    SuspendImeComposition();
    return kEditDone;
  }
  if (EngineEdit(WPC_CAN_UNDO) == 0) return kEditNothingToDo;
  EngineEdit(WPC_UNDO);
  return kEditDone;
}

int CVedWpView::Redo() {
  if (engine_ == nullptr) return kEditDone;
  surface_->InsertGatheredText();
  if (GetImeCompositionState() != 0) {
    SuspendImeComposition();
    return kEditDone;
  }
  if (EngineEdit(WPC_CAN_REDO) == 0) return kEditNothingToDo;
  EngineEdit(WPC_REDO);
  return kEditDone;
}

void CVedWpView::OnEditCopy() { Copy(); }
void CVedWpView::OnEditCut() { Cut(); }
void CVedWpView::OnEditPaste() { Paste(); }

// ---- The input method's composition. The surface has no composition of
// its own yet, so there is never one to report, capture or restore.

int CVedWpView::GetImeCompositionState() { return 0; }
int CVedWpView::SuspendImeComposition() { return 0; }
void CVedWpView::ResumeImeComposition() {}
int CVedWpView::GetImeCompositionText(framework::CString& text) {
  text.Empty();
  return 0;
}

// ---- Keyboard prompt modes

void CVedWpView::SuspendEditInput() {
  if (surfaceHasInput_ == 0) return;
  surface_->HideCaretAll();
  surfaceHasInput_ = 0;
  viewDrivesCaretKeys_ = 1;
  anchorSet_ = 0;
  surface_->DisableInput();
  platform::SetFocus(m_hWnd);
  platform::EnableWindow(surface_->m_hWnd, false);
  platform::SetActiveWindow(platform::GetAncestor(m_hWnd, platform::GA_ROOT));
  surface_->ShowCaretIfAttached();
}

void CVedWpView::ResumeEditInput() {
  if (surfaceHasInput_ != 0) return;
  CancelSelection(1);
  StopRangeMarking(0);
  surfaceHasInput_ = 1;
  platform::EnableWindow(surface_->m_hWnd, true);
  surface_->EnableInput();
  platform::SetFocus(surface_->m_hWnd);
}

void CVedWpView::EnableViewCaretKeys(int flag) { viewDrivesCaretKeys_ = flag; }

int CVedWpView::BeginRangeSelection(int mode) {
  anchorSet_ = 1;
  selectionMode_ = mode;
  return EngineEdit(WPC_MOVE_EXTEND, kMoveExtendUnit, mode);
}

void CVedWpView::ExtendRangeSelection(int mode) {
  if (rangeMarking_ != 0 || anchorSet_ == 0) return;
  selectionMode_ = mode;
  EngineEdit(WPC_MOVE_EXTEND, kMoveExtendUnit, mode);
}

void CVedWpView::CancelSelection(int refresh) {
  anchorSet_ = 0;
  if (EngineEdit(WPC_HAS_SELECTION) == 0) return;
  EngineEdit(WPC_CLEAR_SELECTION);
  if (refresh == 1) CaretChanged(0, nullptr);
}

void CVedWpView::StartRangeMarking() {
  if (rangeMarking_ != 0) return;
  rangeMarking_ = 1;
  EngineEdit(WPC_BEGIN_MARKING);
}

void CVedWpView::StopRangeMarking(int keep) {
  if (rangeMarking_ == 0) return;
  rangeMarking_ = 0;
  EngineEdit(WPC_END_MARKING, keep, kForceNotification);
}

// ---- Keys before the surface

bool CVedWpView::MoveByCaretKey(int key) {
  const int move = surface_->GetKeyMoveCode(key);
  if (move == 0) return false;
  surface_->InsertGatheredText();
  if (anchorSet_ == 0 || rangeMarking_ != 0) {
    EngineEdit(WPC_MOVE, move, 0);
  } else {
    EngineEdit(WPC_MOVE_EXTEND, move, selectionMode_);
  }
  return true;
}

bool CVedWpView::PreTranslateMessage(platform::MSG* msg) {
  if (surfaceHasInput_ != 0) return framework::CWnd::PreTranslateMessage(msg);
  switch (msg->message) {
    case platform::WM_KEYDOWN:
    case platform::WM_SYSKEYDOWN:
      if (reading_.IsRunning()) {
        reading_.OnReadingKey(static_cast<int>(msg->wParam));
        return true;
      }
      if (viewDrivesCaretKeys_ != 0 && MoveByCaretKey(static_cast<int>(msg->wParam))) return true;
      if (msg->message == platform::WM_SYSKEYDOWN && viewDrivesCaretKeys_ == 0) return true;
      break;
    case platform::WM_IME_CHAR:
      if (reading_.IsRunning()) return true;
      if (msg->wParam == kFullWidthSpace) {
        msg->message = platform::WM_CHAR;
        msg->wParam = kSpace;
        msg->lParam = 0;
      }
      break;
    default:
      break;
  }
  return framework::CWnd::PreTranslateMessage(msg);
}
