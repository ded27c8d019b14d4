// A close writes the whole settings file; with the largest sections a page
// holds (1,000 technical rows, 1,000 history items in each code list) it
// must stay well inside the moment the window waits for it.

#include <benchmark/benchmark.h>
#include <stdlib.h>

#include <filesystem>
#include <string>
#include <vector>

#include "screening/screening_settings.h"
#include "vcl/inifile.h"
#include "window/main_settings.h"

namespace {

void BM_CloseWithLargeSections(benchmark::State& state) {
  std::string pattern = (std::filesystem::temp_directory_path() / "dyadmark-bench-XXXXXX").string();
  if (::mkdtemp(pattern.data()) == nullptr) {
    state.SkipWithError("no scratch directory");
    return;
  }
  const std::filesystem::path dir = pattern;
  std::vector<std::string> history;
  for (int k = 0; k < 1000; ++k) history.push_back("1301,1332,13" + std::to_string(k));
  std::vector<TechnicalCondition> rows(1000);
  for (TechnicalCondition& row : rows) {
    row.kind = "kind";
    row.period = "   1 ~ 1200";
    row.range = " 0.900000 ~ 1.000000";
    row.resultWidth = "65";
  }
  vcl::TIniFile ini(dir / "Dyadmark.ini");
  int round = 0;
  for (auto _ : state) {
    history[0] = std::to_string(++round);  // every close changes the file
    vcl::TIniFileUpdate update(ini);
    WriteMainWindowSettings(ini, MainWindowSettings{});
    WriteHistorySection(ini, "CodeA", history);
    WriteHistorySection(ini, "CodeB", history);
    WriteTechnicalSection(ini, rows);
    update.Commit();
  }
  std::filesystem::remove_all(dir);
}
BENCHMARK(BM_CloseWithLargeSections)->Unit(benchmark::kMillisecond);

}  // namespace
