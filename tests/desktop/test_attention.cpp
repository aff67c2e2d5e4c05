#include "ChatRig.h"

#include <QTest>

using parlo::test::ChatRig;

// A peer's line that the user should read asks the desktop for attention
// while the window is in the background; protocol traffic never does.
class TestAttention : public QObject {
    Q_OBJECT
private slots:
    void peerMessage_data();
    void peerMessage();
    void ownLinesNeverAlert_data();
    void ownLinesNeverAlert();
};

void TestAttention::peerMessage_data() {
    QTest::addColumn<bool>("host");
    QTest::addColumn<QString>("received");
    QTest::addColumn<bool>("shownToUser");

    struct Row {
        const char* name;
        const char* received;
        bool shown;
    };
    const Row rows[] = {
        {"chat line", "hello there", true},
        {"unknown keyword, shown whole", "/wave hi", true},
        {"keyword in capitals but unknown", "/SHRUG", true},
        {"confirmation without a number is shown", "/connection_confirmed soon", true},
        {"nickname change", "/nick Bob", false},
        {"goodbye for another conversation", "/terminate 999", false},
    };
    for (const bool host : {false, true}) {
        for (const Row& row : rows) {
            QTest::addRow("%s: %s", host ? "host" : "caller", row.name)
                << host << QString::fromUtf8(row.received) << row.shown;
        }
    }
    QTest::newRow("caller: confirmation") << false << "/connection_confirmed 42" << false;
}

void TestAttention::peerMessage() {
    QFETCH(bool, host);
    QFETCH(QString, received);
    QFETCH(bool, shownToUser);

    for (const bool active : {true, false}) {
        ChatRig rig(host);
        rig.connectAs(7, QStringLiteral("Peer"));
        rig.controls.active = active;
        const QString before = rig.controls.output;

        rig.socket.deliver(received);

        // The line really reached the transcript when, and only when, it is for the user.
        QCOMPARE(rig.controls.output != before, shownToUser);
        QCOMPARE(rig.controls.alerts, (shownToUser && !active) ? 1 : 0);
    }
}

void TestAttention::ownLinesNeverAlert_data() {
    QTest::addColumn<bool>("host");
    QTest::addColumn<QString>("typed");

    for (const bool host : {false, true}) {
        const char* side = host ? "host" : "caller";
        QTest::addRow("%s: chat line", side) << host << "hello";
        QTest::addRow("%s: unknown command", side) << host << "/wave";
        QTest::addRow("%s: help", side) << host << "/help";
        QTest::addRow("%s: nick", side) << host << "/nick Zed";
    }
}

void TestAttention::ownLinesNeverAlert() {
    QFETCH(bool, host);
    QFETCH(QString, typed);

    ChatRig rig(host);
    rig.connectAs(7, QStringLiteral("Peer"));
    rig.controls.active = false;
    const QString before = rig.controls.output;
    rig.type(typed);
    QVERIFY(rig.controls.output != before); // the line was routed
    QCOMPARE(rig.controls.alerts, 0);
}

QTEST_GUILESS_MAIN(TestAttention)
#include "test_attention.moc"
