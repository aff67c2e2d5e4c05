// libFuzzer target for the receive path: bytes from the network, cut into
// arbitrary reads, go through a stateful UTF-8 decoder into the chat core of
// both programs. The core must never crash, hang, lose a chat line's text or
// take back transcript text it has already shown.

#include "ChatRig.h"
#include "ChunkPlan.h"
#include "ReferenceNumber.h"
#include "Wire.h"

#include <QStringDecoder>
#include <cstdint>
#include <cstdlib>
#include <cstring>

namespace {

using parlo::StreamSocket;
using parlo::test::ChatRig;

const QString kPeerName = QStringLiteral("Peer");
constexpr qint32 kConnId = 7; // the number the seed corpus uses

void require(bool condition) {
    if (!condition) {
        std::abort();
    }
}

// Messages cut from one read put back together give the read again, and every
// cut makes progress.
void checkSplitting(const QString& text, qint32 ownId) {
    QString rest = text;
    QString joined;
    int guard = 0;
    while (!rest.isEmpty()) {
        const qsizetype before = rest.size();
        const QString piece = parlo::wire::takeFirstMessage(rest, ownId);
        require(!piece.isEmpty());
        require(rest.size() < before);
        joined += piece;
        require(++guard <= text.size());
    }
    require(joined == text);
}

void checkNumberParsing(const QString& text) {
    require(parlo::wire::parseConnectionNumber(text) ==
            parlo::fuzz::referenceConnectionNumber(text));
}

void checkCommandSplit(const QString& text) {
    const auto command = parlo::wire::splitCommandLine(text);
    require(command.has_value() == text.startsWith(QLatin1Char('/')));
    if (!command) {
        return;
    }
    require(!command->keyword.contains(QLatin1Char(' ')));
    require(command->keyword == command->keyword.toLower());
}

// Feeds the bytes to one side as a sequence of reads.
void feedSide(bool host, std::uint32_t seed, const char* bytes, std::size_t size) {
    ChatRig rig(host);
    rig.connectAs(kConnId, kPeerName);
    QStringDecoder decoder(QStringDecoder::Utf8); // stateful, like the real socket's

    parlo::fuzz::ChunkPlan plan(seed, size);
    std::size_t offset = 0;
    while (const std::size_t length = plan.next()) {
        const QString text = decoder.decode(QByteArrayView(bytes + offset, qsizetype(length)));
        offset += length;

        const QString before = rig.controls.output;
        const QString peerBefore = rig.form.strPeerName;
        rig.socket.deliver(text);
        const QString& after = rig.controls.output;

        // Nothing the peer sends can take back what the transcript already shows.
        require(after.startsWith(before));
        // A read with no "/" anywhere is one chat line, shown whole after the peer's name.
        if (!text.isEmpty() && !text.contains(QLatin1Char('/'))) {
            require(after.size() == before.size() + 2 + peerBefore.size() + 2 + text.size());
            require(QStringView(after).sliced(before.size()) ==
                    QStringLiteral("\r\n") + peerBefore + QStringLiteral(": ") + text);
        }
        // The socket reads only while a conversation is open.
        if (rig.socket.State() != StreamSocket::sckConnected) {
            require(after.indexOf(QStringLiteral(" disconnected."), before.size()) >= 0);
            break;
        }
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size > 256 * 1024) {
        return -1; // well beyond four reads of the real socket; nothing new to find
    }
    // The first four bytes choose how the rest is cut into reads.
    std::uint32_t seed = 0;
    const std::size_t seedBytes = size < 4 ? size : 4;
    std::memcpy(&seed, data, seedBytes);
    const auto* bytes = reinterpret_cast<const char*>(data + seedBytes);
    const std::size_t length = size - seedBytes;

    feedSide(false, seed, bytes, length);
    feedSide(true, seed, bytes, length);

    const QString whole = QString::fromUtf8(bytes, qsizetype(length));
    checkSplitting(whole, kConnId);
    checkNumberParsing(whole);
    checkCommandSplit(whole);
    if (const auto command = parlo::wire::splitCommandLine(whole)) {
        checkNumberParsing(command->argument);
    }
    return 0;
}
