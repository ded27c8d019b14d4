// Writes the seeds of the history fuzz targets into <dir>/source_a_history
// and <dir>/source_b_history: the pages the history tests serve, in the
// layout of history_input.h.

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <functional>
#include <string>
#include <vector>

#include "history_input.h"
#include "history_pages.h"

namespace {

using ticvane::test::NextPage;
using ticvane::test::PlainRows;
using ticvane::test::SiteRow;
using PageMaker = std::function<std::string(const std::vector<SiteRow>&, NextPage)>;

std::vector<fuzz::HistoryInput> Inputs(const PageMaker& page) {
  std::vector<SiteRow> split = PlainRows(3);
  split[1].open = split[1].high = split[1].low = "2000";
  split[1].close = "2,000";
  split[1].adjusted = "1000";
  std::vector<SiteRow> noTrade = PlainRows(3);
  noTrade[1].noTrade = true;

  std::vector<fuzz::HistoryInput> inputs;
  inputs.push_back({10, -6, std::nullopt, false, {page(PlainRows(3), NextPage::None)}});
  inputs.push_back({1225,
                    -6,
                    std::nullopt,
                    false,
                    {page(PlainRows(50), NextPage::Link), page(PlainRows(5, 50), NextPage::None)}});
  inputs.push_back({1225, -6, 20090921, false, {page(PlainRows(8), NextPage::Link)}});
  inputs.push_back({10, -1, std::nullopt, true, {page(split, NextPage::PlainText)}});
  inputs.push_back({10, -6, std::nullopt, false, {page(noTrade, NextPage::None)}});
  inputs.push_back({10, -6, std::nullopt, false, {page({}, NextPage::None)}});
  return inputs;
}

void WriteSeeds(const std::filesystem::path& dir, const PageMaker& page) {
  std::filesystem::create_directories(dir);
  int number = 0;
  for (const fuzz::HistoryInput& input : Inputs(page)) {
    std::ofstream out(dir / ("seed-" + std::to_string(++number)), std::ios::binary);
    const std::string bytes = fuzz::ComposeHistoryInput(input);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
  }
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: %s <seeds directory>\n", argv[0]);
    return 2;
  }
  const std::filesystem::path dir = argv[1];
  WriteSeeds(dir / "source_a_history", ticvane::test::SourceAPage);
  WriteSeeds(dir / "source_b_history", ticvane::test::SourceBPage);
  return 0;
}
