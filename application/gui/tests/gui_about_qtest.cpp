// The About box and the program's Japanese Gothic font.

#include <QFontInfo>
#include <QLabel>
#include <QPushButton>
#include <QtTest>

#include "about/Dm_uabout.h"
#include "about/hatched_shape.h"
#include "widgets/program_font.h"

namespace {

QColor TextColour(const QLabel* label) { return label->palette().color(QPalette::WindowText); }

}  // namespace

class AboutTest : public QObject {
  Q_OBJECT

 private slots:
  void initTestCase() { InstallUiFonts(*qApp); }

  void theProgramSpeaksInAGothicFaceAt12Pixels() {
    const QStringList gothic = {QStringLiteral("IPAPGothic"), QStringLiteral("IPAGothic"),
                                QStringLiteral("Noto Sans CJK JP")};
    QVERIFY2(gothic.contains(JapaneseGothicFamily()), qPrintable(JapaneseGothicFamily()));
    QCOMPARE(QApplication::font().pixelSize(), 12);
    QCOMPARE(QFontInfo(QApplication::font()).family(), JapaneseGothicFamily());
    // The forms' Windows face finds the same installed face.
    const QFont form = FormFont(QString::fromUtf16(kFormGothicFace), 29, true);
    QVERIFY2(gothic.contains(QFontInfo(form).family()), qPrintable(QFontInfo(form).family()));
    QCOMPARE(QFontInfo(form).pixelSize(), 29);
  }

  void showsNameVersionAndAddress() {
    TFormAbout about;
    QCOMPARE(about.windowTitle(), QStringLiteral(u"バージョン情報"));
    QCOMPARE(about.size(), QSize(298, 213));
    QVERIFY(about.windowFlags().testFlag(Qt::WindowStaysOnTopHint));
    for (const char* name : {"LabelTitle1", "LabelTitle2", "LabelTitle3"}) {
      QCOMPARE(about.findChild<QLabel*>(name)->text(), QStringLiteral("Dyadmark"));
    }
    const QString version = QStringLiteral(u"～ Version 1.1 ～");
    QCOMPARE(about.findChild<QLabel*>("Version1")->text(), version);
    QCOMPARE(about.findChild<QLabel*>("Version2")->text(), version);
    QCOMPARE(TextColour(about.findChild<QLabel*>("Version1")), QColor(0x00, 0x00, 0xFF));
    QCOMPARE(TextColour(about.findChild<QLabel*>("Version2")), QColor(0x00, 0xFF, 0xFF));
    QCOMPARE(TextColour(about.findChild<QLabel*>("LabelTitle1")), QColor(0x00, 0x80, 0x00));
    QCOMPARE(about.findChild<QLabel*>("LabelTitle1")->font().pixelSize(), 29);
    QVERIFY(about.findChild<QLabel*>("LabelTitle1")->font().bold());
    const QLabel* address = about.findChild<QLabel*>("LabelURL1");
    QVERIFY(address->text().startsWith(QStringLiteral("https://")));
    QCOMPARE(about.findChild<QLabel*>("LabelURL2")->text(), address->text());
    QVERIFY(address->font().underline());
    QCOMPARE(address->cursor().shape(), Qt::PointingHandCursor);
    QCOMPARE(about.findChild<QLabel*>("LabelTitle1")->pos(), QPoint(102, 32));
    QCOMPARE(about.findChild<QPushButton*>("OKButton")->geometry(), QRect(111, 176, 75, 25));
  }

  void theAddressTurnsRedUnderThePointer() {
    TFormAbout about;
    about.show();
    QVERIFY(QTest::qWaitForWindowExposed(&about));
    QLabel* front = about.findChild<QLabel*>("LabelURL1");
    QLabel* back = about.findChild<QLabel*>("LabelURL2");
    const QColor fuchsia(0xFF, 0x00, 0xFF);
    QCOMPARE(TextColour(front), fuchsia);
    QTest::mouseMove(front, QPoint(5, 5));
    QTRY_COMPARE(TextColour(front), QColor(0xFF, 0x00, 0x00));
    QCOMPARE(TextColour(back), QColor(0xFF, 0xFF, 0x00));
    // Leaving the dialog keeps it red; the dialog or its shape resets it.
    QTest::mouseMove(about.findChild<QPushButton*>("OKButton"), QPoint(3, 3));
    QCOMPARE(TextColour(front), QColor(0xFF, 0x00, 0x00));
    QTest::mouseMove(about.findChild<HatchedShape*>("Shape"), QPoint(5, 5));
    QTRY_COMPARE(TextColour(front), fuchsia);
  }

  // Every text stands on one line, inside the hatched shape, clear of the
  // icon; the icon is drawn.
  void textsFitOnTheirLinesInsideTheShape() {
    TFormAbout about;
    about.show();
    QVERIFY(QTest::qWaitForWindowExposed(&about));
    const QRect shape = about.findChild<HatchedShape*>("Shape")->geometry();
    const QRect icon = about.findChild<QLabel*>("ProgramIcon")->geometry();
    for (const char* name : {"LabelTitle1", "LabelTitle2", "LabelTitle3", "Version1", "Version2",
                             "LabelRights1", "LabelRights2", "LabelURL1", "LabelURL2"}) {
      const QLabel* label = about.findChild<QLabel*>(name);
      const QFontMetrics metrics(label->font());
      QVERIFY2(shape.contains(label->geometry()), name);
      QVERIFY2(!icon.intersects(label->geometry()), name);
      QVERIFY2(metrics.horizontalAdvance(label->text()) <= label->contentsRect().width(), name);
      QVERIFY2(label->height() < 2 * metrics.lineSpacing(), name);
      if (label->wordWrap()) {
        QVERIFY2(label->heightForWidth(label->width()) < 2 * metrics.lineSpacing(), name);
      }
    }
    // The form's sizes hold with the faces installed here.
    QCOMPARE(about.findChild<QLabel*>("LabelURL1")->font().pixelSize(), 12);
    QCOMPARE(about.findChild<QLabel*>("LabelRights1")->font().pixelSize(), 12);

    const QLabel* iconLabel = about.findChild<QLabel*>("ProgramIcon");
    QCOMPARE(icon, QRect(54, 33, 32, 32));
    const QImage image = iconLabel->pixmap().toImage();
    QCOMPARE(image.size(), QSize(32, 32));
    int drawn = 0;
    for (int y = 0; y < image.height(); ++y) {
      for (int x = 0; x < image.width(); ++x) drawn += qAlpha(image.pixel(x, y)) > 0 ? 1 : 0;
    }
    QVERIFY2(drawn > 32 * 32 / 2, qPrintable(QString::number(drawn)));
    // What the user sees in the icon's place is the drawing, not the background.
    const QImage shown = about.grab(icon).toImage();
    QVERIFY(shown.pixelColor(16, 8) != about.palette().color(QPalette::Window));
  }

  void okClosesIt() {
    TFormAbout about;
    about.show();
    QVERIFY(QTest::qWaitForWindowExposed(&about));
    QTest::mouseClick(about.findChild<QPushButton*>("OKButton"), Qt::LeftButton);
    QCOMPARE(about.result(), int(QDialog::Accepted));
    QVERIFY(!about.isVisible());
  }
};

QTEST_MAIN(AboutTest)
#include "gui_about_qtest.moc"
