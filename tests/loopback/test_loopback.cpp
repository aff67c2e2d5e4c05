// Two real chat windows and raw TCP peers over loopback: only what real
// sockets, real widgets and real modal boxes show. The chat core's rules are
// the scenarios' business.

#include "CallerSide.h"
#include "ChatEnd.h"
#include "HostSide.h"

#include <QtNetwork>
#include <QtTest>
#include <QtWidgets>

// Long enough for a loaded machine, perhaps under sanitizers.
static constexpr int kWait = 60000;
#define WAIT_FOR(condition) QTRY_VERIFY_WITH_TIMEOUT(condition, kWait)
#define WAIT_FOR_EQUAL(actual, expected) QTRY_COMPARE_WITH_TIMEOUT(actual, expected, kWait)

static parlo::HostSide hostSide;
static parlo::CallerSide callerSide;

// A chat end as the programs assemble it, started, driven and read through its controls.
struct End : parlo::ChatEnd {
    End(parlo::ChatSide& side, quint16 port) : ChatEnd(side, {.port = port}) { window.start(); }
    template <typename T = QWidget> T* find(const char* name) { return window.findChild<T*>(name); }
    QString shown() { return find<QPlainTextEdit>("txtOutput")->toPlainText(); }
    QString status() { return find<QLabel>("Status")->text(); }
    // Pastes a line and presses Enter until it is taken (the caller takes none
    // before the host has confirmed the call).
    void say(const QString& line) {
        QLineEdit* box = find<QLineEdit>("txtSend");
        box->insert(line);
        WAIT_FOR((QTest::keyClick(box, Qt::Key_Return), box->text().isEmpty()));
    }
};

// A raw caller that introduces itself as soon as it connects, before the host
// takes the call, so that its nickname is read on its own. Returns the host's
// greeting, once it has come (or nothing, not waiting for it).
static QByteArray call(QTcpSocket& raw, End& host, const QByteArray& nick,
                       bool waitForGreeting = true) {
    raw.connectToHost(QHostAddress::LocalHost, host.socket.LocalPort());
    raw.waitForConnected(kWait);
    raw.write("/nick " + nick);
    raw.waitForBytesWritten(kWait);
    QByteArray got;
    (void)QTest::qWaitFor(
        [&] { return !waitForGreeting || (got += raw.readAll()).contains("/nick Server"); }, kWait);
    return got;
}

class Loopback : public QObject {
    Q_OBJECT
private slots:
    // Call, chat both ways, "/disconnect"; call again from the connect panel, close the window.
    void windowsChat() {
        for (const QString address : {"127.0.0.1", "::1"}) {
            // A free port, which the host listens on again after each conversation.
            QTcpServer probe;
            const quint16 port = (probe.listen(), probe.serverPort());
            probe.close();
            End host(hostSide, port), caller(callerSide, port);
            for (int call = 1; call <= 2; ++call) {
                call == 1 ? QTest::keyClicks(caller.find("cboAddress"), address + '\r')
                          : QTest::mouseClick(caller.find("cmdConnect"), Qt::LeftButton);
                WAIT_FOR_EQUAL(caller.status(), "Connected. (" + address + ")");
                WAIT_FOR_EQUAL(host.status(), "Connected to " + address);
                // A local command is taken once the host has confirmed the call. Showing
                // it takes a turn of the event loop, in which the host reads the caller's
                // nickname: the chat line that follows is not read joined to it.
                caller.say("/help");
                WAIT_FOR_EQUAL(caller.shown().count("Welcome to Parlo"), call);
                caller.say("hello host");
                WAIT_FOR(host.shown().endsWith("\nClient: hello host"));
                host.say("hello caller");
                WAIT_FOR(caller.shown().endsWith("\nServer: hello caller"));
                call == 1 ? caller.say("/disconnect") : void(caller.window.close());
                WAIT_FOR_EQUAL(host.shown().count(">> Client disconnected."), call);
                WAIT_FOR_EQUAL(host.status(), QString("Listening..."));
            }
        }
    }

    void peerVanishes_data() {
        QByteArray burst;
        for (int line = 1; line <= 10000; ++line) {
            burst += "line " + QByteArray::number(line).rightJustified(5, '0');
        }
        QTest::addColumn<bool>("greeted");
        QTest::addColumn<QByteArray>("said");
        QTest::addColumn<QString>("hostPastes");
        QTest::newRow("gone before the host's greeting") << false << QByteArray() << QString();
        QTest::newRow("closes without goodbye after a burst") << true << burst << QString();
        // The host's lines land unread with the peer, whose close then resets.
        QTest::newRow("stops reading, then resets with unread data")
            << true << QByteArray() << QString("all work and no play ").repeated(12000);
    }
    // The host shows every byte the peer sent. Pasting long lines to a peer that reads
    // nothing, it holds back at some point and says so. When the peer goes, it ends
    // the conversation and takes the next caller.
    void peerVanishes() {
        QFETCH(bool, greeted);
        QFETCH(QByteArray, said);
        QFETCH(QString, hostPastes);
        const QString refused = "\n>> Your peer is not receiving: message not sent.";
        End host(hostSide, 0);
        QTcpSocket raw, next;
        QCOMPARE(call(raw, host, "X", greeted).contains("/nick"), greeted);
        raw.setReadBufferSize(1); // from here on the peer takes nothing off the connection
        raw.write(said);
        WAIT_FOR(hostPastes.isEmpty() || (host.say(hostPastes), host.shown().endsWith(refused)));
        raw.disconnectFromHost();
        WAIT_FOR(host.shown().endsWith("\n>> X disconnected."));
        // Reads may have joined lines or cut them: the texts together are what was sent.
        const QStringList entries = host.shown().split('\n').filter(QRegularExpression("^X: "));
        QCOMPARE(entries.join(QString()).remove("X: "), QString(said));
        QVERIFY(call(next, host, "Y").startsWith("/connection_confirmed "));
    }

    // While a box the peer raised is open, the host goes on reading; a peer that
    // repeats the keyword leaves only a few boxes to close.
    void boxRaisedByPeer() {
        End host(hostSide, 0);
        QTcpSocket first, second;
        const QByteArray number = call(first, host, "M").split('/').value(1).mid(21);
        int boxes = 0;
        const auto whileOpen = [&] {
            first.write("/terminate " + number);
            WAIT_FOR(host.shown().endsWith("\n>> M disconnected."));
            WAIT_FOR_EQUAL(host.status(), QString("Listening..."));
            QVERIFY(call(second, host, "N").startsWith("/connection_confirmed "));
            // Each keyword in a segment of its own, read before the next is sent.
            second.setSocketOption(QAbstractSocket::LowDelayOption, 1);
            for (int i = 0; i < 10000; ++i) {
                second.write("/connect");
                second.flush();
                QCoreApplication::processEvents();
            }
            second.write("done");
        };
        QTimer closer;
        closer.callOnTimeout([&] {
            if (QWidget* box = QApplication::activeModalWidget()) {
                closer.stop();
                boxes++ == 0 ? whileOpen() : void();
                box->close();
                closer.start();
            }
        });
        closer.start(10);
        first.write("/connect");
        WAIT_FOR(host.shown().endsWith("done"));
        QVERIFY2(boxes <= 3, qPrintable(QString::number(boxes)));
    }
};

QTEST_MAIN(Loopback)
#include "test_loopback.moc"
