#include "http/testing/fixture_server.h"

#include <arpa/inet.h>
#include <fcntl.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <chrono>
#include <cstring>
#include <map>
#include <mutex>
#include <optional>
#include <stdexcept>
#include <string_view>
#include <thread>

namespace http::testing {
namespace {

constexpr size_t kMaxHeadBytes = 64 * 1024;
constexpr std::string_view kHeadEnd = "\r\n\r\n";

bool EqualsIgnoringCase(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (size_t i = 0; i < a.size(); ++i) {
    auto lower = [](char c) { return (c >= 'A' && c <= 'Z') ? char(c - 'A' + 'a') : c; };
    if (lower(a[i]) != lower(b[i])) return false;
  }
  return true;
}

std::string_view Trim(std::string_view text) {
  while (!text.empty() && (text.front() == ' ' || text.front() == '\t')) text.remove_prefix(1);
  while (!text.empty() && (text.back() == ' ' || text.back() == '\t')) text.remove_suffix(1);
  return text;
}

// What the server needs of a request head beyond what it records.
struct ParsedHead {
  FixtureRequest request;
  size_t bodyLength = 0;
  bool keepAlive = true;
  bool valid = true;
};

ParsedHead ParseHead(std::string_view head) {
  ParsedHead parsed;
  parsed.request.rawHead = std::string(head);
  size_t lineEnd = head.find("\r\n");
  std::string_view requestLine = head.substr(0, lineEnd);
  size_t firstSpace = requestLine.find(' ');
  size_t secondSpace =
      firstSpace == std::string_view::npos ? firstSpace : requestLine.find(' ', firstSpace + 1);
  if (secondSpace == std::string_view::npos) {
    parsed.valid = false;
    parsed.keepAlive = false;
    return parsed;
  }
  parsed.request.method = std::string(requestLine.substr(0, firstSpace));
  parsed.request.target =
      std::string(requestLine.substr(firstSpace + 1, secondSpace - firstSpace - 1));
  if (requestLine.substr(secondSpace + 1) != "HTTP/1.1") parsed.keepAlive = false;

  while (lineEnd != std::string_view::npos) {
    size_t start = lineEnd + 2;
    lineEnd = head.find("\r\n", start);
    std::string_view line = head.substr(start, lineEnd - start);
    size_t colon = line.find(':');
    if (colon == std::string_view::npos) continue;
    std::string_view name = line.substr(0, colon);
    std::string_view value = Trim(line.substr(colon + 1));
    if (EqualsIgnoringCase(name, "Host")) {
      parsed.request.host = std::string(value);
    } else if (EqualsIgnoringCase(name, "Content-Length")) {
      size_t length = 0;
      for (char c : value) {
        if (c < '0' || c > '9' || length > kMaxHeadBytes) {
          parsed.valid = false;
          break;
        }
        length = length * 10 + size_t(c - '0');
      }
      parsed.bodyLength = length;
    } else if (EqualsIgnoringCase(name, "Transfer-Encoding")) {
      parsed.valid = false;  // a chunked request body is beyond this fixture
    } else if (EqualsIgnoringCase(name, "Connection") && EqualsIgnoringCase(value, "close")) {
      parsed.keepAlive = false;
    }
  }
  if (!parsed.valid) parsed.keepAlive = false;
  return parsed;
}

FixtureResponse Status(int status, std::string reason) {
  FixtureResponse response;
  response.status = status;
  response.body = reason;
  response.reason = std::move(reason);
  return response;
}

bool SaysClose(const FixtureResponse& response) {
  for (const auto& [name, value] : response.headers) {
    if (EqualsIgnoringCase(name, "Connection") && EqualsIgnoringCase(Trim(value), "close")) {
      return true;
    }
  }
  return false;
}

}  // namespace

struct FixtureServer::Impl {
  struct Connection {
    int fd;
    int number;
    std::string input;
  };

  int listenFd = -1;
  int wakeRead = -1;
  int wakeWrite = -1;
  uint16_t port = 0;
  std::atomic<bool> stopping{false};
  std::thread thread;

  mutable std::mutex mutex;
  std::function<FixtureResponse(const FixtureRequest&)> handler;
  std::map<std::string, FixtureResponse> routes;
  std::vector<FixtureRequest> requests;

