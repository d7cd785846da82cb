#include <QCoreApplication>

int runConversionsTest(int argc, char* argv[]);
int runSettingsTest(int argc, char* argv[]);
int runMessagesTest(int argc, char* argv[]);

int main(int argc, char* argv[])
{
    QCoreApplication application(argc, argv);
    return runConversionsTest(argc, argv) + runSettingsTest(argc, argv) + runMessagesTest(argc, argv);
}
