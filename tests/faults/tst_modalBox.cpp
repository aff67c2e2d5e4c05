// A received keyword that raises a modal box: while the box is open the event
// loop runs, and more data arrives. Nothing may be routed in the middle of the
// box's handler, and everything must be shown, in order, once it closes.
#include "LiveChat.h"
#include "testSuites.h"

#include <QTest>

using namespace parlo;
using namespace parlo::faults;

class ModalBoxTest : public QObject {
    Q_OBJECT
private slots:
    void dataWhileBoxIsOpen_data();
    void dataWhileBoxIsOpen();
};

void ModalBoxTest::dataWhileBoxIsOpen_data() {
    QTest::addColumn<bool>("host");
    QTest::addColumn<QByteArray>("keyword");
    QTest::addColumn<QString>("box");
    const QString sameName =
        QStringLiteral("Your peer has the same name as you, you have 60 secs to change yours.");
    QTest::newRow("host, peer connect")
        << true << QByteArray("/connect 10.0.0.1") << QStringLiteral("peer connect");
    QTest::newRow("host, peer disconnect")
        << true << QByteArray("/DISCONNECT") << QStringLiteral("peer disconnect");
    QTest::newRow("host, change name") << true << QByteArray("/change_name") << sameName;
    QTest::newRow("caller, change name") << false << QByteArray("/change_name") << sameName;
}

void ModalBoxTest::dataWhileBoxIsOpen() {
    QFETCH(bool, host);
    QFETCH(QByteArray, keyword);
    QFETCH(QString, box);

    std::unique_ptr<LiveEnd> end;
    QTcpSocket hostPeer;
    QTcpServer server;
    QTcpSocket* raw = nullptr;
    QString peer;
    if (host) {
        end = startHost();
        QVERIFY(connectRawCaller(*end, hostPeer) > 0);
        raw = &hostPeer;
        peer = QStringLiteral("Raw");
    } else {
        end = std::make_unique<LiveEnd>(false);
        end->form.Form_Load();
        raw = acceptRawHost(server, *end, 7);
        QVERIFY(raw);
        peer = QStringLiteral("RawHost");
    }

    const QList<QByteArray> lines = {"first after the box", "second", "third and last"};
    QString openedOn;
    bool routedWhileOpen = false;
    end->controls.onBox = [&] {
        // The box is open: the peer goes on talking and the event loop runs.
        openedOn = end->controls.output;
        for (const QByteArray& line : lines) {
            raw->write(line);
            raw->flush();
            QTest::qWait(30);
        }
        QTest::qWait(200);
        routedWhileOpen = end->controls.output != openedOn;
    };

    raw->write(keyword);
    raw->flush();
    QTRY_COMPARE_WITH_TIMEOUT(end->controls.boxes.size(), 1, 10000);
    QCOMPARE(end->controls.boxes.first(), box);
    QVERIFY(!routedWhileOpen);

    QString expected;
    for (const QByteArray& line : lines) {
        expected += QString::fromLatin1(line);
    }
    QTRY_COMPARE_WITH_TIMEOUT(withoutSpeaker(end->outputSince(openedOn.size()), peer), expected,
                              10000);
    QCOMPARE(end->controls.boxes.size(), 1);
    QCOMPARE(end->socket.State(), int(StreamSocket::sckConnected));
}

int runModalBoxTests(int argc, char** argv) {
    ModalBoxTest test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_modalBox.moc"
