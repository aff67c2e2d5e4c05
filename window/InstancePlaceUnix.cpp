#include "InstancePlace.h"

#include <QDir>
#include <QFileInfo>
#include <unistd.h>

namespace parlo {

// The session's runtime folder is private to the user; without one, the
// shared temporary folder with the user's id in the names.
InstancePlace instancePlace(const QString& programName) {
    const QString runtime = qEnvironmentVariable("XDG_RUNTIME_DIR");
    const QString base =
        QFileInfo(runtime).isDir() && QDir::isAbsolutePath(runtime)
            ? QDir(runtime).filePath(programName)
            : QDir(QDir::tempPath())
                  .filePath(programName + QLatin1Char('-') + QString::number(::getuid()));
    return {base + QStringLiteral(".lock"), base + QStringLiteral(".socket")};
}

} // namespace parlo
