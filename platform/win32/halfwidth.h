#pragma once
// Full-width to half-width mapping over code page 932, independent of the
// locale: the one-byte form of a two-byte character where the code page has
// one.

namespace win32 {

// Maps the `srcLength` bytes at `src` (one code page 932 character) to its
// half-width form in `dest` (room for `destLength` bytes). Returns the number
// of bytes written, 0 when the character has no half-width form or does not
// fit; `dest` is then left as it was.
int MapToHalfwidth(const char* src, int srcLength, char* dest, int destLength);

}  // namespace win32
