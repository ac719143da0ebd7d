#include "platform/edit_control.h"

#include <algorithm>
#include <cstring>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>

#include "platform/caret.h"
#include "platform/clipboard.h"
#include "platform/control_notify.h"
#include "platform/control_state.h"
#include "platform/edit_text.h"
#include "platform/gdi.h"
#include "platform/input.h"
#include "platform/paint.h"
#include "platform/sound.h"
#include "platform/system_classes.h"
#include "platform/system_info.h"
#include "platform/ui_font.h"
#include "platform/window.h"
#include "platform/window_reading.h"

namespace platform {

namespace {

constexpr int32_t kDefaultFontPoints = 9;
// Between the border and the text, so the caret at the start stays clear
// of the border.
constexpr int32_t kTextMargin = 2;
constexpr int32_t kBorderWidth = 1;
constexpr int32_t kCaretWidth = 2;
constexpr uint8_t kBackspace = 0x08;
constexpr uint8_t kFirstPrintable = 0x20;
constexpr uint32_t kLowWordMax = 0xFFFF;

bool IsDown(int vk) { return (GetKeyState(vk) & 0x8000) != 0; }

bool IsTrailByte(uint8_t byte) { return byte >= 0x40 && byte <= 0xFC && byte != 0x7F; }

bool AllDigits(std::string_view text) {
  return std::all_of(text.begin(), text.end(), [](char c) { return c >= '0' && c <= '9'; });
}

POINT PointOf(LPARAM lParam) { return POINT{LowWord(lParam), HighWord(lParam)}; }

// A DC for measuring in a font, freed on every path.
class MeasuringDC {
 public:
  explicit MeasuringDC(HFONT font) : dc_(CreateCompatibleDC(nullptr)) {
    SelectObject(dc_.get(), font);
  }
  int32_t Width(std::string_view text) const { return TextWidth(dc_.get(), text); }
  int32_t LineHeight() const {
    TEXTMETRICA metrics;
    return GetTextMetricsA(dc_.get(), &metrics) ? metrics.tmHeight : 0;
  }

 private:
  UniqueDC dc_;
};

// One edit control: its text, the font it is shown in, where its view
// stands and what the mouse is doing to it.
class Edit {
 public:
  explicit Edit(HWND window) : window_(window), text_(kDefaultEditLimit) {}

  LRESULT Handle(UINT message, WPARAM wParam, LPARAM lParam);

 private:
  LRESULT OnCreate(LPARAM lParam);
  LRESULT OnSetText(const char* text);
  LRESULT OnGetText(size_t size, char* buffer) const;
  LRESULT OnGetSel(DWORD* start, DWORD* end) const;
  void OnSetSel(LPARAM start, LPARAM end);
  void OnLimitText(WPARAM limit);
  void OnSetFont(HFONT font, bool redraw);
  void OnChar(uint8_t byte);
  void OnImeChar(WPARAM code);
  void OnKeyDown(WPARAM vk);
  void OnSetFocus();
  void OnKillFocus();
  void OnButtonDown(POINT point);
  void OnMouseMove(POINT point);
  void OnButtonUp();
  void Paint();

  // Typing: a character the style or the room refuses beeps or tells the
  // parent, and changes nothing.
  void Type(std::string_view character);
  // Replaces the selection as typing, pasting or EM_REPLACESEL does.
  void Insert(std::string_view text, EditText::Fit fit);
  void Delete(bool (EditText::*how)());
  void Copy() const;
  void Cut();
  void Paste();
  void MoveCaretTo(size_t position, bool extend);
  // The text changed: tell the parent before and after showing it. False
  // when the parent destroyed the control meanwhile.
  bool Changed();
  bool FitsWidth(const EditText& text) const;

  DWORD Style() const { return static_cast<DWORD>(GetWindowLongPtr(window_, GWL_STYLE)); }
  bool HasStyle(DWORD style) const { return (Style() & style) != 0; }
  HFONT Font() const { return font_ != nullptr ? font_ : defaultFont_.get(); }
  RECT TextRect() const;
  int32_t XOf(size_t position) const;
  size_t PositionAt(int32_t x) const;
  void ScrollCaretIntoView();
  void PlaceCaret() const;
  void Redraw() const { InvalidateRect(window_, nullptr, false); }
  void Notify(UINT code) const;

