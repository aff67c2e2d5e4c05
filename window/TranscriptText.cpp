#include "TranscriptText.h"

namespace parlo {

namespace {

const QChar kCR = QLatin1Char('\r');
const QChar kLF = QLatin1Char('\n');
const QChar kNul = QChar(0);
const QChar kNulSymbol = QChar(0x2400);  // shown where a NUL is
const QChar kParagraph = QChar(0x2029);  // how the box stores a line break
const QChar kFrameStart = QChar(0xFDD0); // characters the box would also turn
const QChar kFrameEnd = QChar(0xFDD1);   // into paragraph breaks

} // namespace

QString TranscriptText::append(QStringView exact) {
    QString shown;
    shown.reserve(exact.size());
    for (qsizetype i = 0; i < exact.size(); ++i) {
        const QChar c = exact[i];
        if (c == kCR && i + 1 < exact.size() && exact[i + 1] == kLF) {
            shown += kLF; // the usual "\r\n": one line break, nothing to remember
            ++i;
        } else if (c == kCR || c == kLF || c == kParagraph || c == kFrameStart || c == kFrameEnd) {
            m_different.emplace(m_length + shown.size(), c);
            shown += kLF;
        } else if (c == kNul) {
            m_different.emplace(m_length + shown.size(), c);
            shown += kNulSymbol;
        } else {
            shown += c;
        }
    }
    m_length += shown.size();
    return shown;
}

QString TranscriptText::reset(QStringView exact) {
    m_length = 0;
    m_different.clear();
    return append(exact);
}

QString TranscriptText::exact(QStringView boxText) const {
    QString text;
    text.reserve(boxText.size() + boxText.size() / 16);
    auto next = m_different.begin();
    for (qsizetype i = 0; i < boxText.size(); ++i) {
        if (next != m_different.end() && next->first == i) {
            text += next->second;
            ++next;
        } else if (boxText[i] == kParagraph || boxText[i] == kLF) {
            text += kCR;
            text += kLF;
        } else {
            text += boxText[i];
        }
    }
    return text;
}

} // namespace parlo
