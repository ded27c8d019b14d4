// Code page 932 text: byte rules, lines and the conversion through ICU's
// "windows-31j" table (never strict Shift_JIS, which lacks "～" 81 60).

#include "vcl/cp932_text.h"

#include <unicode/ucnv.h>
#include <unicode/ucnv_cb.h>

#include <memory>
#include <stdexcept>

namespace vcl {
namespace {

char FoldAscii(char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; }

struct ConverterCloser {
  void operator()(UConverter* converter) const { ucnv_close(converter); }
};
using Converter = std::unique_ptr<UConverter, ConverterCloser>;

// Every character the table cannot give becomes the substitute "?", the
// default-ignorable ones (which ICU would drop without a trace) included.
void SubstituteEveryUnmappable(const void*, UConverterFromUnicodeArgs* args, const UChar*, int32_t,
                               UChar32, UConverterCallbackReason reason, UErrorCode* status) {
  if (reason > UCNV_IRREGULAR) return;
  *status = U_ZERO_ERROR;
  ucnv_cbFromUWriteSub(args, 0, status);
}

// Every byte sequence the table does not assign becomes U+FFFD (ICU would
// give U+001A for some single bytes).
void ReplaceEveryUndecodable(const void*, UConverterToUnicodeArgs* args, const char*, int32_t,
                             UConverterCallbackReason reason, UErrorCode* status) {
  if (reason > UCNV_IRREGULAR) return;
  static constexpr UChar kReplacement = 0xFFFD;
  *status = U_ZERO_ERROR;
  ucnv_cbToUWriteUChars(args, &kReplacement, 1, 0, status);
}

Converter OpenCp932() {
  UErrorCode status = U_ZERO_ERROR;
  Converter converter(ucnv_open("windows-31j", &status));
  if (U_FAILURE(status)) throw std::runtime_error("ICU has no windows-31j converter");
  // Best-fit forms, so that the JIS forms of characters the code page keeps in
  // their Microsoft forms (the wave dash, for one) survive.
  ucnv_setFallback(converter.get(), true);
  ucnv_setSubstChars(converter.get(), "?", 1, &status);
  ucnv_setFromUCallBack(converter.get(), SubstituteEveryUnmappable, nullptr, nullptr, nullptr,
                        &status);
  ucnv_setToUCallBack(converter.get(), ReplaceEveryUndecodable, nullptr, nullptr, nullptr, &status);
  if (U_FAILURE(status)) throw std::runtime_error("cannot set up the windows-31j converter");
  return converter;
}

// One converter per thread, opened on first use: ICU shares the table, and a
// converter holds state that must not be shared between threads.
UConverter* ThreadCp932() {
  thread_local Converter converter = OpenCp932();
  ucnv_reset(converter.get());
  return converter.get();
}

// ICU's table follows the IBM code page in three control characters (1A, 1C
// and 7F trade places); Windows keeps every control character as it is.
char16_t ToIcuControl(char16_t unit) {
  switch (unit) {
    case 0x1A:
      return 0x1C;
    case 0x1C:
      return 0x7F;
    case 0x7F:
      return 0x1A;
    default:
      return unit;
  }
}
char16_t FromIcuControl(char16_t unit) {
  switch (unit) {
    case 0x1C:
      return 0x1A;
    case 0x7F:
      return 0x1C;
    case 0x1A:
      return 0x7F;
    default:
      return unit;
  }
}

// The cent, pound and not signs exist in the code page in their full-width
// forms only; Windows maps them there.
char16_t ToCodePageForm(char16_t unit) {
  switch (unit) {
    case u'\u00A2':
      return u'\uFFE0';
    case u'\u00A3':
      return u'\uFFE1';
    case u'\u00AC':
      return u'\uFFE2';
    default:
      return ToIcuControl(unit);
  }
}

}  // namespace

std::string FoldAsciiCase(std::string_view text) {
  std::string folded(text);
  for (size_t i = 0; i < folded.size(); ++i) {
    if (IsLeadByte(folded[i])) {
      ++i;
    } else {
      folded[i] = FoldAscii(folded[i]);
    }
  }
  return folded;
}

bool SameTextIgnoringAsciiCase(std::string_view a, std::string_view b) {
  // Equal bytes keep both texts on the same character boundaries, and a
  // folded letter is never a lead byte, so one walk serves both.
  if (a.size() != b.size()) return false;
  for (size_t i = 0; i < a.size(); ++i) {
    if (IsLeadByte(a[i])) {
      if (a[i] != b[i] || (i + 1 < a.size() && a[i + 1] != b[i + 1])) return false;
      ++i;
    } else if (FoldAscii(a[i]) != FoldAscii(b[i])) {
      return false;
    }
  }
  return true;
}

bool EndsInLoneLeadByte(std::string_view text) {
  size_t i = 0;
  while (i < text.size()) {
    if (IsLeadByte(text[i]) && i + 1 == text.size()) return true;
    i += IsLeadByte(text[i]) ? 2 : 1;
  }
  return false;
}

size_t WholeCharactersWithin(std::string_view text, size_t limit) {
  if (text.size() <= limit) return text.size();
  size_t end = 0;
  while (end < limit) {
    const size_t width = IsLeadByte(text[end]) ? 2 : 1;
    if (end + width > limit) break;
    end += width;
  }
  return end;
}

std::vector<std::string> SplitLines(std::string_view text) {
  std::vector<std::string> lines;
  size_t start = 0;
  while (start < text.size()) {
    const size_t end = text.find_first_of("\r\n", start);
    if (end == std::string_view::npos) {
      lines.emplace_back(text.substr(start));
      break;
    }
    lines.emplace_back(text.substr(start, end - start));
    start = end + 1;
    if (text[end] == '\r' && start < text.size() && text[start] == '\n') ++start;
  }
  return lines;
}

std::string JoinLinesCrlf(const std::vector<std::string>& lines) {
  size_t size = 0;
  for (const std::string& line : lines) size += line.size() + 2;
  std::string text;
  text.reserve(size);
  for (const std::string& line : lines) {
    text += line;
    text += "\r\n";
  }
  return text;
}

std::u16string Cp932ToUtf16(std::string_view bytes) {
  if (bytes.empty()) return {};
  // Every byte or pair gives one UTF-16 unit at most.
  std::u16string text(bytes.size(), u'\0');
  UErrorCode status = U_ZERO_ERROR;
  const int32_t length = ucnv_toUChars(ThreadCp932(), reinterpret_cast<UChar*>(text.data()),
                                       static_cast<int32_t>(text.size()), bytes.data(),
                                       static_cast<int32_t>(bytes.size()), &status);
  if (U_FAILURE(status)) {
    throw std::runtime_error("windows-31j decoding failed");
  }
  text.resize(static_cast<size_t>(length));
  for (char16_t& unit : text) unit = FromIcuControl(unit);
  return text;
}

std::string Utf16ToCp932(std::u16string_view text) {
  if (text.empty()) return {};
  std::u16string input(text);
  for (char16_t& unit : input) unit = ToCodePageForm(unit);
  // Two bytes at most for every UTF-16 unit.
  std::string bytes(input.size() * 2, '\0');
  UErrorCode status = U_ZERO_ERROR;
  const int32_t length = ucnv_fromUChars(
      ThreadCp932(), bytes.data(), static_cast<int32_t>(bytes.size()),
      reinterpret_cast<const UChar*>(input.data()), static_cast<int32_t>(input.size()), &status);
  if (U_FAILURE(status)) {
    throw std::runtime_error("windows-31j encoding failed");
  }
  bytes.resize(static_cast<size_t>(length));
  return bytes;
}

}  // namespace vcl
