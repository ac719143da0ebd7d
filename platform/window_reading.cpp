#include "platform/window_reading.h"

#include <array>
#include <atomic>
#include <mutex>
#include <optional>
#include <vector>

#include "platform/button.h"
#include "platform/combo_box.h"
#include "platform/control_state.h"
#include "platform/dialog.h"
#include "platform/dialog_template.h"
#include "platform/edit_control.h"
#include "platform/input.h"
#include "platform/list_box.h"
#include "platform/list_view.h"
#include "platform/message_box_layout.h"
#include "platform/static_control.h"
#include "platform/window.h"

namespace platform {

namespace {

// The kinds a reader names, in the words a Japanese screen reader says.
enum class ControlKind {
  kNone,
  kPushButton,
  kCheckBox,
  kRadioButton,
  kEdit,
  kList,
  kComboBox,
  kListView,
  kUpDown,
  kMessageBox,
};

struct KindWord {
  ControlKind kind;
  const char* word;
};

constexpr std::array kKindWords{
    KindWord{ControlKind::kPushButton, "\x83\x7b\x83\x5e\x83\x93"},  // ボタン
    KindWord{
        ControlKind::kCheckBox,
        "\x83\x60\x83\x46\x83\x62\x83\x4e\x83\x7b\x83\x62\x83\x4e\x83\x58"},  // チェックボックス
    KindWord{ControlKind::kRadioButton,
             "\x83\x89\x83\x57\x83\x49\x83\x7b\x83\x5e\x83\x93"},              // ラジオボタン
    KindWord{ControlKind::kEdit, "\x83\x47\x83\x66\x83\x42\x83\x62\x83\x67"},  // エディット
    KindWord{ControlKind::kList, "\x83\x8a\x83\x58\x83\x67"},                  // リスト
    KindWord{ControlKind::kComboBox,
             "\x83\x52\x83\x93\x83\x7b\x83\x7b\x83\x62\x83\x4e\x83\x58"},  // コンボボックス
    KindWord{ControlKind::kListView,
             "\x83\x8a\x83\x58\x83\x67\x83\x72\x83\x85\x81\x5b"},  // リストビュー
    KindWord{ControlKind::kUpDown,
             "\x83\x41\x83\x62\x83\x76\x83\x5f\x83\x45\x83\x93"},  // アップダウン
};

// The classes of the controls that are read, by the name they register.
struct KindClass {
  const char* className;
  ControlKind kind;
};

constexpr std::array kKindClasses{
    KindClass{kEditClass, ControlKind::kEdit},
    KindClass{kListBoxClass, ControlKind::kList},
    KindClass{kComboBoxClass, ControlKind::kComboBox},
    KindClass{kListViewClass, ControlKind::kListView},
    KindClass{kUpDownClass, ControlKind::kUpDown},
    KindClass{kMessageBoxClass, ControlKind::kMessageBox},
};

constexpr char kDialogWord[] = "\x83\x5f\x83\x43\x83\x41\x83\x8d\x83\x4f";  // ダイアログ
constexpr char kCheckedWord[] = "\x83\x60\x83\x46\x83\x62\x83\x4e";         // チェック
constexpr char kUncheckedWord[] =
    "\x83\x60\x83\x46\x83\x62\x83\x4e\x82\xc8\x82\xb5";               // チェックなし
constexpr char kDisabledWord[] = "\x97\x98\x97\x70\x95\x73\x89\xc2";  // 利用不可
constexpr char kDefaultWord[] = "\x8a\xf9\x92\xe8";                   // 既定
// An empty edit, and the caret at the end of its text.
constexpr char kBlankWord[] = "\x8b\xf3\x94\x92";  // 空白
constexpr char kPartSeparator[] = " ";

DWORD StyleOf(HWND window) { return static_cast<DWORD>(GetWindowLongPtr(window, GWL_STYLE)); }

ControlKind ButtonKind(DWORD style) {
  switch (ButtonKindOf(style)) {
    case BS_PUSHBUTTON:
    case BS_DEFPUSHBUTTON:
      return ControlKind::kPushButton;
    case BS_AUTOCHECKBOX:
      return ControlKind::kCheckBox;
    case BS_AUTORADIOBUTTON:
      return ControlKind::kRadioButton;
    default:
      return ControlKind::kNone;
  }
}

ControlKind KindOf(HWND window) {
  std::string className;
  if (!GetClassName(window, &className)) return ControlKind::kNone;
  if (className == kButtonClass) return ButtonKind(StyleOf(window));
  for (const KindClass& entry : kKindClasses) {
    if (className == entry.className) return entry.kind;
  }
  return ControlKind::kNone;
}

const char* WordOf(ControlKind kind) {
  for (const KindWord& entry : kKindWords) {
    if (entry.kind == kind) return entry.word;
  }
  return "";
}

bool IsButtonKind(ControlKind kind) {
  return kind == ControlKind::kPushButton || kind == ControlKind::kCheckBox ||
         kind == ControlKind::kRadioButton;
}

std::string ShownTextOf(HWND window) { return ShownLabelOf(GetWindowText(window), false).text; }

// The static text or group box before the control names it.
std::string LabelBefore(HWND control) {
  const HWND before = GetWindow(control, GW_HWNDPREV);
  std::string className;
  if (before == kNoWindow || !GetClassName(before, &className)) return {};
  const DWORD style = StyleOf(before);
  const bool isText = className == kStaticClass && (style & SS_TYPEMASK) != SS_ICON;
  const bool isGroup = className == kButtonClass && ButtonKindOf(style) == BS_GROUPBOX;
  if (!isText && !isGroup) return {};
  return ShownLabelOf(GetWindowText(before), (style & SS_NOPREFIX) != 0 && isText).text;
}

std::string LabelOf(HWND control, ControlKind kind) {
  return IsButtonKind(kind) ? ShownTextOf(control) : LabelBefore(control);
}

std::string CheckOf(HWND control, ControlKind kind) {
  if (kind != ControlKind::kCheckBox && kind != ControlKind::kRadioButton) return {};
  const bool checked = SendMessage(control, BM_GETCHECK, 0, 0) == static_cast<LRESULT>(BST_CHECKED);
  return checked ? kCheckedWord : kUncheckedWord;
}

std::string Joined(const std::vector<std::string>& parts) {
  std::string joined;
  for (const std::string& part : parts) {
    if (part.empty()) continue;
    if (!joined.empty()) joined += kPartSeparator;
    joined += part;
  }
  return joined;
}

// An item and where it stands among them, "3/7"; nothing without one.
std::string ItemValue(const std::string& text, LRESULT index, LRESULT count) {
  if (index < 0 || count <= 0) return {};
  return Joined({text, std::to_string(index + 1) + "/" + std::to_string(count)});
}

// An owner-drawn list without strings holds item data where the texts
// would be: it has no text to read.
bool ListHasTexts(HWND list) {
  const DWORD style = StyleOf(list);
  return (style & (LBS_OWNERDRAWFIXED | LBS_OWNERDRAWVARIABLE)) == 0 ||
         (style & LBS_HASSTRINGS) != 0;
}

// The list's item at its caret, the one the user is on.
std::string ListValueOf(HWND list) {
  const LRESULT index = SendMessage(list, LB_GETCARETINDEX, 0, 0);
  std::string text;
  const LRESULT length =
      ListHasTexts(list) ? SendMessage(list, LB_GETTEXTLEN, static_cast<WPARAM>(index), 0) : 0;
  if (length > 0) {
    text.assign(static_cast<size_t>(length), '\0');
    SendMessage(list, LB_GETTEXT, static_cast<WPARAM>(index),
                reinterpret_cast<LPARAM>(text.data()));
  }
  return ItemValue(text, index, SendMessage(list, LB_GETCOUNT, 0, 0));
}

// The list view's focused item by its first column; a longer text is
// read as far as it goes.
std::string ListViewValueOf(HWND view) {
  constexpr int32_t kItemTextBytes = 260;
  const LRESULT index = SendMessage(view, LVM_GETNEXTITEM, static_cast<WPARAM>(-1), LVNI_FOCUSED);
  std::string text(kItemTextBytes, '\0');
  LVITEMA item;
  item.pszText = text.data();
  item.cchTextMax = kItemTextBytes;
  const LRESULT length = index < 0 ? 0
                                   : SendMessage(view, LVM_GETITEMTEXT, static_cast<WPARAM>(index),
                                                 reinterpret_cast<LPARAM>(&item));
  text.resize(static_cast<size_t>(length));
  return ItemValue(text, index, SendMessage(view, LVM_GETITEMCOUNT, 0, 0));
}

// A combo box shows its selected item as its text.
std::string ComboValueOf(HWND combo) {
  return ItemValue(GetWindowText(combo), SendMessage(combo, CB_GETCURSEL, 0, 0),
                   SendMessage(combo, CB_GETCOUNT, 0, 0));
}

// A message box's value is its current button.
std::string CurrentButtonOf(HWND box) {
  const std::optional<MessageBoxReading> reading = MessageBoxReadingOf(box);
  if (!reading) return {};
  return Joined({reading->currentButton, WordOf(ControlKind::kPushButton)});
}

std::string ValueOf(HWND control, ControlKind kind) {
  if (kind == ControlKind::kMessageBox) return CurrentButtonOf(control);
  if (kind == ControlKind::kList) return ListValueOf(control);
  if (kind == ControlKind::kComboBox) return ComboValueOf(control);
  if (kind == ControlKind::kListView) return ListViewValueOf(control);
  if (kind == ControlKind::kEdit) {
    const std::string text = GetWindowText(control);
    return text.empty() ? kBlankWord : text;
  }
  return CheckOf(control, kind);
}

std::string CaptionOf(HWND window) {
  const HWND root = GetAncestor(window, GA_ROOT);
  if (!IsDialog(root) && KindOf(root) != ControlKind::kMessageBox) return {};
  return Joined({GetWindowText(root), kDialogWord});
}

class WindowReader {
 public:
  void Set(reader::ReadWindowFn reader) { reader_.store(reader); }

