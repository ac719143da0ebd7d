#include "platform/x11/x11_backend.h"

#include <atomic>
#include <bit>
#include <cstdio>
#include <optional>
#include <string_view>
#include <unordered_map>
#include <utility>
#include <vector>

#include "platform/caret.h"
#include "platform/cursor.h"
#include "platform/gdi.h"
#include "platform/input.h"
#include "platform/message_box.h"
#include "platform/paint.h"
#include "platform/placement.h"
#include "platform/region.h"
#include "platform/sjis.h"
#include "platform/window.h"
#include "platform/x11/committed_text.h"
#include "platform/x11/cursor_bitmaps.h"
#include "platform/x11/key_map.h"
#include "platform/x11/program_icon.h"

// They include Xlib.
#include "platform/x11/clipboard_selection.h"
#include "platform/x11/input_method.h"

// Xlib's macros (StandardCursor, None, Bool) would clash with our names, so
// its headers come last.
#include <X11/XKBlib.h>
#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <X11/cursorfont.h>
#include <X11/extensions/shape.h>
#include <X11/keysym.h>

namespace platform::x11 {

namespace {

constexpr DWORD WS_DLGFRAME = 0x00400000;
constexpr DWORD kFrameStyles = WS_BORDER | WS_DLGFRAME;
constexpr int32_t kWheelDelta = 120;
constexpr int kPixelBits = 32;
constexpr unsigned long kRedMask = 0x00FF0000;
constexpr unsigned long kGreenMask = 0x0000FF00;
constexpr unsigned long kBlueMask = 0x000000FF;
constexpr unsigned short kFullIntensity = 0xFFFF;
// Who asks the window manager to activate a window: an application.
constexpr long kActivationByApplication = 1;
constexpr long kWmStateLength = 2;

constexpr long kWindowEvents = ExposureMask | StructureNotifyMask | FocusChangeMask | KeyPressMask |
                               KeyReleaseMask | ButtonPressMask | ButtonReleaseMask |
                               PointerMotionMask | PropertyChangeMask;
constexpr unsigned kFirstKeycode = 8;
constexpr uint16_t kKeyStateDown = 0x8000;
constexpr int kBaseLevel = 0;
constexpr int kNumLockLevel = 1;

// The modifiers the window system keeps a key state of, and their keys.
struct ModifierKey {
  unsigned mask;
  BYTE vk;
};
constexpr ModifierKey kModifierKeys[] = {
    {ShiftMask, VK_SHIFT},
    {ControlMask, VK_CONTROL},
    {Mod1Mask, VK_MENU},
};

bool IsKeypadMotion(KeySym keysym) { return keysym >= XK_KP_Home && keysym <= XK_KP_Delete; }

// The layout by the name of the server's keyboard symbols ("pc+jp+..." for
// a Japanese keyboard).
KeyboardLayout LayoutOf(Display* display) {
  KeyboardLayout layout = KeyboardLayout::kUs;
  XkbDescPtr keyboard = XkbAllocKeyboard();
  if (keyboard == nullptr) return layout;
  if (XkbGetNames(display, XkbSymbolsNameMask, keyboard) == Success &&
      keyboard->names->symbols != 0) {
    char* name = XGetAtomName(display, keyboard->names->symbols);
    if (name != nullptr && std::string_view(name).find("jp") != std::string_view::npos)
      layout = KeyboardLayout::kJp106;
    XFree(name);
  }
  XkbFreeKeyboard(keyboard, 0, True);
  return layout;
}

constexpr unsigned kGrabEvents = ButtonPressMask | ButtonReleaseMask | PointerMotionMask;

struct StandardCursor {
  HCURSOR id;
  unsigned shape;
};
constexpr StandardCursor kStandardCursors[] = {
    {IDC_ARROW, XC_left_ptr},
    {IDC_IBEAM, XC_xterm},
    {IDC_WAIT, XC_watch},
    {IDC_CROSS, XC_crosshair},
    {IDC_UPARROW, XC_center_ptr},
    {IDC_SIZENWSE, XC_bottom_right_corner},
    {IDC_SIZENESW, XC_bottom_left_corner},
    {IDC_SIZEWE, XC_sb_h_double_arrow},
    {IDC_SIZENS, XC_sb_v_double_arrow},
    {IDC_SIZEALL, XC_fleur},
    {IDC_NO, XC_X_cursor},
    {IDC_HAND, XC_hand2},
    {IDC_APPSTARTING, XC_watch},
};

// A handle that is neither standard nor made shows as the arrow.
unsigned StandardCursorOf(HCURSOR cursor) {
  for (const StandardCursor& each : kStandardCursors) {
    if (each.id == cursor) return each.shape;
  }
  return XC_left_ptr;
}

// A failed request (a window the server has already dropped) is reported,
// not fatal: Xlib's default would end the program.
int ReportXError(Display* display, XErrorEvent* error) {
  char text[256];
  XGetErrorText(display, error->error_code, text, sizeof text);
  std::fprintf(stderr, "lexora: X request %d failed: %s\n", error->request_code, text);
  return 0;
}

// Menus, tips and other popups without a frame are placed by us alone;
// message boxes are dialogs that the window manager decorates.
bool PlacedByUs(HWND window) {
  const auto style = static_cast<DWORD>(GetWindowLong(window, GWL_STYLE));
  if ((style & WS_POPUP) == 0 || (style & kFrameStyles) != 0) return false;
  std::string className;
  return !GetClassName(window, &className) || className != kMessageBoxClass;
}

}  // namespace

struct NativeWindow {
  Window window = 0;
  // Where the server last said (or was told) the window is.
  RECT known;
  // Whether the window manager was last told, or last said, that the
  // window is an icon.
  bool iconic = false;
  // Told and not yet seen done: until then the state the window manager
  // shows may be from before.
  bool asked = false;
};

struct X11Backend::State {
  Display* display = nullptr;
  int screen = 0;
  Atom wmProtocols = 0;
  Atom wmDeleteWindow = 0;
  Atom netWmName = 0;
  Atom utf8String = 0;
  Atom netWmIcon = 0;
  Atom netActiveWindow = 0;
  Atom wmState = 0;
  // Our window that has the keyboard, if one has.
  Window focused = 0;
  // When the user last pressed a key or a button in our windows.
  Time userTime = CurrentTime;
  GC gc = nullptr;
  std::unordered_map<HWND, NativeWindow> windows;
  std::unordered_map<Window, HWND> handles;
  std::unordered_map<unsigned, Cursor> cursors;
  Cursor blank = 0;
  Cursor shown = 0;
  // The cursor made from masks that is shown, if it is; made anew each
  // time, since a made handle may be destroyed and its number used again.
  Cursor made = 0;
  bool hasShape = false;
  KeyboardLayout layout = KeyboardLayout::kUs;
  unsigned numLockMask = 0;
  std::unique_ptr<ClipboardSelection> selection;
  std::unique_ptr<InputMethod> inputMethod;

