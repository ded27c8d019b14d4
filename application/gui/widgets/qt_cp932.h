#pragma once
// The program keeps its texts as code page 932 (Windows-31J) bytes; widgets
// show QString. These two conversions, over the code page 932 text layer
// (vcl/cp932_text.h), are the only crossing between them.

#include <QString>
#include <string>
#include <string_view>

// Bytes that code page 932 does not assign become U+FFFD; the rest is kept.
QString QFromCp932(std::string_view bytes);

// Characters that code page 932 cannot hold become "?".
std::string Cp932FromQ(const QString& text);

// The UTF-16 of `text` as a view, for the program's logic that takes widget
// texts without Qt. Valid while `text` is unchanged.
inline std::u16string_view Utf16View(const QString& text) {
  return {reinterpret_cast<const char16_t*>(text.utf16()), static_cast<size_t>(text.size())};
}

// A QString copy of UTF-16 text.
inline QString QFromUtf16(std::u16string_view text) {
  return QString(reinterpret_cast<const QChar*>(text.data()), static_cast<qsizetype>(text.size()));
}
