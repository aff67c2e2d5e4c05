#include "AvahiResponder.h"

#include <QDBusPendingCallWatcher>
#include <QDBusServiceWatcher>
#include <QThread>

namespace parlo {

namespace {

const QString kConnectionName = QStringLiteral("parlo-dnssd");
// How often a missing system bus is looked for again.
constexpr auto kBusRetry = std::chrono::seconds(15);

} // namespace

AvahiResponder::AvahiResponder(QObject* parent) : QObject(parent) {
    m_retry.setSingleShot(true);
    m_retry.setInterval(kBusRetry);
    connect(&m_retry, &QTimer::timeout, this, &AvahiResponder::connectToBus);
}

void AvahiResponder::follow() {
    if (!std::exchange(m_following, true)) {
        connectToBus();
    }
}

QDBusConnection AvahiResponder::bus() const {
    return QDBusConnection(kConnectionName);
}

// Connecting blocks until the bus answers (or the attempt fails): done on a
// thread of its own, whose end is heard here.
void AvahiResponder::connectToBus() {
    QThread* thread = QThread::create(
        [] { QDBusConnection::connectToBus(QDBusConnection::SystemBus, kConnectionName); });
    connect(thread, &QThread::finished, thread, &QObject::deleteLater);
    connect(thread, &QThread::finished, this, &AvahiResponder::busReady);
    thread->start();
}

void AvahiResponder::busReady() {
    QDBusConnection connection = bus();
    if (!connection.isConnected()) {
        QDBusConnection::disconnectFromBus(kConnectionName);
        m_retry.start();
        return;
    }
    m_watcher = new QDBusServiceWatcher(kService, connection,
                                        QDBusServiceWatcher::WatchForOwnerChange, this);
    connect(m_watcher, &QDBusServiceWatcher::serviceRegistered, this, [this] { setPresent(true); });
    connect(m_watcher, &QDBusServiceWatcher::serviceUnregistered, this,
            [this] { setPresent(false); });
    // Already running? The watcher only tells of changes.
    const QDBusMessage hasOwner = QDBusMessage::createMethodCall(
        QStringLiteral("org.freedesktop.DBus"), QStringLiteral("/org/freedesktop/DBus"),
        QStringLiteral("org.freedesktop.DBus"), QStringLiteral("NameHasOwner"));
    auto* pending =
        new QDBusPendingCallWatcher(connection.asyncCall(QDBusMessage(hasOwner) << kService), this);
    connect(pending, &QDBusPendingCallWatcher::finished, this, [this](QDBusPendingCallWatcher* w) {
        w->deleteLater();
        const QDBusMessage reply = w->reply();
        if (!reply.arguments().isEmpty() && reply.arguments().constFirst().toBool()) {
            setPresent(true);
        }
    });
}

void AvahiResponder::setPresent(bool present) {
    if (std::exchange(m_present, present) == present) {
        return;
    }
    if (present) {
        emit appeared();
    } else {
        emit vanished();
    }
}

void AvahiResponder::callServer(const QString& method, const QVariantList& arguments,
                                std::function<void(const QDBusMessage&)> done) {
    call(QStringLiteral("/"), QStringLiteral("org.freedesktop.Avahi.Server"), method, arguments,
         std::move(done));
}

void AvahiResponder::call(const QString& path, const QString& interface, const QString& method,
                          const QVariantList& arguments,
                          std::function<void(const QDBusMessage&)> done) {
    QDBusMessage message = QDBusMessage::createMethodCall(kService, path, interface, method);
    message.setArguments(arguments);
    if (!done) {
        bus().asyncCall(message);
        return;
    }
    auto* pending = new QDBusPendingCallWatcher(bus().asyncCall(message), this);
    connect(pending, &QDBusPendingCallWatcher::finished, this,
            [done = std::move(done)](QDBusPendingCallWatcher* w) {
                w->deleteLater();
                done(w->reply());
            });
}

} // namespace parlo
