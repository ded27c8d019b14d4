#pragma once
// Ticvane: quote retrieval from two Japanese stock-information web sites.
//
// Eleven plain functions with undecorated names. Every text that crosses this
// boundary is code page 932 (Windows-31J). The library keeps one web client,
// the source of the last detail request and the page cursor as global state:
// calls must never overlap, neither from two threads nor from a message
// handler that runs while a download pumps messages. A call that overlaps a
// running call is refused (download result 1, reader false) and changes
// nothing. Nothing is thrown across this boundary.

#include <cstdint>

#include "vcl/tlist.h"
#include "vcl/tstrings.h"

#define TICVANE_API extern "C" __attribute__((visibility("default")))

// A counted text: one length byte, then up to 255 bytes of code page 932 text.
// Inputs pass by value (only the counted bytes are read); outputs are a
// caller's 256-byte buffer of which the library writes the length byte and
// that many bytes. Longer results are cut to their first 255 bytes.
struct ShortText {
  uint8_t length;
  char bytes[255];
};
static_assert(sizeof(ShortText) == 256, "ShortText is 256 bytes");

// One trading day of one code. Prices are whole yen; the close is the
// split-adjusted close and open, high and low are adjusted by the same whole
// ratio; the volume is never adjusted.
struct PastDataRecord {
  int32_t Year;
  int32_t Month;
  int32_t Day;
  int32_t Close;
  int32_t Open;
  int32_t High;
  int32_t Low;
  int32_t Volume;
};
static_assert(sizeof(PastDataRecord) == 32, "PastDataRecord is 32 bytes");

// Download result codes.
enum : int32_t {
  kTicvaneOk = 0,       // success
  kTicvaneFailed = 1,   // request failed, code not listed, page too short or without data
  kTicvaneTimedOut = 9  // the read time-out ran out
};

// Source indexes: the position of the source's caption in TicvaneInit's list.
enum : int32_t { kTicvaneSourceA = 0, kTicvaneSourceB = 1 };

// Creates the web client with a read time-out of `timeoutSeconds` (the longest
// silence on one read; 0 = no limit), turns message pumping on when
// `pumpMessages` is non-zero and sets the date format ("yyyy/m/d" when
// `longDateFormat` is 0, else "yyyy/mm/dd"). Returns the source captions,
// ended by an empty text, owned by the library while it is loaded. A second
// call replaces the client without leaking it.
TICVANE_API const char* const* TicvaneInit(uint8_t pumpMessages, int32_t longDateFormat,
                                           int32_t timeoutSeconds);

// Destroys the web client. Later downloads return 1 until TicvaneInit runs
// again. A second call does nothing.
TICVANE_API void TicvaneEnd();

// Downloads the detail page of `code` from `source` into the caller's `page`,
// makes `source` the current source and, when the page passes its checks,
// remembers where its body begins. Returns 0, 1 or 9. After a failed request
// `page` is left as it was. A source other than 0 or 1 returns 1 and changes
// nothing.
TICVANE_API int32_t TicvaneGetCodeData(ShortText code, vcl::TStrings* page, int32_t source);

// Page readers: valid after a TicvaneGetCodeData that returned 0, on the same
// page. They read the current source and the page cursor and change neither.
// True when every value was found; outputs are written only on true, except
// that a non-null `sector` or `loan` of TicvaneGetCodeInfo may be written even
// when it returns false.
TICVANE_API bool TicvaneGetCodeInfo(vcl::TStrings* page, ShortText* name, ShortText* market,
                                    int32_t* sector, uint8_t* loan);
TICVANE_API bool TicvaneGetDateTime(vcl::TStrings* page, ShortText* text);
TICVANE_API bool TicvaneGetCodeUnit(vcl::TStrings* page, int32_t* unit);
TICVANE_API bool TicvaneGetLastData(vcl::TStrings* page, ShortText* current, ShortText* open,
                                    ShortText* high, ShortText* low);

// Appends up to `maxCount` PastDataRecord pointers, newest first, to the
// caller's empty `records`, from a start year of the current year plus
// `yearsOffset`. Result 0: the caller reads the records and frees them with
// TicvaneClearPastData. Result 1 or 9: every record this call added has
// already been freed (the count stays); the caller must not read them or
// clear them again. Neither reads nor changes the current source or cursor.
TICVANE_API int32_t TicvaneGetPastData(vcl::TList* records, ShortText code, int32_t maxCount,
                                       int32_t yearsOffset, int32_t source);

// As TicvaneGetPastData, but stores only the days newer than `newestStored`
// (year * 10000 + month * 100 + day) and ends at the first day that is not.
TICVANE_API int32_t TicvaneUpdPastData(vcl::TList* records, ShortText code, int32_t maxCount,
                                       int32_t yearsOffset, int32_t newestStored, int32_t source);

// Frees the record every item of `records` points to and sets the item to
// null; the count stays. Items that are already null are skipped.
TICVANE_API void TicvaneClearPastData(vcl::TList* records);

// Full-width Latin letters, digits and the listed symbols of `text` become
// their one-byte forms; everything else is kept. Needs no TicvaneInit.
TICVANE_API ShortText TicvaneCnvStrWtoH(ShortText text);
