#include "page_request.h"

#include <cstring>
#include <utility>
#include <vector>

#include "library_state.h"
#include "nkf/nkf.h"

namespace ticvane {
namespace {

// Only the read time-out is TimedOut; the kind decides, never the message.
RequestOutcome OutcomeOf(http::Failure failure) {
  switch (failure) {
    case http::Failure::kNone:
      return RequestOutcome::Ok;
    case http::Failure::kTimedOut:
      return RequestOutcome::TimedOut;
    case http::Failure::kHttpStatus:
    case http::Failure::kTransport:
      break;
  }
  return RequestOutcome::Failed;
}

testing::PageSource& PageSourceSeam() {
  static testing::PageSource source;
  return source;
}

PageResponse Fetch(std::string_view host, std::string_view pathAndQuery) {
  if (PageSourceSeam()) return PageSourceSeam()(host, pathAndQuery);
  PageResponse response{RequestOutcome::Failed, {}};
  http::Client* client = State().client.get();
  if (client == nullptr) return response;  // before TicvaneInit or after TicvaneEnd
  std::string url = "http://";
  url.append(host);
  url.append(pathAndQuery);
  http::Response received = client->Get(url);
  response.outcome = OutcomeOf(received.failure);
  if (response.outcome == RequestOutcome::Ok) response.body = std::move(received.body);
  return response;
}

}  // namespace

PageResponse RequestPage(std::string_view host, std::string_view pathAndQuery) {
  PumpMessages();
  PageResponse response = Fetch(host, pathAndQuery);
  if (response.outcome == RequestOutcome::Ok) PumpMessages();
  return response;
}

int32_t ResultOf(RequestOutcome outcome) {
  switch (outcome) {
    case RequestOutcome::Ok:
      return kTicvaneOk;
    case RequestOutcome::TimedOut:
      return kTicvaneTimedOut;
    case RequestOutcome::Failed:
      break;
  }
  return kTicvaneFailed;
}

std::string ConvertToCp932(const std::string& body) {
  // The converter sees a zero-ended text, so the input ends at its first zero
  // byte, and it writes into a buffer as long as that input.
  const char* input = body.c_str();
  std::vector<char> output(std::strlen(input) + 1, '\0');
  nkf::SetOption("s");
  nkf::Convert(output.data(), output.size(), input);
  return std::string(output.data());
}

std::string EncodeQueryValue(std::string_view bytes) {
  static constexpr char kHex[] = "0123456789ABCDEF";
  std::string out;
  out.reserve(bytes.size());
  for (char c : bytes) {
    const auto b = static_cast<unsigned char>(c);
    const bool unreserved = (b >= 'A' && b <= 'Z') || (b >= 'a' && b <= 'z') ||
                            (b >= '0' && b <= '9') || b == '-' || b == '.' || b == '_' || b == '~';
    if (unreserved) {
      out.push_back(c);
    } else {
      out.push_back('%');
      out.push_back(kHex[b >> 4]);
      out.push_back(kHex[b & 0x0F]);
    }
  }
  return out;
}

namespace testing {

void SetPageSource(PageSource source) { PageSourceSeam() = std::move(source); }

}  // namespace testing
}  // namespace ticvane
