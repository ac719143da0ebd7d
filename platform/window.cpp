#include "platform/window.h"

#include <algorithm>
#include <cstring>
#include <utility>

#include "platform/caller_assert.h"
#include "platform/caret.h"
#include "platform/cursor.h"
#include "platform/display_backend.h"
#include "platform/input_queue.h"
#include "platform/menu_session.h"
#include "platform/paint_queue.h"
#include "platform/placement.h"
#include "platform/region.h"
#include "platform/timers.h"
#include "platform/window_tree.h"

namespace platform {

namespace {

constexpr LRESULT kCreationFailed = -1;
constexpr char kHandlerClass[] = "LexoraHandler";

thread_local CreationHook nextCreationHook;

// The procedure of windows made by CreateWindowHandle.
LRESULT HandlerProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  WindowProc handler;
  {
    std::lock_guard lock(Tree().mutex());
    const WindowRecord* record = Tree().Find(window);
    if (record == nullptr) return 0;
    handler = record->handler;
  }
  return handler ? handler(window, message, wParam, lParam) : 0;
}

// Runs `read` on the window's record under the lock; `missing` for no window.
template <typename Result, typename Reader>
Result WithRecord(HWND window, Result missing, Reader read) {
  std::lock_guard lock(Tree().mutex());
  WindowRecord* record = Tree().Find(window);
  return record == nullptr ? missing : read(*record);
}

// The same for a window handle a caller passed in: one that names no
// window is reported.
template <typename Result, typename Reader>
Result WithCallersRecord(HWND window, const char* call, Result missing, Reader read) {
  std::lock_guard lock(Tree().mutex());
  WindowRecord* record = Tree().FindOrReport(window, call);
  return record == nullptr ? missing : read(*record);
}

bool OwnedByThisThread(const WindowRecord& record) { return record.queue == CurrentQueue(); }

bool Destroy(HWND window);

// The window's client origin on the screen.
POINT ScreenOriginLocked(HWND window) {
  POINT origin;
  for (const WindowRecord* record = Tree().Find(window); record != nullptr;
       record = Tree().Find(record->parent)) {
    origin.x += record->rect.left;
    origin.y += record->rect.top;
    if ((record->style & WS_CHILD) == 0) break;
  }
  return origin;
}

bool VisibleLocked(const WindowRecord& record) {
  for (const WindowRecord* r = &record; r != nullptr; r = Tree().Find(r->parent)) {
    if ((r->style & WS_VISIBLE) == 0) return false;
  }
  return true;
}

void DestroyChildren(HWND window) {
  std::vector<HWND> children;
  {
    std::lock_guard lock(Tree().mutex());
    children = Tree().ChildrenOf(window);
  }
  // A child may already have gone with an earlier one.
  for (const HWND child : children) Destroy(child);
}

std::vector<HWND> OwnedWindows(HWND owner) {
  std::lock_guard lock(Tree().mutex());
  std::vector<HWND> owned;
  for (const HWND top : Tree().ChildrenOf(kNoWindow)) {
    if (Tree().Find(top)->owner == owner) owned.push_back(top);
  }
  return owned;
}

bool MarkDestroying(HWND window) {
  std::lock_guard lock(Tree().mutex());
  WindowRecord* record = Tree().Find(window);
  if (record == nullptr || record->destroying || !OwnedByThisThread(*record)) return false;
  record->destroying = true;
  return true;
}

void Forget(HWND window) {
  std::shared_ptr<ThreadMessageQueue> queue;
  bool topLevel = false;
  {
    std::lock_guard lock(Tree().mutex());
    WindowRecord* record = Tree().Find(window);
    if (record == nullptr) return;
    queue = record->queue;
    topLevel = (record->style & WS_CHILD) == 0;
    Tree().Remove(window);
  }
  queue->CancelSentTo(window);
  CurrentTimers().KillAllOf(window);
  if (topLevel) CurrentDisplay().DestroyNativeWindow(window);
}

HWND ResolveParent(DWORD style, HWND parentOrOwner, HWND* owner) {
  if ((style & WS_CHILD) != 0) return parentOrOwner;
  *owner = parentOrOwner;
  return kNoWindow;
}

RECT RectOf(int32_t x, int32_t y, int32_t width, int32_t height) {
  return RECT{x, y, x + width, y + height};
}

// Moves the window within its siblings as SetWindowPos's insertAfter says.
void PlaceInZOrderLocked(const WindowRecord& record, HWND insertAfter) {
  std::vector<HWND>& siblings = Tree().SiblingsOf(record);
  siblings.erase(std::remove(siblings.begin(), siblings.end(), record.handle), siblings.end());
  if (insertAfter == HWND_TOP) {
    siblings.insert(siblings.begin(), record.handle);
  } else if (insertAfter == HWND_BOTTOM) {
    siblings.push_back(record.handle);
  } else {
    auto after = std::find(siblings.begin(), siblings.end(), insertAfter);
    siblings.insert(after == siblings.end() ? siblings.begin() : after + 1, record.handle);
  }
}

HWND SiblingLocked(const WindowRecord& record, UINT relation) {
  const std::vector<HWND>& siblings = Tree().SiblingsOf(record);
  const auto at = std::find(siblings.begin(), siblings.end(), record.handle);
  switch (relation) {
    case GW_HWNDFIRST:
      return siblings.front();
    case GW_HWNDLAST:
      return siblings.back();
    case GW_HWNDNEXT:
      return at + 1 == siblings.end() ? kNoWindow : *(at + 1);
    case GW_HWNDPREV:
      return at == siblings.begin() ? kNoWindow : *(at - 1);
    default:
      return kNoWindow;
  }
}

bool Skipped(const WindowRecord& record, UINT flags) {
  if ((flags & CWP_SKIPINVISIBLE) != 0 && (record.style & WS_VISIBLE) == 0) return true;
  return (flags & CWP_SKIPDISABLED) != 0 && (record.style & WS_DISABLED) != 0;
}

// Whether a point in the window's own coordinates is one of its pixels.
bool InShape(const WindowRecord& record, POINT point) {
  if (!PtInRect(RectOf(0, 0, record.rect.Width(), record.rect.Height()), point)) return false;
  return !record.shape || record.shape->Contains(point);
}

// The topmost child of `parent` under a point in its client area.
HWND ChildAtLocked(HWND parent, POINT point, UINT flags) {
  for (const HWND child : Tree().ChildrenOf(parent)) {
    const WindowRecord& record = *Tree().Find(child);
    if (Skipped(record, flags)) continue;
    if (InShape(record, POINT{point.x - record.rect.left, point.y - record.rect.top})) return child;
  }
  return kNoWindow;
}

bool Activates(int showCommand) {
  return showCommand == SW_SHOW || showCommand == SW_SHOWNORMAL ||
         showCommand == SW_SHOWMAXIMIZED || showCommand == SW_RESTORE;
}

// A child's parent must paint again where the child was.
void ExposeUnder(HWND window, const RECT& where) {
  const HWND parent = GetAncestor(window, GA_PARENT);
  if (parent != kNoWindow) InvalidateRect(parent, &where, true);
}

// What DefWindowProc answers for a top-level window.
LRESULT DefaultAnswer(UINT message) { return message == WM_MOUSEACTIVATE ? MA_ACTIVATE : 0; }

}  // namespace

