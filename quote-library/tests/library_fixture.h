#pragma once
// A quote library pointed at a fixture server on 127.0.0.1, with "today"
// fixed, for the tests of the downloading exports.

#include <initializer_list>
#include <string>
#include <string_view>
#include <vector>

#include "http/testing/fixture_server.h"
#include "ticvane.h"

namespace ticvane::test {

// A UTF-8 text in another encoding, through iconv (the tests write their
// pages readably).
std::string Encoded(std::string_view utf8, const char* encoding);
// Code page 932 bytes of a UTF-8 text.
inline std::string Cp932(std::string_view utf8) { return Encoded(utf8, "CP932"); }

using Lines = std::vector<std::string>;
// Readable lines as the code page 932 lines of a fetched page.
vcl::TStringList PageOf(const Lines& utf8Lines);
Lines Join(std::initializer_list<Lines> parts);
// The library as TicvaneGetCodeData leaves it after a page of `source` whose
// body marker stands on line `cursor`.
void SelectSource(int32_t source, int cursor);

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

// A list for a history call that frees its records through the library when
// it goes out of scope, also when a failed assertion ends the test early.
class RecordList {
 public:
  RecordList() = default;
  RecordList(const RecordList&) = delete;
  RecordList& operator=(const RecordList&) = delete;
  ~RecordList() { TicvaneClearPastData(&list_); }

  vcl::TList* get() { return &list_; }
  int Count() const { return list_.Count(); }
  std::vector<PastDataRecord> Records() const { return test::Records(list_); }

 private:
  vcl::TList list_;
};

}  // namespace ticvane::test