  const HWND window_;
  EditText text_;
  HFONT font_ = nullptr;
  UniqueFont defaultFont_ = CreateUiFont(kDefaultFontPoints);
  bool modified_ = false;
  bool focused_ = false;
  bool dragging_ = false;
  // The lead byte of a double-byte character typed as two WM_CHARs.
  std::optional<uint8_t> pendingLead_;
  // How far the text is scrolled left, in pixels.
  int32_t scroll_ = 0;
};

LRESULT Edit::Handle(UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_NCCREATE:
      return OnCreate(lParam);
    case WM_GETDLGCODE:
      return DLGC_WANTCHARS | DLGC_HASSETSEL | DLGC_WANTARROWS;
    case WM_SETTEXT:
      return OnSetText(reinterpret_cast<const char*>(lParam));
    case WM_GETTEXT:
      return OnGetText(wParam, reinterpret_cast<char*>(lParam));
    case WM_GETTEXTLENGTH:
      return static_cast<LRESULT>(text_.size());
    case EM_GETSEL:
      return OnGetSel(reinterpret_cast<DWORD*>(wParam), reinterpret_cast<DWORD*>(lParam));
    case EM_SETSEL:
      OnSetSel(static_cast<LPARAM>(wParam), lParam);
      return 0;
    case EM_REPLACESEL:
      if (lParam != 0) Insert(reinterpret_cast<const char*>(lParam), EditText::Fit::kCut);
      return 0;
    case EM_SCROLLCARET:
      ScrollCaretIntoView();
      return 1;
    case EM_GETMODIFY:
      return modified_ ? 1 : 0;
    case EM_SETMODIFY:
      modified_ = wParam != 0;
      return 0;
    case EM_LIMITTEXT:
      OnLimitText(wParam);
      return 0;
    case EM_GETLIMITTEXT:
      return static_cast<LRESULT>(text_.limit());
    case WM_SETFONT:
      OnSetFont(reinterpret_cast<HFONT>(wParam), LowWord(lParam) != 0);
      return 0;
    case WM_GETFONT:
      return reinterpret_cast<LRESULT>(font_);
    case WM_CHAR:
      OnChar(static_cast<uint8_t>(wParam));
      return 0;
    case WM_IME_CHAR:
      OnImeChar(wParam);
      return 0;
    case WM_KEYDOWN:
      OnKeyDown(wParam);
      return 0;
    case WM_SETFOCUS:
      OnSetFocus();
      return 0;
    case WM_KILLFOCUS:
      OnKillFocus();
      return 0;
    case WM_LBUTTONDOWN:
    case WM_LBUTTONDBLCLK:
      OnButtonDown(PointOf(lParam));
      return 0;
    case WM_MOUSEMOVE:
      OnMouseMove(PointOf(lParam));
      return 0;
    case WM_LBUTTONUP:
      OnButtonUp();
      return 0;
    case WM_CAPTURECHANGED:
      if (static_cast<HWND>(lParam) != window_) dragging_ = false;
      return 0;
    case WM_SIZE:
    case WM_ENABLE:
      Redraw();
      return 0;
    case WM_ERASEBKGND:
      // The paint covers every pixel.
      return 1;
    case WM_PAINT:
      Paint();
      return 0;
    default:
      return DefWindowProc(window_, message, wParam, lParam);
  }
}

LRESULT Edit::OnCreate(LPARAM lParam) {
  const char* text = CreateParamsOf(lParam)->lpszName;
  text_.SetText(text == nullptr ? "" : text);
  return DefWindowProc(window_, WM_NCCREATE, 0, lParam);
}

LRESULT Edit::OnSetText(const char* text) {
  text_.SetText(text == nullptr ? "" : text);
  modified_ = false;
  pendingLead_.reset();
  scroll_ = 0;
  Changed();
  return 1;
}

// Copies no more than fits, and never the lead byte of a character whose
// trail does not fit.
LRESULT Edit::OnGetText(size_t size, char* buffer) const {
  if (size == 0 || buffer == nullptr) return 0;
  const size_t copied = text_.Boundary(std::min(text_.size(), size - 1));
  std::memcpy(buffer, text_.text().data(), copied);
  buffer[copied] = '\0';
  return static_cast<LRESULT>(copied);
}

LRESULT Edit::OnGetSel(DWORD* start, DWORD* end) const {
  const size_t first = text_.SelectionStart();
  const size_t last = text_.SelectionEnd();
  if (start != nullptr) *start = static_cast<DWORD>(first);
  if (end != nullptr) *end = static_cast<DWORD>(last);
  if (last > kLowWordMax) return -1;
  return static_cast<LRESULT>(first | (last << 16));
}

void Edit::OnSetSel(LPARAM start, LPARAM end) {
  const size_t length = text_.size();
  if (start < 0) {
    text_.MoveCaret(text_.caret(), false);
  } else {
    const size_t caret = end < 0 ? length : static_cast<size_t>(end);
    text_.Select(static_cast<size_t>(start), caret);
  }
  PlaceCaret();
  Redraw();
}

void Edit::OnLimitText(WPARAM limit) {
  text_.SetLimit(limit == 0 || limit > kMaxEditLimit ? kMaxEditLimit : limit);
}

void Edit::OnSetFont(HFONT font, bool redraw) {
  font_ = font;
  if (focused_) {
    CreateCaret(window_, nullptr, kCaretWidth, MeasuringDC(Font()).LineHeight());
    ScrollCaretIntoView();
    ShowCaret(window_);
  }
  if (redraw) Redraw();
}

void Edit::OnChar(uint8_t byte) {
  if (pendingLead_) {
    const uint8_t lead = *pendingLead_;
    pendingLead_.reset();
    if (IsTrailByte(byte)) {
      const char pair[] = {static_cast<char>(lead), static_cast<char>(byte)};
      Type(std::string_view(pair, sizeof(pair)));
      return;
    }
  }
  if (IsLeadByte(byte)) {
    pendingLead_ = byte;
    return;
  }
  if (byte == kBackspace) {
    Delete(&EditText::DeleteBackward);
    return;
  }
  // Control characters (Ctrl+letters, Tab, Enter, Esc) type nothing.
  if (byte < kFirstPrintable) return;
  const char single = static_cast<char>(byte);
  Type(std::string_view(&single, 1));
}

void Edit::OnImeChar(WPARAM code) {
  pendingLead_.reset();
  const uint8_t lead = static_cast<uint8_t>((code >> 8) & 0xFF);
  const uint8_t trail = static_cast<uint8_t>(code & 0xFF);
  if (lead == 0) {
    OnChar(trail);
    return;
  }
  const char pair[] = {static_cast<char>(lead), static_cast<char>(trail)};
  Type(std::string_view(pair, sizeof(pair)));
}

void Edit::OnKeyDown(WPARAM vk) {
  const bool shift = IsDown(VK_SHIFT);
  const bool control = IsDown(VK_CONTROL);
  const size_t caret = text_.caret();
  switch (vk) {
    case VK_LEFT:
      if (control) {
        MoveCaretTo(text_.PreviousWord(caret), shift);
      } else if (text_.HasSelection() && !shift) {
        MoveCaretTo(text_.SelectionStart(), false);
      } else {
        MoveCaretTo(text_.PreviousCharacter(caret), shift);
      }
      return;
    case VK_RIGHT:
      if (control) {
        MoveCaretTo(text_.NextWord(caret), shift);
      } else if (text_.HasSelection() && !shift) {
        MoveCaretTo(text_.SelectionEnd(), false);
      } else {
        MoveCaretTo(text_.NextCharacter(caret), shift);
      }
      return;
    case VK_HOME:
      MoveCaretTo(0, shift);
      return;
    case VK_END:
      MoveCaretTo(text_.size(), shift);
      return;
    case VK_DELETE:
      if (shift) {
        Cut();
      } else {
        Delete(&EditText::DeleteForward);
      }
      return;
    case VK_INSERT:
      if (shift) Paste();
      if (control) Copy();
      return;
    case 'C':
      if (control) Copy();
      return;
    case 'X':
      if (control) Cut();
      return;
    case 'V':
      if (control) Paste();
      return;
    default:
      // Up and Down, like every other key, move nothing in one line.
      return;
  }
}

void Edit::OnSetFocus() {
  focused_ = true;
  CreateCaret(window_, nullptr, kCaretWidth, MeasuringDC(Font()).LineHeight());
  PlaceCaret();
  ShowCaret(window_);
  Redraw();
  Notify(EN_SETFOCUS);
}

void Edit::OnKillFocus() {
  focused_ = false;
  pendingLead_.reset();
  if (GetCaretState().owner == window_) DestroyCaret();
  Redraw();
  Notify(EN_KILLFOCUS);
}

void Edit::OnButtonDown(POINT point) {
  if (!focused_) SetFocus(window_);
  MoveCaretTo(PositionAt(point.x), IsDown(VK_SHIFT));
  dragging_ = true;
  SetCapture(window_);
}

void Edit::OnMouseMove(POINT point) {
  if (dragging_) MoveCaretTo(PositionAt(point.x), true);
}

void Edit::OnButtonUp() {
  if (!dragging_) return;
  dragging_ = false;
  ReleaseCapture();
}

void Edit::Type(std::string_view character) {
  if (HasStyle(ES_NUMBER) && !AllDigits(character)) {
    MessageBeep(MB_OK);
    return;
  }
  Insert(character, EditText::Fit::kWhole);
}

void Edit::Insert(std::string_view text, EditText::Fit fit) {
  EditText next = text_;
  const EditText::Inserted inserted = next.ReplaceSelection(text, fit);
  if (inserted == EditText::Inserted::kRefused || !FitsWidth(next)) {
    Notify(EN_MAXTEXT);
    return;
  }
  text_ = std::move(next);
  modified_ = true;
  ScrollCaretIntoView();
  if (Changed() && inserted == EditText::Inserted::kCut) Notify(EN_MAXTEXT);
}

void Edit::Delete(bool (EditText::*how)()) {
  if (!(text_.*how)()) return;
  modified_ = true;
  ScrollCaretIntoView();
  Changed();
}

void Edit::Copy() const {
  if (!text_.HasSelection()) return;
  const std::string_view selected = text_.Selected();
  UniqueGlobal block(GlobalAlloc(GMEM_MOVEABLE, selected.size() + 1));
  char* bytes = static_cast<char*>(GlobalLock(block.get()));
  if (bytes == nullptr) return;
  std::memcpy(bytes, selected.data(), selected.size());
  bytes[selected.size()] = '\0';
  GlobalUnlock(block.get());
  const ScopedClipboard clipboard(window_);
  if (!clipboard.IsOpen()) return;
  EmptyClipboard();
  if (SetClipboardData(CF_TEXT, block.get()) != kNullGlobal) block.release();
}

void Edit::Cut() {
  if (!text_.HasSelection()) return;
  Copy();
  Delete(&EditText::DeleteSelection);
}

void Edit::Paste() {
  std::string pasted;
  {
    const ScopedClipboard clipboard(window_);
    if (!clipboard.IsOpen()) return;
    const HGLOBAL block = GetClipboardData(CF_TEXT);
    const char* bytes = static_cast<const char*>(GlobalLock(block));
    if (bytes == nullptr) return;
    pasted.assign(bytes, strnlen(bytes, GlobalSize(block)));
    GlobalUnlock(block);
  }
  if (HasStyle(ES_NUMBER) && !AllDigits(pasted)) {
    MessageBeep(MB_OK);
    return;
  }
  Insert(pasted, EditText::Fit::kWhole);
}

void Edit::MoveCaretTo(size_t position, bool extend) {
  const size_t anchor = text_.anchor();
  const size_t caret = text_.caret();
  text_.MoveCaret(position, extend);
  ScrollCaretIntoView();
  if (text_.anchor() != anchor || text_.caret() != caret) Redraw();
  if (text_.caret() != caret) {
    const size_t at = text_.caret();
    ReportCaretMoved(window_,
                     std::string_view(text_.text()).substr(at, text_.NextCharacter(at) - at));
  }
}

bool Edit::Changed() {
  // GetWindowText reads the window's own copy.
  DefWindowProc(window_, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text_.text().c_str()));
  Notify(EN_UPDATE);
  if (!IsWindow(window_)) return false;
  Redraw();
  Notify(EN_CHANGE);
  if (!IsWindow(window_)) return false;
  ReportValueChanged(window_);
  return true;
}

