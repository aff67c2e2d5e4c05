#pragma once

#include "Notifications.h"

#include <QStringList>

namespace parlo::test {

// Notifications that remember each notice as "who: line".
class FakeNotifications final : public Notifications {
public:
    QStringList shown;
    void notify(const QString& who, const QString& line) override { shown << who + ": " + line; }
    void beginConversation() override {}
};

} // namespace parlo::test
