#include "platform/region.h"

#include <cairo.h>

#include <algorithm>
#include <atomic>
#include <cmath>
#include <utility>

namespace platform {

namespace {

cairo_rectangle_int_t ToCairo(const RECT& rect) {
  return cairo_rectangle_int_t{rect.left, rect.top, rect.Width(), rect.Height()};
}

RECT FromCairo(const cairo_rectangle_int_t& rect) {
  return RECT{rect.x, rect.y, rect.x + rect.width, rect.y + rect.height};
}

RECT Normalised(int32_t left, int32_t top, int32_t right, int32_t bottom) {
  return RECT{std::min(left, right), std::min(top, bottom), std::max(left, right),
              std::max(top, bottom)};
}

}  // namespace

Region::Region() : region_(cairo_region_create()) {}

Region::Region(const RECT& rect) : Region() {
  if (!rect.IsEmpty()) {
    const cairo_rectangle_int_t box = ToCairo(rect);
    cairo_region_union_rectangle(region_, &box);
  }
}

Region::Region(const std::vector<RECT>& rects) : Region() {
  for (const RECT& rect : rects) {
    if (rect.IsEmpty()) continue;
    const cairo_rectangle_int_t box = ToCairo(rect);
    cairo_region_union_rectangle(region_, &box);
  }
}

Region::Region(const Region& other) : region_(cairo_region_copy(other.region_)) {}

Region& Region::operator=(const Region& other) {
  if (this != &other) {
    Region copy(other);
    std::swap(region_, copy.region_);
  }
  return *this;
}

Region::Region(Region&& other) noexcept : region_(std::exchange(other.region_, nullptr)) {}

Region& Region::operator=(Region&& other) noexcept {
  std::swap(region_, other.region_);
  return *this;
}

Region::~Region() {
  if (region_ != nullptr) cairo_region_destroy(region_);
}

bool Region::Combine(const Region& other, Operation operation) {
  cairo_region_t* result = cairo_region_copy(region_);
  cairo_status_t status = CAIRO_STATUS_SUCCESS;
  switch (operation) {
    case Operation::kAnd:
      status = cairo_region_intersect(result, other.region_);
      break;
    case Operation::kOr:
      status = cairo_region_union(result, other.region_);
      break;
    case Operation::kXor:
      status = cairo_region_xor(result, other.region_);
      break;
    case Operation::kDiff:
      status = cairo_region_subtract(result, other.region_);
      break;
  }
  if (status != CAIRO_STATUS_SUCCESS) {
    cairo_region_destroy(result);
    return false;
  }
  std::swap(region_, result);
  cairo_region_destroy(result);
  return true;
}

void Region::Offset(int32_t dx, int32_t dy) { cairo_region_translate(region_, dx, dy); }

bool Region::Contains(POINT point) const {
  return cairo_region_contains_point(region_, point.x, point.y) != 0;
}

bool Region::Touches(const RECT& rect) const {
  const RECT box = Normalised(rect.left, rect.top, rect.right, rect.bottom);
  if (box.IsEmpty()) return false;
  const cairo_rectangle_int_t area = ToCairo(box);
  return cairo_region_contains_rectangle(region_, &area) != CAIRO_REGION_OVERLAP_OUT;
}

RECT Region::Box() const {
  if (IsEmpty()) return RECT{};
  cairo_rectangle_int_t extents;
  cairo_region_get_extents(region_, &extents);
  return FromCairo(extents);
}

std::vector<RECT> Region::Rects() const {
  const int count = cairo_region_num_rectangles(region_);
  std::vector<RECT> rects;
  rects.reserve(static_cast<size_t>(count));
  for (int i = 0; i < count; ++i) {
    cairo_rectangle_int_t rect;
    cairo_region_get_rectangle(region_, i, &rect);
    rects.push_back(FromCairo(rect));
  }
  return rects;
}

bool Region::IsEmpty() const { return cairo_region_is_empty(region_) != 0; }

int Region::Kind() const {
  const int count = cairo_region_num_rectangles(region_);
  if (count == 0) return NULLREGION;
  return count == 1 ? SIMPLEREGION : COMPLEXREGION;
}

bool Region::operator==(const Region& other) const {
  return cairo_region_equal(region_, other.region_) != 0;
}

// ---- Region handles ---------------------------------------------------------

namespace {

// Rows are sampled at their pixel centres: a pixel belongs to a shape when
// its centre lies inside, which leaves the right and bottom edges out.
constexpr double kPixelCentre = 0.5;

// The first pixel whose centre lies at or right of `x`.
int32_t FirstPixelFrom(double x) { return static_cast<int32_t>(std::ceil(x - kPixelCentre)); }

// How far a quarter ellipse of radii (rx, ry) reaches sideways at a height
// `dy` from its centre.
double EllipseReach(double rx, double ry, double dy) {
  const double t = dy / ry;
  return t >= 1 ? 0 : rx * std::sqrt(1 - t * t);
}

struct Edge {
  double x0, y0, x1, y1;
  int direction;  // +1 downwards, -1 upwards
};

std::vector<Edge> EdgesOf(const POINT* points, int count) {
  std::vector<Edge> edges;
  for (int i = 0; i < count; ++i) {
    const POINT& a = points[i];
    const POINT& b = points[(i + 1) % count];
    if (a.y == b.y) continue;
    if (a.y < b.y) {
      edges.push_back(Edge{1.0 * a.x, 1.0 * a.y, 1.0 * b.x, 1.0 * b.y, 1});
    } else {
      edges.push_back(Edge{1.0 * b.x, 1.0 * b.y, 1.0 * a.x, 1.0 * a.y, -1});
    }
  }
  return edges;
}

struct Crossing {
  double x;
  int direction;
  bool operator<(const Crossing& other) const { return x < other.x; }
};

// The spans of one row whose pixel centres lie inside the outline.
void AddRowSpans(const std::vector<Edge>& edges, int32_t row, int fillMode,
                 std::vector<RECT>* spans) {
  const double y = row + kPixelCentre;
  std::vector<Crossing> crossings;
  for (const Edge& edge : edges) {
    if (y < edge.y0 || y >= edge.y1) continue;
    const double x = edge.x0 + (edge.x1 - edge.x0) * (y - edge.y0) / (edge.y1 - edge.y0);
    crossings.push_back(Crossing{x, edge.direction});
  }
  std::sort(crossings.begin(), crossings.end());
  int winding = 0;
  for (size_t i = 0; i + 1 < crossings.size(); ++i) {
    winding += fillMode == ALTERNATE ? 1 : crossings[i].direction;
    const bool inside = fillMode == ALTERNATE ? winding % 2 != 0 : winding != 0;
    if (!inside) continue;
    const int32_t left = FirstPixelFrom(crossings[i].x);
    const int32_t right = FirstPixelFrom(crossings[i + 1].x);
    if (right > left) spans->push_back(RECT{left, row, right, row + 1});
  }
}

Region::Operation OperationOf(int mode) {
  switch (mode) {
    case RGN_AND:
      return Region::Operation::kAnd;
    case RGN_XOR:
      return Region::Operation::kXor;
    case RGN_DIFF:
      return Region::Operation::kDiff;
    default:
      return Region::Operation::kOr;
  }
}

// How many failure guards live.
std::atomic<int> g_regionFailures{0};

bool RegionsFail() { return g_regionFailures.load() > 0; }

UniqueRegion MakeHandle(Region region) {
  if (RegionsFail()) return nullptr;
  return UniqueRegion(new Region(std::move(region)));
}

}  // namespace

ScopedRegionFailure::ScopedRegionFailure() { ++g_regionFailures; }
ScopedRegionFailure::~ScopedRegionFailure() { --g_regionFailures; }

void RegionDeleter::operator()(Region* region) const { delete region; }

UniqueRegion CreateRectRgn(int32_t left, int32_t top, int32_t right, int32_t bottom) {
  return MakeHandle(Region(Normalised(left, top, right, bottom)));
}

UniqueRegion CreateRectRgnIndirect(const RECT& rect) {
  return CreateRectRgn(rect.left, rect.top, rect.right, rect.bottom);
}

UniqueRegion CreateRoundRectRgn(int32_t left, int32_t top, int32_t right, int32_t bottom,
                                int32_t ellipseWidth, int32_t ellipseHeight) {
  const RECT box = Normalised(left, top, right, bottom);
  const double rx = std::min(std::abs(ellipseWidth), box.Width()) / 2.0;
  const double ry = std::min(std::abs(ellipseHeight), box.Height()) / 2.0;
  if (rx <= 0 || ry <= 0) return MakeHandle(Region(box));
  std::vector<RECT> rows;
  for (int32_t row = box.top; row < box.bottom; ++row) {
    const double y = row + kPixelCentre;
    // Height above the top corners' centres or below the bottom ones'.
    const double dy = std::max({box.top + ry - y, y - (box.bottom - ry), 0.0});
    const double inset = rx - EllipseReach(rx, ry, dy);
    const int32_t rowLeft = FirstPixelFrom(box.left + inset);
    const int32_t rowRight = FirstPixelFrom(box.right - inset);
    if (rowRight > rowLeft) rows.push_back(RECT{rowLeft, row, rowRight, row + 1});
  }
  return MakeHandle(Region(rows));
}

UniqueRegion CreatePolygonRgn(const POINT* points, int32_t count, int fillMode) {
  if (points == nullptr || count < 2 || (fillMode != ALTERNATE && fillMode != WINDING)) {
    return nullptr;
  }
  const std::vector<Edge> edges = EdgesOf(points, count);
  const auto [minY, maxY] = std::minmax_element(
      points, points + count, [](const POINT& a, const POINT& b) { return a.y < b.y; });
  std::vector<RECT> spans;
  for (int32_t row = minY->y; row < maxY->y; ++row) AddRowSpans(edges, row, fillMode, &spans);
  return MakeHandle(Region(spans));
}

int CombineRgn(HRGN destination, HRGN a, HRGN b, int mode) {
  if (destination == nullptr || a == nullptr || mode < RGN_AND || mode > RGN_COPY) return ERROR;
  if (RegionsFail()) return ERROR;
  if (mode == RGN_COPY) {
    *destination = *a;
    return destination->Kind();
  }
  if (b == nullptr) return ERROR;
  Region result = *a;
  if (!result.Combine(*b, OperationOf(mode))) return ERROR;
  *destination = std::move(result);
  return destination->Kind();
}

int OffsetRgn(HRGN region, int32_t dx, int32_t dy) {
  if (region == nullptr) return ERROR;
  region->Offset(dx, dy);
  return region->Kind();
}

bool PtInRegion(HRGN region, int32_t x, int32_t y) {
  return region != nullptr && region->Contains(POINT{x, y});
}

bool RectInRegion(HRGN region, const RECT& rect) {
  return region != nullptr && region->Touches(rect);
}

int GetRgnBox(HRGN region, RECT* box) {
  if (region == nullptr || box == nullptr) return ERROR;
  *box = region->Box();
  return region->Kind();
}

bool EqualRgn(HRGN a, HRGN b) { return a != nullptr && b != nullptr && *a == *b; }

}  // namespace platform
