// The browser launcher against a fake registry and a fake program starter.
#include "FakeProgramStarter.h"
#include "FakeRegistryReader.h"
#include "modIEOps.h"
#include "testSuites.h"

#include <QTest>

namespace {

const QByteArray kPathKey = "Software\\Microsoft\\Windows\\CurrentVersion\\App Paths\\IEXPLORE.EXE";
const QByteArray kVersionKey = "Software\\Microsoft\\Internet Explorer";
const QString kUrl = QStringLiteral("www.parlo.example");
const QString kDefaultPath = QStringLiteral("C:\\Program Files\\Internet Explorer;");
const QString kDefaultCommand =
    QStringLiteral("\"C:\\Program Files\\Internet Explorer\\IExplore.exe\" www.parlo.example");
const QString kEmptyPathFailure =
    QStringLiteral("Error in 'showDoc' - cannot drop the last character of an empty path");

struct Rig {
    FakeRegistryReader registry;
    FakeProgramStarter starter;
    modIEOps ops{registry, starter};

    void setPath(const QByteArray& path) { registry.setString(kPathKey, "Path", path); }
    void setVersion(const QByteArray& version) {
        registry.setString(kVersionKey, "Version", version);
    }
};

// How a reader's value is set up in readerResults.
enum class Setup {
    Present,
    UnterminatedValue,
    OpenDenied,
    KeyMissing,
    ValueMissing,
    SizeQueryFails,
    DataReadFails,
    SizeZero,
    RegistryUnavailable,
};

} // namespace

Q_DECLARE_METATYPE(Setup)

class ModIEOpsTest : public QObject {
    Q_OBJECT
private slots:
    void versionGate_data();
    void versionGate();
    void commandLine_data();
    void commandLine();
    void readsRegistryOnceWhenPathFound();
    void rereadsWhilePathMissing_data();
    void rereadsWhilePathMissing();
    void readerResults_data();
    void readerResults();
    void opensBothKeysReadOnlyPathFirst();
    void errorTextCachedAsPath();
    void failedStartGivesShowDocError();
    void unreachableRegistryStartsNothing();
};

void ModIEOpsTest::versionGate_data() {
    QTest::addColumn<bool>("versionPresent");
    QTest::addColumn<QByteArray>("version");
    QTest::addColumn<int>("minVersion");
    QTest::addColumn<bool>("starts");

    QTest::newRow("missing value") << false << QByteArray() << 6 << false;
    QTest::newRow("empty") << true << QByteArray("") << 6 << false;
    QTest::newRow("5.5") << true << QByteArray("5.5") << 6 << false;
    QTest::newRow("6.0") << true << QByteArray("6.0") << 6 << true;
    QTest::newRow("9.11") << true << QByteArray("9.11") << 6 << true;
    QTest::newRow("11.0 reads as 1") << true << QByteArray("11.0") << 6 << false;
    QTest::newRow("10.0 reads as 1") << true << QByteArray("10.0") << 6 << false;
    QTest::newRow("letter first reads as 0") << true << QByteArray("v9.0") << 6 << false;
    QTest::newRow("space first reads as 0") << true << QByteArray(" 9.0") << 6 << false;
    QTest::newRow("5.5 against 5") << true << QByteArray("5.5") << 5 << true;
    QTest::newRow("11.0 against 1") << true << QByteArray("11.0") << 1 << true;
    QTest::newRow("empty against 0") << true << QByteArray("") << 0 << true;
}

void ModIEOpsTest::versionGate() {
    QFETCH(bool, versionPresent);
    QFETCH(QByteArray, version);
    QFETCH(int, minVersion);
    QFETCH(bool, starts);

    Rig rig;
    rig.setPath(kDefaultPath.toLatin1());
    if (versionPresent) {
        rig.setVersion(version);
    } else {
        rig.registry.addKey(kVersionKey);
    }

    QCOMPARE(rig.ops.showDoc(kUrl, static_cast<qint16>(minVersion)), QString());
    QCOMPARE(rig.starter.commandLines, starts ? QStringList{kDefaultCommand} : QStringList{});
}

void ModIEOpsTest::commandLine_data() {
    QTest::addColumn<QByteArray>("path");
    QTest::addColumn<QString>("url");
    QTest::addColumn<QString>("expected");

    QTest::newRow("trailing semicolon")
        << QByteArray("C:\\Program Files\\Internet Explorer;") << kUrl << kDefaultCommand;
    QTest::newRow("trailing backslash")
        << QByteArray("C:\\IE\\") << kUrl
        << QStringLiteral("\"C:\\IE\\IExplore.exe\" www.parlo.example");
    QTest::newRow("last letter dropped too")
        << QByteArray("C:\\IEX") << kUrl
        << QStringLiteral("\"C:\\IE\\IExplore.exe\" www.parlo.example");
    QTest::newRow("one character leaves nothing")
        << QByteArray("Z") << kUrl << QStringLiteral("\"\\IExplore.exe\" www.parlo.example");
    QTest::newRow("address passed as given")
        << QByteArray("D:\\Web Browsers\\IE;") << QStringLiteral("http://a.example/x?y=1&z=2 #top")
        << QStringLiteral("\"D:\\Web Browsers\\IE\\IExplore.exe\" http://a.example/x?y=1&z=2 #top");
}

