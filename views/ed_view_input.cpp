// The editing surface's keys, typed characters and mouse: two key tables
// turn caret and deletion keys into engine moves and deletions, typed
// characters are gathered into one insert, clicks and drags become page
// points, the wheel scrolls by lines, and a timer keeps extending the
// selection while the button is held outside the window.
#include <cstdlib>
#include <iterator>
#include <string>

#include "engine/doc_root.h"
#include "engine/wp_commands.h"
#include "engine/wp_ctrl.h"
#include "model/text_navigator.h"
#include "platform/input.h"
#include "platform/scroll_bar.h"
#include "platform/sjis.h"
#include "platform/window.h"
#include "speech/edit_feedback.h"
#include "views/ed_view.h"

namespace {

// The modifier byte: the top bit of each key's state moved into place.
constexpr uint8_t kModifierShift = 0x20;
constexpr uint8_t kModifierCtrl = 0x40;
constexpr uint8_t kModifierAlt = 0x80;
constexpr uint8_t kKeyDown = 0x80;

// A row of the caret-key table: the key, then the move code with no
// modifier, with Ctrl, with Alt and with Ctrl+Alt; a key of 0 ends it.
struct CaretKeyRow {
  int32_t key;
  int32_t moves[4];
};
constexpr CaretKeyRow CaretKeyTable[] = {
    {platform::VK_LEFT, {kMovePrevChar, kMovePrevCellOrLine, 0, 0}},
    {platform::VK_RIGHT, {kMoveNextChar, kMoveNextCellOrLine, 0, 0}},
    {platform::VK_UP, {kMoveLineUp, kMovePrevParagraph, 0, 0}},
    {platform::VK_DOWN, {kMoveLineDown, kMoveNextParagraph, 0, 0}},
    {platform::VK_HOME, {kMoveLineStart, kMoveDocumentStart, 0, 0}},
    {platform::VK_END, {kMoveLineEnd, kMoveDocumentEnd, 0, 0}},
    {platform::VK_PRIOR, {kMovePrevPage, kMoveJumpBack, 0, 0}},
    {platform::VK_NEXT, {kMoveNextPage, kMoveJumpForward, 0, 0}},
    {0, {0, 0, 0, 0}},
};

// A row of the delete-key table: the key, then the command for the
// modifier bytes 0, 0x20, 0x40, 0x60, 0x80 and 0xC0, and for any other.
struct DeleteKeyRow {
  int32_t key;
  int32_t commands[7];
};
constexpr DeleteKeyRow DeleteKeyTable[] = {
    {platform::VK_BACK, {WPC_BACKSPACE, 0, 0, 0, 0, 0, 0}},
    {platform::VK_DELETE, {WPC_DELETE, 0, 0, 0, 0, 0, 0}},
    {0, {0, 0, 0, 0, 0, 0, 0}},
};
constexpr uint8_t kDeleteColumnModifiers[] = {0x00, 0x20, 0x40, 0x60, 0x80, 0xC0};
constexpr size_t kDeleteColumnOther = 6;

// The low word of a key message's lParam.
constexpr platform::LPARAM kKeyRepeatCount = 0xFFFF;
// Edits that record undo, in the engine's argument.
constexpr intptr_t kRecordUndo = 1;
// The selection mode of a Shift move and of the drag.
constexpr intptr_t kExtendCharacters = 1;
constexpr intptr_t kExtendUnits = 2;
// The notification mask around a bracketed series of commands.
constexpr intptr_t kNotifyNone = 0;
// The caret flag that lets Enter go on to type its line break at the line end.
constexpr int kCaretOnLastLine = 0x8;
// What the engine's hit test names: the object kind, then its part.
constexpr int32_t kUnitMargin = 0x10001;
// A move that is this small right after the press selects nothing.
constexpr int32_t kJitterPixels = 4;
// Three lines a wheel notch.
constexpr int kWheelLinesPerNotch = 3;
constexpr int kWheelDelta = 120;
// The drag scroll steps every 30 ms, or looks again after 10 while the
// engine paints.
constexpr platform::UINT_PTR kDragScrollTimer = 1;
constexpr platform::UINT kDragScrollPeriod = 30;
constexpr platform::UINT kDragScrollPaintingRetry = 10;

uint8_t ModifierByte() {
  platform::KeyboardState keys{};
  platform::GetKeyboardState(&keys);
  uint8_t modifiers = 0;
  if ((keys[platform::VK_SHIFT] & kKeyDown) != 0) modifiers |= kModifierShift;
  if ((keys[platform::VK_CONTROL] & kKeyDown) != 0) modifiers |= kModifierCtrl;
  if ((keys[platform::VK_MENU] & kKeyDown) != 0) modifiers |= kModifierAlt;
  return modifiers;
}

int CaretMoveOf(int key, uint8_t modifiers) {
  // Shift extends a selection; it does not choose another move.
  const size_t column =
      ((modifiers & kModifierCtrl) != 0 ? 1 : 0) + ((modifiers & kModifierAlt) != 0 ? 2 : 0);
  for (const CaretKeyRow& row : CaretKeyTable) {
    if (row.key == 0) break;
    if (row.key == key) return row.moves[column];
  }
  return 0;
}

int DeleteCommandOf(int key, uint8_t modifiers) {
  size_t column = kDeleteColumnOther;
  for (size_t i = 0; i < std::size(kDeleteColumnModifiers); ++i) {
    if (kDeleteColumnModifiers[i] == modifiers) column = i;
  }
  for (const DeleteKeyRow& row : DeleteKeyTable) {
    if (row.key == 0) break;
    if (row.key == key) return row.commands[column];
  }
  return 0;
}

template <class Record>
intptr_t Pointer(Record* record) {
  return reinterpret_cast<intptr_t>(record);
}

// Puts the notification mask back as it was found when the scope ends.
class QuietNotifications {
 public:
  explicit QuietNotifications(CVedWpCtrl& engine)
      : engine_(engine), found_(engine.NotifyCommand(WPC_SET_NOTIFY_MASK, kNotifyNone)) {}
  ~QuietNotifications() { engine_.NotifyCommand(WPC_SET_NOTIFY_MASK, found_); }
  QuietNotifications(const QuietNotifications&) = delete;
  QuietNotifications& operator=(const QuietNotifications&) = delete;

