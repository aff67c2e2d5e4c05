// Runs the chat core of both programs through the scenarios in scenarios.txt.
//
// A scenario starts with "= title". Each line is one step, then " | " and what
// must follow it. What went out on the wire, the transcript entries added,
// the boxes shown and the attention alerts (each for an entry just shown) are
// checked exactly on every step (nothing listed: nothing may happen); the
// socket calls, status, caption, button caption, panel in front, focus and
// input box only where listed.
// A step after "> " runs at the next yield, after "box> " while the next box
// is open. Texts take \r, \n, \t and \uXXXX (lower-case hex).

#include "FakeEnd.h"

#include <QFile>
#include <QRegularExpression>
#include <QTest>

using namespace parlo;
using namespace parlo::test;

namespace {

QString unescape(QStringView escaped) {
    static const QRegularExpression code(QStringLiteral(R"(\\u([0-9a-f]{4}))"));
    QString text =
        escaped.toString().replace("\\r", "\r").replace("\\n", "\n").replace("\\t", "\t");
    for (auto m = code.match(text); m.hasMatch(); m = code.match(text, m.capturedStart() + 1)) {
        text.replace(m.capturedStart(), 6, QChar(m.captured(1).toUShort(nullptr, 16)));
    }
    return text;
}

void perform(std::unique_ptr<FakeEnd>& end, const QString& step) {
    const QString action = step.section(QLatin1Char(' '), 0, 0);
    const QString arg = unescape(QStringView(step).mid(action.size() + 1));
    if (action == QLatin1String("host") || action == QLatin1String("caller")) {
        end = std::make_unique<FakeEnd>(
            action == QLatin1String("host"),
            ChatSettings{.introductionTimeout = std::chrono::milliseconds(500)});
        end->socket.listenFails = arg == QLatin1String("port-taken");
        return end->form.Form_Load();
    }
    FakeEnd& e = *end;
    FakeSocket& s = e.socket;
    int enter = frmClient::kEnter;
    const QHash<QString, std::function<void()>> actions = {
        {"type", [&] { e.controls.shown["input"] = arg, e.form.txtSend_KeyPress(enter); }},
        {"send", [&] { e.controls.shown["input"] = arg, e.form.cmdSend_Click(); }},
        {"peer", [&] { s.incoming = arg, emit s.DataArrival(arg.size()); }},
        {"request", [&] { emit s.ConnectionRequest(arg.toInt()); }},
        {"connected", [&] { s.state = StreamSocket::sckConnected, emit s.Connected(); }},
        {"error", [&] { s.state = StreamSocket::sckClosed, emit s.Error(0, arg); }},
        {"closed", [&] { s.state = StreamSocket::sckClosed, emit s.PeerClosed(); }},
        {"address", [&] { e.controls.shown["address"] = arg; }},
        {"click", [&] { e.form.cmdConnect_Click(); }},
        {"enter-address", [&] { e.form.cboAddress_KeyPress(enter); }},
        {"unload", [&] { e.form.Form_Unload(); }},
        {"exit", [&] { e.form.mnuExit_Click(); }},
        {"commands", [&] { e.form.mnuCommands_Click(); }},
        {"backlog", [&] { s.backlogged = true; }},
        {"wait", [&] { QTest::qWait(arg.toInt()); }},
    };
    QVERIFY2(actions.contains(action), qPrintable(QStringLiteral("unknown step ") + action));
    actions[action]();
}

// What differs from the checks after a step; the records start afresh for the next one.
QStringList verify(FakeEnd& e, const QStringList& checks, const QString& outputBefore) {
    RecordingControls& c = e.controls;
    QMap<QString, QStringList> want = {{"wire", {}}, {"box", {}}, {"alert", {}}, {"add", {}}};
    for (const QString& check : checks) {
        const QString key = check.section(QLatin1Char(':'), 0, 0);
        const QStringView value = QStringView(check).mid(key.size() + 1);
        want[key] << unescape(value.startsWith(QLatin1Char(' ')) ? value.mid(1) : value);
    }
    if (want.contains("out")) {
        want.remove("add");
    } else if (!want["add"].isEmpty()) {
        want["add"].prepend(QString());
    }
    const QString& out = c.shown["out"];
    QMap<QString, QString> actual = c.shown;
    actual.insert(
        {{"wire", e.socket.sent.join(" ¦ ")},
         {"box", c.boxes.join(" ¦ ")},
         {"call", e.socket.calls.join(" ¦ ")},
         {"alert", QString::number(c.alerts.size())},
         {"add", out.startsWith(outputBefore) ? out.mid(outputBefore.size()) : "(replaced)"},
         {"ended", c.ended ? "" : "no"}});
    QStringList problems;
    for (auto w = want.cbegin(); w != want.cend(); ++w) {
        const QString expected = w.key() == "alert" ? QString::number(w->size())
                                                    : w->join(w.key() == "add" ? "\r\n" : " ¦ ");
        if (actual.value(w.key(), QStringLiteral("(unknown check)")) != expected) {
            problems << QStringLiteral("%1 was \"%2\", expected \"%3\"")
                            .arg(w.key(), actual.value(w.key()), expected)
                            .replace("\r", "\\r")
                            .replace("\n", "\\n");
        }
    }
    for (const QString& alert : c.alerts) {
        if (!actual["add"].contains(alert)) {
            problems << QStringLiteral("alert for \"%1\", not an entry shown").arg(alert);
        }
    }
    if (c.mostBoxesOpen > 1) {
        problems << QStringLiteral("a box opened inside another");
    }
    e.socket.sent.clear(), e.socket.calls.clear(), c.boxes.clear(), c.alerts.clear();
    return problems;
}

} // namespace

