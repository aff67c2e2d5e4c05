#include "NotificationText.h"

namespace parlo {

QString noticeBody(QStringView line) {
    qsizetype length = qMin(line.size(), kMaxNoticeLength);
    if (length < line.size() && line[length - 1].isHighSurrogate()) {
        --length; // never keep half a character
    }
    QString body = line.first(length).toString().toHtmlEscaped();
    if (length < line.size()) {
        body += QChar(0x2026); // "…"
    }
    return body;
}

} // namespace parlo