// ---- Classes -------------------------------------------------------------

ATOM RegisterClass(const WNDCLASS& windowClass) {
  if (windowClass.lpszClassName == nullptr || windowClass.lpfnWndProc == nullptr) return 0;
  static ATOM nextAtom = 0xC000;
  std::lock_guard lock(Tree().mutex());
  if (!Tree().AddClass(windowClass.lpszClassName, windowClass)) return 0;
  return nextAtom++;
}

bool UnregisterClass(const char* className) {
  std::lock_guard lock(Tree().mutex());
  return className != nullptr && Tree().RemoveClass(className);
}

bool GetClassInfo(const char* className, WNDCLASS* windowClass) {
  std::lock_guard lock(Tree().mutex());
  const WNDCLASS* found = className == nullptr ? nullptr : Tree().FindClass(className);
  if (found == nullptr) return false;
  if (windowClass != nullptr) *windowClass = *found;
  return true;
}

// ---- Creation and destruction ------------------------------------------------

HWND CreateWindowHandle(WindowProc proc) {
  WindowRecord record;
  record.className = kHandlerClass;
  record.proc = HandlerProc;
  record.handler = std::move(proc);
  record.queue = CurrentQueue();
  std::lock_guard lock(Tree().mutex());
  return Tree().Add(std::move(record)).handle;
}

