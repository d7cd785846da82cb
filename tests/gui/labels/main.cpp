#include "support/TestMain.h"

#include <QApplication>

int runPrintLabelsTest(int argc, char* argv[]);
int runTableLayoutTest(int argc, char* argv[]);

int main(int argc, char* argv[])
{
    QApplication application(argc, argv);
    return RunTestClasses(argc, argv, {runPrintLabelsTest, runTableLayoutTest});
}
