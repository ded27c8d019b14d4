#pragma once
// The program's look: a Japanese Gothic face for every widget, standing in for
// the Windows faces that the forms name, at pixel sizes.

#include <QFont>
#include <QString>

class QApplication;

// The first installed of the Gothic faces the program can use, or "" when
// none is installed.
QString JapaneseGothicFamily();

// The Windows faces the forms name: the proportional Gothic the whole program
// uses and the serif of the About box.
inline constexpr char16_t kFormGothicFace[] = u"ＭＳ Ｐゴシック";
inline constexpr char16_t kFormSerifFace[] = u"Times New Roman";

// Maps the forms' faces to installed ones and makes the Gothic face at
// 12 pixels the application's font.
void InstallUiFonts(QApplication& app);

// A font of the form face `face` at `pixels` pixels.
QFont FormFont(const QString& face, int pixels, bool bold = false);
