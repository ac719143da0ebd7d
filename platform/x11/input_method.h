// The desktop's input method (fcitx5, ibus, uim) through XIM: an input
// context for each of our framed windows, its preedit and status drawn by
// the input method itself (the root style), and the text it commits typed
// into the focused window. An input method that starts after the program,
// or starts again, is taken up when the server announces it.
#pragma once

#include <X11/Xlib.h>

#include <string>
#include <unordered_map>

namespace platform::x11 {

class InputMethod {
 public:
  // `windowEvents` is what our windows select besides what the input
  // method asks for.
  InputMethod(Display* display, long windowEvents);
  ~InputMethod();
  InputMethod(const InputMethod&) = delete;
  InputMethod& operator=(const InputMethod&) = delete;

  // Whether an input method serves the program now.
  bool IsOpen() const { return method_ != nullptr; }
  void AddWindow(Window window);
  void RemoveWindow(Window window);
  void Focus(Window window, bool focused);
  // True when the input method took the event, which is then not ours.
  static bool Filter(XEvent& event);
  // The text a key press from the input method commits, as UTF-8; empty
  // for a key of the keyboard's own.
  std::string Committed(XKeyEvent& event);

 private:
  static void Instantiated(Display* display, XPointer self, XPointer);
  static void Destroyed(XIM method, XPointer self, XPointer);
  void Open();
  // Stops waiting for the server's announcement and opens, or waits again.
  void Reopen();
  void WaitForServer();
  void CreateContext(Window window);
  // Whether the server went away without our hearing it yet: a request
  // that waits for its answer would then wait for ever. Forgets the
  // input method if so.
  bool Gone();
  // Drops the input method and its contexts without a word to the server.
  void Forget();

  Display* display_;
  long windowEvents_;
  // The locale the input method is opened in.
  std::string locale_;
  // The locale modifiers it was opened with ("@im=NAME").
  std::string modifiers_;
  XIM method_ = nullptr;
  bool waiting_ = false;
  // Our windows and their contexts (none while no input method serves).
  std::unordered_map<Window, XIC> contexts_;
  Window focused_ = 0;
};

}  // namespace platform::x11
