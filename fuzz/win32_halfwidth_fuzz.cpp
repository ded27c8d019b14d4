// The platform's full-width to half-width mapping: any bytes cut into one- and
// two-byte sources, mapped into destinations of 0 to 2 bytes.

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <memory>

#include "fuzz_check.h"
#include "win32/halfwidth.h"

namespace {

bool IsHalfwidthForm(unsigned char byte) {
  return (byte >= 0x20 && byte <= 0x7E) || (byte >= 0xA1 && byte <= 0xA5);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  size_t at = 0;
  while (at < size) {
    // Each step: one control byte (source length, destination length), then
    // the source bytes.
    const uint8_t control = data[at++];
    const int srcLength = 1 + (control & 1);
    const int destLength = (control >> 1) % 3;
    if (at + static_cast<size_t>(srcLength) > size) break;
    const auto src = std::make_unique<char[]>(static_cast<size_t>(srcLength));
    std::memcpy(src.get(), data + at, static_cast<size_t>(srcLength));
    at += static_cast<size_t>(srcLength);
    // Exactly destLength bytes, so that a write past them is caught.
    const auto dest = std::make_unique<char[]>(static_cast<size_t>(destLength));
    std::memset(dest.get(), 'Z', static_cast<size_t>(destLength));

    const int written = win32::MapToHalfwidth(src.get(), srcLength, dest.get(), destLength);
    FUZZ_CHECK(written == 0 || written == 1);
    FUZZ_CHECK(written <= destLength);
    for (int i = written; i < destLength; ++i) FUZZ_CHECK(dest[static_cast<size_t>(i)] == 'Z');
    if (written == 0) continue;
    if (srcLength == 1) {
      FUZZ_CHECK(!fuzz::IsLeadByte(src[0]) && dest[0] == src[0]);
    } else {
      // A half-width form is one whole character: never a lead byte.
      FUZZ_CHECK(fuzz::IsLeadByte(src[0]));
      FUZZ_CHECK(IsHalfwidthForm(static_cast<unsigned char>(dest[0])));
    }
  }
  return 0;
}
