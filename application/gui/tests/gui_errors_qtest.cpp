// Errors that escape an event handler, and the conversion of the program's
// code page 932 texts at the widgets.

#include <QtTest>
#include <stdexcept>

#include "widgets/guarded_application.h"
#include "widgets/qt_cp932.h"

namespace {

// A widget whose handler of one event type fails.
class FailingWidget : public QWidget {
 public:
  bool throwStd = true;
  int handled = 0;

 protected:
  bool event(QEvent* event) override {
    if (event->type() == QEvent::User) {
      ++handled;
      if (throwStd) {
        // "ファイルが読めません"
        throw std::runtime_error(
            "\x83\x74\x83\x40\x83\x43\x83\x8B\x82\xAA\x93\xC7\x82\xDF\x82\xDC\x82\xB9\x82\xF1");
      }
      throw 42;
    }
    return QWidget::event(event);
  }
};

}  // namespace

class ErrorsTest : public QObject {
  Q_OBJECT

 private slots:
  void anErrorInAHandlerIsShownAndTheProgramGoesOn() {
    auto* app = static_cast<GuardedApplication*>(QCoreApplication::instance());
    QStringList shown;
    app->SetErrorReporter([&shown](const QString& message) { shown << message; });
    FailingWidget widget;
    QCoreApplication::postEvent(&widget, new QEvent(QEvent::User));
    QCoreApplication::postEvent(&widget, new QEvent(QEvent::User));
    QCoreApplication::processEvents();
    QCOMPARE(widget.handled, 2);
    QCOMPARE(shown, (QStringList{QStringLiteral(u"ファイルが読めません"),
                                 QStringLiteral(u"ファイルが読めません")}));

    widget.throwStd = false;
    QCoreApplication::postEvent(&widget, new QEvent(QEvent::User));
    QCoreApplication::processEvents();
    QCOMPARE(shown.size(), 3);
    QCOMPARE(shown.last(), QString());
    app->SetErrorReporter(&GuardedApplication::ShowErrorBox);
  }

  void convertsCodePage932AtTheWidgets_data() {
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QString>("text");
    QTest::newRow("ascii") << QByteArray("1301 abc") << QStringLiteral("1301 abc");
    QTest::newRow("wave dash") << QByteArray("\x81\x60") << QStringLiteral(u"～");
    QTest::newRow("arrows") << QByteArray("\x81\xCC") << QStringLiteral(u"⇔");
    QTest::newRow("minus sign") << QByteArray("\x81\x7C") << QStringLiteral(u"－");
    QTest::newRow("half-width katakana") << QByteArray("\xB6\xC5") << QStringLiteral(u"ｶﾅ");
    QTest::newRow("NEC special") << QByteArray("\x87\x40") << QStringLiteral(u"①");
    QTest::newRow("market") << QByteArray("\x93\x8C\x8F\xD8\x82\x50\x95\x94")
                            << QStringLiteral(u"東証１部");
  }

  void convertsCodePage932AtTheWidgets() {
    QFETCH(QByteArray, bytes);
    QFETCH(QString, text);
    QCOMPARE(QFromCp932(bytes.toStdString()), text);
    QCOMPARE(QByteArray::fromStdString(Cp932FromQ(text)), bytes);
  }

  void badBytesAndMissingCharactersAreMarked() {
    // A lone lead byte in the middle and at the end.
    QCOMPARE(QFromCp932("a\x81 b"), QStringLiteral(u"a\uFFFD b"));
    QCOMPARE(QFromCp932("a\x81"), QStringLiteral(u"a\uFFFD"));
    QCOMPARE(QFromCp932(std::string_view("a\0b", 3)),
             QString(QStringLiteral("a") + QChar(0) + u'b'));
    // Characters that code page 932 lacks become "?"; the rest is kept.
    QCOMPARE(Cp932FromQ(QStringLiteral(u"A€B😀C")), std::string("A?B?C"));
  }
};

int main(int argc, char** argv) {
  GuardedApplication app(argc, argv);
  ErrorsTest test;
  return QTest::qExec(&test, argc, argv);
}
#include "gui_errors_qtest.moc"
