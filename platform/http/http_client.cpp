#include "http/http_client.h"

#include <curl/curl.h>

#include <algorithm>
#include <chrono>
#include <mutex>
#include <new>
#include <utility>

namespace http {
namespace {

using Clock = std::chrono::steady_clock;

constexpr const char* kUserAgent = "Mozilla/5.0 (compatible; Dyadmark)";
// The time-out's message; callers test Failure::kTimedOut, never this text.
constexpr const char* kReadTimeoutMessage = "Read Timeout";
// How often the transfer loop wakes when nothing arrives, so that the
// watchdog sees a silence soon after it has run out.
constexpr int kLongestTickMs = 50;
constexpr int kIdleTickMs = 1000;

void InitCurlOnce() {
  static std::once_flag once;
  static CURLcode result = CURLE_OK;
  std::call_once(once, [] { result = curl_global_init(CURL_GLOBAL_DEFAULT); });
  if (result != CURLE_OK) throw Error(std::string("libcurl: ") + curl_easy_strerror(result));
}

}  // namespace

struct Client::Impl {
  CURL* easy = nullptr;
  CURLM* multi = nullptr;
  curl_slist* connectTo = nullptr;
  long readTimeoutMs = 0;

  // State of the request under way.
  Clock::time_point started;
  std::string body;
  std::string statusLine;
  bool connected = false;
  Clock::time_point lastArrival;
  curl_off_t lastDownloaded = 0;
  bool timedOut = false;
  bool outOfMemory = false;
  bool tooLarge = false;
  char errorText[CURL_ERROR_SIZE] = {};

  ~Impl() {
    if (multi != nullptr) curl_multi_cleanup(multi);
    if (easy != nullptr) curl_easy_cleanup(easy);
    curl_slist_free_all(connectTo);
  }

  void Require(CURLcode result) {
    if (result != CURLE_OK) throw Error(std::string("libcurl: ") + curl_easy_strerror(result));
  }

  void Configure() {
    Require(curl_easy_setopt(easy, CURLOPT_NOSIGNAL, 1L));
    Require(curl_easy_setopt(easy, CURLOPT_PROXY, ""));
    Require(curl_easy_setopt(easy, CURLOPT_COOKIEFILE, ""));
    Require(curl_easy_setopt(easy, CURLOPT_HTTP_VERSION, long(CURL_HTTP_VERSION_1_1)));
    Require(curl_easy_setopt(easy, CURLOPT_FOLLOWLOCATION, 0L));
    Require(curl_easy_setopt(easy, CURLOPT_PROTOCOLS_STR, "http,https"));
    Require(curl_easy_setopt(easy, CURLOPT_USERAGENT, kUserAgent));
    Require(curl_easy_setopt(easy, CURLOPT_ERRORBUFFER, errorText));
    Require(curl_easy_setopt(easy, CURLOPT_WRITEFUNCTION, &Impl::OnBody));
    Require(curl_easy_setopt(easy, CURLOPT_WRITEDATA, this));
    Require(curl_easy_setopt(easy, CURLOPT_HEADERFUNCTION, &Impl::OnHeader));
    Require(curl_easy_setopt(easy, CURLOPT_HEADERDATA, this));
    Require(curl_easy_setopt(easy, CURLOPT_PREREQFUNCTION, &Impl::OnConnected));
    Require(curl_easy_setopt(easy, CURLOPT_PREREQDATA, this));
    Require(curl_easy_setopt(easy, CURLOPT_NOPROGRESS, 0L));
    Require(curl_easy_setopt(easy, CURLOPT_XFERINFOFUNCTION, &Impl::OnProgress));
    Require(curl_easy_setopt(easy, CURLOPT_XFERINFODATA, this));
  }

  void StartRequest() {
    started = Clock::now();
    body.clear();
    statusLine.clear();
    connected = false;
    lastDownloaded = 0;
    timedOut = false;
    outOfMemory = false;
    tooLarge = false;
    errorText[0] = '\0';
  }

  // The connection is up (new or reused) and the request is about to go out:
  // from here on silence counts against the read time-out.
  static int OnConnected(void* self, char*, char*, int, int) {
    auto* impl = static_cast<Impl*>(self);
    impl->connected = true;
    impl->lastArrival = Clock::now();
    return CURL_PREREQFUNC_OK;
  }

  static size_t OnHeader(char* data, size_t size, size_t count, void* self) {
    auto* impl = static_cast<Impl*>(self);
    size_t length = size * count;
    impl->lastArrival = Clock::now();
    std::string_view line(data, length);
    if (line.starts_with("HTTP/")) {
      while (!line.empty() && (line.back() == '\r' || line.back() == '\n')) line.remove_suffix(1);
      try {
        impl->statusLine.assign(line);  // the last one wins over any 1xx before it
      } catch (const std::bad_alloc&) {
        impl->outOfMemory = true;
        return 0;
      }
    }
    return length;
  }

  // The body is bounded here, not by CURLOPT_MAXFILESIZE_LARGE: libcurl
  // stops a transfer under way at that limit only from 8.4 on (Debian 12 has
  // 7.88), and before that refuses only a body whose size the server
  // announces, so a chunked or unannounced body would run on past it.
  static size_t OnBody(char* data, size_t size, size_t count, void* self) {
    auto* impl = static_cast<Impl*>(self);
    size_t length = size * count;
    impl->lastArrival = Clock::now();
    if (length > kLargestBody - impl->body.size()) {
      impl->tooLarge = true;
      return 0;
    }
    try {
      impl->body.append(data, length);
    } catch (const std::bad_alloc&) {
      impl->outOfMemory = true;
      return 0;
    } catch (const std::length_error&) {
      impl->outOfMemory = true;
      return 0;
    }
    return length;
  }

