// Runs the chat core of both programs through the scenarios in scenarios.txt.
//
// A scenario starts with "= title". Each line is one step, then " | " and what
// must follow it. What went out on the wire, the transcript entries added,
// the boxes shown and the peer's lines noticed ("alert", each for an entry
// just shown) are checked exactly on every step (nothing listed: nothing may happen); the socket
// calls, the status, caption, button caption, panel in front, focus, input box and whole transcript
// ("out") only where listed. A step after "> " runs at the next yield, after "box> " while the next
// box is open. Texts take \r, \n, \t and \uXXXX (lower-case hex).

#include "FakeEnd.h"

#include <QFile>
#include <QRegularExpression>
#include <QTest>

using namespace parlo;
using namespace parlo::test;

namespace {

const QString kJoint = QStringLiteral(" ¦ ");

QString unescape(QStringView escaped) {
    static const QRegularExpression code(QStringLiteral(R"(\\u([0-9a-f]{4}))"));
    QString text =
        escaped.toString().replace("\\r", "\r").replace("\\n", "\n").replace("\\t", "\t");
    QRegularExpressionMatch match = code.match(text);
    while (match.hasMatch()) {
        text.replace(match.capturedStart(), 6, QChar(match.captured(1).toUShort(nullptr, 16)));
        match = code.match(text, match.capturedStart() + 1);
    }
    return text;
}

void perform(std::unique_ptr<FakeEnd>& end, const QString& step) {
    const QString action = step.section(QLatin1Char(' '), 0, 0);
    const QString argument = unescape(QStringView(step).mid(action.size() + 1));
    if (action == "host" || action == "caller") {
        end = std::make_unique<FakeEnd>(
            action == "host", ChatSettings{.introductionTimeout = std::chrono::milliseconds(500)});
        end->socket.listenFails = argument == "port-taken";
        end->form.Form_Load();
        return;
    }
    FakeSocket& socket = end->socket;
    if (action == "type" || action == "send") {
        end->controls.shown["input"] = argument;
    }
    if (action == "type") {
        end->form.txtSend_KeyPress(frmClient::kEnter);
    } else if (action == "send") {
        end->form.cmdSend_Click();
    } else if (action == "peer") {
        socket.incoming = argument;
        end->controls.insideRead = true;
        emit socket.DataArrival();
        end->controls.insideRead = false;
    } else if (action == "request") {
        emit socket.ConnectionRequest(argument.toInt());
    } else if (action == "connected") {
        socket.connected = true;
        emit socket.Connected();
    } else if (action == "error") {
        const QMetaEnum failures = QMetaEnum::fromType<StreamSocket::Failure>();
        emit socket.Error(StreamSocket::Failure(failures.keyToValue(qPrintable(argument))));
    } else if (action == "closed") {
        socket.connected = false;
        emit socket.PeerClosed();
    } else if (action == "address") {
        end->controls.shown["address"] = argument;
    } else if (action == "click") {
        end->form.cmdConnect_Click();
    } else if (action == "enter-address") {
        end->form.cboAddress_KeyPress(frmClient::kEnter);
    } else if (action == "unload") {
        end->form.Form_Unload();
    } else if (action == "exit") {
        end->form.mnuExit_Click();
    } else if (action == "commands") {
        end->form.mnuCommands_Click();
    } else if (action == "backlog") {
        socket.backlogged = true;
    } else if (action == "wait") { // "wait 700" outlasts the introduction time above
        QTest::qWait(argument.toInt());
    } else {
        QFAIL(qPrintable("unknown step " + action));
    }
}

// What the checks after a step expect, by name, the values of a name in order.
QMap<QString, QString> expected(const QStringList& checks) {
    // Checked on every step: nothing listed, nothing may happen.
    QMap<QString, QStringList> values = {{"wire", {}}, {"box", {}}, {"alert", {}}, {"add", {}}};
    for (const QString& check : checks) {
        const QString key = check.section(QLatin1Char(':'), 0, 0);
        const QString value = check.mid(key.size() + 2); // after ": "
        values[key].append(unescape(value));
    }
    QMap<QString, QString> joined;
    for (auto entry = values.cbegin(); entry != values.cend(); ++entry) {
        joined[entry.key()] = entry.value().join(kJoint);
    }
    joined["alert"] = QString::number(values["alert"].size());
    joined["add"] = values["add"].isEmpty() ? QString() : "\r\n" + values["add"].join("\r\n");
    if (values.contains("out")) {
        joined.remove("add");
    }
    joined["faults"] = "";
    return joined;
}

// What the fakes saw since the last step, by the same names; then they forget it.
QMap<QString, QString> observed(FakeEnd& end, const QString& transcriptBefore) {
    RecordingControls& controls = end.controls;
    const QString& transcript = controls.shown["out"];
    QMap<QString, QString> seen = controls.shown;
    seen["wire"] = end.socket.sent.join(kJoint);
    seen["call"] = end.socket.calls.join(kJoint);
    seen["box"] = controls.boxes.join(kJoint);
    seen["alert"] = QString::number(controls.alerts.size());
    seen["add"] = transcript.startsWith(transcriptBefore) ? transcript.mid(transcriptBefore.size())
                                                          : QStringLiteral("(replaced)");
    seen["ended"] = controls.ended ? QString() : QStringLiteral("no");
    for (const QString& alert : std::as_const(controls.alerts)) {
        if (!seen["add"].contains(alert)) {
            controls.faults << "an alert for no entry shown: " + alert;
        }
    }
    seen["faults"] = controls.faults.join(kJoint);
    end.socket.sent.clear();
    end.socket.calls.clear();
    controls.boxes.clear();
    controls.alerts.clear();
    controls.faults.clear();
    return seen;
}

QString differences(const QMap<QString, QString>& wanted, const QMap<QString, QString>& seen) {
    QStringList problems;
    for (auto want = wanted.cbegin(); want != wanted.cend(); ++want) {
        const QString got = seen.value(want.key(), QStringLiteral("(unknown check)"));
        if (got != want.value()) {
            problems
                << QStringLiteral("%1 was \"%2\", expected \"%3\"").arg(want.key(), got, *want);
        }
    }
    return problems.join("; ").replace("\r", "\\r").replace("\n", "\\n");
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
        for (qsizetype index = all.size() - 1; index >= 0; --index) {
            if (all[index].startsWith("= ")) {
                QTest::newRow(qPrintable(all[index].mid(2))) << std::exchange(lines, {});
            } else if (!all[index].trimmed().isEmpty() && !all[index].startsWith('#')) {
                lines.prepend(QStringLiteral("%1\t%2").arg(index + 1).arg(all[index]));
            }
        }
    }

    void run() {
        QFETCH(QStringList, lines);
        std::unique_ptr<FakeEnd> end;
        for (const QString& numbered : lines) {
            QStringList parts = numbered.section('\t', 1).split(QLatin1String(" | "));
            const QString step = parts.takeFirst();
            if (step.startsWith("> ") || step.startsWith("box> ")) {
                auto& later =
                    step.startsWith('>') ? end->controls.atYield : end->controls.whileBoxOpen;
                later.append([&end, step] { perform(end, step.section("> ", 1)); });
                continue;
            }
            const QString transcriptBefore = end ? end->controls.shown["out"] : QString();
            perform(end, step);
            QCoreApplication::processEvents(); // boxes raised by the peer show from the event loop
            const QString problems = differences(expected(parts), observed(*end, transcriptBefore));
            QVERIFY2(problems.isEmpty(),
                     qPrintable("line " + numbered.section('\t', 0, 0) + ": " + problems));
        }
    }
};

QTEST_GUILESS_MAIN(Scenarios)
#include "test_scenarios.moc"
