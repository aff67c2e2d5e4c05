#include "aboutFonts.h"

#include <QStringList>

namespace {

QFont fontOf(const QStringList& families, QFont::StyleHint hint, qreal pointSize, bool bold) {
    QFont font;
    font.setFamilies(families);
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
