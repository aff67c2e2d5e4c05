#include "InputHistory.h"

#include <QTest>

using parlo::InputHistory;

// Plays a script against the history the way the input box uses it and
// compares what the box holds after every step.
//   "+line"  the user sends `line` (the box empties)
//   "=text"  the user types `text` over whatever the box holds
//   "U"/"D"  the user presses Up/Down
class TestInputHistory : public QObject {
    Q_OBJECT
private slots:
    void walk_data();
    void walk();
};

void TestInputHistory::walk_data() {
    QTest::addColumn<QStringList>("steps");
    QTest::addColumn<QStringList>("box");

    QTest::newRow("nothing typed yet: Up and Down keep the draft")
        << QStringList{"=draft", "U", "D"} << QStringList{"draft", "draft", "draft"};
    QTest::newRow("Up walks back to the oldest line and stays there")
        << QStringList{"+one", "+two", "+three", "U", "U", "U", "U"}
        << QStringList{"", "", "", "three", "two", "one", "one"};
    QTest::newRow("Down walks forward and ends on an empty box")
        << QStringList{"+one", "+two", "U", "U", "D", "D", "D"}
        << QStringList{"", "", "two", "one", "two", "", ""};
    QTest::newRow("the unsent draft comes back after the walk")
        << QStringList{"+one", "=half a line", "U", "D"}
        << QStringList{"", "half a line", "one", "half a line"};
    QTest::newRow("a line sent twice in a row is kept once")
        << QStringList{"+first", "+same", "+same", "U", "U"}
        << QStringList{"", "", "", "same", "first"};
    QTest::newRow("a line repeated later is kept each time")
        << QStringList{"+a", "+b", "+a", "U", "U", "U"} << QStringList{"", "", "", "a", "b", "a"};
    QTest::newRow("sending a recalled line starts the next walk from the newest")
        << QStringList{"+one", "+two", "U", "U", "+one", "U", "U"}
        << QStringList{"", "", "two", "one", "", "one", "two"};
    QTest::newRow("a line sent after a walk drops the old draft")
        << QStringList{"+one", "=draft", "U", "+one again", "U", "D"}
        << QStringList{"", "draft", "one", "", "one again", ""};
    QTest::newRow("lines keep their spaces and case")
        << QStringList{"+  Mixed Case  ", "U"} << QStringList{"", "  Mixed Case  "};
}

void TestInputHistory::walk() {
    QFETCH(QStringList, steps);
    QFETCH(QStringList, box);
    QCOMPARE(steps.size(), box.size());

    InputHistory history;
    QString shown;
    for (qsizetype i = 0; i < steps.size(); ++i) {
        const QString& step = steps.at(i);
        if (step.startsWith(QLatin1Char('+'))) {
            history.add(step.mid(1));
            shown.clear();
        } else if (step.startsWith(QLatin1Char('='))) {
            shown = step.mid(1);
        } else if (step == QLatin1String("U")) {
            shown = history.older(shown);
        } else if (step == QLatin1String("D")) {
            shown = history.newer(shown);
        } else {
            QFAIL(qPrintable(QStringLiteral("unknown step ") + step));
        }
        QVERIFY2(shown == box.at(i),
                 qPrintable(QStringLiteral("after step %1 (%2): box holds '%3', "
                                           "expected '%4'")
                                .arg(i + 1)
                                .arg(step, shown, box.at(i))));
    }
}

QTEST_APPLESS_MAIN(TestInputHistory)
#include "test_inputHistory.moc"
