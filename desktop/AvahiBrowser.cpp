#include "AvahiBrowser.h"

#include <QDBusObjectPath>
#include <net/if.h>

namespace parlo {

namespace {

const QString kServiceBrowser = QStringLiteral("org.freedesktop.Avahi.ServiceBrowser");

// The address as Connect takes it: a link-local IPv6 address is reachable
// only through the interface it was seen on.
QString connectableAddress(const QString& address, qint32 interface) {
    char name[IF_NAMESIZE] = {};
    if (address.startsWith(QLatin1String("fe80:"), Qt::CaseInsensitive) &&
        if_indextoname(static_cast<unsigned>(interface), name)) {
        return address + QLatin1Char('%') + QString::fromLocal8Bit(name);
    }
    return address;
}

} // namespace

AvahiBrowser::AvahiBrowser() {
    connect(&m_responder, &AvahiResponder::appeared, this, &AvahiBrowser::createBrowser);
    connect(&m_responder, &AvahiResponder::vanished, this, &AvahiBrowser::forgetAll);
}

void AvahiBrowser::start() {
    m_responder.follow();
}

// The browser reports what it already knows as soon as it exists, before its
// path is known here: its signals are heard from any path of the responder
// from the start, and told apart once the path is known.
void AvahiBrowser::createBrowser() {
    if (!std::exchange(m_subscribed, true)) {
        QDBusConnection bus = m_responder.bus();
        bus.connect(AvahiResponder::kService, QString(), kServiceBrowser, QStringLiteral("ItemNew"),
                    this, SLOT(itemNew(QDBusMessage)));
        bus.connect(AvahiResponder::kService, QString(), kServiceBrowser,
                    QStringLiteral("ItemRemove"), this, SLOT(itemRemove(QDBusMessage)));
    }
    m_responder.callServer(
        QStringLiteral("ServiceBrowserNew"),
        {AvahiResponder::kAnyInterface, AvahiResponder::kAnyProtocol, kDnsSdServiceType, QString(),
         quint32(0)},
        [this](const QDBusMessage& reply) {
            if (reply.type() == QDBusMessage::ReplyMessage && !reply.arguments().isEmpty()) {
                m_browser = reply.arguments().constFirst().value<QDBusObjectPath>().path();
            }
        });
}

bool AvahiBrowser::fromOurBrowser(const QDBusMessage& message) const {
    return m_responder.isPresent() && (m_browser.isEmpty() || message.path() == m_browser) &&
           message.arguments().size() >= 5;
}

void AvahiBrowser::itemNew(const QDBusMessage& message) {
    if (!fromOurBrowser(message) || m_services.size() >= kMaxServices) {
        return;
    }
    const QVariantList args = message.arguments();
    const Key key{args[0].toInt(), args[1].toInt(), args[2].toString()};
    if (m_services.contains(key)) {
        return;
    }
    m_services.insert(key, {.name = std::get<2>(key), .address = {}, .port = 0});
    m_responder.callServer(
        QStringLiteral("ResolveService"),
        {args[0], args[1], args[2], args[3], args[4], AvahiResponder::kAnyProtocol, quint32(0)},
        [this, key](const QDBusMessage& reply) { resolved(key, reply); });
}

void AvahiBrowser::itemRemove(const QDBusMessage& message) {
    if (!fromOurBrowser(message)) {
        return;
    }
    const QVariantList args = message.arguments();
    if (m_services.remove({args[0].toInt(), args[1].toInt(), args[2].toString()}) > 0) {
        changed();
    }
}

// ResolveService answers: interface, protocol, name, type, domain, host,
// address protocol, address, port, TXT, flags.
void AvahiBrowser::resolved(const Key& key, const QDBusMessage& reply) {
    const auto service = m_services.find(key);
    const QVariantList args = reply.arguments();
    if (service == m_services.end() || reply.type() != QDBusMessage::ReplyMessage ||
        args.size() < 9) {
        return; // gone meanwhile, or it resolved to nothing: it stays without an address
    }
    service->address = connectableAddress(args[7].toString(), std::get<0>(key));
    service->port = static_cast<quint16>(args[8].toUInt());
    changed();
}

void AvahiBrowser::forgetAll() {
    m_browser.clear();
    m_services.clear();
    changed();
}

// Many changes in a row (a busy network) are told once, from the event loop.
void AvahiBrowser::changed() {
    if (std::exchange(m_changeQueued, true)) {
        return;
    }
    QMetaObject::invokeMethod(
        this,
        [this] {
            m_changeQueued = false;
            emit servicesChanged(m_services.values());
        },
        Qt::QueuedConnection);
}

} // namespace parlo