HWND CreateWindowEx(DWORD exStyle, const char* className, const char* text, DWORD style, int32_t x,
                    int32_t y, int32_t width, int32_t height, HWND parentOrOwner, int32_t id,
                    void* createParams) {
  WindowRecord record;
  record.parent = ResolveParent(style, parentOrOwner, &record.owner);
  record.style = style;
  record.exStyle = exStyle;
  record.id = id;
  record.rect = RectOf(x, y, width, height);
  record.queue = CurrentQueue();
  HWND window = kNoWindow;
  {
    std::lock_guard lock(Tree().mutex());
    const WNDCLASS* windowClass = className == nullptr ? nullptr : Tree().FindClass(className);
    if (windowClass == nullptr) return kNoWindow;
    if (record.parent != kNoWindow && Tree().Find(record.parent) == nullptr) return kNoWindow;
    record.className = windowClass->lpszClassName;
    record.classStyle = windowClass->style;
    record.classCursor = windowClass->hCursor;
    record.proc = windowClass->lpfnWndProc;
    record.background = windowClass->hbrBackground;
    window = Tree().Add(std::move(record)).handle;
  }
  if (CreationHook hook = HookNextWindowCreation(nullptr)) hook(window);
  if ((style & WS_CHILD) == 0)
    CurrentDisplay().CreateNativeWindow(window, RectOf(x, y, width, height));
  CREATESTRUCT create{createParams, id,   parentOrOwner, height, width, y, x,
                      style,        text, className,     exStyle};
  const LPARAM createParam = reinterpret_cast<LPARAM>(&create);
  if (SendMessage(window, WM_NCCREATE, 0, createParam) == 0 ||
      SendMessage(window, WM_CREATE, 0, createParam) == kCreationFailed) {
    Destroy(window);
    return kNoWindow;
  }
  SendMessage(window, WM_SIZE, SIZE_RESTORED, MakeLParam(width, height));
  SendMessage(window, WM_MOVE, 0, MakeLParam(x, y));
  if ((style & WS_VISIBLE) != 0) {
    SendMessage(window, WM_SHOWWINDOW, 1, 0);
    InvalidateRect(window, nullptr, true);
    if ((style & WS_CHILD) == 0) CurrentDisplay().ShowNativeWindow(window, true);
  }
  return window;
}

CreationHook HookNextWindowCreation(CreationHook hook) {
  return std::exchange(nextCreationHook, std::move(hook));
}

namespace {

bool Destroy(HWND window) {
  if (!MarkDestroying(window)) return false;
  ReleaseInputOf(window);
  ReleaseCaretOf(window);
  for (const HWND owned : OwnedWindows(window)) Destroy(owned);
  SendMessage(window, WM_DESTROY, 0, 0);
  DestroyChildren(window);
  SendMessage(window, WM_NCDESTROY, 0, 0);
  Forget(window);
  return true;
}

}  // namespace

bool DestroyWindow(HWND window) {
  {
    std::lock_guard lock(Tree().mutex());
    const WindowRecord* record = Tree().FindOrReport(window, "DestroyWindow");
    if (record == nullptr) return false;
    if (!OwnedByThisThread(*record)) {
      ReportMisuse(Misuse::kOtherThread, "DestroyWindow");
      return false;
    }
  }
  return Destroy(window);
}

bool IsWindow(HWND window) {
  return WithRecord(window, false, [](const WindowRecord&) { return true; });
}

LRESULT CallWindowProc(WNDPROC proc, HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  return proc == nullptr ? 0 : proc(window, message, wParam, lParam);
}

// The parent may choose first; over its client area the window under the
// cursor (wParam) then shows its class cursor, if its class has one. A
// parent asked for a child leaves the choice to the child.
LRESULT DefaultSetCursor(HWND window, WPARAM wParam, LPARAM lParam) {
  const HWND parent = GetAncestor(window, GA_PARENT);
  if (parent != kNoWindow && SendMessage(parent, WM_SETCURSOR, wParam, lParam) != 0) return 1;
  if (static_cast<HWND>(wParam) != window || LowWord(lParam) != HTCLIENT) return 0;
  const HCURSOR cursor =
      WithRecord(window, HCURSOR{0}, [](const WindowRecord& r) { return r.classCursor; });
  if (cursor == 0) return 0;
  SetCursor(cursor);
  return 1;
}

