#include "Wire.h"

#include <QTest>

using namespace parlo;

// Keyword splitting, connection numbers and the separation of joined messages.
class TestWire : public QObject {
    Q_OBJECT
private slots:
    void splitCommandLine_data();
    void splitCommandLine();
    void parseConnectionNumber_data();
    void parseConnectionNumber();
    void takeFirstMessage_data();
    void takeFirstMessage();
    void composedMessages();
};

void TestWire::splitCommandLine_data() {
    QTest::addColumn<QString>("line");
    QTest::addColumn<bool>("isCommand");
    QTest::addColumn<QString>("keyword");
    QTest::addColumn<QString>("argument");

    QTest::newRow("keyword in capitals") << "/NICK Server" << true << "nick"
                                         << "Server";
    QTest::newRow("two spaces keep one") << "/nick  Bob" << true << "nick"
                                         << " Bob";
    QTest::newRow("no argument") << "/nick" << true << "nick"
                                 << "";
    QTest::newRow("slash alone") << "/" << true << ""
                                 << "";
    QTest::newRow("slash space word") << "/ word" << true << ""
                                      << "word";
    QTest::newRow("space ends the line") << "/cls " << true << "cls"
                                         << "";
    QTest::newRow("argument keeps case and spaces") << "/Nick Big Bad Wolf " << true << "nick"
                                                    << "Big Bad Wolf ";
    QTest::newRow("tab is no separator") << "/nick\tBob x" << true << "nick\tbob"
                                         << "x";
    QTest::newRow("leading space is chat") << " /nick Bob" << false << ""
                                           << "";
    QTest::newRow("empty line is chat") << "" << false << ""
                                        << "";
    QTest::newRow("plain text") << "hi" << false << ""
                                << "";
    QTest::newRow("first space far away")
        << "/" + QString(40000, 'k') + " arg" << true << QString(40000, 'k') << "arg";
}

void TestWire::splitCommandLine() {
    QFETCH(QString, line);
    QFETCH(bool, isCommand);
    const auto command = wire::splitCommandLine(line);
    QCOMPARE(command.has_value(), isCommand);
    if (isCommand) {
        QTEST(command->keyword, "keyword");
        QTEST(command->argument, "argument");
    }
}

void TestWire::parseConnectionNumber_data() {
    QTest::addColumn<QString>("text");
    QTest::addColumn<bool>("valid");
    QTest::addColumn<int>("value");

    QTest::newRow("plain") << "42" << true << 42;
    QTest::newRow("spaces around") << "  42 " << true << 42;
    QTest::newRow("plus sign") << "+7" << true << 7;
    QTest::newRow("negative") << "-15" << true << -15;
    QTest::newRow("zero") << "0" << true << 0;
    QTest::newRow("int max") << "2147483647" << true << 2147483647;
    QTest::newRow("int min") << "-2147483648" << true << int(-2147483647 - 1);
    QTest::newRow("one past max") << "2147483648" << false << 0;
    QTest::newRow("one past min") << "-2147483649" << false << 0;
    QTest::newRow("far beyond 64 bits") << QString(60, '9') << false << 0;
    QTest::newRow("empty") << "" << false << 0;
    QTest::newRow("spaces only") << "   " << false << 0;
    QTest::newRow("sign only") << "-" << false << 0;
    QTest::newRow("word") << "abc" << false << 0;
    QTest::newRow("trailing text") << "12abc" << false << 0;
    QTest::newRow("joined nick") << "7/nick Server" << false << 0;
    QTest::newRow("inner space") << "1 2" << false << 0;
    QTest::newRow("hex") << "0x10" << false << 0;
    QTest::newRow("decimal point") << "1.5" << false << 0;
    QTest::newRow("arabic-indic digits") << QString::fromUtf8("\u0661\u0662") << false << 0;
}

void TestWire::parseConnectionNumber() {
    QFETCH(QString, text);
    QFETCH(bool, valid);
    const auto number = wire::parseConnectionNumber(text);
    QCOMPARE(number.has_value(), valid);
    if (valid) {
        QTEST(int(*number), "value");
    }
}

void TestWire::takeFirstMessage_data() {
    QTest::addColumn<QString>("read");
    QTest::addColumn<int>("ownId");
    QTest::addColumn<QStringList>("messages");

    QTest::newRow("single chat line") << "hello" << 7 << QStringList{"hello"};
    QTest::newRow("opening exchange joined")
        << "/connection_confirmed 7/nick Server" << 0
        << QStringList{"/connection_confirmed 7", "/nick Server"};
    QTest::newRow("keyword in any case") << "/CONNECTION_CONFIRMED 7/nick Server" << 0
                                         << QStringList{"/CONNECTION_CONFIRMED 7", "/nick Server"};
    QTest::newRow("terminate then chat")
        << "/terminate 5hello" << 5 << QStringList{"/terminate 5", "hello"};
    QTest::newRow("disconnect then nick")
        << "/disconnect 3/nick A" << 3 << QStringList{"/disconnect 3", "/nick A"};
    QTest::newRow("three joined") << "/connection_confirmed 9/terminate 9/nick X" << 0
                                  << QStringList{"/connection_confirmed 9", "/terminate 9",
                                                 "/nick X"};
    QTest::newRow("chat then own terminate")
        << "bye now/terminate 12" << 12 << QStringList{"bye now", "/terminate 12"};
    QTest::newRow("nick then own terminate")
        << "/nick Bob/terminate 12" << 12 << QStringList{"/nick Bob", "/terminate 12"};
    QTest::newRow("trailing terminate with other number stays")
        << "bye/terminate 13" << 12 << QStringList{"bye/terminate 13"};
    QTest::newRow("trailing spaces belong to the number")
        << "/terminate 5  " << 5 << QStringList{"/terminate 5  "};
    QTest::newRow("number out of range is no boundary")
        << "/connection_confirmed 99999999999/nick S" << 0
        << QStringList{"/connection_confirmed 99999999999/nick S"};
    QTest::newRow("no number no cut")
        << "/terminate x/nick S" << 0 << QStringList{"/terminate x/nick S"};
    QTest::newRow("nick then chat stays one line")
        << "/nick Bob hi there" << 0 << QStringList{"/nick Bob hi there"};
    QTest::newRow("two chat lines stay one") << "hihello" << 0 << QStringList{"hihello"};
    QTest::newRow("terminate alone") << "/terminate 4" << 4 << QStringList{"/terminate 4"};
}

void TestWire::takeFirstMessage() {
    QFETCH(QString, read);
    QFETCH(int, ownId);
    QFETCH(QStringList, messages);
    QStringList taken;
    QString rest = read;
    while (!rest.isEmpty() && taken.size() <= messages.size()) {
        taken << wire::takeFirstMessage(rest, ownId);
    }
    QCOMPARE(taken, messages);
    QCOMPARE(taken.join(QString()), read); // not a character lost or added
}

void TestWire::composedMessages() {
    QCOMPARE(wire::connectionConfirmed(-12), QStringLiteral("/connection_confirmed -12"));
    QCOMPARE(wire::nick(QStringLiteral("Two Words")), QStringLiteral("/nick Two Words"));
    QCOMPARE(wire::terminate(2147483647), QStringLiteral("/terminate 2147483647"));
    QCOMPARE(wire::disconnect(0), QStringLiteral("/disconnect 0"));
}

QTEST_APPLESS_MAIN(TestWire)
#include "test_wire.moc"
