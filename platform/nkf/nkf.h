#pragma once
// A Japanese text-encoding converter: detects the encoding of its input and
// converts it to code page 932 (Windows-31J).

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

namespace nkf {

// Sets the conversion options; "s" asks for code page 932 output, the only
// output this converter makes. Other options are ignored.
void SetOption(const char* option);

// Converts the zero-ended text `in` into `out`, a buffer of `outSize` bytes,
// and ends the result with a zero byte. The result is never longer than
// outSize - 1 bytes: what does not fit is cut before the first character that
// does not fit whole. Nothing is written when outSize is 0. The input is
// detected by strict decoding tried in order: pure ASCII, ISO-2022-JP escapes
// (JIS X 0212 included), UTF-8 (a leading byte-order mark dropped), EUC-JP;
// anything else is taken as code page 932 already and copied unchanged.
// Characters the code page cannot hold become "?". Thread-safe.
void Convert(char* out, size_t outSize, const char* in);

// Decodes `utf8` strictly (a leading byte-order mark dropped) and encodes it
// in code page 932, characters it cannot hold becoming "?". nullopt when the
// text holds a malformed or cut sequence anywhere. Thread-safe.
std::optional<std::string> Utf8ToCodePage932(std::string_view utf8);

}  // namespace nkf
