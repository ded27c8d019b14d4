#include "pair/pair_inputs.h"

#include "vcl/convert.h"

std::string NormalizeCodeText(std::string_view text) {
  std::string code = vcl::Trim(text);
  if (code.size() != 4 || vcl::StrToIntDef(code, -1) < 0) return "0000";
  return code;
}

std::string NormalizeNumberText(std::string_view text, int32_t fallback) {
  const int32_t value = vcl::StrToIntDef(vcl::Trim(text), fallback);
  return value == -1 ? std::string() : vcl::IntToStr(value);
}

std::string NormalizePeriodText(std::string_view text, int32_t fallback) {
  if (text.empty()) return {};
  int32_t value = vcl::StrToIntDef(text, fallback);
  if (value < 1 || value > kPeriodMostDays) value = fallback;
  return vcl::IntToStr(value);
}