LRESULT DefWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_NCCREATE: {
      const char* text = CreateParamsOf(lParam)->lpszName;
      WithRecord(window, 0, [text](WindowRecord& r) {
        r.text = text == nullptr ? "" : text;
        return 0;
      });
      return 1;
    }
    case WM_SETTEXT: {
      const char* text = reinterpret_cast<const char*>(lParam);
      bool topLevel = false;
      const LRESULT set = WithRecord(window, 0, [text, &topLevel](WindowRecord& r) {
        r.text = text == nullptr ? "" : text;
        topLevel = (r.style & WS_CHILD) == 0;
        return 1;
      });
      if (topLevel) CurrentDisplay().SetNativeTitle(window);
      return set;
    }
    case WM_GETTEXTLENGTH:
      return GetWindowTextLength(window);
    case WM_GETTEXT: {
      const std::string text = GetWindowText(window);
      if (wParam == 0) return 0;
      const size_t copied = std::min<size_t>(text.size(), wParam - 1);
      char* buffer = reinterpret_cast<char*>(lParam);
      std::memcpy(buffer, text.data(), copied);
      buffer[copied] = '\0';
      return static_cast<LRESULT>(copied);
    }
    case WM_WINDOWPOSCHANGED: {
      const WINDOWPOS* pos = WindowPosOf(lParam);
      if ((pos->flags & SWP_NOMOVE) == 0)
        SendMessage(window, WM_MOVE, 0, MakeLParam(pos->x, pos->y));
      if ((pos->flags & SWP_NOSIZE) == 0) {
        SendMessage(window, WM_SIZE, IsZoomed(window) ? SIZE_MAXIMIZED : SIZE_RESTORED,
                    MakeLParam(pos->cx, pos->cy));
      }
      return 0;
    }
    case WM_CLOSE:
      DestroyWindow(window);
      return 0;
    case WM_PAINT:
      return DefaultPaint(window);
    case WM_ERASEBKGND:
      return DefaultErase(window, reinterpret_cast<HDC>(wParam));
    case WM_ACTIVATE:
      if (wParam != WA_INACTIVE && !IsChild(window, GetFocus())) SetFocus(window);
      return 0;
    case WM_SETCURSOR:
      return DefaultSetCursor(window, wParam, lParam);
    case WM_SYSKEYDOWN:
    case WM_SYSKEYUP:
    case WM_SYSCHAR:
    case WM_SYSCOMMAND:
      return DefaultMenuKeys(window, message, wParam, lParam);
    case WM_MOUSEACTIVATE: {
      const HWND parent = GetAncestor(window, GA_PARENT);
      return parent == kNoWindow ? DefaultAnswer(message)
                                 : SendMessage(parent, message, wParam, lParam);
    }
    default:
      return 0;
  }
}

// ---- The tree -------------------------------------------------------------------

HWND GetParent(HWND window) {
  return WithRecord(window, kNoWindow, [](const WindowRecord& r) {
    return (r.style & WS_CHILD) != 0 ? r.parent : r.owner;
  });
}

bool IsChild(HWND parent, HWND window) {
  std::lock_guard lock(Tree().mutex());
  for (const WindowRecord* r = Tree().Find(window); r != nullptr && (r->style & WS_CHILD) != 0;
       r = Tree().Find(r->parent)) {
    if (r->parent == parent) return true;
  }
  return false;
}

HWND GetAncestor(HWND window, UINT kind) {
  std::lock_guard lock(Tree().mutex());
  const WindowRecord* record = Tree().Find(window);
  if (record == nullptr) return kNoWindow;
  const bool child = (record->style & WS_CHILD) != 0;
  if (kind == GA_PARENT) return child ? record->parent : kNoWindow;
  if (kind != GA_ROOT) return kNoWindow;
  while ((record->style & WS_CHILD) != 0) record = Tree().Find(record->parent);
  return record->handle;
}

HWND GetWindow(HWND window, UINT relation) {
  return WithRecord(window, kNoWindow, [relation](const WindowRecord& r) {
    if (relation == GW_OWNER) return r.owner;
    if (relation == GW_CHILD) return r.children.empty() ? kNoWindow : r.children.front();
    return SiblingLocked(r, relation);
  });
}

