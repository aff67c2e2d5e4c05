#pragma once

#include "InstancePlace.h"

#include <QLockFile>
#include <QObject>
#include <memory>

class QLocalServer;

namespace parlo {

// Keeps a second copy of a program from starting for the same user: the first
// copy holds a lock and listens on a wake channel; a later copy finds the lock
// taken, wakes the first (which brings its window forward) and ends. A lock
// left behind by a copy that crashed or was killed is recognised by its dead
// process and taken over.
class SingleInstance final : public QObject {
    Q_OBJECT
public:
    explicit SingleInstance(const QString& programName);
    ~SingleInstance() override;

    // False when another copy of this user's runs; true otherwise, also when no
    // lock can be made at all (a folder that is missing or not writable must
    // not keep the program from starting). Safe to call on a helper thread.
    bool tryAcquire();
    // Asks the copy that holds the lock to bring its window forward; returns at once.
    void wakeRunningCopy();
    // Once the lock is ours: reports each later copy's wake-up as woken().
    void listenForWakeUps();

signals:
    void woken();

private:
    const InstancePlace m_place;
    std::unique_ptr<QLockFile> m_lock;
    QLocalServer* m_server = nullptr;
};

} // namespace parlo
