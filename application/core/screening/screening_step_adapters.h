#pragma once
// Plain implementations of the steps' access objects over the program's own
// objects. They do no hand-over themselves: the worker wraps them so that
// each call runs where the object lives; tests use them as they are.

#include <cstdint>
#include <filesystem>

#include "data/code_table.h"
#include "data/excluded_codes.h"
#include "data/ticvane_api.h"
#include "screening/screening_step_access.h"

class DirectScreeningCodeTable : public ScreeningCodeTable {
 public:
  explicit DirectScreeningCodeTable(CodeTable& table) : table_(table) {}
  std::optional<TCodeData> Find(const std::string& code) override;
  void Store(const std::string& code, const TCodeData& data) override;
  void SetVolume(const std::string& code, int32_t volume) override;
  void Delete(const std::string& code) override;
  std::vector<std::string> MarkedCodes() override;

 private:
  CodeTable& table_;
};

class DirectScreeningExcludedCodes : public ScreeningExcludedCodes {
 public:
  explicit DirectScreeningExcludedCodes(ExcludedCodeList& list) : list_(list) {}
  std::vector<std::string> Codes() override { return list_.Codes(); }
  void Add(const std::string& code) override { list_.Add(code); }
  void Clear() override { list_.Clear(); }

 private:
  ExcludedCodeList& list_;
};

// The quote library through the price-file routines, for one source and one
// data directory. Call it only where the library may be entered.
class TicvanePriceSource : public ScreeningPriceSource {
 public:
  TicvanePriceSource(const TicvaneApi& api, int32_t source, std::filesystem::path dataDir)
      : api_(api), source_(source), dataDir_(std::move(dataDir)) {}
  bool FetchCodeInfo(const std::string& code, TCodeData& info) override;
  bool DownloadPriceFile(const std::string& code, int32_t& averageVolume,
                         std::string& saveError) override;
  UpdateResult UpdatePriceFile(const std::string& code, std::string& saveError) override;

 private:
  const TicvaneApi& api_;
  int32_t source_;
  std::filesystem::path dataDir_;
};
