#pragma once
// The program's table of the stock codes it has met, kept sorted by code.

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

// One code's record. Texts are code page 932 bytes.
struct TCodeData {
  int32_t Ng = 0;      // exclusion mark: 1 when the user ticked the code, else 0
  std::string Name;    // company name
  std::string Market;  // market name as the quote library reports it
  int32_t Type = 0;    // sector number 0..33 (see TypeName)
  int32_t Unit = 0;    // trading unit in shares
  int32_t Vol = -1;    // average daily volume in shares; negative = not measured yet
  uint8_t Loan = 0;    // 1 when eligible for margin loans, else 0
};

// The fields of a record to set; an empty one stays as it is.
struct CodeFieldValues {
  std::optional<std::string> Name = std::nullopt;
  std::optional<std::string> Market = std::nullopt;
  std::optional<int32_t> Type = std::nullopt;
  std::optional<int32_t> Unit = std::nullopt;
  std::optional<int32_t> Vol = std::nullopt;
  std::optional<uint8_t> Loan = std::nullopt;
};

// The table owns its records. Codes are kept in byte order (four-digit codes
// in numeric order) and stand once each. Every change made through the
// operations below sets `Changed`, except adding a new code with
// InsertCodeData (the loading of the code file) and ClearCodeData. Name and
// Market are stored with their control bytes (below 0x20) made blanks, since a
// TAB or a line end in them would break the code file. Not thread-safe: the
// table belongs to the main thread.
class CodeTable {
 public:
  bool Changed = false;

  int Count() const { return static_cast<int>(entries_.size()); }
  // Precondition: 0 <= index < Count().
  const std::string& CodeAt(int index) const { return entries_[Slot(index)].first; }
  const TCodeData& DataAt(int index) const { return entries_[Slot(index)].second; }

  // The code's index, or -1 when it is absent.
  int IndexOf(std::string_view code) const;
  bool ExistCode(std::string_view code) const { return IndexOf(code) >= 0; }
  // The code's record, or nullptr; valid until the table changes.
  const TCodeData* Find(std::string_view code) const;

  // Adds a copy of all seven fields. When the code is present, its record
  // takes Name, Market, Type, Unit, Vol and Loan and keeps its own mark, and
  // Changed is set.
  void InsertCodeData(std::string_view code, const TCodeData& data);
  // Writes Name, Market, Type, Unit, Vol and Loan into the present record
  // (mark kept) or adds a record with them and Ng 0. Sets Changed.
  void StoreCodeData(std::string_view code, const TCodeData& data);

  // Copies the fields whose pointer is not null. Returns the code's index, or
  // -1 when it is absent (then no output is touched).
  int GetCodeFields(std::string_view code, std::string* name, std::string* market, int32_t* type,
                    int32_t* unit, int32_t* vol, uint8_t* loan) const;
  // Sets the fields whose pointer is not null. Returns the code's index and
  // sets Changed (even when no field is given), or returns -1 when the code
  // is absent and changes nothing.
  int SetCodeFields(std::string_view code, const std::string* name, const std::string* market,
                    const int32_t* type, const int32_t* unit, const int32_t* vol,
                    const uint8_t* loan);
  // The same with the fields named: SetCodeFields(code, {.Unit = 100, .Vol = -1}).
  int SetCodeFields(std::string_view code, const CodeFieldValues& values);

  // Flips the exclusion mark of the entry at `index` (0 <-> 1; any other
  // value becomes 0 or 1 the same way) and sets Changed. Precondition:
  // 0 <= index < Count().
  void ToggleMark(int index);

  // Removes the code; true (and Changed set) when it was present.
  bool DeleteCodeData(std::string_view code);
  // Empties the table; Changed is left as it is.
  void ClearCodeData() { entries_.clear(); }

 private:
  using Entry = std::pair<std::string, TCodeData>;

  static size_t Slot(int index) { return static_cast<size_t>(index); }
  // The first entry whose code is not less than `code`.
  std::vector<Entry>::const_iterator LowerBound(std::string_view code) const;

  std::vector<Entry> entries_;
};
