#include "CallerSide.h"
#include "ChatWindow.h"
#include "FakeSocket.h"
#include "HostSide.h"
#include "PanelLayout.h"
#include "SingleInstance.h"
#include "frmClient.h"

#include <QApplication>
#include <QComboBox>
#include <QDialog>
#include <QFile>
#include <QGroupBox>
#include <QLabel>
#include <QLockFile>
#include <QMenuBar>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QProcess>
#include <QPushButton>
#include <QScrollBar>
#include <QSysInfo>
#include <QTemporaryDir>
#include <QTest>
#include <QTextDocument>
#include <QTimer>

using namespace parlo;
using namespace parlo::test;

namespace {

// One program's window over a fake socket.
struct WindowRig {
    explicit WindowRig(bool host)
        : side(host ? std::unique_ptr<ChatSide>(new HostSide) : std::make_unique<CallerSide>()),
          window(*side), form(socket, window, *side) {
        window.attach(form);
        form.Form_Load();
        window.show();
    }
    std::unique_ptr<ChatSide> side;
    FakeSocket socket;
    ChatWindow window;
    frmClient form;
};

QRect twips(int left, int top, int width, int height) {
    return QRect(left / 15, top / 15, width / 15, height / 15);
}

} // namespace

// The chat window as the user sees it: controls, menus, panels, resizing and start-up.
class TestWindow : public QObject {
    Q_OBJECT
private slots:
    void startUpLooks_data();
    void startUpLooks();
    void controlsAtTheirPlaces_data();
    void controlsAtTheirPlaces();
    void transcriptIsBlueAndReadOnly();
    void transcriptKeepsEveryCharacter_data();
    void transcriptKeepsEveryCharacter();
    void autoScrollLeavesNothingSelected();
    void panelRule_data();
    void panelRule();
    void resizingTheWindowSizesBothPanels();
    void captionKeepsPlaceholderText();
    void enterInAddressBoxConnects();
    void modalBoxesAreReal();
    void singleInstancePerProgram();
    void staleLockFromDeadCopy();
};

void TestWindow::startUpLooks_data() {
    QTest::addColumn<bool>("host");
    QTest::addColumn<QString>("caption");
    QTest::addColumn<QString>("status");
    QTest::addColumn<bool>("chatInFront");
    QTest::addColumn<QStringList>("helpItems");
    QTest::newRow("caller") << false << "Client - Parlo"
                            << "Idle." << false << QStringList{"Commands", "About"};
    QTest::newRow("host") << true << "Server - Parlo"
                          << "Listening..." << true << QStringList{"About"};
}

void TestWindow::startUpLooks() {
    QFETCH(bool, host);
    WindowRig rig(host);
    QTEST(rig.window.windowTitle(), "caption");
    QTEST(rig.window.statusText(), "status");
    QFETCH(bool, chatInFront);
    QCOMPARE(rig.window.fraChat->isVisible(), chatInFront);
    QCOMPARE(rig.window.fraConnect->isVisible(), !chatInFront);
    QCOMPARE(rig.window.cboAddress->count(), 0);
    QCOMPARE(rig.window.txtOutput->toPlainText(), QString());
    QCOMPARE(rig.window.cmdConnect->text(), QStringLiteral("Connect"));
    const QList<QAction*> menus = rig.window.menuBar()->actions();
    QCOMPARE(menus.size(), 2);
    QCOMPARE(menus.at(0)->text(), QStringLiteral("File"));
    QCOMPARE(menus.at(0)->menu()->actions().at(0)->text(), QStringLiteral("Exit"));
    QCOMPARE(menus.at(1)->text(), QStringLiteral("Help"));
    QStringList items;
    for (QAction* action : menus.at(1)->menu()->actions()) {
        items << action->text();
    }
    QTEST(items, "helpItems");
}