bool Edit::FitsWidth(const EditText& text) const {
  if (HasStyle(ES_AUTOHSCROLL)) return true;
  const RECT rect = TextRect();
  return MeasuringDC(Font()).Width(text.text()) + kCaretWidth <= rect.Width();
}

RECT Edit::TextRect() const {
  RECT rect;
  GetClientRect(window_, &rect);
  const int32_t inset = kTextMargin + (HasStyle(WS_BORDER) ? kBorderWidth : 0);
  return RECT{rect.left + inset, rect.top + inset, rect.right - inset, rect.bottom - inset};
}

int32_t Edit::XOf(size_t position) const {
  const std::string_view before = std::string_view(text_.text()).substr(0, position);
  return TextRect().left - scroll_ + MeasuringDC(Font()).Width(before);
}

// The character boundary nearest to x.
size_t Edit::PositionAt(int32_t x) const {
  const MeasuringDC measure(Font());
  const std::string_view text = text_.text();
  const int32_t along = x - TextRect().left + scroll_;
  size_t position = 0;
  int32_t left = 0;
  while (position < text.size()) {
    const size_t next = text_.NextCharacter(position);
    const int32_t right = left + measure.Width(text.substr(position, next - position));
    if (along < (left + right) / 2) break;
    position = next;
    left = right;
  }
  return position;
}

