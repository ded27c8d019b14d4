#pragma once
// Pages handed to the quote library in place of its web client, and the
// checks both web sites' readers must pass on any page.

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "page_request.h"

namespace fuzz {

// While it lives, the library's page requests get `pages` in order, then
// `afterLast` for every further request. "Today" is 24 September 2009.
class PageFeed {
 public:
  PageFeed(std::vector<std::string> pages, ticvane::RequestOutcome afterLast);
  ~PageFeed();
  PageFeed(const PageFeed&) = delete;
  PageFeed& operator=(const PageFeed&) = delete;

  size_t Requests() const { return requests_; }

 private:
  std::vector<std::string> pages_;
  ticvane::RequestOutcome afterLast_;
  size_t requests_ = 0;
};

// Fetches `body` as the detail page of `source`, runs its four readers and
// checks what the library promises of them.
void CheckDetailPage(int32_t source, std::string_view body);

// Runs a history download of `source` over the pages of a history input
// (history_input.h) and checks what the library promises of it.
void CheckHistory(int32_t source, std::string_view input);

}  // namespace fuzz
