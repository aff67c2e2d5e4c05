// The real platform layers of the machine the tests run on.
#include "LauncherFailure.h"
#include "ProgramStarter.h"
#include "modIEOps.h"
#include "testSuites.h"

#include <QTest>

class PlatformLayerTest : public QObject {
    Q_OBJECT
private slots:
    void defaultLauncherClickIsHarmless();
    void starterReportsFailure_data();
    void starterReportsFailure();
};

void PlatformLayerTest::defaultLauncherClickIsHarmless() {
#ifdef _WIN32
    QSKIP("Windows has a registry; the browser might really start.");
#else
    modIEOps& launcher = defaultIEOps();
    QVERIFY(&launcher == &defaultIEOps());

    for (int click = 0; click < 2; ++click) {
        QCOMPARE(launcher.showDoc(QStringLiteral("www.parlo.example"), 6), QString());
    }
    const QString path = launcher.cachedPath();
    QVERIFY2(path.startsWith(QStringLiteral("Error in 'getIEPath' - ")), qPrintable(path));
    QVERIFY2(path.contains(QStringLiteral("advapi32.dll")), qPrintable(path));
    const QString version = launcher.cachedVersion();
    QVERIFY2(version.startsWith(QStringLiteral("Error in 'getIEVersion' - ")), qPrintable(version));
#endif
}

void PlatformLayerTest::starterReportsFailure_data() {
    QTest::addColumn<QString>("commandLine");
    QTest::addColumn<QString>("program"); // named in the description

    QTest::newRow("empty") << QString() << QString();
    QTest::newRow("blanks only") << QStringLiteral("   ") << QString();
    QTest::newRow("no such program")
        << QStringLiteral("/nonexistent/parlo-test/IExplore.exe www.parlo.example")
        << QStringLiteral("/nonexistent/parlo-test/IExplore.exe");
    QTest::newRow("quoted path with spaces")
        << QStringLiteral("\"/nonexistent/Program Files/IExplore.exe\" www.parlo.example")
        << QStringLiteral("/nonexistent/Program Files/IExplore.exe");
}

void PlatformLayerTest::starterReportsFailure() {
    QFETCH(QString, commandLine);
    QFETCH(QString, program);
    QString description;
    try {
        systemProgramStarter().start(commandLine);
        QFAIL("the start of a program that does not exist was reported as a success");
    } catch (const LauncherFailure& failure) {
        description = failure.description();
    }
    QVERIFY2(!description.trimmed().isEmpty(), "a failed start must say why");
    QVERIFY2(description != QStringLiteral("Unknown error"), qPrintable(description));
    // The whole quoted path, spaces included, is the program that was tried.
    QVERIFY2(description.contains(program), qPrintable(description));
}

int runPlatformLayerTests(int argc, char** argv) {
    PlatformLayerTest test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_platformLayers.moc"
