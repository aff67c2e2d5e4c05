#include "ClassicFonts.h"

#include <QFontDatabase>
#include <QHash>
#include <QSet>
#include <QStringList>

namespace parlo {

namespace {

// The first of `families` that is installed, else the last (generic) one, found
// once per list: widgets given the plain family never search for missing faces.
QString installedFamily(const QStringList& families) {
    static QHash<QString, QString> resolved;
    const QString key = families.join(QLatin1Char(','));
    if (const auto known = resolved.constFind(key); known != resolved.constEnd()) {
        return *known;
    }
    // One look at the installed families: asking for each missing face by name
    // makes the font system search its aliases, which costs far more.
    static const QStringList installedList = QFontDatabase::families();
    static const QSet<QString> installed(installedList.cbegin(), installedList.cend());
    QString pick = families.last();
    for (const QString& family : families) {
        if (installed.contains(family)) {
            pick = family;
            break;
        }
    }
    resolved.insert(key, pick);
    return pick;
}

QFont fontOf(const QStringList& families, QFont::StyleHint hint, qreal pointSize, bool bold) {
    QFont font(installedFamily(families));
    font.setStyleHint(hint);
    font.setPointSizeF(pointSize);
    font.setBold(bold);
    return font;
}

const QStringList& sansFallbacks() {
    static const QStringList fallbacks{QStringLiteral("Liberation Sans"),
                                       QStringLiteral("Nimbus Sans"), QStringLiteral("DejaVu Sans"),
                                       QStringLiteral("Sans Serif")};
    return fallbacks;
}

} // namespace

QFont msSansSerifFont(qreal pointSize, bool bold) {
    return fontOf(
        QStringList{QStringLiteral("MS Sans Serif"), QStringLiteral("Microsoft Sans Serif")} +
            sansFallbacks(),
        QFont::SansSerif, pointSize, bold);
}

QFont microsoftSansSerifFont(qreal pointSize, bool bold) {
    return fontOf(
        QStringList{QStringLiteral("Microsoft Sans Serif"), QStringLiteral("MS Sans Serif")} +
            sansFallbacks(),
        QFont::SansSerif, pointSize, bold);
}

QFont timesNewRomanFont(qreal pointSize) {
    return fontOf(QStringList{QStringLiteral("Times New Roman"), QStringLiteral("Liberation Serif"),
                              QStringLiteral("Nimbus Roman"), QStringLiteral("DejaVu Serif"),
                              QStringLiteral("Serif")},
                  QFont::Serif, pointSize, false);
}

QFont lucidaConsoleFont(qreal pointSize) {
    return fontOf(QStringList{QStringLiteral("Lucida Console"), QStringLiteral("DejaVu Sans Mono"),
                              QStringLiteral("Noto Sans Mono"), QStringLiteral("Liberation Mono"),
                              QStringLiteral("Monospace")},
                  QFont::Monospace, pointSize, false);
}

} // namespace parlo
