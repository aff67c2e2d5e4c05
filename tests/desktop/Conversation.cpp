#include "Conversation.h"

#include <QComboBox>
#include <QPushButton>
#include <QTest>

namespace parlo::desktop {

Conversation::Conversation() {
    caller.form.port = host.socket.listeningPort();
}

bool Conversation::connect(const QString& address) {
    caller.window.cboAddress->setEditText(address);
    caller.window.cmdConnect->click();
    return QTest::qWaitFor(
        [this] {
            return caller.form.blnConfirmed && host.socket.State() == StreamSocket::sckConnected &&
                   caller.form.strPeerName == host.form.strMyName &&
                   host.form.strPeerName == caller.form.strMyName;
        },
        kWaitMs);
}

bool Conversation::say(ProgramWindow& from, ProgramWindow& to, const QString& line) {
    const QString expected = to.window.outputText() + QStringLiteral("\r\n") + from.form.strMyName +
                             QStringLiteral(": ") + line;
    from.type(line);
    return QTest::qWaitFor([&] { return to.window.outputText() == expected; }, kWaitMs);
}

} // namespace parlo::desktop
