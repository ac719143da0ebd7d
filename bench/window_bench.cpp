// The window system's costs: a posted message's round trip, a send on the
// same thread and to another thread, and a full invalidate-paint cycle of
// an 800 x 600 window.
#include <benchmark/benchmark.h>

#include <atomic>
#include <thread>

#include "platform/display_backend.h"
#include "platform/gdi.h"
#include "platform/paint.h"
#include "platform/window.h"

namespace {

using namespace platform;

constexpr int32_t kWidth = 800;
constexpr int32_t kHeight = 600;
constexpr UINT kStop = WM_USER + 1;

LRESULT Answer(HWND, UINT, WPARAM wParam, LPARAM) { return static_cast<LRESULT>(wParam); }

void PostedRoundTrip(benchmark::State& state) {
  ResetWindowMessages();
  const HWND window = CreateWindowHandle(Answer);
  MSG msg;
  for (auto _ : state) {
    PostMessage(window, WM_USER, 1, 0);
    PeekMessage(&msg, kNoWindow, 0, 0, PM_REMOVE);
    benchmark::DoNotOptimize(DispatchMessage(&msg));
  }
  ResetWindowMessages();
}
BENCHMARK(PostedRoundTrip);

void SameThreadSend(benchmark::State& state) {
  ResetWindowMessages();
  const HWND window = CreateWindowHandle(Answer);
  for (auto _ : state) benchmark::DoNotOptimize(SendMessage(window, WM_USER, 1, 0));
  ResetWindowMessages();
}
BENCHMARK(SameThreadSend);

void CrossThreadSend(benchmark::State& state) {
  std::atomic<HWND> window{kNoWindow};
  std::thread owner([&window] {
    window = CreateWindowHandle([](HWND, UINT message, WPARAM wParam, LPARAM) {
      if (message == kStop) PostQuitMessage(0);
      return static_cast<LRESULT>(wParam);
    });
    MSG msg;
    while (GetMessage(&msg, kNoWindow, 0, 0) != 0) DispatchMessage(&msg);
    DestroyWindow(window);
  });
  while (window == kNoWindow) std::this_thread::yield();
  for (auto _ : state) benchmark::DoNotOptimize(SendMessage(window, WM_USER, 1, 0));
  PostMessage(window, kStop, 0, 0);
  owner.join();
}
BENCHMARK(CrossThreadSend);

LRESULT FillingProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message != WM_PAINT) return DefWindowProc(window, message, wParam, lParam);
  static UniqueBrush brush = CreateSolidBrush(RGB(0, 0, 255));
  PAINTSTRUCT paint;
  const HDC dc = BeginPaint(window, &paint);
  FillRect(dc, paint.rcPaint, brush.get());
  EndPaint(window, &paint);
  return 0;
}

// Shows a paint as a display would take it: the dirty rectangle's pixels
// read back from the window's surface.
class ReadingBackend : public HeadlessBackend {
 public:
  void PresentNativeWindow(HWND window, const RECT& dirty) override {
    benchmark::DoNotOptimize(GetPixel(GetWindowSurface(window), dirty.left, dirty.top));
    benchmark::DoNotOptimize(GetPixel(GetWindowSurface(window), dirty.right - 1, dirty.bottom - 1));
    ++presented;
  }
  int64_t presented = 0;
};

void InvalidatePaintCycle(benchmark::State& state) {
  ResetWindowMessages();
  ReadingBackend backend;
  ScopedDisplay scoped(backend);
  static UniqueBrush background = CreateSolidBrush(RGB(255, 255, 255));
  WNDCLASS windowClass;
  windowClass.lpfnWndProc = FillingProc;
  windowClass.hbrBackground = background.get();
  windowClass.lpszClassName = "BenchWindow";
  RegisterClass(windowClass);
  const HWND window = CreateWindowEx(0, "BenchWindow", "", WS_VISIBLE, 0, 0, kWidth, kHeight,
                                     kNoWindow, 0, nullptr);
  MSG msg;
  for (auto _ : state) {
    InvalidateRect(window, nullptr, true);
    while (PeekMessage(&msg, kNoWindow, 0, 0, PM_REMOVE)) DispatchMessage(&msg);
  }
  if (backend.presented != static_cast<int64_t>(state.iterations())) {
    state.SkipWithError("a paint was not presented");
  }
  ResetWindowMessages();
}
BENCHMARK(InvalidatePaintCycle);

}  // namespace

BENCHMARK_MAIN();
