#include "qt_cp932.h"

#include <iconv.h>

#include <cerrno>
#include <vector>

namespace {

// One conversion through glibc's CP932 table (never strict Shift_JIS, which
// lacks characters such as "～" 81 60). Input that cannot be converted is
// replaced by `replacement` (given in the target encoding) and skipped by
// `skip` bytes, so a bad byte never ends the conversion early.
std::string Convert(const char* to, const char* from, std::string_view in,
                    std::string_view replacement, size_t skip) {
  iconv_t cd = iconv_open(to, from);
  if (cd == reinterpret_cast<iconv_t>(-1)) return std::string();
  std::string out;
  std::vector<char> buffer(4 * in.size() + 16);
  char* inPtr = const_cast<char*>(in.data());
  size_t inLeft = in.size();
  while (inLeft > 0) {
    char* outPtr = buffer.data();
    size_t outLeft = buffer.size();
    const size_t rc = iconv(cd, &inPtr, &inLeft, &outPtr, &outLeft);
    out.append(buffer.data(), buffer.size() - outLeft);
    if (rc != static_cast<size_t>(-1)) break;
    if (errno == E2BIG) continue;
    // EILSEQ or EINVAL (a lead byte cut off at the end): replace and go on.
    out.append(replacement);
    const size_t step = skip < inLeft ? skip : inLeft;
    inPtr += step;
    inLeft -= step;
  }
  iconv_close(cd);
  return out;
}

}  // namespace

QString QFromCp932(std::string_view bytes) {
  const std::string utf8 = Convert("UTF-8", "CP932", bytes, "\xEF\xBF\xBD", 1);
  return QString::fromUtf8(utf8.data(), static_cast<qsizetype>(utf8.size()));
}

std::string Cp932FromQ(const QString& text) {
  // Wide characters (one code point each on this platform) let a character
  // that cannot be held be stepped over whole.
  const std::wstring wide = text.toStdWString();
  std::string_view in(reinterpret_cast<const char*>(wide.data()), wide.size() * sizeof(wchar_t));
  return Convert("CP932", "WCHAR_T", in, "?", sizeof(wchar_t));
}
