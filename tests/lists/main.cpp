#include <QCoreApplication>

int runTopLevelListsTest(int argc, char* argv[]);
int runDependentListsTest(int argc, char* argv[]);
int runFillsTest(int argc, char* argv[]);

int main(int argc, char* argv[])
{
    QCoreApplication application(argc, argv);
    return runTopLevelListsTest(argc, argv) + runDependentListsTest(argc, argv) + runFillsTest(argc, argv);
}
