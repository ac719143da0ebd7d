// The display back end on an X server: one X window for each top-level
// window of ours, showing its surface, and the server's events turned into
// the window system's input and messages. Nothing outside this folder
// sees Xlib.
#pragma once

#include <memory>
#include <string>

#include "platform/display_backend.h"

namespace platform::x11 {

class X11Backend : public DisplayBackend {
 public:
  // Connects to the named display (none: $DISPLAY); empty when no server
  // answers.
  static std::unique_ptr<X11Backend> Connect(const char* displayName = nullptr);
  ~X11Backend() override;
  X11Backend(const X11Backend&) = delete;
  X11Backend& operator=(const X11Backend&) = delete;

  void CreateNativeWindow(HWND window, const RECT& rect) override;
  void ShowNativeWindow(HWND window, bool visible) override;
  void MoveNativeWindow(HWND window, const RECT& rect) override;
  void DestroyNativeWindow(HWND window) override;
  void MinimizeNativeWindow(HWND window, bool minimized) override;
  void ActivateNativeWindow(HWND window) override;
  void SetNativeTitle(HWND window) override;
  void PresentNativeWindow(HWND window, const RECT& dirty) override;
  void SetNativeCursor(HCURSOR cursor) override;
  void ShapeNativeWindow(HWND window) override;
  void CaptureNativePointer(HWND topLevel) override;
  int EventDescriptor() const override;
  void HandleEvents() override;
  void ClipboardChanged() override;
  bool OwnsClipboard() const override;
  std::optional<std::string> ForeignClipboardData(uint32_t format) override;
  std::vector<uint32_t> ForeignClipboardFormats() override;

  // Whether a desktop input method serves the program.
  bool InputMethodOpen() const;
  // The X window showing a top-level window; 0 for none.
  unsigned long NativeWindowOf(HWND window) const;

 private:
  struct State;
  explicit X11Backend(std::unique_ptr<State> state);
  std::unique_ptr<State> state_;
};

// The X11 back end when a display answers, else the headless one, which
// says once on standard error that nothing will be shown.
std::unique_ptr<DisplayBackend> OpenDisplayBackend();

}  // namespace platform::x11