  ~State() {
    selection.reset();
    inputMethod.reset();
    for (const auto& [handle, native] : windows) XDestroyWindow(display, native.window);
    for (const auto& [shape, cursor] : cursors) XFreeCursor(display, cursor);
    if (made != 0) XFreeCursor(display, made);
    if (blank != 0) XFreeCursor(display, blank);
    if (gc != nullptr) XFreeGC(display, gc);
    XCloseDisplay(display);
  }

  HWND HandleOf(Window window) const {
    const auto found = handles.find(window);
    return found == handles.end() ? kNoWindow : found->second;
  }
  NativeWindow* Find(HWND window) {
    const auto found = windows.find(window);
    return found == windows.end() ? nullptr : &found->second;
  }

  Cursor CursorFor(HCURSOR cursor) {
    if (cursor == 0) return BlankCursor();
    if (const std::optional<MadeCursorImage> image = MadeCursorImageOf(cursor)) {
      made = MadeCursor(*image);
      return made;
    }
    const unsigned shape = StandardCursorOf(cursor);
    auto [at, added] = cursors.try_emplace(shape, 0);
    if (added) at->second = XCreateFontCursor(display, shape);
    return at->second;
  }
  Cursor MadeCursor(const MadeCursorImage& image) {
    const Window root = RootWindow(display, screen);
    const Pixmap source = XCreateBitmapFromData(
        display, root, reinterpret_cast<const char*>(image.bitmaps.source.data()), image.width,
        image.height);
    const Pixmap mask = XCreateBitmapFromData(
        display, root, reinterpret_cast<const char*>(image.bitmaps.mask.data()), image.width,
        image.height);
    XColor white{};
    white.red = white.green = white.blue = kFullIntensity;
    white.flags = DoRed | DoGreen | DoBlue;
    XColor black{};
    black.flags = DoRed | DoGreen | DoBlue;
    const Cursor cursor = XCreatePixmapCursor(display, source, mask, &white, &black,
                                              static_cast<unsigned>(image.hotSpot.x),
                                              static_cast<unsigned>(image.hotSpot.y));
    XFreePixmap(display, source);
    XFreePixmap(display, mask);
    return cursor;
  }
  Cursor BlankCursor() {
    if (blank != 0) return blank;
    const char bits[1] = {0};
    const Pixmap empty = XCreateBitmapFromData(display, RootWindow(display, screen), bits, 1, 1);
    XColor black{};
    blank = XCreatePixmapCursor(display, empty, empty, &black, &black, 0, 0);
    XFreePixmap(display, empty);
    return blank;
  }

