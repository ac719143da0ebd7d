// What the window system asks of a display: native top-level windows to
// show its surfaces in, the cursor, and a descriptor that becomes readable
// when the display has events, which it then turns into messages. The
// headless back end, the default, has no descriptor and shows nothing.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "platform/windef.h"
#include "platform/window.h"
#include "platform/window_message.h"

namespace platform {

class DisplayBackend {
 public:
  virtual ~DisplayBackend() = default;
  virtual void CreateNativeWindow(HWND window, const RECT& rect) = 0;
  virtual void ShowNativeWindow(HWND window, bool visible) = 0;
  virtual void MoveNativeWindow(HWND window, const RECT& rect) = 0;
  virtual void DestroyNativeWindow(HWND window) = 0;
  // The window was minimised (true) or restored from it (false).
  virtual void MinimizeNativeWindow(HWND window, bool minimized) = 0;
  // Brings the top-level window to the front and gives it the keyboard.
  virtual void ActivateNativeWindow(HWND window) = 0;
  // Shows the window's text, which has changed, as its title.
  virtual void SetNativeTitle(HWND window) = 0;
  // Shows the part of a top-level window's surface that a paint changed,
  // in surface coordinates.
  virtual void PresentNativeWindow(HWND window, const RECT& dirty) = 0;
  // The cursor to show over the program's windows; 0 shows none.
  virtual void SetNativeCursor(HCURSOR cursor) = 0;
  // The window's region changed: the native window takes its shape, or
  // its whole rectangle when it has none.
  virtual void ShapeNativeWindow(HWND window) = 0;
  // Keeps the pointer to the top-level window that holds the capture, so
  // that it hears the mouse outside its bounds; 0 lets the pointer go.
  virtual void CaptureNativePointer(HWND topLevel) = 0;
  // Readable when events wait; negative for none.
  virtual int EventDescriptor() const = 0;
  // Turns waiting display events into input and messages.
  virtual void HandleEvents() = 0;
  // The program put new content on the clipboard: other programs are to
  // be offered it from now on.
  virtual void ClipboardChanged() = 0;
  // Whether the clipboard content is the program's own rather than
  // another program's.
  virtual bool OwnsClipboard() const = 0;
  // Another program's clipboard content in one format (CF_TEXT as CP932
  // without its terminating zero); nullopt when it has none or does not
  // answer in time.
  virtual std::optional<std::string> ForeignClipboardData(uint32_t format) = 0;
  // The formats another program offers that the program knows: CF_TEXT
  // and the registered ones.
  virtual std::vector<uint32_t> ForeignClipboardFormats() = 0;
};

class HeadlessBackend : public DisplayBackend {
 public:
  void CreateNativeWindow(HWND, const RECT&) override {}
  void ShowNativeWindow(HWND, bool) override {}
  void MoveNativeWindow(HWND, const RECT&) override {}
  void DestroyNativeWindow(HWND) override {}
  void MinimizeNativeWindow(HWND, bool) override {}
  void ActivateNativeWindow(HWND) override {}
  void SetNativeTitle(HWND) override {}
  void PresentNativeWindow(HWND, const RECT&) override {}
  void SetNativeCursor(HCURSOR) override {}
  void ShapeNativeWindow(HWND) override {}
  void CaptureNativePointer(HWND) override {}
  int EventDescriptor() const override { return kNoDescriptor; }
  void HandleEvents() override {}
  // Without a display the clipboard is the process's alone.
  void ClipboardChanged() override {}
  bool OwnsClipboard() const override { return true; }
  std::optional<std::string> ForeignClipboardData(uint32_t) override { return std::nullopt; }
  std::vector<uint32_t> ForeignClipboardFormats() override { return {}; }

 private:
  static constexpr int kNoDescriptor = -1;
};

// The process's back end: the headless one unless another was installed.
DisplayBackend& CurrentDisplay();
// Installs a back end for the lifetime of the guard.
class ScopedDisplay {
 public:
  explicit ScopedDisplay(DisplayBackend& backend);
  ~ScopedDisplay();
  ScopedDisplay(const ScopedDisplay&) = delete;
  ScopedDisplay& operator=(const ScopedDisplay&) = delete;

 private:
  DisplayBackend* previous_;
};

}  // namespace platform
