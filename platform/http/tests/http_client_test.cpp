#include "http/http_client.h"

#include <arpa/inet.h>
#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <string>
#include <vector>

#include "http/testing/fixture_server.h"

namespace http {
namespace {

using testing::FixtureResponse;
using testing::FixtureServer;
using ::testing::HasSubstr;
using ::testing::Not;

std::string UrlOf(const FixtureServer& server, const std::string& target) {
  return "http://127.0.0.1:" + std::to_string(server.Port()) + target;
}

// Whether `body` is `expected`. A failure tells their sizes and the first
// byte where they part, and the bytes only of short bodies: a body may be
// megabytes long.
::testing::AssertionResult BodyIs(const std::string& body, const std::string& expected) {
  if (body == expected) return ::testing::AssertionSuccess();
  constexpr size_t kPrinted = 80;
  const size_t parting =
      std::mismatch(body.begin(), body.end(), expected.begin(), expected.end()).first -
      body.begin();
  ::testing::AssertionResult failure = ::testing::AssertionFailure();
  failure << "a body of " << body.size() << " bytes where " << expected.size()
          << " were expected, unlike from byte " << parting;
  if (body.size() <= kPrinted && expected.size() <= kPrinted) {
    failure << ": " << ::testing::PrintToString(body) << " where "
            << ::testing::PrintToString(expected) << " was expected";
  }
  return failure;
}

// The body of a request that must succeed.
std::string BodyOf(Client& client, const std::string& url) {
  const Response response = client.Get(url);
  EXPECT_EQ(response.failure, Failure::kNone) << response.message;
  EXPECT_EQ(response.message, "");
  return response.body;
}

// A request that must fail, with no body.
Response FailureOf(Client& client, const std::string& url) {
  Response response = client.Get(url);
  EXPECT_FALSE(response.Ok());
  EXPECT_TRUE(BodyIs(response.body, ""));
  return response;
}

FixtureResponse Body(std::string body) {
  FixtureResponse response;
  response.body = std::move(body);
  return response;
}

// A port on 127.0.0.1 on which nothing listens.
uint16_t ClosedPort() {
  int fd = socket(AF_INET, SOCK_STREAM, 0);
  sockaddr_in address{};
  address.sin_family = AF_INET;
  address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  bind(fd, reinterpret_cast<sockaddr*>(&address), sizeof address);
  socklen_t length = sizeof address;
  getsockname(fd, reinterpret_cast<sockaddr*>(&address), &length);
  close(fd);
  return ntohs(address.sin_port);
}

TEST(HttpClientTest, ReturnsTheBodyByteForByteIncludingZeros) {
  FixtureServer server;
  const std::string body("<p>\x00\x82\xa0\xff\r\nend\n", 14);
  server.Route("/page?code=1301", Body(body));
  Client client;

  EXPECT_TRUE(BodyIs(BodyOf(client, UrlOf(server, "/page?code=1301")), body));

  auto requests = server.Requests();
  ASSERT_EQ(requests.size(), 1u);
  EXPECT_EQ(requests[0].method, "GET");
  EXPECT_EQ(requests[0].target, "/page?code=1301");
  EXPECT_THAT(requests[0].rawHead, HasSubstr(" HTTP/1.1\r\n"));
  EXPECT_THAT(requests[0].rawHead, HasSubstr("User-Agent: "));
  EXPECT_THAT(requests[0].rawHead, Not(HasSubstr("Accept-Encoding")));
}

TEST(HttpClientTest, AnEmptyBodyIsAnEmptyText) {
  FixtureServer server;
  server.Route("/empty", Body(""));
  Client client;
  EXPECT_TRUE(BodyIs(BodyOf(client, UrlOf(server, "/empty")), ""));
}

TEST(HttpClientTest, StatusesOutsideSuccessAreErrorsNamingTheStatus) {
  struct Case {
    int status;
    std::string reason;
    std::string message;
  };
  const std::vector<Case> cases = {
      {404, "Not Found", "HTTP/1.1 404 Not Found"},
      {302, "Found", "HTTP/1.1 302 Found"},
      {301, "Moved Permanently", "HTTP/1.1 301 Moved Permanently"},
      {304, "Not Modified", "HTTP/1.1 304 Not Modified"},
      {500, "Internal Server Error", "HTTP/1.1 500 Internal Server Error"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.status);
    FixtureServer server;
    FixtureResponse response = Body("moved or missing");
    response.status = c.status;
    response.reason = c.reason;
    response.headers = {{"Location", UrlOf(server, "/elsewhere")}};
    server.Route("/page", response);
    server.Route("/elsewhere", Body("must not be fetched"));
    Client client;

    const Response answer = FailureOf(client, UrlOf(server, "/page"));
    EXPECT_EQ(answer.failure, Failure::kHttpStatus);
    EXPECT_EQ(answer.message, c.message);
    // A redirection is not followed.
    EXPECT_EQ(server.Requests().size(), 1u);
  }
}

TEST(HttpClientTest, ARefusedConnectionIsAnErrorOtherThanTheReadTimeout) {
  Client client;
  client.SetReadTimeout(1000);
  const Response response =
      FailureOf(client, "http://127.0.0.1:" + std::to_string(ClosedPort()) + "/");
  EXPECT_EQ(response.failure, Failure::kTransport);
  EXPECT_NE(response.message, "");
}

// A listener whose queue of unaccepted connections is full: the kernel drops
// further connection attempts, so a connect to it hangs.
class HangingListener {
 public:
  HangingListener() {
    listener_ = socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    bind(listener_, reinterpret_cast<sockaddr*>(&address), sizeof address);
    listen(listener_, 0);
    socklen_t length = sizeof address;
    getsockname(listener_, reinterpret_cast<sockaddr*>(&address), &length);
    port_ = ntohs(address.sin_port);
    for (int& filler : fillers_) {
      filler = socket(AF_INET, SOCK_STREAM | SOCK_NONBLOCK, 0);
      connect(filler, reinterpret_cast<sockaddr*>(&address), sizeof address);
    }
    usleep(100 * 1000);  // let the fillers' handshakes settle into the queue
  }
  ~HangingListener() {
    for (int filler : fillers_) close(filler);
    close(listener_);
  }
  uint16_t Port() const { return port_; }

