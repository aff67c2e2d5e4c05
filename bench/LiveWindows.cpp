#include "LiveWindows.h"

#include "Sides.h"

#include <QComboBox>
#include <QCoreApplication>
#include <QDeadlineTimer>

namespace parlo::bench {

using test::makeSide;

LiveWindow::LiveWindow(bool host)
    : side(makeSide(host)), window(*side), form(socket, window, *side) {
    window.attach(form);
    form.port = 0;
    form.Form_Load();
    window.show();
}

bool spinUntil(const std::function<bool()>& done, int timeoutMs) {
    QDeadlineTimer deadline(timeoutMs);
    while (!done()) {
        if (deadline.hasExpired()) {
            return false;
        }
        QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
    }
    return true;
}

bool converse(LiveWindow& host, LiveWindow& caller) {
    caller.form.port = host.socket.listeningPort();
    caller.window.cboAddress->setEditText(QStringLiteral("127.0.0.1"));
    caller.form.cmdConnect_Click();
    return spinUntil(
        [&] {
            return caller.form.blnConfirmed && caller.form.strPeerName == host.form.strMyName &&
                   host.form.strPeerName == caller.form.strMyName;
        },
        10000);
}

} // namespace parlo::bench
