#include "AddressList.h"

#include "PeerText.h"

#include <QRegularExpression>
#include <algorithm>

namespace parlo {

namespace {

// An IP address as the responder writes it, with an optional scope (an
// interface name) for a link-local IPv6 address. Anything else is left out.
bool isUsableAddress(const QString& address) {
    static const QRegularExpression ip(QStringLiteral(
        R"(^(?:[0-9]{1,3}(?:\.[0-9]{1,3}){3}|[0-9A-Fa-f:.]{2,45}(?:%[\w.-]{1,32})?)$)"));
    return ip.match(address).hasMatch();
}

bool isIPv4(const QString& address) {
    return !address.contains(QLatin1Char(':'));
}

} // namespace

QList<AddressEntry> composeAddressList(const QList<FoundHost>& found, const QStringList& recent,
                                       quint16 port) {
    QList<FoundHost> hosts;
    for (const FoundHost& host : found) {
        if (host.port != port || !isUsableAddress(host.address)) {
            continue;
        }
        const auto same = std::find_if(hosts.begin(), hosts.end(),
                                       [&host](const FoundHost& h) { return h.name == host.name; });
        if (same == hosts.end()) {
            hosts.append(host);
        } else if (isIPv4(host.address) && !isIPv4(same->address)) {
            same->address = host.address;
        }
    }
    std::stable_sort(hosts.begin(), hosts.end(), [](const FoundHost& a, const FoundHost& b) {
        return a.name.compare(b.name, Qt::CaseInsensitive) < 0;
    });
    QList<AddressEntry> entries;
    for (const FoundHost& host : hosts.first(std::min(hosts.size(), kMaxFoundEntries))) {
        entries.append({shownPeerName(host.name), host.address});
    }
    for (const QString& address : keptRecentAddresses(recent)) {
        entries.append({shownPeerName(address), address});
    }
    return entries;
}

QStringList rememberAddress(QStringList recent, const QString& address) {
    recent.prepend(address);
    return keptRecentAddresses(recent);
}

QStringList keptRecentAddresses(const QStringList& addresses) {
    QStringList kept;
    for (const QString& address : addresses) {
        if (kept.size() == kMaxRecentAddresses) {
            break;
        }
        if (!address.isEmpty() && !kept.contains(address)) {
            kept.append(address);
        }
    }
    return kept;
}

QString announcedName(const QString& nickname, const QString& machineName) {
    return QStringLiteral("%1 on %2").arg(nickname, machineName);
}

} // namespace parlo
