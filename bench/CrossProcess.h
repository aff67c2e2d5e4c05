#pragma once

#include <QProcess>
#include <QString>

namespace parlo::bench {

// What the receiving process of a two-process latency run is.
enum class ReceiverKind {
    Chat,    // a caller window that calls the host at the port
    BareBox, // a plain socket and a bare text box (the floor)
    Echo,    // a plain socket that sends back whatever arrives (the raw hop)
};

// The receiving process, started from this program. It connects to `port` on
// 127.0.0.1, says "ready" on its output, then for each line `prefix` + the
// line's text, in order, says "<index> <monotonic ns>" right after its text
// box has painted it, so the sender can send the next line only then.
class ReceiverProcess {
public:
    ReceiverProcess(const char* self, ReceiverKind kind, quint16 port, const QString& prefix,
                    int lines);
    ~ReceiverProcess();
    ReceiverProcess(const ReceiverProcess&) = delete;
    ReceiverProcess& operator=(const ReceiverProcess&) = delete;

    bool ready();
    // When line `index` was shown; 0 when the receiver did not say so in time.
    qint64 shownAtNs(int index);

private:
    QByteArray nextLine();

    QProcess m_process;
};

// The text of latency line `index`, the same in every run and process.
QString latencyLine(int index);

// Runs this program as a receiver when its arguments say so; -1 otherwise.
int runReceiverIfAsked(const QStringList& arguments);

} // namespace parlo::bench
