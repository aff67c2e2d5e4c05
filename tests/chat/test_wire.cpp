// The parsers of the wire protocol, one row per class of input.

#include "Wire.h"

#include <QTest>

using namespace parlo;

class Wire : public QObject {
    Q_OBJECT
private slots:
    void connectionNumber_data() {
        QTest::addColumn<QString>("text");
        QTest::addColumn<bool>("valid");
        QTest::addColumn<int>("number");
        QTest::newRow("digits") << "4242" << true << 4242;
        QTest::newRow("spaces and sign") << "  +17 " << true << 17;
        QTest::newRow("largest") << "2147483647" << true << 2147483647;
        QTest::newRow("smallest") << "-2147483648" << true << int(-2147483648LL);
        QTest::newRow("too large") << "2147483648" << false << 0;
        QTest::newRow("too small") << "-2147483649" << false << 0;
        QTest::newRow("far too large") << "99999999999999999999" << false << 0;
        QTest::newRow("trailing text") << "12x" << false << 0;
        QTest::newRow("sign alone") << "-" << false << 0;
        QTest::newRow("empty") << "" << false << 0;
        QTest::newRow("other digits") << "\u0663" << false << 0;
        QTest::newRow("tab") << "\t5" << false << 0;
    }
    void connectionNumber() {
        QFETCH(QString, text);
        QFETCH(bool, valid);
        const auto parsed = wire::parseConnectionNumber(text);
        QCOMPARE(parsed.has_value(), valid);
        if (valid) {
            QTEST(*parsed, "number");
        }
    }

    // Each read is cut into the messages listed, "|" between them; own number 5.
    void joinedReads_data() {
        QTest::addColumn<QString>("read");
        QTest::addColumn<QString>("messages");
        QTest::newRow("one line") << "hello there"
                                  << "hello there";
        QTest::newRow("confirmation then nick") << "/connection_confirmed 42/nick Server"
                                                << "/connection_confirmed 42|/nick Server";
        QTest::newRow("any letter case") << "/TERMINATE 3/nick A"
                                         << "/TERMINATE 3|/nick A";
        QTest::newRow("text after the number") << "/terminate 3 bye"
                                               << "/terminate 3 bye";
        QTest::newRow("not a number") << "/connection_confirmed 99999999999/x"
                                      << "/connection_confirmed 99999999999/x";
        QTest::newRow("disconnect is one line") << "/disconnect 1/disconnect 1"
                                                << "/disconnect 1/disconnect 1";
        QTest::newRow("line then own goodbye") << "!/terminate 5"
                                               << "!|/terminate 5";
        QTest::newRow("line then other goodbye") << "bye/terminate 6"
                                                 << "bye/terminate 6";
        QTest::newRow("chain") << "/terminate 1/terminate 2/x"
                               << "/terminate 1|/terminate 2|/x";
    }
    void joinedReads() {
        QFETCH(QString, read);
        QStringList messages;
        while (!read.isEmpty()) {
            messages << wire::takeFirstMessage(read, 5);
        }
        QTEST(messages.join(QLatin1Char('|')), "messages");
    }
};

QTEST_GUILESS_MAIN(Wire)
#include "test_wire.moc"
