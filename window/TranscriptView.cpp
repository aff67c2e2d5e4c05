#include "TranscriptView.h"

#include <QPlainTextEdit>
#include <QTextCursor>
#include <QTextDocument>
#include <utility>

namespace parlo {

TranscriptView::TranscriptView(QPlainTextEdit& box) : QObject(&box), m_box(box) {}

QString TranscriptView::text() const {
    return m_text.exact(m_box.document()->toRawText() + m_unshown);
}

void TranscriptView::setText(const QString& text) {
    m_unshown.clear();
    m_box.setPlainText(m_text.reset(text));
}

void TranscriptView::append(const QString& text) {
    m_unshown += m_text.append(text);
    scheduleUpdate();
}

void TranscriptView::scrollToEnd() {
    m_scrollPending = true;
    scheduleUpdate();
}

void TranscriptView::scheduleUpdate() {
    if (std::exchange(m_updateQueued, true)) {
        return;
    }
    QMetaObject::invokeMethod(this, &TranscriptView::update, Qt::QueuedConnection);
}

void TranscriptView::update() {
    m_updateQueued = false;
    if (!m_unshown.isEmpty()) {
        QTextCursor end(m_box.document());
        end.movePosition(QTextCursor::End);
        end.insertText(std::exchange(m_unshown, QString()));
    }
    if (std::exchange(m_scrollPending, false)) {
        // The caret goes to the end (nothing left selected), which brings the
        // last line into view.
        QTextCursor end = m_box.textCursor();
        end.movePosition(QTextCursor::End);
        m_box.setTextCursor(end);
        m_box.ensureCursorVisible();
    }
}

} // namespace parlo
