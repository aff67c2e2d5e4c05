// The browser launcher and the About box as one table: each row stores the two
// registry values, runs a few steps and compares everything that happened, in order.
#include "ProgramStarter.h"
#include "RegistryReader.h"
#include "frmAbout.h"
#include "modIEOps.h"

#include <QtTest>
#include <QtWidgets>

using namespace parlo;

// The first line defines $reads: one registry read of each value (open, close).
// Then one row a line: name | Path value | Version value | steps | what happened.
// A value is stored with its terminating NUL; "-" is no value, an empty cell (two
// spaces between the bars) a value of size 0.
// Each row has a shown About box: the host's when its steps mention "host", else the
// caller's (whose rows say "caller").
// Steps: refuse (first) makes the registry refuse every read that brings a buffer;
// showN opens address "u" with minimum version N; read lists the path and the version
// as the launcher reads them; system (first) has it read this platform's own registry
// (the tests run away from Windows); texts lists the box's caption and the texts of
// its controls, each followed by "focus" when it takes the focus; drag presses the
// link and lets go off it, link clicks it; key:K types K into the box and records
// whether it is still open; over:X moves the pointer over control X (the frame's bare
// surface for fraAbout; a move over any other control but the link reaches the frame)
// and reopen shows the box anew and ends it with OK: both record the link's underline.
// <lblWebsite> and <Label3> stand for the texts of the implementer's choice: the web
// address and the credit line.
const char* const kTable = R"(
$reads = open Software\Microsoft\Windows\CurrentVersion\App Paths\IEXPLORE.EXE 0 20019 7; close 7; open Software\Microsoft\Internet Explorer 0 20019 7; close 7
no version reads as 0; read once, path quoted | C:\IE; | - | show1 show0 | $reads; start "C:\IE\IExplore.exe" u
no path: read again, fail | - | 6.0 | show6 show6 | $reads; Error in 'showDoc' - cannot drop the last character of an empty path; $reads; Error in 'showDoc' - cannot drop the last character of an empty path
size 0: error text as path |  | 6.0 | show6 | $reads; start "Error in 'getIEPath' - the registry reported a value of size 0, so there is no terminating NUL to cu\IExplore.exe" u
refused reads leave spaces | C:\IE; | 6.0 | refuse show0 | $reads; start "      \IExplore.exe" u
caller: texts, focus, link opens its caption; OK, not Esc, closes | C:\IE; | 6.0 | caller texts drag link key:Esc key:Space | Parlo; Parlo; Programmed and Designed by:; <Label3>; Version 1.9; Visit my website:; <lblWebsite>; OK; focus; $reads; start "C:\IE\IExplore.exe" <lblWebsite>; open; closed
host: link wants version 6 (51 reads as 5), hover, Esc closes, reopen | C:\IE; | 51 | host link over:lblWebsite over:fraAbout over:lblWebsite over:Label6 key:A key:Esc reopen | $reads; plain; underlined; plain; plain; open; closed; underlined
this platform's layers | - | - | system read | Error in 'getIEPath' - the Windows registry (advapi32.dll) is not available on this platform; Error in 'getIEVersion' - the Windows registry (advapi32.dll) is not available on this platform
)";

// The local-machine hive holding the row's two values, and a program starter.
// Each open records its key path, the options, the access mask and the key it hands
// out (7); each close the key.
struct Fakes final : RegistryReader, ProgramStarter {
    QStringList seen, cell; // what the fakes and the steps saw, in order; the row
    // Opens key path s with options o and access mask m.
    long openLocalMachineKey(const QByteArray& s, quint32 o, quint32 m, RegistryKey& k) override {
        seen << QString("open %1 %2 %3 %4").arg(s).arg(o).arg(m, 0, 16).arg(k = 7);
        return 0;
    }
    // Reads value v of key k into the n bytes at to; n becomes the value's size.
    long queryValue(RegistryKey k, const QByteArray& v, quint32&, char* to, quint32& n) override {
        const QString text = v == "Path" ? cell[1] : v == "Version" ? cell[2] : "-";
        if (k != 7 || text == "-" || (n > 0 && cell[3].startsWith("refuse"))) {
            return 2;
        }
        const QByteArray value = text.toLatin1() + QByteArray(!text.isEmpty(), '\0');
        const quint32 room = std::exchange(n, quint32(value.size()));
        return room < n ? registry::kMoreData : (memcpy(to, value.constData(), n), 0);
    }
    long closeKey(RegistryKey key) override { return seen << QString("close %1").arg(key), 0; }
    void start(const QString& line) override { seen << "start " + line; }
};

class About : public QObject {
    Q_OBJECT
private slots:
    void table_data() {
        QTest::addColumn<QStringList>("cell"); // name, path, version, steps, what happened
        for (const QString& row : QString(kTable).split('\n', Qt::SkipEmptyParts).mid(1)) {
            QTest::newRow(qPrintable(row.section(" | ", 0, 0))) << row.split(" | ");
        }
    }

    void table() {
        QFETCH(QStringList, cell);
        Fakes fakes;
        fakes.cell = cell;
        QStringList& seen = fakes.seen;
        modIEOps launcher(cell[3].startsWith("system") ? systemRegistryReader() : fakes, fakes);
        frmAbout box(cell[3].contains("host"), launcher);
        box.show();
        auto* const link = box.findChild<QLabel*>("lblWebsite"); // on the frame
        for (const QString& step : cell[3].split(' ')) {
            if (step.startsWith("show")) {
                seen << launcher.showDoc("u", step.mid(4).toShort());
            } else if (step == "read") {
                seen << launcher.getIEPath() << launcher.getIEVersion();
            } else if (step == "texts") {
                seen << box.windowTitle();
                for (const QWidget* c : box.findChildren<QWidget*>()) {
                    seen << c->property("text").toString() << (c->focusPolicy() ? "focus" : "");
                }
            } else if (step == "drag" || step == "link") { // a release off the link is no click
                QTest::mousePress(link, Qt::LeftButton);
                QTest::mouseRelease(link, Qt::LeftButton, {}, QPoint(step == "drag" ? -9 : 5, 5));
            } else if (step.startsWith("key:")) {
                QTest::keyClick(box.focusWidget(), Qt::Key(QKeySequence(step.mid(4))[0].key()));
                seen << (box.isVisible() ? "open" : "closed");
            } else if (step.startsWith("over:")) { // at a control's top left; the frame's is bare
                QWidget* over = box.findChild<QWidget*>(step.mid(5));
                const QPoint at = over == link->parentWidget() ? QPoint() : over->pos();
                QMouseEvent move(QEvent::MouseMove, at, at, Qt::NoButton, Qt::NoButton, {});
                QApplication::sendEvent(over == link ? link : link->parentWidget(), &move);
                seen << (link->font().underline() ? "underlined" : "plain");
            } else if (step == "reopen") {
                QTimer::singleShot(0, &box, &QDialog::accept);
                box.showModal();
                seen << (link->font().underline() ? "underlined" : "plain");
            }
        }
        seen.replaceInStrings(link->text(), "<lblWebsite>");
        seen.replaceInStrings(box.findChild<QLabel*>("Label3")->text(), "<Label3>");
        const QString reads = QString(kTable).section('\n', 1, 1).section(" = ", 1);
        // Steps and calls that had nothing to record recorded an empty text: left out.
        QCOMPARE(seen.filter(QRegularExpression(".")).join("; "), cell[4].replace("$reads", reads));
    }
};

QTEST_MAIN(About)
#include "tst_about.moc"