 private:
  CVedWpCtrl& engine_;
  int found_;
};

// The length of `text` without a lead byte left alone at its end.
size_t WholeCharactersLength(const char* text, size_t length) {
  size_t at = 0;
  while (at < length) {
    const bool lead = platform::IsLeadByte(static_cast<uint8_t>(text[at]));
    if (lead && at + 1 == length) break;
    at += lead ? 2 : 1;
  }
  return at;
}

}  // namespace

int CVedEdView::GetKeyMoveCode(int key) const { return CaretMoveOf(key, ModifierByte()); }

bool CVedEdView::PreTranslateMessage(platform::MSG* msg) {
  const bool keyDown =
      msg->message == platform::WM_KEYDOWN || msg->message == platform::WM_SYSKEYDOWN;
  if (keyDown) {
    // A key may move the caret or run a command: what was typed before it
    // goes in first.
    InsertGatheredText();
    if (inputBlocked_ == 0 && TranslateEditKey(static_cast<int>(msg->wParam), msg->lParam) != 0) {
      return true;
    }
  }
  if (ImePreTranslate(msg) != 0) return true;
  return CView::PreTranslateMessage(msg);
}

platform::LRESULT CVedEdView::DefWindowProc(platform::UINT message, platform::WPARAM wParam,
                                            platform::LPARAM lParam) {
  platform::LRESULT result = 0;
  if (ImeWindowProc(message, wParam, lParam, &result) != 0) return result;
  return CView::DefWindowProc(message, wParam, lParam);
}

