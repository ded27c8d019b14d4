#pragma once
// The per-source routines behind the exports, chosen from two-entry tables by
// the source index (entry 0 SourceA, entry 1 SourceB). Each takes its export's
// arguments less the source index and returns the export's result.

#include <cstdint>

#include "ticvane.h"

namespace ticvane {

using DetailPageRoutine = int32_t (*)(ShortText code, vcl::TStrings* page);
using CodeInfoRoutine = bool (*)(vcl::TStrings* page, ShortText* name, ShortText* market,
                                 int32_t* sector, uint8_t* loan);
using DateTimeRoutine = bool (*)(vcl::TStrings* page, ShortText* text);
using CodeUnitRoutine = bool (*)(vcl::TStrings* page, int32_t* unit);
using LastDataRoutine = bool (*)(vcl::TStrings* page, ShortText* current, ShortText* open,
                                 ShortText* high, ShortText* low);
using PastDataRoutine = int32_t (*)(vcl::TList* records, ShortText code, int32_t maxCount,
                                    int32_t yearsOffset);
using UpdPastDataRoutine = int32_t (*)(vcl::TList* records, ShortText code, int32_t maxCount,
                                       int32_t yearsOffset, int32_t newestStored);

// SourceA (source 0).
int32_t SourceADetailPage(ShortText code, vcl::TStrings* page);
bool SourceACodeInfo(vcl::TStrings* page, ShortText* name, ShortText* market, int32_t* sector,
                     uint8_t* loan);
bool SourceADateTime(vcl::TStrings* page, ShortText* text);
bool SourceACodeUnit(vcl::TStrings* page, int32_t* unit);
bool SourceALastData(vcl::TStrings* page, ShortText* current, ShortText* open, ShortText* high,
                     ShortText* low);
int32_t SourceAPastData(vcl::TList* records, ShortText code, int32_t maxCount, int32_t yearsOffset);
int32_t SourceAUpdPastData(vcl::TList* records, ShortText code, int32_t maxCount,
                           int32_t yearsOffset, int32_t newestStored);

// SourceB (source 1).
int32_t SourceBDetailPage(ShortText code, vcl::TStrings* page);
bool SourceBCodeInfo(vcl::TStrings* page, ShortText* name, ShortText* market, int32_t* sector,
                     uint8_t* loan);
bool SourceBDateTime(vcl::TStrings* page, ShortText* text);
bool SourceBCodeUnit(vcl::TStrings* page, int32_t* unit);
bool SourceBLastData(vcl::TStrings* page, ShortText* current, ShortText* open, ShortText* high,
                     ShortText* low);
int32_t SourceBPastData(vcl::TList* records, ShortText code, int32_t maxCount, int32_t yearsOffset);
int32_t SourceBUpdPastData(vcl::TList* records, ShortText code, int32_t maxCount,
                           int32_t yearsOffset, int32_t newestStored);

}  // namespace ticvane
