#pragma once

#include <QObject>
#include <QString>
#include <memory>

namespace parlo {

// The desktop's notifications, as far as a chat program uses them: one notice
// per conversation that says who wrote what, replaced (not stacked) by the next
// line. Where the desktop has no notifications, nothing happens: no box, no
// error, no delay.
class Notifications : public QObject {
    Q_OBJECT
public:
    // Shows that `who` wrote `line` (both as the transcript shows them); a later
    // call replaces the notice, until a new conversation begins.
    virtual void notify(const QString& who, const QString& line) = 0;
    // The lines that come from now on belong to a notice of their own.
    virtual void beginConversation() = 0;

signals:
    // The user clicked one of this program's notices.
    void clicked();
};

// The platform's notifications for the program named `appName`, whose desktop
// entry and icon are `desktopEntry`.
std::unique_ptr<Notifications> desktopNotifications(const QString& appName,
                                                    const QString& desktopEntry);

} // namespace parlo
