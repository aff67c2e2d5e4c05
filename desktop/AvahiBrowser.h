#pragma once

#include "AvahiResponder.h"
#include "DnsSd.h"

#include <QMap>
#include <tuple>

namespace parlo {

// Finds the hosts announced on the network through an Avahi service browser
// and resolves each to an address and a port. Whatever the network announces
// is kept to kMaxServices at a time; the found list is empty while the
// responder is away, and filled again when it comes back.
class AvahiBrowser final : public ServiceBrowser {
    Q_OBJECT
public:
    // Each host is seen once per interface and protocol, so this leaves room
    // for far more hosts than the address list shows.
    static constexpr qsizetype kMaxServices = 200;

    AvahiBrowser();
    void start() override;

private slots:
    void itemNew(const QDBusMessage& message);
    void itemRemove(const QDBusMessage& message);

private:
    // A service as the browser reports it: interface, protocol, name.
    using Key = std::tuple<qint32, qint32, QString>;

    void createBrowser();
    void forgetAll();
    bool fromOurBrowser(const QDBusMessage& message) const;
    void resolved(const Key& key, const QDBusMessage& reply);
    void changed();

    AvahiResponder m_responder;
    bool m_subscribed = false;
    QString m_browser; // the service browser's object path; empty while it is being made
    QMap<Key, DnsSdService> m_services;
    bool m_changeQueued = false;
};

} // namespace parlo
