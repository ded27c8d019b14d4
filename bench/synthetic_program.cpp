#include "synthetic_program.h"

#include <cstdlib>
#include <string>
#include <vector>

#include "bench_random.h"
#include "data/code_file.h"
#include "data/code_table.h"
#include "data/file_io.h"
#include "data/price_files.h"

namespace {

constexpr int32_t kDays = 1225;

}  // namespace

void WriteSyntheticProgram(const std::filesystem::path& dir, int codes, bool gapped) {
  BenchRandom random{12345};
  std::vector<int32_t> market(kDays);
  int64_t level = 1000000;
  for (int32_t& value : market) {
    level += static_cast<int32_t>(random.Next() % 2001) - 1000;
    value = static_cast<int32_t>(level);
  }
  CodeTable table;
  for (int c = 0; c < codes; ++c) {
    const std::string code = std::to_string(1000 + c % 9000);
    TCodeData data;
    data.Name = "Code " + code;
    data.Market = "\x93\x8c\x8f\xd8\x82\x50\x95\x94";  // 東証１部
    data.Type = 1 + c % 33;
    data.Unit = (c % 3 == 0) ? 1000 : (c % 3 == 1 ? 100 : 1);
    data.Vol = 100000;
    data.Loan = 1;
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
