#include "platform/combo_box.h"

#include <algorithm>
#include <memory>
#include <mutex>
#include <string>
#include <unordered_map>

#include "platform/combo_list.h"
#include "platform/control_notify.h"
#include "platform/control_state.h"
#include "platform/input.h"
#include "platform/list_box.h"
#include "platform/paint.h"
#include "platform/system_classes.h"
#include "platform/system_info.h"
#include "platform/ui_font.h"
#include "platform/window.h"
#include "platform/window_reading.h"

namespace platform {

namespace {

constexpr int32_t kComboFontPoints = 9;
constexpr int32_t kFieldMargin = 2;
constexpr int32_t kTextIndent = 2;
constexpr BYTE kOpenCloseKey = VK_F1 + 3;  // F4
constexpr int kComboListId = 1000;
// The list's height when the combo box is made no taller than its field.
constexpr int32_t kLeastListHeight = 100;

HFONT DefaultComboFont() {
  static const UniqueFont font = CreateUiFont(kComboFontPoints);
  return font.get();
}

POINT PointOf(LPARAM lParam) { return POINT{LowWord(lParam), HighWord(lParam)}; }

DWORD ListStyleOf(DWORD comboStyle) {
  DWORD style = LBS_NOTIFY;
  if ((comboStyle & CBS_OWNERDRAWFIXED) != 0) style |= LBS_OWNERDRAWFIXED;
  if ((comboStyle & CBS_OWNERDRAWVARIABLE) != 0) style |= LBS_OWNERDRAWVARIABLE;
  if ((comboStyle & CBS_HASSTRINGS) != 0) style |= LBS_HASSTRINGS;
  return style;
}

// The list-box message a combo-box message stands for; 0 for none.
UINT ListMessageOf(UINT message) {
  switch (message) {
    case CB_ADDSTRING:
      return LB_ADDSTRING;
    case CB_INSERTSTRING:
      return LB_INSERTSTRING;
    case CB_DELETESTRING:
      return LB_DELETESTRING;
    case CB_RESETCONTENT:
      return LB_RESETCONTENT;
    case CB_GETCOUNT:
      return LB_GETCOUNT;
    case CB_GETCURSEL:
      return LB_GETCURSEL;
    case CB_SETCURSEL:
      return LB_SETCURSEL;
    case CB_GETLBTEXT:
      return LB_GETTEXT;
    case CB_GETLBTEXTLEN:
      return LB_GETTEXTLEN;
    case CB_GETITEMDATA:
      return LB_GETITEMDATA;
    case CB_SETITEMDATA:
      return LB_SETITEMDATA;
    case CB_SETITEMHEIGHT:
      return LB_SETITEMHEIGHT;
    case CB_GETITEMHEIGHT:
      return LB_GETITEMHEIGHT;
    default:
      return 0;
  }
}

// Whether the list's answer to the message may change what the field
// shows.
bool ChangesField(UINT message) {
  return message == CB_DELETESTRING || message == CB_RESETCONTENT || message == CB_SETCURSEL ||
         message == CB_INSERTSTRING || message == CB_SETITEMDATA;
}

// One combo-box control: its field, its list and whether the list is
// dropped down.
class ComboBox {
 public:
  ComboBox(HWND window, DWORD style) : window_(window), style_(style) {}

  LRESULT Handle(UINT message, WPARAM wParam, LPARAM lParam);

 private:
  void OnCreate(const CREATESTRUCT& create);
  void OnListCommand(UINT code);
  bool OnKeyDown(WPARAM vk);
  bool OnSysKeyDown(WPARAM vk);
  // Moves the selection of a closed list by the key; false for other keys.
  bool MoveClosed(WPARAM vk);
  // While the list is dropped the combo box holds the pointer: what falls
  // on the list is the list's, a press on the field closes it with the
  // choice, a press anywhere else closes it without.
  void OnMouse(UINT message, WPARAM wParam, POINT point);
  bool PassedToList(UINT message, WPARAM wParam, POINT point) const;
  void OnButtonDown();
  void OnFocus(bool gained);
  void SetFont(HFONT font, bool redraw);
  void Open();
  // Closes a dropped list, telling the choice when `told` says so.
  void Close(bool told, bool accepted);
  void Toggle() {
    if (dropped_)
      Close(true, true);
    else
      Open();
  }
  void SelectionChanged();
  void ShowSelectedText();
  void Paint();
  void PaintField(HDC dc, const RECT& field) const;
  void PaintButton(HDC dc, const RECT& button) const;

