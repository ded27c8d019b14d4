#pragma once
// A scripted HTTP/1.1 server on 127.0.0.1 for tests: answers each request from
// a handler or a table of routes, can stall and trickle, and records what it
// received. It runs on a thread of its own and keeps any number of connections
// open (keep-alive), answering one request at a time in order of arrival.
// A client that closes early only ends its own connection. The destructor
// stops the server promptly, even in the middle of a stall or a trickle.

#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <utility>
#include <vector>

namespace http::testing {

struct FixtureRequest {
  std::string method;
  std::string target;   // path and query exactly as sent
  std::string host;     // the Host header's value
  std::string rawHead;  // request line and headers as received, up to the blank line
  int connection = 0;   // the connection it came on: 1 for the first accepted, and so on
};

struct FixtureResponse {
  int status = 200;
  std::string reason = "OK";
  // Sent in this order. Content-Length is always added from `body`; do not
  // give it here. "Connection: close" makes the server close after the body.
  std::vector<std::pair<std::string, std::string>> headers;
  std::string body;              // any bytes, zeros included
  int stallBeforeHeadersMs = 0;  // silence before anything is sent
  size_t trickleBytes = 0;       // > 0: the body goes out this many bytes at a time
  int trickleIntervalMs = 0;     // pause before each trickled piece
  // The body goes out again and again without end, with no Content-Length
  // (the end of the body would be the connection's close), until the client
  // gives up or the server stops. It must not be empty.
  bool endless = false;
};

class FixtureServer {
 public:
  // Listens on 127.0.0.1 on a free port. Throws std::runtime_error when it
  // cannot. Until Serve or Route is called every request gets 404.
  FixtureServer();
  ~FixtureServer();
  FixtureServer(const FixtureServer&) = delete;
  FixtureServer& operator=(const FixtureServer&) = delete;

  uint16_t Port() const;

  // Answers every request with `handler`, called on the server's thread; it
  // replaces the routes. A handler that throws gives 500.
  void Serve(std::function<FixtureResponse(const FixtureRequest&)> handler);
  // Answers requests whose target equals `target` with `response` (replacing
  // an earlier route of that target, and any handler); any other target gets 404.
  void Route(const std::string& target, FixtureResponse response);

  // Every request received so far, in order. A request is recorded as soon as
  // its head has arrived, before any stall.
  std::vector<FixtureRequest> Requests() const;

 private:
  struct Impl;
  std::unique_ptr<Impl> impl_;
};

}  // namespace http::testing
