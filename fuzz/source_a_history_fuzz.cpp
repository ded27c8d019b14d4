// History pages of the web site SourceA: a history input (history_input.h)
// as the pages the site answers to one download or update.

#include <cstddef>
#include <cstdint>

#include "fuzz_check.h"
#include "library_pages.h"
#include "ticvane.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  fuzz::CheckHistory(kTicvaneSourceA, fuzz::BytesOf(data, size));
  return 0;
}
