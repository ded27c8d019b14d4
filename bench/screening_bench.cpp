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

#include "data/code_file.h"
#include "data/code_table.h"
#include "data/file_io.h"
#include "data/price_files.h"
#include "one_by_one.h"
#include "screening/pair_keys.h"
#include "screening/pair_screening.h"
#include "screening/screening_series.h"
#include "screening/technical_filter.h"

namespace {

constexpr int32_t kDays = 1225;

struct Random {
  uint64_t state;
  uint32_t Next() {
    state = state * 6364136223846793005ull + 1442695040888963407ull;
    return static_cast<uint32_t>(state >> 33);
  }
};

std::string CodeOf(int index) { return std::to_string(1000 + index % 9000); }

// Prices that follow one market factor more or less closely, so that some
// pairs correlate and most do not; one code in fifty lacks a day, or when
// `gapped` every code lacks a few and some end early.
void WriteData(const std::filesystem::path& dir, int codes, bool gapped) {
  Random random{12345};
  std::vector<int32_t> market(kDays);
  int64_t level = 1000000;
  for (int32_t& value : market) {
    level += static_cast<int32_t>(random.Next() % 2001) - 1000;
    value = static_cast<int32_t>(level);
  }
  CodeTable table;
  for (int c = 0; c < codes; ++c) {
    const std::string code = CodeOf(c);
    TCodeData data;
    data.Name = "Code " + code;
    data.Market = "\x93\x8c\x8f\xd8\x82\x50\x95\x94";  // 東証１部
    data.Type = 1 + c % 33;
    data.Unit = (c % 3 == 0) ? 1000 : (c % 3 == 1 ? 100 : 1);
    data.Vol = 100000;
    data.Loan = c % 2;
    table.InsertCodeData(code, data);

    const int32_t base = 100 + static_cast<int32_t>(random.Next() % 5000);
    const int32_t follow = static_cast<int32_t>(random.Next() % 100);
    const bool gap = c % 50 == 7;
    std::vector<bool> lacking(kDays, false);
    int32_t firstDay = 0;
    if (gapped) {
      const int count = 2 + static_cast<int>(random.Next() % 4);
      for (int k = 0; k < count; ++k) lacking[random.Next() % kDays] = true;
      if (c % 20 == 11) firstDay = static_cast<int32_t>(random.Next() % (kDays - 100));
    }
    int64_t own = 0;
    std::string text;
    PastDataRecord record{};
    for (int32_t d = 0; d < kDays; ++d) {
      own += static_cast<int32_t>(random.Next() % 41) - 20;
      const int64_t close = base + (market[d] - 1000000) * follow / 20000 + own;
      if (gapped ? (lacking[d] || d < firstDay) : (gap && d == 300)) continue;
      const int day = kDays - d;  // newest first
      record.Year = 2005 + day / 240;
      record.Month = 1 + (day / 20) % 12;
      record.Day = 1 + day % 20;
      record.Close = static_cast<int32_t>(close < 1 ? 1 : close);
      record.Open = record.High = record.Low = record.Close;
      record.Volume = 100000;
      text += FormatPriceLine(record);
      text += "\r\n";
    }
    if (!WriteFileAtomically(dir / (code + ".txt"), text)) std::abort();
  }
  table.Changed = true;
  if (!SaveCodeFile(table, dir)) std::abort();
}

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
    WriteData(dir, n, gapped);
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
