#include "support/TestMain.h"

#include <QCoreApplication>

int runConversionsTest(int argc, char* argv[]);
int runSettingsTest(int argc, char* argv[]);
int runMessagesTest(int argc, char* argv[]);
int runRegistryTest(int argc, char* argv[]);
int runTestMainTest(int argc, char* argv[]);

int main(int argc, char* argv[])
{
    QCoreApplication application(argc, argv);
    return RunTestClasses(argc, argv,
                          {runConversionsTest, runSettingsTest, runMessagesTest, runRegistryTest, runTestMainTest});
}
