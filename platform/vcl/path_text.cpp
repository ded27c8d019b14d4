#include "vcl/path_text.h"

#include <unicode/ustring.h>

#include "vcl/cp932_text.h"

namespace vcl {

std::string PathToCp932Text(const std::filesystem::path& file) {
  const std::string& native = file.native();
  if (native.empty()) return {};
  // Bytes that are not UTF-8 become U+FFFD, which the code page shows as "?".
  // A UTF-8 sequence never gives more UTF-16 units than it has bytes.
  std::u16string text(native.size(), u'\0');
  int32_t length = 0;
  UErrorCode status = U_ZERO_ERROR;
  u_strFromUTF8WithSub(text.data(), static_cast<int32_t>(text.size()), &length, native.data(),
                       static_cast<int32_t>(native.size()), 0xFFFD, nullptr, &status);
  if (U_FAILURE(status)) {
    std::string ascii;
    for (unsigned char c : native) ascii += c < 0x80 ? static_cast<char>(c) : '?';
    return ascii;
  }
  text.resize(static_cast<size_t>(length));
  return Utf16ToCp932(text);
}

}  // namespace vcl
