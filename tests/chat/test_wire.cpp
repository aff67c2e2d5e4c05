// Connection numbers as the wire parser reads them, one row per class of input.

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
};

QTEST_GUILESS_MAIN(Wire)
#include "test_wire.moc"
