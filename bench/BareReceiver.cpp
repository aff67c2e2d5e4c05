#include "BareReceiver.h"

#include <QTcpSocket>

namespace parlo::bench {

BareReceiver::BareReceiver(QTcpSocket& socket, QSize size) : m_socket(socket) {
    // Read-only like a transcript, so that no caret blinks and paints.
    m_box.setReadOnly(true);
    m_box.resize(size);
    m_box.show();
    QObject::connect(&m_socket, &QTcpSocket::readyRead, &m_box, [this] { read(); });
}

void BareReceiver::read() {
    m_pending += m_socket.readAll();
    qsizetype end = 0;
    while ((end = m_pending.indexOf('\n')) >= 0) {
        m_box.appendPlainText(QString::fromUtf8(m_pending.first(end)));
        m_pending.remove(0, end + 1);
    }
}

} // namespace parlo::bench
