// The browser launcher, the About box and its web link as one table: each row
// stores the two registry values, runs a few steps and compares everything that
// happened, in order.
#include "ProgramStarter.h"
#include "RegistryReader.h"
#include "frmAbout.h"
#include "modIEOps.h"

#include <QtTest>
#include <QtWidgets>

using namespace parlo;

// The first line defines $reads: one registry read of each value (open, close).
// Then one row a line: name | Path value | Version value | steps | what happened.
// A value is stored with its terminating NUL; "-" is no value. Rows named
// "windows: ..." run on Windows only, "desktop: ..." only where there is no registry.
// Each row has a shown About box: the host's when its steps mention "host", else the
// caller's.
// Steps: system (first) stores the values in this machine's registry instead, "-"
// removing its key, "#N" as a number (REG_DWORD), "!" making its key unreadable (both
// keys are otherwise readable only), and has the launcher use the real registry and
// program starter. These rows run only where PARLO_SCRATCH_WINDOWS=1: on a scratch
// Windows (scripts/test-windows.sh) with the stand-in browser (browser_stand_in.cpp) at
// "C:\My Browser\IExplore.exe" and a copy at "C:\My.exe", where an unquoted path
// starts, each recording "ran", its own path and its command line as it received it.
// showN opens the address u "v w" é with minimum version N; an error is recorded by its
// routine (the rest is the platform's text); read lists the path and the version as the
// launcher reads them; ran waits for the started program (after a show without error);
// texts lists the box's caption and the texts of its controls, each followed by "focus"
// when it can take the focus; drag presses the link and lets go off it, link clicks it;
// key:K types K into the focused control and records whether the box is still open;
// over:X moves the pointer over control X (the frame's bare surface for fraAbout; a
// move over any other control but the link reaches the frame) and reopen shows the box
// anew and ends it with OK: both record the link's underline. The desktop's URL handler
// records "desktop" and the address. <lblWebsite> and <Label3> stand for the texts of
// the implementer's choice: the web address and the credit line.
const char* const kTable = R"(
$reads = open Software\Microsoft\Windows\CurrentVersion\App Paths\IEXPLORE.EXE 0 20019 7; close 7; open Software\Microsoft\Internet Explorer 0 20019 7; close 7
no version reads as 0; read once, path quoted | C:\IE; | - | show1 show0 | $reads; start "C:\IE\IExplore.exe" u "v w" é
no path: read again, fail | - | 6.0 | show6 show6 | $reads; Error in 'showDoc'; $reads; Error in 'showDoc'
caller: texts, focus; OK, not Esc, closes | C:\IE; | 6.0 | caller texts key:Esc key:Space | Parlo; Parlo; Programmed and Designed by:; <Label3>; Version 1.9; Visit my website:; <lblWebsite>; focus; OK; focus; open; closed
host: hover, Esc closes, reopen | C:\IE; | 6.0 | host over:lblWebsite over:fraAbout over:lblWebsite over:Label6 key:A key:Esc reopen | plain; underlined; plain; plain; open; closed; underlined
windows: the link starts the browser on a click that ends over it | C:\IE; | 6.0 | caller drag link | $reads; start "C:\IE\IExplore.exe" <lblWebsite>
windows: the host's link wants version 6 (51 reads as 5) | C:\IE; | 51 | host link | $reads
windows: the address as typed, the path quoted, in the ANSI code page | C:\My Browser; | 6.0 | system read show6 ran | path=C:\My Browser;; version=6.0; ran C:\My Browser\IExplore.exe: "C:\My Browser\IExplore.exe" u "v w" é
windows: a start that fails is reported | C:\Nowhere; | 6.0 | system show6 | Error in 'showDoc'
windows: missing keys read as empty | - | - | system read show0 | path=; version=; Error in 'showDoc'
windows: keys that cannot be opened read as empty | !C:\My Browser; | !6.0 | system read | path=; version=
windows: a number reads as its bytes, the last cut (REG_DWORD 0x21302E36 is "6.0!") | - | #556805686 | system read | path=; version=6.0
desktop: the link opens the address on a click that ends over it, or Tab and Enter or Space | - | - | host drag link key:Tab key:Enter key:Space key:Tab key:Enter | desktop http://<lblWebsite>; open; desktop http://<lblWebsite>; open; desktop http://<lblWebsite>; open; open; closed
)";

