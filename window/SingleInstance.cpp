#include "SingleInstance.h"

#include <QDir>

namespace parlo {

QString SingleInstance::lockPath(const QString& programName) {
    return QDir(QDir::tempPath()).filePath(programName + QStringLiteral(".lock"));
}

bool SingleInstance::tryAcquire(const QString& programName) {
    auto lock = std::make_unique<QLockFile>(lockPath(programName));
    // A running copy holds its lock for as long as it runs, however long that
    // is: only a dead owner makes the lock stale.
    lock->setStaleLockTime(0);
    if (!lock->tryLock(0)) {
        return false;
    }
    m_lock = std::move(lock);
    return true;
}

} // namespace parlo
