// Where the desktop offers no DNS-SD responder this build can reach (Windows),
// nothing is announced and nothing is found: the address list holds the
// recent addresses alone.

#include "DnsSdPlatform.h"

namespace parlo {

namespace {

class NoBrowser final : public ServiceBrowser {
public:
    void start() override {}
};

} // namespace

std::unique_ptr<ServiceAnnouncer> platformAnnouncer() {
    return std::make_unique<SilentAnnouncer>();
}

std::unique_ptr<ServiceBrowser> platformBrowser() {
    return std::make_unique<NoBrowser>();
}

} // namespace parlo
