// Runs the chat core of both programs through the scenarios in scenarios.txt.
//
// A scenario starts with "= title". Each line is one step, then " | " and what
// must follow it. What went out on the wire, the transcript entries added,
// the boxes shown and the attention alerts are checked exactly on every step
// (nothing listed: nothing may happen); the socket calls, status, caption,
// button caption, panel in front, focus and input box only where listed.
// A step after "> " runs at the next yield, after "box> " while the next box
// is open. Texts take \r, \n, \t, \\ and \uXXXX.

#include "FakeEnd.h"

#include <QFile>
#include <QTest>

using namespace parlo;
using namespace parlo::test;

namespace {

const ChatSettings kSettings{.introductionTimeout = std::chrono::milliseconds(500)};

QString unescape(QStringView text) {
    QString out;
    for (qsizetype i = 0; i < text.size(); ++i) {
        if (text[i] != QLatin1Char('\\') || i + 1 == text.size()) {
            out += text[i];
            continue;
        }
        const QChar c = text[++i];
        if (c == QLatin1Char('u')) {
            out += QChar(char16_t(text.mid(i + 1, 4).toUInt(nullptr, 16)));
            i += 4;
        } else {
            out += c == QLatin1Char('r')   ? QChar('\r')
                   : c == QLatin1Char('n') ? QChar('\n')
                   : c == QLatin1Char('t') ? QChar('\t')
                                           : c;
        }
    }
    return out;
}

QString shown(QString text) {
    return text.replace(QLatin1String("\r"), QLatin1String("\\r"))
        .replace(QLatin1String("\n"), QLatin1String("\\n"));
}

void perform(std::unique_ptr<FakeEnd>& end, const QString& step) {
    const QString action = step.section(QLatin1Char(' '), 0, 0);
    const QString arg = unescape(QStringView(step).mid(action.size() + 1));
    if (action == QLatin1String("host") || action == QLatin1String("caller")) {
        end = std::make_unique<FakeEnd>(action == QLatin1String("host"), kSettings);
        end->socket.listenFails = arg == QLatin1String("port-taken");
        end->form.Form_Load();
        return;
    }
    FakeEnd& e = *end;
    int enter = frmClient::kEnter;
    const QHash<QString, std::function<void()>> actions = {
        {"type", [&] { e.controls.input = arg, e.form.txtSend_KeyPress(enter); }},
        {"send", [&] { e.controls.input = arg, e.form.cmdSend_Click(); }},
        {"peer", [&] { e.socket.incoming = arg, emit e.socket.DataArrival(arg.size()); }},
        {"request", [&] { emit e.socket.ConnectionRequest(arg.toInt()); }},
        {"connected",
         [&] { e.socket.state = StreamSocket::sckConnected, emit e.socket.Connected(); }},
        {"error", [&] { e.socket.state = StreamSocket::sckClosed, emit e.socket.Error(0, arg); }},
        {"closed", [&] { e.socket.state = StreamSocket::sckClosed, emit e.socket.PeerClosed(); }},
        {"address", [&] { e.controls.address = arg; }},
        {"click", [&] { e.form.cmdConnect_Click(); }},
        {"enter-address", [&] { e.form.cboAddress_KeyPress(enter); }},
        {"unload", [&] { e.form.Form_Unload(); }},
        {"exit", [&] { e.form.mnuExit_Click(); }},
        {"commands", [&] { e.form.mnuCommands_Click(); }},
        {"backlog", [&] { e.socket.backlogged = true; }},
        {"wait", [&] { QTest::qWait(arg.toInt()); }},
    };
    const auto run = actions.find(action);
    QVERIFY2(run != actions.end(), qPrintable(QStringLiteral("unknown step ") + action));
    (*run)();
}

struct Seen {
    qsizetype sent = 0, calls = 0, boxes = 0;
    int alerts = 0;
    QString output;
};

// What went wrong with the checks after a step, or nothing.
QString verify(const FakeEnd& e, const QStringList& checks, const Seen& seen) {
    static const QStringList keys = {"wire",  "box",    "alert",   "add",    "out",
                                     "call",  "status", "caption", "button", "panel",
                                     "focus", "input",  "ended"};
    QMultiHash<QString, QString> want;
    QStringList problems;
    for (const QString& check : checks) {
        const qsizetype colon = check.indexOf(QLatin1Char(':'));
        const QString key = check.left(colon < 0 ? check.size() : colon);
        QStringView value = colon < 0 ? QStringView() : QStringView(check).mid(colon + 1);
        want.insert(key, unescape(value.startsWith(QLatin1Char(' ')) ? value.mid(1) : value));
        if (!keys.contains(key)) {
            problems << QStringLiteral("unknown check \"%1\"").arg(key);
        }
    }
    const auto listed = [&](const char* key) {
        QStringList values = want.values(QLatin1String(key));
        std::reverse(values.begin(), values.end()); // QMultiHash keeps the last first
        return values;
    };
    const auto expect = [&](const char* what, const QString& actual, const QString& expected) {
        if (actual != expected) {
            problems << QStringLiteral("%1 was \"%2\", expected \"%3\"")
                            .arg(QLatin1String(what), shown(actual), shown(expected));
        }
    };
    const RecordingControls& c = e.controls;
    expect("wire", e.socket.sent.mid(seen.sent).join(" ¦ "), listed("wire").join(" ¦ "));
    expect("boxes", c.boxes.mid(seen.boxes).join(" ¦ "), listed("box").join(" ¦ "));
    expect("alerts", QString::number(c.alerts - seen.alerts), QString::number(want.count("alert")));
    if (c.mostBoxesOpen > 1) {
        problems << QStringLiteral("a box opened inside another");
    }
    const QStringList added = listed("add");
    expect("transcript", c.output,
           want.contains("out")
               ? want.value("out")
               : seen.output + (added.isEmpty() ? QString() : "\r\n" + added.join("\r\n")));
    if (want.contains("call")) {
        expect("calls", e.socket.calls.mid(seen.calls).join(" ¦ "), listed("call").join(" ¦ "));
    }
    const QHash<QString, QString> states = {{"status", c.status}, {"caption", c.caption},
                                            {"button", c.button}, {"panel", c.panel},
                                            {"focus", c.focus},   {"input", c.input}};
    for (auto state = states.begin(); state != states.end(); ++state) {
        if (want.contains(state.key())) {
            expect(qPrintable(state.key()), state.value(), want.value(state.key()));
        }
    }
    if (want.contains("ended") && !c.ended) {
        problems << QStringLiteral("the program did not end");
    }
    return problems.join(QLatin1String("; "));
}

} // namespace

