#include "widgets/qt_cp932.h"

#include "vcl/cp932_text.h"

QString QFromCp932(std::string_view bytes) { return QFromUtf16(vcl::Cp932ToUtf16(bytes)); }

std::string Cp932FromQ(const QString& text) { return vcl::Utf16ToCp932(Utf16View(text)); }
