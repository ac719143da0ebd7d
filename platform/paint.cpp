#include "platform/paint.h"

#include <algorithm>
#include <map>
#include <optional>
#include <utility>

#include "platform/caller_assert.h"
#include "platform/display_backend.h"
#include "platform/region.h"
#include "platform/window.h"
#include "platform/window_tree.h"

namespace platform {

namespace {

RECT ClientOf(const WindowRecord& record) {
  return RECT{0, 0, record.rect.Width(), record.rect.Height()};
}

RECT Moved(const RECT& r, POINT by) { return r.Offset(by.x, by.y); }

Region Moved(Region region, POINT by) {
  region.Offset(by.x, by.y);
  return region;
}

Region And(Region a, const Region& b) {
  a.Combine(b, Region::Operation::kAnd);
  return a;
}

Region Minus(Region a, const Region& b) {
  a.Combine(b, Region::Operation::kDiff);
  return a;
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

// The pixels a window covers in its own client coordinates: its client
// area, cut to its window region when it has one.
Region ShapeOf(const WindowRecord& record) {
  Region shape(ClientOf(record));
  return record.shape ? And(std::move(shape), *record.shape) : shape;
}

// What a window covers in its parent's client coordinates.
Region PlacedShapeOf(const WindowRecord& record) {
  return Moved(ShapeOf(record), POINT{record.rect.left, record.rect.top});
}

// The part of the window's shape its drawing may reach, in its top-level
// window's image, as its clipping styles say.
Region VisibleAreaLocked(const WindowRecord& record) {
  const POINT origin = OriginInTopLocked(record);
  Region area = Moved(ShapeOf(record), origin);
  for (const WindowRecord* r = &record; (r->style & WS_CHILD) != 0;) {
    r = Tree().Find(r->parent);
    area = And(std::move(area), Moved(ShapeOf(*r), OriginInTopLocked(*r)));
  }
  if ((record.style & WS_CLIPCHILDREN) != 0) {
    for (const HWND child : record.children) {
      const WindowRecord& c = *Tree().Find(child);
      if (Visible(c)) area = Minus(std::move(area), Moved(PlacedShapeOf(c), origin));
    }
  }
  if ((record.style & (WS_CHILD | WS_CLIPSIBLINGS)) == (WS_CHILD | WS_CLIPSIBLINGS)) {
    const POINT parentOrigin = OriginInTopLocked(*Tree().Find(record.parent));
    for (const HWND sibling : Tree().SiblingsOf(record)) {
      if (sibling == record.handle) break;
      const WindowRecord& s = *Tree().Find(sibling);
      if (Visible(s)) area = Minus(std::move(area), Moved(PlacedShapeOf(s), parentOrigin));
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
// children under it that `children` reaches. The part of the area
// outside a window's shape is none of its business.
template <typename Change>
void ForAreaLocked(WindowRecord& record, const Region& area, Children children, Change change) {
  if (!Visible(record)) return;
  const Region inside = And(area, ShapeOf(record));
  if (inside.IsEmpty()) return;
  change(record, inside);
  if (!Reaches(record, children)) return;
  for (const HWND child : record.children) {
    WindowRecord& c = *Tree().Find(child);
    ForAreaLocked(c, Moved(inside, POINT{-c.rect.left, -c.rect.top}), children, change);
  }
}

void InvalidateLocked(WindowRecord& record, const Region& area, bool erase, Children children) {
  ForAreaLocked(record, area, children, [erase](WindowRecord& r, const Region& inside) {
    r.update.Combine(inside, Region::Operation::kOr);
    r.erasePending = r.erasePending || erase;
    r.queue->Wake();
  });
}

void ValidateLocked(WindowRecord& record, const Region& area, bool keepErase, Children children) {
  ForAreaLocked(record, area, children, [keepErase](WindowRecord& r, const Region& inside) {
    r.update.Combine(inside, Region::Operation::kDiff);
    if (r.update.IsEmpty() || !keepErase) r.erasePending = false;
  });
}

// Without a region or rectangle: the whole client area.
Region AreaOf(const WindowRecord& record, const RECT* rect, HRGN region) {
  if (region != nullptr) return *region;
  return Region(rect != nullptr ? *rect : ClientOf(record));
}

// The window and the children `children` reaches, parents first.
void CollectLocked(const WindowRecord& record, Children children, std::vector<HWND>* windows) {
  windows->push_back(record.handle);
  if (!Reaches(record, children)) return;
  for (const HWND child : record.children) CollectLocked(*Tree().Find(child), children, windows);
}

// A DC over a window: one made for the caller, or the window's own
// (CS_OWNDC), which lives as long as the window.
struct WindowDCHandle {
  UniqueDC made;
  HDC dc = nullptr;
};

// A DC handed out and not yet given back; EndPaint takes back only a
// paint's DC, from the window that began the paint. A window's own DC is
// here only during its paint.
struct OpenDC {
  UniqueDC made;
  HWND paintOf = kNoWindow;
};

// The DCs handed out, by the thread that has them.
std::map<HDC, OpenDC>& OpenDCs() {
  thread_local std::map<HDC, OpenDC> open;
  return open;
}

HDC HandOut(WindowDCHandle handle, HWND paintOf) {
  if (handle.dc != nullptr && (handle.made != nullptr || paintOf != kNoWindow)) {
    OpenDCs()[handle.dc] = OpenDC{std::move(handle.made), paintOf};
  }
  return handle.dc;
}

// A paint's DC stays open: only EndPaint ends a paint.
bool GiveBack(HDC dc) {
  const auto it = OpenDCs().find(dc);
  if (it == OpenDCs().end()) return false;
  if (it->second.paintOf != kNoWindow) {
    ReportMisuse(Misuse::kOutsidePaint, "ReleaseDC");
    return false;
  }
  OpenDCs().erase(it);
  return true;
}

bool EndsItsPaint(HWND window, HDC dc) {
  const auto it = OpenDCs().find(dc);
  if (it == OpenDCs().end() || it->second.paintOf == kNoWindow || it->second.paintOf != window) {
    return false;
  }
  OpenDCs().erase(it);
  return true;
}

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

// A caller's window handle that names no window is reported under `call`;
// none means the window system asks for itself and may find it gone.
WindowRecord* LookUpLocked(HWND window, const char* call) {
  return call == nullptr ? Tree().Find(window) : Tree().FindOrReport(window, call);
}

// Only the window's own thread draws on it. A window's own DC is pointed
// at where the window is now and keeps everything else set in it.
WindowDCHandle WindowDC(HWND window, const Region* area, const char* call) {
  std::lock_guard lock(Tree().mutex());
  WindowRecord* record = LookUpLocked(window, call);
  if (record == nullptr) return {};
  if (record->queue != CurrentQueue()) {
    ReportMisuse(Misuse::kOtherThread, call != nullptr ? call : "WindowDC");
    return {};
  }
  Region clip = IsLockedOutLocked(*record) ? Region() : VisibleAreaLocked(*record);
  const POINT origin = OriginInTopLocked(*record);
  if (area != nullptr) clip = And(std::move(clip), Moved(*area, origin));
  const HDC surface = SurfaceLocked(TopOfLocked(*record));
  if ((record->classStyle & CS_OWNDC) == 0) {
    UniqueDC made = CreateViewDC(surface, origin, clip.Rects());
    const HDC dc = made.get();
    return {std::move(made), dc};
  }
  if (record->ownDC == nullptr) {
    record->ownDC = CreateViewDC(surface, origin, clip.Rects());
  } else {
    RetargetViewDC(record->ownDC.get(), surface, origin, clip.Rects());
  }
  return {nullptr, record->ownDC.get()};
}

bool IsOwnDC(HWND window, HDC dc) {
  std::lock_guard lock(Tree().mutex());
  const WindowRecord* record = Tree().Find(window);
  return record != nullptr && record->ownDC != nullptr && record->ownDC.get() == dc;
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

namespace {

bool Invalidate(HWND window, const RECT* rect, HRGN region, bool erase, const char* call) {
  std::lock_guard lock(Tree().mutex());
  WindowRecord* record = LookUpLocked(window, call);
  if (record == nullptr) return false;
  InvalidateLocked(*record, AreaOf(*record, rect, region), erase, Children::kUnlessClipped);
  return true;
}

bool Validate(HWND window, const RECT* rect, HRGN region, const char* call) {
  std::lock_guard lock(Tree().mutex());
  WindowRecord* record = LookUpLocked(window, call);
  if (record == nullptr) return false;
  record->update.Combine(AreaOf(*record, rect, region), Region::Operation::kDiff);
  if (record->update.IsEmpty()) record->erasePending = false;
  return true;
}

// The update region in client coordinates; with `erase`, a pending erase
// is done now. Nothing for a window that is gone.
std::optional<Region> TakeUpdate(HWND window, bool erase, const char* call) {
  Region update;
  bool erasePending = false;
  {
    std::lock_guard lock(Tree().mutex());
    WindowRecord* record = LookUpLocked(window, call);
    if (record == nullptr) return std::nullopt;
    update = record->update;
    erasePending = record->erasePending;
    if (erase) record->erasePending = false;
  }
  if (erase && erasePending) {
    const WindowDCHandle dc = WindowDC(window, &update, nullptr);
    if (SendMessage(window, WM_ERASEBKGND, reinterpret_cast<WPARAM>(dc.dc), 0) == 0) {
      std::lock_guard lock(Tree().mutex());
      if (WindowRecord* record = Tree().Find(window)) record->erasePending = true;
    }
  }
  return update;
}

}  // namespace

bool InvalidateRect(HWND window, const RECT* rect, bool erase) {
  return Invalidate(window, rect, nullptr, erase, "InvalidateRect");
}

bool InvalidateRgn(HWND window, HRGN region, bool erase) {
  return Invalidate(window, nullptr, region, erase, "InvalidateRgn");
}

bool ValidateRect(HWND window, const RECT* rect) {
  return Validate(window, rect, nullptr, "ValidateRect");
}

bool ValidateRgn(HWND window, HRGN region) {
  return Validate(window, nullptr, region, "ValidateRgn");
}

int GetUpdateRgn(HWND window, HRGN region, bool erase) {
  if (region == nullptr) return ERROR;
  const std::optional<Region> update = TakeUpdate(window, erase, "GetUpdateRgn");
  if (!update) return ERROR;
  *region = *update;
  return region->Kind();
}

bool GetUpdateRect(HWND window, RECT* rect, bool erase) {
  const std::optional<Region> update = TakeUpdate(window, erase, "GetUpdateRect");
  if (!update) return false;
  if (rect != nullptr) *rect = update->Box();
  return !update->IsEmpty();
}

namespace {

// Sends WM_PAINT at once when the update region is not empty.
bool PaintNow(HWND window, const char* call) {
  const std::optional<Region> update = TakeUpdate(window, false, call);
  if (update && !update->IsEmpty()) SendMessage(window, WM_PAINT, 0, 0);
  return update.has_value() && IsWindow(window);
}

}  // namespace

bool RedrawWindow(HWND window, const RECT* rect, HRGN region, UINT flags) {
  const Children children = ChildrenOfFlags(flags);
  std::vector<HWND> windows;
  {
    std::lock_guard lock(Tree().mutex());
    WindowRecord* record = Tree().FindOrReport(window, "RedrawWindow");
    if (record == nullptr) return false;
    const Region area = AreaOf(*record, rect, region);
    if ((flags & RDW_INVALIDATE) != 0) {
      InvalidateLocked(*record, area, (flags & RDW_ERASE) != 0, children);
    } else if ((flags & RDW_VALIDATE) != 0) {
      ValidateLocked(*record, area, (flags & RDW_NOERASE) == 0, children);
    }
    CollectLocked(*record, children, &windows);
  }
  // Painting one may destroy another: those gone are passed over.
  for (const HWND each : windows) {
    if ((flags & RDW_UPDATENOW) != 0) {
      PaintNow(each, nullptr);
    } else if ((flags & RDW_ERASENOW) != 0) {
      TakeUpdate(each, true, nullptr);
    }
  }
  return true;
}

bool UpdateWindow(HWND window) { return PaintNow(window, "UpdateWindow"); }

HDC BeginPaint(HWND window, PAINTSTRUCT* paint) {
  if (paint == nullptr) return nullptr;
  paint->hdc = nullptr;
  Region update;
  bool erase = false;
  {
    std::lock_guard lock(Tree().mutex());
    WindowRecord* record = Tree().FindOrReport(window, "BeginPaint");
    if (record == nullptr) return nullptr;
    if (record->queue != CurrentQueue()) {
      ReportMisuse(Misuse::kOtherThread, "BeginPaint");
      return nullptr;
    }
    update = record->update;
    erase = record->erasePending;
    record->update = Region();
    record->erasePending = false;
  }
  const HDC dc = HandOut(WindowDC(window, &update, nullptr), window);
  paint->hdc = dc;
  paint->rcPaint = update.Box();
  paint->fErase = erase && SendMessage(window, WM_ERASEBKGND, reinterpret_cast<WPARAM>(dc), 0) == 0;
  return dc;
}

// What a paint drew, in its top-level window's surface, clipped to where
// the window's drawing reaches; empty for a window that is gone.
std::pair<HWND, RECT> PaintedAreaInTop(HWND window, const RECT& painted) {
  std::lock_guard lock(Tree().mutex());
  WindowRecord* record = Tree().Find(window);
  if (record == nullptr) return {kNoWindow, RECT{}};
  const Region area =
      And(VisibleAreaLocked(*record), Region(Moved(painted, OriginInTopLocked(*record))));
  return {TopOfLocked(*record).handle, area.Box()};
}

namespace {

// Shows what changed in a part of the window (client coordinates).
void PresentPart(HWND window, const RECT& part) {
  const auto [top, dirty] = PaintedAreaInTop(window, part);
  if (top != kNoWindow && !dirty.IsEmpty()) {
    CurrentDisplay().PresentNativeWindow(top, dirty);
  }
}

}  // namespace

// A paint that never began (BeginPaint failed, and said so) ends quietly.
bool EndPaint(HWND window, const PAINTSTRUCT* paint) {
  if (paint == nullptr || paint->hdc == nullptr) return false;
  if (!EndsItsPaint(window, paint->hdc)) {
    ReportMisuse(Misuse::kOutsidePaint, "EndPaint");
    return false;
  }
  PresentPart(window, paint->rcPaint);
  return true;
}

namespace {

// Scrolls the visible part of `area` (client coordinates) on the
// window's surface and answers what the scroll could not fill from
// visible pixels: the strip it left and the parts whose source was hidden.
Region ScrollVisibleLocked(WindowRecord& record, const RECT& area, POINT by) {
  const POINT origin = OriginInTopLocked(record);
  const Region visible =
      And(Moved(VisibleAreaLocked(record), POINT{-origin.x, -origin.y}), Region(area));
  const Region filled = And(Moved(visible, by), visible);
  ScrollImage(SurfaceLocked(TopOfLocked(record)), Moved(area, origin), by.x, by.y,
              Moved(filled, origin).Rects());
  return Minus(visible, filled);
}

}  // namespace

int ScrollWindowEx(HWND window, int32_t dx, int32_t dy, const RECT* scroll, const RECT* clip,
                   HRGN updateRegion, RECT* update, UINT flags) {
  Region exposed;
  RECT area;
  {
    std::lock_guard lock(Tree().mutex());
    WindowRecord* record = Tree().FindOrReport(window, "ScrollWindowEx");
    if (record == nullptr) return ERROR;
    const RECT client = ClientOf(*record);
    area = IntersectionOf(scroll != nullptr ? *scroll : client, clip != nullptr ? *clip : client);
    exposed = ScrollVisibleLocked(*record, area, POINT{dx, dy});
    const Region moved = And(Moved(And(record->update, Region(area)), POINT{dx, dy}), Region(area));
    record->update = Minus(std::move(record->update), Region(area));
    record->update.Combine(moved, Region::Operation::kOr);
  }
  // The moved pixels are shown now; the strip left behind when painted.
  PresentPart(window, area);
  if ((flags & SW_INVALIDATE) != 0) InvalidateRgn(window, &exposed, (flags & SW_ERASE) != 0);
  if (update != nullptr) *update = exposed.Box();
  if (updateRegion != nullptr) *updateRegion = exposed;
  return exposed.Kind();
}

bool ScrollWindow(HWND window, int32_t dx, int32_t dy, const RECT* scroll, const RECT* clip) {
  return ScrollWindowEx(window, dx, dy, scroll, clip, nullptr, nullptr, SW_INVALIDATE | SW_ERASE) !=
         ERROR;
}

HDC GetDC(HWND window) { return HandOut(WindowDC(window, nullptr, "GetDC"), kNoWindow); }

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

// A window's own DC is never given back. What a DC drew outside a paint
// is shown when it is released.
int ReleaseDC(HWND window, HDC dc) {
  if (!IsOwnDC(window, dc) && !GiveBack(dc)) return 0;
  RECT client;
  if (GetClientRect(window, &client)) PresentPart(window, client);
  return 1;
}

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