int CVedEdView::TranslateEditKey(int key, platform::LPARAM lParam) {
  CVedWpCtrl* engine = geometry_.engine;
  if (engine == nullptr) return 0;
  const uint8_t modifiers = ModifierByte();
  if (const int move = CaretMoveOf(key, modifiers); move != 0) {
    const bool extend = (modifiers & kModifierShift) != 0;
    const int repeat = static_cast<int>(lParam & kKeyRepeatCount);
    // Auto-repeat that outruns the repaint is dropped; a first press never is.
    if (repeat > 1 && painting_ != 0) return 1;
    engine->EditCommand(extend ? WPC_MOVE_EXTEND : WPC_MOVE, move, extend ? kExtendCharacters : 0);
    return 1;
  }
  if (const int command = DeleteCommandOf(key, modifiers); command != 0) {
    SendDeleteKey(command, lParam);
    return 1;
  }
  if (key == platform::VK_RETURN) return TranslateEnterKey(modifiers);
  return 0;
}

void CVedEdView::SendDeleteKey(int command, platform::LPARAM lParam) {
  CVedWpCtrl& engine = *geometry_.engine;
  if (command != WPC_BACKSPACE || (lParam & platform::kKeyExtended) == 0) {
    engine.EditCommand(command, kRecordUndo, 0);
    return;
  }
  // The silent backspace: nothing spoken or sounded, nothing told.
  SpeechOptions saved;
  engine.FeedbackCommand(WPC_GET_SPEECH_OPTIONS, 0, &saved);
  SpeechOptions silent = saved;
  silent.speechOn = 0;
  silent.soundOn = 0;
  engine.FeedbackCommand(WPC_SET_SPEECH_OPTIONS, 0, &silent);
  {
    QuietNotifications quiet(engine);
    engine.EditCommand(WPC_BACKSPACE, kRecordUndo, 0);
  }
  engine.FeedbackCommand(WPC_SET_SPEECH_OPTIONS, 0, &saved);
}

int CVedEdView::TranslateEnterKey(uint8_t modifiers) {
  // The Enter option chooses which combination is the special one.
  const uint8_t special = style_.enterOption != 0 ? 0 : kModifierCtrl;
  if (modifiers != special) return 0;
  CVedWpCtrl& engine = *geometry_.engine;
  if ((engine.EditCommand(WPC_GET_CARET_FLAGS, 0, 0) & kCaretOnLastLine) != 0) {
    // The key goes on and types its line break at the line end.
    QuietNotifications quiet(engine);
    engine.EditCommand(WPC_MOVE, kMoveLineEnd, 0);
    return 0;
  }
  engine.EditCommand(WPC_MOVE, kMoveNextLineStart, 0);
  return 1;
}

void CVedEdView::OnChar(platform::UINT ch, platform::UINT, platform::UINT) {
  if (inputBlocked_ != 0 || geometry_.engine == nullptr) return;
  constexpr platform::UINT kLineFeed = 10;
  constexpr char kCarriageReturn = 13;
  typed_.AppendChar(ch == kLineFeed ? kCarriageReturn : static_cast<char>(ch));
  // A burst of typed or pasted characters becomes one insert (and one
  // spoken echo); so does the second byte of a double-byte character.
  platform::MSG waiting;
  if (platform::PeekMessage(&waiting, m_hWnd, platform::WM_CHAR, platform::WM_CHAR,
                            platform::PM_NOREMOVE)) {
    return;
  }
  if (WholeCharactersLength(typed_.GetText(), typed_.GetLength()) < typed_.GetLength()) return;
  InsertGatheredText();
}

void CVedEdView::InsertGatheredText() {
  if (typed_.GetLength() == 0) return;
  // A lead byte whose second byte did not come before something else
  // happened is no character.
  const std::string text(typed_.GetText(),
                         WholeCharactersLength(typed_.GetText(), typed_.GetLength()));
  // Emptied first: the insert's reports may bring the surface back here.
  typed_.Reset();
  if (geometry_.engine != nullptr && !text.empty()) {
    geometry_.engine->EditCommand(WPC_INSERT_TEXT, kRecordUndo, Pointer(text.c_str()));
  }
}