  void SetTitle(HWND window, Window native) {
    const std::optional<std::string> title = SjisToUtf8(GetWindowText(window));
    if (!title) return;
    XChangeProperty(display, native, netWmName, utf8String, 8, PropModeReplace,
                    reinterpret_cast<const unsigned char*>(title->data()),
                    static_cast<int>(title->size()));
    XStoreName(display, native, title->c_str());
  }

  // A request that waited for a reply may have read events into Xlib's
  // queue, where the descriptor no longer shows them: wake the loop.
  void WakeIfQueued(HWND window) const {
    if (XQLength(display) > 0) PostMessage(window, WM_NULL, 0, 0);
  }

  void Handle(const XEvent& event);
  void Exposed(HWND window, const XExposeEvent& event);
  void Configured(HWND window, NativeWindow& native, const XConfigureEvent& event);
  void Focused(HWND window, const XFocusChangeEvent& event);
  bool FocusComesBack() const;
  void Pointer(const XEvent& event);
  void Key(XKeyEvent event);
  void KeepModifiersInStep(unsigned state, BYTE except) const;
  void Message(HWND window, const XClientMessageEvent& event);
  void StateChanged(HWND window, NativeWindow& native);
  std::optional<long> WmStateOf(Window window) const;
  void SetIcon(Window window) const;
};

void X11Backend::State::Handle(const XEvent& event) {
  if (selection->Handle(event)) return;
  const HWND window = HandleOf(event.xany.window);
  if (window == kNoWindow) return;
  switch (event.type) {
    case Expose:
      Exposed(window, event.xexpose);
      break;
    case ConfigureNotify:
      if (NativeWindow* native = Find(window)) Configured(window, *native, event.xconfigure);
      break;
    case FocusIn:
    case FocusOut:
      Focused(window, event.xfocus);
      break;
    case KeyPress:
    case KeyRelease:
      Key(event.xkey);
      break;
    case ButtonPress:
    case ButtonRelease:
    case MotionNotify:
      Pointer(event);
      break;
    case ClientMessage:
      Message(window, event.xclient);
      break;
    case PropertyNotify:
      if (NativeWindow* native = Find(window); native != nullptr && event.xproperty.atom == wmState)
        StateChanged(window, *native);
      break;
    default:
      break;
  }
}

void X11Backend::State::Exposed(HWND window, const XExposeEvent& event) {
  const RECT area{event.x, event.y, event.x + event.width, event.y + event.height};
  RedrawWindow(window, &area, nullptr, RDW_INVALIDATE | RDW_ALLCHILDREN);
}

void X11Backend::State::Configured(HWND window, NativeWindow& native,
                                   const XConfigureEvent& event) {
  POINT origin{event.x, event.y};
  // A window manager's frame makes the event's position its own, unless
  // it sent the event itself with the position on the screen.
  if (!event.send_event) {
    Window child = 0;
    XTranslateCoordinates(display, event.window, RootWindow(display, screen), 0, 0, &origin.x,
                          &origin.y, &child);
  }
  const RECT placed{origin.x, origin.y, origin.x + event.width, origin.y + event.height};
  if (placed == native.known) return;
  native.known = placed;
  SetWindowPos(window, kNoWindow, placed.left, placed.top, placed.Width(), placed.Height(),
               SWP_NOZORDER | SWP_NOACTIVATE);
}

void X11Backend::State::Focused(HWND window, const XFocusChangeEvent& event) {
  // Grabs move the focus only for their while; the pointer's own focus
  // is not the keyboard's.
  if (event.mode == NotifyGrab || event.mode == NotifyUngrab || event.detail == NotifyPointer)
    return;
  inputMethod->Focus(event.window, event.type == FocusIn);
  if (event.type == FocusIn) {
    focused = event.window;
  } else if (focused == event.window) {
    focused = 0;
  }
  if (event.type == FocusIn) {
    // Modifiers pressed or let go while another program had the keyboard.
    XkbStateRec keyboard{};
    if (XkbGetState(display, XkbUseCoreKbd, &keyboard) == Success)
      KeepModifiersInStep(keyboard.mods, 0);
    SetActiveWindow(window);
  } else if (GetActiveWindow() == window && !FocusComesBack()) {
    SetActiveWindow(kNoWindow);
  }
}

// Focus moving between two of our windows comes as a FocusOut with the
// FocusIn right behind it: the program stays active all along.
bool X11Backend::State::FocusComesBack() const {
  if (XEventsQueued(display, QueuedAfterReading) == 0) return false;
  XEvent next;
  XPeekEvent(display, &next);
  return next.type == FocusIn && HandleOf(next.xfocus.window) != kNoWindow;
}

void X11Backend::State::Pointer(const XEvent& event) {
  if (event.type == MotionNotify) {
    mouse_event(MOUSEEVENTF_ABSOLUTE | MOUSEEVENTF_MOVE, event.xmotion.x_root, event.xmotion.y_root,
                0, 0);
    return;
  }
  const XButtonEvent& button = event.xbutton;
  const bool down = event.type == ButtonPress;
  if (down) userTime = button.time;
  DWORD flags = MOUSEEVENTF_ABSOLUTE | MOUSEEVENTF_MOVE;
  int32_t wheel = 0;
  switch (button.button) {
    case Button1:
      flags |= down ? MOUSEEVENTF_LEFTDOWN : MOUSEEVENTF_LEFTUP;
      break;
    case Button3:
      flags |= down ? MOUSEEVENTF_RIGHTDOWN : MOUSEEVENTF_RIGHTUP;
      break;
    case Button4:
    case Button5:
      // The wheel's notches come as presses and releases; one step each.
      if (!down) return;
      flags |= MOUSEEVENTF_WHEEL;
      wheel = button.button == Button4 ? kWheelDelta : -kWheelDelta;
      break;
    default:
      return;
  }
  mouse_event(flags, button.x_root, button.y_root, wheel, 0);
}

void X11Backend::State::KeepModifiersInStep(unsigned state, BYTE except) const {
  for (const ModifierKey& each : kModifierKeys) {
    if (each.vk == except) continue;
    const bool down = (state & each.mask) != 0;
    const bool known = (static_cast<uint16_t>(GetAsyncKeyState(each.vk)) & kKeyStateDown) != 0;
    if (down != known) keybd_event(each.vk, 0, down ? 0 : KEYEVENTF_KEYUP, 0);
  }
}

void X11Backend::State::Key(XKeyEvent event) {
  // While the program's own IME is off, the desktop's input method has
  // the keys first and commits its text as a press without a key.
  if (event.keycode == 0) {
    TypeCommittedText(inputMethod->Committed(event));
    return;
  }
  const auto keycode = static_cast<KeyCode>(event.keycode);
  const int group = XkbGroupForCoreState(event.state);
  KeySym keysym = XkbKeycodeToKeysym(display, keycode, group, kBaseLevel);
  if (IsKeypadMotion(keysym) && (event.state & numLockMask) != 0)
    keysym = XkbKeycodeToKeysym(display, keycode, group, kNumLockLevel);
  const std::optional<VirtualKey> key = VirtualKeyOf(layout, keysym, keycode);
  if (!key) return;
  if (event.type == KeyPress) userTime = event.time;
  KeepModifiersInStep(event.state, key->vk);
  DWORD flags = event.type == KeyRelease ? KEYEVENTF_KEYUP : 0;
  if (key->extended) flags |= KEYEVENTF_EXTENDEDKEY;
  const auto scan = static_cast<BYTE>(keycode >= kFirstKeycode ? keycode - kFirstKeycode : 0);
  keybd_event(key->vk, scan, flags, 0);
}

void X11Backend::State::Message(HWND window, const XClientMessageEvent& event) {
  if (event.message_type == wmProtocols && event.format == 32 &&
      static_cast<Atom>(event.data.l[0]) == wmDeleteWindow) {
    PostMessage(window, WM_CLOSE, 0, 0);
  }
}

// The window manager made the window an icon or showed it again, by the
// user's hand or because we asked.
void X11Backend::State::StateChanged(HWND window, NativeWindow& native) {
  const std::optional<long> state = WmStateOf(native.window);
  if (!state) return;
  const bool iconic = *state == IconicState;
  if (native.asked) {
    native.asked = iconic != native.iconic;
    return;
  }
  if (iconic == native.iconic) return;
  native.iconic = iconic;
  ShowWindow(window, iconic ? SW_SHOWMINNOACTIVE : SW_RESTORE);
}

std::optional<long> X11Backend::State::WmStateOf(Window window) const {
  Atom type = 0;
  int format = 0;
  unsigned long count = 0;
  unsigned long after = 0;
  unsigned char* data = nullptr;
  std::optional<long> state;
  if (XGetWindowProperty(display, window, wmState, 0, kWmStateLength, False, wmState, &type,
                         &format, &count, &after, &data) == Success &&
      data != nullptr && count > 0 && format == 32) {
    state = reinterpret_cast<const long*>(data)[0];
  }
  XFree(data);
  return state;
}

void X11Backend::State::SetIcon(Window window) const {
  // A property of format 32 goes to Xlib as longs, whatever their size.
  const std::vector<uint32_t> icon = ProgramIconProperty();
  const std::vector<long> cardinals(icon.begin(), icon.end());
  XChangeProperty(display, window, netWmIcon, XA_CARDINAL, 32, PropModeReplace,
                  reinterpret_cast<const unsigned char*>(cardinals.data()),
                  static_cast<int>(cardinals.size()));
}

std::unique_ptr<X11Backend> X11Backend::Connect(const char* displayName) {
  Display* display = XOpenDisplay(displayName);
  if (display == nullptr) return nullptr;
  XSetErrorHandler(ReportXError);
  auto state = std::make_unique<State>();
  state->display = display;
  state->screen = DefaultScreen(display);
  state->wmProtocols = XInternAtom(display, "WM_PROTOCOLS", False);
  state->wmDeleteWindow = XInternAtom(display, "WM_DELETE_WINDOW", False);
  state->netWmName = XInternAtom(display, "_NET_WM_NAME", False);
  state->utf8String = XInternAtom(display, "UTF8_STRING", False);
  state->netWmIcon = XInternAtom(display, "_NET_WM_ICON", False);
  state->netActiveWindow = XInternAtom(display, "_NET_ACTIVE_WINDOW", False);
  state->wmState = XInternAtom(display, "WM_STATE", False);
  // Held keys then repeat as presses alone, so that the window system
  // counts them as repeats rather than as new presses.
  Bool detectable = False;
  XkbSetDetectableAutoRepeat(display, True, &detectable);
  state->layout = LayoutOf(display);
  state->numLockMask = XkbKeysymToModifiers(display, XK_Num_Lock);
  SetKeyboardLayout(state->layout);
  int shapeEvent = 0;
  int shapeError = 0;
  state->hasShape = XShapeQueryExtension(display, &shapeEvent, &shapeError) == True;
  state->gc = XCreateGC(display, RootWindow(display, state->screen), 0, nullptr);
  state->selection = std::make_unique<ClipboardSelection>(display);
  state->inputMethod = std::make_unique<InputMethod>(display, kWindowEvents);
  return std::unique_ptr<X11Backend>(new X11Backend(std::move(state)));
}

X11Backend::X11Backend(std::unique_ptr<State> state) : state_(std::move(state)) {}

X11Backend::~X11Backend() = default;

void X11Backend::CreateNativeWindow(HWND window, const RECT& rect) {
  State& s = *state_;
  XSetWindowAttributes attributes{};
  attributes.background_pixmap = None;
  attributes.event_mask = kWindowEvents;
  attributes.override_redirect = PlacedByUs(window) ? True : False;
  attributes.cursor = s.shown;
  const unsigned long mask = CWBackPixmap | CWEventMask | CWOverrideRedirect | CWCursor;
  const Window native =
      XCreateWindow(s.display, RootWindow(s.display, s.screen), rect.left, rect.top,
                    static_cast<unsigned>(std::max(rect.Width(), 1)),
                    static_cast<unsigned>(std::max(rect.Height(), 1)), 0, CopyFromParent,
                    InputOutput, CopyFromParent, mask, &attributes);
  XSetWMProtocols(s.display, native, &s.wmDeleteWindow, 1);
  XSizeHints hints{};
  hints.flags = USPosition | USSize;
  hints.x = rect.left;
  hints.y = rect.top;
  hints.width = rect.Width();
  hints.height = rect.Height();
  XSetWMNormalHints(s.display, native, &hints);
  const auto owner = static_cast<HWND>(GetWindowLongPtr(window, GWLP_HWNDPARENT));
  if (const NativeWindow* ownerNative = s.Find(owner))
    XSetTransientForHint(s.display, native, ownerNative->window);
  s.windows[window] = NativeWindow{native, rect};
  s.handles[native] = window;
  // Popups placed by us never have the keyboard, nor an icon.
  if (attributes.override_redirect == False) {
    s.inputMethod->AddWindow(native);
    s.SetIcon(native);
  }
  XFlush(s.display);
}

void X11Backend::ShowNativeWindow(HWND window, bool visible) {
  State& s = *state_;
  const NativeWindow* native = s.Find(window);
  if (native == nullptr) return;
  if (visible) {
    // The text is set after the native window is made, so it is taken now.
    s.SetTitle(window, native->window);
    XMapRaised(s.display, native->window);
  } else {
    XUnmapWindow(s.display, native->window);
  }
  XFlush(s.display);
}

void X11Backend::MoveNativeWindow(HWND window, const RECT& rect) {
  State& s = *state_;
  NativeWindow* native = s.Find(window);
  if (native == nullptr || native->known == rect) return;
  native->known = rect;
  XMoveResizeWindow(s.display, native->window, rect.left, rect.top,
                    static_cast<unsigned>(std::max(rect.Width(), 1)),
                    static_cast<unsigned>(std::max(rect.Height(), 1)));
  XFlush(s.display);
}

void X11Backend::DestroyNativeWindow(HWND window) {
  State& s = *state_;
  const NativeWindow* native = s.Find(window);
  if (native == nullptr) return;
  s.handles.erase(native->window);
  s.inputMethod->RemoveWindow(native->window);
  XDestroyWindow(s.display, native->window);
  s.windows.erase(window);
  XFlush(s.display);
}

void X11Backend::MinimizeNativeWindow(HWND window, bool minimized) {
  State& s = *state_;
  NativeWindow* native = s.Find(window);
  if (native == nullptr || native->iconic == minimized) return;
  native->iconic = minimized;
  native->asked = true;
  // The window manager makes a window an icon when asked, and shows it
  // again when it is mapped.
  if (minimized) {
    XIconifyWindow(s.display, native->window, s.screen);
  } else {
    XMapWindow(s.display, native->window);
  }
  XFlush(s.display);
}

void X11Backend::ActivateNativeWindow(HWND window) {
  State& s = *state_;
  const NativeWindow* native = s.Find(window);
  if (native == nullptr || native->window == s.focused || PlacedByUs(window)) return;
  XEvent request{};
  request.xclient.type = ClientMessage;
  request.xclient.window = native->window;
  request.xclient.message_type = s.netActiveWindow;
  request.xclient.format = 32;
  request.xclient.data.l[0] = kActivationByApplication;
  request.xclient.data.l[1] = static_cast<long>(s.userTime);
  request.xclient.data.l[2] = static_cast<long>(s.focused);
  XSendEvent(s.display, RootWindow(s.display, s.screen), False,
             SubstructureRedirectMask | SubstructureNotifyMask, &request);
  XFlush(s.display);
}

void X11Backend::SetNativeTitle(HWND window) {
  State& s = *state_;
  const NativeWindow* native = s.Find(window);
  if (native == nullptr) return;
  s.SetTitle(window, native->window);
  XFlush(s.display);
}

void X11Backend::PresentNativeWindow(HWND window, const RECT& dirty) {
  State& s = *state_;
  const NativeWindow* native = s.Find(window);
  if (native == nullptr) return;
  const std::optional<ImagePixels> pixels = ReadImagePixels(GetWindowSurface(window));
  if (!pixels) return;
  const RECT area{std::max(dirty.left, 0), std::max(dirty.top, 0),
                  std::min(dirty.right, pixels->size.cx), std::min(dirty.bottom, pixels->size.cy)};
  if (area.IsEmpty()) return;
  // The surface's words are laid out as a 32-bit TrueColor image in the
  // host's byte order; Xlib converts them for the server's visual.
  XImage image{};
  image.width = pixels->size.cx;
  image.height = pixels->size.cy;
  image.format = ZPixmap;
  image.data = reinterpret_cast<char*>(const_cast<uint32_t*>(pixels->words));
  image.byte_order = std::endian::native == std::endian::little ? LSBFirst : MSBFirst;
  image.bitmap_unit = kPixelBits;
  image.bitmap_bit_order = image.byte_order;
  image.bitmap_pad = kPixelBits;
  image.depth = DefaultDepth(s.display, s.screen);
  image.bytes_per_line = pixels->stride * static_cast<int>(sizeof(uint32_t));
  image.bits_per_pixel = kPixelBits;
  image.red_mask = kRedMask;
  image.green_mask = kGreenMask;
  image.blue_mask = kBlueMask;
  if (XInitImage(&image) == 0) return;
  XPutImage(s.display, native->window, s.gc, &image, area.left, area.top, area.left, area.top,
            static_cast<unsigned>(area.Width()), static_cast<unsigned>(area.Height()));
  // The caret is drawn over the surface's pixels, inverting them, and
  // never into the surface itself.
  if (const std::optional<RECT> caret = CaretShownIn(window)) {
    const RECT over = IntersectionOf(*caret, area);
    if (!over.IsEmpty()) {
      XSetFunction(s.display, s.gc, GXinvert);
      XFillRectangle(s.display, native->window, s.gc, over.left, over.top,
                     static_cast<unsigned>(over.Width()), static_cast<unsigned>(over.Height()));
      XSetFunction(s.display, s.gc, GXcopy);
    }
  }
  XFlush(s.display);
}

void X11Backend::SetNativeCursor(HCURSOR cursor) {
  State& s = *state_;
  const Cursor wasMade = std::exchange(s.made, 0);
  s.shown = s.CursorFor(cursor);
  for (const auto& [handle, native] : s.windows) XDefineCursor(s.display, native.window, s.shown);
  if (wasMade != 0) XFreeCursor(s.display, wasMade);
  XFlush(s.display);
}

void X11Backend::ShapeNativeWindow(HWND window) {
  State& s = *state_;
  const NativeWindow* native = s.Find(window);
  if (native == nullptr || !s.hasShape) return;
  Region region;
  if (GetWindowRgn(window, &region) == ERROR) {
    XShapeCombineMask(s.display, native->window, ShapeBounding, 0, 0, None, ShapeSet);
  } else {
    std::vector<XRectangle> rectangles;
    for (const RECT& each : region.Rects()) {
      rectangles.push_back(XRectangle{static_cast<short>(each.left), static_cast<short>(each.top),
                                      static_cast<unsigned short>(each.Width()),
                                      static_cast<unsigned short>(each.Height())});
    }
    XShapeCombineRectangles(s.display, native->window, ShapeBounding, 0, 0, rectangles.data(),
                            static_cast<int>(rectangles.size()), ShapeSet, YXBanded);
  }
  XFlush(s.display);
}

void X11Backend::CaptureNativePointer(HWND topLevel) {
  State& s = *state_;
  const NativeWindow* native = s.Find(topLevel);
  if (native == nullptr) {
    XUngrabPointer(s.display, CurrentTime);
    XFlush(s.display);
    return;
  }
  XGrabPointer(s.display, native->window, False, kGrabEvents, GrabModeAsync, GrabModeAsync, None,
               s.shown, CurrentTime);
  s.WakeIfQueued(topLevel);
}

int X11Backend::EventDescriptor() const { return ConnectionNumber(state_->display); }

void X11Backend::HandleEvents() {
  State& s = *state_;
  while (XPending(s.display) > 0) {
    XEvent event;
    XNextEvent(s.display, &event);
    if (!InputMethod::Filter(event)) s.Handle(event);
  }
}

void X11Backend::ClipboardChanged() {
  state_->selection->Take();
  XFlush(state_->display);
}

bool X11Backend::OwnsClipboard() const { return state_->selection->Owns(); }

std::optional<std::string> X11Backend::ForeignClipboardData(uint32_t format) {
  return state_->selection->Read(format);
}

std::vector<uint32_t> X11Backend::ForeignClipboardFormats() { return state_->selection->Formats(); }

bool X11Backend::InputMethodOpen() const { return state_->inputMethod->IsOpen(); }

unsigned long X11Backend::NativeWindowOf(HWND window) const {
  const NativeWindow* native = state_->Find(window);
  return native == nullptr ? 0 : native->window;
}

std::unique_ptr<DisplayBackend> OpenDisplayBackend() {
  if (std::unique_ptr<X11Backend> x11 = X11Backend::Connect()) return x11;
  static std::atomic<bool> said{false};
  if (!said.exchange(true)) {
    std::fputs("lexora: no X display; running without showing any window\n", stderr);
  }
  return std::make_unique<HeadlessBackend>();
}

}  // namespace platform::x11
