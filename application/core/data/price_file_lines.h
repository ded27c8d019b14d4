#pragma once
// One price file as a list shows it: the file's bytes held once, with where
// each line starts, so that a row's texts are cut from the bytes when the row
// is shown. A file costs its own size and eight bytes a line, however damaged
// or large it is. Lines end as vcl::SplitLines ends them (at CR, at LF or at
// a CR LF pair, the ends not kept); a row's fields are SplitFieldViews of its
// line. Nothing changes after it is made, so any thread may read it.

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "data/price_files.h"

class PriceFileLines {
 public:
  // Asked now and then during a long read; true stops it.
  using StopPoll = std::function<bool()>;

  // No lines.
  PriceFileLines() = default;
  // The lines of `bytes`; nullopt when `stopped` said so first.
  static std::optional<PriceFileLines> Index(std::string bytes, const StopPoll& stopped = {});

  size_t Count() const { return starts_.empty() ? 0 : starts_.size() - 1; }
  // The bytes of line `row` (< Count()), without its end.
  std::string_view Line(size_t row) const;
  PriceLineFieldViews Fields(size_t row) const { return SplitFieldViews(Line(row)); }

 private:
  std::string bytes_;
  // Where each line starts, then where the line after the last one would:
  // a line's end is found from the start of the next.
  std::vector<uint64_t> starts_;
};

// A price file of at most this size is read at once on the thread that asks;
// the largest the program writes is about 90 KB.
constexpr uintmax_t kPriceFileReadAtOnceBytes = uintmax_t{1} << 20;

// The lines of `file`: none when it is missing or cannot be read; nullopt
// when `stopped` said so first.
std::optional<PriceFileLines> ReadPriceFileLines(const std::filesystem::path& file,
                                                 const PriceFileLines::StopPoll& stopped = {});