class Scenarios : public QObject {
    Q_OBJECT
private slots:
    void run_data();
    void run();
};

void Scenarios::run_data() {
    QTest::addColumn<QStringList>("lines");
    QFile file(QStringLiteral(SCENARIOS));
    QVERIFY(file.open(QIODevice::ReadOnly | QIODevice::Text));
    const QStringList all = QString::fromUtf8(file.readAll()).split(QLatin1Char('\n'));
    QString title;
    QStringList lines;
    const auto flush = [&] {
        if (!title.isEmpty()) {
            QTest::newRow(qPrintable(title)) << lines;
        }
        lines.clear();
    };
    for (qsizetype i = 0; i < all.size(); ++i) {
        if (all[i].startsWith(QLatin1String("= "))) {
            flush();
            title = all[i].mid(2);
        } else if (!all[i].trimmed().isEmpty() && !all[i].startsWith(QLatin1Char('#'))) {
            lines << QStringLiteral("%1\t%2").arg(i + 1).arg(all[i]);
        }
    }
    flush();
}

void Scenarios::run() {
    QFETCH(QStringList, lines);
    std::unique_ptr<FakeEnd> end;
    Seen seen;
    for (const QString& numbered : lines) {
        const qsizetype tab = numbered.indexOf(QLatin1Char('\t'));
        QStringList parts = numbered.mid(tab + 1).split(QLatin1String(" | "));
        const QString step = parts.takeFirst();
        const bool inBox = step.startsWith(QLatin1String("box> "));
        if (inBox || step.startsWith(QLatin1String("> "))) {
            const qsizetype mark = step.indexOf(QLatin1String("> "));
            auto& queue = inBox ? end->controls.whileBoxOpen : end->controls.atYield;
            queue << [&end, later = step.mid(mark + 2)] { perform(end, later); };
            continue;
        }
        perform(end, step);
        QCoreApplication::processEvents(); // boxes raised by the peer show from the event loop
        const QString problems = verify(*end, parts, seen);
        QVERIFY2(problems.isEmpty(),
                 qPrintable(QStringLiteral("line %1: %2").arg(numbered.left(tab), problems)));
        seen = {end->socket.sent.size(), end->socket.calls.size(), end->controls.boxes.size(),
                end->controls.alerts, end->controls.output};
    }
}

QTEST_GUILESS_MAIN(Scenarios)
#include "test_scenarios.moc"
