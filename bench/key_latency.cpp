// How long a typed key takes to reach the screen: on an X server of its
// own (Xvfb), the editing surface fills a frame over a 500-page document,
// its caret in the middle page's tenth line. An observer connection of
// this program presses "a" with XTest and polls the caret's line with
// XGetImage until its pixels change, the caret's own columns left out
// (it blinks): that time, from the press sent to the changed pixels on
// the server, is the figure; the line's rest moves in the same repaint
// that draws the character. A BackSpace, not timed,
// takes the character away again. Meanwhile the program's own loop runs
// as the program's does, waiting in the back end's poll; when the key's
// first message came, when the program was done with it and how long it
// was busy are reported beside it.
//
// Run by hand (not a test): key_latency [KEYS]; it prints the medians.
#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "bench_engine.h"
#include "framed_surface.h"
#include "platform/clock.h"
#include "platform/display_backend.h"
#include "platform/x11/x11_backend.h"
#include "server_observer.h"
#include "view_documents.h"
#include "xvfb.h"

namespace bench {
namespace {

using Clock = std::chrono::steady_clock;
using Micros = std::chrono::microseconds;

constexpr int32_t kPages = 500;
constexpr int kDefaultKeys = 100;
constexpr platform::RECT kFrameRect{0, 0, 640, 480};
constexpr int32_t kLine = 10;
constexpr int32_t kColumn = 5;
// Rows above and below the caret's own that the poll looks at too.
constexpr int32_t kBandMargin = 4;
// How many caret widths beyond its own the caret's columns reach: it steps
// over the typed character, which may be twice as wide.
constexpr int32_t kCaretSteps = 2;
constexpr uint32_t kLoopWaitMs = 50;
constexpr auto kPatience = std::chrono::seconds(5);

// The part of the band the poll leaves out: where the caret is drawn,
// blinks and moves to. The typed character appears there too, but the
// rest of the line moves along with it in the same repaint.
struct Band {
  platform::RECT area;
  int32_t maskLeft = 0;   // window columns
  int32_t maskRight = 0;  // exclusive
};

using platform::x11::ServerObserver;

// The pixels of the band, as the server has them now, the caret's
// columns blanked.
std::vector<char> Grab(ServerObserver& observer, unsigned long window, const Band& band) {
  return observer.Grab(window, band.area, band.maskLeft, band.maskRight);
}

// Polls until the band's pixels differ from (or, with `same`, equal)
// `reference`; false when they do not within the patience.
bool PollUntil(ServerObserver& observer, unsigned long window, const Band& band,
               const std::vector<char>& reference, bool same) {
  const auto deadline = Clock::now() + kPatience;
  while (Clock::now() < deadline) {
    if ((Grab(observer, window, band) == reference) == same) return true;
  }
  return false;
}

struct Figures {
  std::vector<double> total;    // ms, press sent to changed pixels
  std::vector<double> arrived;  // ms, press sent to the first message in our queue
  std::vector<double> handled;  // ms, press sent to the loop done with what the key made
  std::vector<double> busy;     // ms, of it the program's loop was handling messages
  int failures = 0;
};

// What the program's loop tells the observer of each key, in microseconds
// from the press: when the first message came and when the last was
// handled, and how long it was busy in all.
struct LoopTimes {
  std::atomic<int64_t> pressed{0};  // steady clock, µs
  std::atomic<int64_t> arrived{0};
  std::atomic<int64_t> handled{0};
  std::atomic<int64_t> busy{0};
  void Start(int64_t now) {
    arrived = 0;
    handled = 0;
    busy = 0;
    pressed = now;
  }
};

int64_t NowMicros() {
  return std::chrono::duration_cast<Micros>(Clock::now().time_since_epoch()).count();
}
double Ms(int64_t micros) { return static_cast<double>(micros) / 1000.0; }

// What the observer thread does; it talks to the server only, never to
// our windows. The loop's times reach it as atomics.
void Observe(const std::string& displayName, unsigned long window, const Band& band, int keys,
             LoopTimes& loop, Figures& figures) {
  const std::unique_ptr<ServerObserver> observer = ServerObserver::Open(displayName);
  if (observer == nullptr) {
    figures.failures = keys;
    return;
  }
  for (int i = 0; i < keys; ++i) {
    const std::vector<char> before = Grab(*observer, window, band);
    const int64_t sent = NowMicros();
    loop.Start(sent);
    observer->Press(ServerObserver::Key::kLetterA);
    const bool changed = PollUntil(*observer, window, band, before, false);
    const int64_t shown = NowMicros();
    figures.arrived.push_back(Ms(loop.arrived));
    figures.handled.push_back(Ms(loop.handled));
    figures.busy.push_back(Ms(loop.busy));
    observer->Release(ServerObserver::Key::kLetterA);
    if (changed) {
      figures.total.push_back(Ms(shown - sent));
    } else {
      ++figures.failures;
    }
    observer->Press(ServerObserver::Key::kBackSpace);
    observer->Release(ServerObserver::Key::kBackSpace);
    if (!PollUntil(*observer, window, band, before, true)) ++figures.failures;
  }
}

double Median(std::vector<double> values) {
  if (values.empty()) return 0;
  std::sort(values.begin(), values.end());
  const size_t middle = values.size() / 2;
  return values.size() % 2 != 0 ? values[middle] : (values[middle - 1] + values[middle]) / 2;
}

int Measure(int keys) {
  const std::unique_ptr<platform::x11::Xvfb> server = platform::x11::Xvfb::Start();
  if (server == nullptr) {
    std::fprintf(stderr, "Xvfb could not be started\n");
    return EXIT_FAILURE;
  }
  const std::unique_ptr<platform::x11::X11Backend> backend =
      platform::x11::X11Backend::Connect(server->name().c_str());
  if (backend == nullptr) {
    std::fprintf(stderr, "no connection to %s\n", server->name().c_str());
    return EXIT_FAILURE;
  }
  const platform::ScopedDisplay scoped(*backend);
  platform::Clock& realClock = platform::ProcessClock();
  BenchEnvironment environment;
  ViewDocuments documents;
  BenchEngine& document = documents.Get(environment, kPages);
  int result = EXIT_SUCCESS;
  {
    // The document is typed on the benchmarks' clock, which never waits;
    // the program then runs on the real one, its loop waiting in poll as
    // the program's does and its timers on time.
    const platform::ScopedClock programClock(realClock);
    views_display::FramedSurface surface(document.engine(), kFrameRect, "Lexora");
    document.GoTo(PageLineColumn{document.Pages() / 2, kLine, kColumn});
    const unsigned long window = backend->NativeWindowOf(surface.frame());
    const std::unique_ptr<ServerObserver> focus = ServerObserver::Open(server->name());
    // Mapped, then given the keyboard: there is no window manager to give it.
    const auto deadline = Clock::now() + kPatience;
    while (focus != nullptr && Clock::now() < deadline && !focus->Viewable(window)) {
      views_display::FramedSurface::Run();
      platform::WaitMessageFor(kLoopWaitMs);
    }
    if (focus != nullptr) focus->Focus(window);
    while (Clock::now() < deadline && platform::GetFocus() != surface.view()->m_hWnd) {
      views_display::FramedSurface::Run();
      platform::WaitMessageFor(kLoopWaitMs);
    }
    views_display::FramedSurface::Run();
    platform::RECT caret{};
    surface.view()->GetCaretWindowRect(&caret);
    const int32_t caretWidth = caret.right - caret.left;
    const Band band{{0, std::max(0, caret.top - kBandMargin), kFrameRect.Width(),
                     std::min(kFrameRect.Height(), caret.bottom + kBandMargin)},
                    caret.left - kBandMargin,
                    caret.right + kCaretSteps * caretWidth + kBandMargin};
    LoopTimes loop;
    std::atomic<bool> done{false};
    Figures figures;
    std::thread observer([&] {
      Observe(server->name(), window, band, keys, loop, figures);
      done = true;
    });
    while (!done) {
      platform::MSG waiting;
      const bool any =
          platform::PeekMessage(&waiting, platform::kNoWindow, 0, 0, platform::PM_NOREMOVE);
      const int64_t start = NowMicros();
      views_display::FramedSurface::Run();
      const int64_t end = NowMicros();
      // A key-up of the key before may still come after the press.
      if (any && start >= loop.pressed) {
        if (loop.arrived == 0) loop.arrived = start - loop.pressed;
        loop.handled = end - loop.pressed;
        loop.busy += end - start;
      }
      platform::WaitMessageFor(kLoopWaitMs);
    }
    observer.join();
    std::printf("font %s, %d pages, %zu keys timed, %d failed\n", environment.FontLabel(),
                document.Pages(), figures.total.size(), figures.failures);
    std::printf("key press (XTest) to changed pixels: median %.2f ms\n", Median(figures.total));
    std::printf("  press to the first message in the program's queue: median %.2f ms\n",
                Median(figures.arrived));
    std::printf("  press to the program done with it (painted, sent): median %.2f ms\n",
                Median(figures.handled));
    std::printf("  of it the program handling messages: median %.2f ms\n", Median(figures.busy));
    if (figures.failures != 0) result = EXIT_FAILURE;
  }
  documents.Clear();
  return result;
}

}  // namespace
}  // namespace bench

int main(int argc, char** argv) {
  // Two connections, one a thread.
  platform::x11::ServerObserver::UseFromThreads();
  const int keys = argc > 1 ? std::atoi(argv[1]) : bench::kDefaultKeys;
  return bench::Measure(keys > 0 ? keys : bench::kDefaultKeys);
}
