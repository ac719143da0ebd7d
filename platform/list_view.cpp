#include "platform/list_view.h"

#include <algorithm>
#include <cstring>
#include <optional>
#include <string>
#include <vector>

#include "platform/control_state.h"
#include "platform/input.h"
#include "platform/paint.h"
#include "platform/system_classes.h"
#include "platform/system_info.h"
#include "platform/ui_font.h"
#include "platform/window.h"
#include "platform/window_reading.h"

namespace platform {

namespace {

constexpr int32_t kFontPoints = 9;
constexpr int32_t kNoItem = -1;
// Space above and below a row's text, around the header's, and between
// a cell's edge and its text.
constexpr int32_t kRowPadding = 1;
constexpr int32_t kHeaderPadding = 3;
constexpr int32_t kCellMargin = 4;
// The longest text asked of the parent for one cell.
constexpr int32_t kDisplayTextMax = 260;
constexpr int32_t kDefaultListWidth = 100;

// A cell's own text, or the parent's; a cell never set follows the item's.
struct Cell {
  std::string text;
  bool callback = false;
  bool set = false;
};

struct Item {
  std::vector<Cell> cells;  // by column
  int32_t image = 0;
  LPARAM data = 0;
  UINT state = 0;
};

struct Column {
  std::string text;
  int32_t width = 0;
};

Cell CellOf(const char* text) {
  if (text == LPSTR_TEXTCALLBACK) return Cell{"", true, true};
  return Cell{text == nullptr ? "" : text, false, true};
}

void CopyOut(const std::string& text, char* buffer, int32_t size) {
  if (buffer == nullptr || size <= 0) return;
  const size_t count = std::min(text.size(), static_cast<size_t>(size - 1));
  std::memcpy(buffer, text.data(), count);
  buffer[count] = '\0';
}

class ListView {
 public:
  explicit ListView(HWND window) : window_(window) {}

  LRESULT Handle(UINT message, WPARAM wParam, LPARAM lParam);

 private:
  DWORD Style() const { return static_cast<DWORD>(GetWindowLongPtr(window_, GWL_STYLE)); }
  bool Report() const { return (Style() & LVS_TYPEMASK) == LVS_REPORT; }
  bool Valid(int32_t index) const {
    return index >= 0 && static_cast<size_t>(index) < items_.size();
  }
  int32_t Count() const { return static_cast<int32_t>(items_.size()); }

  // Items and their texts.
  LRESULT InsertItem(const LVITEMA& item);
  bool SetItem(const LVITEMA& item);
  bool GetItem(LVITEMA* item);
  LRESULT GetItemText(int32_t index, LVITEMA* item);
  bool DeleteItem(int32_t index);
  void DeleteAllItems();
  std::string TextOf(int32_t index, int32_t column);
  bool SortItems(PFNLVCOMPARE compare, LPARAM sort);

  // States.
  bool SetItemState(int32_t index, UINT state, UINT mask);
  void SetStateOf(Item& item, UINT state, UINT mask);
  LRESULT GetNextItem(int32_t start, UINT flags) const;
  int32_t Focused() const { return static_cast<int32_t>(GetNextItem(-1, LVNI_FOCUSED)); }
  void SelectAlone(int32_t index);

  // Columns.
  LRESULT InsertColumn(int32_t index, const LVCOLUMNA& column);
  bool SetColumnWidth(int32_t column, int32_t width);
  LRESULT GetColumnWidth(int32_t column) const;
  int32_t WidestText(int32_t column);

  // Geometry.
  HFONT Font();
  int32_t TextHeight();
  int32_t RowHeight();
  int32_t HeaderHeight();
  int32_t VisibleRows();
  int32_t RowWidth() const;
  int32_t ImageWidth() const;
  bool GetItemRect(int32_t index, RECT* rect);
  RECT RowRect(int32_t index);
  bool EnsureVisible(int32_t index, bool partialOk);
  void ScrollTo(int32_t top);
  int32_t ItemAt(POINT point);
  int32_t ColumnAt(int32_t x) const;

