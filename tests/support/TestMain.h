#pragma once

#include <initializer_list>

// One test class of a test program: runs it with QTest::qExec and returns the number that failed.
using TestClassRun = int (*)(int argc, char* argv[]);

// Runs every test class of the program in turn and returns 0 only when all of them passed. A class
// whose run throws counts as failed and the next one still runs; a crash never waits on a debugger.
int RunTestClasses(int argc, char* argv[], std::initializer_list<TestClassRun> runs);
