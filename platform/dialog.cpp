#include "platform/dialog.h"

#include <algorithm>
#include <charconv>
#include <cstdio>
#include <memory>
#include <optional>
#include <string_view>
#include <vector>

#include "platform/batch_run.h"
#include "platform/button.h"
#include "platform/control_notify.h"
#include "platform/control_state.h"
#include "platform/dialog_template.h"
#include "platform/display_backend.h"
#include "platform/input.h"
#include "platform/menu_text.h"
#include "platform/message_box.h"
#include "platform/message_loop.h"
#include "platform/muldiv.h"
#include "platform/paint.h"
#include "platform/sjis.h"
#include "platform/static_control.h"
#include "platform/system_classes.h"
#include "platform/system_info.h"
#include "platform/ui_font.h"

namespace platform {

namespace {

// Dialog units: a quarter of the average character width, an eighth of
// the character height.
constexpr int32_t kUnitsPerCharWidth = 4;
constexpr int32_t kUnitsPerCharHeight = 8;
constexpr char kAverageSample[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz";
constexpr int32_t kAverageSampleLength = sizeof(kAverageSample) - 1;
// Where no font can be had at all: a common 8 by 16 character cell.
constexpr SIZE kFallbackBaseUnits{8, 16};
constexpr WPARAM kNextTabStop = 0;
constexpr int32_t kPointsPerInch = 72;

// What CreateDialogParam hands the dialog's window when it is made.
struct DialogCreation {
  std::shared_ptr<const LoadedDialog> loaded;
  DLGPROC proc = nullptr;
};

LRESULT MakeLong(int32_t low, LRESULT high) {
  return static_cast<LRESULT>((static_cast<uint32_t>(low) & 0xFFFF) |
                              (static_cast<uint32_t>(high & 0xFFFF) << 16));
}

DWORD StyleOf(HWND window) { return static_cast<DWORD>(GetWindowLongPtr(window, GWL_STYLE)); }

UniqueFont CreateDialogFont(const std::string& face, int32_t points) {
  if (!face.empty()) {
    LOGFONTA font;
    font.lfHeight = -MulDiv(points, GetDeviceCaps(GetDesktopDC(), LOGPIXELSY), kPointsPerInch);
    font.lfWeight = FW_NORMAL;
    face.copy(font.lfFaceName, std::min(face.size(), sizeof(font.lfFaceName) - 1));
    if (UniqueFont made = CreateFontIndirectA(font)) return made;
  }
  return CreateUiFont(points);
}

// The font's average character width and its height, in pixels.
SIZE BaseUnitsOf(HFONT font) {
  const UniqueDC dc = CreateCompatibleDC(nullptr);
  if (font != nullptr) SelectObject(dc.get(), font);
  SIZE sample{};
  if (!GetTextExtentPoint32A(dc.get(), kAverageSample, kAverageSampleLength, &sample)) {
    return kFallbackBaseUnits;
  }
  return SIZE{(sample.cx / (kAverageSampleLength / 2) + 1) / 2, sample.cy};
}

RECT UnitsToPixels(const RECT& units, SIZE base) {
  return RECT{MulDiv(units.left, base.cx, kUnitsPerCharWidth),
              MulDiv(units.top, base.cy, kUnitsPerCharHeight),
              MulDiv(units.right, base.cx, kUnitsPerCharWidth),
              MulDiv(units.bottom, base.cy, kUnitsPerCharHeight)};
}

// The control's own visibility: the dialog may not be shown yet.
bool IsEnabledAndVisible(HWND window) {
  return IsWindowEnabled(window) && (GetWindowLongPtr(window, GWL_STYLE) & WS_VISIBLE) != 0;
}

// The dialog's child that holds `window` (itself, or a control's part).
HWND ControlHolding(HWND dialog, HWND window) {
  for (HWND at = window; at != kNoWindow; at = GetParent(at)) {
    if (GetParent(at) == dialog) return at;
  }
  return kNoWindow;
}

class DialogWindow {
 public:
  explicit DialogWindow(HWND window) : window_(window) {}
  ~DialogWindow() {
    if (systemMenu_ != kNoMenu) DestroyMenu(systemMenu_);
  }

  LRESULT Handle(UINT message, WPARAM wParam, LPARAM lParam);

  int32_t templateId() const { return loaded_ != nullptr ? loaded_->id : 0; }
  SIZE baseUnits() const { return base_; }
  HFONT font() const { return font_.get(); }
  bool ended() const { return ended_; }
  intptr_t result() const { return result_; }
  void End(intptr_t result) {
    ended_ = true;
    result_ = result;
  }
  HMENU SystemMenu(bool revert);
  int32_t defaultId() const { return defaultId_; }

  // Makes the controls and sends WM_INITDIALOG; false when a control
  // could not be made.
  bool Populate(LPARAM param);

 private:
  bool CloseEnabled() const;
  void SetDefault(int32_t id);
  void NextControl(WPARAM wParam, LPARAM lParam);
  void FocusFirst();
  LRESULT Colours(WPARAM wParam) const;
  void EraseBackground(HDC dc) const;

  const HWND window_;
  std::shared_ptr<const LoadedDialog> loaded_;
  DLGPROC proc_ = nullptr;
  UniqueFont font_;
  SIZE base_{};
  int32_t defaultId_ = 0;
  HWND savedFocus_ = kNoWindow;
  HMENU systemMenu_ = kNoMenu;
  bool ended_ = false;
  intptr_t result_ = 0;
};

LRESULT DialogWindow::Handle(UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_NCCREATE) {
    const auto* creation =
        static_cast<const DialogCreation*>(CreateParamsOf(lParam)->lpCreateParams);
    // Only CreateDialogParam makes dialogs: the template is needed.
    if (creation == nullptr || creation->loaded == nullptr) return 0;
    loaded_ = creation->loaded;
    proc_ = creation->proc;
    font_ = CreateDialogFont(loaded_->face, loaded_->points);
    base_ = BaseUnitsOf(font_.get());
    return DefWindowProc(window_, message, wParam, lParam);
  }
  intptr_t answer = 0;
  if (proc_ != nullptr && message != WM_NCDESTROY) answer = proc_(window_, message, wParam, lParam);
  if (message == WM_INITDIALOG) return proc_ != nullptr ? answer : 1;
  if (answer != 0) return answer;
  switch (message) {
    case WM_CLOSE:
      if (CloseEnabled()) {
        SendMessage(window_, WM_COMMAND, MakeWParam(IDCANCEL, BN_CLICKED),
                    static_cast<LPARAM>(GetDlgItem(window_, IDCANCEL)));
      }
      return 0;
    case DM_GETDEFID:
      return defaultId_ != 0 ? MakeLong(defaultId_, DC_HASDEFID) : 0;
    case DM_SETDEFID:
      SetDefault(static_cast<int32_t>(wParam));
      return 1;
    case WM_NEXTDLGCTL:
      NextControl(wParam, lParam);
      return 0;
    case WM_GETFONT:
      return reinterpret_cast<LRESULT>(font_.get());
    case WM_SETFOCUS:
      if (IsWindow(savedFocus_) && IsChild(window_, savedFocus_)) {
        SetFocus(savedFocus_);
      } else {
        FocusFirst();
      }
      return 0;
    case WM_ACTIVATE:
      if (wParam == WA_INACTIVE) {
        const HWND focus = GetFocus();
        if (IsChild(window_, focus)) savedFocus_ = focus;
      }
      return DefWindowProc(window_, message, wParam, lParam);
    case WM_ERASEBKGND:
      EraseBackground(ColourDCOf(wParam));
      return 1;
    default:
      if (IsCtlColorMessage(message)) return Colours(wParam);
      return DefWindowProc(window_, message, wParam, lParam);
  }
}

bool DialogWindow::Populate(LPARAM param) {
  SendMessage(window_, WM_SETFONT, reinterpret_cast<WPARAM>(font_.get()), 0);
  for (const LoadedControl& row : loaded_->controls) {
    const RECT pixels = UnitsToPixels(row.units, base_);
    const HWND control = CreateWindowEx(0, row.className.c_str(), row.text.c_str(),
                                        row.style | WS_CHILD | WS_VISIBLE, pixels.left, pixels.top,
                                        pixels.Width(), pixels.Height(), window_, row.id, nullptr);
    if (control == kNoWindow) return false;
    // Row order is Z order and tab order: each control goes below the ones before.
    SetWindowPos(control, HWND_BOTTOM, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    SendMessage(control, WM_SETFONT, reinterpret_cast<WPARAM>(font_.get()), 0);
    if ((SendMessage(control, WM_GETDLGCODE, 0, 0) & DLGC_DEFPUSHBUTTON) != 0 && defaultId_ == 0)
      defaultId_ = row.id;
  }
  if (SendMessage(window_, WM_INITDIALOG, 0, param) != 0) FocusFirst();
  return true;
}

bool DialogWindow::CloseEnabled() const {
  if (systemMenu_ == kNoMenu) return true;
  return (GetMenuState(systemMenu_, SC_CLOSE, MF_BYCOMMAND) & (MF_GRAYED | MF_DISABLED)) == 0;
}

HMENU DialogWindow::SystemMenu(bool revert) {
  if (revert) {
    if (systemMenu_ != kNoMenu) DestroyMenu(systemMenu_);
    systemMenu_ = kNoMenu;
    return kNoMenu;
  }
  if (systemMenu_ == kNoMenu) {
    systemMenu_ = CreatePopupMenu();
    // 閉じる(&C)
    AppendMenu(systemMenu_, MF_STRING, SC_CLOSE, "\x95\xc2\x82\xb6\x82\xe9(&C)");
  }
  return systemMenu_;
}

// The old default button turns into a plain one and the new one into the default.
void DialogWindow::SetDefault(int32_t id) {
  const HWND old = GetDlgItem(window_, defaultId_);
  if (old != kNoWindow && IsPushKind(ButtonKindOf(StyleOf(old))))
    SendMessage(old, BM_SETSTYLE, BS_PUSHBUTTON, MakeLParam(1, 0));
  defaultId_ = id;
  const HWND next = GetDlgItem(window_, id);
  if (next != kNoWindow && IsPushKind(ButtonKindOf(StyleOf(next))))
    SendMessage(next, BM_SETSTYLE, BS_DEFPUSHBUTTON, MakeLParam(1, 0));
}

void DialogWindow::NextControl(WPARAM wParam, LPARAM lParam) {
  HWND target = kNoWindow;
  if (LowWord(lParam) != 0) {
    target = static_cast<HWND>(wParam);
  } else {
    const HWND current = ControlHolding(window_, GetFocus());
    target = GetNextDlgTabItem(window_, current, wParam != kNextTabStop);
  }
  if (target != kNoWindow && IsChild(window_, target)) SetFocus(target);
}

void DialogWindow::FocusFirst() {
  const HWND first = GetNextDlgTabItem(window_, kNoWindow, false);
  SetFocus(first != kNoWindow ? first : window_);
}

LRESULT DialogWindow::Colours(WPARAM wParam) const {
  const HDC dc = ColourDCOf(wParam);
  SetTextColor(dc, GetSysColor(COLOR_WINDOWTEXT));
  SetBkColor(dc, GetSysColor(COLOR_3DFACE));
  return BrushAnswer(GetSysColorBrush(COLOR_3DFACE));
}

void DialogWindow::EraseBackground(HDC dc) const {
  RECT client;
  GetClientRect(window_, &client);
  FillRect(dc, client, GetSysColorBrush(COLOR_3DFACE));
}

ControlStates<DialogWindow>& Dialogs() {
  static ControlStates<DialogWindow> dialogs;
  return dialogs;
}

std::shared_ptr<DialogWindow> DialogOf(HWND window) {
  if (!IsWindow(window)) return nullptr;
  return Dialogs().Find(window);
}

// ---- The keyboard interface ------------------------------------------------

class DialogKeys {
 public:
  DialogKeys(HWND dialog, MSG* msg)
      : dialog_(dialog),
        msg_(msg),
        code_(SendMessage(msg->hwnd, WM_GETDLGCODE, msg->wParam, reinterpret_cast<LPARAM>(msg))) {}

  // Whether the message was a navigation key the dialog took.
  bool Take() {
    if (msg_->message == WM_KEYDOWN) return TakeKey();
    if (msg_->message == WM_CHAR) return !Wants(DLGC_WANTCHARS) && TakeMnemonic();
    if (msg_->message == WM_SYSCHAR) return TakeMnemonic();
    return false;
  }

 private:
  bool Wants(LRESULT bits) const { return (code_ & bits) != 0; }

  bool TakeKey() {
    switch (msg_->wParam) {
      case VK_TAB:
        if (Wants(DLGC_WANTTAB | DLGC_WANTMESSAGE)) return false;
        SendMessage(dialog_, WM_NEXTDLGCTL, GetKeyState(VK_SHIFT) < 0 ? 1 : 0, 0);
        return true;
      case VK_LEFT:
      case VK_UP:
      case VK_RIGHT:
      case VK_DOWN:
        if (Wants(DLGC_WANTARROWS | DLGC_WANTMESSAGE)) return false;
        MoveInGroup(msg_->wParam == VK_LEFT || msg_->wParam == VK_UP);
        return true;
      case VK_RETURN:
        if (Wants(DLGC_WANTMESSAGE)) return false;
        PressEnter();
        return true;
      case VK_ESCAPE:
        if (Wants(DLGC_WANTMESSAGE)) return false;
        Command(IDCANCEL, GetDlgItem(dialog_, IDCANCEL));
        return true;
      default:
        return false;
    }
  }

  // Labels in the group are passed over: they never take the focus.
  void MoveInGroup(bool previous) {
    const HWND current = ControlHolding(dialog_, msg_->hwnd);
    HWND next = GetNextDlgGroupItem(dialog_, current, previous);
    while (next != current && next != kNoWindow && IsLabel(next))
      next = GetNextDlgGroupItem(dialog_, next, previous);
    if (next == kNoWindow || next == current) return;
    SetFocus(next);
    if (IsAutoRadio(next)) SendMessage(next, BM_CLICK, 0, 0);
  }

  static bool IsLabel(HWND control) {
    return (SendMessage(control, WM_GETDLGCODE, 0, 0) & DLGC_STATIC) != 0;
  }

  void PressEnter() {
    const HWND focus = ControlHolding(dialog_, msg_->hwnd);
    if (Wants(DLGC_DEFPUSHBUTTON | DLGC_UNDEFPUSHBUTTON) && IsWindowEnabled(focus)) {
      Command(GetDlgCtrlID(focus), focus);
      return;
    }
    const LRESULT defaultId = SendMessage(dialog_, DM_GETDEFID, 0, 0);
    const int32_t id =
        HighWord(defaultId) == DC_HASDEFID ? static_cast<int32_t>(LowWord(defaultId)) : IDOK;
    const HWND button = GetDlgItem(dialog_, id);
    if (button != kNoWindow && !IsWindowEnabled(button)) return;
    Command(id, button);
  }

  bool TakeMnemonic() {
    const char key = MnemonicKey(static_cast<char>(msg_->wParam & 0xFF));
    if (key == 0) return false;
    for (HWND child = GetWindow(dialog_, GW_CHILD); child != kNoWindow;
         child = GetWindow(child, GW_HWNDNEXT)) {
      if (!IsEnabledAndVisible(child) || MnemonicOf(child) != key) continue;
      Choose(child);
      return true;
    }
    return false;
  }

  static char MnemonicOf(HWND control) {
    const LRESULT code = SendMessage(control, WM_GETDLGCODE, 0, 0);
    const bool labelled = (code & (DLGC_BUTTON | DLGC_STATIC)) != 0;
    if (!labelled) return 0;
    std::string className;
    GetClassName(control, &className);
    if (className == kStaticClass && (StyleOf(control) & SS_NOPREFIX) != 0) return 0;
    return ParseMenuText(GetWindowText(control)).mnemonicKey;
  }

  // A label's mnemonic goes to the control after it; a button's presses it.
  void Choose(HWND control) {
    const LRESULT code = SendMessage(control, WM_GETDLGCODE, 0, 0);
    if (IsLabel(control)) {
      for (HWND next = GetWindow(control, GW_HWNDNEXT); next != kNoWindow;
           next = GetWindow(next, GW_HWNDNEXT)) {
        if ((StyleOf(next) & WS_TABSTOP) != 0 && IsEnabledAndVisible(next)) {
          SetFocus(next);
          return;
        }
      }
      return;
    }
    if ((code & (DLGC_DEFPUSHBUTTON | DLGC_UNDEFPUSHBUTTON)) != 0) {
      Command(GetDlgCtrlID(control), control);
      return;
    }
    SetFocus(control);
    SendMessage(control, BM_CLICK, 0, 0);
  }

  static bool IsAutoRadio(HWND control) {
    return SendMessage(control, WM_GETDLGCODE, 0, 0) == (DLGC_BUTTON | DLGC_RADIOBUTTON);
  }

  void Command(int32_t id, HWND control) const {
    SendMessage(dialog_, WM_COMMAND, MakeWParam(static_cast<UINT>(id), BN_CLICKED),
                static_cast<LPARAM>(control));
  }

  const HWND dialog_;
  MSG* const msg_;
  const LRESULT code_;
};

// The controls of the dialog from the first to the last, in Z order.
std::vector<HWND> ControlsOf(HWND dialog) {
  std::vector<HWND> controls;
  for (HWND child = GetWindow(dialog, GW_CHILD); child != kNoWindow;
       child = GetWindow(child, GW_HWNDNEXT)) {
    controls.push_back(child);
  }
  return controls;
}

// The first control found going round from `from` (exclusive) that
// `fits`; from nothing, the first (or last) that does.
HWND FindRound(const std::vector<HWND>& controls, HWND from, bool previous,
               const std::function<bool(HWND)>& fits) {
  const auto count = static_cast<ptrdiff_t>(controls.size());
  if (count == 0) return kNoWindow;
  const auto at = std::find(controls.begin(), controls.end(), from);
  ptrdiff_t start = at == controls.end() ? (previous ? 0 : count - 1) : at - controls.begin();
  const ptrdiff_t step = previous ? -1 : 1;
  for (ptrdiff_t turn = 1; turn <= count; ++turn) {
    const HWND candidate =
        controls[static_cast<size_t>(((start + step * turn) % count + count) % count)];
    if (fits(candidate)) return candidate;
  }
  return kNoWindow;
}

bool NoOneToAnswer() {
  return IsBatchRun() || (CurrentDisplay().EventDescriptor() < 0 && !HasIdleHook());
}

std::string ForStandardError(const std::string& text) { return SjisToUtf8(text).value_or(text); }

// No one could answer the dialog: its default button answers for a user.
intptr_t AnswerDefault(HWND dialog, const DialogWindow& state) {
  std::fprintf(stderr, "%s\n", ForStandardError(GetWindowText(dialog)).c_str());
  const int32_t id = state.defaultId() != 0 ? state.defaultId() : IDOK;
  SendMessage(dialog, WM_COMMAND, MakeWParam(static_cast<UINT>(id), BN_CLICKED),
              static_cast<LPARAM>(GetDlgItem(dialog, id)));
  // A dialog that refused its default answer (a check that failed) is cancelled.
  return state.ended() ? state.result() : IDCANCEL;
}

// Gives the activation back to the window that had it and the focus to
// the control in it that had that.
void Reactivate(HWND window, HWND focus) {
  if (!IsWindow(window) || !IsWindowVisible(window)) return;
  SetActiveWindow(window);
  if (IsWindow(focus) && GetAncestor(focus, GA_ROOT) == window) SetFocus(focus);
}

// Over the owner's middle, or the screen's without one.
POINT PlaceOf(SIZE size, HWND owner) {
  RECT area{0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)};
  if (owner != kNoWindow) GetWindowRect(owner, &area);
  return POINT{std::max(0, (area.left + area.right - size.cx) / 2),
               std::max(0, (area.top + area.bottom - size.cy) / 2)};
}

}  // namespace

LRESULT DialogProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  return Dialogs().Dispatch(window, message, wParam, lParam);
}

