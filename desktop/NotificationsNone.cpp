#include "Notifications.h"

namespace parlo {

namespace {

// A desktop without notifications the program can reach.
class NoNotifications final : public Notifications {
public:
    void notify(const QString& /*who*/, const QString& /*line*/) override {}
    void beginConversation() override {}
};

} // namespace

std::unique_ptr<Notifications> desktopNotifications(const QString& /*appName*/,
                                                    const QString& /*desktopEntry*/) {
    return std::make_unique<NoNotifications>();
}

} // namespace parlo
