#include "Transcript.h"

#include "Controls.h"

namespace parlo {

namespace {
const QString kEntrySeparator = QStringLiteral("\r\n");
constexpr qsizetype kPieceBytes = 64 * 1024;
} // namespace

Transcript::Transcript(Controls& controls) : m_controls(controls) {}

void Transcript::append(const QString& entry) {
    const QString text = kEntrySeparator + entry;
    QByteArray utf8 = text.toUtf8();
    if (!m_pieces.isEmpty() && m_pieces.last().size() + utf8.size() <= kPieceBytes) {
        m_pieces.last() += utf8; // short entries gather in one piece
    } else {
        utf8.squeeze();
        m_pieces.append(std::move(utf8));
    }
    m_controls.appendOutput(text);
}

void Transcript::clear() {
    m_cleared = true;
    m_controls.setOutputText(QString());
}

void Transcript::restore() {
    if (!m_cleared) {
        return; // everything is on view already
    }
    m_cleared = false;
    QString text;
    for (const QByteArray& piece : std::as_const(m_pieces)) {
        text += QString::fromUtf8(piece);
    }
    m_controls.setOutputText(text);
}

} // namespace parlo
