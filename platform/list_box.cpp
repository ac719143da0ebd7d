#include "platform/list_box.h"

#include <algorithm>
#include <cstring>
#include <memory>
#include <mutex>
#include <unordered_map>

#include "platform/combo_list.h"
#include "platform/control_notify.h"
#include "platform/control_state.h"
#include "platform/input.h"
#include "platform/list_box_items.h"
#include "platform/paint.h"
#include "platform/scroll_bar.h"
#include "platform/system_classes.h"
#include "platform/system_info.h"
#include "platform/ui_font.h"
#include "platform/window.h"
#include "platform/window_reading.h"

namespace platform {

namespace {

constexpr int32_t kListFontPoints = 9;
constexpr int32_t kTextIndent = 2;
constexpr int kNoScrollBarId = 0;

HFONT DefaultListFont() {
  static const UniqueFont font = CreateUiFont(kListFontPoints);
  return font.get();
}

SelectionMode ModeOf(DWORD style) {
  if ((style & LBS_EXTENDEDSEL) != 0) return SelectionMode::kExtended;
  if ((style & LBS_MULTIPLESEL) != 0) return SelectionMode::kMultiple;
  return SelectionMode::kSingle;
}

bool KeyHeld(int vk) { return GetKeyState(vk) < 0; }

POINT PointOf(LPARAM lParam) { return POINT{LowWord(lParam), HighWord(lParam)}; }

// One list-box control: its items, where it sends what it has to tell,
// and how it draws.
class ListBox {
 public:
  ListBox(HWND window, DWORD style, bool inCombo)
      : window_(window), style_(style), inCombo_(inCombo), items_(ModeOf(style)) {}

  LRESULT Handle(UINT message, WPARAM wParam, LPARAM lParam);

 private:
  // Where owner-draw questions go and how they name the control: a combo
  // box's list speaks for the combo box.
  struct Owner {
    HWND window = kNoWindow;
    UINT type = ODT_LISTBOX;
    UINT id = 0;
    HWND item = kNoWindow;
  };

  void OnCreate();
  LRESULT AddItem(int32_t index, LPARAM lParam);
  LRESULT DeleteItem(int32_t index);
  void ResetContent();
  // Tells the owner every item goes, and lets them go.
  void ForgetItems();
  LRESULT SetCurSel(int32_t index);
  LRESULT SetSel(bool select, int32_t index);
  LRESULT GetText(int32_t index, char* buffer) const;
  LRESULT GetTextLength(int32_t index) const;
  LRESULT GetSelItems(int32_t most, int32_t* out) const;
  LRESULT GetItemRect(int32_t index, RECT* rect) const;
  LRESULT SetItemHeight(int32_t index, int32_t height);
  LRESULT GetItemHeight(int32_t index) const;
  LRESULT SetCaretIndex(int32_t index);
  LRESULT SetTopIndex(int32_t index);
  void SetFont(HFONT font, bool redraw);

  void OnKeyDown(WPARAM vk);
  // Where the key moves the caret from `from`; -1 for a key it ignores.
  int32_t TargetOfKey(WPARAM vk, int32_t from) const;
  void MoveByKey(int32_t target);
  void ToggleOrSelectByKey();
  void OnButtonDown(POINT point, bool twice);
  void OnVScroll(int code);
  void OnFocus(bool gained);
  void Paint();
  void PaintItem(HDC dc, int32_t index, const RECT& rect) const;
  void PaintText(HDC dc, int32_t index, const RECT& rect) const;

  bool HasStrings() const { return !OwnerDrawn() || (style_ & LBS_HASSTRINGS) != 0; }
  bool OwnerDrawn() const { return (style_ & (LBS_OWNERDRAWFIXED | LBS_OWNERDRAWVARIABLE)) != 0; }
  bool Variable() const { return (style_ & LBS_OWNERDRAWVARIABLE) != 0; }
  // A combo box's list draws its own frame: a popup with WS_BORDER would
  // be the window manager's to decorate.
  bool Framed() const {
    return inCombo_ || (GetWindowLongPtr(window_, GWL_STYLE) & WS_BORDER) != 0;
  }
  bool Notifies() const { return inCombo_ || (style_ & LBS_NOTIFY) != 0; }
  Owner OwnerOf() const;
  int32_t HeightOf(int32_t index) const;
  int32_t FontHeight() const;
  // The items' area: the client area less the border and the scroll bar.
  RECT ItemsArea() const;
  RECT ClientArea() const;
  // The rectangle of the item at `index` as laid out from the top index;
  // empty above it.
  RECT RectOf(int32_t index) const;
  int32_t IndexAt(POINT point) const;
  // How many items from `top` fit wholly (at least one).
  int32_t FittingFrom(int32_t top) const;
  // The largest top index that still fills the area.
  int32_t MaxTop() const;
  void ScrollIntoView(int32_t index);
  void UpdateScrollBar();
  void Measure(int32_t index);
  void TellDeleted(int32_t index) const;
  // Tells LBN_SELCHANGE when the user's action changed the selection.
  void NotifyIfChanged(const std::vector<bool>& before) const;
  void Notify(UINT code) const;
  void Redraw() const { InvalidateRect(window_, nullptr, true); }

