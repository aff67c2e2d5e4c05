// Hostile or unusual input from a peer: huge lines, bytes that are not UTF-8,
// characters split across reads, bursts, giant nicknames, numbers that are not
// numbers and text that looks like format strings. The chat must show every
// byte it was sent, in order and unchanged, and go on working.
#include "LiveChat.h"
#include "testSuites.h"

#include <QTest>
#include <limits>

using namespace parlo;
using namespace parlo::faults;

namespace {

const QString kRaw = QStringLiteral("Raw");

// A host in conversation with a raw caller that has introduced itself.
struct HostAndRaw {
    std::unique_ptr<LiveEnd> host = startHost();
    QTcpSocket raw;
    qint32 connId = connectRawCaller(*host, raw);

    void send(const QByteArray& bytes) {
        raw.write(bytes);
        raw.flush();
    }
};

// Text without "/" (so never a command) and without the speaker prefix.
QByteArray plainText(qsizetype size, int salt) {
    QByteArray text(size, Qt::Uninitialized);
    for (qsizetype i = 0; i < size; ++i) {
        text[i] = char('a' + (i * 7 + salt) % 26);
    }
    return text;
}

} // namespace

class BadInputTest : public QObject {
    Q_OBJECT
private slots:
    void oneMebibyteLine();
    void burstOfLines();
    void undecodableBytes_data();
    void undecodableBytes();
    void characterSplitAcrossReads_data();
    void characterSplitAcrossReads();
    void hugeNickname();
    void connectionNumbersThatAreNot_data();
    void connectionNumbersThatAreNot();
    void formatLikeText_data();
    void formatLikeText();
};

void BadInputTest::oneMebibyteLine() {
    HostAndRaw chat;
    QVERIFY(chat.connId > 0);
    const qsizetype from = chat.host->controls.output.size();
    const QByteArray line = plainText(1024 * 1024, 3);
    chat.send(line);

    QTRY_COMPARE_WITH_TIMEOUT(withoutSpeaker(chat.host->outputSince(from), kRaw).size(),
                              line.size(), 30000);
    const QString shown = chat.host->outputSince(from);
    QCOMPARE(withoutSpeaker(shown, kRaw), QString::fromLatin1(line));
    // Read in pieces of at most 64 KiB, each shown as the peer's line.
    const QStringList pieces = shown.split(QStringLiteral("\r\nRaw: "), Qt::SkipEmptyParts);
    QVERIFY(pieces.size() >= 16);
    for (const QString& piece : pieces) {
        QVERIFY(piece.size() <= QtStreamSocket::kMaxChunkBytes);
    }
    QCOMPARE(chat.host->socket.State(), int(StreamSocket::sckConnected));
}

void BadInputTest::burstOfLines() {
    HostAndRaw chat;
    QVERIFY(chat.connId > 0);
    const qsizetype from = chat.host->controls.output.size();
    QByteArray all;
    for (int i = 0; i < 10000; ++i) {
        // Each line separately written; the network may join them, so count bytes.
        const QByteArray line = "line " + QByteArray::number(i) + " " + plainText(i % 50, i);
        chat.raw.write(line);
        all += line;
    }
    chat.raw.flush();

    QTRY_COMPARE_WITH_TIMEOUT(withoutSpeaker(chat.host->outputSince(from), kRaw).size(), all.size(),
                              30000);
    QCOMPARE(withoutSpeaker(chat.host->outputSince(from), kRaw), QString::fromLatin1(all));
}

void BadInputTest::undecodableBytes_data() {
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QString>("shown");
    QTest::newRow("stray byte") << QByteArray("a\xff"
                                              "b")
                                << QStringLiteral("a\uFFFDb");
    QTest::newRow("lone continuation") << QByteArray("\x80x") << QStringLiteral("\uFFFDx");
    QTest::newRow("truncated sequence") << QByteArray("\xc3(") << QStringLiteral("\uFFFD(");
    QTest::newRow("overlong slash") << QByteArray("\xc0\xafx") << QStringLiteral("\uFFFD\uFFFDx");
    QTest::newRow("surrogate half")
        << QByteArray("\xed\xa0\x80!") << QStringLiteral("\uFFFD\uFFFD\uFFFD!");
    QTest::newRow("NUL kept") << QByteArray("nul\0kept", 8) << QString::fromUtf16(u"nul\0kept", 8);
    QTest::newRow("NUL first") << QByteArray("\0start", 6) << QString::fromUtf16(u"\0start", 6);
}

