#pragma once

#include <QString>
#include <QStringView>
#include <map>

namespace parlo {

// The transcript as the text box holds it. The box turns every line break into
// a paragraph break and cannot show a NUL, so the exact text is kept as the
// box's own text plus the few places where the two differ: a long
// conversation is held once, not twice.
class TranscriptText {
public:
    // The box's form of `exact`, to be appended after what the box already has.
    QString append(QStringView exact);
    // Starts over with `exact`; returns the box's form of it.
    QString reset(QStringView exact);
    // The exact transcript, given the box's raw text (QTextDocument::toRawText()
    // followed by what was appended but not yet put into the box).
    QString exact(QStringView boxText) const;

private:
    qsizetype m_length = 0;                 // characters of box text so far
    std::map<qsizetype, QChar> m_different; // box position -> the exact character it stands for
};

} // namespace parlo
