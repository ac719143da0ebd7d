#include "platform/x11/input_method.h"

#include <X11/Xatom.h>
#include <X11/Xutil.h>

#include <clocale>
#include <optional>
#include <string_view>
#include <vector>

namespace platform::x11 {
namespace {

constexpr XIMStyle kRootStyle = XIMPreeditNothing | XIMStatusNothing;
constexpr char kJapaneseLocale[] = "ja_JP.UTF-8";
constexpr std::string_view kJapanese = "ja";
constexpr size_t kCommitBuffer = 256;
constexpr char kImModifier[] = "@im=";
constexpr char kModifierStart = '@';
constexpr char kServerPrefix[] = "@server=";
constexpr char kServersProperty[] = "XIM_SERVERS";
constexpr long kServersLimit = 1024;

// Puts a locale in place for what Xlib reads of it (the input method
// serves the locale the program asks in), and the program's back after.
class ScopedCharacterLocale {
 public:
  explicit ScopedCharacterLocale(const std::string& name) {
    if (const char* current = std::setlocale(LC_CTYPE, nullptr)) previous_ = current;
    usable_ = std::setlocale(LC_CTYPE, name.c_str()) != nullptr && XSupportsLocale() == True &&
              XSetLocaleModifiers("") != nullptr;
  }
  ~ScopedCharacterLocale() {
    if (previous_) std::setlocale(LC_CTYPE, previous_->c_str());
  }
  ScopedCharacterLocale(const ScopedCharacterLocale&) = delete;
  ScopedCharacterLocale& operator=(const ScopedCharacterLocale&) = delete;
  bool usable() const { return usable_; }