HWND CreateDialogParam(int32_t templateId, HWND owner, DLGPROC proc, LPARAM param) {
  DialogCreation creation{FindDialogTemplate(templateId), proc};
  if (creation.loaded == nullptr) return kNoWindow;
  const HWND top = IsWindow(owner) ? GetAncestor(owner, GA_ROOT) : kNoWindow;
  const UniqueFont font = CreateDialogFont(creation.loaded->face, creation.loaded->points);
  const RECT pixels = UnitsToPixels(
      RECT{0, 0, creation.loaded->units.cx, creation.loaded->units.cy}, BaseUnitsOf(font.get()));
  const SIZE size{pixels.Width(), pixels.Height()};
  const POINT place = PlaceOf(size, top);
  const HWND dialog = CreateWindowEx(0, kDialogClass, creation.loaded->caption.c_str(),
                                     WS_POPUP | WS_CAPTION | WS_SYSMENU, place.x, place.y, size.cx,
                                     size.cy, top, 0, &creation);
  if (dialog == kNoWindow) return kNoWindow;
  const std::shared_ptr<DialogWindow> state = DialogOf(dialog);
  if (state == nullptr || !state->Populate(param)) {
    DestroyWindow(dialog);
    return kNoWindow;
  }
  return dialog;
}

intptr_t RunModalDialog(HWND dialog, const std::function<bool(MSG*)>& filter) {
  const std::shared_ptr<DialogWindow> state = DialogOf(dialog);
  if (state == nullptr) return -1;
  const HWND top = GetWindow(dialog, GW_OWNER);
  const HWND previousActive = GetActiveWindow();
  const HWND previousFocus = GetFocus();
  intptr_t result = 0;
  if (NoOneToAnswer()) {
    result = AnswerDefault(dialog, *state);
  } else {
    // EnableWindow answers whether the owner was disabled already; then it stays so.
    const bool disabledOwner = top != kNoWindow && !EnableWindow(top, false);
    ShowWindow(dialog, SW_SHOW);
    LoopExit exit;
    exit.done = [&state, dialog] { return state->ended() || !IsWindow(dialog); };
    exit.filter = filter ? filter : [dialog](MSG* msg) { return IsDialogMessage(dialog, msg); };
    RunNestedLoop(exit);
    result = state->ended() ? state->result() : 0;
    // The owner is enabled before the dialog goes, so that it can take the activation back.
    if (disabledOwner && IsWindow(top)) EnableWindow(top, true);
  }
  if (IsWindow(dialog)) DestroyWindow(dialog);
  Reactivate(top != kNoWindow ? top : previousActive, previousFocus);
  return result;
}

