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

#define REQUIRE(condition) ((condition) ? void() : std::abort())

namespace {

using namespace parlo;

void deliver(test::FakeEnd& end, const QString& text) {
    end.socket.incoming = text;
    emit end.socket.DataArrival();
}

// Feeds the bytes to one side, after the real opening exchange, as a sequence
// of reads whose lengths follow from the seed (xorshift32).
void feedSide(bool host, std::uint32_t seed, const char* bytes, std::size_t size) {
    test::FakeEnd end(host);
    end.form.Form_Load();
    if (host) {
        emit end.socket.ConnectionRequest(7);
    } else {
        end.controls.shown["address"] = QStringLiteral("h");
        end.form.cmdConnect_Click();
        end.socket.connected = true;
        emit end.socket.Connected();
        deliver(end, wire::connectionConfirmed(7));
    }
    deliver(end, wire::nick(QStringLiteral("Peer")));
    QStringDecoder decoder(QStringDecoder::Utf8);
    const QString& output = end.controls.shown["out"];
    for (std::size_t offset = 0; offset < size && end.socket.connected;) {
        seed ^= seed << 13;
        seed ^= seed >> 17;
        seed ^= seed << 5;
        const std::size_t length =
            std::min<std::size_t>(size - offset, 1 + seed % ((seed & 0x700u) ? 16 : 4096));
        const QString text = decoder.decode(QByteArrayView(bytes + offset, qsizetype(length)));
        offset += length;
        const QString before = output;
        deliver(end, text);
        const QStringView added = QStringView(output).mid(before.size());
        REQUIRE(output.startsWith(before));
        // Line breaks only ever start entries: never a lone CR or LF, nor another kind.
        const qsizetype breaks = added.count(u"\r\n");
        REQUIRE(added.count(u'\r') == breaks && added.count(u'\n') == breaks);
        REQUIRE(!added.contains(QChar(0x2028)) && !added.contains(QChar(0x2029)));
        // A read with no "/" anywhere is one chat line: the peer's name, ": "
        // and as many characters as the read.
        if (!text.isEmpty() && !text.contains(QLatin1Char('/'))) {
            REQUIRE(breaks == 1);
            REQUIRE(added.size() >= 4 + text.size());
            REQUIRE(added.sliced(added.size() - text.size() - 2).startsWith(u": "));
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
    std::uint32_t seed = 1;
    std::memcpy(&seed, data, std::min<std::size_t>(size, 4));
    const auto* bytes = reinterpret_cast<const char*>(data) + std::min<std::size_t>(size, 4);
    const std::size_t length = size - std::min<std::size_t>(size, 4);
    feedSide(false, seed | 1u, bytes, length);
    feedSide(true, seed | 1u, bytes, length);

    // Messages cut from one read put back together give the read again.
    const QString whole = QString::fromUtf8(bytes, qsizetype(length));
    QString rest = whole;
    QString joined;
    while (!rest.isEmpty()) {
        const qsizetype before = rest.size();
        joined += wire::takeFirstMessage(rest, 7);
        REQUIRE(rest.size() < before);
    }
    REQUIRE(joined == whole);
    return 0;
}
