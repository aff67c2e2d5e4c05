#include "RawPeer.h"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>
#include <utility>

namespace parlo::bench {

RawPeer::RawPeer(quint16 port) : m_fd(::socket(AF_INET, SOCK_STREAM, 0)) {
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_port = htons(port);
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    if (m_fd >= 0 && ::connect(m_fd, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0) {
        ::close(std::exchange(m_fd, -1));
    }
}

RawPeer::~RawPeer() {
    if (m_fd >= 0) {
        ::close(m_fd);
    }
}

void RawPeer::sendAtOnce() {
    const int on = 1;
    ::setsockopt(m_fd, IPPROTO_TCP, TCP_NODELAY, &on, sizeof on);
}

bool RawPeer::send(QByteArrayView bytes) {
    while (!bytes.isEmpty()) {
        const ssize_t written = ::send(m_fd, bytes.data(), size_t(bytes.size()), MSG_NOSIGNAL);
        if (written <= 0) {
            return false;
        }
        bytes = bytes.sliced(written);
    }
    return true;
}

QByteArray RawPeer::receive(int timeoutMs) {
    pollfd ready{m_fd, POLLIN, 0};
    if (::poll(&ready, 1, timeoutMs) <= 0) {
        return {};
    }
    QByteArray bytes(64 * 1024, Qt::Uninitialized);
    const ssize_t got = ::recv(m_fd, bytes.data(), size_t(bytes.size()), 0);
    bytes.truncate(got > 0 ? qsizetype(got) : 0);
    return bytes;
}

void RawPeer::hangUp() {
    ::shutdown(m_fd, SHUT_RDWR);
}

} // namespace parlo::bench
