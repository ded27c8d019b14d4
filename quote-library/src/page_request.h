#pragma once
// The page request that every downloading routine uses, and the conversion of
// a received page to code page 932.

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>

namespace ticvane {

enum class RequestOutcome { Ok, Failed, TimedOut };

struct PageResponse {
  RequestOutcome outcome;
  std::string body;  // the body byte for byte when outcome is Ok
};

// Pumps messages, GETs http://<host><pathAndQuery> through the library's one
// client, and pumps again after a success. Never throws, except that memory
// can run out.
PageResponse RequestPage(std::string_view host, std::string_view pathAndQuery);

// The download result code of a failed outcome: 9 for the read time-out, else 1.
int32_t ResultOf(RequestOutcome outcome);

// The body converted to code page 932 by the encoding converter (the option
// call "s", then a conversion into a buffer as long as the input), up to its
// first zero byte.
std::string ConvertToCp932(const std::string& body);

// Seams for the tests; not exported from the shared library.
namespace testing {
// Answers every page request in place of the web client while it is set, so
// that pages can be handed in without a server (the pump points stay where
// they are). An empty function gives the requests back to the client.
using PageSource =
    std::function<PageResponse(std::string_view host, std::string_view pathAndQuery)>;
void SetPageSource(PageSource source);
}  // namespace testing

// Percent-encodes every byte outside A-Z a-z 0-9 - . _ ~ so that a code can
// never change the shape of an address.
std::string EncodeQueryValue(std::string_view bytes);

}  // namespace ticvane
