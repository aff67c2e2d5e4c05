// A peer that stops reading while we keep sending: what we hold for it must
// stay bounded, the user must be told, the window must not freeze, and once
// the peer reads again everything accepted arrives, in order.
#include "LiveChat.h"
#include "testSuites.h"

#include <QTest>
#include <QTimer>

using namespace parlo;
using namespace parlo::faults;

class BackpressureTest : public QObject {
    Q_OBJECT
private slots:
    void peerStopsReading();
    void floodWhileWeAreBusy();
};

void BackpressureTest::peerStopsReading() {
    auto host = startHost();
    QTcpSocket raw;
    QVERIFY(connectRawCaller(*host, raw) > 0);
    // From here on the raw caller reads nothing: its buffer stays small and full.
    raw.setReadBufferSize(1);
    QByteArray received = raw.readAll();

    int ticks = 0;
    QTimer heartbeat;
    QObject::connect(&heartbeat, &QTimer::timeout, [&] { ++ticks; });
    heartbeat.start(1);

    const QString refused = QStringLiteral("\r\n>> Your peer is not receiving: message not sent.");
    const qsizetype lineSize = 64 * 1024;
    QByteArray accepted;
    int attempts = 0;
    bool told = false;
    // Enough to exceed our backlog many times over even with generous kernel buffers.
    const int maxAttempts = int((QtStreamSocket::kMaxBacklogBytes * 8) / lineSize);
    while (!told && attempts < maxAttempts) {
        const QString line = QString::fromLatin1(QByteArray(lineSize, char('a' + attempts % 26)));
        host->type(line);
        told = host->controls.output.endsWith(refused);
        if (!told) {
            accepted += line.toLatin1();
        }
        ++attempts;
        QCoreApplication::processEvents(); // the window goes on living between lines
    }
    QVERIFY(told);
    // What we hold beyond what the kernel took is bounded by the backlog limit.
    QCOMPARE(host->socket.SendData(QStringLiteral("x")), StreamSocket::SendResult::Backlogged);
    QVERIFY(accepted.size() < QtStreamSocket::kMaxBacklogBytes * 4);
    QVERIFY(ticks > 0);
    QCOMPARE(host->socket.State(), int(StreamSocket::sckConnected));

    // The peer reads again: every accepted line arrives, whole and in order.
    raw.setReadBufferSize(0);
    QVERIFY(pumpUntil(
        [&] {
            received += raw.readAll();
            return received.size() >= accepted.size();
        },
        60000));
    QCOMPARE(received.size(), accepted.size());
    QVERIFY(received == accepted);

    // And sending works again.
    host->type(QStringLiteral("back to normal"));
    QVERIFY(!host->controls.output.endsWith(refused));
    QVERIFY(readUntil(raw, received, "back to normal"));
}

// The other way round: the peer floods while we are busy (a box is open) and do
// not take its data. What we hold for it must stay bounded: TCP holds the rest
// back at the sender, and all of it arrives, in order, once we read again.
void BackpressureTest::floodWhileWeAreBusy() {
    auto host = startHost();
    QTcpSocket raw;
    QVERIFY(connectRawCaller(*host, raw) > 0);

    const qint64 floodBytes = 64LL * 1024 * 1024;
    QByteArray flood(floodBytes, Qt::Uninitialized);
    for (qint64 i = 0; i < floodBytes; ++i) {
        flood[i] = char('a' + (i / 7) % 26);
    }
    qint64 stillAtSender = 0;
    host->controls.onBox = [&] {
        raw.write(flood);
        // The box stays open a while; the event loop runs, our chat reads nothing.
        QTest::qWait(1000);
        stillAtSender = raw.bytesToWrite();
    };
    const qsizetype from = host->controls.output.size();
    raw.write("/change_name");
    raw.flush();
    QTRY_COMPARE_WITH_TIMEOUT(host->controls.boxes.size(), 1, 10000);
    // Far more than kernel buffers hold is still waiting at the sender.
    QVERIFY2(stillAtSender > floodBytes / 2, qPrintable(QString::number(stillAtSender)));

    // Prefixes included, the transcript grows by at least the flood once it is all shown.
    QTRY_VERIFY_WITH_TIMEOUT(host->controls.output.size() - from >= floodBytes, 120000);
    QTest::qWait(200);
    QVERIFY(withoutSpeaker(host->outputSince(from), QStringLiteral("Raw")) ==
            QString::fromLatin1(flood));
}

int runBackpressureTests(int argc, char** argv) {
    BackpressureTest test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_backpressure.moc"