  void Read(const std::string& text, int event) const {
    const reader::ReadWindowFn reader = reader_.load();
    if (reader != nullptr && !text.empty()) reader(text.c_str(), event);
  }

  // Whether the focus has come into another top-level window since the
  // last reading; the caption is read once for each time it comes in.
  bool EntersNewRoot(HWND window) {
    const HWND root = GetAncestor(window, GA_ROOT);
    std::lock_guard lock(mutex_);
    const bool entered = root != lastRoot_;
    lastRoot_ = root;
    return entered;
  }

 private:
  std::atomic<reader::ReadWindowFn> reader_{nullptr};
  std::mutex mutex_;
  HWND lastRoot_ = kNoWindow;
};

WindowReader& Reader() {
  static WindowReader reader;
  return reader;
}

}  // namespace

void SetWindowReader(reader::ReadWindowFn reader) { Reader().Set(reader); }

std::string FocusReadingOf(HWND window, bool withCaption) {
  const ControlKind kind = KindOf(window);
  const std::string caption = withCaption ? CaptionOf(window) : std::string{};
  if (kind == ControlKind::kNone) {
    return GetAncestor(window, GA_ROOT) == window ? caption : std::string{};
  }
  if (kind == ControlKind::kMessageBox) {
    const std::optional<MessageBoxReading> reading = MessageBoxReadingOf(window);
    const std::string text = withCaption && reading ? reading->text : std::string{};
    return Joined({caption, text, CurrentButtonOf(window)});
  }
  const DWORD style = StyleOf(window);
  const bool isDefault =
      kind == ControlKind::kPushButton && ButtonKindOf(style) == BS_DEFPUSHBUTTON;
  return Joined({caption, LabelOf(window, kind), WordOf(kind), isDefault ? kDefaultWord : "",
                 IsWindowEnabled(window) ? "" : kDisabledWord, ValueOf(window, kind)});
}

std::string ValueReadingOf(HWND control) { return ValueOf(control, KindOf(control)); }

void ReportFocusMoved(HWND window) {
  const bool entered = Reader().EntersNewRoot(window);
  Reader().Read(FocusReadingOf(window, entered), reader::kReadFocus);
}

void ReportValueChanged(HWND control) {
  if (GetFocus() != control) return;
  Reader().Read(ValueReadingOf(control), reader::kReadValue);
}

void ReportCaretMoved(HWND edit, std::string_view atCaret) {
  if (GetFocus() != edit) return;
  Reader().Read(atCaret.empty() ? std::string(kBlankWord) : std::string(atCaret),
                reader::kReadValue);
}

}  // namespace platform
