#include "data/Wildcard.h"

#include <QTest>

class WildcardTest : public QObject
{
    Q_OBJECT

private slots:
    void patterns_data()
    {
        QTest::addColumn<QString>("pattern");
        QTest::addColumn<QString>("text");
        QTest::addColumn<bool>("matches");

        // clang-format off
        QTest::newRow("exact, other capitals") << "Lake Itasca" << "LAKE itasca" << true;
        QTest::newRow("no padding: a part is no match") << "Lake" << "Lake Itasca" << false;
        QTest::newRow("star inside") << "*lake*" << "Canada geese over Lake Itasca" << true;
        QTest::newRow("star matches nothing") << "lake*" << "lake" << true;
        QTest::newRow("star alone matches empty") << "*" << "" << true;
        QTest::newRow("empty pattern only empty text") << "" << "x" << false;
        QTest::newRow("star must backtrack") << "*ab*ac" << "abxabac" << true;
        QTest::newRow("star backtrack miss") << "*ab*ac" << "abxabad" << false;
        QTest::newRow("question is one character") << "b?g" << "bag" << true;
        QTest::newRow("question is not zero") << "b?g" << "bg" << false;
        QTest::newRow("hash is a digit") << "Box #" << "Box 7" << true;
        QTest::newRow("hash is not a letter") << "Box #" << "Box A" << false;
        QTest::newRow("set") << "[bc]at" << "Cat" << true;
        QTest::newRow("set miss") << "[bc]at" << "rat" << false;
        QTest::newRow("range") << "[a-f]*" << "Family" << true;
        QTest::newRow("negated set") << "[!abc]*" << "Dogs" << true;
        QTest::newRow("negated set miss") << "[!abc]*" << "apple" << false;
        QTest::newRow("bracketed star is literal") << "5[*]" << "5*" << true;
        QTest::newRow("bracketed star is not a run") << "5[*]" << "55" << false;
        QTest::newRow("unclosed bracket is literal") << "a[b" << "a[b" << true;
        QTest::newRow("accented capitals") << "ÉCOLE*" << "école de Paris" << true;
        QTest::newRow("apostrophe as run") << "O*Brien" << "O'Brien" << true;
        // clang-format on
    }

    void patterns()
    {
        QFETCH(QString, pattern);
        QFETCH(QString, text);
        QFETCH(bool, matches);
        QCOMPARE(WildcardPattern(pattern).matches(text), matches);
    }

    void plainPatternsBecomeTheEnginesLike()
    {
        QCOMPARE(toSqlLikePattern(u"*lake?"), std::optional<QString>(QStringLiteral("%lake_")));
        // The engine's own wildcards and its escape stand for themselves.
        QCOMPARE(toSqlLikePattern(u"100%_a\\b"), std::optional<QString>(QStringLiteral("100\\%\\_a\\\\b")));
        QCOMPARE(toSqlLikePattern(u"Box #"), std::nullopt);
        QCOMPARE(toSqlLikePattern(u"[ab]*"), std::nullopt);
        // Only ASCII letters fold in the engine's LIKE.
        QCOMPARE(toSqlLikePattern(u"école*"), std::nullopt);
    }
};

int runWildcardTest(int argc, char* argv[])
{
    WildcardTest test;
    return QTest::qExec(&test, argc, argv);
}

#include "WildcardTest.moc"