  ~Impl() {
    for (int fd : {listenFd, wakeRead, wakeWrite}) {
      if (fd >= 0) close(fd);
    }
  }

  void Open() {
    int pipeFds[2];
    if (pipe2(pipeFds, O_CLOEXEC | O_NONBLOCK) != 0) Fail("pipe");
    wakeRead = pipeFds[0];
    wakeWrite = pipeFds[1];
    listenFd = socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC | SOCK_NONBLOCK, 0);
    if (listenFd < 0) Fail("socket");
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    address.sin_port = 0;
    if (bind(listenFd, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0) Fail("bind");
    if (listen(listenFd, 16) != 0) Fail("listen");
    socklen_t length = sizeof address;
    if (getsockname(listenFd, reinterpret_cast<sockaddr*>(&address), &length) != 0) {
      Fail("getsockname");
    }
    port = ntohs(address.sin_port);
  }

  [[noreturn]] static void Fail(const char* what) {
    throw std::runtime_error(std::string("fixture server: ") + what + ": " + std::strerror(errno));
  }

  void Stop() {
    stopping = true;
    char wake = 'x';
    [[maybe_unused]] ssize_t written = write(wakeWrite, &wake, 1);
    if (thread.joinable()) thread.join();
  }

  // Waits `milliseconds`; false when the server is stopping.
  bool Pause(int milliseconds) {
    auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(milliseconds);
    while (!stopping) {
      auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
          deadline - std::chrono::steady_clock::now());
      if (left.count() <= 0) return true;
      pollfd wake{wakeRead, POLLIN, 0};
      poll(&wake, 1, int(left.count()));
    }
    return false;
  }

  // Sends all of `bytes`; false when the peer is gone or the server is stopping.
  bool SendAll(int fd, std::string_view bytes) {
    while (!bytes.empty()) {
      if (stopping) return false;
      ssize_t sent = send(fd, bytes.data(), bytes.size(), MSG_NOSIGNAL);
      if (sent > 0) {
        bytes.remove_prefix(size_t(sent));
        continue;
      }
      if (sent < 0 && errno == EINTR) continue;
      if (sent < 0 && (errno == EAGAIN || errno == EWOULDBLOCK)) {
        pollfd fds[2] = {{fd, POLLOUT, 0}, {wakeRead, POLLIN, 0}};
        poll(fds, 2, -1);
        continue;
      }
      return false;
    }
    return true;
  }

  // Repeats the body, trickled when asked, until the peer is gone or the
  // server is stopping.
  void SendForever(int fd, const FixtureResponse& response) {
    const size_t period = response.body.size();
    if (period == 0) return;
    const size_t piece = response.trickleBytes > 0 ? response.trickleBytes : period;
    // Any piece of the endless body is a substring of this, wherever it starts.
    std::string cycle;
    while (cycle.size() < piece + period) cycle += response.body;
    for (size_t offset = 0;; offset = (offset + piece) % period) {
      if (response.trickleIntervalMs > 0 && !Pause(response.trickleIntervalMs)) return;
      if (!SendAll(fd, std::string_view(cycle).substr(offset, piece))) return;
    }
  }

  FixtureResponse Answer(const ParsedHead& parsed) {
    if (!parsed.valid) return Status(400, "Bad Request");
    std::function<FixtureResponse(const FixtureRequest&)> answer;
    std::optional<FixtureResponse> routed;
    {
      std::lock_guard lock(mutex);
      if (handler) {
        answer = handler;
      } else if (auto found = routes.find(parsed.request.target); found != routes.end()) {
        routed = found->second;
      }
    }
    if (routed) return *routed;
    if (!answer) return Status(404, "Not Found");
    try {
      return answer(parsed.request);
    } catch (...) {
      return Status(500, "Internal Server Error");
    }
  }

  // Sends one response; false when the connection must be closed.
  bool Respond(int fd, const FixtureResponse& response, bool withBody) {
    if (response.stallBeforeHeadersMs > 0 && !Pause(response.stallBeforeHeadersMs)) return false;
    std::string head =
        "HTTP/1.1 " + std::to_string(response.status) + " " + response.reason + "\r\n";
    for (const auto& [name, value] : response.headers) head += name + ": " + value + "\r\n";
    if (response.endless) {
      head += "Connection: close\r\n\r\n";
      if (SendAll(fd, head) && withBody) SendForever(fd, response);
      return false;
    }
    head += "Content-Length: " + std::to_string(response.body.size()) + "\r\n\r\n";
    std::string_view body = withBody ? std::string_view(response.body) : std::string_view();
    if (response.trickleBytes == 0) return SendAll(fd, head + std::string(body));
    if (!SendAll(fd, head)) return false;
    while (!body.empty()) {
      if (!Pause(response.trickleIntervalMs)) return false;
      size_t piece = std::min(body.size(), response.trickleBytes);
      if (!SendAll(fd, body.substr(0, piece))) return false;
      body.remove_prefix(piece);
    }
    return true;
  }

