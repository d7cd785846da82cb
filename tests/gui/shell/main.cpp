#include "support/TestMain.h"

#include <QApplication>

int runActionTest(int argc, char* argv[]);
int runFormPositionTest(int argc, char* argv[]);
int runStartupTest(int argc, char* argv[]);
int runMainWindowTest(int argc, char* argv[]);
int runOptionsTest(int argc, char* argv[]);
int runBackupTest(int argc, char* argv[]);

int main(int argc, char* argv[])
{
    QApplication application(argc, argv);
    return RunTestClasses(
        argc, argv,
        {runActionTest, runFormPositionTest, runStartupTest, runMainWindowTest, runOptionsTest, runBackupTest});
}
