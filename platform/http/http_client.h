#pragma once
// An HTTP/1.1 client on one libcurl easy handle, kept for the client's life.
// GET of an absolute URL, body byte for byte (no Accept-Encoding), redirections
// not followed, any status outside 2xx an error, cookies kept in memory per
// domain for the client's life, no proxy whatever the environment says.
// Not thread-safe: one thread at a time.

#include <memory>
#include <stdexcept>
#include <string>
#include <vector>

namespace http {

// Every failure of a request. what() is exactly "Read Timeout" when the read
// time-out ran out, and some other text for every other failure.
class Error : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

inline constexpr const char* kReadTimeoutMessage = "Read Timeout";

class Client {
 public:
  Client();
  ~Client();
  Client(const Client&) = delete;
  Client& operator=(const Client&) = delete;

  // The longest silence allowed while waiting for or reading the response, in
  // milliseconds; 0 = no limit. A slow body whose gaps are each shorter than
  // the limit completes.
  void SetReadTimeout(int milliseconds);

  // Sends a GET for `url` and returns the whole response body. Throws Error.
  std::string Get(const std::string& url);

  // Test seam: libcurl CONNECT_TO entries ("HOST:PORT:CONNECT-TO-HOST:PORT")
  // that point host names at a fixture server.
  void SetConnectTo(std::vector<std::string> entries);

 private:
  struct Impl;
  std::unique_ptr<Impl> impl_;
};

}  // namespace http
