// What the display lines cost on documents of 5, 50 and 500 pages: a
// one-line scroll in page view and in continuous view from the document's
// middle, and bringing a caret that moved a line back into view, with the
// heap blocks each step takes (none once the records exist).
#include <benchmark/benchmark.h>

#include "alloc_counter.h"
#include "bench_engine.h"
#include "platform/gdi.h"
#include "view_documents.h"
#include "views/display_lines.h"
#include "views/surface_geometry.h"

namespace bench {
namespace {

BenchEnvironment* environment = nullptr;

constexpr int32_t kDpi = 96;
constexpr int32_t kClientWidth = 800;
constexpr int32_t kClientHeight = 600;

// One typed document a size, kept until the benchmarks end.
ViewDocuments documents;

BenchEngine& Document(int32_t pages) { return documents.Get(*environment, pages); }

// A surface over the document, its view at the middle page.
struct Surface {
  Surface(BenchEngine& document, int32_t pageView, int32_t zoom)
      : dc(platform::CreateImageDC(8, 8, kDpi, kDpi)) {
    DocStyle style;
    document.engine().StyleCommand(WPC_GET_APPLIED_DOCSTYLE, nullptr, &style);
    geometry.engine = &document.engine();
    geometry.pageView = pageView;
    geometry.zoom = zoom;
    geometry.clientWidth = kClientWidth;
    geometry.clientHeight = kClientHeight;
    geometry.page = ComputePageMetrics(style, zoom, pageView, kDpi, kDpi);
    middle = document.Pages() / 2 + 1;
    lines.Rebuild(dc.get(), 0, geometry.page.offsetY + 100, middle);
  }
  platform::UniqueDC dc;
  SurfaceGeometry geometry;
  CDisplayLineList lines{&geometry};
  int32_t middle = 1;
};

void LineScroll(benchmark::State& state, int32_t pageView) {
  BenchEngine& document = Document(static_cast<int32_t>(state.range(0)));
  Surface surface(document, pageView, static_cast<int32_t>(state.range(1)));
  bool forward = true;
  const int64_t allocations = HeapAllocations();
  for (auto _ : state) {
    ScrollOffset offset;
    benchmark::DoNotOptimize(surface.lines.ScrollVertByCode(
        surface.dc.get(), forward ? kScrollLineForward : kScrollLineBack, 0, &offset));
    forward = !forward;
  }
  state.counters["allocations"] = benchmark::Counter(
      static_cast<double>(HeapAllocations() - allocations), benchmark::Counter::kAvgIterations);
  state.SetLabel(environment->FontLabel());
}

void BM_LineScrollPageView(benchmark::State& state) { LineScroll(state, 1); }
void BM_LineScrollContinuous(benchmark::State& state) { LineScroll(state, 0); }

// The caret steps a line below the view's bottom, then a line above its
// top, so that every step scrolls the view by a line.
void BM_CaretMovedALine(benchmark::State& state) {
  BenchEngine& document = Document(static_cast<int32_t>(state.range(0)));
  Surface surface(document, 1, static_cast<int32_t>(state.range(1)));
  const DisplayLine start = surface.lines.Lines().front();
  const int32_t twipsPerPixel = 1440 / (kDpi * surface.geometry.zoom);
  const int32_t pitch = surface.geometry.page.linePitch;
  const int32_t bottom = (start.yOrigin + kClientHeight) * twipsPerPixel;
  const int32_t top = start.yOrigin * twipsPerPixel;
  const CaretPoint below{{2000, bottom, 2010, bottom + pitch}, start.page};
  const CaretPoint above{{2000, top, 2010, top + pitch}, start.page};
  bool down = true;
  int64_t scrolled = 0;
  const int64_t allocations = HeapAllocations();
  for (auto _ : state) {
    ScrollOffset offset;
    scrolled +=
        surface.lines.UpdateForCaret(surface.dc.get(), kCaretMoved, down ? below : above, &offset);
    down = !down;
  }
  state.counters["allocations"] = benchmark::Counter(
      static_cast<double>(HeapAllocations() - allocations), benchmark::Counter::kAvgIterations);
  state.counters["scrolled"] =
      benchmark::Counter(static_cast<double>(scrolled), benchmark::Counter::kAvgIterations);
  state.SetLabel(environment->FontLabel());
}

BENCHMARK(BM_LineScrollPageView)->Apply(PagesAndZooms)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_LineScrollContinuous)->Apply(PagesAndZooms)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_CaretMovedALine)->Apply(PagesAndZooms)->Unit(benchmark::kMicrosecond);

}  // namespace
}  // namespace bench

int main(int argc, char** argv) {
  // The engines go while the fonts and clock they use are still there.
  return bench::RunBenchmarkProgram(argc, argv, bench::environment,
                                    [] { bench::documents.Clear(); });
}
