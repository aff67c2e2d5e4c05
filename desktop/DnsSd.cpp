#include "DnsSd.h"

#include "DnsSdPlatform.h"

namespace parlo {

namespace {

constexpr qsizetype kMaxInstanceNameBytes = 63;

} // namespace

std::unique_ptr<ServiceAnnouncer> makeServiceAnnouncer() {
    if (!qEnvironmentVariableIsEmpty("PARLO_NO_ANNOUNCE")) {
        return std::make_unique<SilentAnnouncer>();
    }
    return platformAnnouncer();
}

std::unique_ptr<ServiceBrowser> makeServiceBrowser() {
    return platformBrowser();
}

QString dnsSdInstanceName(const QString& name) {
    QString cut = name;
    while (cut.toUtf8().size() > kMaxInstanceNameBytes) {
        cut.chop(cut.size() >= 2 && cut.back().isLowSurrogate() ? 2 : 1);
    }
    return cut;
}

} // namespace parlo
