#include "support/TestMain.h"

#include <QApplication>

int runListsWindowTest(int argc, char* argv[]);

int main(int argc, char* argv[])
{
    QApplication application(argc, argv);
    return RunTestClasses(argc, argv, {runListsWindowTest});
}
