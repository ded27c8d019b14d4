#include "window/status_count_text.h"

#include "vcl/convert.h"

std::string CountOrDash(int64_t count) { return count > 0 ? vcl::IntToStr(count) : "-"; }
