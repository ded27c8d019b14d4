// The texts of the pair page's input fields and of the code-data page's unit
// and volume edits, as a user may leave them: any bytes.

#include <cstddef>
#include <cstdint>
#include <string>

#include "fuzz_check.h"
#include "pair/pair_inputs.h"
#include "vcl/convert.h"
#include "window/code_page_settings.h"

namespace {

// The decimal text of a whole number, as IntToStr writes it.
bool IsDecimal(const std::string& text) {
  const int32_t value = vcl::StrToIntDef(text, 0);
  return vcl::IntToStr(value) == text;
}

void CheckCode(std::string_view text) {
  const std::string code = NormalizeCodeText(text);
  FUZZ_CHECK(code.size() == 4);
  FUZZ_CHECK(vcl::StrToIntDef(code, -1) >= 0);
  FUZZ_CHECK(code == "0000" || code == vcl::Trim(text));
  FUZZ_CHECK(NormalizeCodeText(code) == code);
}

// The lot fields fall back to -1 (empty), the adjustment to 0.
void CheckNumber(std::string_view text, int32_t fallback) {
  const std::string number = NormalizeNumberText(text, fallback);
  FUZZ_CHECK(number.empty() || (IsDecimal(number) && number != "-1"));
  const std::string again = NormalizeNumberText(number, fallback);
  FUZZ_CHECK(again == number || (number.empty() && again == NormalizeNumberText("", fallback)));
  FUZZ_CHECK(NormalizeNumberText(again, fallback) == again);
}

void CheckPeriod(std::string_view text, int32_t fallback) {
  const std::string period = NormalizePeriodText(text, fallback);
  FUZZ_CHECK(text.empty() == period.empty());
  if (!period.empty()) {
    const int32_t days = vcl::StrToIntDef(period, 0);
    FUZZ_CHECK(IsDecimal(period) && days >= 1 && days <= kPeriodMostDays);
  }
  FUZZ_CHECK(NormalizePeriodText(period, fallback) == period);
}

void CheckUnitAndVolume(std::string_view text) {
  const int32_t unit = StoredUnit(text);
  FUZZ_CHECK(unit >= 1);
  FUZZ_CHECK(StoredUnit(vcl::IntToStr(unit)) == unit);
  const int32_t volume = StoredVolume(text);
  FUZZ_CHECK(StoredVolume(vcl::IntToStr(volume)) == volume);
  if (vcl::StrToIntDef(text, -1) != vcl::StrToIntDef(text, 0)) FUZZ_CHECK(volume == -1);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string_view text = fuzz::BytesOf(data, size);
  CheckCode(text);
  for (int32_t fallback : {-1, 0}) CheckNumber(text, fallback);
  for (int32_t fallback : {1, kPeriodMostDays}) CheckPeriod(text, fallback);
  CheckUnitAndVolume(text);
  return 0;
}