HWND GetNextWindow(HWND window, UINT relation) {
  if (relation != GW_HWNDNEXT && relation != GW_HWNDPREV) return kNoWindow;
  return GetWindow(window, relation);
}

HWND GetTopWindow(HWND parent) {
  std::lock_guard lock(Tree().mutex());
  if (parent != kNoWindow && Tree().Find(parent) == nullptr) return kNoWindow;
  const std::vector<HWND>& children = Tree().ChildrenOf(parent);
  return children.empty() ? kNoWindow : children.front();
}

HWND GetDlgItem(HWND parent, int32_t id) {
  std::lock_guard lock(Tree().mutex());
  if (Tree().Find(parent) == nullptr) return kNoWindow;
  for (const HWND child : Tree().ChildrenOf(parent)) {
    if (Tree().Find(child)->id == id) return child;
  }
  return kNoWindow;
}

int32_t GetDlgCtrlID(HWND window) {
  return WithRecord(window, 0, [](const WindowRecord& r) { return r.id; });
}

// ---- Attributes ---------------------------------------------------------------

LONG_PTR GetWindowLongPtr(HWND window, int index) {
  return WithCallersRecord(window, "GetWindowLongPtr", LONG_PTR{0},
                           [index](const WindowRecord& r) -> LONG_PTR {
                             switch (index) {
                               case GWLP_WNDPROC:
                                 return reinterpret_cast<LONG_PTR>(r.proc);
                               case GWLP_HWNDPARENT:
                                 return (r.style & WS_CHILD) != 0 ? r.parent : r.owner;
                               case GWL_STYLE:
                                 return r.style;
                               case GWL_EXSTYLE:
                                 return r.exStyle;
                               case GWLP_USERDATA:
                                 return r.userData;
                               case GWL_ID:
                                 return r.id;
                               default:
                                 return 0;
                             }
                           });
}

LONG_PTR SetWindowLongPtr(HWND window, int index, LONG_PTR value) {
  const LONG_PTR previous = GetWindowLongPtr(window, index);
  WithRecord(window, 0, [index, value](WindowRecord& r) {
    switch (index) {
      case GWLP_WNDPROC:
        r.proc = reinterpret_cast<WNDPROC>(value);
        break;
      case GWL_STYLE:
        r.style = static_cast<DWORD>(value);
        break;
      case GWL_EXSTYLE:
        r.exStyle = static_cast<DWORD>(value);
        break;
      case GWLP_USERDATA:
        r.userData = value;
        break;
      case GWL_ID:
        r.id = static_cast<int32_t>(value);
        break;
      default:
        break;
    }
    return 0;
  });
  return previous;
}

bool GetClassName(HWND window, std::string* className) {
  return WithRecord(window, false, [className](const WindowRecord& r) {
    *className = r.className;
    return true;
  });
}

bool SetWindowText(HWND window, const char* text) {
  return WithCallersRecord(window, "SetWindowText", false,
                           [](const WindowRecord&) { return true; }) &&
         SendMessage(window, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text)) != 0;
}

std::string GetWindowText(HWND window) {
  return WithCallersRecord(window, "GetWindowText", std::string(),
                           [](const WindowRecord& r) { return r.text; });
}

int32_t GetWindowTextLength(HWND window) {
  return WithRecord(window, 0,
                    [](const WindowRecord& r) { return static_cast<int32_t>(r.text.size()); });
}

bool SetProp(HWND window, const char* name, HANDLE value) {
  if (name == nullptr) return false;
  return WithRecord(window, false, [name, value](WindowRecord& r) {
    r.properties[name] = value;
    return true;
  });
}

HANDLE GetProp(HWND window, const char* name) {
  if (name == nullptr) return 0;
  return WithRecord(window, HANDLE{0}, [name](const WindowRecord& r) {
    const auto it = r.properties.find(name);
    return it == r.properties.end() ? HANDLE{0} : it->second;
  });
}

HANDLE RemoveProp(HWND window, const char* name) {
  if (name == nullptr) return 0;
  return WithRecord(window, HANDLE{0}, [name](WindowRecord& r) {
    const auto it = r.properties.find(name);
    if (it == r.properties.end()) return HANDLE{0};
    const HANDLE value = it->second;
    r.properties.erase(it);
    return value;
  });
}

