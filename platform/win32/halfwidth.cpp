#include "win32/halfwidth.h"

#include "vcl/cp932_text.h"

namespace win32 {
namespace {

struct SymbolForm {
  unsigned char trail;  // second byte after the lead byte 0x81
  unsigned char halfwidth;
};

// The full-width symbols of row 0x81 that code page 932 also holds in one
// byte. The quotes, the yen sign, the overline and the Japanese punctuation
// take the code page's own one-byte forms (0x5C is the yen sign here, 0x7E the
// overline, 0xA1 to 0xA5 the half-width punctuation).
constexpr SymbolForm kSymbolForms[] = {
    {0x40, 0x20},  // 　 ideographic space
    {0x41, 0xA4},  // 、
    {0x42, 0xA1},  // 。
    {0x43, 0x2C},  // ，
    {0x44, 0x2E},  // ．
    {0x45, 0xA5},  // ・
    {0x46, 0x3A},  // ：
    {0x47, 0x3B},  // ；
    {0x48, 0x3F},  // ？
    {0x49, 0x21},  // ！
    {0x4D, 0x60},  // ｀
    {0x4F, 0x5E},  // ＾
    {0x50, 0x7E},  // ￣
    {0x51, 0x5F},  // ＿
    {0x5E, 0x2F},  // ／
    {0x62, 0x7C},  // ｜
    {0x66, 0x27},  // ’
    {0x68, 0x22},  // ”
    {0x69, 0x28},  // （
    {0x6A, 0x29},  // ）
    {0x6D, 0x5B},  // ［
    {0x6E, 0x5D},  // ］
    {0x6F, 0x7B},  // ｛
    {0x70, 0x7D},  // ｝
    {0x75, 0xA2},  // 「
    {0x76, 0xA3},  // 」
    {0x7B, 0x2B},  // ＋
    {0x7C, 0x2D},  // －
    {0x81, 0x3D},  // ＝
    {0x83, 0x3C},  // ＜
    {0x84, 0x3E},  // ＞
    {0x8F, 0x5C},  // ￥
    {0x90, 0x24},  // ＄
    {0x93, 0x25},  // ％
    {0x94, 0x23},  // ＃
    {0x95, 0x26},  // ＆
    {0x96, 0x2A},  // ＊
    {0x97, 0x40},  // ＠
};

// The one-byte form of the two-byte character lead:trail, or 0 for none.
unsigned char HalfwidthOf(unsigned char lead, unsigned char trail) {
  if (lead == 0x82) {
    if (trail >= 0x4F && trail <= 0x58) return static_cast<unsigned char>('0' + (trail - 0x4F));
    if (trail >= 0x60 && trail <= 0x79) return static_cast<unsigned char>('A' + (trail - 0x60));
    if (trail >= 0x81 && trail <= 0x9A) return static_cast<unsigned char>('a' + (trail - 0x81));
    return 0;
  }
  if (lead == 0x81) {
    for (const SymbolForm& form : kSymbolForms) {
      if (form.trail == trail) return form.halfwidth;
    }
  }
  return 0;
}

}  // namespace

int MapToHalfwidth(const char* src, int srcLength, char* dest, int destLength) {
  if (src == nullptr || dest == nullptr || destLength < 1) return 0;
  const auto first = static_cast<unsigned char>(src[0]);
  if (srcLength == 1 && !vcl::IsLeadByte(first)) {
    // A one-byte character is its own half-width form.
    dest[0] = src[0];
    return 1;
  }
  if (srcLength != 2 || !vcl::IsLeadByte(first)) return 0;
  const unsigned char halfwidth = HalfwidthOf(first, static_cast<unsigned char>(src[1]));
  if (halfwidth == 0) return 0;
  dest[0] = static_cast<char>(halfwidth);
  return 1;
}

}  // namespace win32
