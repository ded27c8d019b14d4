#include "vcl/path_text.h"

#include <iconv.h>

#include <cerrno>

namespace vcl {

std::string PathToCp932Text(const std::filesystem::path& file) {
  const std::string& native = file.native();
  iconv_t converter = ::iconv_open("CP932", "UTF-8");
  if (converter == reinterpret_cast<iconv_t>(-1)) {
    std::string ascii;
    for (unsigned char c : native) ascii += c < 0x80 ? static_cast<char>(c) : '?';
    return ascii;
  }
  std::string out;
  char* in = const_cast<char*>(native.data());
  size_t inLeft = native.size();
  char buffer[256];
  while (inLeft > 0) {
    char* outPtr = buffer;
    size_t outLeft = sizeof buffer;
    const size_t result = ::iconv(converter, &in, &inLeft, &outPtr, &outLeft);
    out.append(buffer, static_cast<size_t>(outPtr - buffer));
    if (result == static_cast<size_t>(-1) && errno != E2BIG) {
      // A character code page 932 lacks, or bytes that are not UTF-8: skip
      // one character (a lead byte and its continuation bytes).
      out += '?';
      ++in;
      --inLeft;
      while (inLeft > 0 && (static_cast<unsigned char>(*in) & 0xC0) == 0x80) {
        ++in;
        --inLeft;
      }
    }
  }
  ::iconv_close(converter);
  return out;
}

}  // namespace vcl
