// What the views' benchmarks share: the generated documents they measure,
// typed once for each page count, and their page-count by zoom sizes.
#pragma once

#include <benchmark/benchmark.h>

#include <map>
#include <memory>

#include "bench_document.h"
#include "bench_engine.h"

namespace bench {

// Documents of generated Japanese text, one per page count, kept until
// Clear so that every benchmark of a size measures the same text.
class ViewDocuments {
 public:
  BenchEngine& Get(const BenchEnvironment& environment, int32_t pages) {
    std::unique_ptr<BenchEngine>& document = documents_[pages];
    if (document == nullptr) {
      document = std::make_unique<BenchEngine>(BenchStyle(environment.FaceName()));
      document->TypeDocument(JapaneseTextMaker(kSeed + static_cast<uint32_t>(pages)).Make(pages));
    }
    return *document;
  }
  void Clear() { documents_.clear(); }

 private:
  static constexpr uint32_t kSeed = 20240501u;
  std::map<int32_t, std::unique_ptr<BenchEngine>> documents_;
};

// 5, 50 and 500 pages, each at zoom 1 and 2.
inline void PagesAndZooms(benchmark::internal::Benchmark* benchmark) {
  for (const int64_t pages : {5, 50, 500}) {
    for (const int64_t zoom : {1, 2}) benchmark->Args({pages, zoom});
  }
}

}  // namespace bench
