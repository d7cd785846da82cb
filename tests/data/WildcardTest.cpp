#include "data/Wildcard.h"

#include "data/Database.h"
#include "data/cDataBase.h"
#include "support/TestProgramFolder.h"

#include <QTest>

namespace {

// Every photo the find reaches, from the first row on, in the record set's order.
QList<qlonglong> allFound(Recordset& rs, const QString& pattern)
{
    QList<qlonglong> found;
    const Criteria criteria = Criteria::like(QStringLiteral("Caption"), pattern);
    rs.MoveFirst();
    for (rs.FindFirst(criteria); !rs.NoMatch(); rs.FindNext(criteria))
        found << rs.Value(QStringLiteral("PhotoID")).toLongLong();
    return found;
}

void addCaptions(const QStringList& captions, int firstId)
{
    Transaction work(gDB->DB());
    int id = firstId;
    for (const QString& caption : captions)
        gDB->DB().Execute(QStringLiteral("INSERT INTO Photos (PhotoID, Caption) VALUES (?, ?)"), {id++, caption});
    work.commit();
}

} // namespace

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
        QTest::newRow("empty brackets stand for nothing") << "a[]b" << "ab" << true;
        QTest::newRow("negated empty brackets are one character") << "[!]x" << "yx" << true;
        QTest::newRow("dash last is literal") << "[a-]" << "-" << true;
        QTest::newRow("range backwards") << "[z-a]*" << "Quiet" << true;
        // A range holds the characters between its ends as written, each in any capitals.
        QTest::newRow("range holds punctuation between its ends") << "[A-z]" << "_" << true;
        QTest::newRow("range holds capitals of what it names") << "[0-Z]" << "q" << true;
        QTest::newRow("range holds nothing folded into it") << "[0-Z]" << "_" << false;
        QTest::newRow("negated range holds small letters of its capitals") << "[!#-[]" << "e" << false;
        QTest::newRow("range holds the Kelvin sign, so k") << "[\u2129-\u212B]" << "k" << true;
        QTest::newRow("range holds the long s, so S") << "[\u017E-\u0180]un" << "Sun" << true;
        QTest::newRow("accented capitals") << "ÉCOLE*" << "école de Paris" << true;
        QTest::newRow("apostrophe as run") << "O*Brien" << "O'Brien" << true;
        QTest::newRow("many stars, no match") << "*a*a*a*a*a*a*a*a*b" << QString(60, u'a') << false;
        // clang-format on
    }

    void patterns()
    {
        QFETCH(QString, pattern);
        QFETCH(QString, text);
        QFETCH(bool, matches);
        const WildcardPattern wildcard(pattern);
        qsizetype steps = -1;
        QCOMPARE(wildcard.matches(text, &steps), matches);
        // However the pattern backtracks, it stays within twice the product of the lengths.
        QVERIFY(steps >= 0 && steps <= 2 * (text.size() + 1) * (pattern.size() + 1));
        const QByteArray utf8 = text.toUtf8();
        QCOMPARE(wildcard.matchesUtf8(utf8.constData(), utf8.size()), matches);
    }

    void plainPatternsBecomeTheEnginesLike()
    {
        QCOMPARE(toSqlLikePattern(u"*lane?"), std::optional<QString>(QStringLiteral("%lane_")));
        // The engine's own wildcards and its escape stand for themselves.
        QCOMPARE(toSqlLikePattern(u"100%_a\\b*"), std::optional<QString>(QStringLiteral("100\\%\\_a\\\\b%")));
        QCOMPARE(toSqlLikePattern(u"Box #"), std::nullopt);
        QCOMPARE(toSqlLikePattern(u"[ab]*"), std::nullopt);
        // Two "*" with pattern after them would let LIKE take far too long.
        QCOMPARE(toSqlLikePattern(u"*a*b*"), std::nullopt);
    }

    // A find gives the same rows whether a dynaset (through the engine) or a snapshot (on values
    // already read) runs it, for captions and patterns where the engine's own LIKE would differ.
    void findsAgreeWhicheverRecordSetRuns()
    {
        TestProgramFolder folder;
        folder.openCatalogue();
        const QString nul(QChar(0));
        const QString longPattern = QString(u'*') + QString(49'998, u'a') + u'*';
        addCaptions({QStringLiteral("Straße"), QStringLiteral("STRASSE"), QStringLiteral("ẞ"), QStringLiteral("ΟΔΟΣ"),
                     QStringLiteral("οδος"), QStringLiteral("οδοσ"), QStringLiteral("20 \u212A"), QStringLiteral("ſun"),
                     QStringLiteral("İstanbul"), QStringLiteral("ıspanak"), QStringLiteral("ﬁsh"),
                     QStringLiteral("fish"), QStringLiteral("a") + nul + QStringLiteral("b lake"), QStringLiteral("ab"),
                     QString::fromUcs4(U"\U0001F600x"), QStringLiteral("100%_a\\b"), QString(200, u'a')},
                    100);
        const QStringList patterns{"*k*",
                                   "*K*",
                                   "*s*",
                                   "s*",
                                   "*ss*",
                                   "*ß*",
                                   "*ẞ*",
                                   "*σ",
                                   "*ς",
                                   "*Σ",
                                   "i*",
                                   "İ*",
                                   "ı*",
                                   "I*",
                                   "*fi*",
                                   "*ﬁ*",
                                   "a",
                                   "ab",
                                   "a?b*",
                                   "*b lake",
                                   "a*",
                                   "?x",
                                   "??x",
                                   "*😀*",
                                   "[a-z]*",
                                   "100[%]*",
                                   "100%*",
                                   "*\\*",
                                   "*[*]*",
                                   "[!a]*",
                                   "*a*a*a*a*a*a*a*a*b",
                                   QStringLiteral("a") + nul + QStringLiteral("b*"),
                                   longPattern,
                                   QString(50'000, u'['),
                                   QString(50'000, u'*'),
                                   QString(25'000, u'?') + QString(25'000, u'*')};
        auto dynaset = gDB->DB().OpenRecordset(TableQuery(QStringLiteral("Photos"), QStringLiteral("PhotoID")),
                                               RecordsetType::Dynaset);
        auto snapshot = gDB->DB().OpenRecordset(TableQuery(QStringLiteral("Photos"), QStringLiteral("PhotoID")),
                                                RecordsetType::Snapshot);
        for (const QString& pattern : patterns) {
            const QList<qlonglong> fromDynaset = allFound(*dynaset, pattern);
            if (fromDynaset != allFound(*snapshot, pattern))
                QFAIL(qPrintable(QStringLiteral("The record sets disagree on %1").arg(pattern.left(40))));
        }
        // And the answers are the ones a reader expects.
        QCOMPARE(allFound(*dynaset, QStringLiteral("*k*")), (QList<qlonglong>{1, 2, 106, 109, 112}));
        QCOMPARE(allFound(*dynaset, QStringLiteral("a?b*")), (QList<qlonglong>{112}));
        QCOMPARE(allFound(*dynaset, QStringLiteral("ab")), (QList<qlonglong>{113}));
        QCOMPARE(allFound(*dynaset, QStringLiteral("?x")), (QList<qlonglong>{114}));
        QCOMPARE(allFound(*dynaset, QStringLiteral("*ς")), (QList<qlonglong>{103, 104, 105}));
        QCOMPARE(allFound(*snapshot, QStringLiteral("*a*a*a*a*a*a*a*a*b")), QList<qlonglong>{});
        QCOMPARE(allFound(*dynaset, QStringLiteral("*a*a*a*a*a*a*a*a*a")), (QList<qlonglong>{116}));
    }
};

int runWildcardTest(int argc, char* argv[])
{
    WildcardTest test;
    return QTest::qExec(&test, argc, argv);
}

#include "WildcardTest.moc"
