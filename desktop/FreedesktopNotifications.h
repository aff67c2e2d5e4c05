#pragma once

#include "Notifications.h"

#include <QDBusConnection>
#include <QList>
#include <optional>

class QDBusPendingCallWatcher;

namespace parlo {

// Notifications through the freedesktop notification service on the session
// bus. Every call is asynchronous, and the bus is joined on a helper thread the
// first time a notice is due, never at start-up. A service that is missing
// answers with an error, which is a silent no-op; one that appears later is
// used from its first notice on.
class FreedesktopNotifications final : public Notifications {
    Q_OBJECT
public:
    FreedesktopNotifications(const QString& appName, const QString& desktopEntry);

    void notify(const QString& who, const QString& line) override;
    void beginConversation() override;

private slots:
    void actionInvoked(uint id, const QString& action);

private:
    // The conversation's notice: its id once the service has answered, and the
    // newest line while a call is on its way (sent when it returns).
    struct Notice {
        uint id = 0;
        QString who;
        std::optional<QString> unsent;
        bool calling = false;
    };

    void joinBus();
    void sendNext();
    void answered(quint64 conversation, QDBusPendingCallWatcher* call);

    const QString m_appName;
    const QString m_desktopEntry;
    enum class Bus { Apart, Joining, Joined } m_state = Bus::Apart;
    QDBusConnection m_bus{QString()};
    Notice m_notice;
    quint64 m_conversation = 0; // counts the conversations, so that a late answer is told apart
    QList<uint> m_ids;          // every notice shown, for the clicks
};

} // namespace parlo
