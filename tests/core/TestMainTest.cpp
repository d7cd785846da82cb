#include "core/Failure.h"
#include "support/TestMain.h"

#include <QTest>

#include <vector>

namespace {

std::vector<int> ran;

int passes(int, char*[])
{
    ran.push_back(0);
    return 0;
}
int fails256(int, char*[])
{
    ran.push_back(256);
    return 256;
}
int failsMinusOne(int, char*[])
{
    ran.push_back(-1);
    return -1;
}
int failsOne(int, char*[])
{
    ran.push_back(1);
    return 1;
}
int throws(int, char*[])
{
    ran.push_back(99);
    throw Failure(ErrorNumber::NoCurrentRecord);
}

} // namespace

// The test programs' own main: CI must see every failure in its exit code.
class TestMainTest : public QObject
{
    Q_OBJECT

private slots:
    void anyFailingOrThrowingClassFailsTheProgramAndTheRestStillRun()
    {
        char name[] = "tst";
        char* argv[] = {name, nullptr};
        ran.clear();
        QCOMPARE(RunTestClasses(1, argv, {passes, passes}), 0);
        // Counts that add up to a multiple of 256, or cancel out, must not pass as success.
        QCOMPARE(RunTestClasses(1, argv, {fails256}), 1);
        QCOMPARE(RunTestClasses(1, argv, {failsMinusOne, failsOne}), 1);
        ran.clear();
        QCOMPARE(RunTestClasses(1, argv, {throws, passes}), 1);
        QCOMPARE(ran, (std::vector<int>{99, 0}));
        QCOMPARE(qgetenv("QTEST_DISABLE_STACK_DUMP"), QByteArray("1"));
    }
};

int runTestMainTest(int argc, char* argv[])
{
    TestMainTest test;
    return QTest::qExec(&test, argc, argv);
}

#include "TestMainTest.moc"
