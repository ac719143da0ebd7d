// What the editing surface costs on an 800 by 600 client over documents
// of 5 and 500 pages, from the document's middle: a full off-screen
// repaint at zoom 1 and 2, a one-line scroll (window content moved, the
// strip painted), and a caret move a line past the view's edge that
// repaints a strip. Each should stay flat in the document's length.
#include <benchmark/benchmark.h>

#include "bench_engine.h"
#include "engine/notifier.h"
#include "framework/wnd.h"
#include "model/text_navigator.h"
#include "platform/input.h"
#include "platform/paint.h"
#include "platform/window.h"
#include "view_documents.h"
#include "views/ed_view.h"

namespace bench {
namespace {

BenchEnvironment* environment = nullptr;

constexpr int32_t kClientWidth = 800;
constexpr int32_t kClientHeight = 600;
constexpr char kHostClass[] = "EditSurfaceBenchHost";
// The display record's view modes.
constexpr int32_t kPageView = 1;
constexpr int32_t kContinuousView = 0;

ViewDocuments documents;

BenchEngine& Document(int32_t pages) { return documents.Get(*environment, pages); }

// The surface the host hands the engine's caret and content reports to,
// as the framework view does; none when nothing is typed.
CVedEdView* reportsTo = nullptr;

platform::LRESULT HostProc(platform::HWND window, platform::UINT message, platform::WPARAM wParam,
                           platform::LPARAM lParam) {
  if (reportsTo != nullptr && message == WM_WPC_CARETMOVED) {
    reportsTo->OnCaretMoved(static_cast<int>(wParam), reinterpret_cast<const CaretPoint*>(lParam));
    return 0;
  }
  if (reportsTo != nullptr && message == WM_WPC_CONTENTCHANGED) {
    reportsTo->OnContentChanged(reinterpret_cast<const CaretPoint*>(lParam));
    return 0;
  }
  return platform::DefWindowProc(window, message, wParam, lParam);
}

// A surface in a host window, its view on the document's middle page.
class Surface {
 public:
  Surface(BenchEngine& document, int32_t pageView, int32_t zoom) {
    platform::WNDCLASS host;
    host.lpfnWndProc = HostProc;
    host.lpszClassName = kHostClass;
    platform::RegisterClass(host);
    host_ = platform::CreateWindowEx(0, kHostClass, "", platform::WS_VISIBLE, 0, 0, kClientWidth,
                                     kClientHeight, platform::kNoWindow, 0, nullptr);
    CVedWpCtrl& engine = document.engine();
    ColourRecord colours;
    engine.DisplayCommand(WPC_GET_COLOURS, 0, &colours);
    colours.display.background = 0xFFFFFF;
    colours.display.text = 0;
    colours.display.zoom = static_cast<uint8_t>(zoom);
    engine.DisplayCommand(WPC_SET_COLOURS, 0, &colours);
    view_ = new CVedEdView;
    view_->CreateEditSurfaceWindow(framework::CWnd::FromHandle(host_));
    EditSurfaceDisplayRecord display = DefaultDisplayRecord();
    display.pageView = pageView;
    display.zoom = zoom;
    view_->SetDisplayRecord(display);
    platform::MoveWindow(view_->m_hWnd, 0, 0, kClientWidth, kClientHeight, false);
    view_->AttachEngine(&engine, nullptr);
    const int32_t middle = document.Pages() / 2;
    view_->ScrollVert(kScrollThumbPosition,
                      pageView != 0 ? middle * kSlotPositions : view_->GetDocumentHeight() / 2);
    Pump();
  }
  ~Surface() {
    platform::DestroyWindow(host_);
    framework::CWnd::DeleteTempMap();
  }
  Surface(const Surface&) = delete;
  Surface& operator=(const Surface&) = delete;

  CVedEdView& view() { return *view_; }
  platform::HWND host() const { return host_; }
  static void Pump() {
    platform::MSG msg;
    while (platform::PeekMessage(&msg, platform::kNoWindow, 0, 0, platform::PM_REMOVE)) {
      platform::DispatchMessage(&msg);
    }
  }