  // Answers every complete request in the connection's input; false when the
  // connection must be closed.
  bool AnswerBuffered(Connection& connection) {
    for (;;) {
      size_t headEnd = connection.input.find(kHeadEnd);
      if (headEnd == std::string::npos) return connection.input.size() <= kMaxHeadBytes;
      ParsedHead parsed =
          ParseHead(std::string_view(connection.input).substr(0, headEnd + kHeadEnd.size()));
      parsed.request.connection = connection.number;
      size_t requestLength = headEnd + kHeadEnd.size() + parsed.bodyLength;
      if (connection.input.size() < requestLength) return true;  // the body is still coming
      connection.input.erase(0, requestLength);
      {
        std::lock_guard lock(mutex);
        requests.push_back(parsed.request);
      }
      FixtureResponse response = Answer(parsed);
      if (!Respond(connection.fd, response, parsed.request.method != "HEAD")) return false;
      if (!parsed.keepAlive || SaysClose(response)) return false;
    }
  }

  // Reads what has arrived; false when the peer closed or failed.
  static bool Receive(Connection& connection) {
    char buffer[16 * 1024];
    for (;;) {
      ssize_t got = recv(connection.fd, buffer, sizeof buffer, 0);
      if (got > 0) {
        connection.input.append(buffer, size_t(got));
        continue;
      }
      if (got < 0 && errno == EINTR) continue;
      return got < 0 && (errno == EAGAIN || errno == EWOULDBLOCK);
    }
  }

  void Run() {
    std::vector<Connection> connections;
    int accepted = 0;
    while (!stopping) {
      std::vector<pollfd> fds = {{wakeRead, POLLIN, 0}, {listenFd, POLLIN, 0}};
      for (const Connection& connection : connections) fds.push_back({connection.fd, POLLIN, 0});
      if (poll(fds.data(), fds.size(), -1) < 0 && errno != EINTR) break;
      if (stopping) break;
      // Connections first, so that a new one joins the list after the loop.
      std::vector<Connection> open;
      for (size_t i = 0; i < connections.size(); ++i) {
        Connection& connection = connections[i];
        bool keep = true;
        if (fds[i + 2].revents != 0) {
          bool peerOpen = Receive(connection);
          keep = AnswerBuffered(connection) && peerOpen;
        }
        if (keep) {
          open.push_back(std::move(connection));
        } else {
          close(connection.fd);
        }
      }
      connections = std::move(open);
      if (fds[1].revents & POLLIN) {
        for (;;) {
          int fd = accept4(listenFd, nullptr, nullptr, SOCK_CLOEXEC | SOCK_NONBLOCK);
          if (fd < 0) break;
          connections.push_back({fd, ++accepted, {}});
        }
      }
    }
    for (const Connection& connection : connections) close(connection.fd);
  }
};

FixtureServer::FixtureServer() : impl_(std::make_unique<Impl>()) {
  impl_->Open();
  impl_->thread = std::thread([impl = impl_.get()] { impl->Run(); });
}

FixtureServer::~FixtureServer() { impl_->Stop(); }

uint16_t FixtureServer::Port() const { return impl_->port; }

void FixtureServer::Serve(std::function<FixtureResponse(const FixtureRequest&)> handler) {
  std::lock_guard lock(impl_->mutex);
  impl_->handler = std::move(handler);
  impl_->routes.clear();
}

void FixtureServer::Route(const std::string& target, FixtureResponse response) {
  std::lock_guard lock(impl_->mutex);
  impl_->handler = nullptr;
  impl_->routes[target] = std::move(response);
}

std::vector<FixtureRequest> FixtureServer::Requests() const {
  std::lock_guard lock(impl_->mutex);
  return impl_->requests;
}

}  // namespace http::testing
