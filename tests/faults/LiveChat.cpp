#include "LiveChat.h"

#include "Sides.h"

#include <QTest>

#ifdef Q_OS_LINUX
#include <sys/socket.h>
#endif

namespace parlo::faults {

using test::makeSide;

LiveEnd::LiveEnd(bool host) : side(makeSide(host)), form(socket, controls, *side) {
    form.port = 0; // the tests never take the real chat port
    pumpOnYield();
}

void LiveEnd::type(const QString& line) {
    controls.input = line;
    int key = frmClient::kEnter;
    form.txtSend_KeyPress(key);
}

void LiveEnd::pumpOnYield() {
    // The recorder plays its script once; arm it again after every yield.
    controls.onYield = [this] {
        QCoreApplication::processEvents();
        pumpOnYield();
    };
}

std::unique_ptr<LiveEnd> startHost() {
    auto host = std::make_unique<LiveEnd>(true);
    host->form.Form_Load();
    return host;
}

bool readUntil(QTcpSocket& socket, QByteArray& received, const QByteArray& wanted) {
    return pumpUntil([&] {
        received += socket.readAll();
        return received.contains(wanted);
    });
}

qint32 connectRawCaller(LiveEnd& host, QTcpSocket& raw) {
    raw.connectToHost(QHostAddress::LocalHost, host.socket.listeningPort());
    QByteArray received;
    if (!readUntil(raw, received, "/nick Server")) {
        return 0;
    }
    const QByteArray confirmed = "/connection_confirmed ";
    if (!received.startsWith(confirmed)) {
        return 0;
    }
    const qint32 connId =
        received.mid(confirmed.size(), received.indexOf("/nick") - confirmed.size()).toInt();
    raw.write("/nick Raw");
    raw.flush();
    if (!pumpUntil([&] { return host.form.strPeerName == QLatin1String("Raw"); })) {
        return 0;
    }
    return connId;
}

QTcpSocket* acceptRawHost(QTcpServer& server, LiveEnd& caller, qint32 connId) {
    if (!server.isListening() && !server.listen(QHostAddress::LocalHost)) {
        return nullptr;
    }
    caller.form.port = server.serverPort();
    caller.controls.address = QStringLiteral("127.0.0.1");
    caller.form.cmdConnect_Click();
    if (!pumpUntil([&] { return server.hasPendingConnections(); })) {
        return nullptr;
    }
    QTcpSocket* raw = server.nextPendingConnection();
    raw->write("/connection_confirmed " + QByteArray::number(connId));
    raw->flush();
    QByteArray received;
    if (!readUntil(*raw, received, "/nick Client")) {
        return nullptr;
    }
    raw->write("/nick RawHost");
    raw->flush();
    if (!pumpUntil([&] { return caller.form.strPeerName == QLatin1String("RawHost"); })) {
        return nullptr;
    }
    return raw;
}

void resetOnClose(QTcpSocket& socket) {
#ifdef Q_OS_LINUX
    const linger abortive{1, 0};
    setsockopt(static_cast<int>(socket.socketDescriptor()), SOL_SOCKET, SO_LINGER, &abortive,
               sizeof abortive);
#endif
}

QString withoutSpeaker(QString text, const QString& name) {
    return text.remove(QStringLiteral("\r\n") + name + QStringLiteral(": "));
}

} // namespace parlo::faults
