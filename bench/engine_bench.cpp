// What the editing engine costs on documents of 5, 50 and 500 pages of
// Japanese text: a typed character in the middle of the document, caret
// moves by line and by page, deleting a page's selection, saving and
// loading the whole document in its own format and as plain text,
// undoing the last edit, a character and a paragraph end typed at the
// document's start and their undo, the heap the document holds per stored
// character, the most heap a load holds at once and the most memory the
// process holds resident.
//
// Each document is typed once (with no undo records) and saved; each
// benchmark family then loads its own engine from those bytes outside the
// timed loop, and every timed edit is taken back outside the timing so
// that the document keeps its size.
#include <benchmark/benchmark.h>
#include <sys/resource.h>

#include <chrono>
#include <functional>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "alloc_counter.h"
#include "bench_document.h"
#include "bench_engine.h"

namespace bench {
namespace {

BenchEnvironment* environment = nullptr;

// "あ", typed and taken back again.
constexpr char kTypedChar[] = "\x82\xA0";
// Enter, as typed.
constexpr char kParagraphEnd[] = "\r";
constexpr PageLineColumn kDocumentStart{1, 1, 1};
constexpr double kBytesPerMiB = 1024.0 * 1024.0;
// getrusage reports the most resident memory in KiB.
constexpr double kKiBPerMiB = 1024.0;

// The most memory the process has held resident so far, heap or not.
double PeakResidentMiB() {
  rusage usage{};
  getrusage(RUSAGE_SELF, &usage);
  return static_cast<double>(usage.ru_maxrss) / kKiBPerMiB;
}

struct PreparedDocument {
  std::vector<uint8_t> saved;
  std::string plainText;  // what the plain-text writer made of it
  int64_t characters = 0;
  int32_t pages = 0;
  double typingSeconds = 0;
  int64_t typedHeapBytes = 0;  // what the typed document added to the heap
};

// Types a document of about `pages` pages once per program and keeps
// what the engine saved of it.
const PreparedDocument& Prepared(int32_t pages) {
  static std::map<int32_t, PreparedDocument> prepared;
  auto found = prepared.find(pages);
  if (found != prepared.end()) return found->second;
  PreparedDocument& document = prepared[pages];
  const BenchDocument text =
      JapaneseTextMaker(20240501u + static_cast<uint32_t>(pages)).Make(pages);
  document.characters = text.characters;
  BenchEngine typist(BenchStyle(environment->FaceName()));
  const int64_t before = LiveHeapBytes();
  const auto start = std::chrono::steady_clock::now();
  typist.TypeDocument(text);
  document.typingSeconds =
      std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
  document.typedHeapBytes = LiveHeapBytes() - before;
  document.pages = typist.Pages();
  document.saved = typist.SavedBytes();
  document.plainText = typist.PlainText();
  return document;
}

// One loaded engine at a time, kept while the benchmarks of one family
// and size run (they run one after the other), so that a 500-page
// document is loaded once per family rather than once per run.
std::unique_ptr<BenchEngine> loaded;
std::string loadedKey;

BenchEngine* Loaded(benchmark::State& state, const char* family) {
  const auto pages = static_cast<int32_t>(state.range(0));
  const std::string key = std::string(family) + "/" + std::to_string(pages);
  if (loaded == nullptr || key != loadedKey) {
    loaded.reset();
    loadedKey.clear();
    const PreparedDocument& document = Prepared(pages);
    auto engine = std::make_unique<BenchEngine>(BenchStyle(environment->FaceName()));
    std::vector<uint8_t> saved = document.saved;
    if (!engine->Started() || saved.empty() || !engine->Load(saved)) {
      state.SkipWithError("the document could not be made or loaded");
      return nullptr;
    }
    loaded = std::move(engine);
    loadedKey = key;
  }
  state.SetLabel(environment->FontLabel());
  state.counters["pages"] = loaded->Pages();
  return loaded.get();
}

PageLineColumn Middle(BenchEngine& engine) {
  return PageLineColumn{engine.Pages() / 2 + 1, kLinesPerPage / 2, kCharsPerLine / 2};
}

// What a document is: its page count and the hash of its whole text.
struct DocumentSignature {
  int32_t pages = 0;
  size_t textHash = 0;
  bool operator==(const DocumentSignature&) const = default;
};

DocumentSignature Signature(BenchEngine& engine) {
  return {engine.Pages(), std::hash<std::string>{}(engine.PlainText())};
}

// Skips with an error when an edit taken back left the document other
// than it was.
void CheckSameDocument(benchmark::State& state, BenchEngine& engine,
                       const DocumentSignature& before) {
  if (!(Signature(engine) == before)) {
    state.SkipWithError("the document did not come back as it was");
  }
}

void BM_TypeCharInMiddle(benchmark::State& state) {
  BenchEngine* engine = Loaded(state, "type");
  if (engine == nullptr) return;
  const DocumentSignature before = Signature(*engine);
  engine->GoTo(Middle(*engine));
  for (auto _ : state) {
    engine->Type(kTypedChar);
    state.PauseTiming();
    // Taken back by a backspace that records nothing, not by undo, so
    // that only the typing is measured.
    engine->Backspace(0);
    state.ResumeTiming();
  }
  CheckSameDocument(state, *engine, before);
}

void BM_MoveByLine(benchmark::State& state) {
  BenchEngine* engine = Loaded(state, "line");
  if (engine == nullptr) return;
  engine->GoTo(Middle(*engine));
  bool down = true;
  for (auto _ : state) {
    engine->Move(down ? kMoveLineDown : kMoveLineUp);
    down = !down;
  }
}

void BM_MoveByPage(benchmark::State& state) {
  BenchEngine* engine = Loaded(state, "page");
  if (engine == nullptr) return;
  engine->GoTo(Middle(*engine));
  bool forward = true;
  for (auto _ : state) {
    engine->Move(forward ? kMoveNextPage : kMovePrevPage);
    forward = !forward;
  }
}

void BM_DeletePageSelection(benchmark::State& state) {
  BenchEngine* engine = Loaded(state, "delete");
  if (engine == nullptr) return;
  const DocumentSignature before = Signature(*engine);
  const int32_t page = Middle(*engine).page;
  std::string text;
  for (auto _ : state) {
    state.PauseTiming();
    engine->GoTo({page, 1, 1});
    engine->GoToExtending({page + 1, 1, 1});
    text = engine->SelectedText();
    state.ResumeTiming();
    engine->Delete();
    state.PauseTiming();
    // Typed back without an undo record: the page is plain text.
    engine->Type(text.c_str(), 0);
    state.ResumeTiming();
  }
  CheckSameDocument(state, *engine, before);
}

void BM_SaveDocument(benchmark::State& state) {
  BenchEngine* engine = Loaded(state, "save");
  if (engine == nullptr) return;
  int64_t bytes = 0;
  for (auto _ : state) {
    platform::CMemFile file;
    if (!engine->Save(file)) state.SkipWithError("the save failed");
    bytes = static_cast<int64_t>(file.GetLength());
  }
  state.SetBytesProcessed(state.iterations() * bytes);
  state.counters["stream_bytes"] = static_cast<double>(bytes);
}

void BM_LoadDocument(benchmark::State& state) {
  BenchEngine* engine = Loaded(state, "load");
  if (engine == nullptr) return;
  std::vector<uint8_t> saved = Prepared(static_cast<int32_t>(state.range(0))).saved;
  for (auto _ : state) {
    if (!engine->Load(saved)) state.SkipWithError("the load failed");
  }
  state.SetBytesProcessed(state.iterations() * static_cast<int64_t>(saved.size()));
}

void BM_LoadPlainText(benchmark::State& state) {
  BenchEngine* engine = Loaded(state, "plain");
  if (engine == nullptr) return;
  std::string text = Prepared(static_cast<int32_t>(state.range(0))).plainText;
  for (auto _ : state) {
    if (!engine->LoadPlainText(text)) state.SkipWithError("the load failed");
  }
  state.SetBytesProcessed(state.iterations() * static_cast<int64_t>(text.size()));
}

// What a benchmark of an edit at the document's start times.
enum class TimedStep { kTyping, kUndo };

// `text` typed at the document's start, and either the typing timed and
// taken back by a backspace that records nothing, or its undo timed.
void TimeEditAtStart(benchmark::State& state, const char* family, const char* text,
                     TimedStep timed) {
  BenchEngine* engine = Loaded(state, family);
  if (engine == nullptr) return;
  const DocumentSignature before = Signature(*engine);
  for (auto _ : state) {
    state.PauseTiming();
    engine->GoTo(kDocumentStart);
    if (timed == TimedStep::kTyping) {
      state.ResumeTiming();
      engine->Type(text);
      state.PauseTiming();
      engine->Backspace(0);
      state.ResumeTiming();
    } else {
      engine->Type(text);
      state.ResumeTiming();
      engine->Undo();
    }
  }
  CheckSameDocument(state, *engine, before);
}

void BM_UndoCharAtStart(benchmark::State& state) {
  TimeEditAtStart(state, "undo-char", kTypedChar, TimedStep::kUndo);
}
void BM_EnterAtStart(benchmark::State& state) {
  TimeEditAtStart(state, "enter", kParagraphEnd, TimedStep::kTyping);
}
void BM_UndoEnterAtStart(benchmark::State& state) {
  TimeEditAtStart(state, "undo-enter", kParagraphEnd, TimedStep::kUndo);
}

// Undo replays a recorded step; where the replay leaves the document
// other than it was before the edit, the document is loaded again outside
// the timing (and counted), so every round starts from the same text.
void BM_UndoLastEdit(benchmark::State& state) {
  BenchEngine* engine = Loaded(state, "undo");
  if (engine == nullptr) return;
  std::vector<uint8_t> saved = Prepared(static_cast<int32_t>(state.range(0))).saved;
  const DocumentSignature before = Signature(*engine);
  const PageLineColumn middle = Middle(*engine);
  int64_t reloads = 0;
  for (auto _ : state) {
    state.PauseTiming();
    engine->GoTo(middle);
    engine->Type(kTypedChar);
    state.ResumeTiming();
    engine->Undo();
    state.PauseTiming();
    if (!(Signature(*engine) == before)) {
      ++reloads;
      if (!engine->Load(saved)) state.SkipWithError("the load failed");
    }
    state.ResumeTiming();
  }
  state.counters["wrong_undos"] = static_cast<double>(reloads);
}

// The heap a document holds per stored character (paragraph ends
// counted), once loaded from its saved form and once typed in.
void BM_HeapPerCharacter(benchmark::State& state) {
  const auto pages = static_cast<int32_t>(state.range(0));
  const PreparedDocument& document = Prepared(pages);
  loaded.reset();
  loadedKey.clear();
  double loadedBytes = 0;
  for (auto _ : state) {
    std::vector<uint8_t> saved = document.saved;
    BenchEngine engine(BenchStyle(environment->FaceName()));
    const int64_t before = LiveHeapBytes();
    if (!engine.Load(saved)) state.SkipWithError("the load failed");
    loadedBytes = static_cast<double>(LiveHeapBytes() - before);
  }
  const auto characters = static_cast<double>(document.characters);
  state.SetLabel(environment->FontLabel());
  state.counters["pages"] = document.pages;
  state.counters["chars"] = characters;
  state.counters["loaded_B_per_char"] = loadedBytes / characters;
  state.counters["typed_B_per_char"] = static_cast<double>(document.typedHeapBytes) / characters;
  state.counters["typing_s"] = document.typingSeconds;
}

// The most heap held at once while the saved document is loaded into a
// fresh engine, and what stays held once it is loaded; and the most memory
// the process has held resident, the document's typing and saving
// included, which tells that of the document alone when the benchmark runs
// by itself (--benchmark_filter=PeakHeapOfLoad/500).
void BM_PeakHeapOfLoad(benchmark::State& state) {
  const PreparedDocument& document = Prepared(static_cast<int32_t>(state.range(0)));
  loaded.reset();
  loadedKey.clear();
  int64_t peak = 0;
  int64_t held = 0;
  for (auto _ : state) {
    std::vector<uint8_t> saved = document.saved;
    const int64_t before = LiveHeapBytes();
    ResetPeakHeapBytes();
    {
      BenchEngine engine(BenchStyle(environment->FaceName()));
      if (!engine.Load(saved)) state.SkipWithError("the load failed");
      held = LiveHeapBytes() - before;
    }
    peak = PeakHeapBytes() - before;
  }
  state.SetLabel(environment->FontLabel());
  state.counters["pages"] = document.pages;
  state.counters["peak_MiB"] = static_cast<double>(peak) / kBytesPerMiB;
  state.counters["held_MiB"] = static_cast<double>(held) / kBytesPerMiB;
  state.counters["peak_rss_MiB"] = PeakResidentMiB();
}

void Sizes(benchmark::internal::Benchmark* benchmark) { benchmark->Arg(5)->Arg(50)->Arg(500); }

BENCHMARK(BM_TypeCharInMiddle)->Apply(Sizes)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_MoveByLine)->Apply(Sizes)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_MoveByPage)->Apply(Sizes)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_DeletePageSelection)->Apply(Sizes)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_UndoLastEdit)->Apply(Sizes)->Iterations(20)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_UndoCharAtStart)->Apply(Sizes)->Iterations(20)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_EnterAtStart)->Apply(Sizes)->Iterations(20)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_UndoEnterAtStart)->Apply(Sizes)->Iterations(20)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_SaveDocument)->Apply(Sizes)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_LoadDocument)->Apply(Sizes)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_LoadPlainText)->Apply(Sizes)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_HeapPerCharacter)->Apply(Sizes)->Iterations(1)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_PeakHeapOfLoad)->Apply(Sizes)->Iterations(1)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace bench

int main(int argc, char** argv) {
  // The engine goes while the fonts and clock it uses are still there.
  return bench::RunBenchmarkProgram(argc, argv, bench::environment, [] { bench::loaded.reset(); });
}
