#include "views/read_aloud.h"

#include <algorithm>
#include <cstring>
#include <system_error>

#include "engine/caret_point.h"
#include "engine/doc_root.h"
#include "engine/notifier.h"
#include "engine/wp_commands.h"
#include "engine/wp_ctrl.h"
#include "model/doc_object.h"
#include "model/text_navigator.h"
#include "platform/clock.h"
#include "platform/input.h"
#include "platform/window.h"
#include "speech/reader_bridge.h"
#include "views/ed_view.h"

namespace {

// The step window's one message: lParam points at the step to run.
constexpr platform::UINT kRunStepMessage = platform::WM_USER + 1;
constexpr platform::LRESULT kStepRan = 1;

// Pacing, on the process clock.
constexpr uint32_t kPausePollMs = 30;
constexpr uint32_t kPauseAfterSpeechPollMs = 100;
constexpr uint32_t kFetchDelayMs = 50;
constexpr uint32_t kSpeechPollMs = 100;
constexpr uint32_t kKeySettleMs = 100;
// How long Stop lets the window thread wait between looks for the worker's
// sends.
constexpr uint32_t kStopPollMs = 10;

constexpr int kSpeaking = 1;
constexpr int kSpeakMode = 4;
constexpr int kSpeakFlag = 1;

constexpr size_t kFirstTextSize = 256;
// The engine cuts a text that does not fit before its last whole
// character, so a text that ends this close to the buffer's end may have
// been cut.
constexpr size_t kLongestCharacter = 2;

// To the start of the caret's table cell.
constexpr int kMoveCellStart = 1025;
constexpr int kCaretAtDocumentEnd = 0x2;
constexpr int kNoNotifications = 0;

// The engine's unit kinds of WPC_SPEAK_UNIT.
constexpr int kSpeakSelection = 1;
constexpr int kSpeakLine = 2;
constexpr int kSpeakParagraph = 3;
constexpr int kSpeakLineToCaret = 4;
constexpr int kSpeakLineFromCaret = 5;

bool WalksUnits(int mode) {
  return mode == kReadFromCaret || mode == kReadDocument || mode == kReadCell;
}

int SpeakKindOf(int mode) {
  switch (mode) {
    case kReadParagraph:
      return kSpeakParagraph;
    case kReadLine:
      return kSpeakLine;
    case kReadLineToCaret:
      return kSpeakLineToCaret;
    case kReadLineFromCaret:
      return kSpeakLineFromCaret;
    default:
      return kSpeakSelection;
  }
}

template <typename Record>
intptr_t Pointer(Record* record) {
  return reinterpret_cast<intptr_t>(record);
}

bool SameRange(const CVedTextRange& a, const CVedTextRange& b) {
  return a.start == b.start && a.end == b.end;
}

// Notifications off for the scope, then the mask as it was.
class QuietNotifications {
 public:
  explicit QuietNotifications(CVedWpCtrl& engine)
      : engine_(engine), previous_(engine.NotifyCommand(WPC_SET_NOTIFY_MASK, kNoNotifications)) {}
  ~QuietNotifications() { engine_.NotifyCommand(WPC_SET_NOTIFY_MASK, previous_); }
  QuietNotifications(const QuietNotifications&) = delete;
  QuietNotifications& operator=(const QuietNotifications&) = delete;

 private:
  CVedWpCtrl& engine_;
  int previous_;
};

}  // namespace

CReadAloudThread::CReadAloudThread(CReadAloudHost& host) : host_(host) {}

CReadAloudThread::~CReadAloudThread() {
  detached_ = true;
  Stop();
  if (stepWindow_ != platform::kNoWindow) platform::DestroyWindow(stepWindow_);
}

int CReadAloudThread::StartReading(int mode, int returnToStart) {
  if (thread_.joinable() && !finished_ && !threadDone_) {
    running_ = false;
    return -1;
  }
  // A thread that ran its last step has nothing left but to return.
  if (thread_.joinable()) thread_.join();
  engine_ = host_.ReadingEngine();
  if (engine_ == nullptr) return -1;
  if (mode == kReadCell && CellPosition() == 0) return -1;
  if (!CreateStepWindow()) return -1;
  mode_ = mode;
  returnToStart_ = returnToStart;
  finished_ = false;
  threadDone_ = false;
  paused_ = false;
  moving_ = false;
  // Set before the thread runs, so that the view sends its keys here at
  // once and an Esc before the first step is not lost.
  running_ = true;
  try {
    thread_ = std::thread(&CReadAloudThread::ReadingThreadProc, this);
  } catch (const std::system_error&) {
    running_ = false;
    return -1;
  }
  return 0;
}

