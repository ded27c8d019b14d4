#include "gui_fake_ticvane.h"

#include <cstring>

namespace {

GuiFakeTicvane* current = nullptr;

// "Yahoo!ファイナンス(&Y)", "Infoseek マネー(&I)", then the empty end mark.
const char* const kTwoSources[] = {
    "Yahoo!\x83\x74\x83\x40\x83\x43\x83\x69\x83\x93\x83\x58(&Y)",
    "Infoseek \x83\x7D\x83\x6C\x81\x5B(&I)",
    "",
};
const char* const kNoSources[] = {""};

const char* const* Init(uint8_t pump, int32_t dateFormat, int32_t timeout) {
  ++current->initCalls;
  current->initPump = pump;
  current->initDateFormat = dateFormat;
  current->initTimeout = timeout;
  return current->noSources ? kNoSources : kTwoSources;
}

void End() { ++current->endCalls; }

int32_t GetCodeData(ShortText, vcl::TStrings*, int32_t) { return kTicvaneFailed; }

bool GetCodeInfo(vcl::TStrings*, ShortText*, ShortText*, int32_t*, uint8_t*) { return false; }

bool GetCodeUnit(vcl::TStrings*, int32_t*) { return false; }

int32_t GetPastData(vcl::TList* records, ShortText code, int32_t maxCount, int32_t yearsOffset,
                    int32_t source) {
  GuiFakeTicvane& fake = *current;
  ++fake.historyCalls;
  fake.historyCode.assign(code.bytes, code.length);
  fake.historyMaxCount = maxCount;
  fake.historyYearsOffset = yearsOffset;
  fake.historySource = source;
  if (fake.duringHistory) fake.duringHistory();
  if (fake.historyFails || fake.historyCode != "1306") return kTicvaneFailed;
  records->Add(new PastDataRecord(fake.newestDay));
  ++fake.liveRecords;
  return kTicvaneOk;
}

int32_t UpdPastData(vcl::TList*, ShortText, int32_t, int32_t, int32_t, int32_t) {
  return kTicvaneFailed;
}

void ClearPastData(vcl::TList* records) {
  for (int i = 0; i < records->Count(); ++i) {
    auto* record = static_cast<PastDataRecord*>(records->Get(i));
    if (record == nullptr) continue;
    delete record;
    --current->liveRecords;
    records->Put(i, nullptr);
  }
}

ShortText CnvStrWtoH(ShortText text) { return text; }

const TicvaneApi kFakeApi{&Init,        &End,         &GetCodeData,   &GetCodeInfo, &GetCodeUnit,
                          &GetPastData, &UpdPastData, &ClearPastData, &CnvStrWtoH};

}  // namespace

GuiFakeTicvane::GuiFakeTicvane() { current = this; }

GuiFakeTicvane::~GuiFakeTicvane() { current = nullptr; }

const TicvaneApi& GuiFakeTicvane::Api() const { return kFakeApi; }
