#include "SingleInstance.h"

#include <QLocalServer>
#include <QLocalSocket>

namespace parlo {

namespace {

// A running copy answers at once; this only bounds a copy that hangs.
constexpr int kWakeTimeoutMs = 500;

} // namespace

SingleInstance::SingleInstance(const QString& programName) : m_place(instancePlace(programName)) {}

SingleInstance::~SingleInstance() = default;

bool SingleInstance::tryAcquire() {
    auto lock = std::make_unique<QLockFile>(m_place.lockFile);
    // A running copy holds its lock for as long as it runs, however long that
    // is: only a dead owner makes the lock stale.
    lock->setStaleLockTime(0);
    if (lock->tryLock(0)) {
        m_lock = std::move(lock);
        return true;
    }
    return lock->error() != QLockFile::LockFailedError;
}

void SingleInstance::wakeRunningCopy() {
    QLocalSocket socket;
    socket.connectToServer(m_place.wakeChannel);
    if (socket.waitForConnected(kWakeTimeoutMs)) {
        socket.disconnectFromServer();
    }
}

void SingleInstance::listenForWakeUps() {
    if (!m_lock) {
        return; // the channel belongs to whoever holds the lock
    }
    m_server = new QLocalServer(this);
    m_server->setSocketOptions(QLocalServer::UserAccessOption);
    // A channel left by a copy that died is ours to replace: we hold the lock.
    QLocalServer::removeServer(m_place.wakeChannel);
    connect(m_server, &QLocalServer::newConnection, this, [this] {
        while (QLocalSocket* caller = m_server->nextPendingConnection()) {
            caller->deleteLater();
            emit woken();
        }
    });
    m_server->listen(m_place.wakeChannel);
}

} // namespace parlo