 private:
  int listener_;
  int fillers_[3];
  uint16_t port_;
};

TEST(HttpClientTest, AConnectThatHangsIsNotTheReadTimeout) {
  HangingListener listener;
  Client client;
  client.SetReadTimeout(1000);
  const Response response =
      FailureOf(client, "http://127.0.0.1:" + std::to_string(listener.Port()) + "/");
  EXPECT_EQ(response.failure, Failure::kTransport);
}

TEST(HttpClientTest, OnlyWebAddressesAreFetched) {
  Client client;
  for (const char* url : {"file:///etc/hostname", "ftp://127.0.0.1/", "not a url"}) {
    SCOPED_TRACE(url);
    EXPECT_EQ(FailureOf(client, url).failure, Failure::kTransport);
  }
}

TEST(HttpClientTest, SilenceLongerThanTheLimitIsTheReadTimeout) {
  FixtureServer server;
  FixtureResponse stalled = Body("too late");
  stalled.stallBeforeHeadersMs = 1500;
  server.Route("/stall", stalled);
  Client client;
  client.SetReadTimeout(1000);

  const Response response = FailureOf(client, UrlOf(server, "/stall"));
  EXPECT_EQ(response.failure, Failure::kTimedOut);
  EXPECT_EQ(response.message, "Read Timeout");
}

TEST(HttpClientTest, SilenceInTheMiddleOfTheBodyIsTheReadTimeout) {
  FixtureServer server;
  FixtureResponse halting = Body("firstsecond");
  halting.trickleBytes = 5;
  halting.trickleIntervalMs = 1500;
  server.Route("/halting", halting);
  Client client;
  client.SetReadTimeout(1000);

  const Response response = FailureOf(client, UrlOf(server, "/halting"));
  EXPECT_EQ(response.failure, Failure::kTimedOut);
  EXPECT_EQ(response.message, "Read Timeout");
}

TEST(HttpClientTest, ASlowBodyThatIsNeverSilentForTheLimitCompletes) {
  FixtureServer server;
  FixtureResponse trickling = Body("0123456789");
  trickling.trickleBytes = 1;
  trickling.trickleIntervalMs = 250;  // 2.5 s in all under a 1 s limit
  server.Route("/slow", trickling);
  Client client;
  client.SetReadTimeout(1000);

  EXPECT_TRUE(BodyIs(BodyOf(client, UrlOf(server, "/slow")), "0123456789"));
}

TEST(HttpClientTest, ABodyOverTheBoundFailsAndTheClientWorksAgain) {
  struct Case {
    const char* name;
    FixtureResponse response;
    bool ok;
  };
  FixtureResponse atTheBound = Body(std::string(kLargestBody, 'a'));
  FixtureResponse overTheBound = Body(std::string(kLargestBody + 1, 'a'));
  // No Content-Length and no end: only the bound stops it.
  FixtureResponse endless = Body(std::string(64 * 1024, 'b'));
  endless.endless = true;
  const Case cases[] = {
      {"at the bound", atTheBound, true},
      {"one byte over", overTheBound, false},
      {"endless", endless, false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    FixtureServer server;
    server.Route("/big", c.response);
    server.Route("/quick", Body("quick"));
    Client client;
    client.SetReadTimeout(5000);

    if (c.ok) {
      EXPECT_EQ(BodyOf(client, UrlOf(server, "/big")).size(), kLargestBody);
    } else {
      const Response response = FailureOf(client, UrlOf(server, "/big"));
      EXPECT_EQ(response.failure, Failure::kTransport);
      EXPECT_THAT(response.message, HasSubstr("larger than 16 MB"));
    }
    EXPECT_TRUE(BodyIs(BodyOf(client, UrlOf(server, "/quick")), "quick"));
  }
}

TEST(HttpClientTest, ABodyThatNeverFallsSilentEndsAsTheReadTimeoutAfterAFewLimits) {
  FixtureServer server;
  FixtureResponse trickle = Body("x");
  trickle.endless = true;
  trickle.trickleBytes = 1;
  trickle.trickleIntervalMs = 20;
  server.Route("/trickle", trickle);
  Client client;
  client.SetReadTimeout(200);

  const auto start = std::chrono::steady_clock::now();
  const Response response = FailureOf(client, UrlOf(server, "/trickle"));
  const auto lasted = std::chrono::steady_clock::now() - start;
  EXPECT_EQ(response.failure, Failure::kTimedOut);
  EXPECT_EQ(response.message, "Read Timeout");
  EXPECT_GE(lasted, kTotalTimeOuts * std::chrono::milliseconds(200));
}

TEST(HttpClientTest, ALimitOfZeroWaits) {
  FixtureServer server;
  FixtureResponse stalled = Body("patience");
  stalled.stallBeforeHeadersMs = 1500;
  server.Route("/stall", stalled);
  Client client;
  client.SetReadTimeout(1000);
  client.SetReadTimeout(0);

  EXPECT_TRUE(BodyIs(BodyOf(client, UrlOf(server, "/stall")), "patience"));
}

TEST(HttpClientTest, TheClientWorksAgainAfterATimeOut) {
  FixtureServer server;
  FixtureResponse stalled = Body("too late");
  stalled.stallBeforeHeadersMs = 1500;
  server.Route("/stall", stalled);
  server.Route("/quick", Body("quick"));
  Client client;
  client.SetReadTimeout(1000);

  ASSERT_EQ(FailureOf(client, UrlOf(server, "/stall")).failure, Failure::kTimedOut);
  EXPECT_TRUE(BodyIs(BodyOf(client, UrlOf(server, "/quick")), "quick"));

  // The timed-out connection was given up, not read from again.
  auto requests = server.Requests();
  ASSERT_EQ(requests.size(), 2u);
  EXPECT_EQ(requests[1].connection, 2);
}

TEST(HttpClientTest, KeepsTheConnectionForTheNextRequest) {
  FixtureServer server;
  server.Route("/one", Body("one"));
  server.Route("/two", Body("two"));
  Client client;

  EXPECT_TRUE(BodyIs(BodyOf(client, UrlOf(server, "/one")), "one"));
  EXPECT_TRUE(BodyIs(BodyOf(client, UrlOf(server, "/two")), "two"));

  auto requests = server.Requests();
  ASSERT_EQ(requests.size(), 2u);
  EXPECT_EQ(requests[0].connection, 1);
  EXPECT_EQ(requests[1].connection, 1);
}

TEST(HttpClientTest, CookiesAreSentBackToTheirOwnHostOnly) {
  FixtureServer server;
  FixtureResponse login = Body("welcome");
  login.headers = {{"Set-Cookie", "session=abc123; Path=/"}};
  server.Route("/login", login);
  server.Route("/page", Body("page"));
  const std::string port = std::to_string(server.Port());
  Client client;
  client.SetConnectTo(
      {"first.example:80:127.0.0.1:" + port, "second.example:80:127.0.0.1:" + port});

  EXPECT_TRUE(BodyIs(BodyOf(client, "http://first.example/login"), "welcome"));
  EXPECT_TRUE(BodyIs(BodyOf(client, "http://first.example/page"), "page"));
  EXPECT_TRUE(BodyIs(BodyOf(client, "http://second.example/page"), "page"));

  auto requests = server.Requests();
  ASSERT_EQ(requests.size(), 3u);
  EXPECT_THAT(requests[0].rawHead, Not(HasSubstr("Cookie:")));
  EXPECT_THAT(requests[1].rawHead, HasSubstr("\r\nCookie: session=abc123\r\n"));
  EXPECT_THAT(requests[2].rawHead, Not(HasSubstr("Cookie:")));
}

TEST(HttpClientTest, ConnectToPointsAMadeUpHostAtTheFixture) {
  FixtureServer server;
  server.Route("/quote?code=7203", Body("quote"));
  Client client;
  client.SetConnectTo({"quotes.example.jp:80:127.0.0.1:" + std::to_string(server.Port())});

  EXPECT_TRUE(BodyIs(BodyOf(client, "http://quotes.example.jp/quote?code=7203"), "quote"));

  auto requests = server.Requests();
  ASSERT_EQ(requests.size(), 1u);
  EXPECT_EQ(requests[0].host, "quotes.example.jp");
}

}  // namespace
}  // namespace http
