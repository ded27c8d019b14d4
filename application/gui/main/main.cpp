// Dyadmark: screening and checking pairs of Japanese stocks.

#include <QString>
#include <cstdio>
#include <exception>
#include <memory>

#include "codes/Dm_fcode.h"
#include "main/Dm_umain.h"
#include "main/qt_japanese.h"
#include "pair/Dm_fpair.h"
#include "registry/Dm_upairreg.h"
#include "screening/Dm_fscrn.h"
#include "widgets/guarded_application.h"
#include "widgets/program_font.h"

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
