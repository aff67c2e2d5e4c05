#pragma once

#include <QString>
#include <QStringList>

namespace parlo {

// The lines this user typed in this run, walked with Up and Down like a
// shell's history. Kept in memory only.
class InputHistory {
public:
    void add(const QString& line);
    // The older or newer line relative to the current position; `current` is
    // what the box holds, kept as the draft when the walk starts.
    QString older(const QString& current);
    QString newer(const QString& current);

private:
    QStringList m_lines;
    qsizetype m_position = 0; // m_lines.size() means "the draft"
    QString m_draft;
};

} // namespace parlo
