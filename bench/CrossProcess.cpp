#include "CrossProcess.h"

#include "BareReceiver.h"
#include "CallerSide.h"
#include "ShownWatch.h"
#include "WindowDriver.h"

#include <QCoreApplication>
#include <QTcpSocket>
#include <cstdio>

namespace parlo::bench {

namespace {

const QString kReceiverFlag = QStringLiteral("--receiver");
constexpr int kPatienceMs = 10000;
constexpr int kRunLimitMs = 600000;

void say(const QByteArray& text) {
    std::fwrite(text.constData(), 1, std::size_t(text.size()), stdout);
    std::fputc('\n', stdout);
    std::fflush(stdout);
}

// Says when each line is shown in `box`, until all `lines` are or the
// connection ends; 0 when all were. The next line is awaited before the
// sender hears that this one was shown.
int acknowledge(QPlainTextEdit& box, const QString& prefix, int lines,
                const std::function<bool()>& connected) {
    int next = 0;
    ShownWatch* watching = nullptr;
    ShownWatch watch(box, [&](qint64 at) {
        const int shown = next++;
        watching->expect(prefix + latencyLine(next));
        say(QByteArray::number(shown) + ' ' + QByteArray::number(at));
    });
    watching = &watch;
    watch.expect(prefix + latencyLine(0));
    say("ready");
    spinUntil([&] { return next == lines || !connected(); }, kRunLimitMs);
    return next == lines ? 0 : 1;
}

bool connectTo(QTcpSocket& socket, quint16 port) {
    socket.connectToHost(QStringLiteral("127.0.0.1"), port);
    if (!socket.waitForConnected(kPatienceMs)) {
        return false;
    }
    socket.setSocketOption(QAbstractSocket::LowDelayOption, 1);
    return true;
}

int runChatReceiver(quint16 port, const QString& prefix, int lines) {
    CallerSide side;
    ChatEnd caller(side, ChatSettings{.port = port});
    caller.window.start();
    if (!call(caller)) {
        return 1;
    }
    bool connected = true;
    QObject::connect(&caller.socket, &StreamSocket::PeerClosed, [&] { connected = false; });
    return acknowledge(outputBox(caller), prefix, lines, [&] { return connected; });
}

int runBareReceiver(quint16 port, const QString& prefix, int lines, QSize size) {
    QTcpSocket socket;
    if (!connectTo(socket, port)) {
        return 1;
    }
    BareReceiver receiver(socket, size);
    settle(200);
    return acknowledge(receiver.box(), prefix, lines,
                       [&] { return socket.state() == QAbstractSocket::ConnectedState; });
}

int runEcho(quint16 port) {
    QTcpSocket socket;
    if (!connectTo(socket, port)) {
        return 1;
    }
    QObject::connect(&socket, &QTcpSocket::readyRead, &socket, [&] {
        socket.write(socket.readAll());
        socket.flush();
    });
    say("ready");
    spinUntil([&] { return socket.state() != QAbstractSocket::ConnectedState; }, kRunLimitMs);
    return 0;
}

} // namespace

QString latencyLine(int index) {
    return QStringLiteral("line %1 of the latency run").arg(index);
}

ReceiverProcess::ReceiverProcess(const char* self, ReceiverKind kind, quint16 port,
                                 const QString& prefix, int lines) {
    m_process.setStandardErrorFile(QProcess::nullDevice());
    m_process.start(QString::fromLocal8Bit(self),
                    {kReceiverFlag, QString::number(int(kind)), QString::number(port), prefix,
                     QString::number(lines), QStringLiteral("-platform"),
                     QStringLiteral("offscreen")});
}

ReceiverProcess::~ReceiverProcess() {
    if (!m_process.waitForFinished(kPatienceMs)) {
        m_process.kill();
        m_process.waitForFinished();
    }
}

QByteArray ReceiverProcess::nextLine() {
    if (!spinUntil([&] { return m_process.canReadLine(); }, kPatienceMs)) {
        return {};
    }
    return m_process.readLine().trimmed();
}

bool ReceiverProcess::ready() {
    return nextLine() == "ready";
}

qint64 ReceiverProcess::shownAtNs(int index) {
    const QList<QByteArray> fields = nextLine().split(' ');
    return fields.size() == 2 && fields[0].toInt() == index ? fields[1].toLongLong() : 0;
}

int runReceiverIfAsked(const QStringList& arguments) {
    const qsizetype at = arguments.indexOf(kReceiverFlag);
    if (at < 0 || arguments.size() < at + 5) {
        return -1;
    }
    const auto kind = ReceiverKind(arguments[at + 1].toInt());
    const auto port = quint16(arguments[at + 2].toUInt());
    const QString& prefix = arguments[at + 3];
    const int lines = arguments[at + 4].toInt();
    switch (kind) {
    case ReceiverKind::Chat:
        return runChatReceiver(port, prefix, lines);
    case ReceiverKind::BareBox:
        return runBareReceiver(port, prefix, lines, transcriptSize());
    case ReceiverKind::Echo:
        return runEcho(port);
    }
    return 2;
}

} // namespace parlo::bench
