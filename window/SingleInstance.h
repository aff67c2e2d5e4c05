#pragma once

#include <QLockFile>
#include <QString>
#include <memory>

namespace parlo {

// Holds the per-program lock that keeps a second copy of a program from
// starting on the same machine. A lock left behind by a copy that crashed or
// was killed is recognised by its dead process and taken over.
class SingleInstance {
public:
    // The lock file for `programName` in the machine's temporary folder.
    static QString lockPath(const QString& programName);

    // True when this process now holds the lock; false when another copy runs.
    bool tryAcquire(const QString& programName);

private:
    std::unique_ptr<QLockFile> m_lock;
};

} // namespace parlo
