#pragma once
// The program keeps its texts as code page 932 (Windows-31J) bytes; widgets
// show QString. These two conversions are the only crossing between them.

#include <QString>
#include <string>
#include <string_view>

// Bytes that code page 932 cannot decode become U+FFFD; the rest is kept.
QString QFromCp932(std::string_view bytes);

// Characters that code page 932 cannot hold become "?".
std::string Cp932FromQ(const QString& text);