intptr_t DialogBoxParam(int32_t templateId, HWND owner, DLGPROC proc, LPARAM param) {
  const HWND dialog = CreateDialogParam(templateId, owner, proc, param);
  if (dialog == kNoWindow) return -1;
  return RunModalDialog(dialog, {});
}

bool EndDialog(HWND dialog, intptr_t result) {
  const std::shared_ptr<DialogWindow> state = DialogOf(dialog);
  if (state == nullptr) return false;
  state->End(result);
  return true;
}

int32_t DialogTemplateIdOf(HWND window) {
  const std::shared_ptr<DialogWindow> state = DialogOf(window);
  return state != nullptr ? state->templateId() : 0;
}

bool IsDialog(HWND window) { return DialogOf(window) != nullptr; }

bool IsDialogMessage(HWND dialog, MSG* msg) {
  if (msg == nullptr || !IsWindow(dialog)) return false;
  if (msg->hwnd != dialog && !IsChild(dialog, msg->hwnd)) return false;
  if (DialogKeys(dialog, msg).Take()) return true;
  TranslateMessage(msg);
  DispatchMessage(msg);
  return true;
}

HWND GetNextDlgTabItem(HWND dialog, HWND control, bool previous) {
  return FindRound(ControlsOf(dialog), control, previous, [](HWND candidate) {
    return (StyleOf(candidate) & WS_TABSTOP) != 0 && IsEnabledAndVisible(candidate);
  });
}

