#include "data/code_table.h"

#include <algorithm>

namespace {

std::string WithoutControlBytes(std::string text) {
  // Code page 932 trail bytes are 0x40 or more, so a byte below 0x20 is
  // always a character of its own.
  for (char& c : text) {
    if (static_cast<unsigned char>(c) < 0x20) c = ' ';
  }
  return text;
}

TCodeData Cleaned(const TCodeData& data) {
  TCodeData cleaned = data;
  cleaned.Name = WithoutControlBytes(data.Name);
  cleaned.Market = WithoutControlBytes(data.Market);
  return cleaned;
}

template <typename T>
const T* ValueOrNull(const std::optional<T>& value) {
  return value ? &*value : nullptr;
}

}  // namespace

std::vector<CodeTable::Entry>::const_iterator CodeTable::LowerBound(std::string_view code) const {
  // std::string compares its bytes as unsigned char: plain byte order.
  return std::lower_bound(
      entries_.begin(), entries_.end(), code,
      [](const Entry& entry, std::string_view key) { return entry.first < key; });
}

int CodeTable::IndexOf(std::string_view code) const {
  const auto it = LowerBound(code);
  if (it == entries_.end() || it->first != code) return -1;
  return static_cast<int>(it - entries_.begin());
}

const TCodeData* CodeTable::Find(std::string_view code) const {
  const int index = IndexOf(code);
  return index < 0 ? nullptr : &entries_[Slot(index)].second;
}

void CodeTable::InsertCodeData(std::string_view code, const TCodeData& data) {
  const auto it = LowerBound(code);
  if (it != entries_.end() && it->first == code) {
    SetCodeFields(code, &data.Name, &data.Market, &data.Type, &data.Unit, &data.Vol, &data.Loan);
    return;
  }
  entries_.insert(it, Entry(std::string(code), Cleaned(data)));
}

void CodeTable::StoreCodeData(std::string_view code, const TCodeData& data) {
  if (SetCodeFields(code, &data.Name, &data.Market, &data.Type, &data.Unit, &data.Vol,
                    &data.Loan) >= 0) {
    return;
  }
  TCodeData added = Cleaned(data);
  added.Ng = 0;
  entries_.insert(LowerBound(code), Entry(std::string(code), std::move(added)));
  Changed = true;
}

int CodeTable::GetCodeFields(std::string_view code, std::string* name, std::string* market,
                             int32_t* type, int32_t* unit, int32_t* vol, uint8_t* loan) const {
  const int index = IndexOf(code);
  if (index < 0) return -1;
  const TCodeData& data = entries_[Slot(index)].second;
  if (name) *name = data.Name;
  if (market) *market = data.Market;
  if (type) *type = data.Type;
  if (unit) *unit = data.Unit;
  if (vol) *vol = data.Vol;
  if (loan) *loan = data.Loan;
  return index;
}

int CodeTable::SetCodeFields(std::string_view code, const std::string* name,
                             const std::string* market, const int32_t* type, const int32_t* unit,
                             const int32_t* vol, const uint8_t* loan) {
  const int index = IndexOf(code);
  if (index < 0) return -1;
  TCodeData& data = entries_[Slot(index)].second;
  if (name) data.Name = WithoutControlBytes(*name);
  if (market) data.Market = WithoutControlBytes(*market);
  if (type) data.Type = *type;
  if (unit) data.Unit = *unit;
  if (vol) data.Vol = *vol;
  if (loan) data.Loan = *loan;
  Changed = true;
  return index;
}

int CodeTable::SetCodeFields(std::string_view code, const CodeFieldValues& values) {
  return SetCodeFields(code, ValueOrNull(values.Name), ValueOrNull(values.Market),
                       ValueOrNull(values.Type), ValueOrNull(values.Unit), ValueOrNull(values.Vol),
                       ValueOrNull(values.Loan));
}

void CodeTable::ToggleMark(int index) {
  TCodeData& data = entries_[Slot(index)].second;
  data.Ng = (data.Ng + 1) % 2;
  Changed = true;
}

bool CodeTable::DeleteCodeData(std::string_view code) {
  const int index = IndexOf(code);
  if (index < 0) return false;
  entries_.erase(entries_.begin() + index);
  Changed = true;
  return true;
}