void ModIEOpsTest::commandLine() {
    QFETCH(QByteArray, path);
    QFETCH(QString, url);
    QFETCH(QString, expected);

    Rig rig;
    rig.setPath(path);
    rig.setVersion("6.0");

    QCOMPARE(rig.ops.showDoc(url, 6), QString());
    QCOMPARE(rig.starter.commandLines, QStringList{expected});
}

void ModIEOpsTest::readsRegistryOnceWhenPathFound() {
    Rig rig;
    rig.setPath(kDefaultPath.toLatin1());
    rig.setVersion("6.0");

    QCOMPARE(rig.ops.showDoc(kUrl, 6), QString());
    QCOMPARE(rig.registry.opens(), 2);
    const int queriesAfterFirst = rig.registry.queries();

    // Later changes in the registry are not seen: the cache holds.
    rig.setPath("E:\\Elsewhere;");
    rig.setVersion("5.0");
    QCOMPARE(rig.ops.showDoc(QStringLiteral("https://second.example/"), 6), QString());

    QCOMPARE(rig.registry.opens(), 2);
    QCOMPARE(rig.registry.queries(), queriesAfterFirst);
    QCOMPARE(rig.starter.commandLines,
             (QStringList{kDefaultCommand,
                          QStringLiteral("\"C:\\Program Files\\Internet Explorer\\IExplore.exe\" "
                                         "https://second.example/")}));
}

void ModIEOpsTest::rereadsWhilePathMissing_data() {
    QTest::addColumn<QByteArray>("version");
    QTest::addColumn<QString>("expected");

    QTest::newRow("version passes: removal fails") << QByteArray("6.0") << kEmptyPathFailure;
    QTest::newRow("version fails: nothing to do") << QByteArray("5.0") << QString();
}

void ModIEOpsTest::rereadsWhilePathMissing() {
    QFETCH(QByteArray, version);
    QFETCH(QString, expected);

    Rig rig;
    rig.registry.addKey(kPathKey);
    rig.setVersion(version);

    for (int call = 1; call <= 3; ++call) {
        QCOMPARE(rig.ops.showDoc(kUrl, 6), expected);
        QCOMPARE(rig.registry.opens(), 2 * call);
        QCOMPARE(rig.ops.cachedPath(), QString());
        QCOMPARE(rig.ops.cachedVersion(), QString::fromLatin1(version));
    }
    QCOMPARE(rig.starter.commandLines, QStringList{});

    // A path that turns up later is found by the next call.
    rig.setPath(kDefaultPath.toLatin1());
    rig.setVersion("7.0");
    QCOMPARE(rig.ops.showDoc(kUrl, 6), QString());
    QCOMPARE(rig.registry.opens(), 8);
    QCOMPARE(rig.starter.commandLines, QStringList{kDefaultCommand});
}

void ModIEOpsTest::readerResults_data() {
    QTest::addColumn<bool>("readPath");
    QTest::addColumn<Setup>("setup");
    QTest::addColumn<QString>("expected");
    QTest::addColumn<int>("closes");

    const QString sizeZero = QStringLiteral(
        "the registry reported a value of size 0, so there is no terminating NUL to cut");
    const QString unreachable = QStringLiteral("no registry here");

    for (const bool readPath : {true, false}) {
        const char* reader = readPath ? "getIEPath" : "getIEVersion";
        const QString prefix = QStringLiteral("Error in '%1' - ").arg(QLatin1String(reader));
        const auto row = [&](const char* name) -> QTestData& {
            return QTest::addRow("%s: %s", reader, name) << readPath;
        };
        row("present") << Setup::Present << QStringLiteral("abc 1.2;") << 1;
        row("unterminated value loses its last byte")
            << Setup::UnterminatedValue << QStringLiteral("abc") << 1;
        row("open denied") << Setup::OpenDenied << QString() << 1;
        row("key missing") << Setup::KeyMissing << QString() << 1;
        row("value missing") << Setup::ValueMissing << QString() << 1;
        row("size query fails") << Setup::SizeQueryFails << QString() << 1;
        row("data read fails: spaces remain")
            << Setup::DataReadFails << QString(9, QLatin1Char(' ')) << 1;
        row("size 0") << Setup::SizeZero << prefix + sizeZero << 1;
        row("registry unreachable") << Setup::RegistryUnavailable << prefix + unreachable << 0;
    }
}