 private:
  platform::HWND host_ = platform::kNoWindow;
  CVedEdView* view_ = nullptr;  // goes with its window
};

void FullRepaint(benchmark::State& state, int32_t pageView) {
  Surface surface(Document(static_cast<int32_t>(state.range(0))), pageView,
                  static_cast<int32_t>(state.range(1)));
  const platform::HDC dc = platform::GetDC(surface.view().m_hWnd);
  for (auto _ : state) surface.view().PaintOffscreen(dc, false);
  state.SetLabel(environment->FontLabel());
}

void LineScroll(benchmark::State& state, int32_t pageView) {
  Surface surface(Document(static_cast<int32_t>(state.range(0))), pageView,
                  static_cast<int32_t>(state.range(1)));
  bool forward = true;
  for (auto _ : state) {
    benchmark::DoNotOptimize(
        surface.view().ScrollVert(forward ? kScrollLineForward : kScrollLineBack, 0));
    forward = !forward;
  }
  state.SetLabel(environment->FontLabel());
}

void BM_FullRepaint(benchmark::State& state) { FullRepaint(state, kPageView); }
void BM_FullRepaintContinuous(benchmark::State& state) { FullRepaint(state, kContinuousView); }
void BM_LineScroll(benchmark::State& state) { LineScroll(state, kPageView); }
void BM_LineScrollContinuous(benchmark::State& state) { LineScroll(state, kContinuousView); }

// The caret steps a line below the view's bottom, then a line above its
// top, so that every step scrolls the view by a line and repaints the strip.
void BM_CaretMovedALine(benchmark::State& state) {
  Surface surface(Document(static_cast<int32_t>(state.range(0))), kPageView,
                  static_cast<int32_t>(state.range(1)));
  const SurfaceGeometry& geometry = surface.view().Geometry();
  const DisplayLine start = surface.view().DisplayLines().Lines().front();
  const int32_t twipsPerPixel = 1440 / (platform::kDefaultScreenDpi * geometry.zoom);
  const int32_t pitch = geometry.page.linePitch;
  const int32_t bottom = (start.yOrigin + kClientHeight) * twipsPerPixel;
  const int32_t top = start.yOrigin * twipsPerPixel;
  const CaretPoint below{{2000, bottom, 2010, bottom + pitch}, start.page};
  const CaretPoint above{{2000, top, 2010, top + pitch}, start.page};
  bool down = true;
  for (auto _ : state) {
    surface.view().OnCaretMoved(kMoveLineDown, down ? &below : &above);
    down = !down;
  }
  state.SetLabel(environment->FontLabel());
}

// Handles what waits as the program's loop does, repaints included.
void HandleAll() {
  platform::MSG msg;
  while (platform::PeekMessage(&msg, platform::kNoWindow, 0, 0, platform::PM_REMOVE)) {
    if (!framework::WalkPreTranslateTree(platform::kNoWindow, &msg)) {
      platform::TranslateMessage(&msg);
      platform::DispatchMessage(&msg);
    }
  }
}

// Where the character is typed: inside the paragraph on the tenth line of
// the middle page, where the rest of the paragraph flows on and is
// repainted, or at that paragraph's end, where only the line is.
enum TypingSpot : int64_t { kMidParagraph = 0, kParagraphEnd = 1 };

// あ typed on the middle page: its key-down, the two WM_CHARs of its CP932
// bytes, the insert and the engine's reports, the repaint. The backspace
// that takes it away again is not timed.
void BM_TypedCharacter(benchmark::State& state) {
  BenchEngine& document = Document(static_cast<int32_t>(state.range(0)));
  CVedWpCtrl& engine = document.engine();
  Surface surface(document, kPageView, static_cast<int32_t>(state.range(1)));
  const auto reported = static_cast<platform::HWND>(engine.NotifyCommand(WPC_GET_NOTIFY_WINDOW, 0));
  engine.NotifyCommand(WPC_SET_NOTIFY_WINDOW, surface.host());
  reportsTo = &surface.view();
  constexpr int32_t kLine = 10;
  constexpr int32_t kColumn = 5;
  PageLineColumn middle{document.Pages() / 2, kLine, kColumn};
  engine.EditCommand(WPC_GOTO, 0, BenchEngine::Pointer(&middle));
  if (state.range(2) == kParagraphEnd) engine.EditCommand(WPC_MOVE, kMoveParagraphEnd, 0);
  platform::SetFocus(surface.view().m_hWnd);
  HandleAll();
  constexpr uint16_t kHiraganaA = 0x3042;
  for (auto _ : state) {
    platform::TypeCharacter(kHiraganaA);
    HandleAll();
    state.PauseTiming();
    engine.EditCommand(WPC_BACKSPACE, 1, 0);
    HandleAll();
    state.ResumeTiming();
  }
  reportsTo = nullptr;
  engine.NotifyCommand(WPC_SET_NOTIFY_WINDOW, reported);
  state.SetLabel(environment->FontLabel());
}

void PagesZoomsAndSpots(benchmark::internal::Benchmark* benchmark) {
  for (const int64_t pages : {5, 50, 500}) {
    for (const int64_t zoom : {1, 2}) {
      for (const int64_t spot : {kMidParagraph, kParagraphEnd})
        benchmark->Args({pages, zoom, spot});
    }
  }
}

BENCHMARK(BM_FullRepaint)->Apply(PagesAndZooms)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_FullRepaintContinuous)->Apply(PagesAndZooms)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_LineScroll)->Apply(PagesAndZooms)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_LineScrollContinuous)->Apply(PagesAndZooms)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_CaretMovedALine)->Apply(PagesAndZooms)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_TypedCharacter)->Apply(PagesZoomsAndSpots)->Unit(benchmark::kMicrosecond);

}  // namespace
}  // namespace bench

int main(int argc, char** argv) {
  return bench::RunBenchmarkProgram(argc, argv, bench::environment,
                                    [] { bench::documents.Clear(); });
}
