// libFuzzer target for the receive path: bytes from the network, cut into
// arbitrary reads, go through a stateful UTF-8 decoder into the chat core of
// both programs. The core must never crash or hang, never take back what the
// transcript shows, and never let a received read start a line of its own.

#include "FakeEnd.h"
#include "Wire.h"

#include <QCoreApplication>
#include <QStringDecoder>
#include <cstdlib>
#include <cstring>

namespace {

using namespace parlo;
using parlo::test::FakeEnd;

void require(bool condition) {
    if (!condition) {
        std::abort();
    }
}

void deliver(FakeEnd& end, const QString& text) {
    end.socket.incoming = text;
    emit end.socket.DataArrival(text.size());
}

// Feeds the bytes to one side, after the real opening exchange, as a sequence
// of reads whose lengths follow from the seed (xorshift32).
void feedSide(bool host, std::uint32_t seed, const char* bytes, std::size_t size) {
    FakeEnd end(host);
    end.form.Form_Load();
    if (host) {
        emit end.socket.ConnectionRequest(7);
    } else {
        end.controls.shown["address"] = QStringLiteral("h");
        end.form.cmdConnect_Click();
        end.socket.state = StreamSocket::sckConnected;
        emit end.socket.Connected();
        deliver(end, wire::connectionConfirmed(7));
    }
    deliver(end, wire::nick(QStringLiteral("Peer")));
    QStringDecoder decoder(QStringDecoder::Utf8);
    std::uint32_t state = seed | 1u;
    for (std::size_t offset = 0; offset < size && end.socket.state == StreamSocket::sckConnected;) {
        state ^= state << 13, state ^= state >> 17, state ^= state << 5;
        const std::size_t length =
            std::min<std::size_t>(size - offset, 1 + state % ((state & 0x700u) ? 16 : 4096));
        const QString text = decoder.decode(QByteArrayView(bytes + offset, qsizetype(length)));
        offset += length;
        const QString before = end.controls.shown["out"];
        deliver(end, text);
        const QString& output = end.controls.shown["out"];
        const QStringView added = QStringView(output).mid(before.size());
        require(output.startsWith(before));
        // Line breaks only ever start entries: never a lone CR or LF, nor another kind.
        for (qsizetype i = 0; i < added.size(); ++i) {
            const QChar c = added[i];
            require(c != QChar(0x2028) && c != QChar(0x2029));
            require(c != QLatin1Char('\r') || added.mid(i + 1).startsWith(QLatin1Char('\n')));
            require(c != QLatin1Char('\n') || (i > 0 && added[i - 1] == QLatin1Char('\r')));
        }
        // A read with no "/" anywhere is one chat line on one line, as long as the read.
        if (!text.isEmpty() && !text.contains(QLatin1Char('/'))) {
            require(added.size() == 2 + end.form.strPeerName.size() + 2 + text.size());
            require(added.lastIndexOf(QLatin1Char('\n')) == 1);
        }
    }
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int* argc, char*** argv) {
    static QCoreApplication app(*argc, *argv); // timers need an event dispatcher
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size > 256 * 1024) {
        return -1; // well beyond four reads of the real socket; nothing new to find
    }
    // The first four bytes choose how the rest is cut into reads.
    std::uint32_t seed = 0;
    const std::size_t seedBytes = std::min<std::size_t>(size, 4);
    std::memcpy(&seed, data, seedBytes);
    const auto* bytes = reinterpret_cast<const char*>(data + seedBytes);
    feedSide(false, seed, bytes, size - seedBytes);
    feedSide(true, seed, bytes, size - seedBytes);

    // Messages cut from one read put back together give the read again.
    QString rest = QString::fromUtf8(bytes, qsizetype(size - seedBytes));
    const QString whole = rest;
    QString joined;
    while (!rest.isEmpty()) {
        const qsizetype before = rest.size();
        joined += wire::takeFirstMessage(rest, 7);
        require(rest.size() < before);
    }
    require(joined == whole);
    return 0;
}
