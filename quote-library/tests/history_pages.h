#pragma once
// History pages of both web sites, built from the markers the readers look
// for. Each row is given as the site writes it.

#include <string>
#include <vector>

namespace ticvane::test {

struct SiteRow {
  std::string date;  // as the cell holds it, e.g. "2009年9月24日" (A) or "2009年09月24日" (B)
  std::string open, high, low, close, volume, adjusted;
  bool noTrade = false;  // SourceB: the open cell is "<td>-</td>"
};

// Newest first; `date` of day d of September 2009, counting down from the 24th
// and on into earlier months as needed; prices all 1000 (so no split).
std::vector<SiteRow> PlainRows(int count, int firstIndex = 0);

enum class NextPage { None, Link, PlainText };

// The row offset a SourceA (key y) or SourceB (key st) request asks for.
int RowOffset(const std::string& target);

// UTF-8 text; the tests convert it to the site's encoding.
std::string SourceAPage(const std::vector<SiteRow>& rows, NextPage next);
std::string SourceBPage(const std::vector<SiteRow>& rows, NextPage next);

}  // namespace ticvane::test
