#include "support/MainWindowFixture.h"

#include "ChildWindows.h"
#include "core/Settings.h"
#include "gui/shell/MainVellaro.h"

#include <QApplication>
#include <QTest>

void prepareProgramRun(TestProgramFolder& folder)
{
    folder.addHelp();
    folder.openCatalogue();
    gHelpFile = folder.filePath(QStringLiteral("Help/topics.map"));
    SaveSetting(QStringLiteral("StartUp"), QStringLiteral("FirstTime"), QStringLiteral("False"));
}

std::unique_ptr<mdiMain> makeMainWindow(const TestProgramFolder& folder)
{
    auto main = std::make_unique<mdiMain>(folder.path());
    RegisterChildWindows(*main);
    return main;
}

std::unique_ptr<mdiMain> showMainWindow(const TestProgramFolder& folder)
{
    auto main = makeMainWindow(folder);
    main->show();
    QApplication::setActiveWindow(main.get());
    if (!QTest::qWaitForWindowActive(main.get()))
        QTest::qFail("the main window never became active", __FILE__, __LINE__);
    return main;
}
