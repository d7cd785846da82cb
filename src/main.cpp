#include "app/Failure.h"
#include "app/MessageBoxService.h"
#include "app/Messages.h"
#include "app/Settings.h"
#include "data/cDataBase.h"

#include <QApplication>
#include <QDir>

int main(int argc, char* argv[])
{
    QApplication application(argc, argv);
    QApplication::setApplicationName(QString::fromUtf16(AppTitle));
    SetMessageService(std::make_unique<MessageBoxService>());

    try {
        gDB = std::make_unique<cDataBase>();
        gDB->setDBName(QDir::cleanPath(QApplication::applicationDirPath() + QStringLiteral("/Vellaro.mdb")));
        gDB->OpenDB();
    } catch (const Failure& failure) {
        MsgBox(failure.Description(), MsgButtons::OK, MsgIcon::Critical, QString::fromUtf16(AppTitle));
        return 1;
    }
    gDB.reset();
    return 0;
}
