// Handing a pair to the sibling program: to a running instance through its
// local socket, else by starting "Sentrova.exe" from the program directory.

#include <QAction>
#include <QElapsedTimer>
#include <QFile>
#include <QLocalServer>
#include <QLocalSocket>
#include <QTemporaryDir>
#include <QtTest>
#include <memory>
#include <optional>

#include "drawn_pair_program.h"
#include "output/sibling_handover.h"
#include "win32/copy_data_sender.h"

namespace {

// A running sibling: takes one message per connection and answers with
// `reply`, or never answers when it has none.
class FakeSibling : public QObject {
 public:
  explicit FakeSibling(std::optional<int32_t> reply) : reply_(reply) {
    QLocalServer::removeServer(win32::CopyDataServerPath(QStringLiteral("Sentrova")));
    if (!server_.listen(win32::CopyDataServerPath(QStringLiteral("Sentrova")))) {
      qFatal("cannot listen: %s", qPrintable(server_.errorString()));
    }
    connect(&server_, &QLocalServer::newConnection, this, [this] {
      QLocalSocket* socket = server_.nextPendingConnection();
      connect(socket, &QLocalSocket::readyRead, this, [this, socket] {
        buffer_ += socket->readAll();
        if (buffer_.size() < 8) return;
        const quint32 length = qFromLittleEndian<quint32>(buffer_.constData() + 4);
        if (static_cast<quint32>(buffer_.size()) < 8 + length) return;
        received << buffer_;
        buffer_.clear();
        if (reply_) socket->write(reinterpret_cast<const char*>(&*reply_), 4);
      });
    });
  }

  QList<QByteArray> received;

 private:
  QLocalServer server_;
  std::optional<int32_t> reply_;
  QByteArray buffer_;
};

QByteArray ExpectedFrame(const QByteArray& text) {
  QByteArray frame("\xFF\xFF\xFF\xFF", 4);
  const quint32 length = static_cast<quint32>(text.size() + 1);
  frame.append(static_cast<char>(length & 0xFF));
  frame.append(static_cast<char>((length >> 8) & 0xFF));
  frame.append("\0\0", 2);
  frame += text;
  frame.append('\0');
  return frame;
}

}  // namespace

class HandOverTest : public QObject {
  Q_OBJECT

 private:
  QTemporaryDir runtime_;
  QTemporaryDir exeDir_;
  std::unique_ptr<SiblingHandOver> handOver_;
  std::optional<SiblingHandOver::Route> route_;

  std::filesystem::path ExeDir() const { return QFile::encodeName(exeDir_.path()).toStdString(); }
  QString ArgumentsFile() const { return exeDir_.filePath(QStringLiteral("arguments.txt")); }

  void InstallFakeProgram() { InstallFakeProgramIn(exeDir_.path()); }

