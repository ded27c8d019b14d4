#include "screening/screening_step_adapters.h"

std::optional<TCodeData> DirectScreeningCodeTable::Find(const std::string& code) {
  const TCodeData* data = table_.Find(code);
  if (data == nullptr) return std::nullopt;
  return *data;
}

void DirectScreeningCodeTable::Store(const std::string& code, const TCodeData& data) {
  table_.StoreCodeData(code, data);
}

void DirectScreeningCodeTable::SetVolume(const std::string& code, int32_t volume) {
  table_.SetCodeFields(code, {.Vol = volume});
}

void DirectScreeningCodeTable::Delete(const std::string& code) { table_.DeleteCodeData(code); }

std::vector<std::string> DirectScreeningCodeTable::MarkedCodes() {
  std::vector<std::string> codes;
  for (int i = 0; i < table_.Count(); ++i) {
    if (table_.DataAt(i).Ng != 0) codes.push_back(table_.CodeAt(i));
  }
  return codes;
}

bool TicvanePriceSource::FetchCodeInfo(const std::string& code, TCodeData& info) {
  return ::FetchCodeInfo(api_, source_, code, info.Name, info.Market, info.Type, info.Unit,
                         info.Loan);
}

bool TicvanePriceSource::DownloadPriceFile(const std::string& code, int32_t& averageVolume,
                                           std::string& saveError) {
  return ::DownloadPriceFile(api_, source_, dataDir_, code, averageVolume, &saveError);
}

UpdateResult TicvanePriceSource::UpdatePriceFile(const std::string& code, std::string& saveError) {
  return ::UpdatePriceFile(api_, source_, dataDir_, code, &saveError);
}