void CReadAloudThread::Stop() {
  running_ = false;
  waitingKeys_.clear();
  // From inside a step the worker waits on this very call: it ends by
  // itself once the step returns.
  if (inStep_ || !thread_.joinable()) return;
  while (!threadDone_) {
    platform::MSG msg;
    platform::PeekMessage(&msg, stepWindow_, 0, 0, platform::PM_NOREMOVE);
    if (!threadDone_) platform::WaitMessageFor(kStopPollMs);
  }
  thread_.join();
}

bool CReadAloudThread::CreateStepWindow() {
  if (stepWindow_ != platform::kNoWindow) return true;
  stepWindow_ = platform::CreateWindowHandle(
      [this](platform::HWND, platform::UINT message, platform::WPARAM, platform::LPARAM lParam) {
        return RunStep(message, lParam);
      });
  return stepWindow_ != platform::kNoWindow;
}

platform::LRESULT CReadAloudThread::RunStep(platform::UINT message, platform::LPARAM lParam) {
  if (message != kRunStepMessage || lParam == 0) return 0;
  inStep_ = true;
  (*reinterpret_cast<const std::function<void()>*>(lParam))();
  inStep_ = false;
  return kStepRan;
}

// ---- The worker thread

bool CReadAloudThread::OnWindowThread(const std::function<void()>& step) {
  const bool ran =
      platform::SendMessage(stepWindow_, kRunStepMessage, 0, Pointer(&step)) == kStepRan;
  if (!ran) running_ = false;
  return ran;
}

void CReadAloudThread::ReadingThreadProc() {
  int stopped = kReadNothing;
  if (OnWindowThread([this] { TakeInput(); }) && running_) {
    if (WalksUnits(mode_)) {
      ReadUnits(stopped);
    } else {
      ReadSingleUnit(stopped);
    }
  }
  OnWindowThread([this, &stopped] { FinishReading(stopped); });
  threadDone_ = true;
}

void CReadAloudThread::ReadSingleUnit(int& stopped) {
  int started = 0;
  if (!OnWindowThread([this, &started, &stopped] { started = SpeakSingleUnit(stopped); })) return;
  if (started == 0 || GetVoiceStatus() != kSpeaking) return;
  if (WaitWhileSpeaking()) stopped = kReadingCancelled;
}

void CReadAloudThread::ReadUnits(int& stopped) {
  if (!OnWindowThread([this] { PrepareUnits(); })) return;
  stopped = kReadingCancelled;
  while (running_) {
    moving_ = true;
    WaitWhilePaused(kPausePollMs);
    bool inCell = true;
    if (!OnWindowThread([this, &inCell] { inCell = SelectNextUnit(); })) break;
    if (!inCell) {
      stopped = kReadToTheEnd;
      break;
    }
    platform::Sleep(kFetchDelayMs);
    bool spoke = false;
    if (!OnWindowThread([this, &spoke] { spoke = SpeakSelectedUnit(); })) break;
    if (spoke && GetVoiceStatus() == kSpeaking) WaitWhileSpeaking();
    WaitWhilePaused(kPauseAfterSpeechPollMs);
    bool atEnd = false;
    if (!OnWindowThread([this, &atEnd] { atEnd = AdvanceToNextUnit(); })) break;
    if (atEnd) {
      stopped = kReadToTheEnd;
      break;
    }
  }
  OnWindowThread([this] { FinishUnits(); });
}

bool CReadAloudThread::WaitWhileSpeaking() {
  while (running_) {
    platform::Sleep(kSpeechPollMs);
    if (GetVoiceStatus() != kSpeaking) return false;
  }
  StopSpeech();
  return true;
}

void CReadAloudThread::WaitWhilePaused(uint32_t milliseconds) const {
  while (paused_) platform::Sleep(milliseconds);
}

// ---- Steps

void CReadAloudThread::TakeInput() {
  speechBefore_ = engine_->FeedbackCommand(WPC_SET_SPEECH, 0, nullptr);
  hadInput_ = 0;
  if (detached_) return;
  CVedEdView* surface = host_.ReadingSurface();
  const platform::HWND view = host_.ReadingViewWindow();
  if (host_.SurfaceHasInput() != 0) {
    hadInput_ = 1;
    if (surface != nullptr) surface->HideCaretAll();
    host_.SetSurfaceHasInput(0);
    if (surface != nullptr) surface->DisableInput();
    // The keys now come to the view, whose PreTranslateMessage hands them
    // here.
    platform::SetFocus(view);
    if (surface != nullptr) surface->ShowCaretIfAttached();
  }
  if (surface != nullptr) platform::EnableWindow(surface->m_hWnd, false);
  platform::SetActiveWindow(view);
}

