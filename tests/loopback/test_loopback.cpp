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

static parlo::HostSide hostSide;
static parlo::CallerSide callerSide;

// A chat end as the programs assemble it, started, driven and read through its controls.
struct End : parlo::ChatEnd {
    End(parlo::ChatSide& side, quint16 port) : ChatEnd(side, {.port = port}) { window.start(); }
    template <typename T = QWidget> T* find(const char* name) { return window.findChild<T*>(name); }
    QString shown() { return find<QPlainTextEdit>("txtOutput")->toPlainText(); }
    QString status() { return find<QLabel>("Status")->text(); }
    // Pastes a line and presses Enter until it is taken (the caller takes none
    // before the host has confirmed the call), each time after a turn of the
    // event loop, in which the peer reads what was sent before.
    void say(const QString& line) {
        QLineEdit* box = find<QLineEdit>("txtSend");
        box->insert(line);
        WAIT_FOR((qApp->processEvents(), QTest::keyClick(box, '\r'), box->text().isEmpty()));
    }
};

// A raw caller that introduces itself as soon as it connects, before the host
// takes the call, so that its nickname is read on its own. Returns the host's
// greeting once it has come, or nothing when told not to wait for it.
static QByteArray call(QTcpSocket& raw, End& host, const QByteArray& nick, bool wait = true) {
    raw.connectToHost(QHostAddress::LocalHost, host.socket.LocalPort());
    raw.write("/nick " + nick);
    raw.waitForBytesWritten(kWait);
    QByteArray got;
    (void)QTest::qWaitFor([&] { return !wait || (got += raw.readAll()).endsWith("Server"); },
                          kWait);
    return got;
}

class Loopback : public QObject {
    Q_OBJECT
private slots:
    // A call over IPv6 from the address box, a chat line, "/disconnect"; a call
    // over IPv4 from the Connect button, a chat line, the window closed.
    void windowsChat() {
        QTcpServer probe; // a free port, which the host listens on again after each call
        const quint16 port = (probe.listen(), probe.serverPort());
        probe.close();
        End host(hostSide, port), caller(callerSide, port);
        for (const QString ip : {"::1", "127.0.0.1"}) {
            const bool first = ip == "::1";
            caller.find<QComboBox>("cboAddress")->setEditText(ip);
            first ? QTest::keyClick(caller.find("cboAddress"), '\r')
                  : QTest::mouseClick(caller.find("cmdConnect"), Qt::LeftButton);
            WAIT_FOR(host.status() == "Connected to " + ip); // not ::ffff:
            // A local command, taken once the host has confirmed the call: the host
            // reads the caller's nickname before the chat line, not joined to it.
            caller.say("/help");
            caller.say("h\u00e9llo \u263a"); // sent as UTF-8
            WAIT_FOR(host.shown().endsWith("\nClient: h\u00e9llo \u263a"));
            first ? caller.say("/disconnect") : void(caller.window.close()); // says goodbye
            WAIT_FOR(host.status() == "Listening...");
        }
    }

    // The host shows every byte the peer sent. Pasting long lines to a peer that
    // reads nothing, it holds back at some point and says so. When the peer goes
    // (before the host's greeting, after a burst, resetting with unread data), it
    // ends the conversation and takes the next caller.
    void peerVanishes() {
        const std::tuple<bool, QByteArray, QString> rows[] = {
            {false, "", ""},
            {true, QByteArray("a burst of words ").repeated(6000), ""}, // 102,000 bytes
            {true, "", QString("all work and no play ").repeated(12000)},
        };
        for (const auto& [greeted, said, hostPastes] : rows) {
            End host(hostSide, 0);
            QTcpSocket raw, next;
            QCOMPARE(call(raw, host, "X", greeted).endsWith("/nick Server"), greeted);
            raw.setReadBufferSize(1); // from here on the peer takes nothing off the connection
            raw.write(said);
            WAIT_FOR(hostPastes.isEmpty() ||
                     (host.say(hostPastes), host.shown().contains("not receiving")));
            raw.disconnectFromHost();
            WAIT_FOR(host.shown().endsWith("\n>> X disconnected."));
            // Reads may have joined lines or cut them: the texts together are what was sent.
            const QStringList entries = host.shown().split('\n').filter(QRegularExpression("^X: "));
            QCOMPARE(entries.join(QString()).remove("X: "), QString(said));
            QVERIFY(call(next, host, "Y").startsWith("/connection_confirmed "));
        }
    }

    // While a box the peer raised is open, its event loop running, the host goes
    // on reading, the peer's goodbye included.
    void boxRaisedByPeer() {
        End host(hostSide, 0);
        QTcpSocket raw;
        const QByteArray number = call(raw, host, "M").split('/').value(1).mid(21);
        QTimer closer;
        closer.callOnTimeout([&] {
            if (QWidget* box = QApplication::activeModalWidget()) {
                box->close(); // its event loop ends once this returns
                raw.write("/terminate " + number);
                WAIT_FOR(host.shown().endsWith("\n>> M disconnected."));
            }
        });
        closer.start(10);
        raw.write("/connect");
        WAIT_FOR(host.status() == "Listening...");
    }
};

QTEST_MAIN(Loopback)
#include "test_loopback.moc"