HWND GetNextDlgGroupItem(HWND dialog, HWND control, bool previous) {
  const std::vector<HWND> all = ControlsOf(dialog);
  const auto at = std::find(all.begin(), all.end(), control);
  if (at == all.end()) return kNoWindow;
  auto first = at;
  while (first != all.begin() && (StyleOf(*first) & WS_GROUP) == 0) --first;
  auto last = at + 1;
  while (last != all.end() && (StyleOf(*last) & WS_GROUP) == 0) ++last;
  const std::vector<HWND> group(first, last);
  const HWND found = FindRound(group, control, previous, IsEnabledAndVisible);
  return found != kNoWindow ? found : control;
}

bool MapDialogRect(HWND dialog, RECT* rect) {
  const std::shared_ptr<DialogWindow> state = DialogOf(dialog);
  if (state == nullptr || rect == nullptr) return false;
  *rect = UnitsToPixels(*rect, state->baseUnits());
  return true;
}

LRESULT SendDlgItemMessage(HWND dialog, int32_t id, UINT message, WPARAM wParam, LPARAM lParam) {
  const HWND control = GetDlgItem(dialog, id);
  return control != kNoWindow ? SendMessage(control, message, wParam, lParam) : 0;
}

bool SetDlgItemText(HWND dialog, int32_t id, const char* text) {
  const HWND control = GetDlgItem(dialog, id);
  return control != kNoWindow && SetWindowText(control, text != nullptr ? text : "");
}

