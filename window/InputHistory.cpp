#include "InputHistory.h"

namespace parlo {

void InputHistory::add(const QString& line) {
    if (m_lines.isEmpty() || m_lines.last() != line) {
        m_lines.append(line);
    }
    m_position = m_lines.size();
    m_draft.clear();
}

QString InputHistory::older(const QString& current) {
    if (m_position == 0) {
        return current;
    }
    if (m_position == m_lines.size()) {
        m_draft = current;
    }
    return m_lines.at(--m_position);
}

QString InputHistory::newer(const QString& current) {
    if (m_position >= m_lines.size()) {
        return current;
    }
    ++m_position;
    return m_position == m_lines.size() ? m_draft : m_lines.at(m_position);
}

} // namespace parlo