void TestWindow::controlsAtTheirPlaces_data() {
    QTest::addColumn<QString>("name");
    QTest::addColumn<QRect>("geometry");
    QTest::addColumn<QString>("text");
    QTest::newRow("fraConnect") << "fraConnect" << twips(120, 0, 5415, 3135) << "Connect";
    QTest::newRow("cboAddress") << "cboAddress" << twips(2400, 960, 2415, 315) << "";
    QTest::newRow("cmdConnect") << "cmdConnect" << twips(2880, 1440, 1335, 375) << "Connect";
    QTest::newRow("Image1") << "Image1" << twips(360, 1560, 1920, 1305) << "";
    QTest::newRow("fraChat") << "fraChat" << twips(120, 0, 5415, 3135) << "Chat";
    QTest::newRow("txtOutput") << "txtOutput" << twips(120, 240, 5175, 1695) << "";
    QTest::newRow("txtSend") << "txtSend" << twips(120, 2280, 4935, 285) << "";
    QTest::newRow("cboPeers") << "cboPeers" << twips(720, 2640, 2175, 300) << "";
    QTest::newRow("cmdSend") << "cmdSend" << twips(3480, 2640, 1335, 375) << "Send";
}

void TestWindow::controlsAtTheirPlaces() {
    QFETCH(QString, name);
    QFETCH(QRect, geometry);
    QFETCH(QString, text);
    WindowRig rig(false);
    auto* widget = rig.window.findChild<QWidget*>(name);
    QVERIFY(widget);
    QCOMPARE(widget->geometry(), geometry);
    if (auto* button = qobject_cast<QPushButton*>(widget)) {
        QCOMPARE(button->text(), text);
    } else if (auto* frame = qobject_cast<QGroupBox*>(widget)) {
        QCOMPARE(frame->title(), text);
    }
    QVERIFY(!widget->accessibleName().isEmpty() || qobject_cast<QPushButton*>(widget));
}

void TestWindow::transcriptIsBlueAndReadOnly() {
    WindowRig rig(true);
    QCOMPARE(rig.window.txtOutput->palette().color(QPalette::Text), QColor(0, 0, 255));
    QVERIFY(rig.window.txtOutput->isReadOnly());
    QTest::keyClicks(rig.window.txtOutput, QStringLiteral("typed"));
    QCOMPARE(rig.window.outputText(), QString());
    QVERIFY(!rig.window.cboPeers->isEnabled());
    QCOMPARE(rig.window.Label1->text(), QStringLiteral("Connect to (IP/Host name):"));
    QCOMPARE(rig.window.Label2->text(), QStringLiteral("Peers:"));
    QCOMPARE(rig.window.Label1->pos(), QPoint(2520 / 15, 720 / 15));
}

void TestWindow::transcriptKeepsEveryCharacter_data() {
    QTest::addColumn<QStringList>("pieces"); // appended one after the other
    QTest::addColumn<QString>("shown");      // what the text box shows
    const QString nul(QChar(0));
    QTest::newRow("entries") << QStringList{"\r\nServer: hi", "\r\nClient: yo"}
                             << "\nServer: hi\nClient: yo";
    QTest::newRow("lone CR and LF") << QStringList{"\r\na\rb\nc"} << "\na\nb\nc";
    QTest::newRow("CR at the end, LF at the start of the next")
        << QStringList{"\r\nx\r", "\ny"} << "\nx\n\ny";
    QTest::newRow("CR LF LF") << QStringList{"\r\n\r\n\n"} << "\n\n\n";
    QTest::newRow("NUL and its symbol") << QStringList{"\r\n" + nul + QChar(0x2400)}
                                        << QStringLiteral("\n") + QChar(0x2400) + QChar(0x2400);
    QTest::newRow("paragraph, line and frame characters")
        << QStringList{QString(QChar(0x2029)) + QChar(0x2028) + QChar(0xFDD0) + QChar(0xFDD1)}
        << QStringLiteral("\n") + QChar(0x2028) + QStringLiteral("\n\n");
    QTest::newRow("no-break space and markup stay")
        << QStringList{"a" + QString(QChar(0xA0)) + "<b>%1</b>"}
        << "a" + QString(QChar(0xA0)) + "<b>%1</b>";
    QTest::newRow("surrogate pair split over pieces")
        << QStringList{QString(QChar(0xD83D)), QString(QChar(0xDE00)) + "!"}
        << QString(QChar(0xD83D)) + QChar(0xDE00) + "!";
}