namespace {

const QString kAddress = QStringLiteral("u \"v w\" \u00e9");
const QString kLocalMachine = QStringLiteral("HKEY_LOCAL_MACHINE\\");
const QString kPathKey =
    QStringLiteral("Software\\Microsoft\\Windows\\CurrentVersion\\App Paths\\IEXPLORE.EXE");
const QString kVersionKey = QStringLiteral("Software\\Microsoft\\Internet Explorer");
const QString kStandInKey = QStringLiteral("HKEY_CURRENT_USER\\Software\\Parlo stand-in");
constexpr RegistryKey kFakeKey = 7;

// The local-machine hive holding the row's two values, and a program starter.
// Each open records its key path, the options, the access mask and the key it
// hands out; each close the key; each start the command line.
struct FakeWindows final : RegistryReader, ProgramStarter {
    FakeWindows(const QStringList& cells, QStringList& seen) : cells(cells), seen(seen) {}

    long openLocalMachineKey(const QByteArray& subKey, quint32 options, quint32 access,
                             RegistryKey& key) override {
        key = kFakeKey;
        seen << QString("open %1 %2 %3 %4").arg(subKey).arg(options).arg(access, 0, 16).arg(key);
        return registry::kSuccess;
    }

    long queryValue(RegistryKey key, const QByteArray& valueName, quint32&, char* data,
                    quint32& size) override {
        const QString& text = valueName == "Path" ? cells[1] : cells[2];
        if (key != kFakeKey || text == "-") {
            return 2; // ERROR_FILE_NOT_FOUND
        }
        const QByteArray value = text.toLatin1() + '\0';
        const quint32 room = std::exchange(size, quint32(value.size()));
        if (room < size) {
            return registry::kMoreData;
        }
        memcpy(data, value.constData(), size);
        return registry::kSuccess;
    }

    long closeKey(RegistryKey key) override {
        seen << QString("close %1").arg(key);
        return registry::kSuccess;
    }

    void start(const QString& commandLine) override { seen << "start " + commandLine; }

    const QStringList& cells;
    QStringList& seen;
};

// Gives a key under HKEY_LOCAL_MACHINE an access list (SDDL) through the helper.
void setAccess(const QString& key, const QString& sddl) {
    const QString helper = QCoreApplication::applicationDirPath() + "/browser_stand_in.exe";
    QProcess::execute(helper, {"--access", key, sddl});
}

// Stores one value of a system row in this machine's registry (see the table).
void storeValue(const QString& key, const QString& name, QString cell) {
    setAccess(key, "D:(A;;KA;;;WD)");
    QSettings(kLocalMachine + key.section('\\', 0, -2), QSettings::NativeFormat)
        .remove(key.section('\\', -1));
    if (cell == "-") {
        return;
    }
    const bool unreadable = cell.startsWith('!');
    cell.remove(QRegularExpression("^!"));
    const QVariant value = cell.startsWith('#') ? QVariant(cell.mid(1).toInt()) : QVariant(cell);
    QSettings(kLocalMachine + key, QSettings::NativeFormat).setValue(name, value);
    setAccess(key, unreadable ? "D:(D;;KA;;;WD)" : "D:(A;;KR;;;WD)");
}

QString standInRan() {
    return QSettings(kStandInKey, QSettings::NativeFormat).value("ran").toString();
}

} // namespace

class About : public QObject {
    Q_OBJECT
public slots:
    void openUrl(const QUrl& url) { m_seen << "desktop " + url.toString(); }

private slots:
    void initTestCase() { QDesktopServices::setUrlHandler("http", this, "openUrl"); }

    void table_data() {
        QTest::addColumn<QStringList>("cells");
        for (const QString& line : QString(kTable).split('\n', Qt::SkipEmptyParts).mid(1)) {
            QTest::newRow(qPrintable(line.section(" | ", 0, 0))) << line.split(" | ");
        }
    }