  // Input.
  LRESULT Notify(NMHDR& header);
  void OnKeyDown(WPARAM vk);
  std::optional<int32_t> TargetOf(WPARAM vk);
  void OnButtonDown(POINT point, bool twice);

  // Painting.
  void Paint();
  void PaintHeader(HDC dc);
  void PaintItem(HDC dc, int32_t index);
  void DrawCell(HDC dc, const RECT& cell, const std::string& text) const;

  const HWND window_;
  std::vector<Item> items_;
  std::vector<Column> columns_;
  int32_t listWidth_ = kDefaultListWidth;
  DWORD extendedStyle_ = 0;
  HIMAGELIST normalImages_ = nullptr;
  HIMAGELIST smallImages_ = nullptr;
  int32_t top_ = 0;
  HFONT given_ = nullptr;
  UniqueFont fallback_;
};

ControlStates<ListView>& ListViews() {
  static ControlStates<ListView> controls;
  return controls;
}

LRESULT ListView::Handle(UINT message, WPARAM wParam, LPARAM lParam) {
  const auto index = static_cast<int32_t>(static_cast<intptr_t>(wParam));
  switch (message) {
    case LVM_INSERTITEM:
      return lParam == 0 ? kNoItem : InsertItem(*reinterpret_cast<const LVITEMA*>(lParam));
    case LVM_SETITEM:
      return lParam != 0 && SetItem(*reinterpret_cast<const LVITEMA*>(lParam)) ? 1 : 0;
    case LVM_GETITEM:
      return GetItem(reinterpret_cast<LVITEMA*>(lParam)) ? 1 : 0;
    case LVM_SETITEMTEXT: {
      if (lParam == 0) return 0;
      LVITEMA item = *reinterpret_cast<const LVITEMA*>(lParam);
      item.iItem = index;
      item.mask = LVIF_TEXT;
      return SetItem(item) ? 1 : 0;
    }
    case LVM_GETITEMTEXT:
      return GetItemText(index, reinterpret_cast<LVITEMA*>(lParam));
    case LVM_GETITEMCOUNT:
      return Count();
    case LVM_DELETEITEM:
      return DeleteItem(index) ? 1 : 0;
    case LVM_DELETEALLITEMS:
      DeleteAllItems();
      return 1;
    case LVM_SETITEMSTATE: {
      if (lParam == 0) return 0;
      const auto* item = reinterpret_cast<const LVITEMA*>(lParam);
      return SetItemState(index, item->state, item->stateMask) ? 1 : 0;
    }
    case LVM_GETITEMSTATE:
      return Valid(index) ? static_cast<LRESULT>(items_[index].state & static_cast<UINT>(lParam))
                          : 0;
    case LVM_GETNEXTITEM:
      return GetNextItem(index, static_cast<UINT>(lParam));
    case LVM_GETITEMRECT:
      return GetItemRect(index, reinterpret_cast<RECT*>(lParam)) ? 1 : 0;
    case LVM_ENSUREVISIBLE:
      return EnsureVisible(index, lParam != 0) ? 1 : 0;
    case LVM_SORTITEMS:
      return SortItems(reinterpret_cast<PFNLVCOMPARE>(lParam), static_cast<LPARAM>(wParam)) ? 1 : 0;
    case LVM_INSERTCOLUMN:
      return lParam == 0 ? kNoItem
                         : InsertColumn(index, *reinterpret_cast<const LVCOLUMNA*>(lParam));
    case LVM_SETCOLUMNWIDTH:
      return SetColumnWidth(index, LowWord(lParam)) ? 1 : 0;
    case LVM_GETCOLUMNWIDTH:
      return GetColumnWidth(index);
    case LVM_SETEXTENDEDLISTVIEWSTYLE: {
      const DWORD previous = extendedStyle_;
      const DWORD mask = wParam == 0 ? ~DWORD{0} : static_cast<DWORD>(wParam);
      extendedStyle_ = (extendedStyle_ & ~mask) | (static_cast<DWORD>(lParam) & mask);
      InvalidateRect(window_, nullptr, true);
      return static_cast<LRESULT>(previous);
    }
    case LVM_GETEXTENDEDLISTVIEWSTYLE:
      return static_cast<LRESULT>(extendedStyle_);
    case LVM_SETIMAGELIST: {
      HIMAGELIST& kept = wParam == LVSIL_SMALL ? smallImages_ : normalImages_;
      const HIMAGELIST previous = kept;
      kept = reinterpret_cast<HIMAGELIST>(lParam);
      InvalidateRect(window_, nullptr, true);
      return reinterpret_cast<LRESULT>(previous);
    }
    case LVM_GETIMAGELIST:
      return reinterpret_cast<LRESULT>(wParam == LVSIL_SMALL ? smallImages_ : normalImages_);
    case WM_GETDLGCODE:
      return DLGC_WANTARROWS | DLGC_WANTCHARS;
    case WM_KEYDOWN:
    case WM_SYSKEYDOWN: {
      NMLVKEYDOWN key;
      key.hdr.code = LVN_KEYDOWN;
      key.wVKey = static_cast<uint16_t>(wParam);
      Notify(key.hdr);
      if (!IsWindow(window_)) return 0;
      if (message == WM_KEYDOWN) OnKeyDown(wParam);
      return message == WM_KEYDOWN ? 0 : DefWindowProc(window_, message, wParam, lParam);
    }
    case WM_LBUTTONDOWN:
    case WM_LBUTTONDBLCLK:
      OnButtonDown(POINT{LowWord(lParam), HighWord(lParam)}, message == WM_LBUTTONDBLCLK);
      return 0;
    case WM_SETFOCUS:
    case WM_KILLFOCUS:
      InvalidateRect(window_, nullptr, true);
      return 0;
    case WM_SETFONT:
      given_ = reinterpret_cast<HFONT>(wParam);
      if (LowWord(lParam) != 0) InvalidateRect(window_, nullptr, true);
      return 0;
    case WM_GETFONT:
      return reinterpret_cast<LRESULT>(given_);
    case WM_SIZE:
      ScrollTo(top_);
      return 0;
    case WM_ERASEBKGND:
      return 1;
    case WM_PAINT:
      Paint();
      return 0;
    default:
      return DefWindowProc(window_, message, wParam, lParam);
  }
}

// ---- Items and their texts ------------------------------------------------------

LRESULT ListView::InsertItem(const LVITEMA& given) {
  if (given.iSubItem != 0) return kNoItem;
  Item item;
  item.cells.resize(std::max<size_t>(1, columns_.size()));
  item.cells[0] = (given.mask & LVIF_TEXT) != 0 ? CellOf(given.pszText) : Cell{"", false, true};
  if ((given.mask & LVIF_IMAGE) != 0) item.image = given.iImage;
  if ((given.mask & LVIF_PARAM) != 0) item.data = given.lParam;
  const int32_t at = std::clamp(given.iItem, 0, Count());
  items_.insert(items_.begin() + at, std::move(item));
  if ((given.mask & LVIF_STATE) != 0) SetItemState(at, given.state, given.stateMask);
  InvalidateRect(window_, nullptr, true);
  return at;
}

bool ListView::SetItem(const LVITEMA& given) {
  if (!Valid(given.iItem) || given.iSubItem < 0) return false;
  Item& item = items_[given.iItem];
  if ((given.mask & LVIF_TEXT) != 0) {
    const auto column = static_cast<size_t>(given.iSubItem);
    if (item.cells.size() <= column) item.cells.resize(column + 1);
    item.cells[column] = CellOf(given.pszText);
  }
  if (given.iSubItem == 0) {
    if ((given.mask & LVIF_IMAGE) != 0) item.image = given.iImage;
    if ((given.mask & LVIF_PARAM) != 0) item.data = given.lParam;
    if ((given.mask & LVIF_STATE) != 0) SetItemState(given.iItem, given.state, given.stateMask);
  }
  InvalidateRect(window_, nullptr, true);
  return true;
}

bool ListView::GetItem(LVITEMA* given) {
  if (given == nullptr || !Valid(given->iItem) || given->iSubItem < 0) return false;
  const Item& item = items_[given->iItem];
  if ((given->mask & LVIF_IMAGE) != 0) given->iImage = item.image;
  if ((given->mask & LVIF_PARAM) != 0) given->lParam = item.data;
  if ((given->mask & LVIF_STATE) != 0) given->state = item.state & given->stateMask;
  if ((given->mask & LVIF_TEXT) != 0)
    CopyOut(TextOf(given->iItem, given->iSubItem), given->pszText, given->cchTextMax);
  return true;
}

LRESULT ListView::GetItemText(int32_t index, LVITEMA* given) {
  if (given == nullptr || !Valid(index) || given->iSubItem < 0) return 0;
  const std::string text = TextOf(index, given->iSubItem);
  CopyOut(text, given->pszText, given->cchTextMax);
  if (given->pszText == nullptr || given->cchTextMax <= 0) return 0;
  return static_cast<LRESULT>(std::min<size_t>(text.size(), given->cchTextMax - 1));
}

// A column never set follows the item's own text: the parent's when that
// is the parent's, else empty.
std::string ListView::TextOf(int32_t index, int32_t column) {
  if (!Valid(index)) return "";
  const Item& item = items_[index];
  const auto at = static_cast<size_t>(column);
  const Cell* set = at < item.cells.size() && item.cells[at].set ? &item.cells[at] : nullptr;
  const bool callback = set != nullptr ? set->callback : item.cells[0].callback;
  if (!callback) return set != nullptr ? set->text : std::string();
  char buffer[kDisplayTextMax] = {};
  NMLVDISPINFOA info;
  info.hdr.code = LVN_GETDISPINFO;
  info.item.mask = LVIF_TEXT;
  info.item.iItem = index;
  info.item.iSubItem = column;
  info.item.lParam = item.data;
  info.item.pszText = buffer;
  info.item.cchTextMax = kDisplayTextMax;
  Notify(info.hdr);
  if (info.item.pszText == nullptr || info.item.pszText == LPSTR_TEXTCALLBACK) return "";
  return std::string(info.item.pszText, strnlen(info.item.pszText, kDisplayTextMax));
}

// A merge sort of its own: whatever the program's comparison answers, even
// when it contradicts itself, every item stays and nothing is read out
// of bounds, which the standard sorts promise only for a strict order.
std::vector<Item> MergeSorted(std::vector<Item> items, PFNLVCOMPARE compare, LPARAM sort) {
  if (items.size() < 2) return items;
  const auto middle = items.begin() + static_cast<std::ptrdiff_t>(items.size() / 2);
  std::vector<Item> first = MergeSorted(
      std::vector<Item>(std::make_move_iterator(items.begin()), std::make_move_iterator(middle)),
      compare, sort);
  std::vector<Item> second = MergeSorted(
      std::vector<Item>(std::make_move_iterator(middle), std::make_move_iterator(items.end())),
      compare, sort);
  items.clear();
  size_t a = 0;
  size_t b = 0;
  while (a < first.size() && b < second.size()) {
    // Equal items keep their order: the second half's goes first only when less.
    if (compare(second[b].data, first[a].data, sort) < 0)
      items.push_back(std::move(second[b++]));
    else
      items.push_back(std::move(first[a++]));
  }
  for (; a < first.size(); ++a) items.push_back(std::move(first[a]));
  for (; b < second.size(); ++b) items.push_back(std::move(second[b]));
  return items;
}

// The items are sorted aside, so a comparison that asks the control
// about its items reads them as they were.
bool ListView::SortItems(PFNLVCOMPARE compare, LPARAM sort) {
  if (compare == nullptr) return false;
  items_ = MergeSorted(items_, compare, sort);
  InvalidateRect(window_, nullptr, true);
  return true;
}

bool ListView::DeleteItem(int32_t index) {
  if (!Valid(index)) return false;
  items_.erase(items_.begin() + index);
  ScrollTo(top_);
  InvalidateRect(window_, nullptr, true);
  return true;
}

void ListView::DeleteAllItems() {
  items_.clear();
  top_ = 0;
  InvalidateRect(window_, nullptr, true);
}

// ---- States ---------------------------------------------------------------------

// Index -1 sets the state of every item.
bool ListView::SetItemState(int32_t index, UINT state, UINT mask) {
  if (index == kNoItem) {
    for (Item& item : items_) SetStateOf(item, state, mask & ~LVIS_FOCUSED);
    InvalidateRect(window_, nullptr, true);
    return true;
  }
  if (!Valid(index)) return false;
  // One item at most has the focus; with LVS_SINGLESEL one is selected.
  UINT alone = mask & state & LVIS_FOCUSED;
  if ((Style() & LVS_SINGLESEL) != 0) alone |= mask & state & LVIS_SELECTED;
  if (alone != 0)
    for (Item& item : items_) SetStateOf(item, 0, alone);
  SetStateOf(items_[index], state, mask);
  InvalidateRect(window_, nullptr, true);
  return true;
}

void ListView::SetStateOf(Item& item, UINT state, UINT mask) {
  item.state = (item.state & ~mask) | (state & mask);
}

LRESULT ListView::GetNextItem(int32_t start, UINT flags) const {
  const UINT wanted = flags & (LVNI_FOCUSED | LVNI_SELECTED);
  for (int32_t i = std::max(start + 1, 0); i < Count(); ++i) {
    UINT has = 0;
    if ((items_[i].state & LVIS_FOCUSED) != 0) has |= LVNI_FOCUSED;
    if ((items_[i].state & LVIS_SELECTED) != 0) has |= LVNI_SELECTED;
    if ((has & wanted) == wanted) return i;
  }
  return kNoItem;
}

void ListView::SelectAlone(int32_t index) {
  for (Item& item : items_) SetStateOf(item, 0, LVIS_FOCUSED | LVIS_SELECTED);
  SetStateOf(items_[index], LVIS_FOCUSED | LVIS_SELECTED, LVIS_FOCUSED | LVIS_SELECTED);
  EnsureVisible(index, false);
  InvalidateRect(window_, nullptr, true);
}

// ---- Columns --------------------------------------------------------------------

LRESULT ListView::InsertColumn(int32_t index, const LVCOLUMNA& given) {
  Column column;
  if ((given.mask & LVCF_TEXT) != 0 && given.pszText != nullptr) column.text = given.pszText;
  if ((given.mask & LVCF_WIDTH) != 0) column.width = std::max(0, given.cx);
  const int32_t at = std::clamp(index, 0, static_cast<int32_t>(columns_.size()));
  columns_.insert(columns_.begin() + at, std::move(column));
  // Texts of later columns move along; column 0 stays the item's own.
  if (at > 0)
    for (Item& item : items_)
      if (item.cells.size() > static_cast<size_t>(at))
        item.cells.insert(item.cells.begin() + at, Cell{});
  InvalidateRect(window_, nullptr, true);
  return at;
}

bool ListView::SetColumnWidth(int32_t column, int32_t width) {
  if (!Report()) {
    if (column != 0 || width < 0) return false;
    listWidth_ = width;
    InvalidateRect(window_, nullptr, true);
    return true;
  }
  if (column < 0 || static_cast<size_t>(column) >= columns_.size()) return false;
  int32_t kept = width;
  if (width == LVSCW_AUTOSIZE || width == LVSCW_AUTOSIZE_USEHEADER) {
    kept = WidestText(column) + 2 * kCellMargin + (column == 0 ? ImageWidth() : 0);
    if (width == LVSCW_AUTOSIZE_USEHEADER) {
      const UniqueDC measure = CreateCompatibleDC(nullptr);
      SelectObject(measure.get(), Font());
      kept = std::max(kept, TextWidth(measure.get(), columns_[column].text) + 2 * kCellMargin);
    }
  }
  columns_[column].width = std::max(0, kept);
  InvalidateRect(window_, nullptr, true);
  return true;
}

LRESULT ListView::GetColumnWidth(int32_t column) const {
  if (!Report()) return column == 0 ? listWidth_ : 0;
  if (column < 0 || static_cast<size_t>(column) >= columns_.size()) return 0;
  return columns_[column].width;
}

int32_t ListView::WidestText(int32_t column) {
  const UniqueDC measure = CreateCompatibleDC(nullptr);
  SelectObject(measure.get(), Font());
  int32_t widest = 0;
  for (int32_t i = 0; i < Count(); ++i)
    widest = std::max(widest, TextWidth(measure.get(), TextOf(i, column)));
  return widest;
}

// ---- Geometry -------------------------------------------------------------------

HFONT ListView::Font() {
  if (given_ != nullptr) return given_;
  if (fallback_ == nullptr) fallback_ = CreateUiFont(kFontPoints);
  return fallback_.get();
}

int32_t ListView::TextHeight() {
  const UniqueDC measure = CreateCompatibleDC(nullptr);
  SelectObject(measure.get(), Font());
  TEXTMETRICA metrics;
  return GetTextMetricsA(measure.get(), &metrics) ? metrics.tmHeight : 0;
}

int32_t ListView::RowHeight() {
  int32_t imageWidth = 0;
  int32_t imageHeight = 0;
  ImageList_GetIconSize(smallImages_, &imageWidth, &imageHeight);
  return std::max(TextHeight(), imageHeight) + 2 * kRowPadding;
}

int32_t ListView::HeaderHeight() { return Report() ? TextHeight() + 2 * kHeaderPadding : 0; }

int32_t ListView::VisibleRows() {
  RECT client;
  GetClientRect(window_, &client);
  return std::max(1, (client.Height() - HeaderHeight()) / std::max(1, RowHeight()));
}

int32_t ListView::RowWidth() const {
  if (!Report()) return listWidth_;
  int32_t width = 0;
  for (const Column& column : columns_) width += column.width;
  return width;
}

int32_t ListView::ImageWidth() const {
  int32_t width = 0;
  int32_t height = 0;
  return ImageList_GetIconSize(smallImages_, &width, &height) ? width : 0;
}

RECT ListView::RowRect(int32_t index) {
  const int32_t height = RowHeight();
  const int32_t top = HeaderHeight() + (index - top_) * height;
  return RECT{0, top, RowWidth(), top + height};
}

bool ListView::GetItemRect(int32_t index, RECT* rect) {
  if (rect == nullptr || !Valid(index)) return false;
  const int32_t part = rect->left;
  const RECT row = RowRect(index);
  const int32_t firstRight = Report() ? (columns_.empty() ? 0 : columns_[0].width) : listWidth_;
  const RECT icon{row.left, row.top, row.left + ImageWidth(), row.bottom};
  const RECT label{icon.right, row.top, std::max(icon.right, firstRight), row.bottom};
  switch (part) {
    case LVIR_BOUNDS:
      *rect = row;
      return true;
    case LVIR_ICON:
      *rect = icon;
      return true;
    case LVIR_LABEL:
      *rect = label;
      return true;
    case LVIR_SELECTBOUNDS:
      *rect = (extendedStyle_ & LVS_EX_FULLROWSELECT) != 0 && Report()
                  ? row
                  : RECT{icon.left, row.top, label.right, row.bottom};
      return true;
    default:
      return false;
  }
}

bool ListView::EnsureVisible(int32_t index, bool partialOk) {
  if (!Valid(index)) return false;
  const int32_t rows = VisibleRows();
  if (index < top_) {
    ScrollTo(index);
  } else if (index >= top_ + rows) {
    RECT client;
    GetClientRect(window_, &client);
    const bool showsPart = RowRect(index).top < client.bottom;
    if (!(partialOk && showsPart)) ScrollTo(index - rows + 1);
  }
  return true;
}

void ListView::ScrollTo(int32_t top) {
  const int32_t kept = std::clamp(top, 0, std::max(0, Count() - VisibleRows()));
  if (kept == top_) return;
  top_ = kept;
  InvalidateRect(window_, nullptr, true);
}

int32_t ListView::ItemAt(POINT point) {
  if (point.y < HeaderHeight() || point.x < 0 || point.x >= RowWidth()) return kNoItem;
  const int32_t index = top_ + (point.y - HeaderHeight()) / std::max(1, RowHeight());
  return Valid(index) ? index : kNoItem;
}

int32_t ListView::ColumnAt(int32_t x) const {
  int32_t left = 0;
  for (size_t i = 0; i < columns_.size(); ++i) {
    left += columns_[i].width;
    if (x < left) return static_cast<int32_t>(i);
  }
  return kNoItem;
}

// ---- Input ----------------------------------------------------------------------

LRESULT ListView::Notify(NMHDR& header) {
  header.hwndFrom = window_;
  header.idFrom = static_cast<UINT_PTR>(GetDlgCtrlID(window_));
  return SendMessage(GetParent(window_), WM_NOTIFY, header.idFrom,
                     reinterpret_cast<LPARAM>(&header));
}

void ListView::OnKeyDown(WPARAM vk) {
  const std::optional<int32_t> target = TargetOf(vk);
  if (!target || !Valid(*target)) return;
  SelectAlone(*target);
  ReportValueChanged(window_);
}

std::optional<int32_t> ListView::TargetOf(WPARAM vk) {
  if (items_.empty()) return std::nullopt;
  const int32_t focus = Focused();
  const int32_t page = std::max(1, VisibleRows() - 1);
  const int32_t bottom = std::min(Count() - 1, top_ + VisibleRows() - 1);
  switch (vk) {
    case VK_UP:
      return focus == kNoItem ? 0 : std::max(0, focus - 1);
    case VK_DOWN:
      return focus == kNoItem ? 0 : std::min(Count() - 1, focus + 1);
    case VK_HOME:
      return 0;
    case VK_END:
      return Count() - 1;
    case VK_PRIOR:
      // First the top of the page, then a page up.
      return focus > top_ ? top_ : std::max(0, focus - page);
    case VK_NEXT:
      return focus != kNoItem && focus < bottom ? bottom : std::min(Count() - 1, focus + page);
    default:
      return std::nullopt;
  }
}

void ListView::OnButtonDown(POINT point, bool twice) {
  SetFocus(window_);
  if (Report() && point.y < HeaderHeight()) {
    const int32_t column = ColumnAt(point.x);
    if (column == kNoItem) return;
    NMLISTVIEW click;
    click.hdr.code = LVN_COLUMNCLICK;
    click.iSubItem = column;
    click.ptAction = point;
    Notify(click.hdr);
    return;
  }
  int32_t index = ItemAt(point);
  const bool onRow = (extendedStyle_ & LVS_EX_FULLROWSELECT) != 0 && Report();
  RECT label{LVIR_SELECTBOUNDS, 0, 0, 0};
  if (index != kNoItem && !onRow && GetItemRect(index, &label) && point.x >= label.right)
    index = kNoItem;
  if (index != kNoItem) {
    SelectAlone(index);
    ReportValueChanged(window_);
  }
  if (!twice) return;
  NMITEMACTIVATE activate;
  activate.hdr.code = NM_DBLCLK;
  activate.iItem = index;
  activate.iSubItem = Report() ? std::max(0, ColumnAt(point.x)) : 0;
  activate.ptAction = point;
  Notify(activate.hdr);
}

// ---- Painting -------------------------------------------------------------------

void ListView::Paint() {
  PAINTSTRUCT paint;
  const HDC dc = BeginPaint(window_, &paint);
  RECT client;
  GetClientRect(window_, &client);
  FillRect(dc, client, GetSysColorBrush(COLOR_WINDOW));
  SelectObject(dc, Font());
  SetBkMode(dc, TRANSPARENT);
  SetTextAlign(dc, TA_TOP);
  const int32_t last = std::min(Count(), top_ + VisibleRows() + 1);
  for (int32_t i = top_; i < last && Valid(i); ++i) PaintItem(dc, i);
  if (Report()) PaintHeader(dc);
  EndPaint(window_, &paint);
}

void ListView::PaintHeader(HDC dc) {
  RECT client;
  GetClientRect(window_, &client);
  const int32_t bottom = HeaderHeight();
  FillRect(dc, RECT{0, 0, client.right, bottom}, GetSysColorBrush(COLOR_BTNFACE));
  SetTextColor(dc, GetSysColor(COLOR_BTNTEXT));
  int32_t left = 0;
  for (const Column& column : columns_) {
    const RECT cell{left, 0, left + column.width, bottom};
    left = cell.right;
    if (cell.IsEmpty()) continue;
    FillRect(dc, RECT{cell.left, 0, cell.right, 1}, GetSysColorBrush(COLOR_BTNHIGHLIGHT));
    FillRect(dc, RECT{cell.left, 0, cell.left + 1, bottom}, GetSysColorBrush(COLOR_BTNHIGHLIGHT));
    FillRect(dc, RECT{cell.left, bottom - 1, cell.right, bottom},
             GetSysColorBrush(COLOR_BTNSHADOW));
    FillRect(dc, RECT{cell.right - 1, 0, cell.right, bottom}, GetSysColorBrush(COLOR_BTNSHADOW));
    DrawCell(dc, RECT{cell.left, kHeaderPadding, cell.right, bottom - kHeaderPadding}, column.text);
  }
}

// The state is read first: a parent asked for a text may change the items.
void ListView::PaintItem(HDC dc, int32_t index) {
  const UINT state = items_[index].state;
  const bool focused = GetFocus() == window_;
  const bool selected =
      (state & LVIS_SELECTED) != 0 && (focused || (Style() & LVS_SHOWSELALWAYS) != 0);
  RECT marked{LVIR_SELECTBOUNDS, 0, 0, 0};
  GetItemRect(index, &marked);
  if (selected) FillRect(dc, marked, GetSysColorBrush(focused ? COLOR_HIGHLIGHT : COLOR_BTNFACE));
  const COLORREF markedText = GetSysColor(focused ? COLOR_HIGHLIGHTTEXT : COLOR_WINDOWTEXT);
  const bool wholeRow = (extendedStyle_ & LVS_EX_FULLROWSELECT) != 0;
  const RECT row = RowRect(index);
  const int32_t columns = Report() ? static_cast<int32_t>(columns_.size()) : 1;
  int32_t left = ImageWidth();
  for (int32_t column = 0; column < columns; ++column) {
    const int32_t right = Report() ? (column == 0 ? 0 : left) + columns_[column].width : listWidth_;
    const bool shows = selected && (column == 0 || wholeRow);
    SetTextColor(dc, shows ? markedText : GetSysColor(COLOR_WINDOWTEXT));
    DrawCell(dc, RECT{left, row.top + kRowPadding, right, row.bottom - kRowPadding},
             TextOf(index, column));
    left = right;
  }
  if (focused && (state & LVIS_FOCUSED) != 0)
    FrameRect(dc, marked, GetSysColorBrush(COLOR_WINDOWTEXT));
}

void ListView::DrawCell(HDC dc, const RECT& cell, const std::string& text) const {
  const RECT inner{cell.left + kCellMargin, cell.top, cell.right - kCellMargin, cell.bottom};
  if (!inner.IsEmpty())
    DrawTextA(dc, text.c_str(), static_cast<int32_t>(text.size()), &inner, DT_LEFT);
}

}  // namespace

LRESULT ListViewProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  return ListViews().Dispatch(window, message, wParam, lParam);
}

}  // namespace platform