 private:
  std::optional<std::string> previous_;
  bool usable_ = false;
};

// The user's own locale when it is Japanese; else a Japanese one, since
// the text the program takes is Japanese and an input method serves the
// languages of the locales it names.
std::string LocaleForInput() {
  std::string environment;
  if (const char* current = std::setlocale(LC_CTYPE, nullptr)) {
    const std::string previous = current;
    if (const char* chosen = std::setlocale(LC_CTYPE, "")) environment = chosen;
    std::setlocale(LC_CTYPE, previous.c_str());
  }
  if (environment.starts_with(kJapanese)) return environment;
  return kJapaneseLocale;
}

bool OffersRootStyle(XIM method) {
  XIMStyles* styles = nullptr;
  if (XGetIMValues(method, XNQueryInputStyle, &styles, nullptr) != nullptr || styles == nullptr)
    return false;
  bool offered = false;
  for (unsigned short i = 0; i < styles->count_styles; ++i) {
    if (styles->supported_styles[i] == kRootStyle) offered = true;
  }
  XFree(styles);
  return offered;
}

// Whether an input method server still owns its selection: one named by
// the modifiers ("@im=NAME"), else any the root lists.
bool ServerAlive(Display* display, const std::string& modifiers) {
  const size_t named = modifiers.find(kImModifier);
  if (named != std::string::npos) {
    std::string name = modifiers.substr(named + std::string_view(kImModifier).size());
    name = name.substr(0, name.find(kModifierStart));
    const Atom server = XInternAtom(display, (kServerPrefix + name).c_str(), False);
    return XGetSelectionOwner(display, server) != None;
  }
  Atom type = 0;
  int format = 0;
  unsigned long count = 0;
  unsigned long after = 0;
  unsigned char* data = nullptr;
  bool alive = false;
  if (XGetWindowProperty(display, DefaultRootWindow(display),
                         XInternAtom(display, kServersProperty, False), 0, kServersLimit, False,
                         XA_ATOM, &type, &format, &count, &after, &data) == Success &&
      data != nullptr && format == 32) {
    const auto* servers = reinterpret_cast<const Atom*>(data);
    for (unsigned long i = 0; i < count && !alive; ++i)
      alive = XGetSelectionOwner(display, servers[i]) != None;
  }
  XFree(data);
  return alive;
}

}  // namespace

InputMethod::InputMethod(Display* display, long windowEvents)
    : display_(display), windowEvents_(windowEvents), locale_(LocaleForInput()) {
  Open();
}

InputMethod::~InputMethod() {
  if (waiting_) {
    const ScopedCharacterLocale locale(locale_);
    XUnregisterIMInstantiateCallback(display_, nullptr, nullptr, nullptr, Instantiated,
                                     reinterpret_cast<XPointer>(this));
  }
  if (method_ == nullptr || Gone()) return;
  for (const auto& [window, context] : contexts_) {
    if (context != nullptr) XDestroyIC(context);
  }
  XCloseIM(method_);
}

bool InputMethod::Gone() {
  if (ServerAlive(display_, modifiers_)) return false;
  Forget();
  return true;
}

void InputMethod::Forget() {
  method_ = nullptr;
  for (auto& [window, context] : contexts_) context = nullptr;
}

void InputMethod::Open() {
  const ScopedCharacterLocale locale(locale_);
  if (!locale.usable()) return;
  if (const char* modifiers = XSetLocaleModifiers(nullptr)) modifiers_ = modifiers;
  method_ = XOpenIM(display_, nullptr, nullptr, nullptr);
  if (method_ != nullptr && !OffersRootStyle(method_)) {
    XCloseIM(method_);
    method_ = nullptr;
  }
  if (method_ == nullptr) {
    WaitForServer();
    return;
  }
  XIMCallback destroyed{reinterpret_cast<XPointer>(this), Destroyed};
  XSetIMValues(method_, XNDestroyCallback, &destroyed, nullptr);
  for (auto& [window, context] : contexts_) CreateContext(window);
}

void InputMethod::WaitForServer() {
  waiting_ = XRegisterIMInstantiateCallback(display_, nullptr, nullptr, nullptr, Instantiated,
                                            reinterpret_cast<XPointer>(this)) == True;
}

void InputMethod::Instantiated(Display*, XPointer self, XPointer) {
  auto* method = reinterpret_cast<InputMethod*>(self);
  if (method->method_ == nullptr) method->Reopen();
}

void InputMethod::Reopen() {
  {
    const ScopedCharacterLocale locale(locale_);
    XUnregisterIMInstantiateCallback(display_, nullptr, nullptr, nullptr, Instantiated,
                                     reinterpret_cast<XPointer>(this));
  }
  waiting_ = false;
  Open();
}

// The input method went away: its contexts went with it.
void InputMethod::Destroyed(XIM, XPointer self, XPointer) {
  auto* method = reinterpret_cast<InputMethod*>(self);
  method->Forget();
  const ScopedCharacterLocale locale(method->locale_);
  method->WaitForServer();
}

void InputMethod::CreateContext(Window window) {
  XIC& context = contexts_[window];
  context = XCreateIC(method_, XNInputStyle, kRootStyle, XNClientWindow, window, XNFocusWindow,
                      window, nullptr);
  if (context == nullptr) return;
  long wanted = 0;
  XGetICValues(context, XNFilterEvents, &wanted, nullptr);
  XSelectInput(display_, window, windowEvents_ | wanted);
  if (window == focused_) XSetICFocus(context);
}

void InputMethod::AddWindow(Window window) {
  contexts_[window] = nullptr;
  if (method_ != nullptr) CreateContext(window);
}

void InputMethod::RemoveWindow(Window window) {
  const auto found = contexts_.find(window);
  if (found == contexts_.end()) return;
  if (found->second != nullptr && !Gone()) XDestroyIC(found->second);
  contexts_.erase(found);
  if (focused_ == window) focused_ = 0;
}

void InputMethod::Focus(Window window, bool focused) {
  const auto found = contexts_.find(window);
  if (found == contexts_.end()) return;
  if (focused) {
    focused_ = window;
  } else if (focused_ == window) {
    focused_ = 0;
  }
  // The server's announcement may have come before the input method
  // answered: the user turning to our window asks again.
  if (focused && method_ == nullptr && waiting_) Reopen();
  if (found->second == nullptr) return;
  if (focused) {
    XSetICFocus(found->second);
  } else {
    XUnsetICFocus(found->second);
  }
}

bool InputMethod::Filter(XEvent& event) { return XFilterEvent(&event, None) == True; }

std::string InputMethod::Committed(XKeyEvent& event) {
  // The input method's text comes as a press without a key.
  if (event.type != KeyPress || event.keycode != 0) return {};
  const auto found = contexts_.find(event.window);
  if (found == contexts_.end() || found->second == nullptr) return {};
  std::vector<char> text(kCommitBuffer);
  KeySym keysym = 0;
  Status status = 0;
  int length = Xutf8LookupString(found->second, &event, text.data(), static_cast<int>(text.size()),
                                 &keysym, &status);
  if (status == XBufferOverflow) {
    text.resize(static_cast<size_t>(length));
    length = Xutf8LookupString(found->second, &event, text.data(), static_cast<int>(text.size()),
                               &keysym, &status);
  }
  if (status != XLookupChars && status != XLookupBoth) return {};
  return std::string(text.data(), static_cast<size_t>(length));
}

}  // namespace platform::x11