void TestWindow::transcriptKeepsEveryCharacter() {
    QFETCH(QStringList, pieces);
    WindowRig rig(true);
    for (const QString& piece : pieces) {
        rig.window.appendOutput(piece);
    }
    const QString exact = pieces.join(QString());
    QCOMPARE(rig.window.outputText(), exact); // before the text box has caught up
    QFETCH(QString, shown);
    auto boxText = [&] {
        return rig.window.txtOutput->document()->toRawText().replace(QChar(0x2029),
                                                                     QLatin1Char('\n'));
    };
    QTRY_COMPARE(boxText(), shown);
    QCOMPARE(rig.window.outputText(), exact); // and after
    // Cleared and restored as a whole, the text is still exact.
    rig.window.setOutputText(QString());
    QCOMPARE(rig.window.outputText(), QString());
    rig.window.setOutputText(exact);
    QCOMPARE(rig.window.outputText(), exact);
}

void TestWindow::autoScrollLeavesNothingSelected() {
    WindowRig rig(true);
    for (int i = 0; i < 200; ++i) {
        rig.window.appendOutput(QStringLiteral("\r\nline %1").arg(i));
    }
    rig.form.AUTO_SCROLL();
    QTRY_VERIFY(rig.window.txtOutput->textCursor().atEnd());
    QVERIFY(!rig.window.txtOutput->textCursor().hasSelection());
    QScrollBar* bar = rig.window.txtOutput->verticalScrollBar();
    QCOMPARE(bar->value(), bar->maximum());
}

void TestWindow::panelRule_data() {
    QTest::addColumn<QSizeF>("outer");
    QTest::addColumn<bool>("minimized");
    QTest::addColumn<QSizeF>("panel");
    const QSizeF design(5415, 3135);
    QTest::newRow("width at threshold") << QSizeF(5745, 4000) << false << design;
    QTest::newRow("width above threshold") << QSizeF(5746, 4000) << false << QSizeF(5346, 3135);
    QTest::newRow("height at threshold") << QSizeF(5000, 4260) << false << design;
    QTest::newRow("height above threshold") << QSizeF(5000, 4261) << false << QSizeF(5415, 3061);
    QTest::newRow("both") << QSizeF(9000, 7000) << false << QSizeF(8600, 5800);
    QTest::newRow("minimized") << QSizeF(9000, 7000) << true << design;
    QTest::newRow("tiny window") << QSizeF(100, 100) << false << design;
}

void TestWindow::panelRule() {
    QFETCH(QSizeF, outer);
    QFETCH(bool, minimized);
    QTEST(PanelLayout::resized(QSizeF(5415, 3135), outer, minimized), "panel");
}

void TestWindow::resizingTheWindowSizesBothPanels() {
    WindowRig rig(false);
    rig.window.resize(900, 600);
    QTRY_COMPARE(rig.window.fraChat->size(), rig.window.fraConnect->size());
    const QSizeF outer = rig.window.outerSizeTwips();
    QCOMPARE(rig.window.fraConnect->width(), qRound(outer.width() - 400) / 15);
    QCOMPARE(rig.window.fraConnect->height(), qRound(outer.height() - 1200) / 15);
    QCOMPARE(rig.window.txtOutput->size(), twips(0, 0, 5175, 1695).size()); // only frames grow
    // Shrinking below the thresholds leaves the last size set.
    const QSize grown = rig.window.fraConnect->size();
    rig.window.resize(200, 150);
    QTest::qWait(10);
    QCOMPARE(rig.window.fraConnect->size(), grown);
}

