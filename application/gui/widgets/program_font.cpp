#include "widgets/program_font.h"

#include <QApplication>
#include <QFontDatabase>
#include <QStringList>

namespace {

// Proportional faces first, as the forms' face is the proportional Gothic.
const QStringList& GothicCandidates() {
  static const QStringList faces = {QStringLiteral("IPAPGothic"), QStringLiteral("IPAGothic"),
                                    QStringLiteral("Noto Sans CJK JP")};
  return faces;
}

const QStringList& SerifCandidates() {
  static const QStringList faces = {
      QStringLiteral("Liberation Serif"), QStringLiteral("DejaVu Serif"),
      QStringLiteral("Noto Serif CJK JP"), QStringLiteral("IPAPMincho")};
  return faces;
}

QStringList Installed(const QStringList& candidates) {
  const QStringList families = QFontDatabase::families();
  QStringList found;
  for (const QString& face : candidates) {
    if (families.contains(face, Qt::CaseInsensitive)) found << face;
  }
  return found;
}

}  // namespace

QString JapaneseGothicFamily() {
  const QStringList found = Installed(GothicCandidates());
  return found.isEmpty() ? QString() : found.first();
}

void InstallUiFonts(QApplication& app) {
  const QStringList gothic = Installed(GothicCandidates());
  const QString gothicFace = QString::fromUtf16(kFormGothicFace);
  if (!gothic.isEmpty()) QFont::insertSubstitutions(gothicFace, gothic);
  QStringList serif = Installed(SerifCandidates());
  serif << gothic;  // Japanese text in a serif label still finds its glyphs
  if (!serif.isEmpty()) QFont::insertSubstitutions(QString::fromUtf16(kFormSerifFace), serif);

  QFont font = app.font();
  font.setFamilies(gothic.isEmpty() ? QStringList{gothicFace} : gothic);
  font.setPixelSize(12);
  app.setFont(font);
}

QFont FormFont(const QString& face, int pixels, bool bold) {
  QFont font(face);
  font.setPixelSize(pixels);
  font.setBold(bold);
  return font;
}
