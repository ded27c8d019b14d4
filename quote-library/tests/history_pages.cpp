#include "history_pages.h"

#include <cstdio>

namespace ticvane::test {

std::vector<SiteRow> PlainRows(int count, int firstIndex) {
  static constexpr int kDays[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
  int year = 2009, month = 9, day = 24;
  std::vector<SiteRow> rows;
  for (int i = 0; i < firstIndex + count; ++i) {
    if (i >= firstIndex) {
      SiteRow row;
      char date[64];
      std::snprintf(date, sizeof date, "%04d年%02d月%02d日", year, month, day);
      row.date = date;
      row.open = row.high = row.low = row.close = row.adjusted = "1000";
      row.volume = std::to_string(100 + i);
      rows.push_back(row);
    }
    if (--day == 0) {
      if (--month == 0) {
        month = 12;
        --year;
      }
      day = kDays[month - 1];
    }
  }
  return rows;
}

int RowOffset(const std::string& target) {
  const size_t y = target.rfind("&y=");
  const size_t st = target.rfind("&st=");
  const size_t p = y != std::string::npos ? y + 3 : st + 4;
  return std::stoi(target.substr(p));
}

std::string SourceAPage(const std::vector<SiteRow>& rows, NextPage next) {
  std::string page =
      "<html><head><title>時系列</title></head>\n<body>\n<table>\n<tr>\n"
      "<th>日付</th><th>始値</th><th>高値</th><th>安値</th><th>終値</th><th>出来高</th>\n"
      "<th><small>調整後終値*</small></th>\n"
      "</tr>\n<tr align=right>\n";
  for (size_t i = 0; i < rows.size(); ++i) {
    const SiteRow& r = rows[i];
    page += "<td><small>" + r.date + "</small></td>\n";
    page += "<td><small>" + r.open + "</small></td>\n";
    page += "<td><small>" + r.high + "</small></td>\n";
    page += "<td><small>" + r.low + "</small></td>\n";
    page += "<td><small><b>" + r.close + "</b></small></td>\n";
    page += "<td><small>" + r.volume + "</small></td>\n";
    page += "<td><small>" + r.adjusted + "</small></td>\n";
    page += i + 1 < rows.size() ? "</tr><tr align=right>\n" : "</tr></table>\n";
  }
  if (rows.empty()) page += "<td colspan=7>-</td>\n</tr>\n</tr></table>\n";
  page += "<p>\n";
  if (next == NextPage::Link) page += "<a href=\"/t?next\">次のページ</a>\n";
  if (next == NextPage::PlainText) page += "次のページ\n";
  page += "</p>\n</body></html>\n";
  return page;
}

std::string SourceBPage(const std::vector<SiteRow>& rows, NextPage next) {
  std::string page =
      "<html>\n<head><title>時系列</title></head>\n<body>\n<table>\n<thead>\n<tr>\n"
      "<th scope=\"col\">日付</th>\n<th scope=\"col\">終値</th>\n"
      "<th scope=\"col\">調整後終値</th>\n</tr>\n</thead>\n<tbody>\n";
  for (const SiteRow& r : rows) {
    page += "<tr>\n";
    page += "<td class=\"day\">" + r.date + "</td>\n";
    page += "<td class=\"emph\">" + r.close + "</td>\n";
    page += r.noTrade ? std::string("<td>-</td>\n") : "<td>" + r.open + "</td>\n";
    page += "<td>" + r.high + "</td>\n";
    page += "<td>" + r.low + "</td>\n";
    page += "<td>" + r.volume + "</td>\n";
    page += "<td>" + r.adjusted + "</td>\n";
    page += "</tr>\n";
  }
  page += "</tbody>\n</table>\n<div class=\"pager\">\n";
  if (next == NextPage::Link) page += "<a href=\"/next\">次の50件</a>\n";
  if (next == NextPage::PlainText) page += "次の50件\n";
  page += "</div>\n</body>\n</html>\n";
  return page;
}

}  // namespace ticvane::test
