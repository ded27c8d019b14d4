// The quote library's half-width conversion of a counted text.

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstring>

#include "fuzz_check.h"
#include "library_state.h"
#include "ticvane.h"
#include "win32/halfwidth.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  ShortText text{};
  text.length = static_cast<uint8_t>(std::min<size_t>(size, sizeof text.bytes));
  std::memcpy(text.bytes, data, text.length);

  const ShortText result = TicvaneCnvStrWtoH(text);
  FUZZ_CHECK(std::memcmp(&ticvane::State().conversionResult, &result, sizeof result) == 0);
  FUZZ_CHECK(result.length <= text.length);

  // Walk both texts character by character: a two-byte character is either
  // kept or becomes the platform's one-byte form of it, exactly when the
  // platform has one; every other byte is kept.
  size_t in = 0;
  size_t out = 0;
  while (in < text.length) {
    const char* character = text.bytes + in;
    if (fuzz::IsLeadByte(character[0]) && in + 1 < text.length) {
      char halfwidth = 0;
      if (win32::MapToHalfwidth(character, 2, &halfwidth, 1) == 1) {
        FUZZ_CHECK(out < result.length && result.bytes[out] == halfwidth);
        out += 1;
      } else {
        FUZZ_CHECK(out + 2 <= result.length && std::memcmp(result.bytes + out, character, 2) == 0);
        out += 2;
      }
      in += 2;
    } else {
      FUZZ_CHECK(out < result.length && result.bytes[out] == character[0]);
      out += 1;
      in += 1;
    }
  }
  FUZZ_CHECK(out == result.length);

  // What is half-width already stays as it is.
  const ShortText again = TicvaneCnvStrWtoH(result);
  FUZZ_CHECK(std::memcmp(&again, &result, sizeof result) == 0);
  return 0;
}
