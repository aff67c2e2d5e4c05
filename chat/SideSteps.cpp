#include "SideSteps.h"

#include "frmClient.h"

namespace parlo {

QString failureText(const QString& description) {
    if (description == QLatin1String("Connection is forcefully rejected")) {
        return QStringLiteral("Could not establish a connection.");
    }
    if (description == QLatin1String("Authoritative answer: Host not found")) {
        return QStringLiteral("Host not found.");
    }
    return {};
}

void sayGoodbye(frmClient& form) {
    form.sendControl(wire::terminate(form.lngConnID));
    form.controls.doEvents();
    form.tcpClient.FlushOutgoing(frmClient::kFlushTimeoutMs);
    form.tcpClient.Close();
}

} // namespace parlo
