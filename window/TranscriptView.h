#pragma once

#include <QPlainTextEdit>
#include <QString>
#include <vector>

namespace parlo {

// The text box that shows the transcript: it is only written to, in the
// chat core's form ("\r\n" before every entry). Appends cost O(entry); the box
// catches up once per turn of the event loop, so entries that come in a burst
// are laid out together and a line read from the socket is in the transcript
// without waiting for the box.
//
// Text with no place to break a line (no space, one symbol repeated) costs the
// box's layout time that grows with the square of its length. The box therefore
// ends its own paragraph after every kUnbrokenRun characters of such text:
// the box lays out only the paragraphs in view, and each costs little. These
// breaks are the box's alone: the transcript and what is copied from the box
// leave them out.
class TranscriptView final : public QPlainTextEdit {
    Q_OBJECT
public:
    explicit TranscriptView(QWidget* parent = nullptr);

    void setText(const QString& text);
    void append(const QString& text);
    // Brings the end into view once the box has caught up, caret at the end.
    void scrollToEnd();

    // The longest stretch of text without a line-break opportunity that the
    // box keeps in one paragraph.
    static constexpr qsizetype kUnbrokenRun = 2048;

protected:
    QMimeData* createMimeDataFromSelection() const override;

private:
    // `shown` (the box's form of what follows the box's text so far) with the
    // box's own breaks added.
    QString withBreaks(const QString& shown);
    // The box's text from `from` on without the box's own breaks.
    QString withoutBreaks(QStringView boxText, qsizetype from) const;
    void scheduleCatchUp();
    void catchUp();

    QString m_unshown;                  // appended (in the box's form), not yet in the box
    qsizetype m_length = 0;             // characters of the box's text, shown or not yet
    std::vector<qsizetype> m_ownBreaks; // where in it the box's own breaks are, in order
    bool m_catchUpQueued = false;
    bool m_scrollPending = false;
};

} // namespace parlo