  // The read time-out's watchdog: aborts when nothing has arrived for longer
  // than the limit since the request went out or since the last bytes, and
  // when the whole request has lasted kTotalTimeOuts limits, however steadily
  // its bytes arrive. The whole request is bounded here too, not by
  // CURLOPT_TIMEOUT_MS, whose end libcurl reports with the same code as a
  // connect that ran out of time: this flag alone tells the read time-out.
  static int OnProgress(void* self, curl_off_t, curl_off_t downloaded, curl_off_t, curl_off_t) {
    auto* impl = static_cast<Impl*>(self);
    if (impl->readTimeoutMs <= 0) return 0;
    Clock::time_point now = Clock::now();
    if (now - impl->started > kTotalTimeOuts * std::chrono::milliseconds(impl->readTimeoutMs)) {
      impl->timedOut = true;
      return 1;
    }
    if (!impl->connected) return 0;
    if (downloaded != impl->lastDownloaded) {
      impl->lastDownloaded = downloaded;
      impl->lastArrival = now;
    }
    if (now - impl->lastArrival > std::chrono::milliseconds(impl->readTimeoutMs)) {
      impl->timedOut = true;
      return 1;
    }
    return 0;
  }

  int TickMs() const {
    if (readTimeoutMs <= 0) return kIdleTickMs;
    return int(std::clamp(readTimeoutMs / 10, 1L, long(kLongestTickMs)));
  }

  // Runs the transfer to its end and gives libcurl's result.
  CURLcode Transfer() {
    CURLMcode added = curl_multi_add_handle(multi, easy);
    if (added != CURLM_OK) throw Error(std::string("libcurl: ") + curl_multi_strerror(added));
    CURLcode result = CURLE_OK;
    CURLMcode failure = CURLM_OK;
    int running = 1;
    while (running != 0) {
      failure = curl_multi_perform(multi, &running);
      if (failure != CURLM_OK || running == 0) break;
      failure = curl_multi_poll(multi, nullptr, 0, TickMs(), nullptr);
      if (failure != CURLM_OK) break;
    }
    int left = 0;
    while (CURLMsg* message = curl_multi_info_read(multi, &left)) {
      if (message->msg == CURLMSG_DONE && message->easy_handle == easy) {
        result = message->data.result;
      }
    }
    curl_multi_remove_handle(multi, easy);
    if (failure != CURLM_OK) throw Error(std::string("libcurl: ") + curl_multi_strerror(failure));
    return result;
  }

  Response Get(const std::string& url) {
    StartRequest();
    Require(curl_easy_setopt(easy, CURLOPT_URL, url.c_str()));
    // A connect that hangs fails as a connect, never as the read time-out;
    // 0 restores libcurl's own connect limit.
    Require(curl_easy_setopt(easy, CURLOPT_CONNECTTIMEOUT_MS, std::max(readTimeoutMs, 0L)));
    CURLcode result = Transfer();
    if (timedOut) return Failed(Failure::kTimedOut, kReadTimeoutMessage);
    if (outOfMemory) {
      return Failed(Failure::kTransport, "Out of memory while receiving the response");
    }
    if (tooLarge) {
      return Failed(Failure::kTransport,
                    "Response body larger than " + std::to_string(kLargestBody >> 20) + " MB");
    }
    if (result != CURLE_OK) {
      return Failed(Failure::kTransport,
                    errorText[0] != '\0' ? std::string(errorText) : curl_easy_strerror(result));
    }
    long status = 0;
    curl_easy_getinfo(easy, CURLINFO_RESPONSE_CODE, &status);
    if (status < 200 || status > 299) {
      return Failed(Failure::kHttpStatus,
                    statusLine.empty() ? "HTTP status " + std::to_string(status) : statusLine);
    }
    Response response;
    response.body.swap(body);
    return response;
  }

  Response Failed(Failure failure, std::string message) {
    std::string().swap(body);  // a bounded body may still be large: give it back
    Response response;
    response.failure = failure;
    response.message = std::move(message);
    return response;
  }
};

Client::Client() : impl_(std::make_unique<Impl>()) {
  InitCurlOnce();
  impl_->easy = curl_easy_init();
  impl_->multi = curl_multi_init();
  if (impl_->easy == nullptr || impl_->multi == nullptr)
    throw Error("libcurl: cannot create a handle");
  impl_->Configure();
}

Client::~Client() = default;

void Client::SetReadTimeout(int milliseconds) { impl_->readTimeoutMs = std::max(milliseconds, 0); }

Response Client::Get(const std::string& url) {
  try {
    return impl_->Get(url);
  } catch (const std::exception& error) {
    // libcurl refused an option or memory ran out before the transfer.
    Response response;
    response.failure = Failure::kTransport;
    try {
      response.message = error.what();
    } catch (const std::bad_alloc&) {
      // No memory for the text: the failure is still reported, without it.
    }
    return response;
  }
}

void Client::SetConnectTo(std::vector<std::string> entries) {
  curl_slist* list = nullptr;
  for (const std::string& entry : entries) {
    curl_slist* longer = curl_slist_append(list, entry.c_str());
    if (longer == nullptr) {
      curl_slist_free_all(list);
      throw Error("Out of memory");
    }
    list = longer;
  }
  CURLcode result = curl_easy_setopt(impl_->easy, CURLOPT_CONNECT_TO, list);
  if (result != CURLE_OK) {
    curl_slist_free_all(list);
    throw Error(std::string("libcurl: ") + curl_easy_strerror(result));
  }
  curl_slist_free_all(impl_->connectTo);
  impl_->connectTo = list;
}

}  // namespace http
