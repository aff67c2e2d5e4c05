// Where the kernel's news is not at hand (Windows), the addresses are looked
// at now and then; `changed` is told only when they differ.

#include "OwnAddresses.h"

#include <QTimer>

namespace parlo {

struct AddressWatch::Platform {
    QTimer poll;
    QString last;
};

namespace {
constexpr auto kPollInterval = std::chrono::seconds(5);
} // namespace

AddressWatch::AddressWatch(QObject* parent) : QObject(parent), m_platform(new Platform) {
    m_platform->poll.setInterval(kPollInterval);
    connect(&m_platform->poll, &QTimer::timeout, this, [this] {
        QString now = ownAddressesText();
        if (now != std::exchange(m_platform->last, now)) {
            emit changed();
        }
    });
}

AddressWatch::~AddressWatch() {
    delete m_platform;
}

void AddressWatch::start() {
    m_platform->last = ownAddressesText();
    m_platform->poll.start();
}

} // namespace parlo
