#include "core/Conversions.h"
#include "core/Failure.h"
#include "support/Assertions.h"

#include <QTest>

#include <limits>

class ConversionsTest : public QObject
{
    Q_OBJECT

private slots:
    void wholeNumbersRoundHalvesToEven_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<int>("expected");
        QTest::newRow("plain") << "42" << 42;
        QTest::newRow("blanks and sign") << "  -17 " << -17;
        QTest::newRow("2.5 down to even") << "2.5" << 2;
        QTest::newRow("3.5 up to even") << "3.5" << 4;
        QTest::newRow("-2.5 to even") << "-2.5" << -2;
        QTest::newRow("2.51 up") << "2.51" << 3;
        QTest::newRow("exponent") << "1e3" << 1000;
        QTest::newRow("largest") << "2147483647" << 2147483647;
        QTest::newRow("smallest") << "-2147483648" << int(-2147483647 - 1);
        QTest::newRow("too small for a double rounds to zero") << "1e-400" << 0;
    }
    void wholeNumbersRoundHalvesToEven()
    {
        QFETCH(QString, text);
        QFETCH(int, expected);
        QCOMPARE(toInt32(text), expected);
    }

    void textThatIsNoNumberIsATypeMismatch_data()
    {
        QTest::addColumn<QString>("text");
        QTest::newRow("empty") << "";
        QTest::newRow("blank") << "   ";
        QTest::newRow("letters") << "abc";
        QTest::newRow("number then letters") << "12abc";
        QTest::newRow("not a number") << "nan";
    }
    void textThatIsNoNumberIsATypeMismatch()
    {
        QFETCH(QString, text);
        QVERIFY_FAILURE(toInt32(text), ErrorNumber::TypeMismatch);
        QVERIFY_FAILURE(toInt16(text), ErrorNumber::TypeMismatch);
    }

    void numbersOutsideTheRangeOverflow()
    {
        QVERIFY_FAILURE(toInt32(QStringLiteral("2147483648")), ErrorNumber::Overflow);
        QVERIFY_FAILURE(toInt32(QStringLiteral("-2147483649")), ErrorNumber::Overflow);
        QVERIFY_FAILURE(toInt32(QStringLiteral("99999999999999999999999")), ErrorNumber::Overflow);
        // 2147483647.5 rounds to the even 2147483648, one past the largest.
        QVERIFY_FAILURE(toInt32(QStringLiteral("2147483647.5")), ErrorNumber::Overflow);
        QCOMPARE(toInt16(QStringLiteral("32767")), std::int16_t(32767));
        QVERIFY_FAILURE(toInt16(QStringLiteral("32768")), ErrorNumber::Overflow);
        QVERIFY_FAILURE(toInt16(QVariant(40000)), ErrorNumber::Overflow);
        // Beyond a double's range is still a number, only too large.
        QVERIFY_FAILURE(toInt32(QStringLiteral("1e400")), ErrorNumber::Overflow);
        // 2^63 equals the largest 64-bit number made a double, yet lies past it.
        const auto int64Min = std::numeric_limits<std::int64_t>::min();
        const auto int64Max = std::numeric_limits<std::int64_t>::max();
        QVERIFY_FAILURE(toWholeNumber(QVariant(QStringLiteral("9223372036854775808")), int64Min, int64Max),
                        ErrorNumber::Overflow);
        QVERIFY_FAILURE(toWholeNumber(QVariant(9223372036854775808.0), int64Min, int64Max), ErrorNumber::Overflow);
        QCOMPARE(toWholeNumber(QVariant(QStringLiteral("-9223372036854775808.4")), int64Min, int64Max), int64Min);
    }

    void fieldValuesConvertByTheirKind()
    {
        QCOMPARE(toInt32(QVariant(qlonglong(7))), 7);
        QCOMPARE(toInt32(QVariant(6.5)), 6);
        QCOMPARE(toInt32(QVariant(true)), -1);
        QVERIFY_FAILURE(toInt32(QVariant()), ErrorNumber::InvalidUseOfNull);
        QVERIFY_FAILURE(toInt32(QVariant(std::numeric_limits<double>::quiet_NaN())), ErrorNumber::TypeMismatch);
        // An unsigned 64-bit value past the signed range must not wrap to a negative number.
        QVERIFY_FAILURE(toWholeNumber(QVariant::fromValue(std::numeric_limits<unsigned long>::max()),
                                      std::numeric_limits<std::int64_t>::min(),
                                      std::numeric_limits<std::int64_t>::max()),
                        ErrorNumber::Overflow);
    }

    void booleansFollowTheStoredRule_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<bool>("expected");
        QTest::newRow("True") << "True" << true;
        QTest::newRow("False") << "False" << false;
        QTest::newRow("other capitals") << "tRUE" << true;
        QTest::newRow("zero") << "0" << false;
        QTest::newRow("minus one") << "-1" << true;
        QTest::newRow("any other number") << "2.5" << true;
        QTest::newRow("too large for a double") << "1e400" << true;
        QTest::newRow("too small for a double") << "1e-400" << false;
    }
    void booleansFollowTheStoredRule()
    {
        QFETCH(QString, text);
        QFETCH(bool, expected);
        QCOMPARE(toBoolean(text), expected);
    }

    void otherTextIsNoBoolean()
    {
        QVERIFY_FAILURE(toBoolean(QStringLiteral("Yes")), ErrorNumber::TypeMismatch);
        QVERIFY_FAILURE(toBoolean(QString()), ErrorNumber::TypeMismatch);
        QVERIFY_FAILURE(toBoolean(QStringLiteral("nan")), ErrorNumber::TypeMismatch);
        QCOMPARE(fromBoolean(true), QStringLiteral("True"));
        QCOMPARE(fromBoolean(false), QStringLiteral("False"));
    }

    void everyNumberTheProgramTestsHasWordsOfItsOwn()
    {
        const Failure failure(ErrorNumber::NoCurrentRecord, QStringLiteral("Class Photos"));
        QCOMPARE(QString::fromUtf8(failure.what()), Failure::describe(ErrorNumber::NoCurrentRecord));
        for (long number : {6L, 13L, 3020L, 3021L, 3022L, 3024L, 3051L, 3167L, 3200L})
            QVERIFY2(!Failure::describe(number).startsWith(QStringLiteral("Unexpected")),
                     qPrintable(QString::number(number)));
    }
};

int runConversionsTest(int argc, char* argv[])
{
    ConversionsTest test;
    return QTest::qExec(&test, argc, argv);
}

#include "ConversionsTest.moc"
