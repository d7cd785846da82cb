#include "support/TestMain.h"

#include <QCoreApplication>

int runLabelsTest(int argc, char* argv[]);

int main(int argc, char* argv[])
{
    QCoreApplication application(argc, argv);
    return RunTestClasses(argc, argv, {runLabelsTest});
}
