#include "support/TestMain.h"

#include <QCoreApplication>

int runTopLevelListsTest(int argc, char* argv[]);
int runDependentListsTest(int argc, char* argv[]);
int runFillsTest(int argc, char* argv[]);

int main(int argc, char* argv[])
{
    QCoreApplication application(argc, argv);
    return RunTestClasses(argc, argv, {runTopLevelListsTest, runDependentListsTest, runFillsTest});
}