void Edit::ScrollCaretIntoView() {
  const MeasuringDC measure(Font());
  const std::string_view text = text_.text();
  const int32_t visible = std::max(TextRect().Width() - kCaretWidth, 0);
  const int32_t caret = measure.Width(text.substr(0, text_.caret()));
  const int32_t furthest = std::max(measure.Width(text) - visible, 0);
  int32_t scroll = std::min(scroll_, furthest);
  if (caret < scroll) scroll = caret;
  if (caret > scroll + visible) scroll = caret - visible;
  if (scroll != scroll_) Redraw();
  scroll_ = scroll;
  PlaceCaret();
}

void Edit::PlaceCaret() const {
  if (!focused_ || GetCaretState().owner != window_) return;
  SetCaretPos(XOf(text_.caret()), TextRect().top);
}

void Edit::Notify(UINT code) const {
  SendMessage(GetParent(window_), WM_COMMAND,
              MakeWParam(static_cast<UINT>(GetDlgCtrlID(window_)), code),
              static_cast<LPARAM>(window_));
}

void Edit::Paint() {
  PAINTSTRUCT paint;
  const HDC dc = BeginPaint(window_, &paint);
  const bool enabled = IsWindowEnabled(window_);
  SelectObject(dc, Font());
  SetTextColor(dc, GetSysColor(enabled ? COLOR_WINDOWTEXT : COLOR_GRAYTEXT));
  SetBkColor(dc, GetSysColor(enabled ? COLOR_WINDOW : COLOR_BTNFACE));
  HBRUSH background =
      BrushOf(SendMessage(GetParent(window_), enabled ? WM_CTLCOLOREDIT : WM_CTLCOLORSTATIC,
                          reinterpret_cast<WPARAM>(dc), window_));
  if (background == nullptr) background = GetSysColorBrush(enabled ? COLOR_WINDOW : COLOR_BTNFACE);
  RECT client;
  GetClientRect(window_, &client);
  FillRect(dc, client, background);
  if (HasStyle(WS_BORDER)) FrameRect(dc, client, GetSysColorBrush(COLOR_WINDOWFRAME));

  const RECT area = TextRect();
  const std::string& text = text_.text();
  SetBkMode(dc, TRANSPARENT);
  ExtTextOutA(dc, XOf(0), area.top, ETO_CLIPPED, &area, text.data(),
              static_cast<int32_t>(text.size()), nullptr);
  if (focused_ && text_.HasSelection()) {
    const size_t start = text_.SelectionStart();
    const int32_t left = std::max(XOf(start), area.left);
    const int32_t right = std::min(XOf(text_.SelectionEnd()), area.right);
    const RECT selected{left, area.top, right,
                        std::min(area.top + MeasuringDC(Font()).LineHeight(), area.bottom)};
    FillRect(dc, selected, GetSysColorBrush(COLOR_HIGHLIGHT));
    SetTextColor(dc, GetSysColor(COLOR_HIGHLIGHTTEXT));
    const std::string_view shown = text_.Selected();
    ExtTextOutA(dc, XOf(start), area.top, ETO_CLIPPED, &selected, shown.data(),
                static_cast<int32_t>(shown.size()), nullptr);
  }
  EndPaint(window_, &paint);
}

ControlStates<Edit>& AllEdits() {
  static ControlStates<Edit> edits;
  return edits;
}

}  // namespace

LRESULT EditProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  return AllEdits().Dispatch(window, message, wParam, lParam);
}

}  // namespace platform