  const HWND window_;
  const DWORD style_;
  const bool inCombo_;
  ListItems items_;
  HFONT font_ = nullptr;
  int32_t itemHeight_ = 0;
  HWND scrollBar_ = kNoWindow;
  bool focused_ = false;
};

LRESULT ListBox::Handle(UINT message, WPARAM wParam, LPARAM lParam) {
  const auto index = static_cast<int32_t>(wParam);
  switch (message) {
    case WM_CREATE:
      OnCreate();
      return 0;
    case LB_ADDSTRING:
      return AddItem(-1, lParam);
    case LB_INSERTSTRING:
      return AddItem(index, lParam);
    case LB_DELETESTRING:
      return DeleteItem(index);
    case LB_RESETCONTENT:
      ResetContent();
      return LB_OKAY;
    case LB_GETCOUNT:
      return items_.count();
    case LB_SETCURSEL:
      return SetCurSel(index);
    case LB_GETCURSEL:
      if (items_.mode() != SelectionMode::kSingle)
        return items_.count() == 0 ? LB_ERR : items_.caret();
      return items_.current() < 0 ? LB_ERR : items_.current();
    case LB_SETSEL:
      return SetSel(wParam != 0, static_cast<int32_t>(lParam));
    case LB_GETSEL:
      return items_.Valid(index) ? (items_.at(index).selected ? 1 : 0) : LB_ERR;
    case LB_GETSELCOUNT:
      return items_.mode() == SelectionMode::kSingle ? LB_ERR : items_.SelectedCount();
    case LB_GETSELITEMS:
      return GetSelItems(index, reinterpret_cast<int32_t*>(lParam));
    case LB_GETTEXT:
      return GetText(index, reinterpret_cast<char*>(lParam));
    case LB_GETTEXTLEN:
      return GetTextLength(index);
    case LB_GETITEMDATA:
      return items_.Valid(index) ? static_cast<LRESULT>(items_.at(index).data) : LB_ERR;
    case LB_SETITEMDATA:
      if (!items_.Valid(index)) return LB_ERR;
      items_.at(index).data = static_cast<uintptr_t>(lParam);
      return LB_OKAY;
    case LB_GETCARETINDEX:
      return items_.count() == 0 ? LB_ERR : items_.caret();
    case LB_SETCARETINDEX:
      return SetCaretIndex(index);
    case LB_GETTOPINDEX:
      return items_.top();
    case LB_SETTOPINDEX:
      return SetTopIndex(index);
    case LB_GETITEMRECT:
      return GetItemRect(index, reinterpret_cast<RECT*>(lParam));
    case LB_SETITEMHEIGHT:
      return SetItemHeight(index, LowWord(lParam));
    case LB_GETITEMHEIGHT:
      return GetItemHeight(index);
    case WM_SETFONT:
      SetFont(reinterpret_cast<HFONT>(wParam), LowWord(lParam) != 0);
      return 0;
    case WM_GETFONT:
      return reinterpret_cast<LRESULT>(font_);
    case WM_GETDLGCODE:
      return DLGC_WANTARROWS | DLGC_WANTCHARS;
    case WM_KEYDOWN:
      OnKeyDown(wParam);
      return 0;
    case WM_LBUTTONDOWN:
      OnButtonDown(PointOf(lParam), false);
      return 0;
    case WM_LBUTTONDBLCLK:
      OnButtonDown(PointOf(lParam), true);
      return 0;
    case WM_LBUTTONUP:
      if (inCombo_ && IndexAt(PointOf(lParam)) >= 0) Notify(kComboListPicked);
      return 0;
    case WM_MOUSEACTIVATE:
      // A dropped list leaves the focus and activation where they are.
      return inCombo_ ? MA_NOACTIVATE : DefWindowProc(window_, message, wParam, lParam);
    case WM_VSCROLL:
      OnVScroll(LowWord(static_cast<LPARAM>(wParam)));
      return 0;
    case WM_SETFOCUS:
    case WM_KILLFOCUS:
      OnFocus(message == WM_SETFOCUS);
      return 0;
    case WM_SIZE:
      UpdateScrollBar();
      Redraw();
      return 0;
    case WM_ENABLE:
      Redraw();
      return 0;
    case WM_ERASEBKGND:
      // The paint covers every pixel.
      return 1;
    case WM_PAINT:
      Paint();
      return 0;
    case WM_DESTROY:
      ForgetItems();
      return 0;
    default:
      return DefWindowProc(window_, message, wParam, lParam);
  }
}

void ListBox::OnCreate() {
  itemHeight_ = FontHeight();
  if (OwnerDrawn() && !Variable()) Measure(0);
  const RECT client = ClientArea();
  const int32_t width = GetSystemMetrics(SM_CXVSCROLL);
  scrollBar_ = CreateWindowEx(0, kScrollBarClass, "", WS_CHILD | SBS_VERT, client.right - width,
                              client.top, width, client.Height(), window_, kNoScrollBarId, nullptr);
}

ListBox::Owner ListBox::OwnerOf() const {
  if (!inCombo_) {
    return Owner{GetParent(window_), ODT_LISTBOX, static_cast<UINT>(GetDlgCtrlID(window_)),
                 window_};
  }
  const HWND combo = GetParent(window_);
  return Owner{GetParent(combo), ODT_COMBOBOX, static_cast<UINT>(GetDlgCtrlID(combo)), combo};
}

int32_t ListBox::FontHeight() const {
  const HDC dc = GetDC(window_);
  const HFONT previous = SelectObject(dc, font_ != nullptr ? font_ : DefaultListFont());
  TEXTMETRICA metrics;
  GetTextMetricsA(dc, &metrics);
  SelectObject(dc, previous);
  ReleaseDC(window_, dc);
  return metrics.tmHeight;
}

void ListBox::Measure(int32_t index) {
  const Owner owner = OwnerOf();
  MEASUREITEMSTRUCT measure;
  measure.CtlType = owner.type;
  measure.CtlID = owner.id;
  measure.itemID = static_cast<UINT>(index);
  measure.itemWidth = static_cast<UINT>(ItemsArea().Width());
  measure.itemHeight = static_cast<UINT>(itemHeight_);
  if (Variable()) measure.itemData = items_.at(index).data;
  SendMessage(owner.window, WM_MEASUREITEM, owner.id, reinterpret_cast<LPARAM>(&measure));
  const auto height = std::clamp(static_cast<int32_t>(measure.itemHeight), 1, kMaxListItemHeight);
  if (Variable())
    items_.at(index).height = height;
  else
    itemHeight_ = height;
}

LRESULT ListBox::AddItem(int32_t index, LPARAM lParam) {
  ListItem item;
  if (HasStrings()) {
    const char* text = reinterpret_cast<const char*>(lParam);
    item.text = text != nullptr ? text : "";
  } else {
    item.data = static_cast<uintptr_t>(lParam);
  }
  const std::optional<int32_t> placed = items_.Insert(index, std::move(item));
  if (!placed) return LB_ERR;
  if (Variable()) Measure(*placed);
  UpdateScrollBar();
  Redraw();
  return *placed;
}

void ListBox::TellDeleted(int32_t index) const {
  if (!OwnerDrawn()) return;
  const Owner owner = OwnerOf();
  DELETEITEMSTRUCT deleted;
  deleted.CtlType = owner.type;
  deleted.CtlID = owner.id;
  deleted.itemID = static_cast<UINT>(index);
  deleted.hwndItem = owner.item;
  deleted.itemData = items_.at(index).data;
  SendMessage(owner.window, WM_DELETEITEM, owner.id, reinterpret_cast<LPARAM>(&deleted));
}

LRESULT ListBox::DeleteItem(int32_t index) {
  if (!items_.Valid(index)) return LB_ERR;
  TellDeleted(index);
  items_.Erase(index);
  items_.SetTop(std::min(items_.top(), MaxTop()));
  UpdateScrollBar();
  Redraw();
  return items_.count();
}

void ListBox::ForgetItems() {
  for (int32_t i = 0; i < items_.count(); ++i) TellDeleted(i);
  items_.Clear();
}

void ListBox::ResetContent() {
  ForgetItems();
  UpdateScrollBar();
  Redraw();
}

LRESULT ListBox::SetCurSel(int32_t index) {
  if (items_.mode() != SelectionMode::kSingle) return LB_ERR;
  items_.SetCurrent(index);
  Redraw();
  if (!items_.Valid(index)) return LB_ERR;
  items_.SetCaret(index);
  items_.SetAnchor(index);
  ScrollIntoView(index);
  return index;
}

LRESULT ListBox::SetSel(bool select, int32_t index) {
  if (items_.mode() == SelectionMode::kSingle) return LB_ERR;
  if (index == -1) {
    items_.SelectAll(select);
  } else {
    if (!items_.Valid(index)) return LB_ERR;
    items_.SetSelected(index, select);
  }
  Redraw();
  return LB_OKAY;
}

LRESULT ListBox::GetText(int32_t index, char* buffer) const {
  if (!items_.Valid(index) || buffer == nullptr) return LB_ERR;
  if (!HasStrings()) {
    const uintptr_t data = items_.at(index).data;
    std::memcpy(buffer, &data, sizeof(data));
    return sizeof(data);
  }
  const std::string& text = items_.at(index).text;
  std::memcpy(buffer, text.c_str(), text.size() + 1);
  return static_cast<LRESULT>(text.size());
}

LRESULT ListBox::GetTextLength(int32_t index) const {
  if (!items_.Valid(index)) return LB_ERR;
  if (!HasStrings()) return sizeof(uintptr_t);
  return static_cast<LRESULT>(items_.at(index).text.size());
}

LRESULT ListBox::GetSelItems(int32_t most, int32_t* out) const {
  if (items_.mode() == SelectionMode::kSingle || out == nullptr) return LB_ERR;
  const std::vector<int32_t> selected = items_.SelectedIndexes();
  const auto copied = std::min(static_cast<int32_t>(selected.size()), std::max(most, 0));
  std::copy_n(selected.begin(), copied, out);
  return copied;
}

LRESULT ListBox::GetItemRect(int32_t index, RECT* rect) const {
  if (rect == nullptr || (!items_.Valid(index) && !(index == 0 && items_.count() == 0)))
    return LB_ERR;
  *rect = RectOf(index);
  return LB_OKAY;
}

LRESULT ListBox::SetItemHeight(int32_t index, int32_t height) {
  if (height <= 0 || height > kMaxListItemHeight) return LB_ERR;
  if (Variable()) {
    if (!items_.Valid(index)) return LB_ERR;
    items_.at(index).height = height;
  } else {
    itemHeight_ = height;
  }
  items_.SetTop(std::min(items_.top(), MaxTop()));
  UpdateScrollBar();
  Redraw();
  return LB_OKAY;
}

LRESULT ListBox::GetItemHeight(int32_t index) const {
  if (!Variable()) return itemHeight_;
  return items_.Valid(index) ? items_.at(index).height : LB_ERR;
}

LRESULT ListBox::SetCaretIndex(int32_t index) {
  if (!items_.Valid(index)) return LB_ERR;
  items_.SetCaret(index);
  ScrollIntoView(index);
  Redraw();
  return LB_OKAY;
}

LRESULT ListBox::SetTopIndex(int32_t index) {
  if (!items_.Valid(index)) return LB_ERR;
  items_.SetTop(std::min(index, MaxTop()));
  UpdateScrollBar();
  Redraw();
  return LB_OKAY;
}

void ListBox::SetFont(HFONT font, bool redraw) {
  font_ = font;
  if (!OwnerDrawn()) itemHeight_ = FontHeight();
  UpdateScrollBar();
  if (redraw) Redraw();
}

void ListBox::OnKeyDown(WPARAM vk) {
  int32_t from = items_.caret();
  if ((style_ & LBS_WANTKEYBOARDINPUT) != 0) {
    const LRESULT answer = SendMessage(GetParent(window_), WM_VKEYTOITEM,
                                       MakeWParam(static_cast<UINT>(vk), static_cast<UINT>(from)),
                                       static_cast<LPARAM>(window_));
    if (answer == kVKeyHandled) return;
    if (answer >= 0 && items_.Valid(static_cast<int32_t>(answer))) {
      from = static_cast<int32_t>(answer);
      items_.SetCaret(from);
    }
  }
  if (items_.count() == 0) return;
  if (vk == VK_SPACE) {
    ToggleOrSelectByKey();
    return;
  }
  const int32_t target = TargetOfKey(vk, from);
  if (target >= 0) MoveByKey(target);
}

int32_t ListBox::TargetOfKey(WPARAM vk, int32_t from) const {
  const int32_t last = items_.count() - 1;
  const int32_t page = std::max(FittingFrom(items_.top()) - 1, 1);
  switch (vk) {
    case VK_UP:
      return std::max(from - 1, 0);
    case VK_DOWN:
      return std::min(from + 1, last);
    case VK_HOME:
      return 0;
    case VK_END:
      return last;
    case VK_PRIOR:
      return std::max(from - page, 0);
    case VK_NEXT:
      return std::min(from + page, last);
    default:
      return -1;
  }
}

void ListBox::MoveByKey(int32_t target) {
  const std::vector<bool> before = items_.Selection();
  switch (items_.mode()) {
    case SelectionMode::kSingle:
      items_.SetCurrent(target);
      items_.SetAnchor(target);
      break;
    case SelectionMode::kMultiple:
      break;
    case SelectionMode::kExtended:
      if (KeyHeld(VK_SHIFT)) {
        items_.SelectRangeFromAnchor(target);
      } else if (!KeyHeld(VK_CONTROL)) {
        items_.SetCurrent(target);
        items_.SetAnchor(target);
      }
      break;
  }
  items_.SetCaret(target);
  ScrollIntoView(target);
  Redraw();
  NotifyIfChanged(before);
  ReportValueChanged(window_);
}

void ListBox::ToggleOrSelectByKey() {
  const std::vector<bool> before = items_.Selection();
  const int32_t caret = items_.caret();
  const bool toggles = items_.mode() == SelectionMode::kMultiple ||
                       (items_.mode() == SelectionMode::kExtended && KeyHeld(VK_CONTROL));
  if (toggles) {
    items_.SetSelected(caret, !items_.at(caret).selected);
    items_.SetAnchor(caret);
  } else if (items_.mode() == SelectionMode::kExtended && KeyHeld(VK_SHIFT)) {
    items_.SelectRangeFromAnchor(caret);
  } else {
    items_.SetCurrent(caret);
    items_.SetAnchor(caret);
  }
  Redraw();
  NotifyIfChanged(before);
  ReportValueChanged(window_);
}

void ListBox::OnButtonDown(POINT point, bool twice) {
  // A combo box's list gives the focus to its combo box.
  SetFocus(inCombo_ ? GetParent(window_) : window_);
  const int32_t index = IndexAt(point);
  if (index < 0) return;
  const std::vector<bool> before = items_.Selection();
  switch (items_.mode()) {
    case SelectionMode::kSingle:
      items_.SetCurrent(index);
      items_.SetAnchor(index);
      break;
    case SelectionMode::kMultiple:
      items_.SetSelected(index, !items_.at(index).selected);
      break;
    case SelectionMode::kExtended:
      if (KeyHeld(VK_SHIFT)) {
        items_.SelectRangeFromAnchor(index);
      } else if (KeyHeld(VK_CONTROL)) {
        items_.SetSelected(index, !items_.at(index).selected);
        items_.SetAnchor(index);
      } else {
        items_.SetCurrent(index);
        items_.SetAnchor(index);
      }
      break;
  }
  items_.SetCaret(index);
  ScrollIntoView(index);
  Redraw();
  NotifyIfChanged(before);
  ReportValueChanged(window_);
  if (twice) Notify(LBN_DBLCLK);
}

void ListBox::OnVScroll(int code) {
  const int32_t top = items_.top();
  const int32_t page = std::max(FittingFrom(top) - 1, 1);
  int32_t wanted = top;
  switch (code) {
    case SB_LINEUP:
      wanted = top - 1;
      break;
    case SB_LINEDOWN:
      wanted = top + 1;
      break;
    case SB_PAGEUP:
      wanted = top - page;
      break;
    case SB_PAGEDOWN:
      wanted = top + page;
      break;
    case SB_THUMBTRACK:
    case SB_THUMBPOSITION: {
      SCROLLINFO info;
      info.fMask = SIF_TRACKPOS;
      GetScrollInfo(scrollBar_, SB_CTL, &info);
      wanted = info.nTrackPos;
      break;
    }
    case SB_TOP:
      wanted = 0;
      break;
    case SB_BOTTOM:
      wanted = MaxTop();
      break;
    default:
      return;
  }
  items_.SetTop(std::clamp(wanted, 0, MaxTop()));
  UpdateScrollBar();
  Redraw();
}

void ListBox::OnFocus(bool gained) {
  focused_ = gained;
  Redraw();
  if (!inCombo_) Notify(gained ? LBN_SETFOCUS : LBN_KILLFOCUS);
}

int32_t ListBox::HeightOf(int32_t index) const {
  return Variable() && items_.Valid(index) ? items_.at(index).height : itemHeight_;
}

RECT ListBox::ClientArea() const {
  RECT client;
  GetClientRect(window_, &client);
  if (Framed()) client = RECT{client.left + 1, client.top + 1, client.right - 1, client.bottom - 1};
  return client;
}

RECT ListBox::ItemsArea() const {
  RECT area = ClientArea();
  if (scrollBar_ != kNoWindow && IsWindowVisible(scrollBar_))
    area.right -= GetSystemMetrics(SM_CXVSCROLL);
  return area;
}

RECT ListBox::RectOf(int32_t index) const {
  const RECT area = ItemsArea();
  if (index < items_.top()) return RECT{area.left, area.top, area.right, area.top};
  int32_t y = area.top;
  for (int32_t i = items_.top(); i < index; ++i) y += HeightOf(i);
  return RECT{area.left, y, area.right, y + HeightOf(index)};
}

int32_t ListBox::IndexAt(POINT point) const {
  const RECT area = ItemsArea();
  if (point.x < area.left || point.x >= area.right || point.y < area.top) return -1;
  int32_t y = area.top;
  for (int32_t i = items_.top(); i < items_.count() && y < area.bottom; ++i) {
    y += HeightOf(i);
    if (point.y < y) return i;
  }
  return -1;
}

int32_t ListBox::FittingFrom(int32_t top) const {
  const int32_t room = ItemsArea().Height();
  int32_t used = 0;
  int32_t fitting = 0;
  for (int32_t i = top; i < items_.count(); ++i) {
    used += HeightOf(i);
    if (used > room) break;
    ++fitting;
  }
  return std::max(fitting, 1);
}

int32_t ListBox::MaxTop() const {
  const int32_t room = ClientArea().Height();
  int32_t used = 0;
  for (int32_t i = items_.count() - 1; i >= 0; --i) {
    used += HeightOf(i);
    if (used > room) return std::min(i + 1, items_.count() - 1);
  }
  return 0;
}

void ListBox::ScrollIntoView(int32_t index) {
  if (index < items_.top()) {
    items_.SetTop(index);
  } else {
    while (items_.top() < index && items_.top() + FittingFrom(items_.top()) <= index)
      items_.SetTop(items_.top() + 1);
  }
  UpdateScrollBar();
}

void ListBox::UpdateScrollBar() {
  if (scrollBar_ == kNoWindow) return;
  const int32_t maxTop = MaxTop();
  const RECT client = ClientArea();
  const int32_t width = GetSystemMetrics(SM_CXVSCROLL);
  MoveWindow(scrollBar_, client.right - width, client.top, width, client.Height(), false);
  SCROLLINFO info;
  info.fMask = SIF_RANGE | SIF_PAGE | SIF_POS;
  info.nMax = std::max(items_.count() - 1, 0);
  info.nPage = static_cast<UINT>(items_.count() - maxTop);
  info.nPos = items_.top();
  SetScrollInfo(scrollBar_, SB_CTL, &info, true);
  const bool needed = maxTop > 0;
  if (needed != IsWindowVisible(scrollBar_)) ShowWindow(scrollBar_, needed ? SW_SHOWNA : SW_HIDE);
}

void ListBox::NotifyIfChanged(const std::vector<bool>& before) const {
  if (items_.Selection() != before) Notify(LBN_SELCHANGE);
}

void ListBox::Notify(UINT code) const {
  const bool userAction = code == LBN_SELCHANGE || code == LBN_DBLCLK;
  if (userAction && !Notifies()) return;
  SendMessage(GetParent(window_), WM_COMMAND,
              MakeWParam(static_cast<UINT>(GetDlgCtrlID(window_)), code),
              static_cast<LPARAM>(window_));
}

void ListBox::Paint() {
  PAINTSTRUCT paint;
  const HDC dc = BeginPaint(window_, &paint);
  const HFONT previous = SelectObject(dc, font_ != nullptr ? font_ : DefaultListFont());
  SetTextColor(dc, GetSysColor(COLOR_WINDOWTEXT));
  SetBkColor(dc, GetSysColor(COLOR_WINDOW));
  const HWND colourOwner = inCombo_ ? GetParent(GetParent(window_)) : GetParent(window_);
  HBRUSH background = BrushOf(SendMessage(
      colourOwner, WM_CTLCOLORLISTBOX, reinterpret_cast<WPARAM>(dc), static_cast<LPARAM>(window_)));
  if (background == nullptr) background = GetSysColorBrush(COLOR_WINDOW);
  RECT client;
  GetClientRect(window_, &client);
  if (Framed()) FrameRect(dc, client, GetSysColorBrush(COLOR_WINDOWFRAME));
  const RECT area = ItemsArea();
  FillRect(dc, area, background);
  for (int32_t i = items_.top(); i < items_.count(); ++i) {
    const RECT rect = RectOf(i);
    if (rect.top >= area.bottom) break;
    PaintItem(dc, i, rect);
  }
  SelectObject(dc, previous);
  EndPaint(window_, &paint);
}

void ListBox::PaintItem(HDC dc, int32_t index, const RECT& rect) const {
  const bool selected = items_.at(index).selected;
  const bool caret = focused_ && index == items_.caret();
  if (!OwnerDrawn()) {
    PaintText(dc, index, rect);
    if (caret)
      FrameRect(dc, rect, GetSysColorBrush(selected ? COLOR_HIGHLIGHTTEXT : COLOR_WINDOWTEXT));
    return;
  }
  const Owner owner = OwnerOf();
  DRAWITEMSTRUCT draw;
  draw.CtlType = owner.type;
  draw.CtlID = owner.id;
  draw.itemID = static_cast<UINT>(index);
  draw.itemAction = ODA_DRAWENTIRE;
  draw.itemState = (selected ? ODS_SELECTED : 0) | (caret ? ODS_FOCUS : 0) |
                   (IsWindowEnabled(window_) ? 0 : ODS_DISABLED);
  draw.hwndItem = owner.item;
  draw.hDC = dc;
  draw.rcItem = rect;
  draw.itemData = items_.at(index).data;
  SendMessage(owner.window, WM_DRAWITEM, owner.id, reinterpret_cast<LPARAM>(&draw));
}

void ListBox::PaintText(HDC dc, int32_t index, const RECT& rect) const {
  const bool selected = items_.at(index).selected;
  COLORREF previousText = 0;
  if (selected) {
    FillRect(dc, rect, GetSysColorBrush(COLOR_HIGHLIGHT));
    previousText = SetTextColor(dc, GetSysColor(COLOR_HIGHLIGHTTEXT));
  } else if (!IsWindowEnabled(window_)) {
    previousText = SetTextColor(dc, GetSysColor(COLOR_GRAYTEXT));
  }
  const int previousMode = SetBkMode(dc, TRANSPARENT);
  TEXTMETRICA metrics;
  GetTextMetricsA(dc, &metrics);
  const std::string& text = items_.at(index).text;
  ExtTextOutA(dc, rect.left + kTextIndent, rect.top + (rect.Height() - metrics.tmHeight) / 2,
              ETO_CLIPPED, &rect, text.data(), static_cast<int32_t>(text.size()), nullptr);
  SetBkMode(dc, previousMode);
  if (selected || !IsWindowEnabled(window_)) SetTextColor(dc, previousText);
}

ControlStates<ListBox>& Boxes() {
  static ControlStates<ListBox> boxes;
  return boxes;
}

LRESULT ListProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam, bool inCombo) {
  return Boxes().Dispatch(window, message, wParam, lParam, [&] {
    return std::make_shared<ListBox>(window, CreateParamsOf(lParam)->style, inCombo);
  });
}

}  // namespace

LRESULT ListBoxProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  return ListProc(window, message, wParam, lParam, false);
}

LRESULT ComboListProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  return ListProc(window, message, wParam, lParam, true);
}

}  // namespace platform
