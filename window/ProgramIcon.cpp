#include "ProgramIcon.h"

#include <QDirIterator>

namespace parlo {

QIcon programIcon(const QString& programName) {
    QIcon builtIn;
    // One file a size, as packaging/ renders them from the drawing.
    QDirIterator sizes(QStringLiteral(":/icons"), {QStringLiteral("*.png")}, QDir::Files,
                       QDirIterator::Subdirectories);
    while (sizes.hasNext()) {
        builtIn.addFile(sizes.next());
    }
    return QIcon::fromTheme(programName, builtIn);
}

} // namespace parlo