  // A stand-in for the sibling program: writes how many arguments it got
  // and the first one into "arguments.txt" beside itself.
  static void InstallFakeProgramIn(const QString& dir) {
    QFile program(dir + QStringLiteral("/Sentrova.exe"));
    QVERIFY(program.open(QIODevice::WriteOnly));
    program.write(
        "#!/bin/sh\nprintf '%s|%s' \"$#\" \"$1\" > \"$(dirname \"$0\")/arguments.tmp\"\n"
        "mv \"$(dirname \"$0\")/arguments.tmp\" \"$(dirname \"$0\")/arguments.txt\"\n");
    program.close();
    program.setPermissions(QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
  }

  // The main window's own hand-over, which its menu item uses.
  static SiblingHandOver* WindowsHandOver(const DrawnPairProgram& p) {
    return p.window->findChild<SiblingHandOver*>();
  }

  QByteArray StartedWith() const { return StartedWithIn(ArgumentsFile()); }
  static QByteArray StartedWithIn(const QString& argumentsFile) {
    QFile file(argumentsFile);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<not started>");
  }

 private slots:
  void initTestCase() {
    // The sibling's socket lies in the user's runtime directory.
    QVERIFY(runtime_.isValid());
    qputenv("XDG_RUNTIME_DIR", QFile::encodeName(runtime_.path()));
    QVERIFY(win32::CopyDataServerPath(QStringLiteral("Sentrova"))
                .startsWith(runtime_.path() + QStringLiteral("/")));
  }

  void init() {
    QFile::remove(ArgumentsFile());
    QFile::remove(exeDir_.filePath(QStringLiteral("Sentrova.exe")));
    route_.reset();
    handOver_ = std::make_unique<SiblingHandOver>(ExeDir());
    connect(handOver_.get(), &SiblingHandOver::finished, this,
            [this](SiblingHandOver::Route route) { route_ = route; });
  }

  void cleanup() { handOver_.reset(); }

  void aRunningSiblingTakesThePairAndNothingIsStarted() {
    InstallFakeProgram();
    FakeSibling sibling(1);
    QVERIFY(handOver_->HandOver("7203,1,7267,2,-150"));
    QTRY_VERIFY(route_.has_value());
    QCOMPARE(*route_, SiblingHandOver::Route::kMessage);
    QCOMPARE(sibling.received, QList<QByteArray>{ExpectedFrame("7203,1,7267,2,-150")});
    // The route comes after any start, and nothing is left waiting to start
    // one later.
    QVERIFY(!handOver_->Waiting());
    QCOMPARE(StartedWith(), QByteArray("<not started>"));
  }

  void aRefusingSiblingGetsASecondInstanceWithTheSamePair() {
    InstallFakeProgram();
    FakeSibling sibling(0);
    QVERIFY(handOver_->HandOver("7203,,7267,,"));
    QTRY_VERIFY(route_.has_value());
    QCOMPARE(*route_, SiblingHandOver::Route::kStarted);
    QCOMPARE(sibling.received, QList<QByteArray>{ExpectedFrame("7203,,7267,,")});
    QTRY_COMPARE(StartedWith(), QByteArray("1|7203,,7267,,"));
  }

  // A sibling that takes the message but never answers costs the window
  // nothing: events go on while the hand-over waits, and after the reply
  // time a new instance is started.
  void aSilentSiblingNeverFreezesTheWindow() {
    InstallFakeProgram();
    FakeSibling sibling(std::nullopt);
    QElapsedTimer clock;
    clock.start();
    QVERIFY(handOver_->HandOver("7203,1,7267,2,0"));
    QVERIFY(clock.elapsed() < 500);
    QVERIFY(handOver_->Waiting());
    QVERIFY(!handOver_->HandOver("1301,1,1332,1,0"));  // one at a time
    int ticks = 0;
    QTimer tick;
    connect(&tick, &QTimer::timeout, this, [&ticks] { ++ticks; });
    tick.start(50);
    QTRY_VERIFY_WITH_TIMEOUT(route_.has_value(), 10000);
    QVERIFY(ticks >= 10);
    QVERIFY(clock.elapsed() >= SiblingHandOver::kReplyTime.count());
    QCOMPARE(*route_, SiblingHandOver::Route::kStarted);
    QCOMPARE(sibling.received.size(), 1);
    QTRY_COMPARE(StartedWith(), QByteArray("1|7203,1,7267,2,0"));
    QVERIFY(!handOver_->Waiting());
  }

  void withoutASiblingTheProgramIsStartedWithTheTextAsOneArgument() {
    InstallFakeProgram();
    // Blanks and shell characters stay inside the one argument.
    QVERIFY(handOver_->HandOver("72 03,$(x),`y`;z,2,'"));
    QTRY_VERIFY(route_.has_value());
    QCOMPARE(*route_, SiblingHandOver::Route::kStarted);
    QTRY_COMPARE(StartedWith(), QByteArray("1|72 03,$(x),`y`;z,2,'"));
  }

  void aMissingProgramFailsSilently() {
    QVERIFY(handOver_->HandOver("7203,1,7267,1,0"));
    QTRY_VERIFY(route_.has_value());
    QCOMPARE(*route_, SiblingHandOver::Route::kStartFailed);
    QVERIFY(!handOver_->Waiting());
    QVERIFY(handOver_->HandOver("7203,1,7267,1,0"));  // and the next one goes again
  }

  // The menu item hands over the boxes' texts of a drawn pair.
  void theMenuItemHandsOverTheDrawnPair() {
    DrawnPairProgram p;
    InstallFakeProgramIn(p.dir.ExeDir());
    p.StartWithDrawnPair();
    QVERIFY(Control<QAction>(*p.window, "MainMenuFileSentrova")->isEnabled());
    Control<QLineEdit>(*p.window, "EditAdjust")->setText(QStringLiteral("-150"));
    FakeSibling sibling(1);
    std::optional<SiblingHandOver::Route> route;
    connect(WindowsHandOver(p), &SiblingHandOver::finished, this,
            [&route](SiblingHandOver::Route r) { route = r; });
    Control<QAction>(*p.window, "MainMenuFileSentrova")->trigger();
    const QByteArray text =
        "1301," + Control<QLineEdit>(*p.window, "EditMagnA")->text().toLatin1() + ",1332," +
        Control<QLineEdit>(*p.window, "EditMagnB")->text().toLatin1() + ",-150";
    QTRY_COMPARE(sibling.received, QList<QByteArray>{ExpectedFrame(text)});
    QTRY_VERIFY(route.has_value());
    QCOMPARE(*route, SiblingHandOver::Route::kMessage);
    QVERIFY(!p.dir.Exists("arguments.txt"));
  }

  void withoutADrawnPairOrTheProgramNothingIsHandedOver() {
    FakeSibling sibling(1);
    {
      DrawnPairProgram p;
      InstallFakeProgramIn(p.dir.ExeDir());
      p.StartWithUncheckedPair();
      Control<QAction>(*p.window, "MainMenuFileSentrova")->trigger();
      // A hand-over waits for the sibling's answer from the moment it begins.
      QVERIFY(!WindowsHandOver(p)->Waiting());
      QVERIFY(!p.dir.Exists("arguments.txt"));
    }
    {
      // Without "Sentrova.exe" at start the item is disabled.
      DrawnPairProgram p;
      p.StartWithDrawnPair();
      QVERIFY(!Control<QAction>(*p.window, "MainMenuFileSentrova")->isEnabled());
      Control<QAction>(*p.window, "MainMenuFileSentrova")->trigger();
      QVERIFY(!WindowsHandOver(p)->Waiting());
    }
    QCOMPARE(sibling.received, QList<QByteArray>());
  }
};

QTEST_MAIN(HandOverTest)
#include "gui_handover_qtest.moc"