class Scenarios : public QObject {
    Q_OBJECT
private slots:
    void run_data() {
        QTest::addColumn<QStringList>("lines"); // each "number<tab>text"
        QFile file(QStringLiteral(SCENARIOS));
        QVERIFY(file.open(QIODevice::ReadOnly | QIODevice::Text));
        const QStringList all = QString::fromUtf8(file.readAll()).split(QLatin1Char('\n'));
        QStringList lines;
        for (qsizetype i = all.size() - 1; i >= 0; --i) {
            if (all[i].startsWith(QLatin1String("= "))) {
                QTest::newRow(qPrintable(all[i].mid(2))) << std::exchange(lines, {});
            } else if (!all[i].trimmed().isEmpty() && !all[i].startsWith(QLatin1Char('#'))) {
                lines.prepend(QStringLiteral("%1\t%2").arg(i + 1).arg(all[i]));
            }
        }
    }

    void run() {
        QFETCH(QStringList, lines);
        std::unique_ptr<FakeEnd> end;
        for (const QString& numbered : lines) {
            QStringList parts = numbered.section(QLatin1Char('\t'), 1).split(QLatin1String(" | "));
            const QString step = parts.takeFirst();
            if (step.startsWith(QLatin1String("> ")) || step.startsWith(QLatin1String("box> "))) {
                auto& queue = step[0] == '>' ? end->controls.atYield : end->controls.whileBoxOpen;
                queue <<
                    [&end, later = step.section(QLatin1String("> "), 1)] { perform(end, later); };
                continue;
            }
            const QString before = end ? end->controls.shown["out"] : QString();
            perform(end, step);
            QCoreApplication::processEvents(); // boxes raised by the peer show from the event loop
            const QStringList problems = verify(*end, parts, before);
            QVERIFY2(problems.isEmpty(), qPrintable(numbered.section('\t', 0, 0).prepend("line ") +
                                                    ": " + problems.join("; ")));
        }
    }
};

QTEST_GUILESS_MAIN(Scenarios)
#include "test_scenarios.moc"
