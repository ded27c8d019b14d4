// Dyadmark: screening and checking pairs of Japanese stocks.

#include <QString>
#include <cstdio>
#include <exception>
#include <memory>

#include "Dm_fcode.h"
#include "Dm_fpair.h"
#include "Dm_fscrn.h"
#include "Dm_umain.h"
#include "Dm_upairreg.h"
#include "guarded_application.h"
#include "program_font.h"
#include "qt_japanese.h"

int main(int argc, char** argv) {
  GuardedApplication app(argc, argv);
  try {
    QCoreApplication::setApplicationName(QStringLiteral("Dyadmark"));
    InstallUiFonts(app);
    InstallJapaneseQtTranslation(app);

    // The pages first, without a parent; then the main window, which is the
    // first window and so the main one; then the pair registry.
    TFormMain::Frames frames;
    frames.code = std::make_unique<TFrameCode>();
    frames.scrn = std::make_unique<TFrameScrn>();
    frames.pair = std::make_unique<TFramePair>();
    TFormMain formMain(std::move(frames));
    TFormPairReg formPairReg(formMain.ExeDir(), &formMain);
    formMain.SetPairRegistry(&formPairReg);

    formMain.show();
    app.exec();
  } catch (...) {
    GuardedApplication::ShowErrorBox(CurrentErrorMessage());
  }
  return 0;
}
