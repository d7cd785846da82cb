#include "support/TestMain.h"

#include <QApplication>

int runFindWindowTest(int argc, char* argv[]);

int main(int argc, char* argv[])
{
    QApplication application(argc, argv);
    return RunTestClasses(argc, argv, {runFindWindowTest});
}