  bool Simple() const { return (style_ & kComboKindMask) == CBS_SIMPLE; }
  bool OwnerDrawn() const { return (style_ & (CBS_OWNERDRAWFIXED | CBS_OWNERDRAWVARIABLE)) != 0; }
  bool HasStrings() const { return !OwnerDrawn() || (style_ & CBS_HASSTRINGS) != 0; }
  int32_t Current() const { return static_cast<int32_t>(AskList(LB_GETCURSEL)); }
  int32_t Count() const { return static_cast<int32_t>(AskList(LB_GETCOUNT)); }
  LRESULT AskList(UINT message, WPARAM wParam = 0, LPARAM lParam = 0) const {
    return SendMessage(list_, message, wParam, lParam);
  }
  HFONT Font() const { return font_ != nullptr ? font_ : DefaultComboFont(); }
  int32_t FieldHeight() const;
  RECT FieldRect() const;
  RECT ButtonRect() const;
  void Notify(UINT code) const;
  void Redraw() const { InvalidateRect(window_, nullptr, true); }

  const HWND window_;
  const DWORD style_;
  HWND list_ = kNoWindow;
  HFONT font_ = nullptr;
  int32_t listHeight_ = kLeastListHeight;
  bool dropped_ = false;
  bool extendedUi_ = false;
  bool focused_ = false;
};

LRESULT ComboBox::Handle(UINT message, WPARAM wParam, LPARAM lParam) {
  if (const UINT listMessage = ListMessageOf(message); listMessage != 0) {
    const LRESULT answer = AskList(listMessage, wParam, lParam);
    if (ChangesField(message)) ShowSelectedText();
    return answer;
  }
  switch (message) {
    case WM_CREATE:
      OnCreate(*CreateParamsOf(lParam));
      return 0;
    case WM_COMMAND:
      if (ControlOf(lParam) == list_) OnListCommand(NotifyCodeOf(wParam));
      return 0;
    case CB_GETDROPPEDSTATE:
      return dropped_ ? 1 : 0;
    case CB_SHOWDROPDOWN:
      if (wParam != 0)
        Open();
      else
        Close(false, false);
      return 1;
    case CB_SETEXTENDEDUI:
      extendedUi_ = wParam != 0;
      return CB_OKAY;
    case CB_GETEXTENDEDUI:
      return extendedUi_ ? 1 : 0;
    case WM_SETFONT:
      SetFont(reinterpret_cast<HFONT>(wParam), LowWord(lParam) != 0);
      return 0;
    case WM_GETFONT:
      return reinterpret_cast<LRESULT>(font_);
    case WM_GETDLGCODE:
      return DLGC_WANTARROWS | DLGC_WANTCHARS;
    case WM_KEYDOWN:
      if (OnKeyDown(wParam)) return 0;
      break;
    case WM_SYSKEYDOWN:
      if (OnSysKeyDown(wParam)) return 0;
      break;
    case WM_LBUTTONDOWN:
    case WM_LBUTTONDBLCLK:
    case WM_LBUTTONUP:
    case WM_MOUSEMOVE:
      OnMouse(message, wParam, PointOf(lParam));
      return 0;
    case WM_CAPTURECHANGED:
      // Another window took the pointer: the list can no longer follow it.
      if (dropped_ && static_cast<HWND>(lParam) != window_) Close(true, false);
      return 0;
    case WM_SETFOCUS:
    case WM_KILLFOCUS:
      OnFocus(message == WM_SETFOCUS);
      return 0;
    case WM_ENABLE:
    case WM_SIZE:
      Redraw();
      return 0;
    case WM_ERASEBKGND:
      return 1;
    case WM_PAINT:
      Paint();
      return 0;
    case WM_DESTROY:
      // A dropped list is a popup the combo box owns, not its child; when
      // the owner's top-level window goes, owned windows go first.
      if (!Simple() && IsWindow(list_)) DestroyWindow(list_);
      list_ = kNoWindow;
      return 0;
    default:
      break;
  }
  return DefWindowProc(window_, message, wParam, lParam);
}

void ComboBox::OnCreate(const CREATESTRUCT& create) {
  const int32_t field = FieldHeight();
  listHeight_ = std::max(create.cy - field, Simple() ? 0 : kLeastListHeight);
  const DWORD listStyle = ListStyleOf(style_);
  if (Simple()) {
    list_ = CreateWindowEx(0, kComboListClass, "", WS_CHILD | WS_VISIBLE | listStyle, 0, field,
                           create.cx, listHeight_, window_, kComboListId, nullptr);
    return;
  }
  list_ = CreateWindowEx(WS_EX_TOPMOST, kComboListClass, "", WS_POPUP | listStyle, 0, 0, create.cx,
                         listHeight_, window_, kComboListId, nullptr);
  // A closed drop-down combo box is only its field.
  SetWindowPos(window_, kNoWindow, 0, 0, create.cx, field, SWP_NOMOVE | SWP_NOZORDER);
}

int32_t ComboBox::FieldHeight() const {
  const HDC dc = GetDC(window_);
  const HFONT previous = SelectObject(dc, Font());
  TEXTMETRICA metrics;
  GetTextMetricsA(dc, &metrics);
  SelectObject(dc, previous);
  ReleaseDC(window_, dc);
  return metrics.tmHeight + 2 * kFieldMargin;
}

RECT ComboBox::FieldRect() const {
  RECT client;
  GetClientRect(window_, &client);
  RECT field{0, 0, client.right, FieldHeight()};
  if (!Simple()) field.right = std::max(field.right - GetSystemMetrics(SM_CXVSCROLL), 0);
  return field;
}

RECT ComboBox::ButtonRect() const {
  const RECT field = FieldRect();
  RECT client;
  GetClientRect(window_, &client);
  return RECT{field.right, 0, client.right, field.bottom};
}

void ComboBox::OnListCommand(UINT code) {
  if (code == LBN_SELCHANGE) {
    if (Simple()) Notify(CBN_SELENDOK);
    SelectionChanged();
  } else if (code == kComboListPicked && dropped_) {
    Close(true, true);
  }
}

void ComboBox::SelectionChanged() {
  ShowSelectedText();
  Notify(CBN_SELCHANGE);
  if (IsWindow(window_)) ReportValueChanged(window_);
}

void ComboBox::ShowSelectedText() {
  if (list_ == kNoWindow) return;
  Redraw();
  if (!HasStrings()) return;
  const int32_t current = Current();
  std::string text;
  if (current >= 0) {
    text.assign(static_cast<size_t>(AskList(LB_GETTEXTLEN, static_cast<WPARAM>(current))), '\0');
    AskList(LB_GETTEXT, static_cast<WPARAM>(current), reinterpret_cast<LPARAM>(text.data()));
  }
  DefWindowProc(window_, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text.c_str()));
}

bool ComboBox::OnKeyDown(WPARAM vk) {
  if (vk == kOpenCloseKey) {
    if (!Simple() && !extendedUi_) Toggle();
    return true;
  }
  if (dropped_) {
    if (vk == VK_RETURN || vk == VK_ESCAPE) {
      Close(true, vk == VK_RETURN);
      return true;
    }
    SendMessage(list_, WM_KEYDOWN, vk, 0);
    return true;
  }
  if (vk == VK_DOWN && extendedUi_ && !Simple()) {
    Open();
    return true;
  }
  return MoveClosed(vk);
}

bool ComboBox::OnSysKeyDown(WPARAM vk) {
  if ((vk != VK_DOWN && vk != VK_UP) || Simple()) return false;
  Toggle();
  return true;
}

bool ComboBox::MoveClosed(WPARAM vk) {
  const int32_t count = Count();
  const int32_t current = Current();
  int32_t target = 0;
  switch (vk) {
    case VK_UP:
      target = std::max(current - 1, 0);
      break;
    case VK_DOWN:
      target = std::min(current + 1, count - 1);
      break;
    case VK_HOME:
    case VK_PRIOR:
      target = 0;
      break;
    case VK_END:
    case VK_NEXT:
      target = count - 1;
      break;
    default:
      return false;
  }
  if (count == 0 || target == current) return true;
  AskList(LB_SETCURSEL, static_cast<WPARAM>(target));
  if (Simple()) Notify(CBN_SELENDOK);
  SelectionChanged();
  return true;
}

void ComboBox::OnMouse(UINT message, WPARAM wParam, POINT point) {
  const bool press = message == WM_LBUTTONDOWN || message == WM_LBUTTONDBLCLK;
  if (!dropped_) {
    if (press && point.y < FieldHeight()) OnButtonDown();
    return;
  }
  if (PassedToList(message, wParam, point) || !press) return;
  RECT client;
  GetClientRect(window_, &client);
  const bool onField =
      point.x >= 0 && point.x < client.right && point.y >= 0 && point.y < client.bottom;
  Close(true, onField);
}

bool ComboBox::PassedToList(UINT message, WPARAM wParam, POINT point) const {
  POINT inList = point;
  MapWindowPoints(window_, list_, &inList, 1);
  RECT listClient;
  GetClientRect(list_, &listClient);
  if (inList.x < 0 || inList.y < 0 || inList.x >= listClient.right || inList.y >= listClient.bottom)
    return false;
  SendMessage(list_, message, wParam, MakeLParam(inList.x, inList.y));
  return true;
}

void ComboBox::OnButtonDown() {
  SetFocus(window_);
  if (!Simple()) Toggle();
}

void ComboBox::OnFocus(bool gained) {
  focused_ = gained;
  if (!gained && dropped_) Close(true, false);
  Redraw();
  Notify(gained ? CBN_SETFOCUS : CBN_KILLFOCUS);
}

void ComboBox::SetFont(HFONT font, bool redraw) {
  font_ = font;
  SendMessage(list_, WM_SETFONT, reinterpret_cast<WPARAM>(font), MakeLParam(redraw ? 1 : 0, 0));
  if (!Simple()) {
    RECT client;
    GetClientRect(window_, &client);
    SetWindowPos(window_, kNoWindow, 0, 0, client.right, FieldHeight(), SWP_NOMOVE | SWP_NOZORDER);
  } else {
    RECT client;
    GetClientRect(window_, &client);
    MoveWindow(list_, 0, FieldHeight(), client.right, listHeight_, redraw);
  }
  if (redraw) Redraw();
}

void ComboBox::Open() {
  if (Simple() || dropped_) return;
  Notify(CBN_DROPDOWN);
  RECT placed;
  GetWindowRect(window_, &placed);
  SetWindowPos(list_, HWND_TOP, placed.left, placed.bottom, placed.Width(), listHeight_,
               SWP_SHOWWINDOW | SWP_NOACTIVATE);
  const int32_t current = Current();
  if (current >= 0) AskList(LB_SETCARETINDEX, static_cast<WPARAM>(current), 0);
  dropped_ = true;
  SetCapture(window_);
  Redraw();
}

void ComboBox::Close(bool told, bool accepted) {
  if (!dropped_) return;
  dropped_ = false;
  if (GetCapture() == window_) ReleaseCapture();
  ShowWindow(list_, SW_HIDE);
  Redraw();
  if (told) Notify(accepted ? CBN_SELENDOK : CBN_SELENDCANCEL);
  Notify(CBN_CLOSEUP);
}

void ComboBox::Notify(UINT code) const {
  SendMessage(GetParent(window_), WM_COMMAND,
              MakeWParam(static_cast<UINT>(GetDlgCtrlID(window_)), code),
              static_cast<LPARAM>(window_));
}

void ComboBox::Paint() {
  PAINTSTRUCT paint;
  const HDC dc = BeginPaint(window_, &paint);
  const HFONT previous = SelectObject(dc, Font());
  const RECT field = FieldRect();
  PaintField(dc, field);
  if (!Simple()) PaintButton(dc, ButtonRect());
  SelectObject(dc, previous);
  EndPaint(window_, &paint);
}

void ComboBox::PaintField(HDC dc, const RECT& field) const {
  SetTextColor(dc, GetSysColor(COLOR_WINDOWTEXT));
  SetBkColor(dc, GetSysColor(COLOR_WINDOW));
  HBRUSH background =
      BrushOf(SendMessage(GetParent(window_), WM_CTLCOLORLISTBOX, reinterpret_cast<WPARAM>(dc),
                          static_cast<LPARAM>(window_)));
  if (background == nullptr) background = GetSysColorBrush(COLOR_WINDOW);
  FillRect(dc, field, background);
  FrameRect(dc, field, GetSysColorBrush(COLOR_WINDOWFRAME));
  const RECT inner{field.left + 1, field.top + 1, field.right - 1, field.bottom - 1};
  const int32_t current = Current();
  // A focused drop-down list shows its choice highlighted.
  const bool highlighted = focused_ && (style_ & kComboKindMask) == CBS_DROPDOWNLIST;
  if (OwnerDrawn()) {
    DRAWITEMSTRUCT draw;
    draw.CtlType = ODT_COMBOBOX;
    draw.CtlID = static_cast<UINT>(GetDlgCtrlID(window_));
    draw.itemID = static_cast<UINT>(current);
    draw.itemAction = ODA_DRAWENTIRE;
    draw.itemState = ODS_COMBOBOXEDIT | (highlighted ? ODS_SELECTED | ODS_FOCUS : 0) |
                     (IsWindowEnabled(window_) ? 0 : ODS_DISABLED);
    draw.hwndItem = window_;
    draw.hDC = dc;
    draw.rcItem = inner;
    draw.itemData = current >= 0 ? static_cast<uintptr_t>(AskList(LB_GETITEMDATA, current)) : 0;
    SendMessage(GetParent(window_), WM_DRAWITEM, draw.CtlID, reinterpret_cast<LPARAM>(&draw));
    return;
  }
  if (highlighted) {
    FillRect(dc, inner, GetSysColorBrush(COLOR_HIGHLIGHT));
    SetTextColor(dc, GetSysColor(COLOR_HIGHLIGHTTEXT));
  } else if (!IsWindowEnabled(window_)) {
    SetTextColor(dc, GetSysColor(COLOR_GRAYTEXT));
  }
  const std::string text = GetWindowText(window_);
  SetBkMode(dc, TRANSPARENT);
  ExtTextOutA(dc, inner.left + kTextIndent, inner.top + kFieldMargin - 1, ETO_CLIPPED, &inner,
              text.data(), static_cast<int32_t>(text.size()), nullptr);
}

void ComboBox::PaintButton(HDC dc, const RECT& button) const {
  FillRect(dc, button, GetSysColorBrush(COLOR_BTNFACE));
  FrameRect(dc, button, GetSysColorBrush(COLOR_BTNSHADOW));
  // A downward triangle, one row narrower on each side per row.
  const int32_t half = std::max(button.Width() / 4, 1);
  const int32_t centreX = (button.left + button.right) / 2;
  const int32_t top = (button.top + button.bottom - half) / 2;
  const HBRUSH glyph = GetSysColorBrush(IsWindowEnabled(window_) ? COLOR_BTNTEXT : COLOR_GRAYTEXT);
  for (int32_t row = 0; row < half; ++row) {
    const int32_t reach = half - row;
    FillRect(dc, RECT{centreX - reach, top + row, centreX + reach, top + row + 1}, glyph);
  }
}

ControlStates<ComboBox>& Boxes() {
  static ControlStates<ComboBox> boxes;
  return boxes;
}

}  // namespace

LRESULT ComboBoxProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  return Boxes().Dispatch(window, message, wParam, lParam, [&] {
    return std::make_shared<ComboBox>(window, CreateParamsOf(lParam)->style);
  });
}

}  // namespace platform
