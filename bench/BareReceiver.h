#pragma once

#include <QByteArray>
#include <QPlainTextEdit>

class QTcpSocket;

namespace parlo::bench {

// The toolkit's floor for showing a received line: a bare text box of the
// transcript's size, in its default font, that appends each line arriving on
// a plain socket (lines end in "\n").
class BareReceiver {
public:
    BareReceiver(QTcpSocket& socket, QSize size);
    QPlainTextEdit& box() { return m_box; }

private:
    void read();

    QTcpSocket& m_socket;
    QPlainTextEdit m_box;
    QByteArray m_pending;
};

} // namespace parlo::bench
