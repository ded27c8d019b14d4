// The eleven exports: argument checks, the call guard, and the choice of the
// per-source routine. Nothing is thrown across this boundary.

#include <algorithm>
#include <climits>
#include <exception>

#include "halfwidth.h"
#include "library_state.h"
#include "source_drivers.h"
#include "ticvane.h"

namespace ticvane {
namespace {

constexpr int32_t kSourceCount = 2;

const char* const kSourceCaptions[] = {
    ("Yahoo!\x83t\x83@\x83"
     "C\x83i\x83\x93\x83X(&Y)"),     // Yahoo!ファイナンス(&Y)
    "Infoseek \x83}\x83l\x81[(&I)",  // Infoseek マネー(&I)
    "",
};

constexpr DetailPageRoutine kDetailPage[kSourceCount] = {SourceADetailPage, SourceBDetailPage};
constexpr CodeInfoRoutine kCodeInfo[kSourceCount] = {SourceACodeInfo, SourceBCodeInfo};
constexpr DateTimeRoutine kDateTime[kSourceCount] = {SourceADateTime, SourceBDateTime};
constexpr CodeUnitRoutine kCodeUnit[kSourceCount] = {SourceACodeUnit, SourceBCodeUnit};
constexpr LastDataRoutine kLastData[kSourceCount] = {SourceALastData, SourceBLastData};
constexpr PastDataRoutine kPastData[kSourceCount] = {SourceAPastData, SourceBPastData};
constexpr UpdPastDataRoutine kUpdPastData[kSourceCount] = {SourceAUpdPastData, SourceBUpdPastData};

bool ValidSource(int32_t source) { return source >= 0 && source < kSourceCount; }

// Runs `body` under the call guard; an overlapping call or an escaping error
// gives `refused`.
template <typename Result, typename Body>
Result Guarded(Result refused, Body body) {
  CallGuard guard;
  if (!guard.Entered()) return refused;
  try {
    return body();
  } catch (...) {
    return refused;
  }
}

}  // namespace
}  // namespace ticvane

using namespace ticvane;

TICVANE_API const char* const* TicvaneInit(uint8_t pumpMessages, int32_t longDateFormat,
                                           int32_t timeoutSeconds) {
  Guarded(false, [&] {
    LibraryState& state = State();
    state.pumpMessages = pumpMessages;
    state.longDateFormat = longDateFormat != 0;
    state.client.reset();
    auto client = std::make_unique<http::Client>();
    const int64_t milliseconds = std::clamp<int64_t>(int64_t{timeoutSeconds} * 1000, 0, INT_MAX);
    client->SetReadTimeout(static_cast<int>(milliseconds));
    if (!testing::ConnectTo().empty()) client->SetConnectTo(testing::ConnectTo());
    state.client = std::move(client);
    return true;
  });
  return kSourceCaptions;
}

TICVANE_API void TicvaneEnd() {
  Guarded(false, [] {
    State().client.reset();
    return true;
  });
}

TICVANE_API int32_t TicvaneGetCodeData(ShortText code, vcl::TStrings* page, int32_t source) {
  if (page == nullptr || !ValidSource(source)) return kTicvaneFailed;
  return Guarded(int32_t{kTicvaneFailed}, [&] {
    State().currentSource = source;
    return kDetailPage[source](code, page);
  });
}

TICVANE_API bool TicvaneGetCodeInfo(vcl::TStrings* page, ShortText* name, ShortText* market,
                                    int32_t* sector, uint8_t* loan) {
  if (page == nullptr || name == nullptr || market == nullptr) return false;
  return Guarded(
      false, [&] { return kCodeInfo[State().currentSource](page, name, market, sector, loan); });
}

TICVANE_API bool TicvaneGetDateTime(vcl::TStrings* page, ShortText* text) {
  if (page == nullptr || text == nullptr) return false;
  return Guarded(false, [&] { return kDateTime[State().currentSource](page, text); });
}

TICVANE_API bool TicvaneGetCodeUnit(vcl::TStrings* page, int32_t* unit) {
  if (page == nullptr || unit == nullptr) return false;
  return Guarded(false, [&] { return kCodeUnit[State().currentSource](page, unit); });
}

TICVANE_API bool TicvaneGetLastData(vcl::TStrings* page, ShortText* current, ShortText* open,
                                    ShortText* high, ShortText* low) {
  if (page == nullptr || current == nullptr || open == nullptr || high == nullptr ||
      low == nullptr) {
    return false;
  }
  return Guarded(false,
                 [&] { return kLastData[State().currentSource](page, current, open, high, low); });
}

TICVANE_API int32_t TicvaneGetPastData(vcl::TList* records, ShortText code, int32_t maxCount,
                                       int32_t yearsOffset, int32_t source) {
  if (records == nullptr || !ValidSource(source)) return kTicvaneFailed;
  return Guarded(int32_t{kTicvaneFailed},
                 [&] { return kPastData[source](records, code, maxCount, yearsOffset); });
}

TICVANE_API int32_t TicvaneUpdPastData(vcl::TList* records, ShortText code, int32_t maxCount,
                                       int32_t yearsOffset, int32_t newestStored, int32_t source) {
  if (records == nullptr || !ValidSource(source)) return kTicvaneFailed;
  return Guarded(int32_t{kTicvaneFailed}, [&] {
    return kUpdPastData[source](records, code, maxCount, yearsOffset, newestStored);
  });
}

TICVANE_API void TicvaneClearPastData(vcl::TList* records) {
  if (records == nullptr) return;
  for (int i = 0; i < records->Count(); ++i) {
    delete static_cast<PastDataRecord*>(records->Get(i));
    records->Put(i, nullptr);
  }
}

TICVANE_API ShortText TicvaneCnvStrWtoH(ShortText text) {
  const ShortText result = ConvertToHalfwidth(text);
  // The library's one conversion result holds the last result; a call that
  // overlaps another leaves it to that call.
  CallGuard guard;
  if (guard.Entered()) State().conversionResult = result;
  return result;
}
