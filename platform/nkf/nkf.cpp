#include "nkf/nkf.h"

#include <unicode/ucnv.h>

#include <algorithm>
#include <cstring>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

#include "vcl/cp932_text.h"

namespace nkf {
namespace {

struct ConverterCloser {
  void operator()(UConverter* converter) const { ucnv_close(converter); }
};
using Converter = std::unique_ptr<UConverter, ConverterCloser>;

// Converters are opened per call: ICU shares the tables between them, and a
// converter of our own per call keeps the function free of shared state.
Converter OpenConverter(const char* name) {
  UErrorCode status = U_ZERO_ERROR;
  Converter converter(ucnv_open(name, &status));
  if (U_FAILURE(status)) return nullptr;
  return converter;
}

bool IsSevenBit(std::string_view bytes) {
  return std::all_of(bytes.begin(), bytes.end(),
                     [](char byte) { return static_cast<unsigned char>(byte) < 0x80; });
}

bool HasIso2022Escape(std::string_view bytes) {
  return bytes.find("\x1b$") != std::string_view::npos ||
         bytes.find("\x1b(") != std::string_view::npos;
}

// Decodes `bytes` as `encoding`, refusing the first byte sequence that is not
// valid in it; nothing is replaced or guessed.
std::optional<std::u16string> DecodeStrictly(const char* encoding, std::string_view bytes) {
  Converter decoder = OpenConverter(encoding);
  if (!decoder) return std::nullopt;
  UErrorCode status = U_ZERO_ERROR;
  ucnv_setToUCallBack(decoder.get(), UCNV_TO_U_CALLBACK_STOP, nullptr, nullptr, nullptr, &status);
  if (U_FAILURE(status)) return std::nullopt;

  // No encoding tried here yields more UTF-16 units than it has bytes.
  std::u16string text(bytes.size() + 1, u'\0');
  const int32_t length =
      ucnv_toUChars(decoder.get(), text.data(), static_cast<int32_t>(text.size()), bytes.data(),
                    static_cast<int32_t>(bytes.size()), &status);
  if (U_FAILURE(status)) return std::nullopt;
  text.resize(static_cast<size_t>(length));
  return text;
}

// ICU's EUC-JP decoder passes the bytes 0x80 to 0x9F through as C1 controls,
// yet no EUC-JP text holds them, while they are the lead bytes of most
// Shift-JIS kanji: such a text is not EUC-JP.
bool HasC1Control(const std::u16string& text) {
  return std::any_of(text.begin(), text.end(),
                     [](char16_t unit) { return unit >= 0x80 && unit <= 0x9F; });
}

std::string_view WithoutByteOrderMark(std::string_view utf8) {
  if (utf8.starts_with("\xEF\xBB\xBF")) utf8.remove_prefix(3);
  return utf8;
}

std::optional<std::u16string> DecodeAsDetected(std::string_view input) {
  if (IsSevenBit(input) && HasIso2022Escape(input)) {
    // ISO-2022-JP-1 also reads the JIS X 0212 escape that some senders use.
    if (auto text = DecodeStrictly("ISO-2022-JP-1", input)) return text;
  }

  if (auto text = DecodeStrictly("UTF-8", WithoutByteOrderMark(input))) return text;

  if (auto text = DecodeStrictly("EUC-JP", input); text && !HasC1Control(*text)) return text;
  return std::nullopt;
}

// A text that is already code page 932, or that cannot be converted, is
// passed on as it came rather than lost.
std::string ToCodePage932(std::string_view input) {
  if (IsSevenBit(input) && !HasIso2022Escape(input)) return std::string(input);
  if (auto text = DecodeAsDetected(input)) return vcl::Utf16ToCp932(*text);
  return std::string(input);
}

}  // namespace

void SetOption(const char* /*option*/) {}

std::optional<std::string> Utf8ToCodePage932(std::string_view utf8) {
  std::optional<std::u16string> text = DecodeStrictly("UTF-8", WithoutByteOrderMark(utf8));
  if (!text) return std::nullopt;
  return vcl::Utf16ToCp932(*text);
}

void Convert(char* out, size_t outSize, const char* in) {
  if (out == nullptr || outSize == 0) return;
  if (in == nullptr) {
    out[0] = '\0';
    return;
  }
  const std::string converted = ToCodePage932(std::string_view(in, std::strlen(in)));
  const size_t length = vcl::WholeCharactersWithin(converted, outSize - 1);
  std::memcpy(out, converted.data(), length);
  out[length] = '\0';
}

}  // namespace nkf
