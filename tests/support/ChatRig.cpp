#include "ChatRig.h"

#include "Sides.h"

namespace parlo::test {

ChatRig::ChatRig(bool host) : side(makeSide(host)), form(socket, controls, *side) {
    form.Form_Load();
    socket.calls.clear();
}

void ChatRig::type(const QString& line) {
    controls.input = line;
    int key = frmClient::kEnter;
    form.txtSend_KeyPress(key);
}

void ChatRig::connectAs(qint32 connId, const QString& peerName) {
    socket.state = StreamSocket::sckConnected;
    form.lngConnID = connId;
    form.strPeerName = peerName;
    form.blnConfirmed = dynamic_cast<CallerSide*>(side.get()) != nullptr;
    socket.calls.clear();
    socket.sent.clear();
}

} // namespace parlo::test
