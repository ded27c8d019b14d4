// The library's lifecycle, request outcomes, pump points, freeing and the
// refusal of overlapping calls.

#include <dlfcn.h>
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <set>
#include <string>

#include "history_pages.h"
#include "hosts.h"
#include "library_fixture.h"
#include "library_state.h"

namespace ticvane::test {
namespace {

using http::testing::FixtureRequest;
using http::testing::FixtureResponse;

FixtureResponse Page(const std::string& utf8) {
  FixtureResponse response;
  response.body = Cp932(utf8);
  return response;
}

int32_t DownloadThreeRows(LibraryFixture& library, vcl::TList& list) {
  library.Server().Serve(
      [](const FixtureRequest&) { return Page(SourceAPage(PlainRows(3), NextPage::None)); });
  return TicvaneGetPastData(&list, Short("1301"), 10, -6, kTicvaneSourceA);
}

TEST(Lifecycle, InitReturnsTheTwoCaptionsEndedByAnEmptyText) {
  const char* const* captions = TicvaneInit(0, 1, 5);
  ASSERT_NE(captions, nullptr);
  EXPECT_STREQ(captions[0],
               "Yahoo!\x83t\x83@\x83"
               "C\x83i\x83\x93\x83X(&Y)");                    // Yahoo!ファイナンス(&Y)
  EXPECT_STREQ(captions[1], "Infoseek \x83}\x83l\x81[(&I)");  // Infoseek マネー(&I)
  EXPECT_STREQ(captions[2], "");
  TicvaneEnd();
}

TEST(Lifecycle, ASecondInitKeepsDownloadsWorkingAndASecondEndKeepsThemStopped) {
  // Under the sanitizer build a leak or a double free fails here as well.
  LibraryFixture library;
  TicvaneInit(1, 1, 5);
  vcl::TList list;
  EXPECT_EQ(DownloadThreeRows(library, list), 0);
  EXPECT_EQ(list.Count(), 3);
  TicvaneClearPastData(&list);

  TicvaneEnd();
  TicvaneEnd();
  vcl::TList afterEnd;
  EXPECT_EQ(TicvaneGetPastData(&afterEnd, Short("1301"), 10, -6, kTicvaneSourceA), 1);
  EXPECT_EQ(afterEnd.Count(), 0);
  EXPECT_EQ(library.Server().Requests().size(), 1u);
}

TEST(Lifecycle, DownloadsBeforeInitOrAfterEndFail) {
  TicvaneEnd();
  vcl::TList list;
  EXPECT_EQ(TicvaneGetPastData(&list, Short("1301"), 10, -6, kTicvaneSourceA), 1);
  vcl::TStringList page;
  EXPECT_EQ(TicvaneGetCodeData(Short("1301"), &page, kTicvaneSourceB), 1);
  EXPECT_EQ(list.Count(), 0);
}

TEST(Lifecycle, SourceOutsideTheTwoIsRefusedBeforeItIsStored) {
  LibraryFixture library;
  State().currentSource = kTicvaneSourceB;
  vcl::TStringList page;
  vcl::TList list;
  for (int32_t source : {-1, 2, 1000}) {
    EXPECT_EQ(TicvaneGetCodeData(Short("1301"), &page, source), 1);
    EXPECT_EQ(TicvaneGetPastData(&list, Short("1301"), 10, -6, source), 1);
    EXPECT_EQ(TicvaneUpdPastData(&list, Short("1301"), 10, -6, 20090101, source), 1);
  }
  EXPECT_EQ(State().currentSource, kTicvaneSourceB);
  EXPECT_TRUE(library.Server().Requests().empty());
}

TEST(RequestOutcome, ResultCodes) {
  struct Case {
    const char* name;
    FixtureResponse response;
    int32_t expected;
  };
  const std::string body = Cp932(SourceAPage(PlainRows(3), NextPage::None));
  FixtureResponse ok;
  ok.body = body;
  FixtureResponse notFound;
  notFound.status = 404;
  notFound.reason = "Not Found";
  notFound.body = body;
  FixtureResponse redirect;
  redirect.status = 302;
  redirect.reason = "Found";
  redirect.headers = {{"Location", "/elsewhere"}};
  FixtureResponse stall;
  stall.stallBeforeHeadersMs = 1800;
  stall.body = body;
  // Slower than the limit overall, but never silent for as long.
  FixtureResponse trickle;
  trickle.body = body;
  trickle.trickleBytes = (body.size() + 5) / 6;
  trickle.trickleIntervalMs = 400;
  // A page without end: the size bound stops it.
  FixtureResponse endless;
  endless.body = body;
  endless.endless = true;
  const Case cases[] = {{"ok", ok, 0},       {"404", notFound, 1},    {"302", redirect, 1},
                        {"stall", stall, 9}, {"trickle", trickle, 0}, {"endless", endless, 1}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    LibraryFixture library(/*timeoutSeconds=*/1);
    library.Server().Serve([&c](const FixtureRequest&) { return c.response; });
    vcl::TList list;
    EXPECT_EQ(TicvaneGetPastData(&list, Short("1301"), 10, -6, kTicvaneSourceA), c.expected);
    if (c.expected == 0) {
      EXPECT_EQ(list.Count(), 3);
      TicvaneClearPastData(&list);
    }
    // The redirection is not followed.
    EXPECT_EQ(library.Server().Requests().size(), 1u);
  }
}

TEST(RequestOutcome, APageThatTricklesWithoutEndTimesOut) {
  LibraryFixture library(/*timeoutSeconds=*/1);
  FixtureResponse trickle;
  trickle.body = Cp932(SourceAPage(PlainRows(3), NextPage::None));
  trickle.endless = true;
  trickle.trickleBytes = 64;
  trickle.trickleIntervalMs = 100;
  library.Server().Serve([&trickle](const FixtureRequest&) { return trickle; });
  vcl::TList list;
  EXPECT_EQ(TicvaneGetPastData(&list, Short("1301"), 10, -6, kTicvaneSourceA), 9);
  EXPECT_EQ(list.Count(), 0);
}

TEST(RequestOutcome, RefusedConnectionIsAFailureNotATimeOut) {
  uint16_t closedPort;
  {
    http::testing::FixtureServer gone;
    closedPort = gone.Port();
  }
  LibraryFixture library(1);
  testing::SetConnectTo(
      {std::string(hosts::kSourceAHistory) + ":80:127.0.0.1:" + std::to_string(closedPort)});
  TicvaneInit(1, 1, 1);
  vcl::TList list;
  EXPECT_EQ(TicvaneGetPastData(&list, Short("1301"), 10, -6, kTicvaneSourceA), 1);
}

TEST(RequestOutcome, ZeroByteEndsTheBody) {
  LibraryFixture library;
  std::string body = Cp932(SourceAPage(PlainRows(3), NextPage::Link));
  // Cut the body inside the second row: the page ends there, so the table
  // ends with one record and no line after it.
  const size_t secondRow = body.find("<td><small>2009", body.find("</tr><tr"));
  body[secondRow] = '\0';
  library.Server().Serve([body](const FixtureRequest&) {
    FixtureResponse response;
    response.body = body;
    return response;
  });
  vcl::TList list;
  EXPECT_EQ(TicvaneGetPastData(&list, Short("1301"), 10, -6, kTicvaneSourceA), 0);
  EXPECT_EQ(list.Count(), 1);
  EXPECT_EQ(library.Server().Requests().size(), 1u);
  TicvaneClearPastData(&list);
}

TEST(RequestOutcome, CookiesOfOneResponseAreSentWithTheNext) {
  LibraryFixture library;
  library.Server().Serve([](const FixtureRequest& request) {
    FixtureResponse response =
        Page(SourceAPage(PlainRows(50, RowOffset(request.target)), NextPage::Link));
    if (request.target.find("&y=0") != std::string::npos) {
      response.headers = {{"Set-Cookie", "B=abc123; path=/"}};
    }
    return response;
  });
  vcl::TList list;
  EXPECT_EQ(TicvaneGetPastData(&list, Short("1301"), 60, -6, kTicvaneSourceA), 0);
  const auto requests = library.Server().Requests();
  ASSERT_EQ(requests.size(), 2u);
  EXPECT_EQ(requests[0].rawHead.find("Cookie:"), std::string::npos);
  EXPECT_NE(requests[1].rawHead.find("Cookie: B=abc123"), std::string::npos);
  TicvaneClearPastData(&list);
}

TEST(PumpPoints, BeforeAndAfterEachRequestAndAfterEachRowThatDoesNotEndTheReading) {
  LibraryFixture library;
  vcl::TList list;
  ASSERT_EQ(DownloadThreeRows(library, list), 0);
  // Before the request, after it, after rows 1 and 2; row 3 ends the table.
  EXPECT_EQ(library.PumpCount(), 4);
  TicvaneClearPastData(&list);

  library.ResetPumpCount();
  library.Server().Serve([](const FixtureRequest&) {
    FixtureResponse response;
    response.status = 500;
    return response;
  });
  vcl::TList failed;
  EXPECT_EQ(TicvaneGetPastData(&failed, Short("1301"), 10, -6, kTicvaneSourceA), 1);
  // A failed request is not followed by the second pump.
  EXPECT_EQ(library.PumpCount(), 1);
}

TEST(PumpPoints, SourceBNotAfterDaysWithoutTradesNorRowsNotStored) {
  LibraryFixture library;
  std::vector<SiteRow> rows = PlainRows(5);
  rows[1].noTrade = true;
  rows[2].date = "2009年02月30日";
  library.Server().Serve(
      [rows](const FixtureRequest&) { return Page(SourceBPage(rows, NextPage::PlainText)); });
  vcl::TList list;
  ASSERT_EQ(TicvaneGetPastData(&list, Short("1301"), 10, -6, kTicvaneSourceB), 0);
  EXPECT_EQ(list.Count(), 3);
  // Before the request, after it, after rows 0 and 3; row 4 ends the table.
  EXPECT_EQ(library.PumpCount(), 4);
  TicvaneClearPastData(&list);
}

TEST(PumpPoints, NoneWithPumpingOff) {
  LibraryFixture library(2, /*pumpMessages=*/0);
  vcl::TList list;
  ASSERT_EQ(DownloadThreeRows(library, list), 0);
  EXPECT_EQ(library.PumpCount(), 0);
  TicvaneClearPastData(&list);
}

TEST(Freeing, FailedCallFreesOnlyTheRecordsItAdded) {
  LibraryFixture library(/*timeoutSeconds=*/1);
  library.Server().Serve([](const FixtureRequest& request) {
    FixtureResponse response =
        Page(SourceAPage(PlainRows(50, RowOffset(request.target)), NextPage::Link));
    if (request.target.find("&y=100") != std::string::npos) response.stallBeforeHeadersMs = 1800;
    return response;
  });
  PastDataRecord mine{2001, 1, 1, 1, 1, 1, 1, 1};
  vcl::TList list;
  list.Add(&mine);
  EXPECT_EQ(TicvaneGetPastData(&list, Short("1301"), 1225, -6, kTicvaneSourceA), 9);
  ASSERT_EQ(list.Count(), 101);
  EXPECT_EQ(list.Get(0), &mine);
  for (int i = 1; i < list.Count(); ++i) EXPECT_EQ(list.Get(i), nullptr) << i;
}

TEST(Freeing, ClearPastDataFreesEachRecordOnceAndKeepsTheCount) {
  LibraryFixture library;
  vcl::TList list;
  ASSERT_EQ(DownloadThreeRows(library, list), 0);
  TicvaneClearPastData(&list);
  ASSERT_EQ(list.Count(), 3);
  for (int i = 0; i < 3; ++i) EXPECT_EQ(list.Get(i), nullptr);
  // A second clear finds only null items.
  TicvaneClearPastData(&list);
  vcl::TList empty;
  TicvaneClearPastData(&empty);
  EXPECT_EQ(empty.Count(), 0);
}

TEST(Overlap, CallFromAPumpedHandlerIsRefusedAndChangesNothing) {
  LibraryFixture library;
  std::vector<int32_t> nestedResults;
  vcl::TList nested;
  vcl::TStringList nestedPage;
  nestedPage.SetText("kept\n");
  testing::SetPumpObserver([&] {
    nestedResults.push_back(TicvaneGetPastData(&nested, Short("1301"), 10, -6, 0));
    nestedResults.push_back(TicvaneGetCodeData(Short("1301"), &nestedPage, 1));
  });
  const int32_t before = State().currentSource;
  vcl::TList list;
  ASSERT_EQ(DownloadThreeRows(library, list), 0);
  testing::SetPumpObserver({});
  EXPECT_EQ(list.Count(), 3);
  ASSERT_FALSE(nestedResults.empty());
  for (int32_t result : nestedResults) EXPECT_EQ(result, 1);
  EXPECT_EQ(nested.Count(), 0);
  EXPECT_EQ(nestedPage.GetCount(), 1);
  EXPECT_EQ(State().currentSource, before);
  EXPECT_EQ(library.Server().Requests().size(), 1u);
  TicvaneClearPastData(&list);
}

TEST(SharedLibrary, ExportsExactlyTheElevenFunctions) {
  const std::string command = std::string("nm -D --defined-only ") + TICVANE_SO_PATH;
  FILE* pipe = popen(command.c_str(), "r");
  ASSERT_NE(pipe, nullptr);
  std::set<std::string> names;
  char line[512];
  while (std::fgets(line, sizeof line, pipe) != nullptr) {
    std::string text(line);
    text.erase(text.find_last_not_of("\r\n") + 1);
    const size_t space = text.rfind(' ');
    const std::string name = text.substr(space + 1);
    // The version node the linker script adds is no function.
    if (text.find(" A ") != std::string::npos) continue;
    names.insert(name);
  }
  ASSERT_EQ(pclose(pipe), 0);
  const std::set<std::string> expected = {
      "TicvaneInit",        "TicvaneEnd",           "TicvaneGetCodeData", "TicvaneGetCodeInfo",
      "TicvaneGetDateTime", "TicvaneGetCodeUnit",   "TicvaneGetLastData", "TicvaneGetPastData",
      "TicvaneUpdPastData", "TicvaneClearPastData", "TicvaneCnvStrWtoH"};
  EXPECT_EQ(names, expected);
}

TEST(SharedLibrary, LoadsAndResolvesItsExportsByName) {
  void* handle = dlopen(TICVANE_SO_PATH, RTLD_NOW | RTLD_LOCAL);
  ASSERT_NE(handle, nullptr) << dlerror();
  using Init = const char* const* (*)(uint8_t, int32_t, int32_t);
  using End = void (*)();
  auto init = reinterpret_cast<Init>(dlsym(handle, "TicvaneInit"));
  auto end = reinterpret_cast<End>(dlsym(handle, "TicvaneEnd"));
  ASSERT_NE(init, nullptr);
  ASSERT_NE(end, nullptr);
  const char* const* captions = init(0, 1, 5);
  EXPECT_STREQ(captions[2], "");
  end();
  dlclose(handle);
}

}  // namespace
}  // namespace ticvane::test
