// Finding the other side: the address list's rules, the recent-addresses
// file, the announcement and the list following the chat model, in tables.

#include "ChatEnd.h"
#include "Discovery.h"
#include "FakeDnsSd.h"
#include "FakeEnd.h"

#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QTemporaryDir>
#include <QTest>

using namespace parlo;
using namespace parlo::test;

namespace {

QString listed(const QList<AddressEntry>& entries) {
    RecordingControls controls;
    controls.setAddressList(entries);
    return controls.shown["list"];
}

QStringList numbered(int count, const QString& prefix) {
    QStringList names;
    for (int index = 0; index < count; ++index) {
        names << prefix + QString::number(index + 10);
    }
    return names;
}

QString writeFile(const QString& path, const QByteArray& content) {
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(content) ? path : QString();
}

} // namespace

class TestDiscovery : public QObject {
    Q_OBJECT
private slots:
    void addressList() {
        const QList<FoundHost> hosts{{"b", "10.0.0.2", 1983}, {"A", "10.0.0.1", 1983}};
        const std::tuple<QList<FoundHost>, QStringList, QString> rows[] = {
            {hosts,
             {"r1", "r2"},
             "A>10.0.0.1;b>10.0.0.2;r1>r1;r2>r2;"}, // found by name, then recent
            {{{"H", "fe80::1%eth0", 1983}, {"H", "10.0.0.1", 1983}}, {}, "H>10.0.0.1;"},
            {{{"H", "fe80::1%eth0", 1983}}, {}, "H>fe80::1%eth0;"},
            {{{"a\nb" + QString(70, 'x'), "::1", 1983}}, {}, "a␊b" + QString(61, 'x') + ">::1;"},
            {{{"no address", "", 1983}, {"other port", "10.0.0.3", 80}}, {}, ""},
            {{{"name", "evil.example", 1983}, {"junk", "1.2.3.4;x", 1983}}, {}, ""},
            {{}, {"a", "", "a", "b"}, "a>a;b>b;"}, // recent: each once
        };
        for (const auto& [found, recent, expected] : rows) {
            QCOMPARE(listed(composeAddressList(found, recent, 1983)), expected);
        }
        QList<FoundHost> many;
        for (const QString& name : numbered(60, "host ")) {
            many.append({name, "10.0.0.1", 1983});
        }
        const auto list = composeAddressList(many, numbered(12, "r"), 1983);
        QCOMPARE(list.size(), 50 + 10);
        QCOMPARE(list[49].shown, "host 59");
        QCOMPARE(list.last().address, "r19");
        QCOMPARE(dnsSdInstanceName(QString(40, u'é')).toUtf8().size(), 62); // 63 bytes at most
        QCOMPARE(ownAddressesText({QHostAddress("127.0.0.1"), QHostAddress("::1"),
                                   QHostAddress("fe80::1"), QHostAddress("192.168.1.5"),
                                   QHostAddress("2001:db8::5"), QHostAddress("192.168.1.5")}),
                 "192.168.1.5, 2001:db8::5");
    }

    void recentFile() {
        QTemporaryDir dir;
        const QString path = dir.filePath("sub/recent.json");
        const std::tuple<QString, QStringList> rows[] = {
            {dir.filePath("missing.json"), {}},
            {writeFile(dir.filePath("good"), R"({"addresses": ["a", "b"]})"), {"a", "b"}},
            {writeFile(dir.filePath("not-json"), "addresses: a"), {}},
            {writeFile(dir.filePath("not-string"), R"({"addresses": ["a", 1]})"), {}},
            {writeFile(dir.filePath("array"), R"(["a"])"), {}},
            {writeFile(dir.filePath("huge"),
                       R"({"addresses": [")" + QByteArray(70000, 'a') + R"("]})"),
             {}},
            {dir.path(), {}}, // a folder where the file should be
        };
        for (const auto& [file, expected] : rows) {
            QCOMPARE(RecentAddresses(file).load(), expected);
        }
        QVERIFY(RecentAddresses(path).save({"x", "y"}));
        QCOMPARE(RecentAddresses(path).load(), QStringList({"x", "y"})); // as after a restart
        QVERIFY(!RecentAddresses(dir.filePath("good/recent.json")).save({"x"}));
    }

    void hostAnnouncement() {
        const std::tuple<bool, QString> rows[] = {
            {false, "- ¦ Server on box 1983 ¦ Bob on box 1983 ¦ - ¦ Bob on box 1983"},
            {true, "- ¦ -"}, // the port is taken: never announced
        };
        for (const auto& [portTaken, expected] : rows) {
            FakeEnd host(true);
            FakeAnnouncer announcer;
            Announcement announcement(host.form, announcer, "box", 1983);
            host.socket.listenFails = portTaken;
            host.form.Form_Load();
            host.controls.shown["input"] = "/nick Bob";
            host.form.cmdSend_Click();
            emit host.socket.ConnectionRequest(5);
            host.socket.incoming = "/nick Raw/terminate 5";
            emit host.socket.DataArrival();
            QCOMPARE(announcer.calls.join(" ¦ "), expected);
        }
    }

    void callerList() {
        QTemporaryDir dir;
        const RecentAddresses store(writeFile(dir.filePath("r"), R"({"addresses": ["old"]})"));
        FakeEnd caller(false);
        FakeBrowser browser;
        AddressListFeed feed(caller.form, caller.controls, browser, store, 1983);
        caller.form.Form_Load();
        QCOMPARE(caller.controls.shown["list"], "old>old;");
        emit browser.servicesChanged({{"Server on box", "127.0.0.1", 1983}});
        const QString found = "Server on box>127.0.0.1;";
        QCOMPARE(caller.controls.shown["list"], found + "old>old;");
        for (const QString address : {"unconfirmed", "new"}) {
            caller.controls.shown["address"] = address;
            caller.form.cmdConnect_Click();
            caller.socket.connected = true;
            emit caller.socket.Connected();
            caller.socket.incoming = address == "new" ? "/connection_confirmed 7" : "";
            emit caller.socket.DataArrival();
            caller.form.cmdConnect_Click(); // hangs up again
        }
        QCOMPARE(caller.controls.shown["list"], found + "new>new;old>old;");
        QCOMPARE(store.load(), QStringList({"new", "old"}));
    }

    void window() {
        // The caller's box: empty at start, what is typed stays when the list
        // changes, and a chosen entry puts its address in the box.
        CallerSide callerSide;
        ChatEnd caller(callerSide, {.port = 0});
        caller.window.start();
        auto* box = caller.window.findChild<QComboBox*>("cboAddress");
        caller.window.setAddressList({{"Server on box", "10.0.0.1"}});
        QCOMPARE(box->currentText(), "");
        box->setEditText("typed");
        box->lineEdit()->setCursorPosition(2);
        caller.window.setAddressList({{"Server on box", "10.0.0.1"}, {"old", "old"}});
        QCOMPARE(box->currentText(), "typed");
        QCOMPARE(box->lineEdit()->cursorPosition(), 2);
        box->setCurrentIndex(0);
        QCOMPARE(box->currentText(), "10.0.0.1");
        // The host's addresses: text, tooltip and accessible name alike.
        HostSide hostSide;
        ChatEnd host(hostSide, {.port = 0});
        host.window.showOwnAddresses("10.0.0.1, 2001:db8::1");
        const auto* label = host.window.findChild<QLabel*>("OwnAddresses");
        QCOMPARE(label->text() + label->toolTip() + label->accessibleName(),
                 QString("10.0.0.1, 2001:db8::1").repeated(3));
    }
};

QTEST_MAIN(TestDiscovery)
#include "test_discovery.moc"