void CReadAloudThread::GiveInputBack(CVedEdView* surface, platform::HWND view) {
  host_.SetSurfaceHasInput(1);
  if (surface == nullptr) return;
  surface->EnableInput();
  platform::PostMessage(surface->m_hWnd, WM_SURFACE_TAKE_FOCUS, view, 0);
}

int CReadAloudThread::SpeakSingleUnit(int& stopped) {
  const int kind = SpeakKindOf(mode_);
  if (kind == kSpeakSelection && Edit(WPC_HAS_SELECTION, 0, 0) == 0) return 0;
  stopped = kReadToTheEnd;
  return engine_->FeedbackCommand(WPC_SPEAK_UNIT, kind, nullptr);
}

void CReadAloudThread::PrepareUnits() {
  Edit(WPC_CLEAR_SELECTION, 0, 0);
  text_.assign(kFirstTextSize, '\0');
  lastUnit_ = false;
  startRange_ = Selection();
  if (mode_ == kReadDocument) Move(kMoveDocumentStart);
  if (mode_ == kReadCell) Move(kMoveCellStart);
  // On a table's rules or beside it there is nothing to read: the first
  // step goes into the text.
  ObjectDescription context{};
  Edit(WPC_GET_CARET_CONTEXT, 0, Pointer(&context));
  if (OnTableRules(context)) Move(kMoveNextWord);
}

bool CReadAloudThread::SelectNextUnit() {
  CVedTextRange current;
  CVedTextRange unitEnd;
  {
    const QuietNotifications quiet(*engine_);
    current = Selection();
    const int cell = CellPosition();
    const int top = Edit(WPC_GET_TOP_OFFSET, 0, 0);
    Move(kMoveNextWord);
    nextRange_ = Selection();
    // The same cell position in another table is another cell.
    const bool crossed =
        CellPosition() != cell || (Edit(WPC_GET_TOP_OFFSET, 0, 0) != top && cell != 0);
    if (crossed) {
      // A unit never runs over the edge of a cell or a table: it ends
      // there, and the next one begins where the step landed. In a cell
      // that is read alone, the unit at its edge is the last.
      unitEnd = EdgeOf(current, cell, top);
      if (mode_ == kReadCell) {
        lastUnit_ = true;
        if (unitEnd.start == current.start) return false;
      }
    } else {
      // No word follows the last one: it runs to the end of the document.
      if (nextRange_.start == current.start) {
        Move(kMoveDocumentEnd);
        nextRange_ = Selection();
      }
      unitEnd = nextRange_;
    }
  }
  SelectRange({current.start, unitEnd.start});
  unitRange_ = Selection();
  // The engine answers the caret end first; the unit starts at the anchor.
  unitStart_ = unitRange_.end.IsEmpty() ? unitRange_.start : unitRange_.end;
  return true;
}

CVedTextRange CReadAloudThread::EdgeOf(const CVedTextRange& from, int cell, int top) {
  SelectRange({from.start, CVedTextPos()});
  CVedTextRange edge = Selection();
  for (;;) {
    Move(kMoveNextChar);
    const CVedTextRange at = Selection();
    if (at.start == edge.start || CellPosition() != cell || Edit(WPC_GET_TOP_OFFSET, 0, 0) != top) {
      return edge;
    }
    edge = at;
  }
}

bool CReadAloudThread::SpeakSelectedUnit() {
  FetchUnitText();
  moving_ = false;
  const bool spoke = text_.front() != '\0';
  if (spoke) SpeakText(text_.data(), kSpeakMode, kSpeakFlag);
  std::vector<int> keys;
  keys.swap(waitingKeys_);
  for (const int key : keys) {
    if (running_) HandleKey(key);
  }
  return spoke;
}

bool CReadAloudThread::AdvanceToNextUnit() {
  if (lastUnit_) return true;
  // Still the unit as it was selected: the user did not move the caret,
  // so reading goes on with the next unit; otherwise from the caret.
  if (SameRange(Selection(), unitRange_)) SelectRange({nextRange_.start, CVedTextPos()});
  return (Edit(WPC_GET_CARET_FLAGS, 0, 0) & kCaretAtDocumentEnd) != 0;
}

void CReadAloudThread::FinishUnits() {
  Edit(WPC_CLEAR_SELECTION, 0, 0);
  if (returnToStart_ != 0 || mode_ == kReadCell) SelectQuietly(startRange_);
}