// ---- State and placement ----------------------------------------------------------

bool ShowWindow(HWND window, int command) {
  ApplyShowState(window, command);
  const bool show = command != SW_HIDE;
  const std::optional<bool> wasVisible = WithCallersRecord(
      window, "ShowWindow", std::optional<bool>(),
      [](const WindowRecord& r) { return std::optional<bool>((r.style & WS_VISIBLE) != 0); });
  if (!wasVisible) return false;
  if (*wasVisible == show) return *wasVisible;
  SendMessage(window, WM_SHOWWINDOW, show ? 1 : 0, 0);
  RECT placed;
  const bool topLevel = WithRecord(window, false, [show, &placed](WindowRecord& r) {
    r.style = show ? (r.style | WS_VISIBLE) : (r.style & ~WS_VISIBLE);
    placed = r.rect;
    return (r.style & WS_CHILD) == 0;
  });
  if (topLevel) CurrentDisplay().ShowNativeWindow(window, show);
  if (show) {
    InvalidateRect(window, nullptr, true);
    if (topLevel && Activates(command)) SetActiveWindow(window);
  } else {
    if (topLevel) ReleaseInputOf(window);
    ExposeUnder(window, placed);
  }
  return *wasVisible;
}

bool IsWindowVisible(HWND window) {
  std::lock_guard lock(Tree().mutex());
  const WindowRecord* record = Tree().Find(window);
  return record != nullptr && VisibleLocked(*record);
}

bool EnableWindow(HWND window, bool enable) {
  const std::optional<bool> wasDisabled =
      WithCallersRecord(window, "EnableWindow", std::optional<bool>(), [enable](WindowRecord& r) {
        const bool disabled = (r.style & WS_DISABLED) != 0;
        r.style = enable ? (r.style & ~WS_DISABLED) : (r.style | WS_DISABLED);
        return std::optional<bool>(disabled);
      });
  if (!wasDisabled) return false;
  if (*wasDisabled == enable) SendMessage(window, WM_ENABLE, enable ? 1 : 0, 0);
  return *wasDisabled;
}

bool IsWindowEnabled(HWND window) {
  return WithRecord(window, false,
                    [](const WindowRecord& r) { return (r.style & WS_DISABLED) == 0; });
}

bool SetWindowPos(HWND window, HWND insertAfter, int32_t x, int32_t y, int32_t width,
                  int32_t height, UINT flags) {
  WINDOWPOS pos{window, insertAfter, x, y, width, height, flags};
  bool topLevel = false;
  RECT placed;
  RECT before;
  const bool found = WithCallersRecord(window, "SetWindowPos", false, [&](WindowRecord& r) {
    before = r.rect;
    if ((flags & SWP_NOMOVE) != 0 || (r.rect.left == x && r.rect.top == y)) {
      pos.flags |= SWP_NOMOVE;
      pos.x = r.rect.left;
      pos.y = r.rect.top;
    }
    if ((flags & SWP_NOSIZE) != 0 || (r.rect.Width() == width && r.rect.Height() == height)) {
      pos.flags |= SWP_NOSIZE;
      pos.cx = r.rect.Width();
      pos.cy = r.rect.Height();
    }
    r.rect = RectOf(pos.x, pos.y, pos.cx, pos.cy);
    if ((flags & SWP_NOZORDER) == 0) PlaceInZOrderLocked(r, insertAfter);
    topLevel = (r.style & WS_CHILD) == 0;
    placed = r.rect;
    return true;
  });
  if (!found) return false;
  if ((flags & SWP_SHOWWINDOW) != 0) ShowWindow(window, SW_SHOWNA);
  if ((flags & SWP_HIDEWINDOW) != 0) ShowWindow(window, SW_HIDE);
  if (topLevel) CurrentDisplay().MoveNativeWindow(window, placed);
  if (placed != before) {
    ExposeUnder(window, before);
    InvalidateRect(window, nullptr, true);
  }
  SendMessage(window, WM_WINDOWPOSCHANGED, 0, reinterpret_cast<LPARAM>(&pos));
  return true;
}