void BadInputTest::undecodableBytes() {
    QFETCH(QByteArray, bytes);
    QFETCH(QString, shown);
    HostAndRaw chat;
    QVERIFY(chat.connId > 0);
    const qsizetype from = chat.host->controls.output.size();
    chat.send(bytes);
    QTRY_VERIFY_WITH_TIMEOUT(chat.host->controls.output.size() > from, 10000);
    // A marker afterwards proves nothing more was held back or swallowed.
    chat.send("|end");
    QTRY_VERIFY_WITH_TIMEOUT(chat.host->controls.output.endsWith(QStringLiteral("|end")), 10000);
    QCOMPARE(withoutSpeaker(chat.host->outputSince(from), kRaw), shown + QStringLiteral("|end"));
}

void BadInputTest::characterSplitAcrossReads_data() {
    QTest::addColumn<QByteArray>("text");
    QTest::addColumn<int>("cut");
    QTest::newRow("two-byte é after its lead") << QByteArray("caf\xc3\xa9!") << 4;
    QTest::newRow("euro after one byte") << QByteArray("5 \xe2\x82\xac total") << 3;
    QTest::newRow("euro after two bytes") << QByteArray("5 \xe2\x82\xac total") << 4;
    QTest::newRow("emoji after three bytes") << QByteArray("\xf0\x9f\x98\x80 smile") << 3;
    QTest::newRow("read of a lone lead byte") << QByteArray("\xf0\x9f\x98\x80") << 1;
}

void BadInputTest::characterSplitAcrossReads() {
    QFETCH(QByteArray, text);
    QFETCH(int, cut);
    HostAndRaw chat;
    QVERIFY(chat.connId > 0);
    const qsizetype from = chat.host->controls.output.size();
    const int before = chat.host->controls.scrolls;

    chat.send(text.left(cut));
    // Wait until the first part has been read on its own.
    QTRY_VERIFY_WITH_TIMEOUT(chat.host->socket.State() == StreamSocket::sckConnected &&
                                 chat.raw.bytesToWrite() == 0,
                             10000);
    QTest::qWait(100);
    chat.send(text.mid(cut));

    const QString expected = QString::fromUtf8(text);
    QTRY_COMPARE_WITH_TIMEOUT(withoutSpeaker(chat.host->outputSince(from), kRaw), expected, 10000);
    QVERIFY(!chat.host->controls.output.contains(QChar(0xFFFD)));
    QVERIFY(chat.host->controls.scrolls > before);
}

void BadInputTest::hugeNickname() {
    HostAndRaw chat;
    QVERIFY(chat.connId > 0);
    const QByteArray name(100000, 'n');
    const qsizetype from = chat.host->controls.output.size();
    chat.send("/nick " + name);
    QTRY_COMPARE_WITH_TIMEOUT(chat.raw.bytesToWrite(), qint64(0), 10000);
    QTest::qWait(200);
    chat.send("hello");
    QTRY_VERIFY_WITH_TIMEOUT(chat.host->controls.output.endsWith(QStringLiteral(": hello")), 30000);

    // Without framing a name longer than one read is cut where the read ends;
    // the rest of it is shown as that peer's line. No byte is lost either way.
    const QString peer = chat.host->form.strPeerName;
    QVERIFY(!peer.isEmpty());
    QVERIFY(QString::fromLatin1(name).startsWith(peer));
    QCOMPARE(withoutSpeaker(chat.host->outputSince(from), peer),
             QString::fromLatin1(name).mid(peer.size()) + QStringLiteral("hello"));

    // The host answers as usual, and its line reaches the peer whole.
    chat.host->type(QStringLiteral("welcome back"));
    QByteArray received;
    QVERIFY(readUntil(chat.raw, received, "welcome back"));
    QCOMPARE(received, QByteArray("welcome back"));
}