void TestWindow::captionKeepsPlaceholderText() {
    WindowRig rig(true);
    rig.window.setCaption(QStringLiteral("[*] - Parlo"));
    QCOMPARE(rig.window.windowTitle().remove(QLatin1String("[[*]]")), QStringLiteral(" - Parlo"));
    QVERIFY(rig.window.windowTitle().contains(QLatin1String("[*]")));
}

void TestWindow::enterInAddressBoxConnects() {
    WindowRig rig(false);
    rig.window.cboAddress->setEditText(QStringLiteral("peer.example"));
    QTest::keyClick(rig.window.cboAddress, Qt::Key_Return);
    QCOMPARE(rig.socket.calls, QStringList{"Connect peer.example:1983"});
    QCOMPARE(rig.window.cboAddress->count(), 0); // Enter adds nothing to the list
    QCOMPARE(rig.window.cmdConnect->text(), QStringLiteral("Disconnect"));
}

void TestWindow::modalBoxesAreReal() {
    WindowRig rig(true);
    rig.socket.state = StreamSocket::sckConnected;
    QStringList seen;
    // Each box is read and closed from the event loop it runs while it is open.
    auto closeBoxSoon = [&seen] {
        QTimer::singleShot(50, [&seen] {
            QWidget* box = QApplication::activeModalWidget();
            QVERIFY(box);
            if (auto* message = qobject_cast<QMessageBox*>(box)) {
                seen << message->windowTitle() + QLatin1Char('|') + message->text();
            } else {
                seen << box->windowTitle();
            }
            box->close();
        });
    };
    closeBoxSoon();
    rig.socket.deliver(QStringLiteral("/connect"));
    closeBoxSoon();
    rig.window.mnuAbout_Click();
    closeBoxSoon();
    rig.window.mnuAbout_Click(); // the same box, shown again
    QCOMPARE(seen, (QStringList{"Parlo|peer connect", "Parlo", "Parlo"}));
    QCOMPARE(rig.window.findChildren<QDialog*>().size(), 1); // the About box, created once
}

void TestWindow::singleInstancePerProgram() {
    QTemporaryDir dir;
    qputenv("TMPDIR", dir.path().toLocal8Bit());
    SingleInstance first;
    SingleInstance second;
    SingleInstance other;
    QVERIFY(first.tryAcquire(QStringLiteral("parlocall")));
    QVERIFY(!second.tryAcquire(QStringLiteral("parlocall")));
    QVERIFY(other.tryAcquire(QStringLiteral("parlohost"))); // the other program runs beside it
    qunsetenv("TMPDIR");
}

void TestWindow::staleLockFromDeadCopy() {
    QTemporaryDir dir;
    qputenv("TMPDIR", dir.path().toLocal8Bit());
    // A lock as a copy writes it, left behind by a process that no longer runs.
    const QString path = SingleInstance::lockPath(QStringLiteral("parlohost"));
    QByteArray content;
    {
        QLockFile live(path);
        QVERIFY(live.tryLock(0));
        QFile written(path);
        QVERIFY(written.open(QIODevice::ReadOnly));
        content = written.readAll();
        live.unlock();
    }
    QProcess gone;
    gone.start(QStringLiteral("true"));
    QVERIFY(gone.waitForStarted());
    const qint64 deadPid = gone.processId();
    QVERIFY(gone.waitForFinished());
    const qsizetype firstLineEnd = content.indexOf('\n');
    content.replace(0, firstLineEnd, QByteArray::number(deadPid));
    QFile lock(path);
    QVERIFY(lock.open(QIODevice::WriteOnly));
    lock.write(content);
    lock.close();
    SingleInstance next;
    QVERIFY(next.tryAcquire(QStringLiteral("parlohost")));
    qunsetenv("TMPDIR");
}

QTEST_MAIN(TestWindow)
#include "test_window.moc"
