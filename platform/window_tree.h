// The process's window tree: every window's record, the classes, and the
// Z order of the top-level windows and of each window's children (topmost
// first). One lock guards it; procedures are always called outside it.
// Internal to the window system.
#pragma once

#include <map>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <unordered_map>
#include <vector>

#include "platform/message_queue.h"
#include "platform/region.h"
#include "platform/window.h"

namespace platform {

struct WindowRecord {
  HWND handle = kNoWindow;
  std::string className;
  UINT classStyle = 0;
  HCURSOR classCursor = 0;
  WNDPROC proc = nullptr;
  WindowProc handler;
  DWORD style = 0;
  DWORD exStyle = 0;
  int32_t id = 0;
  HWND parent = kNoWindow;
  HWND owner = kNoWindow;
  std::vector<HWND> children;
  RECT rect;
  // Where a maximised or minimised window goes back to.
  std::optional<RECT> normalRect;
  std::string text;
  std::map<std::string, HANDLE> properties;
  LONG_PTR userData = 0;
  std::shared_ptr<ThreadMessageQueue> queue;
  bool destroying = false;
  HBRUSH background = nullptr;
  // Client coordinates.
  Region update;
  bool erasePending = false;
  // The window region, in the window's own coordinates; none: all of it.
  UniqueRegion shape;
  // A top-level window's image.
  UniqueDC surface;
  // The window's own DC (CS_OWNDC), made when first asked for.
  UniqueDC ownDC;
};

class WindowTree {
 public:
  WindowTree();

  std::mutex& mutex() { return mutex_; }

  // Everything below expects the lock held.
  WindowRecord* Find(HWND window);
  // The same for a handle a caller passed in: one that names no window
  // (other than none at all) is reported as a misuse.
  WindowRecord* FindOrReport(HWND window, const char* call);
  WindowRecord& Add(WindowRecord record);
  void Remove(HWND window);
  // The sibling list the window is in: its parent's children or the
  // top-level windows.
  std::vector<HWND>& SiblingsOf(const WindowRecord& record);
  std::vector<HWND>& ChildrenOf(HWND parent);
  // Forgets every window and every class but the system's.
  void Clear();

  const WNDCLASS* FindClass(const std::string& name) const;
  bool AddClass(const std::string& name, const WNDCLASS& windowClass);
  // False for a class not registered and for a system class.
  bool RemoveClass(const std::string& name);

 private:
  static std::string Folded(const std::string& name);
  void AddSystemClasses();

  std::mutex mutex_;
  HWND nextHandle_ = kFirstHandle;
  std::unordered_map<HWND, WindowRecord> windows_;
  std::vector<HWND> topLevel_;
  struct ClassEntry {
    WNDCLASS windowClass;
    std::string name;
    bool system = false;
  };
  std::map<std::string, ClassEntry> classes_;

  static constexpr HWND kFirstHandle = 0x10000;
};

WindowTree& Tree();

// A copy of what a call on the window needs, taken under the lock.
struct WindowTarget {
  WNDPROC proc = nullptr;
  std::shared_ptr<ThreadMessageQueue> queue;
};
std::optional<WindowTarget> TargetOf(HWND window);

}  // namespace platform
