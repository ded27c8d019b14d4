#pragma once
// A quote library pointed at a fixture server on 127.0.0.1, with "today"
// fixed, for the tests of the downloading exports.

#include <string>
#include <string_view>
#include <vector>

#include "http/testing/fixture_server.h"
#include "ticvane.h"

namespace ticvane::test {

// Code page 932 bytes of a UTF-8 text (the tests write their pages readably).
std::string Cp932(std::string_view utf8);

ShortText Short(std::string_view bytes);
std::string FromShort(const ShortText& text);

// Starts a fixture server, points every host of the library at it, fixes
// today at 24 September 2009, counts the pump points and calls TicvaneInit.
class LibraryFixture {
 public:
  explicit LibraryFixture(int timeoutSeconds = 2, uint8_t pumpMessages = 1,
                          int32_t longDateFormat = 1);
  ~LibraryFixture();

  http::testing::FixtureServer& Server() { return server_; }
  int PumpCount() const { return pumps_; }
  void ResetPumpCount() { pumps_ = 0; }

 private:
  http::testing::FixtureServer server_;
  int pumps_ = 0;
};

// Records of a list that a history call filled.
std::vector<PastDataRecord> Records(const vcl::TList& list);

}  // namespace ticvane::test