void ModIEOpsTest::readerResults() {
    QFETCH(bool, readPath);
    QFETCH(Setup, setup);
    QFETCH(QString, expected);
    QFETCH(int, closes);

    Rig rig;
    const QByteArray key = readPath ? kPathKey : kVersionKey;
    const QByteArray name = readPath ? "Path" : "Version";
    const QByteArray value = "abc 1.2;";

    switch (setup) {
    case Setup::Present:
        rig.registry.setString(key, name, value);
        break;
    case Setup::UnterminatedValue:
        rig.registry.setRawValue(key, name, "abcd");
        break;
    case Setup::OpenDenied:
        rig.registry.setString(key, name, value);
        rig.registry.failOpens(registry::kAccessDenied);
        break;
    case Setup::KeyMissing:
        break;
    case Setup::ValueMissing:
        rig.registry.addKey(key);
        break;
    case Setup::SizeQueryFails:
        rig.registry.setString(key, name, value);
        rig.registry.failQueries(name, registry::kAccessDenied,
                                 FakeRegistryReader::FailedQuery::Every);
        break;
    case Setup::DataReadFails:
        rig.registry.setString(key, name, value);
        rig.registry.failQueries(name, registry::kAccessDenied,
                                 FakeRegistryReader::FailedQuery::DataRead);
        break;
    case Setup::SizeZero:
        rig.registry.setRawValue(key, name, QByteArray());
        break;
    case Setup::RegistryUnavailable:
        rig.registry.makeUnavailable(QStringLiteral("no registry here"));
        break;
    }

    const QString result = readPath ? rig.ops.getIEPath() : rig.ops.getIEVersion();

    QCOMPARE(result, expected);
    // The key is closed whether or not the queries succeeded, and only the key opened.
    QCOMPARE(rig.registry.closedKeys.size(), closes);
    if (closes == 1) {
        const RegistryKey opened =
            rig.registry.handedOutKeys.isEmpty() ? 0 : rig.registry.handedOutKeys.first();
        QCOMPARE(rig.registry.closedKeys.first(), opened);
    }
}

void ModIEOpsTest::opensBothKeysReadOnlyPathFirst() {
    Rig rig;
    rig.setPath(kDefaultPath.toLatin1());
    rig.setVersion("6.0");

    rig.ops.loadIEInfo();

    QCOMPARE(rig.registry.openedKeys, (QList<QByteArray>{kPathKey, kVersionKey}));
    QCOMPARE(rig.registry.accessMasks, (QList<quint32>{0x20019, 0x20019}));
    QCOMPARE(rig.registry.openOptions, (QList<quint32>{0, 0}));
    QCOMPARE(rig.ops.cachedPath(), kDefaultPath);
    QCOMPARE(rig.ops.cachedVersion(), QStringLiteral("6.0"));
}

void ModIEOpsTest::errorTextCachedAsPath() {
    Rig rig;
    rig.registry.setRawValue(kPathKey, "Path", QByteArray());
    rig.setVersion("8.0");
    rig.starter.failWith(QStringLiteral("No such file or directory"));

    QCOMPARE(rig.ops.showDoc(kUrl, 6),
             QStringLiteral("Error in 'showDoc' - No such file or directory"));
    const QString cached = rig.ops.cachedPath();
    QVERIFY2(cached.startsWith(QStringLiteral("Error in 'getIEPath' - ")), qPrintable(cached));
    QCOMPARE(rig.starter.commandLines, QStringList{QLatin1Char('"') + cached.chopped(1) +
                                                   QStringLiteral("\\IExplore.exe\" ") + kUrl});

    // The error text counts as a path: the registry is not read again.
    QCOMPARE(rig.ops.showDoc(kUrl, 6),
             QStringLiteral("Error in 'showDoc' - No such file or directory"));
    QCOMPARE(rig.registry.opens(), 2);
    QCOMPARE(rig.starter.commandLines.size(), 2);
}

void ModIEOpsTest::failedStartGivesShowDocError() {
    Rig rig;
    rig.setPath(kDefaultPath.toLatin1());
    rig.setVersion("7.0");
    rig.starter.failWith(QStringLiteral("The system cannot find the file specified."));

    QCOMPARE(rig.ops.showDoc(kUrl, 6),
             QStringLiteral("Error in 'showDoc' - The system cannot find the file specified."));
    QCOMPARE(rig.starter.commandLines, QStringList{kDefaultCommand});
    // A failed start leaves the cache alone: the next call does not read again.
    QCOMPARE(rig.ops.cachedPath(), kDefaultPath);
    rig.ops.showDoc(kUrl, 6);
    QCOMPARE(rig.registry.opens(), 2);
}

void ModIEOpsTest::unreachableRegistryStartsNothing() {
    Rig rig;
    rig.registry.makeUnavailable(QStringLiteral("no registry here"));

    QCOMPARE(rig.ops.showDoc(kUrl, 6), QString());
    QCOMPARE(rig.ops.cachedPath(), QStringLiteral("Error in 'getIEPath' - no registry here"));
    QCOMPARE(rig.ops.cachedVersion(), QStringLiteral("Error in 'getIEVersion' - no registry here"));
    QCOMPARE(rig.starter.commandLines, QStringList{});
}

int runModIEOpsTests(int argc, char** argv) {
    ModIEOpsTest test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_modIEOps.moc"
