// Two real chat windows and raw TCP peers over loopback: only what real
// sockets, real widgets and real modal boxes show. The chat core's rules are
// the scenarios' business.

#include "CallerSide.h"
#include "ChatEnd.h"
#include "HostSide.h"

#include <QtNetwork>
#include <QtTest>
#include <QtWidgets>

// Loopback answers in milliseconds; this only bounds a broken build.
static constexpr int kWait = 10000;
#define WAIT_FOR(condition) QTRY_VERIFY2_WITH_TIMEOUT(condition, "waited for " #condition, kWait)

static const parlo::HostSide hostSide;
static const parlo::CallerSide callerSide;

// A chat end as the programs assemble it, started, driven and read through its controls.
struct End : parlo::ChatEnd {
    End(const parlo::ChatSide& side, quint16 port) : ChatEnd(side, {.port = port}) {
        window.start();
    }
    template <typename T = QWidget> T* find(const char* name) { return window.findChild<T*>(name); }
    QString shown() { return find<QPlainTextEdit>("txtOutput")->toPlainText(); }
    QString lastLine() { return shown().section(QLatin1Char('\n'), -1); }
    QString status() { return find<QLabel>("Status")->text(); }
    // Pastes a line and presses Enter until it is taken (the caller takes none
    // before the host has confirmed the call), each time after a turn of the
    // event loop, in which the peer reads what was sent before.
    bool say(const QString& line) {
        QLineEdit* box = find<QLineEdit>("txtSend");
        box->insert(line);
        return QTest::qWaitFor(
            [box] {
                QCoreApplication::processEvents();
                QTest::keyClick(box, Qt::Key_Return);
                return box->text().isEmpty();
            },
            kWait);
    }
};

// The next text a control shows: what it shows once it has changed, so that a
// wrong change fails at once; when nothing changes, it says what it waited for.
struct Watch {
    std::function<QString()> read;
    QString last = read();

    QString next() {
        const QString before = last;
        const auto changed = [&] {
            last = read();
            return last != before;
        };
        return QTest::qWaitFor(changed, kWait)
                   ? last
                   : QStringLiteral("(no change from \"%1\")").arg(before);
    }
};

// A raw caller that introduces itself as soon as it connects, before the host
// takes the call, so that its nickname is read on its own. Returns the host's
// greeting once it has come, or nothing when told not to wait for it.
static QByteArray call(QTcpSocket& raw, End& host, const QByteArray& nick, bool awaitGreeting) {
    raw.connectToHost(QHostAddress::LocalHost, host.socket.LocalPort());
    raw.write("/nick " + nick);
    raw.waitForBytesWritten(kWait);
    QByteArray greeting;
    // All of it has come once "/nick " and a name as long as "Server" are there.
    const auto greeted = [&] {
        greeting += raw.readAll();
        const qsizetype nick = greeting.indexOf("/nick ");
        return nick >= 0 && greeting.size() >= nick + 12;
    };
    if (awaitGreeting) {
        static_cast<void>(QTest::qWaitFor(greeted, kWait)); // the caller checks the greeting
    }
    return greeting;
}

class Loopback : public QObject {
    Q_OBJECT
private slots:
    // A call over IPv6 from the address box, a chat line, "/disconnect"; a call
    // over IPv4 from the Connect button, a chat line, the window closed.
    void windowsChat() {
        QTcpServer probe; // a free port, which the host listens on again after each call
        QVERIFY(probe.listen());
        const quint16 port = probe.serverPort();
        probe.close();
        End host(hostSide, port);
        End caller(callerSide, port);
        Watch hostStatus{[&] { return host.status(); }};
        Watch hostLine{[&] { return host.lastLine(); }};
        for (const QString ip : {"::1", "127.0.0.1"}) {
            const bool first = ip == "::1";
            caller.find<QComboBox>("cboAddress")->setEditText(ip);
            if (first) {
                QTest::keyClick(caller.find("cboAddress"), Qt::Key_Return);
            } else {
                QTest::mouseClick(caller.find("cmdConnect"), Qt::LeftButton);
            }
            QCOMPARE(hostStatus.next(), "Connected to " + ip); // not ::ffff:
            // A local command, taken once the host has confirmed the call: the host
            // reads the caller's nickname before the chat line, not joined to it.
            QVERIFY(caller.say("/help"));
            QVERIFY(caller.say("h\u00e9llo \u263a")); // sent as UTF-8
            QCOMPARE(hostLine.next(), "Client: h\u00e9llo \u263a");
            if (first) {
                QVERIFY(caller.say("/disconnect"));
            } else {
                caller.window.close(); // says goodbye
            }
            QCOMPARE(hostStatus.next(), QStringLiteral("Listening..."));
            QCOMPARE(hostLine.next(), QStringLiteral(">> Client disconnected."));
        }
    }

    // The host shows every byte the peer sent. When the peer goes (resetting with
    // the host's greeting unread, or after a burst), it ends the conversation and
    // takes the next caller.
    void peerVanishes() {
        const std::pair<bool, QByteArray> rows[] = {
            {false, ""}, {true, QByteArray("a burst of words ").repeated(6000)}, // 102,000 bytes
        };
        for (const auto& [greeted, said] : rows) {
            End host(hostSide, 0);
            QTcpSocket raw;
            QTcpSocket next;
            QCOMPARE(call(raw, host, "X", greeted).endsWith("/nick Server"), greeted);
            raw.setReadBufferSize(1); // from here on the peer takes nothing off the connection
            raw.write(said);
            raw.disconnectFromHost();
            WAIT_FOR(host.lastLine() == QLatin1String(">> X disconnected."));
            // Reads may have joined lines or cut them: the texts together are what was sent.
            const QStringList entries = host.shown().split('\n').filter(QRegularExpression("^X: "));
            QCOMPARE(entries.join(QString()).remove("X: "), QString(said));
            QVERIFY(call(next, host, "Y", true).startsWith("/connection_confirmed "));
        }
    }

    // While a box the peer raised is open, its event loop running, the host goes
    // on reading, the peer's goodbye included.
    void boxRaisedByPeer() {
        End host(hostSide, 0);
        QTcpSocket raw;
        const QByteArray greeting = call(raw, host, "M", true);
        const QByteArray number = greeting.split('/').value(1).mid(21);
        bool goodbyeSeen = false;
        QTimer closer;
        closer.callOnTimeout([&] {
            if (QWidget* box = QApplication::activeModalWidget()) {
                box->close(); // its event loop ends once this returns
                raw.write("/terminate " + number);
                goodbyeSeen = QTest::qWaitFor(
                    [&] { return host.lastLine() == QLatin1String(">> M disconnected."); }, kWait);
            }
        });
        closer.start(10);
        Watch hostStatus{[&] { return host.status(); }};
        raw.write("/connect");
        QCOMPARE(hostStatus.next(), QStringLiteral("Listening..."));
        QVERIFY(goodbyeSeen);
    }
};

QTEST_MAIN(Loopback)
#include "test_loopback.moc"
