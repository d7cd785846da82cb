#include "support/TestMain.h"

#include <QApplication>

int runBrowseTest(int argc, char* argv[]);
int runImportWindowTest(int argc, char* argv[]);
int runCsvWindowTest(int argc, char* argv[]);

int main(int argc, char* argv[])
{
    QApplication application(argc, argv);
    return RunTestClasses(argc, argv, {runBrowseTest, runImportWindowTest, runCsvWindowTest});
}
