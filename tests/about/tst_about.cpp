// The browser launcher and the About box as one table: each row stores the two
// registry values, runs a few steps and compares everything that happened, in order.
#include "ProgramStarter.h"
#include "RegistryReader.h"
#include "frmAbout.h"
#include "modIEOps.h"

#include <QApplication>
#include <QKeySequence>
#include <QMouseEvent>
#include <QRegularExpression>
#include <QTest>
#include <QTimer>
#include <cstring>
#include <memory>

using namespace parlo;

namespace {

// One row a line: name | Path value | Version value | steps | what happened.
// A value is stored with its terminating NUL; "-" is no value, nothing a value of size 0.
// Steps: showN opens address "u" with minimum version N; refuse makes the registry
// refuse data reads; host/caller opens that side's About box; texts lists its texts
// and the controls that take focus; drag presses the link and lets go off it, link
// clicks it; key:K types K on the focused OK; over:X moves the pointer over control X,
// passed:X hands the frame a move over X; reopen shows the box anew; system reads
// through this platform's own layers (the tests run away from Windows).
// $reads stands for the two opens of a registry read; <caption> for the link's text.
const char* const kTable = R"(
read once, path quoted | C:\IE; | 6.0 | show6 show6 | $reads; start "C:\IE\IExplore.exe" u; start "C:\IE\IExplore.exe" u
5.9 is too old | C:\IE; | 5.9 | show6 | $reads
only the first digit counts | C:\IE; | 11 | show2 | $reads
no version reads as 0 | C:\IE; | - | show1 | $reads
no path: read again, fail | - | 6.0 | show6 show6 | $reads; Error in 'showDoc' - cannot drop the last character of an empty path; $reads; Error in 'showDoc' - cannot drop the last character of an empty path
size 0: error text as path | | 6.0 | show6 | $reads; start "Error in 'getIEPath' - the registry reported a value of size 0, so there is no terminating NUL to cu\IExplore.exe" u
refused reads leave spaces | C:\IE; | 6.0 | refuse show0 | $reads; start "      \IExplore.exe" u
texts, focus | - | - | caller texts | Parlo; Parlo; Programmed and Designed by:; Version 1.9; Visit my website:; OK; focus cmdOK
link opens its caption | C:\IE; | 6.0 | host drag link | $reads; start "C:\IE\IExplore.exe" <caption>
link wants version 6 | C:\IE; | 5.9 | host link | $reads
Esc closes the host's box | - | - | host key:A key:Esc | open; closed
not the caller's; OK closes it | - | - | caller key:Esc key:Space | open; closed
hover, reopen | - | - | caller over:lblWebsite over:fraAbout over:lblWebsite passed:Label6 reopen | plain; underlined; plain; plain; underlined
this platform's layers | - | - | system | Error in 'getIEPath' - the Windows registry (advapi32.dll) is not available on this platform; Error in 'getIEVersion' - the Windows registry (advapi32.dll) is not available on this platform
)";
const QByteArray kKeys[] = {
    "Software\\Microsoft\\Windows\\CurrentVersion\\App Paths\\IEXPLORE.EXE\\Path",
    "Software\\Microsoft\\Internet Explorer\\Version"};

QStringList seen; // what the fakes and the steps saw, in order

// The local-machine hive: "key\value" to the stored bytes. With `refuse` set,
// every query that brings a buffer is refused.
struct Registry final : RegistryReader {
    QMap<QByteArray, QByteArray> values;
    bool refuse = false;
    QMap<RegistryKey, QByteArray> open; // the keys handed out and not closed yet
    long openLocalMachineKey(const QByteArray& sub, quint32 options, quint32 mask,
                             RegistryKey& key) override {
        seen << QString("open %1 %2 %3").arg(sub.split('\\').last()).arg(options).arg(mask, 0, 16);
        key = open.size() + 1;
        open[key] = sub + '\\';
        return 0;
    }
    long queryValue(RegistryKey key, const QByteArray& name, quint32&, char* data,
                    quint32& size) override {
        const auto value = values.constFind(open.value(key) + name);
        if (value == values.cend() || (refuse && size > 0)) {
            return value == values.cend() ? 2 : 5;
        }
        const bool fits = size >= quint32(value->size());
        size = value->size();
        return fits ? (memcpy(data, value->constData(), size), 0) : registry::kMoreData;
    }
    long closeKey(RegistryKey key) override { return open.remove(key) ? 0 : 6; }
};

