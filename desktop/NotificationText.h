#pragma once

#include <QString>
#include <QStringView>

namespace parlo {

// A notice's body holds at most this many characters of the line, so that a
// long line stays a glance.
inline constexpr qsizetype kMaxNoticeLength = 200;

// `line` as a notice's body: plain text whatever the notification server
// makes of markup (its markup characters escaped), cut to kMaxNoticeLength
// characters with "…" where it was longer.
QString noticeBody(QStringView line);

} // namespace parlo
