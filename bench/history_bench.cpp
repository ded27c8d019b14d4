// A full history download is 25 pages of 50 rows; on the main thread it
// blocks the window between pumps, so page reading must stay cheap.

#include <benchmark/benchmark.h>

#include <string>

#include "history_pages.h"
#include "library_fixture.h"

namespace {

using namespace ticvane::test;

void BM_FullSourceAHistory(benchmark::State& state) {
  LibraryFixture library(5, /*pumpMessages=*/0);
  std::vector<std::string> pages;
  for (int offset = 0; offset < 1250; offset += 50) {
    pages.push_back(Cp932(SourceAPage(PlainRows(50, offset), NextPage::Link)));
  }
  library.Server().Serve([&pages](const http::testing::FixtureRequest& request) {
    http::testing::FixtureResponse response;
    response.body = pages[std::stoi(request.target.substr(request.target.rfind("&y=") + 3)) / 50];
    return response;
  });
  for (auto _ : state) {
    vcl::TList list;
    benchmark::DoNotOptimize(TicvaneGetPastData(&list, Short("1301"), 1225, -6, 0));
    TicvaneClearPastData(&list);
  }
}
BENCHMARK(BM_FullSourceAHistory)->Unit(benchmark::kMillisecond);

}  // namespace
