#pragma once

#include <QDBusConnection>
#include <QDBusMessage>
#include <QObject>
#include <QTimer>

class QDBusServiceWatcher;

namespace parlo {

// The Avahi responder on the system bus, as the DNS-SD layers reach it. The
// bus is connected to on a helper thread, so nothing waits for it; a missing
// bus is tried again now and then, and the responder is followed as it
// starts, stops and restarts. Every call it carries is asynchronous.
class AvahiResponder final : public QObject {
    Q_OBJECT
public:
    static inline const QString kService = QStringLiteral("org.freedesktop.Avahi");
    // "Any" for the interface and protocol arguments (AVAHI_IF_UNSPEC, AVAHI_PROTO_UNSPEC).
    static constexpr qint32 kAnyInterface = -1;
    static constexpr qint32 kAnyProtocol = -1;

    explicit AvahiResponder(QObject* parent = nullptr);

    // Starts following the responder (once; later calls do nothing).
    void follow();
    bool isPresent() const { return m_present; }
    QDBusConnection bus() const;

    // Calls `method` on the responder's object `path`; `done` receives the
    // reply, or an error message, unless this object is gone by then.
    void call(const QString& path, const QString& interface, const QString& method,
              const QVariantList& arguments,
              std::function<void(const QDBusMessage&)> done = nullptr);
    // The same for the responder's own object, the server.
    void callServer(const QString& method, const QVariantList& arguments,
                    std::function<void(const QDBusMessage&)> done);

signals:
    void appeared();
    void vanished();

private:
    void connectToBus();
    void busReady();
    void setPresent(bool present);

    bool m_following = false;
    bool m_present = false;
    QDBusServiceWatcher* m_watcher = nullptr;
    QTimer m_retry;
};

} // namespace parlo
