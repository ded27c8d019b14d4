// Qt's own dialogs in Japanese, whatever the machine's locale.

#include <QDialogButtonBox>
#include <QFileDialog>
#include <QLocale>
#include <QMessageBox>
#include <QPushButton>
#include <QtTest>

#include "main/qt_japanese.h"

class QtDialogsTest : public QObject {
  Q_OBJECT

 private slots:
  void initTestCase() {
    QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates));
    QVERIFY(InstallJapaneseQtTranslation(*qApp));
  }

  void messageBoxButtonsSpeakJapanese() {
    QMessageBox box;
    box.setStandardButtons(QMessageBox::Cancel | QMessageBox::Yes | QMessageBox::No);
    QCOMPARE(box.button(QMessageBox::Cancel)->text(), QStringLiteral(u"キャンセル"));
    QVERIFY2(box.button(QMessageBox::Yes)->text().startsWith(QStringLiteral(u"はい")),
             qPrintable(box.button(QMessageBox::Yes)->text()));
    QVERIFY2(box.button(QMessageBox::No)->text().startsWith(QStringLiteral(u"いいえ")),
             qPrintable(box.button(QMessageBox::No)->text()));
  }

  void saveDialogSpeaksJapanese() {
    // Qt's own dialog, the one a desktop without a native portal shows.
    QFileDialog dialog(nullptr, QString(), QDir::tempPath());
    dialog.setOption(QFileDialog::DontUseNativeDialog);
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    auto* buttons = dialog.findChild<QDialogButtonBox*>();
    QVERIFY(buttons);
    QCOMPARE(buttons->button(QDialogButtonBox::Cancel)->text(), QStringLiteral(u"キャンセル"));
    QCOMPARE(buttons->button(QDialogButtonBox::Save)->text(), QStringLiteral(u"保存(&S)"));
  }

  void defaultLocaleIsJapanese() { QCOMPARE(QLocale().language(), QLocale::Japanese); }
};

QTEST_MAIN(QtDialogsTest)
#include "gui_qt_dialogs_qtest.moc"
