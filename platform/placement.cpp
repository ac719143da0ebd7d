#include "platform/placement.h"

#include <mutex>
#include <optional>

#include "platform/display_backend.h"
#include "platform/system_info.h"
#include "platform/window_tree.h"

namespace platform {
namespace {

constexpr DWORD kPlacedStates = WS_MAXIMIZE | WS_MINIMIZE;
constexpr UINT kPlaceOnly = SWP_NOZORDER | SWP_NOACTIVATE;

enum class ShowState { kUnchanged, kNormal, kMaximized, kMinimized };

ShowState StateOf(int command) {
  switch (command) {
    case SW_SHOWMAXIMIZED:
      return ShowState::kMaximized;
    case SW_SHOWMINIMIZED:
    case SW_MINIMIZE:
    case SW_SHOWMINNOACTIVE:
      return ShowState::kMinimized;
    case SW_SHOWNORMAL:
    case SW_RESTORE:
      return ShowState::kNormal;
    default:
      return ShowState::kUnchanged;
  }
}

// Where a maximised window goes: its parent's client area, or the screen.
RECT MaximizedRectLocked(const WindowRecord& record) {
  if ((record.style & WS_CHILD) != 0) {
    const WindowRecord* parent = Tree().Find(record.parent);
    if (parent != nullptr) return RECT{0, 0, parent->rect.Width(), parent->rect.Height()};
  }
  return RECT{0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)};
}

// What a change of state did: where the window goes, if anywhere, and
// whether it went into or out of the minimised state.
struct StateChange {
  std::optional<RECT> target;
  bool minimized = false;
  bool restored = false;
  bool topLevel = false;
  RECT rect;
};

// Changes the style bits.
StateChange ChangeStateLocked(WindowRecord& record, ShowState state) {
  const DWORD bit = state == ShowState::kMaximized   ? WS_MAXIMIZE
                    : state == ShowState::kMinimized ? WS_MINIMIZE
                                                     : 0;
  StateChange change;
  if ((record.style & kPlacedStates) == bit) return change;
  if ((record.style & kPlacedStates) == 0) record.normalRect = record.rect;
  change.minimized = bit == WS_MINIMIZE;
  change.restored = (record.style & WS_MINIMIZE) != 0;
  change.topLevel = (record.style & WS_CHILD) == 0;
  change.rect = record.rect;
  record.style = (record.style & ~kPlacedStates) | bit;
  switch (state) {
    case ShowState::kMaximized:
      change.target = MaximizedRectLocked(record);
      break;
    case ShowState::kNormal:
      change.target = record.normalRect.value_or(record.rect);
      break;
    default:
      // A minimised window keeps its rectangle; the display shows it as
      // an icon.
      break;
  }
  return change;
}

void Place(HWND window, const RECT& rect) {
  SetWindowPos(window, HWND_TOP, rect.left, rect.top, rect.Width(), rect.Height(), kPlaceOnly);
}

template <typename Result, typename Reader>
Result WithRecord(HWND window, const char* call, Result missing, Reader read) {
  std::lock_guard lock(Tree().mutex());
  WindowRecord* record = Tree().FindOrReport(window, call);
  return record == nullptr ? missing : read(*record);
}

}  // namespace

bool IsIconic(HWND window) {
  return WithRecord(window, "IsIconic", false,
                    [](const WindowRecord& r) { return (r.style & WS_MINIMIZE) != 0; });
}

bool IsZoomed(HWND window) {
  return WithRecord(window, "IsZoomed", false,
                    [](const WindowRecord& r) { return (r.style & WS_MAXIMIZE) != 0; });
}

void ApplyShowState(HWND window, int command) {
  const ShowState state = StateOf(command);
  if (state == ShowState::kUnchanged) return;
  StateChange change;
  {
    // ShowWindow itself reports a handle that names no window.
    std::lock_guard lock(Tree().mutex());
    WindowRecord* record = Tree().Find(window);
    if (record != nullptr) change = ChangeStateLocked(*record, state);
  }
  if (change.topLevel && (change.minimized || change.restored))
    CurrentDisplay().MinimizeNativeWindow(window, change.minimized);
  if (change.minimized) SendMessage(window, WM_SIZE, SIZE_MINIMIZED, 0);
  if (!change.target) return;
  // A window restored to the rectangle it kept is not resized, but is
  // told its size is its own again.
  if (change.restored && *change.target == change.rect) {
    SendMessage(window, WM_SIZE, IsZoomed(window) ? SIZE_MAXIMIZED : SIZE_RESTORED,
                MakeLParam(change.rect.Width(), change.rect.Height()));
  }
  Place(window, *change.target);
}

bool GetWindowPlacement(HWND window, WINDOWPLACEMENT* placement) {
  if (placement == nullptr) return false;
  return WithRecord(window, "GetWindowPlacement", false, [placement](const WindowRecord& r) {
    *placement = WINDOWPLACEMENT{};
    placement->showCmd = (r.style & WS_MINIMIZE) != 0   ? SW_SHOWMINIMIZED
                         : (r.style & WS_MAXIMIZE) != 0 ? SW_SHOWMAXIMIZED
                                                        : SW_SHOWNORMAL;
    placement->rcNormalPosition =
        (r.style & kPlacedStates) != 0 ? r.normalRect.value_or(r.rect) : r.rect;
    return true;
  });
}

bool SetWindowPlacement(HWND window, const WINDOWPLACEMENT* placement) {
  if (placement == nullptr) return false;
  const RECT normal = placement->rcNormalPosition;
  // A placed window keeps the rectangle for later; a normal one goes there.
  const std::optional<bool> placed =
      WithRecord(window, "SetWindowPlacement", std::optional<bool>(), [&normal](WindowRecord& r) {
        const bool isPlaced = (r.style & kPlacedStates) != 0;
        if (isPlaced) r.normalRect = normal;
        return std::optional<bool>(isPlaced);
      });
  if (!placed) return false;
  if (!*placed) Place(window, normal);
  ShowWindow(window, static_cast<int>(placement->showCmd));
  return true;
}

}  // namespace platform