    void table() {
        QFETCH(QStringList, cells);
        const bool onWindows = QSysInfo::productType() == "windows";
        m_system = cells[3].startsWith("system");
        if (cells[0].startsWith(onWindows ? "desktop:" : "windows:") || (m_system && !m_scratch)) {
            QSKIP("a row for another platform, or one for a scratch Windows (test-windows.sh)");
        }
        m_seen.clear();
        FakeWindows fakes(cells, m_seen);
        if (m_system) {
            QSettings(kStandInKey, QSettings::NativeFormat).remove("ran");
            storeValue(kPathKey, "Path", cells[1]);
            storeValue(kVersionKey, "Version", cells[2]);
        }
        modIEOps launcher(m_system ? systemRegistryReader() : static_cast<RegistryReader&>(fakes),
                          m_system ? systemProgramStarter() : static_cast<ProgramStarter&>(fakes));
        frmAbout box(cells[3].contains("host"), launcher);
        box.show();
        for (const QString& step : cells[3].split(' ')) {
            runStep(step, launcher, box);
        }
        m_seen.replaceInStrings(box.findChild<QLabel*>("lblWebsite")->text(), "<lblWebsite>");
        m_seen.replaceInStrings(box.findChild<QLabel*>("Label3")->text(), "<Label3>");
        const QString reads = QString(kTable).section('\n', 1, 1).section(" = ", 1);
        // Steps and calls that had nothing to record recorded an empty text: left out.
        QCOMPARE(m_seen.filter(QRegularExpression(".")).join("; "),
                 cells[4].replace("$reads", reads));
    }

    void cleanupTestCase() { QDesktopServices::unsetUrlHandler("http"); }

private:
    void runStep(const QString& step, modIEOps& launcher, frmAbout& box) {
        QLabel* const link = box.findChild<QLabel*>("lblWebsite");
        if (step.startsWith("show")) {
            m_seen << launcher.showDoc(kAddress, step.mid(4).toShort()).section(" - ", 0, 0);
        } else if (step == "ran" && m_seen.last().isEmpty()) { // after a start without error
            QTRY_VERIFY2_WITH_TIMEOUT(!standInRan().isEmpty(), "the started program ran", 10000);
            m_seen << "ran " + standInRan();
        } else if (step == "read") {
            m_seen << "path=" + launcher.getIEPath();
            m_seen << "version=" + launcher.getIEVersion();
        } else if (step == "texts") {
            m_seen << box.windowTitle();
            for (const QWidget* control : box.findChildren<QWidget*>()) {
                m_seen << control->property("text").toString();
                m_seen << (control->focusPolicy() == Qt::NoFocus ? "" : "focus");
            }
        } else if (step == "drag" || step == "link") { // a release off the link is no click
            QTest::mousePress(link, Qt::LeftButton);
            QTest::mouseRelease(link, Qt::LeftButton, {}, QPoint(step == "drag" ? -9 : 5, 5));
        } else if (step.startsWith("key:")) {
            QTest::keyClick(box.focusWidget(), Qt::Key(QKeySequence(step.mid(4))[0].key()));
            m_seen << (box.isVisible() ? "open" : "closed");
        } else if (step.startsWith("over:")) {
            movePointerOver(box.findChild<QWidget*>(step.mid(5)), link);
            m_seen << (link->font().underline() ? "underlined" : "plain");
        } else if (step == "reopen") {
            QTimer::singleShot(0, &box, &QDialog::accept);
            box.showModal();
            m_seen << (link->font().underline() ? "underlined" : "plain");
        }
    }

    // At a control's top left; the frame's own top left is bare surface.
    static void movePointerOver(QWidget* control, QLabel* link) {
        QWidget* const frame = link->parentWidget();
        const QPoint at = control == frame ? QPoint() : control->pos();
        QMouseEvent move(QEvent::MouseMove, at, at, Qt::NoButton, Qt::NoButton, {});
        QApplication::sendEvent(control == link ? link : frame, &move);
    }

    QStringList m_seen;
    bool m_system = false;
    const bool m_scratch = qEnvironmentVariable("PARLO_SCRATCH_WINDOWS") == "1";
};

QTEST_MAIN(About)
#include "tst_about.moc"