uint32_t GetDlgItemText(HWND dialog, int32_t id, char* buffer, int32_t size) {
  if (buffer == nullptr || size <= 0) return 0;
  const HWND control = GetDlgItem(dialog, id);
  const std::string text = control != kNoWindow ? GetWindowText(control) : std::string();
  // Whole characters only: a lead byte without its trail is left out.
  size_t length = 0;
  while (length < text.size()) {
    const size_t next = length + CharLengthAt(text, length);
    if (next > static_cast<size_t>(size - 1)) break;
    length = next;
  }
  text.copy(buffer, length);
  buffer[length] = '\0';
  return static_cast<uint32_t>(length);
}

bool SetDlgItemInt(HWND dialog, int32_t id, uint32_t value, bool isSigned) {
  const std::string text =
      isSigned ? std::to_string(static_cast<int32_t>(value)) : std::to_string(value);
  return SetDlgItemText(dialog, id, text.c_str());
}

uint32_t GetDlgItemInt(HWND dialog, int32_t id, bool* translated, bool isSigned) {
  if (translated != nullptr) *translated = false;
  const HWND control = GetDlgItem(dialog, id);
  if (control == kNoWindow) return 0;
  const std::string text = GetWindowText(control);
  std::string_view digits = text;
  while (!digits.empty() && digits.front() == ' ') digits.remove_prefix(1);
  while (!digits.empty() && digits.back() == ' ') digits.remove_suffix(1);
  if (digits.empty() || digits.front() == '+') return 0;
  uint32_t value = 0;
  if (isSigned) {
    int32_t signedValue = 0;
    const auto [end, error] =
        std::from_chars(digits.data(), digits.data() + digits.size(), signedValue);
    if (error != std::errc() || end != digits.data() + digits.size()) return 0;
    value = static_cast<uint32_t>(signedValue);
  } else {
    const auto [end, error] = std::from_chars(digits.data(), digits.data() + digits.size(), value);
    if (error != std::errc() || end != digits.data() + digits.size()) return 0;
  }
  if (translated != nullptr) *translated = true;
  return value;
}

bool CheckDlgButton(HWND dialog, int32_t id, UINT check) {
  const HWND control = GetDlgItem(dialog, id);
  if (control == kNoWindow) return false;
  SendMessage(control, BM_SETCHECK, check, 0);
  return true;
}

UINT IsDlgButtonChecked(HWND dialog, int32_t id) {
  return static_cast<UINT>(SendDlgItemMessage(dialog, id, BM_GETCHECK, 0, 0));
}

bool CheckRadioButton(HWND dialog, int32_t first, int32_t last, int32_t check) {
  bool found = false;
  for (HWND child = GetWindow(dialog, GW_CHILD); child != kNoWindow;
       child = GetWindow(child, GW_HWNDNEXT)) {
    const int32_t id = GetDlgCtrlID(child);
    if (id < first || id > last) continue;
    SendMessage(child, BM_SETCHECK, id == check ? BST_CHECKED : BST_UNCHECKED, 0);
    found = found || id == check;
  }
  return found;
}

HMENU GetSystemMenu(HWND window, bool revert) {
  const std::shared_ptr<DialogWindow> state = DialogOf(window);
  return state != nullptr ? state->SystemMenu(revert) : kNoMenu;
}

}  // namespace platform
