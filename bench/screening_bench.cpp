// Screening speed: N synthetic price files of 1,225 days and their code table
// in a temporary folder, then the pair evaluation of a whole run (every pair
// of the N codes, one correlation condition over 1,200 days) without any
// window, on one thread and on all cores. Prints the wall time, the pairs per
// second and whether both runs gave the same rows (bit for bit). The CPU
// seconds count every thread; on a busy machine they show the work better
// than the wall time. Not a test.
//
//   build/bin/bench_screening [--gapped] [--plain | --avx2] [N ...]
//                                        (default: 500 2000 3800, the fastest lanes)
//
// Without --gapped, one code in fifty lacks a day; with it, every code lacks
// two to five random days and one in twenty ends early, as real listings
// do. The last column says whether both runs gave the rows of the steps one
// by one (merge, unit ratio, technical tests for each key).

#include <stdlib.h>

#include <chrono>
#include <cstdio>
#include <cstring>
#include <ctime>
#include <filesystem>
#include <string>
#include <thread>
#include <vector>

#include "one_by_one.h"
#include "screening/pair_keys.h"
#include "screening/pair_screening.h"
#include "screening/screening_series.h"
#include "screening/technical_filter.h"
#include "synthetic_program.h"

namespace {

class CollectingSink : public PairScreeningSink {
 public:
  void Evaluated(std::vector<PassedPair>& passed, const std::vector<std::optional<double>>&,
                 int64_t, int32_t, int32_t) override {
    for (PassedPair& pair : passed) rows.push_back(std::move(pair));
  }
  std::vector<PassedPair> rows;
};

bool SameRows(const std::vector<PassedPair>& a, const std::vector<PassedPair>& b) {
  if (a.size() != b.size()) return false;
  for (size_t i = 0; i < a.size(); ++i) {
    if (a[i].sell != b[i].sell || a[i].buy != b[i].buy || a[i].ratio != b[i].ratio ||
        a[i].values.size() != b[i].values.size() ||
        std::memcmp(a[i].values.data(), b[i].values.data(), a[i].values.size() * sizeof(double))) {
      return false;
    }
  }
  return true;
}

struct Timed {
  double seconds;
  double cpuSeconds;
  std::vector<PassedPair> rows;
};

ScreeningOfDirectory RunOf(const std::filesystem::path& dir) {
  TechnicalCondition condition;
  condition.kind = "\x91\x8a\x8a\xd6\x8c\x57\x90\x94";  // 相関係数
  condition.period = std::string("   1") + std::string(kRangeSeparator) + "1200";
  condition.range = std::string("      0.9") + std::string(kRangeSeparator) + "";
  return ScreeningOf(dir, condition);
}

Timed RunOnce(const std::filesystem::path& dir, int threads, VectorPath path) {
  const auto start = std::chrono::steady_clock::now();
  const std::clock_t cpuStart = std::clock();
  const ScreeningOfDirectory run = RunOf(dir);
  PairScreening screening(dir, run.keys, run.units, run.tests, threads);
  screening.UseVectorPath(path);
  CollectingSink sink;
  screening.Run([] { return false; }, sink);
  const double seconds =
      std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
  const double cpuSeconds = static_cast<double>(std::clock() - cpuStart) / CLOCKS_PER_SEC;
  return {seconds, cpuSeconds, std::move(sink.rows)};
}

}  // namespace

int main(int argc, char** argv) {
  std::vector<int> sizes;
  bool gapped = false;
  VectorPath path = FastestVectorPath();
  for (int i = 1; i < argc; ++i) {
    if (std::strcmp(argv[i], "--gapped") == 0) {
      gapped = true;
    } else if (std::strcmp(argv[i], "--plain") == 0) {
      path = VectorPath::kPlain;
    } else if (std::strcmp(argv[i], "--avx2") == 0) {
      path = VectorPath::kAvx2;
    } else {
      sizes.push_back(std::atoi(argv[i]));
    }
  }
  if (sizes.empty()) sizes = {500, 2000, 3800};
  const int cores = static_cast<int>(std::max(1u, std::thread::hardware_concurrency()));

  std::string pattern = (std::filesystem::temp_directory_path() / "dyadmark-bench-XXXXXX").string();
  if (::mkdtemp(pattern.data()) == nullptr) return 1;
  const std::filesystem::path dir = pattern;

  std::printf("%6s %10s %8s %10s %12s %14s %8s %s\n", "codes", "pairs", "threads", "seconds",
              "cpu seconds", "pairs/second", "rows", "same rows");
  for (int n : sizes) {
    std::filesystem::remove_all(dir);
    std::filesystem::create_directory(dir);
    WriteSyntheticProgram(dir, n, gapped);
    const double pairs = static_cast<double>(n) * (n - 1) / 2;
    const Timed single = RunOnce(dir, 1, path);
    const Timed all = RunOnce(dir, cores, path);
    const ScreeningOfDirectory run = RunOf(dir);
    const std::vector<PassedPair> expected = OneByOne(dir, run.keys, run.units, run.tests, cores);
    const bool same = SameRows(single.rows, expected) && SameRows(all.rows, expected);
    std::printf("%6d %10.0f %8d %10.3f %12.3f %14.0f %8zu\n", n, pairs, 1, single.seconds,
                single.cpuSeconds, pairs / single.seconds, single.rows.size());
    std::printf("%6d %10.0f %8d %10.3f %12.3f %14.0f %8zu %s\n", n, pairs, cores, all.seconds,
                all.cpuSeconds, pairs / all.seconds, all.rows.size(), same ? "yes" : "NO");
    std::fflush(stdout);
  }
  std::filesystem::remove_all(dir);
  return 0;
}
