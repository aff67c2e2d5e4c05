#include "FreedesktopNotifications.h"

#include "NotificationText.h"

#include <QDBusMessage>
#include <QDBusPendingCallWatcher>
#include <QDBusPendingReply>
#include <QThread>

namespace parlo {

namespace {

const QString kService = QStringLiteral("org.freedesktop.Notifications");
const QString kPath = QStringLiteral("/org/freedesktop/Notifications");
const QString kInterface = kService;
// The action a click on the notice itself invokes.
const QString kDefaultAction = QStringLiteral("default");
constexpr int kServerDecidesExpiry = -1;

} // namespace

FreedesktopNotifications::FreedesktopNotifications(const QString& appName,
                                                   const QString& desktopEntry)
    : m_appName(appName), m_desktopEntry(desktopEntry) {}

void FreedesktopNotifications::notify(const QString& who, const QString& line) {
    m_notice.who = who;
    m_notice.unsent = noticeBody(line);
    if (m_state == Bus::Joined) {
        sendNext();
    } else {
        joinBus();
    }
}

void FreedesktopNotifications::beginConversation() {
    ++m_conversation;
    m_notice = Notice{};
}

// Joining the bus waits for the bus's answer, so it happens on a helper
// thread; the notices due meanwhile are sent once it is done.
void FreedesktopNotifications::joinBus() {
    if (m_state != Bus::Apart) {
        return;
    }
    m_state = Bus::Joining;
    QThread* helper = QThread::create([] { QDBusConnection::sessionBus(); });
    connect(helper, &QThread::finished, this, [this] {
        m_bus = QDBusConnection::sessionBus();
        // Any sender: naming the service would make Qt ask the bus for its owner.
        m_bus.connect(QString(), kPath, kInterface, QStringLiteral("ActionInvoked"), this,
                      SLOT(actionInvoked(uint, QString)));
        m_state = Bus::Joined;
        sendNext();
    });
    connect(helper, &QThread::finished, helper, &QObject::deleteLater);
    helper->start();
}

// One call at a time: a notice replaces the one before only once the service
// has said that one's id. A peer that changes its name still has one notice.
void FreedesktopNotifications::sendNext() {
    Notice& notice = m_notice;
    if (notice.calling || !notice.unsent) {
        return;
    }
    QDBusMessage call =
        QDBusMessage::createMethodCall(kService, kPath, kInterface, QStringLiteral("Notify"));
    const QVariantMap hints{{QStringLiteral("desktop-entry"), m_desktopEntry},
                            {QStringLiteral("category"), QStringLiteral("im.received")}};
    call << m_appName << notice.id << m_desktopEntry << notice.who
         << *std::exchange(notice.unsent, std::nullopt) << QStringList{kDefaultAction, m_appName}
         << hints << kServerDecidesExpiry;
    notice.calling = true;
    auto* watcher = new QDBusPendingCallWatcher(m_bus.asyncCall(call), this);
    connect(watcher, &QDBusPendingCallWatcher::finished, this,
            [this, conversation = m_conversation](QDBusPendingCallWatcher* answer) {
                answered(conversation, answer);
            });
}

void FreedesktopNotifications::answered(quint64 conversation, QDBusPendingCallWatcher* call) {
    call->deleteLater();
    const QDBusPendingReply<uint> reply = *call;
    if (reply.isValid() && !m_ids.contains(reply.value())) {
        m_ids.append(reply.value());
    }
    if (conversation != m_conversation) {
        return; // the notice of a conversation that has ended
    }
    m_notice.calling = false;
    if (reply.isValid()) {
        m_notice.id = reply.value();
    }
    sendNext();
}

void FreedesktopNotifications::actionInvoked(uint id, const QString& action) {
    if (action != kDefaultAction || id == 0) {
        return;
    }
    if (m_ids.contains(id)) {
        emit clicked();
    }
}

std::unique_ptr<Notifications> desktopNotifications(const QString& appName,
                                                    const QString& desktopEntry) {
    return std::make_unique<FreedesktopNotifications>(appName, desktopEntry);
}

} // namespace parlo
