// Detail pages of the web site SourceA: any bytes as the page the site
// answers, then its four readers.

#include <cstddef>
#include <cstdint>

#include "fuzz_check.h"
#include "library_pages.h"
#include "ticvane.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  fuzz::CheckDetailPage(kTicvaneSourceA, fuzz::BytesOf(data, size));
  return 0;
}
