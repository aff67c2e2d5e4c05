// Windows: SIO_KEEPALIVE_VALS sets the keepalive timing on every version; the
// probe count (TCP_KEEPCNT, Windows 10 1703 and later) replaces the system's
// ten probes, and TCP_MAXRT bounds how long sent data may stay unacknowledged
// before the connection is given up. Where an option is missing the system's
// default stays: with ten probes an idle peer that vanished is noticed after
// 20 + 10 x 5 = 70 s instead of 30 s.

#include "KeepAlive.h"
#include "KeepAliveOptions.h"

#include <winsock2.h>

#include <mstcpip.h>

namespace parlo {

namespace {

// Socket options at IPPROTO_TCP level, numbered as the Windows SDK numbers them
// (mingw-w64's headers do not name them yet).
constexpr int kTcpMaxRetransmitSeconds = 5; // TCP_MAXRT
constexpr int kTcpKeepAliveCount = 16;      // TCP_KEEPCNT

void setTcpOption(SOCKET socket, int option, DWORD value) {
    setsockopt(socket, IPPROTO_TCP, option, reinterpret_cast<const char*>(&value), sizeof(value));
}

} // namespace

void applyKeepAliveOptions(qintptr socketDescriptor) {
    const auto socket = static_cast<SOCKET>(socketDescriptor);
    if (socket == INVALID_SOCKET) {
        return;
    }
    tcp_keepalive timing{};
    timing.onoff = 1;
    timing.keepalivetime = keepalive::kIdleSeconds * 1000;
    timing.keepaliveinterval = keepalive::kIntervalSeconds * 1000;
    DWORD returned = 0;
    WSAIoctl(socket, SIO_KEEPALIVE_VALS, &timing, sizeof(timing), nullptr, 0, &returned, nullptr,
             nullptr);
    setTcpOption(socket, kTcpKeepAliveCount, keepalive::kProbeCount);
    setTcpOption(socket, kTcpMaxRetransmitSeconds, keepalive::kUserTimeoutMs / 1000);
}

} // namespace parlo
