#pragma once
// Text in code page 932 (Windows-31J), the encoding of every byte the program
// keeps: the byte-level rules that must never split a two-byte character, the
// line form of its files, and the one conversion to and from Unicode. All
// functions are pure and may be called from any thread; the conversions throw
// std::runtime_error only when ICU lacks its code page 932 table.

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

namespace vcl {

// True for the first byte of a two-byte character (81-9F, E0-FC). The byte
// after it belongs to the same character, whatever its value.
constexpr bool IsLeadByte(unsigned char byte) {
  return (byte >= 0x81 && byte <= 0x9F) || (byte >= 0xE0 && byte <= 0xFC);
}
constexpr bool IsLeadByte(char byte) { return IsLeadByte(static_cast<unsigned char>(byte)); }

// The text with ASCII letters A-Z lowered; the second byte of a two-byte
// character is never a letter of its own and stays as it is.
std::string FoldAsciiCase(std::string_view text);
// True when the texts are equal once both are folded as above.
bool SameTextIgnoringAsciiCase(std::string_view a, std::string_view b);

// True when the text's last character is a lead byte without its second byte.
bool EndsInLoneLeadByte(std::string_view text);

// The length of the longest prefix of at most `limit` bytes that does not end
// in the first half of a two-byte character.
size_t WholeCharactersWithin(std::string_view text, size_t limit);

// The lines of `text`: a line ends at CR, at LF or at a CR LF pair, and the
// ends are not kept; a last line without an end is kept too, while an end at
// the very end of the text makes no empty line. Every other byte, zero bytes
// included, stays in its line.
std::vector<std::string> SplitLines(std::string_view text);

// The lines with CR LF after every one of them.
std::string JoinLinesCrlf(const std::vector<std::string>& lines);

// Decodes code page 932 bytes. A byte or a two-byte sequence that the code
// page does not assign becomes U+FFFD; decoding goes on after it.
std::u16string Cp932ToUtf16(std::string_view bytes);

// Encodes as code page 932. Characters the code page holds only in another
// form take that form (the JIS wave dash U+301C becomes "～" 81 60, the cent,
// pound and not signs their full-width forms, the yen sign 5C); every other
// character it cannot hold, an unpaired surrogate included, becomes "?".
std::string Utf16ToCp932(std::u16string_view text);

}  // namespace vcl
