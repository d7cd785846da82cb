#include "support/TestMain.h"

#include <QApplication>

int runPhotoEditorTest(int argc, char* argv[]);
int runViewPhotoTest(int argc, char* argv[]);

int main(int argc, char* argv[])
{
    QApplication application(argc, argv);
    return RunTestClasses(argc, argv, {runPhotoEditorTest, runViewPhotoTest});
}