bool MoveWindow(HWND window, int32_t x, int32_t y, int32_t width, int32_t height, bool) {
  return SetWindowPos(window, HWND_TOP, x, y, width, height, SWP_NOZORDER | SWP_NOACTIVATE);
}

bool SetWindowRgn(HWND window, UniqueRegion region, bool redraw) {
  RECT placed;
  bool topLevel = false;
  const bool found = WithCallersRecord(window, "SetWindowRgn", false,
                                       [&region, &placed, &topLevel](WindowRecord& r) {
                                         r.shape = std::move(region);
                                         if (r.shape)
                                           r.update.Combine(*r.shape, Region::Operation::kAnd);
                                         placed = r.rect;
                                         topLevel = (r.style & WS_CHILD) == 0;
                                         return true;
                                       });
  if (!found) return false;
  if (topLevel) CurrentDisplay().ShapeNativeWindow(window);
  if (redraw) {
    ExposeUnder(window, placed);
    InvalidateRect(window, nullptr, true);
  }
  return true;
}

int GetWindowRgn(HWND window, HRGN region) {
  if (region == nullptr) return ERROR;
  return WithCallersRecord(window, "GetWindowRgn", ERROR, [region](const WindowRecord& r) {
    if (!r.shape) return ERROR;
    *region = *r.shape;
    return region->Kind();
  });
}

bool GetWindowRect(HWND window, RECT* rect) {
  std::lock_guard lock(Tree().mutex());
  const WindowRecord* record = Tree().FindOrReport(window, "GetWindowRect");
  if (record == nullptr || rect == nullptr) return false;
  const POINT origin = ScreenOriginLocked(window);
  *rect = RectOf(origin.x, origin.y, record->rect.Width(), record->rect.Height());
  return true;
}

bool GetClientRect(HWND window, RECT* rect) {
  return rect != nullptr &&
         WithCallersRecord(window, "GetClientRect", false, [rect](const WindowRecord& r) {
           *rect = RectOf(0, 0, r.rect.Width(), r.rect.Height());
           return true;
         });
}

int32_t MapWindowPoints(HWND from, HWND to, POINT* points, uint32_t count) {
  std::lock_guard lock(Tree().mutex());
  const POINT fromOrigin = from == kNoWindow ? POINT{} : ScreenOriginLocked(from);
  const POINT toOrigin = to == kNoWindow ? POINT{} : ScreenOriginLocked(to);
  const int32_t dx = fromOrigin.x - toOrigin.x;
  const int32_t dy = fromOrigin.y - toOrigin.y;
  for (uint32_t i = 0; i < count; ++i) {
    points[i].x += dx;
    points[i].y += dy;
  }
  return static_cast<int32_t>(static_cast<uint32_t>(dx & 0xFFFF) |
                              (static_cast<uint32_t>(dy & 0xFFFF) << 16));
}

bool ClientToScreen(HWND window, POINT* point) {
  if (!IsWindow(window) || point == nullptr) return false;
  MapWindowPoints(window, kNoWindow, point, 1);
  return true;
}

bool ScreenToClient(HWND window, POINT* point) {
  if (!IsWindow(window) || point == nullptr) return false;
  MapWindowPoints(kNoWindow, window, point, 1);
  return true;
}

HWND WindowFromPoint(POINT point) {
  constexpr UINT kReachable = CWP_SKIPINVISIBLE | CWP_SKIPDISABLED;
  std::lock_guard lock(Tree().mutex());
  HWND found = kNoWindow;
  for (HWND child = ChildAtLocked(found, point, kReachable); child != kNoWindow;
       child = ChildAtLocked(found, point, kReachable)) {
    point.x -= Tree().Find(child)->rect.left;
    point.y -= Tree().Find(child)->rect.top;
    found = child;
  }
  return found;
}

HWND ChildWindowFromPointEx(HWND parent, POINT point, UINT flags) {
  std::lock_guard lock(Tree().mutex());
  const WindowRecord* record = Tree().Find(parent);
  if (record == nullptr) return kNoWindow;
  if (!InShape(*record, point)) return kNoWindow;
  const HWND child = ChildAtLocked(parent, point, flags);
  return child == kNoWindow ? parent : child;
}

HWND ChildWindowFromPoint(HWND parent, POINT point) {
  return ChildWindowFromPointEx(parent, point, CWP_ALL);
}

}  // namespace platform
