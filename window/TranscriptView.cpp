#include "TranscriptView.h"

#include <QMimeData>
#include <QTextBoundaryFinder>
#include <QTextCursor>
#include <QTextDocument>
#include <algorithm>
#include <utility>

namespace parlo {

namespace {

// The text as the box holds it: every line break one paragraph break, and a
// symbol where a NUL is, which the box cannot show.
QString boxForm(QStringView text) {
    QString shown;
    shown.reserve(text.size());
    for (qsizetype i = 0; i < text.size(); ++i) {
        const char16_t c = text[i].unicode();
        if (c == u'\r' && i + 1 < text.size() && text[i + 1] == u'\n') {
            continue; // "\r\n" is one break
        }
        if (c == u'\r' || c == u'\n' || c == u'\u2029' || c == u'\ufdd0' || c == u'\ufdd1') {
            shown += QLatin1Char('\n'); // what the box would turn into a paragraph break anyway
        } else if (c == u'\0') {
            shown += QChar(0x2400); // "␀"
        } else {
            shown += text[i];
        }
    }
    return shown;
}

} // namespace

TranscriptView::TranscriptView(QWidget* parent) : QPlainTextEdit(parent) {}

void TranscriptView::setText(const QString& text) {
    m_unshown.clear();
    m_length = 0;
    m_ownBreaks.clear();
    setPlainText(withBreaks(boxForm(text)));
}

void TranscriptView::append(const QString& text) {
    m_unshown += withBreaks(boxForm(text));
    scheduleCatchUp();
}

void TranscriptView::scrollToEnd() {
    m_scrollPending = true;
    scheduleCatchUp();
}

QString TranscriptView::withBreaks(const QString& shown) {
    const qsizetype start = m_length;
    m_length += shown.size();
    if (shown.size() <= kUnbrokenRun) {
        return shown;
    }
    QString laidOut;
    qsizetype copied = 0; // characters of `shown` in `laidOut`
    QTextBoundaryFinder opportunities(QTextBoundaryFinder::Line, shown);
    qsizetype runStart = 0;
    while (runStart < shown.size()) {
        qsizetype runEnd = opportunities.toNextBoundary();
        if (runEnd < 0) {
            runEnd = shown.size();
        }
        while (runEnd - runStart > kUnbrokenRun) {
            qsizetype cut = runStart + kUnbrokenRun;
            if (shown[cut].isLowSurrogate()) {
                --cut; // never between the two halves of a character
            }
            if (laidOut.isEmpty()) {
                laidOut.reserve(shown.size() + shown.size() / kUnbrokenRun + 1);
            }
            laidOut += QStringView(shown).sliced(copied, cut - copied);
            m_ownBreaks.push_back(start + laidOut.size());
            laidOut += QLatin1Char('\n');
            copied = cut;
            runStart = cut;
        }
        runStart = runEnd;
    }
    if (copied == 0) {
        return shown;
    }
    laidOut += QStringView(shown).sliced(copied);
    m_length += laidOut.size() - shown.size();
    return laidOut;
}

QString TranscriptView::withoutBreaks(QStringView boxText, qsizetype from) const {
    const qsizetype to = from + boxText.size();
    auto own = std::lower_bound(m_ownBreaks.begin(), m_ownBreaks.end(), from);
    QString text;
    text.reserve(boxText.size());
    qsizetype copied = 0;
    for (; own != m_ownBreaks.end() && *own < to; ++own) {
        text += boxText.sliced(copied, *own - from - copied);
        copied = *own - from + 1;
    }
    text += boxText.sliced(copied);
    return text;
}

// What the box copies or drags: its own breaks left out. Without them in the
// selection, the box copies as any text box does.
QMimeData* TranscriptView::createMimeDataFromSelection() const {
    const QTextCursor selection = textCursor();
    const auto own = std::lower_bound(m_ownBreaks.begin(), m_ownBreaks.end(),
                                      qsizetype(selection.selectionStart()));
    if (own == m_ownBreaks.end() || *own >= selection.selectionEnd()) {
        return QPlainTextEdit::createMimeDataFromSelection();
    }
    QString text = withoutBreaks(selection.selectedText(), selection.selectionStart());
    for (QChar& c : text) {
        // As the box's plain text reads: breaks as line feeds, no-break spaces as spaces.
        if (c == QChar::ParagraphSeparator || c == QChar::LineSeparator) {
            c = QLatin1Char('\n');
        } else if (c == QChar::Nbsp) {
            c = QLatin1Char(' ');
        }
    }
    auto* data = new QMimeData;
    data->setText(text);
    return data;
}

void TranscriptView::scheduleCatchUp() {
    if (std::exchange(m_catchUpQueued, true)) {
        return;
    }
    QMetaObject::invokeMethod(this, &TranscriptView::catchUp, Qt::QueuedConnection);
}

void TranscriptView::catchUp() {
    m_catchUpQueued = false;
    if (!m_unshown.isEmpty()) {
        QTextCursor end(document());
        end.beginEditBlock();
        end.movePosition(QTextCursor::End);
        end.insertText(std::exchange(m_unshown, QString()));
        end.endEditBlock();
    }
    if (std::exchange(m_scrollPending, false)) {
        // The caret goes to the end (nothing left selected), which brings the
        // last line into view.
        QTextCursor end = textCursor();
        if (end.hasSelection() || !end.atEnd()) {
            end.movePosition(QTextCursor::End);
            setTextCursor(end);
        }
        ensureCursorVisible();
    }
}

} // namespace parlo
