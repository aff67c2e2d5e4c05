#include "ProgramIcon.h"

#include <QDirIterator>
#include <QFileInfo>

namespace parlo {

QIcon programIcon(const QString& programName) {
    QIcon builtIn;
    // One file a size, ":/icons/<size>/parlo.png", as packaging/ renders them
    // from the drawing. Given its size, a file is read only when it is drawn.
    QDirIterator sizes(QStringLiteral(":/icons"), QDir::Dirs | QDir::NoDotAndDotDot);
    while (sizes.hasNext()) {
        const int size = QFileInfo(sizes.next()).fileName().toInt();
        builtIn.addFile(sizes.filePath() + QStringLiteral("/parlo.png"), QSize(size, size));
    }
    return QIcon::fromTheme(programName, builtIn);
}

} // namespace parlo
