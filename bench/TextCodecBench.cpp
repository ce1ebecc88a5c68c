// Throughput of the codec and the case fold on typical names: a listing of
// a large folder converts every name once, the collision check folds them.
#include <benchmark/benchmark.h>

#include <string>
#include <vector>

#include "text/CaseMap.h"
#include "text/TextCodec.h"

namespace {

const std::vector<std::string>& diskNames() {
  static const std::vector<std::string> names = {
      "IMG_20240101_123456.JPG", "議事録_第3回（表示ソフト）.docx", "ﾃﾞｼﾞｶﾒ写真 001.jpeg",
      "caf\xC3\xA9 \xE3\x80\x9C menu.pdf", "broken\xFF\xFEname.txt", "Ｒｅａｄｍｅ.TXT"};
  return names;
}

void BM_ToInternal(benchmark::State& state) {
  for (auto _ : state)
    for (const auto& name : diskNames()) benchmark::DoNotOptimize(ritoma::TextCodec::toInternal(name));
}
BENCHMARK(BM_ToInternal);

void BM_ToDisk(benchmark::State& state) {
  std::vector<std::string> internal;
  for (const auto& name : diskNames()) internal.push_back(ritoma::TextCodec::toInternal(name));
  for (auto _ : state)
    for (const auto& name : internal) benchmark::DoNotOptimize(ritoma::TextCodec::toDisk(name));
}
BENCHMARK(BM_ToDisk);

void BM_FoldKey(benchmark::State& state) {
  std::vector<std::string> internal;
  for (const auto& name : diskNames()) internal.push_back(ritoma::TextCodec::toInternal(name));
  for (auto _ : state)
    for (const auto& name : internal) benchmark::DoNotOptimize(ritoma::CaseMap::foldKey(name));
}
BENCHMARK(BM_FoldKey);

}  // namespace

BENCHMARK_MAIN();