void BadInputTest::connectionNumbersThatAreNot_data() {
    QTest::addColumn<QString>("argument"); // %1 is the connection number
    QTest::addColumn<QString>("keyword");
    QTest::addColumn<bool>("shownAsLine");
    const QString terminate = QStringLiteral("terminate");
    const QString confirmed = QStringLiteral("connection_confirmed");
    QTest::newRow("terminate word") << QStringLiteral("abc") << terminate << false;
    QTest::newRow("terminate empty") << QString() << terminate << false;
    QTest::newRow("terminate sign only") << QStringLiteral("-") << terminate << false;
    QTest::newRow("terminate beyond 32 bits, wraps to ours")
        << QStringLiteral("%2") << terminate << false;
    QTest::newRow("terminate far beyond")
        << QStringLiteral("99999999999999999999999") << terminate << false;
    QTest::newRow("terminate just past the top")
        << QStringLiteral("2147483648") << terminate << false;
    QTest::newRow("confirmed word") << QStringLiteral("abc") << confirmed << true;
    QTest::newRow("confirmed beyond 32 bits") << QStringLiteral("%2") << confirmed << true;
    QTest::newRow("confirmed below the bottom")
        << QStringLiteral("-2147483649") << confirmed << true;
    QTest::newRow("confirmed sign only") << QStringLiteral("+") << confirmed << true;
    QTest::newRow("confirmed spaces only") << QStringLiteral("   ") << confirmed << true;
}

void BadInputTest::connectionNumbersThatAreNot() {
    QFETCH(QString, argument);
    QFETCH(QString, keyword);
    QFETCH(bool, shownAsLine);
    HostAndRaw chat;
    QVERIFY(chat.connId > 0);
    const qint64 wrapped = qint64(chat.connId) + (qint64(1) << 32);
    const QString message = QStringLiteral("/") + keyword + QStringLiteral(" ") +
                            QString(argument)
                                .replace(QStringLiteral("%1"), QString::number(chat.connId))
                                .replace(QStringLiteral("%2"), QString::number(wrapped));
    const QString before = chat.host->controls.output;

    chat.send(message.toUtf8());
    // Let it be read on its own before the next line, which would otherwise join it.
    QTest::qWait(200);
    chat.send("still here");
    QTRY_VERIFY_WITH_TIMEOUT(chat.host->controls.output.endsWith(QStringLiteral("still here")),
                             10000);

    // Not a number: no confirmation, no goodbye; the connection carries on.
    QCOMPARE(chat.host->form.lngConnID, chat.connId);
    QCOMPARE(chat.host->socket.State(), int(StreamSocket::sckConnected));
    QCOMPARE(chat.host->controls.status, QStringLiteral("Connected to 127.0.0.1"));
    const QString expected = before +
                             (shownAsLine ? QStringLiteral("\r\nRaw: ") + message : QString()) +
                             QStringLiteral("\r\nRaw: still here");
    QCOMPARE(chat.host->controls.output, expected);

    // The real goodbye still ends it.
    chat.send("/terminate " + QByteArray::number(chat.connId));
    QTRY_VERIFY_WITH_TIMEOUT(
        chat.host->controls.output.endsWith(QStringLiteral("\r\n>> Raw disconnected.")), 10000);
}

void BadInputTest::formatLikeText_data() {
    QTest::addColumn<QString>("text");
    QTest::newRow("%1") << QStringLiteral("%1");
    QTest::newRow("%s %n") << QStringLiteral("%s %n %d");
    QTest::newRow("mixed") << QStringLiteral("100% sure: %1%2 %% %L1 %n%s");
}

void BadInputTest::formatLikeText() {
    QFETCH(QString, text);
    HostAndRaw chat;
    QVERIFY(chat.connId > 0);

    // Received: a nickname and a line holding the text.
    chat.send(("/nick " + text).toUtf8());
    QTRY_COMPARE_WITH_TIMEOUT(chat.host->form.strPeerName, text, 10000);
    chat.send(text.toUtf8());
    const QString entry = QStringLiteral("\r\n") + text + QStringLiteral(": ") + text;
    QTRY_VERIFY_WITH_TIMEOUT(chat.host->controls.output.endsWith(entry), 10000);

    // Typed: a line and the local nickname.
    chat.host->type(text);
    QVERIFY(chat.host->controls.output.endsWith(QStringLiteral("\r\nServer: ") + text));
    QByteArray received;
    QVERIFY(readUntil(chat.raw, received, text.toUtf8()));
    QCOMPARE(received, text.toUtf8());

    chat.host->type(QStringLiteral("/nick x") + text);
    QVERIFY(chat.host->controls.output.endsWith(QStringLiteral("\r\n>> Your new username is: x") +
                                                text + QStringLiteral(".")));
    QCOMPARE(chat.host->controls.caption, QStringLiteral("x") + text + QStringLiteral(" - Parlo"));
}

int runBadInputTests(int argc, char** argv) {
    BadInputTest test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_badInput.moc"
