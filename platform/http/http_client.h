#pragma once
// An HTTP/1.1 client on one libcurl easy handle, kept for the client's life
// (driven through a multi handle of its own, so that the read time-out's
// watchdog runs often). GET of an absolute http or https URL, body byte for
// byte (no Accept-Encoding), redirections not followed, any status outside 2xx
// an error, cookies kept in memory per domain for the client's life, the
// connection kept alive between requests, no proxy whatever the environment
// says, no signals. Not thread-safe: one thread at a time.

#include <cstddef>
#include <memory>
#include <stdexcept>
#include <string>
#include <vector>

namespace http {

// A setup failure of the client (libcurl cannot start, a test seam cannot be
// set). Failed requests are never thrown: they come back as a Response.
class Error : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

// Far above any real page: a history page is some tens of kilobytes.
constexpr size_t kLargestBody = 16 * 1024 * 1024;
// How many read time-outs one whole request may last.
constexpr int kTotalTimeOuts = 4;

// What stopped a request.
enum class Failure {
  kNone,        // the request succeeded
  kTimedOut,    // the read time-out, or the request's total time, ran out
  kHttpStatus,  // the server answered with a status outside 2xx
  kTransport,   // look-up, connect, transfer, address or memory failure, or
                // a body larger than kLargestBody
};

struct Response {
  Failure failure = Failure::kNone;
  std::string body;     // the whole body, zero bytes included; empty on failure
  std::string message;  // empty on success; else "Read Timeout", the status
                        // line (e.g. "HTTP/1.1 404 Not Found") or libcurl's text
  bool Ok() const { return failure == Failure::kNone; }
};

class Client {
 public:
  // Throws Error when libcurl cannot be set up. No read time-out at first.
  Client();
  ~Client();
  Client(const Client&) = delete;
  Client& operator=(const Client&) = delete;

  // The longest silence allowed while waiting for or reading the response, in
  // milliseconds; 0 (or less) = no limit. Silence counts from the moment the
  // request goes out and from each arrival of bytes, so a slow body whose gaps
  // are each shorter than the limit completes. A non-zero limit also bounds
  // the connect, which fails as a connect, never as the read time-out, and
  // the whole request to kTotalTimeOuts times the limit (reported as the read
  // time-out); with 0 a request has no time limit at all.
  void SetReadTimeout(int milliseconds);

  // Sends a GET for `url` and returns the response, or the failure with its
  // kind and message. Never throws. The client stays usable after any failure.
  Response Get(const std::string& url);

  // Test seam: libcurl CONNECT_TO entries ("HOST:PORT:CONNECT-TO-HOST:PORT")
  // that point host names at a fixture server; they replace earlier entries.
  // Throws Error.
  void SetConnectTo(std::vector<std::string> entries);

 private:
  struct Impl;
  std::unique_ptr<Impl> impl_;
};

}  // namespace http
