#include "OwnAddresses.h"

#include <QNetworkInterface>

namespace parlo {

QString ownAddressesText(const QList<QHostAddress>& addresses) {
    QStringList shown;
    for (const QHostAddress& address : addresses) {
        const bool linkLocalIPv6 =
            address.protocol() == QAbstractSocket::IPv6Protocol && address.isLinkLocal();
        const QString text = address.toString();
        if (!address.isLoopback() && !linkLocalIPv6 && !address.isNull() && !shown.contains(text)) {
            shown.append(text);
        }
    }
    return shown.join(QLatin1String(", "));
}

QString ownAddressesText() {
    return ownAddressesText(QNetworkInterface::allAddresses());
}

} // namespace parlo
