#include "support/TestMain.h"

#include <QByteArray>
#include <QtGlobal>

#include <cstdio>
#include <exception>

int RunTestClasses(int argc, char* argv[], std::initializer_list<TestClassRun> runs)
{
    // QtTest's crash handler would attach gdb to print a stack, which can hang an unattended run.
    qputenv("QTEST_DISABLE_STACK_DUMP", QByteArrayLiteral("1"));
    bool failed = false;
    for (const TestClassRun run : runs) {
        try {
            // Failure counts are added nowhere: 256 failures must not wrap to a passing exit code.
            if (run(argc, argv) != 0)
                failed = true;
        } catch (const std::exception& error) {
            std::fprintf(stderr, "FAIL: a test class ended with an exception: %s\n", error.what());
            failed = true;
        } catch (...) {
            std::fprintf(stderr, "FAIL: a test class ended with an unknown exception\n");
            failed = true;
        }
    }
    return failed ? 1 : 0;
}
