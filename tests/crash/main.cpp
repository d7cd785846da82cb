#include "CrashWork.h"
#include "support/TestMain.h"

#include <QCoreApplication>

#include <cstring>

int runCrashTest(int argc, char* argv[]);

int main(int argc, char* argv[])
{
    QCoreApplication application(argc, argv);
    // The suite starts itself again as the child that does the work it then kills.
    if (argc == 4 && std::strcmp(argv[1], CrashWork::ChildArgument) == 0)
        return CrashWork::runChild(QString::fromLocal8Bit(argv[2]), QString::fromLocal8Bit(argv[3]));
    return RunTestClasses(argc, argv, {runCrashTest});
}
