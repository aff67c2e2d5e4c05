#pragma once

#include "ChatSide.h"
#include "QtStreamSocket.h"
#include "RecordingControls.h"
#include "frmClient.h"

#include <QByteArray>
#include <QTcpServer>
#include <QTcpSocket>
#include <memory>

namespace parlo::faults {

// One program's chat model over a real socket on loopback. Its controls record
// like the unit tests' do, but a yield really lets pending events run.
struct LiveEnd {
    explicit LiveEnd(bool host);

    QtStreamSocket socket;
    test::RecordingControls controls;
    std::unique_ptr<ChatSide> side;
    frmClient form;

    // Types `line` into the input box and presses Enter.
    void type(const QString& line);
    // Makes every yield run pending events (the default).
    void pumpOnYield();
    // The transcript text appended after `from` characters.
    QString outputSince(qsizetype from) const { return controls.output.mid(from); }
};

// A host listening on an ephemeral port.
std::unique_ptr<LiveEnd> startHost();

// Reads what arrived on a raw socket, waiting (bounded) for `wanted` to appear.
bool readUntil(QTcpSocket& socket, QByteArray& received, const QByteArray& wanted);

// A raw caller (a bare TCP socket) that has gone through the opening exchange
// with `host` and announced itself as "Raw". Returns the connection number.
qint32 connectRawCaller(LiveEnd& host, QTcpSocket& raw);

// A raw host that has accepted `caller`, confirmed connection `connId` and
// announced itself as "RawHost"; returns the accepted socket.
QTcpSocket* acceptRawHost(QTcpServer& server, LiveEnd& caller, qint32 connId);

// Makes closing `socket` reset the connection instead of ending it politely.
void resetOnClose(QTcpSocket& socket);

// Removes every occurrence of a speaker's prefix ("\r\n", name, ": ") from
// transcript text, leaving the bytes that were said.
QString withoutSpeaker(QString text, const QString& name);

// Lets events run until `done` holds or `timeoutMs` has passed; true when it holds.
template <typename Condition> bool pumpUntil(Condition done, int timeoutMs = 10000);

} // namespace parlo::faults

#include "LiveChat.inl"
