#pragma once

#include "TranscriptText.h"

#include <QObject>
#include <QString>

class QPlainTextEdit;

namespace parlo {

// The transcript shown in its text box. Appends cost O(entry); the box
// catches up once per turn of the event loop, so entries that come in a burst
// are laid out together and a line read from the socket is in the transcript
// without waiting for the box.
class TranscriptView : public QObject {
    Q_OBJECT
public:
    explicit TranscriptView(QPlainTextEdit& box);

    // The exact transcript ("\r\n" separators), shown or not yet.
    QString text() const;
    void setText(const QString& text);
    void append(const QString& text);
    // Brings the end into view once the box has caught up, caret at the end.
    void scrollToEnd();

private:
    void scheduleUpdate();
    void update();

    QPlainTextEdit& m_box;
    TranscriptText m_text; // the exact transcript, from what the box holds
    QString m_unshown;     // appended (in the box's form), not yet in the box
    bool m_updateQueued = false;
    bool m_scrollPending = false;
};

} // namespace parlo
