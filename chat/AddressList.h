#pragma once

#include <QList>
#include <QString>
#include <QStringList>

namespace parlo {

// A chat host that announced itself on the network. Everything in it comes
// from the network and is untrusted.
struct FoundHost {
    QString name;    // the announced name, as received
    QString address; // what it resolved to (IPv4, IPv6 with its scope); empty: nothing
    quint16 port = 0;
};

// One line of the address box's list: the text it shows, and the address that
// choosing it puts in the box.
struct AddressEntry {
    QString shown;
    QString address;
    bool operator==(const AddressEntry&) const = default;
};

inline constexpr qsizetype kMaxFoundEntries = 50;
inline constexpr qsizetype kMaxRecentAddresses = 10;

// The address box's list: first the hosts found, each name once (its IPv4
// address preferred), sorted by name, at most kMaxFoundEntries, shown under
// the rules for a peer's name; a host that resolved to no usable address or
// that takes calls on another port than `port` is left out. Then the recent
// addresses, most recent first.
QList<AddressEntry> composeAddressList(const QList<FoundHost>& found, const QStringList& recent,
                                       quint16 port);

// The recent addresses once `address` was called successfully: it comes
// first, each address once, at most kMaxRecentAddresses.
QStringList rememberAddress(QStringList recent, const QString& address);

// Recent addresses as kept: in the order given, without empty ones or
// repeats, at most kMaxRecentAddresses.
QStringList keptRecentAddresses(const QStringList& addresses);

// The name a host announces itself under, for example "Server on alice-laptop".
QString announcedName(const QString& nickname, const QString& machineName);

} // namespace parlo
