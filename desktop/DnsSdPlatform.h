#pragma once

#include "DnsSd.h"

namespace parlo {

// Announces nothing.
class SilentAnnouncer final : public ServiceAnnouncer {
public:
    void start() override {}
    void announce(const QString&, quint16) override {}
    void withdraw() override {}
};

// The platform's own DNS-SD layer, chosen by the build.
std::unique_ptr<ServiceAnnouncer> platformAnnouncer();
std::unique_ptr<ServiceBrowser> platformBrowser();

} // namespace parlo
