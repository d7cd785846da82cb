#include "CrashWork.h"
#include "support/TestMain.h"

#include <QApplication>

#include <cstring>
#include <memory>

int runCrashTest(int argc, char* argv[]);

int main(int argc, char* argv[])
{
    // The suite starts itself again as the child that does the work it then kills.
    if (argc == 4 && std::strcmp(argv[1], CrashWork::ChildArgument) == 0) {
        const QString work = QString::fromLocal8Bit(argv[2]);
        // Only the photo editor needs windows, and they are never shown on a screen.
        qputenv("QT_QPA_PLATFORM", QByteArrayLiteral("offscreen"));
        const auto application = work == CrashWork::Save ? std::make_unique<QApplication>(argc, argv)
                                                         : std::make_unique<QCoreApplication>(argc, argv);
        return CrashWork::runChild(work, QString::fromLocal8Bit(argv[3]));
    }
    QCoreApplication application(argc, argv);
    return RunTestClasses(argc, argv, {runCrashTest});
}
