#include "support/TestMain.h"

#include <QApplication>

int runControlsTest(int argc, char* argv[]);
int runImageViewerTest(int argc, char* argv[]);

int main(int argc, char* argv[])
{
    QApplication application(argc, argv);
    return RunTestClasses(argc, argv, {runControlsTest, runImageViewerTest});
}
