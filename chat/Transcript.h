#pragma once

#include <QByteArray>
#include <QList>
#include <QString>

namespace parlo {

class Controls;

// The conversation as the transcript box shows it: every entry written after
// "\r\n". Every entry since the start is kept, so that a clear only hides
// what came before it and a restore brings the whole conversation back, the
// entries made after the clear included. The box is only ever written to.
class Transcript {
public:
    explicit Transcript(Controls& controls);

    // Costs O(entry), never O(transcript).
    void append(const QString& entry);
    // Empties the box; nothing is lost.
    void clear();
    // Shows every entry since the start again.
    void restore();

private:
    Controls& m_controls;
    // Every entry since the start, each after "\r\n", in UTF-8 (chat is mostly
    // text, which takes half the room it takes in the box). Short entries
    // gather in pieces of at most 64 KiB, so a long conversation is never
    // copied to grow.
    QList<QByteArray> m_pieces;
    bool m_cleared = false; // the box shows less than the whole conversation
};

} // namespace parlo