// ---- The mouse

bool CVedEdView::MouseIgnored() const {
  return inputBlocked_ != 0 || geometry_.engine == nullptr || lines_.Lines().empty() ||
         geometry_.engine->EditCommand(WPC_IS_EDIT_RUNNING, 0, 0) != 0;
}

void CVedEdView::OnLButtonDown(platform::UINT, platform::POINT point) {
  lastDown_ = {-1, -1};
  InsertGatheredText();
  if (MouseIgnored()) return;
  lines_.HideCaret();
  CancelComposition();
  dragFinished_ = 0;
  if (InSelection(point)) {
    if (TryOwnDrag(point)) return;
  } else {
    platform::SetCapture(m_hWnd);
  }
  lastDown_ = point;
  CaretPoint page;
  const int hit = HitTestPoint(point.x, point.y, &page);
  ObjectDescription object{};
  if (hit == kHitOnPage) {
    geometry_.engine->EditCommand(WPC_HIT_TEST, Pointer(&page), Pointer(&object));
  }
  if (object[kDescType] == kUnitMargin && object[kDescSubKind] == kUnitMargin) {
    SelectUnitAt(page);
    return;
  }
  CaretPoint adjusted = AdjustPoint(page);
  geometry_.engine->EditCommand(WPC_MOVE, kMoveToPoint, Pointer(&adjusted));
}

void CVedEdView::SelectUnitAt(const CaretPoint& point) {
  CVedWpCtrl& engine = *geometry_.engine;
  CaretPoint at = point;
  {
    QuietNotifications quiet(engine);
    engine.EditCommand(WPC_CLEAR_SELECTION, 0, 0);
    engine.EditCommand(WPC_MOVE, kMoveToPoint, Pointer(&at));
  }
  engine.EditCommand(WPC_MOVE_EXTEND, kMoveWholeUnit, kExtendUnits);
  at = point;
  engine.EditCommand(WPC_MOVE_EXTEND, kMoveToPoint, Pointer(&at));
}

void CVedEdView::OnMouseMove(platform::UINT flags, platform::POINT point) {
  if (MouseIgnored()) return;
  const platform::POINT down = lastDown_;
  lastDown_ = {-1, -1};
  if (dragFinished_ != 0 || (flags & platform::MK_LBUTTON) == 0) return;
  const platform::RECT client = ClientRect();
  const bool inside =
      point.x >= 0 && point.x <= client.right && point.y >= 0 && point.y <= client.bottom;
  if (!inside) {
    if (dragScroll_.running == 0) StartDragScroll();
    return;
  }
  StopDragScroll();
  if (down.x >= 0 && std::abs(point.x - down.x) < kJitterPixels &&
      std::abs(point.y - down.y) < kJitterPixels) {
    lastDown_ = down;
    return;
  }
  ExtendSelectionTo(point);
}

void CVedEdView::ExtendSelectionTo(platform::POINT point) {
  CaretPoint page;
  HitTestPoint(point.x, point.y, &page);
  CaretPoint adjusted = AdjustPoint(page);
  geometry_.engine->EditCommand(WPC_MOVE_EXTEND, kMoveToPoint, Pointer(&adjusted));
}

void CVedEdView::OnLButtonUp(platform::UINT, platform::POINT) {
  if (inputBlocked_ != 0) return;
  StopDragScroll();
  if (platform::GetCapture() == m_hWnd) platform::ReleaseCapture();
}

void CVedEdView::OnRButtonDown(platform::UINT flags, platform::POINT point) {
  lastDown_ = {-1, -1};
  InsertGatheredText();
  if ((flags & platform::MK_LBUTTON) != 0 || MouseIgnored()) return;
  CancelComposition();
  // The context menu acts on the selection the point lies in.
  if (InSelection(point)) return;
  CaretPoint page;
  if (HitTestPoint(point.x, point.y, &page) == kHitBelowLastPage) return;
  ObjectDescription object{};
  geometry_.engine->EditCommand(WPC_HIT_TEST, Pointer(&page), Pointer(&object));
  if (object[kDescType] != kObjectText && object[kDescType] != kObjectTable) return;
  CaretPoint adjusted = AdjustPoint(page);
  geometry_.engine->EditCommand(WPC_MOVE, kMoveToPoint, Pointer(&adjusted));
}