void CReadAloudThread::FinishReading(int stopped) {
  waitingKeys_.clear();
  text_.clear();
  if (!detached_) {
    CVedEdView* surface = host_.ReadingSurface();
    const platform::HWND view = host_.ReadingViewWindow();
    platform::SendMessage(view, WM_WPC_CARETMOVED, 0, 0);
    if (surface != nullptr) platform::EnableWindow(surface->m_hWnd, true);
    host_.OnReadingFinished(stopped, mode_);
    if (hadInput_ != 0) GiveInputBack(surface, view);
  }
  engine_->FeedbackCommand(WPC_SET_SPEECH, speechBefore_, nullptr);
  moving_ = false;
  paused_ = false;
  running_ = false;
  finished_ = true;
}

// ---- Keys

void CReadAloudThread::OnReadingKey(int key) {
  if (!running_) return;
  if (key == platform::VK_ESCAPE) {
    running_ = false;
    waitingKeys_.clear();
    return;
  }
  if (!WalksUnits(mode_)) return;
  // The worker is between moving to a unit and fetching its text: the key
  // is handled once the text is fetched.
  if (moving_) {
    waitingKeys_.push_back(key);
    return;
  }
  HandleKey(key);
}

void CReadAloudThread::HandleKey(int key) {
  if (mode_ == kReadCell) {
    keyCell_ = CellPosition();
    if (keyCell_ == 0) return;
  }
  paused_ = true;
  if (!MoveForKey(key)) {
    paused_ = false;
    return;
  }
  platform::Sleep(kKeySettleMs);
  if (mode_ == kReadCell && CellPosition() != keyCell_) RestartReadingUnit();
  paused_ = false;
}

bool CReadAloudThread::MoveForKey(int key) {
  switch (key) {
    case platform::VK_BACK:
      RestartReadingUnit();
      Move(kMovePrevCellOrLine);
      return true;
    case platform::VK_RETURN:
      RestartReadingUnit();
      Move(kMoveNextCellOrLine);
      return true;
    case platform::VK_PRIOR:
    case platform::VK_NEXT:
      if (mode_ == kReadCell) return false;
      RestartReadingUnit();
      Move(key == platform::VK_PRIOR ? kMovePrevPage : kMoveNextPage);
      return true;
    case platform::VK_HOME:
      RestartReadingUnit();
      if (mode_ == kReadCell) {
        Move(kMoveCellStart);
      } else {
        CaretPoint caret;
        Edit(WPC_GET_CARET_RECT, 0, Pointer(&caret));
        PageLineColumn pageTop{caret.page, 1, 1};
        Edit(WPC_GOTO, 0, Pointer(&pageTop));
      }
      return true;
    case platform::VK_LEFT: {
      RestartReadingUnit();
      const QuietNotifications quiet(*engine_);
      Move(kMovePrevWord);
      return true;
    }
    case platform::VK_UP:
      StopSpeech();
      Move(kMoveParagraphStart);
      return true;
    case platform::VK_RIGHT:
      // Only the rest of this unit is skipped.
      StopSpeech();
      return true;
    case platform::VK_DOWN:
      StopSpeech();
      Move(kMoveNextParagraph);
      return true;
    default:
      return false;
  }
}

void CReadAloudThread::RestartReadingUnit() {
  StopSpeech();
  if (engine_ == nullptr) return;
  SelectQuietly({unitStart_, CVedTextPos()});
}

// ---- Engine commands

int CReadAloudThread::Edit(int code, intptr_t arg, intptr_t value) {
  return engine_->EditCommand(code, arg, value);
}

void CReadAloudThread::Move(int code) { Edit(WPC_MOVE, code, 0); }

int CReadAloudThread::CellPosition() {
  int32_t packed = 0;
  return engine_->TableCommand(WPC_GET_CELL_POSITION, 0, Pointer(&packed)) != 0 ? packed : 0;
}

CVedTextRange CReadAloudThread::Selection() {
  CVedTextRange range;
  Edit(WPC_GET_SELECTION, 0, Pointer(&range));
  return range;
}

void CReadAloudThread::SelectRange(const CVedTextRange& range) {
  Edit(WPC_SELECT_RANGE, 0, Pointer(&range));
}

void CReadAloudThread::SelectQuietly(const CVedTextRange& range) {
  const QuietNotifications quiet(*engine_);
  SelectRange(range);
}

void CReadAloudThread::FetchUnitText() {
  std::fill(text_.begin(), text_.end(), '\0');
  // Without a selection the engine answers the character at the caret.
  if (Edit(WPC_HAS_SELECTION, 0, 0) == 0) return;
  for (;;) {
    std::fill(text_.begin(), text_.end(), '\0');
    Edit(WPC_GET_RANGE_TEXT, static_cast<intptr_t>(text_.size()), Pointer(text_.data()));
    if (std::strlen(text_.data()) + kLongestCharacter < text_.size()) return;
    text_.resize(text_.size() * 2);
  }
}
