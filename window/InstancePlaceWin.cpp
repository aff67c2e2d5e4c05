#include "InstancePlace.h"

#include <QDir>

namespace parlo {

// The temporary folder is the user's own on Windows; a pipe name is seen by
// the whole machine, so the wake channel carries the user's name.
InstancePlace instancePlace(const QString& programName) {
    const QString base = QDir(QDir::tempPath()).filePath(programName);
    return {base + QStringLiteral(".lock"),
            programName + QLatin1Char('-') + qEnvironmentVariable("USERNAME")};
}

} // namespace parlo