platform::LRESULT CVedEdView::OnMouseWheel(platform::UINT, int delta) {
  if (inputBlocked_ != 0) return 0;
  const int lines = std::abs(delta) * kWheelLinesPerNotch / kWheelDelta;
  const int code = delta < 0 ? kScrollLineForward : kScrollLineBack;
  for (int i = 0; i < lines; ++i) {
    if (ScrollVert(code, 0) == 0) break;
  }
  // The parent brings its scroll bars and rulers up to date.
  const platform::HWND parent = platform::GetParent(m_hWnd);
  if (parent != platform::kNoWindow) platform::SendMessage(parent, platform::WM_VSCROLL, 0, 0);
  return 0;
}

void CVedEdView::OnTakeFocus(platform::WPARAM wParam) {
  // The keys come here again; a surface that kept the focus meanwhile
  // still shows its caret again.
  if (platform::GetFocus() == m_hWnd) {
    platform::SendMessage(m_hWnd, platform::WM_SETFOCUS, wParam, 0);
  } else {
    platform::SetFocus(m_hWnd);
  }
}

// ---- The drag scroll: on this thread, so the engine is never entered twice

void CVedEdView::StartDragScroll() {
  dragScroll_.running = 1;
  dragScroll_.client = ClientRect();
  dragScroll_.pitch = geometry_.page.charPitch;
  DragScrollStep();
  if (dragScroll_.running != 0)
    platform::SetTimer(m_hWnd, kDragScrollTimer, kDragScrollPeriod, nullptr);
}

void CVedEdView::StopDragScroll() {
  if (dragScroll_.running == 0) return;
  dragScroll_.running = 0;
  platform::KillTimer(m_hWnd, kDragScrollTimer);
}

void CVedEdView::OnTimer(platform::UINT_PTR id) {
  if (id != kDragScrollTimer || dragScroll_.running == 0) return;
  if (inputBlocked_ != 0 || geometry_.engine == nullptr) {
    StopDragScroll();
    return;
  }
  if (geometry_.engine->DisplayCommand(WPC_IS_PAINTING, 0, nullptr) != 0) {
    platform::SetTimer(m_hWnd, kDragScrollTimer, kDragScrollPaintingRetry, nullptr);
    return;
  }
  DragScrollStep();
  if (dragScroll_.running != 0)
    platform::SetTimer(m_hWnd, kDragScrollTimer, kDragScrollPeriod, nullptr);
}

void CVedEdView::DragScrollStep() {
  platform::POINT at;
  if (!platform::GetCursorPos(&at) || !platform::ScreenToClient(m_hWnd, &at)) return;
  CVedWpCtrl& engine = *geometry_.engine;
  const platform::RECT& client = dragScroll_.client;
  if (at.y < 0) {
    engine.EditCommand(WPC_MOVE_EXTEND, kMoveLineUp, kExtendCharacters);
    return;
  }
  if (at.y > client.bottom) {
    engine.EditCommand(WPC_MOVE_EXTEND, kMoveLineDown, kExtendCharacters);
    return;
  }
  if (at.x >= 0 && at.x <= client.right) {
    StopDragScroll();
    return;
  }
  const bool left = at.x < 0;
  CaretPoint page;
  if (HitTestPoint(left ? 0 : client.right, at.y, &page) == kHitBelowLastPage) return;
  const int32_t step = left ? -dragScroll_.pitch : dragScroll_.pitch;
  page.rect.left += step;
  page.rect.right += step;
  engine.EditCommand(WPC_MOVE_EXTEND, kMoveToPoint, Pointer(&page));
}
