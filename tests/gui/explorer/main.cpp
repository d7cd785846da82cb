#include "support/TestMain.h"

#include <QApplication>

int runExplorerWindowTest(int argc, char* argv[]);
int runFindWindowTest(int argc, char* argv[]);
int runInventorySheetTest(int argc, char* argv[]);

int main(int argc, char* argv[])
{
    QApplication application(argc, argv);
    return RunTestClasses(argc, argv, {runExplorerWindowTest, runFindWindowTest, runInventorySheetTest});
}
