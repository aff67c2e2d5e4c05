// Linux: the kernel tells of every address and link that comes or goes over
// a routing netlink socket; each burst of news is told once.

#include "OwnAddresses.h"

#include <QSocketNotifier>
#include <QTimer>
#include <linux/netlink.h>
#include <linux/rtnetlink.h>
#include <sys/socket.h>
#include <unistd.h>

namespace parlo {

struct AddressWatch::Platform {
    int fd = -1;
    QSocketNotifier* notifier = nullptr;
    QTimer settle;
};

namespace {
// News comes in bursts (an interface going up brings several addresses).
constexpr auto kSettle = std::chrono::milliseconds(200);
} // namespace

AddressWatch::AddressWatch(QObject* parent) : QObject(parent), m_platform(new Platform) {
    m_platform->settle.setSingleShot(true);
    m_platform->settle.setInterval(kSettle);
    connect(&m_platform->settle, &QTimer::timeout, this, &AddressWatch::changed);
}

AddressWatch::~AddressWatch() {
    delete m_platform->notifier;
    if (m_platform->fd >= 0) {
        ::close(m_platform->fd);
    }
    delete m_platform;
}

void AddressWatch::start() {
    if (m_platform->fd >= 0) {
        return;
    }
    const int fd = ::socket(AF_NETLINK, SOCK_RAW | SOCK_NONBLOCK | SOCK_CLOEXEC, NETLINK_ROUTE);
    if (fd < 0) {
        return; // no news: the addresses shown at start-up stay
    }
    sockaddr_nl local{};
    local.nl_family = AF_NETLINK;
    local.nl_groups = RTMGRP_LINK | RTMGRP_IPV4_IFADDR | RTMGRP_IPV6_IFADDR;
    if (::bind(fd, reinterpret_cast<sockaddr*>(&local), sizeof local) != 0) {
        ::close(fd);
        return;
    }
    m_platform->fd = fd;
    m_platform->notifier = new QSocketNotifier(fd, QSocketNotifier::Read);
    connect(m_platform->notifier, &QSocketNotifier::activated, this, [this] {
        char buffer[8192];
        while (::recv(m_platform->fd, buffer, sizeof buffer, 0) > 0) {
        }
        m_platform->settle.start();
    });
}

} // namespace parlo
