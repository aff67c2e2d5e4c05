// Linux: the keepalive timing per socket, and TCP_USER_TIMEOUT as the bound on
// unacknowledged data.

#include "KeepAlive.h"
#include "KeepAliveOptions.h"

#include <netinet/in.h>
#include <netinet/tcp.h>
#include <sys/socket.h>

namespace parlo {

void applyKeepAliveOptions(qintptr socketDescriptor) {
    const auto fd = static_cast<int>(socketDescriptor);
    if (fd < 0) {
        return;
    }
    setsockopt(fd, IPPROTO_TCP, TCP_KEEPIDLE, &keepalive::kIdleSeconds, sizeof(int));
    setsockopt(fd, IPPROTO_TCP, TCP_KEEPINTVL, &keepalive::kIntervalSeconds, sizeof(int));
    setsockopt(fd, IPPROTO_TCP, TCP_KEEPCNT, &keepalive::kProbeCount, sizeof(int));
    const unsigned userTimeout = keepalive::kUserTimeoutMs;
    setsockopt(fd, IPPROTO_TCP, TCP_USER_TIMEOUT, &userTimeout, sizeof(userTimeout));
}

} // namespace parlo
