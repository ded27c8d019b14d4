#include "main/qt_japanese.h"

#include <QCoreApplication>
#include <QLibraryInfo>
#include <QLocale>
#include <QTranslator>

bool InstallJapaneseQtTranslation(QCoreApplication& app) {
  const QLocale japanese(QLocale::Japanese, QLocale::Japan);
  // Date and number texts of Qt's dialogs follow the default locale too.
  QLocale::setDefault(japanese);
  auto* translator = new QTranslator(&app);
  // "qt" loads the qtbase catalogue, which holds the dialogs' texts.
  if (!translator->load(japanese, QStringLiteral("qt"), QStringLiteral("_"),
                        QLibraryInfo::path(QLibraryInfo::TranslationsPath))) {
    delete translator;
    return false;
  }
  QCoreApplication::installTranslator(translator);
  return true;
}
