#include "platform/paint.h"

#include <cassert>
#include <map>
#include <utility>

#include "platform/display_backend.h"
#include "platform/window.h"
#include "platform/window_tree.h"

namespace platform {

namespace {

RECT ClientOf(const WindowRecord& record) {
  return RECT{0, 0, record.rect.Width(), record.rect.Height()};
}

RECT Moved(const RECT& r, POINT by) {
  return RECT{r.left + by.x, r.top + by.y, r.right + by.x, r.bottom + by.y};
}

bool Visible(const WindowRecord& record) { return (record.style & WS_VISIBLE) != 0; }

// The window's client origin in its top-level window's image.
POINT OriginInTopLocked(const WindowRecord& record) {
  POINT origin;
  for (const WindowRecord* r = &record; (r->style & WS_CHILD) != 0; r = Tree().Find(r->parent)) {
    origin.x += r->rect.left;
    origin.y += r->rect.top;
  }
  return origin;
}

WindowRecord& TopOfLocked(WindowRecord& record) {
  WindowRecord* r = &record;
  while ((r->style & WS_CHILD) != 0) r = Tree().Find(r->parent);
  return *r;
}

// The part of the window's client area its drawing may reach, in its
// top-level window's image, as its clipping styles say.
RectList VisibleAreaLocked(const WindowRecord& record) {
  const POINT origin = OriginInTopLocked(record);
  RectList area(Moved(ClientOf(record), origin));
  for (const WindowRecord* r = &record; (r->style & WS_CHILD) != 0;) {
    r = Tree().Find(r->parent);
    area.Intersect(Moved(ClientOf(*r), OriginInTopLocked(*r)));
  }
  if ((record.style & WS_CLIPCHILDREN) != 0) {
    for (const HWND child : record.children) {
      const WindowRecord& c = *Tree().Find(child);
      if (Visible(c)) area.Subtract(Moved(c.rect, origin));
    }
  }
  if ((record.style & (WS_CHILD | WS_CLIPSIBLINGS)) == (WS_CHILD | WS_CLIPSIBLINGS)) {
    const POINT parentOrigin = OriginInTopLocked(*Tree().Find(record.parent));
    for (const HWND sibling : Tree().SiblingsOf(record)) {
      if (sibling == record.handle) break;
      const WindowRecord& s = *Tree().Find(sibling);
      if (Visible(s)) area.Subtract(Moved(s.rect, parentOrigin));
    }
  }
  return area;
}

HDC SurfaceLocked(WindowRecord& top) {
  const RECT client = ClientOf(top);
  if (!top.surface || GetDeviceCaps(top.surface.get(), HORZRES) != client.Width() ||
      GetDeviceCaps(top.surface.get(), VERTRES) != client.Height()) {
    top.surface = CreateImageDC(client.Width(), client.Height());
  }
  return top.surface.get();
}

enum class Children { kUnlessClipped, kAll, kNone };

Children ChildrenOfFlags(UINT flags) {
  if ((flags & RDW_ALLCHILDREN) != 0) return Children::kAll;
  if ((flags & RDW_NOCHILDREN) != 0) return Children::kNone;
  return Children::kUnlessClipped;
}

bool Reaches(const WindowRecord& record, Children children) {
  if (children == Children::kNone) return false;
  return children == Children::kAll || (record.style & WS_CLIPCHILDREN) == 0;
}

// Runs `change` on the area (client coordinates) of the window and of the
// children under it that `children` reaches.
template <typename Change>
void ForAreaLocked(WindowRecord& record, const RECT& area, Children children, Change change) {
  if (!Visible(record)) return;
  const RECT inside = IntersectionOf(area, ClientOf(record));
  if (inside.IsEmpty()) return;
  change(record, inside);
  if (!Reaches(record, children)) return;
  for (const HWND child : record.children) {
    WindowRecord& c = *Tree().Find(child);
    ForAreaLocked(c, Moved(inside, POINT{-c.rect.left, -c.rect.top}), children, change);
  }
}

void InvalidateLocked(WindowRecord& record, const RECT& area, bool erase, Children children) {
  ForAreaLocked(record, area, children, [erase](WindowRecord& r, const RECT& inside) {
    r.update.Add(inside);
    r.erasePending = r.erasePending || erase;
    r.queue->Wake();
  });
}

void ValidateLocked(WindowRecord& record, const RECT& area, bool keepErase, Children children) {
  ForAreaLocked(record, area, children, [keepErase](WindowRecord& r, const RECT& inside) {
    r.update.Subtract(inside);
    if (r.update.IsEmpty() || !keepErase) r.erasePending = false;
  });
}

// The window and the children `children` reaches, parents first.
void CollectLocked(const WindowRecord& record, Children children, std::vector<HWND>* windows) {
  windows->push_back(record.handle);
  if (!Reaches(record, children)) return;
  for (const HWND child : record.children) CollectLocked(*Tree().Find(child), children, windows);
}

// The DCs handed out and not yet given back, by the thread that has them.
std::map<HDC, UniqueDC>& OpenDCs() {
  thread_local std::map<HDC, UniqueDC> open;
  return open;
}

HDC HandOut(UniqueDC dc) {
  const HDC handle = dc.get();
  if (handle != nullptr) OpenDCs()[handle] = std::move(dc);
  return handle;
}

bool GiveBack(HDC dc) { return OpenDCs().erase(dc) != 0; }

// A DC over the window clipped to `area` (client coordinates), or to its
// whole visible part.
// The one window whose drawing is held back, guarded by the tree's mutex.
// A window that is gone holds nothing back.
HWND& LockedWindowLocked() {
  static HWND locked = kNoWindow;
  if (locked != kNoWindow && Tree().Find(locked) == nullptr) locked = kNoWindow;
  return locked;
}

bool IsLockedOutLocked(const WindowRecord& record) {
  const HWND locked = LockedWindowLocked();
  if (locked == kNoWindow) return false;
  for (const WindowRecord* r = &record; r != nullptr; r = Tree().Find(r->parent)) {
    if (r->handle == locked) return true;
    if ((r->style & WS_CHILD) == 0) break;
  }
  return false;
}

UniqueDC WindowDC(HWND window, const RectList* area) {
  std::lock_guard lock(Tree().mutex());
  WindowRecord* record = Tree().Find(window);
  if (record == nullptr) return nullptr;
  assert(record->queue == CurrentQueue() && "a window is painted by its own thread");
  RectList clip = IsLockedOutLocked(*record) ? RectList() : VisibleAreaLocked(*record);
  const POINT origin = OriginInTopLocked(*record);
  if (area != nullptr) {
    RectList wanted = *area;
    wanted.Offset(origin.x, origin.y);
    RectList kept;
    for (const RECT& part : wanted.rects()) {
      RectList piece = clip;
      piece.Intersect(part);
      for (const RECT& r : piece.rects()) kept.Add(r);
    }
    clip = kept;
  }
  return CreateViewDC(SurfaceLocked(TopOfLocked(*record)), origin, clip.rects());
}

bool PaintFilterPasses(HWND window, UINT first, UINT last) {
  if (window == kThreadMessagesOnly) return false;
  return (first == 0 && last == 0) || (WM_PAINT >= first && WM_PAINT <= last);
}

// Parents before their children, top-level windows in Z order.
HWND FindPaintLocked(const std::vector<HWND>& windows, HWND filter) {
  for (const HWND handle : windows) {
    const WindowRecord& record = *Tree().Find(handle);
    if (record.queue != CurrentQueue() || !Visible(record) || handle == LockedWindowLocked())
      continue;
    if (!record.update.IsEmpty() && (filter == kNoWindow || filter == handle)) return handle;
    if (const HWND child = FindPaintLocked(record.children, filter)) return child;
  }
  return kNoWindow;
}

}  // namespace

bool TakePaint(MSG* msg, HWND window, UINT first, UINT last) {
  if (!PaintFilterPasses(window, first, last)) return false;
  std::lock_guard lock(Tree().mutex());
  const HWND found = FindPaintLocked(Tree().ChildrenOf(kNoWindow), window);
  if (found == kNoWindow) return false;
  if (msg != nullptr) *msg = MSG{found, WM_PAINT, 0, 0};
  return true;
}

bool InvalidateRect(HWND window, const RECT* rect, bool erase) {
  std::lock_guard lock(Tree().mutex());
  WindowRecord* record = Tree().Find(window);
  if (record == nullptr) return false;
  InvalidateLocked(*record, rect != nullptr ? *rect : ClientOf(*record), erase,
                   Children::kUnlessClipped);
  return true;
}

bool ValidateRect(HWND window, const RECT* rect) {
  std::lock_guard lock(Tree().mutex());
  WindowRecord* record = Tree().Find(window);
  if (record == nullptr) return false;
  if (rect == nullptr) {
    record->update.Clear();
  } else {
    record->update.Subtract(*rect);
  }
  if (record->update.IsEmpty()) record->erasePending = false;
  return true;
}

bool GetUpdateRect(HWND window, RECT* rect, bool erase) {
  RectList update;
  bool erasePending = false;
  {
    std::lock_guard lock(Tree().mutex());
    WindowRecord* record = Tree().Find(window);
    if (record == nullptr) return false;
    update = record->update;
    erasePending = record->erasePending;
    if (erase) record->erasePending = false;
  }
  if (rect != nullptr) *rect = update.Bounds();
  if (erase && erasePending) {
    UniqueDC dc = WindowDC(window, &update);
    if (SendMessage(window, WM_ERASEBKGND, reinterpret_cast<WPARAM>(dc.get()), 0) == 0) {
      std::lock_guard lock(Tree().mutex());
      if (WindowRecord* record = Tree().Find(window)) record->erasePending = true;
    }
  }
  return !update.IsEmpty();
}

bool RedrawWindow(HWND window, const RECT* rect, HRGN region, UINT flags) {
  if (region != nullptr) return false;
  const Children children = ChildrenOfFlags(flags);
  std::vector<HWND> windows;
  {
    std::lock_guard lock(Tree().mutex());
    WindowRecord* record = Tree().Find(window);
    if (record == nullptr) return false;
    const RECT area = rect != nullptr ? *rect : ClientOf(*record);
    if ((flags & RDW_INVALIDATE) != 0) {
      InvalidateLocked(*record, area, (flags & RDW_ERASE) != 0, children);
    } else if ((flags & RDW_VALIDATE) != 0) {
      ValidateLocked(*record, area, (flags & RDW_NOERASE) == 0, children);
    }
    CollectLocked(*record, children, &windows);
  }
  for (const HWND each : windows) {
    if ((flags & RDW_UPDATENOW) != 0) {
      UpdateWindow(each);
    } else if ((flags & RDW_ERASENOW) != 0) {
      GetUpdateRect(each, nullptr, true);
    }
  }
  return true;
}

bool UpdateWindow(HWND window) {
  RECT pending;
  if (GetUpdateRect(window, &pending, false)) SendMessage(window, WM_PAINT, 0, 0);
  return IsWindow(window);
}

HDC BeginPaint(HWND window, PAINTSTRUCT* paint) {
  if (paint == nullptr) return nullptr;
  RectList update;
  bool erase = false;
  {
    std::lock_guard lock(Tree().mutex());
    WindowRecord* record = Tree().Find(window);
    if (record == nullptr) return nullptr;
    update = record->update;
    erase = record->erasePending;
    record->update.Clear();
    record->erasePending = false;
  }
  const HDC dc = HandOut(WindowDC(window, &update));
  paint->hdc = dc;
  paint->rcPaint = update.Bounds();
  paint->fErase = erase && SendMessage(window, WM_ERASEBKGND, reinterpret_cast<WPARAM>(dc), 0) == 0;
  return dc;
}

// What a paint drew, in its top-level window's surface, clipped to where
// the window's drawing reaches; empty for a window that is gone.
std::pair<HWND, RECT> PaintedAreaInTop(HWND window, const RECT& painted) {
  std::lock_guard lock(Tree().mutex());
  WindowRecord* record = Tree().Find(window);
  if (record == nullptr) return {kNoWindow, RECT{}};
  RectList area = VisibleAreaLocked(*record);
  area.Intersect(Moved(painted, OriginInTopLocked(*record)));
  return {TopOfLocked(*record).handle, area.Bounds()};
}

bool EndPaint(HWND window, const PAINTSTRUCT* paint) {
  if (paint == nullptr || !GiveBack(paint->hdc)) return false;
  const auto [top, dirty] = PaintedAreaInTop(window, paint->rcPaint);
  if (top != kNoWindow && !dirty.IsEmpty()) {
    CurrentDisplay().PresentNativeWindow(top, dirty);
  }
  return true;
}

int ScrollWindowEx(HWND window, int32_t dx, int32_t dy, const RECT* scroll, const RECT* clip,
                   HRGN updateRegion, RECT* update, UINT flags) {
  RectList exposed;
  {
    std::lock_guard lock(Tree().mutex());
    WindowRecord* record = Tree().Find(window);
    if (record == nullptr) return ERROR;
    const RECT client = ClientOf(*record);
    const RECT area =
        IntersectionOf(scroll != nullptr ? *scroll : client, clip != nullptr ? *clip : client);
    exposed.Add(area);
    exposed.Subtract(Moved(area, POINT{dx, dy}));
    const POINT origin = OriginInTopLocked(*record);
    const RectList visible = VisibleAreaLocked(*record);
    const HDC image = SurfaceLocked(TopOfLocked(*record));
    for (const RECT& part : visible.rects()) {
      ScrollImage(image, IntersectionOf(part, Moved(area, origin)), dx, dy);
    }
    RectList moved = record->update;
    moved.Intersect(area);
    record->update.Subtract(area);
    moved.Offset(dx, dy);
    moved.Intersect(area);
    for (const RECT& r : moved.rects()) record->update.Add(r);
  }
  if ((flags & SW_INVALIDATE) != 0) {
    for (const RECT& r : exposed.rects()) InvalidateRect(window, &r, (flags & SW_ERASE) != 0);
  }
  if (update != nullptr) *update = exposed.Bounds();
  if (updateRegion != nullptr) {
    for (const RECT& r : exposed.rects()) {
      UniqueRegion part = CreateRectRgn(r.left, r.top, r.right, r.bottom);
      CombineRgn(updateRegion, &r == &exposed.rects().front() ? part.get() : updateRegion,
                 part.get(), RGN_OR);
    }
  }
  if (exposed.IsEmpty()) return NULLREGION;
  return exposed.rects().size() == 1 ? SIMPLEREGION : COMPLEXREGION;
}

bool ScrollWindow(HWND window, int32_t dx, int32_t dy, const RECT* scroll, const RECT* clip) {
  return ScrollWindowEx(window, dx, dy, scroll, clip, nullptr, nullptr, SW_INVALIDATE | SW_ERASE) !=
         ERROR;
}

HDC GetDC(HWND window) { return HandOut(WindowDC(window, nullptr)); }

HDC GetWindowDC(HWND window) { return GetDC(window); }

bool LockWindowUpdate(HWND window) {
  std::lock_guard lock(Tree().mutex());
  HWND& locked = LockedWindowLocked();
  if (window == kNoWindow) {
    if (locked == kNoWindow) return false;
    WindowRecord& record = *Tree().Find(std::exchange(locked, kNoWindow));
    record.queue->Wake();
    return true;
  }
  if (locked != kNoWindow || Tree().Find(window) == nullptr) return false;
  locked = window;
  return true;
}

int ReleaseDC(HWND, HDC dc) { return GiveBack(dc) ? 1 : 0; }

HDC GetWindowSurface(HWND topLevel) {
  std::lock_guard lock(Tree().mutex());
  WindowRecord* record = Tree().Find(topLevel);
  if (record == nullptr || (record->style & WS_CHILD) != 0) return nullptr;
  return SurfaceLocked(*record);
}

LRESULT DefaultPaint(HWND window) {
  PAINTSTRUCT paint;
  BeginPaint(window, &paint);
  EndPaint(window, &paint);
  return 0;
}

LRESULT DefaultErase(HWND window, HDC dc) {
  HBRUSH brush = nullptr;
  RECT client;
  {
    std::lock_guard lock(Tree().mutex());
    const WindowRecord* record = Tree().Find(window);
    if (record == nullptr) return 0;
    brush = record->background;
    client = ClientOf(*record);
  }
  if (brush == nullptr || dc == nullptr) return 0;
  FillRect(dc, client, brush);
  return 1;
}

}  // namespace platform
