// Two real chat windows and a raw TCP peer over loopback: only what real
// sockets and real widgets show together. The chat core's rules are the
// scenarios' business, the socket's the socket test's.

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
    QString lastLine() { return find<QPlainTextEdit>("txtOutput")->document()->lastBlock().text(); }
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

    // A raw caller that vanishes, resetting the connection with the host's
    // greeting unread: the host ends the conversation and takes the next caller.
    void peerVanishes() {
        End host(hostSide, 0);
        Watch hostStatus{[&] { return host.status(); }};
        QTcpSocket raw;
        raw.setReadBufferSize(1); // the greeting stays unread in the system's buffer
        raw.connectToHost(QHostAddress::LocalHost, host.socket.LocalPort());
        QCOMPARE(hostStatus.next(), QStringLiteral("Connected to 127.0.0.1"));
        raw.abort();
        QCOMPARE(hostStatus.next(), QStringLiteral("Listening..."));
        QTcpSocket next;
        next.connectToHost(QHostAddress::LocalHost, host.socket.LocalPort());
        WAIT_FOR(next.bytesAvailable() > 0);
        QVERIFY(next.readAll().startsWith("/connection_confirmed "));
    }
};

QTEST_MAIN(Loopback)
#include "test_loopback.moc"