struct Starter final : ProgramStarter {
    void start(const QString& line) override { seen << "start " + line; }
};

} // namespace

class About : public QObject {
    Q_OBJECT
private slots:
    void table_data() {
        QTest::addColumn<QStringList>("cell"); // path, version, steps, what happened
        for (const QString& row : QString(kTable).split('\n', Qt::SkipEmptyParts)) {
            const QStringList cell = row.split(QRegularExpression("\\s*\\|\\s*"));
            QTest::newRow(qPrintable(cell[0])) << cell.mid(1);
        }
    }

    void table() {
        QFETCH(QStringList, cell);
        Registry registry;
        Starter starter;
        for (int i : {0, 1}) {
            if (cell[i] != "-") {
                registry.values[kKeys[i]] = cell[i].isEmpty() ? "" : cell[i].toLatin1() + '\0';
            }
        }
        modIEOps launcher(registry, starter);
        std::unique_ptr<frmAbout> box;
        const auto child = [&](const QString& name) { return box->findChild<QWidget*>(name); };
        const auto underline = [&] {
            seen << (child("lblWebsite")->font().underline() ? "underlined" : "plain");
        };
        seen.clear();
        for (const QString& step : cell[2].split(' ')) {
            if (step.startsWith("show")) {
                seen << launcher.showDoc("u", step.mid(4).toShort());
            } else if (step == "refuse") {
                registry.refuse = true;
            } else if (step == "host" || step == "caller") {
                box = std::make_unique<frmAbout>(step == "host", launcher);
                box->show();
                QVERIFY(QTest::qWaitForWindowExposed(box.get()));
            } else if (step == "texts") {
                seen << box->windowTitle();
                for (const char* name : {"Label7", "Label5", "Label4", "Label6", "cmdOK"}) {
                    seen << child(name)->property("text").toString();
                }
                for (const QWidget* control : box->findChildren<QWidget*>()) {
                    seen << (control->focusPolicy() ? "focus " + control->objectName() : "");
                }
            } else if (step == "drag" || step == "link") { // a release off the link is no click
                QTest::mousePress(child("lblWebsite"), Qt::LeftButton);
                QTest::mouseRelease(child("lblWebsite"), Qt::LeftButton, {},
                                    QPoint(step == "drag" ? -9 : 5, 5));
            } else if (step.startsWith("key:")) { // Space clicks the focused OK button
                QTest::keyClick(child("cmdOK"), Qt::Key(QKeySequence(step.mid(4))[0].key()));
                seen << (box->isVisible() ? "open" : "closed");
            } else if (step.startsWith("over:")) { // the frame's surface is bare at its right
                QWidget* over = child(step.mid(5));
                const QPoint at = over == child("fraAbout") ? QPoint(over->width() - 8, 100)
                                                            : over->rect().center();
                QTest::mouseMove(box.get(), over->mapTo(box.get(), at));
                underline();
            } else if (step.startsWith("passed:")) { // a move a control hands on to the frame
                const QPoint at = child(step.mid(7))->geometry().center();
                QMouseEvent move(QEvent::MouseMove, at, at, Qt::NoButton, Qt::NoButton, {});
                QApplication::sendEvent(child("fraAbout"), &move);
                underline();
            } else if (step == "reopen") {
                QTimer::singleShot(0, box.get(), underline);
                QTimer::singleShot(0, box.get(), &QDialog::accept);
                box->showModal();
            } else if (step == "system") {
                modIEOps real(systemRegistryReader(), systemProgramStarter());
                seen << real.getIEPath() << real.getIEVersion();
            }
        }
        seen.removeAll(QString());
        if (box) {
            seen.replaceInStrings(child("lblWebsite")->property("text").toString(), "<caption>");
        }
        const QString reads = "open IEXPLORE.EXE 0 20019; open Internet Explorer 0 20019";
        QCOMPARE(seen.join("; "), QString(cell[3]).replace("$reads", reads));
        QVERIFY(registry.open.isEmpty()); // every key opened was closed
    }
};

QTEST_MAIN(About)
#include "tst_about.moc"
