#include "Transcript.h"

#include "Controls.h"

namespace parlo {

namespace {
const QString kEntrySeparator = QStringLiteral("\r\n");
} // namespace

Transcript::Transcript(Controls& controls) : m_controls(controls) {}

void Transcript::append(const QString& entry) {
    const QString text = kEntrySeparator + entry;
    m_text += text;
    m_controls.appendOutput(text);
}

void Transcript::clear() {
    m_shownFrom = m_text.size();
    m_controls.setOutputText(QString());
}

void Transcript::restore() {
    if (m_shownFrom == 0) {
        return; // everything is on view already
    }
    m_shownFrom = 0;
    m_controls.setOutputText(m_text);
}

} // namespace parlo
