#include <QApplication>

int runConversionsTest(int argc, char* argv[]);
int runSettingsTest(int argc, char* argv[]);
int runMessagesTest(int argc, char* argv[]);
int runRegistryTest(int argc, char* argv[]);
int runFormPositionTest(int argc, char* argv[]);
int runStartupTest(int argc, char* argv[]);
int runMainWindowTest(int argc, char* argv[]);
int runOptionsTest(int argc, char* argv[]);

int main(int argc, char* argv[])
{
    QApplication application(argc, argv);
    return runConversionsTest(argc, argv) + runSettingsTest(argc, argv) + runMessagesTest(argc, argv) +
           runRegistryTest(argc, argv) + runFormPositionTest(argc, argv) + runStartupTest(argc, argv) +
           runMainWindowTest(argc, argv) + runOptionsTest(argc, argv);
}
