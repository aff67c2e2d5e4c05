#include "PeerText.h"

namespace parlo {

QString shownOnOneLine(QStringView text) {
    QString shown;
    shown.reserve(text.size());
    for (const QChar c : text) {
        const char16_t u = c.unicode();
        if (u < 0x20) {
            shown += QChar(0x2400 + u); // the control pictures: "␀", "␊", "␍", ...
        } else if (u == 0x7F) {
            shown += QChar(0x2421); // "␡"
        } else if (u == 0x85 || u == 0x2028 || u == 0x2029) {
            shown += QChar(0x2424); // "␤": the other line and paragraph breaks
        } else if (u == 0xFDD0 || u == 0xFDD1) {
            shown += QChar::ReplacementCharacter; // the text box's own frame marks
        } else {
            shown += c;
        }
    }
    return shown;
}

QString shownPeerName(QStringView name) {
    qsizetype length = qMin(name.size(), kMaxPeerNameLength);
    if (length > 0 && name[length - 1].isHighSurrogate()) {
        --length; // never keep half a character
    }
    return shownOnOneLine(name.first(length));
}

} // namespace parlo
