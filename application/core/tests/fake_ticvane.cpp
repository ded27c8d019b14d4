#include "fake_ticvane.h"

#include <cstring>
#include <stdexcept>

#include "data/short_text.h"

namespace {

FakeTicvane* current = nullptr;
PastDataRecord poison{6666, 6, 6, 6666, 6666, 6666, 6666, 6666};
// "Yahoo!ファイナンス(&Y)", "Infoseek マネー(&I)", then the empty end mark.
const char* const kTwoSources[] = {
    "Yahoo!\x83\x74\x83\x40\x83\x43\x83\x69\x83\x93\x83\x58(&Y)",
    "Infoseek \x83\x7D\x83\x6C\x81\x5B(&I)",
    "",
};
const char* const kNoSources[] = {""};

ShortText Write(std::string_view text) { return ToShortText(text); }

}  // namespace

struct FakeTicvaneCalls {
  static const char* const* Init(uint8_t pump, int32_t dateFormat, int32_t timeout) {
    current->initCalls.push_back({pump, dateFormat, timeout});
    return current->noSources ? kNoSources : kTwoSources;
  }

  static void End() { ++current->endCalls; }

  static int32_t GetCodeData(ShortText code, vcl::TStrings* page, int32_t source) {
    current->codeDataCalls.push_back({FromShortText(code), source});
    current->lastPage_ = page;
    if (current->duringCodeData) current->duringCodeData();
    if (current->codeDataResult == kTicvaneOk) page->SetText("<html>\r\n</html>\r\n");
    return current->codeDataResult;
  }

  static bool GetCodeInfo(vcl::TStrings* page, ShortText* name, ShortText* market, int32_t* sector,
                          uint8_t* loan) {
    ++current->codeInfoCalls;
    if (page != current->lastPage_) ++current->pagesNotFromCodeData;
    if (!current->codeInfoResult) return false;
    *name = Write(current->name);
    *market = Write(current->market);
    *sector = current->sector;
    *loan = current->loan;  // exactly one byte
    return true;
  }

  static bool GetCodeUnit(vcl::TStrings* page, int32_t* unit) {
    ++current->codeUnitCalls;
    if (page != current->lastPage_) ++current->pagesNotFromCodeData;
    if (!current->codeUnitResult) return false;
    *unit = current->unit;
    return true;
  }

  static int32_t GetPastData(vcl::TList* list, ShortText code, int32_t maxCount,
                             int32_t yearsOffset, int32_t source) {
    current->pastDataCalls.push_back({FromShortText(code), maxCount, yearsOffset, 0, source});
    if (current->duringHistory) current->duringHistory();
    return current->AnswerHistory(list);
  }

  static int32_t UpdPastData(vcl::TList* list, ShortText code, int32_t maxCount,
                             int32_t yearsOffset, int32_t newestStored, int32_t source) {
    current->updPastDataCalls.push_back(
        {FromShortText(code), maxCount, yearsOffset, newestStored, source});
    return current->AnswerHistory(list);
  }

  static void ClearPastData(vcl::TList* list) {
    ++current->clearPastDataCalls;
    for (int i = 0; i < list->Count(); ++i) {
      auto* record = static_cast<PastDataRecord*>(list->Get(i));
      if (record == nullptr) continue;
      if (current->live_.erase(record) == 1) {
        delete record;
      } else {
        ++current->foreignItemsCleared;
      }
      list->Put(i, nullptr);
    }
  }

  static ShortText CnvStrWtoH(ShortText text) {
    current->convertedTexts.push_back(FromShortText(text));
    return Write(current->halfWidthName);
  }
};

int32_t FakeTicvane::AnswerHistory(vcl::TList* list) {
  if (historyResult != kTicvaneOk) {
    for (size_t i = 0; i < records.size(); ++i) list->Add(&poison);
    return historyResult;
  }
  for (const PastDataRecord& record : records) {
    auto* copy = new PastDataRecord(record);
    live_.insert(copy);
    list->Add(copy);
  }
  return kTicvaneOk;
}

FakeTicvane::FakeTicvane() {
  if (current != nullptr) throw std::logic_error("one FakeTicvane at a time");
  current = this;
}

FakeTicvane::~FakeTicvane() {
  for (const PastDataRecord* record : live_) delete record;
  current = nullptr;
}

const TicvaneApi& FakeTicvane::Api() const {
  static const TicvaneApi api{
      &FakeTicvaneCalls::Init,        &FakeTicvaneCalls::End,
      &FakeTicvaneCalls::GetCodeData, &FakeTicvaneCalls::GetCodeInfo,
      &FakeTicvaneCalls::GetCodeUnit, &FakeTicvaneCalls::GetPastData,
      &FakeTicvaneCalls::UpdPastData, &FakeTicvaneCalls::ClearPastData,
      &FakeTicvaneCalls::CnvStrWtoH,
  };
  return api;
}
