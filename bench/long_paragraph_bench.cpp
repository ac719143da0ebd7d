// What one very long paragraph costs against the same text in ordinary
// paragraphs: loading it as plain text and from the engine's own stream,
// the heap it then holds, and a character typed into its middle. The two
// documents hold the same characters; the long one has no paragraph end
// but its last. Sizes are the plain text's length in MiB.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <map>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "alloc_counter.h"
#include "bench_document.h"
#include "bench_engine.h"

namespace bench {
namespace {

BenchEnvironment* environment = nullptr;

constexpr int64_t kMebibyte = 1 << 20;
// A sample whose bytes per page scale to the wanted size.
constexpr int32_t kSamplePages = 50;
constexpr uint32_t kSeed = 20240611u;
// "あ", typed and taken back again.
constexpr char kTypedChar[] = "\x82\xA0";

enum class Shape { kParagraphs, kOneParagraph };

const char* ShapeName(Shape shape) {
  return shape == Shape::kParagraphs ? "paragraphs" : "one_paragraph";
}

// The plain text of about `mebibytes` MiB, paragraphs ended by CR LF.
std::string PlainText(int64_t mebibytes, Shape shape) {
  const int64_t wanted = mebibytes * kMebibyte;
  const BenchDocument sample = JapaneseTextMaker(kSeed).Make(kSamplePages);
  const auto pages =
      static_cast<int32_t>((wanted * kSamplePages + sample.bytes - 1) / sample.bytes);
  const BenchDocument document = JapaneseTextMaker(kSeed).Make(std::max(pages, 1));
  std::string text;
  text.reserve(static_cast<size_t>(wanted) * 2);
  for (const std::string& paragraph : document.paragraphs) {
    text += paragraph;
    if (shape == Shape::kParagraphs) text += "\r\n";
  }
  return text;
}

struct Prepared {
  std::string plain;
  std::vector<uint8_t> saved;
};

// Replaces the document by plain text, as a text file is opened.
// The text is only read.
bool LoadPlainText(BenchEngine& engine, std::string& text) {
  platform::CMemFile file(reinterpret_cast<uint8_t*>(text.data()), text.size());
  platform::CArchive archive(&file, platform::CArchive::kLoad);
  return engine.engine().DocumentCommand(WPC_LOAD_DOCUMENT, CDocBunsObj::kStreamPlainText,
                                         &archive) == kWpcOk;
}

// Each text and its saved stream are made once per program.
Prepared& PreparedText(int64_t mebibytes, Shape shape) {
  static std::map<std::pair<int64_t, Shape>, Prepared> made;
  const auto key = std::make_pair(mebibytes, shape);
  auto found = made.find(key);
  if (found != made.end()) return found->second;
  Prepared& prepared = made[key];
  prepared.plain = PlainText(mebibytes, shape);
  BenchEngine engine(BenchStyle(environment->FaceName()));
  if (LoadPlainText(engine, prepared.plain)) prepared.saved = engine.SavedBytes();
  return prepared;
}

Shape ShapeOf(const benchmark::State& state) { return static_cast<Shape>(state.range(1)); }

void Describe(benchmark::State& state, BenchEngine& engine, int64_t bytes) {
  state.SetLabel(std::string(ShapeName(ShapeOf(state))) + " " + environment->FontLabel());
  state.counters["pages"] = engine.Pages();
  state.SetBytesProcessed(state.iterations() * bytes);
}

void BM_LoadPlainText(benchmark::State& state) {
  Prepared& prepared = PreparedText(state.range(0), ShapeOf(state));
  BenchEngine engine(BenchStyle(environment->FaceName()));
  int64_t heldBytes = 0;
  for (auto _ : state) {
    state.PauseTiming();
    engine.engine().DocumentCommand(WPC_NEW_DOCUMENT, 0, nullptr);
    const int64_t before = LiveHeapBytes();
    state.ResumeTiming();
    if (!LoadPlainText(engine, prepared.plain)) state.SkipWithError("the load failed");
    heldBytes = LiveHeapBytes() - before;
  }
  state.counters["held_MiB"] = static_cast<double>(heldBytes) / kMebibyte;
  Describe(state, engine, static_cast<int64_t>(prepared.plain.size()));
}

void BM_LoadDocument(benchmark::State& state) {
  Prepared& prepared = PreparedText(state.range(0), ShapeOf(state));
  std::vector<uint8_t> saved = prepared.saved;
  BenchEngine engine(BenchStyle(environment->FaceName()));
  for (auto _ : state) {
    state.PauseTiming();
    engine.engine().DocumentCommand(WPC_NEW_DOCUMENT, 0, nullptr);
    state.ResumeTiming();
    if (saved.empty() || !engine.Load(saved)) state.SkipWithError("the load failed");
  }
  Describe(state, engine, static_cast<int64_t>(saved.size()));
}

void BM_TypeCharInLongParagraph(benchmark::State& state) {
  Prepared& prepared = PreparedText(state.range(0), Shape::kOneParagraph);
  BenchEngine engine(BenchStyle(environment->FaceName()));
  if (!LoadPlainText(engine, prepared.plain)) {
    state.SkipWithError("the load failed");
    return;
  }
  engine.GoTo(PageLineColumn{engine.Pages() / 2 + 1, kLinesPerPage / 2, kCharsPerLine / 2});
  for (auto _ : state) {
    engine.Type(kTypedChar);
    state.PauseTiming();
    // Taken back without an undo record, so that only the typing counts.
    engine.Backspace(0);
    state.ResumeTiming();
  }
  if (engine.PlainText() != prepared.plain) {
    state.SkipWithError("the paragraph did not come back as it was");
  }
  state.SetLabel(environment->FontLabel());
  state.counters["pages"] = engine.Pages();
}

void LoadSizes(benchmark::internal::Benchmark* benchmark) {
  for (const int64_t mebibytes : {1, 5, 20}) {
    for (const Shape shape : {Shape::kParagraphs, Shape::kOneParagraph}) {
      benchmark->Args({mebibytes, static_cast<int64_t>(shape)});
    }
  }
}

void TypingSizes(benchmark::internal::Benchmark* benchmark) {
  for (const int64_t mebibytes : {1, 5, 20}) benchmark->Args({mebibytes});
}

BENCHMARK(BM_LoadPlainText)->Apply(LoadSizes)->Iterations(1)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_LoadDocument)->Apply(LoadSizes)->Iterations(1)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_TypeCharInLongParagraph)
    ->Apply(TypingSizes)
    ->Iterations(20)
    ->Unit(benchmark::kMicrosecond);

}  // namespace
}  // namespace bench

int main(int argc, char** argv) {
  return bench::RunBenchmarkProgram(argc, argv, bench::environment, [] {});
}
