#include "gui/shell/MainVellaro.h"

#include "core/Failure.h"
#include "gui/shell/Action.h"
#include "gui/shell/FormPosition.h"
#include "gui/shell/MessageBoxService.h"
#include "core/Messages.h"
#include "core/Settings.h"
#include "core/cRegistry.h"
#include "gui/shell/frmHelp.h"
#include "gui/shell/frmSplash.h"
#include "gui/shell/mdiMain.h"
#include "data/cDataBase.h"

#include <QApplication>
#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QKeyEvent>
#include <QLockFile>
#include <QPointer>
#include <QStandardPaths>
#include <QThread>

#include <chrono>
#include <cmath>

QString gHelpFile;

namespace {

const QString supportAddress = QStringLiteral("support@vellaro.example");

QString engineMissingMessage()
{
    return QStringLiteral(" Vellaro was unable to locate and register DAO350.DLL\r\r"
                          " Locate the file on your hard drive, then follow these directions:\r\r"
                          " 1) Click the Start Button, then Run\r"
                          " 2) Type REGSVR32 ''PATH\\DAO350.DLL''\r"
                          "    where PATH is the location of DAO350.DLL on your hard drive.\r"
                          " 3) Click OK.\r"
                          " 4) If the message box says it succeeded then restart Vellaro.\r\r"
                          " If you do not have DAO350.DLL or could not register it, or need assistance,\r"
                          "  contact Vellaro at ") +
           supportAddress;
}

QString expressionLibraryMissingMessage()
{
    return QStringLiteral(" Vellaro was unable to locate VBAJET32.DLL\r\r"
                          " Locate the file on your hard drive, then copy it to the system directory:\r\r"
                          " If you do not have VBAJET32.DLL, or need assistance, contact Vellaro at \r ") +
           supportAddress;
}

void reportStartFailure(const Failure& failure)
{
    switch (failure.Number()) {
    case ErrorNumber::CannotOpenFile:
        MsgBox(QStringLiteral("Unable to find or read Vellaro.mdb - Closing Application."), MsgButtons::OK,
               MsgIcon::Critical, QStringLiteral("Fatal Error"));
        break;
    case ErrorNumber::EngineUnavailable:
        MsgBox(engineMissingMessage(), MsgButtons::OK, MsgIcon::Critical, QStringLiteral("Vellaro Error"));
        break;
    case ErrorNumber::ExpressionLibraryMissing:
        MsgBox(expressionLibraryMissingMessage(), MsgButtons::OK, MsgIcon::Critical, QStringLiteral("Vellaro Error"));
        break;
    default:
        MsgBox(failure.Description(), MsgButtons::OK, MsgIcon::None, QString::fromUtf16(AppTitle));
        break;
    }
}

// About a second, measured on a clock that never jumps: until the next whole second after one from
// now, rounded half to even, while the splash keeps drawing.
void pauseForSplash()
{
    using Clock = std::chrono::steady_clock;
    const double now = std::chrono::duration<double>(Clock::now().time_since_epoch()).count();
    const double until = std::nearbyint(now + 1.0);
    while (std::chrono::duration<double>(Clock::now().time_since_epoch()).count() < until) {
        QApplication::processEvents(QEventLoop::AllEvents, 20);
        QThread::msleep(10);
    }
}

const char* const helpContextProperty = "vellaroHelpContextID";

// F1 anywhere in a window opens that window's help topic. The filter sits on the application so
// that it sees the key before any control does: line edits and editable combos keep their keys
// to themselves. The innermost window that has a topic answers, so a window inside the main window
// shows its own help rather than the main window's.
class HelpKey final : public QObject
{
public:
    using QObject::QObject;

    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (event->type() != QEvent::KeyRelease && event->type() != QEvent::KeyPress &&
            event->type() != QEvent::ShortcutOverride)
            return false;
        const auto* key = static_cast<QKeyEvent*>(event);
        if (key->key() != Qt::Key_F1 || key->modifiers() != Qt::NoModifier || !watched->isWidgetType())
            return false;
        const int contextID = helpContextOf(static_cast<QWidget*>(watched));
        if (contextID < 0)
            return false;
        // The topic opens once, when the key comes up; its press goes no further either.
        if (event->type() == QEvent::KeyRelease && !key->isAutoRepeat())
            RunAction([contextID] { ShowHelp(contextID); });
        event->accept();
        return true;
    }

private:
    static int helpContextOf(const QWidget* widget)
    {
        for (; widget; widget = widget->parentWidget()) {
            const QVariant contextID = widget->property(helpContextProperty);
            if (contextID.isValid())
                return contextID.toInt();
        }
        return -1;
    }
};

frmHelp* helpWindow()
{
    QWidget* owner = MainWindow();
    const QString folder = QFileInfo(gHelpFile).absolutePath();
    if (owner) {
        if (auto* open = owner->findChild<frmHelp*>(QStringLiteral("frmHelp"), Qt::FindDirectChildrenOnly))
            return open;
    } else {
        for (QWidget* window : QApplication::topLevelWidgets()) {
            if (auto* open = qobject_cast<frmHelp*>(window))
                return open;
        }
    }
    return new frmHelp(folder, owner);
}

} // namespace

void ShowHelp(int contextID)
{
    if (cRegistry().IEVersion().size() < 2) {
        MsgBox(QStringLiteral("Internet Explorer is required for viewing Velaro Help.\r"
                              " You can download it free from Micrsoft at https://www.microsoft.com/"),
               MsgButtons::OK, MsgIcon::Information, QStringLiteral("Vellaro Help"));
        return;
    }
    frmHelp* help = helpWindow();
    if (!help->ShowTopic(contextID)) {
        const QString folder = QDir::toNativeSeparators(QFileInfo(gHelpFile).absolutePath());
        if (!help->isVisible())
            help->deleteLater();
        MsgBox(QStringLiteral("Please copy the Vellaro help files to the %1 directory.").arg(folder));
        return;
    }
    help->show();
    help->raise();
    help->activateWindow();
}

void InstallHelpKey(QWidget* window, int contextID)
{
    window->setProperty(helpContextProperty, contextID);
    static QPointer<HelpKey> filter;
    if (!filter && QCoreApplication::instance()) {
        filter = new HelpKey(QCoreApplication::instance());
        QCoreApplication::instance()->installEventFilter(filter);
    }
}

void KeepCataloguePrivate(const QString& catalogue)
{
    // The catalogue's key is the same in every copy of the program: only the file's mode keeps
    // other users of the machine from reading it. SQLite gives its journals the main file's mode.
    const QFileInfo info(catalogue);
    if (!info.isFile())
        return;
    const QFile::Permissions others =
        QFile::ReadGroup | QFile::WriteGroup | QFile::ExeGroup | QFile::ReadOther | QFile::WriteOther | QFile::ExeOther;
    if (info.permissions() & others)
        QFile::setPermissions(catalogue, info.permissions() & ~others);
}

std::unique_ptr<mdiMain> StartVellaro(const QString& programFolder, const WindowRegistration& registerWindows,
                                      bool pause)
{
    auto splash = std::make_unique<frmSplash>();
    try {
        gHelpFile = QDir(programFolder).filePath(QStringLiteral("Help/topics.map"));
        splash->show();
        if (pause)
            pauseForSplash();
        gDB = std::make_unique<cDataBase>();
        // A folder at the root already ends in "/": never two separators in a row.
        QString catalogue = programFolder + QStringLiteral("/Vellaro.mdb");
        while (catalogue.contains(QStringLiteral("//")))
            catalogue.replace(QStringLiteral("//"), QStringLiteral("/"));
        gDB->setDBName(catalogue);
        KeepCataloguePrivate(catalogue);
        gDB->OpenDB();
        auto main = std::make_unique<mdiMain>(programFolder);
        registerWindows(*main);
        // Loading may have something to say (a window that cannot open, missing help): not under the splash.
        splash->hide();
        main->Load();
        main->show();
        return main;
    } catch (const Failure& failure) {
        // The splash stays on top of everything: gone first, so the reason is seen.
        splash->hide();
        reportStartFailure(failure);
        gDB.reset();
        return nullptr;
    }
}

struct SingleCopy::Lock
{
    explicit Lock(const QString& path) : file(path) {}
    QLockFile file;
    bool locked = false;
};

SingleCopy::SingleCopy(const QString& programFolder)
{
    // One lock per user (the runtime folder is the user's own) and program folder.
    QString folder = QStandardPaths::writableLocation(QStandardPaths::RuntimeLocation);
    if (folder.isEmpty())
        folder = QDir::tempPath();
    const QByteArray key =
        QCryptographicHash::hash(QFileInfo(programFolder).canonicalFilePath().toUtf8(), QCryptographicHash::Sha1);
    m_lock = std::make_unique<Lock>(QDir(folder).filePath(u"Vellaro-" + QString::fromLatin1(key.toHex()) + u".lock"));
    m_lock->file.setStaleLockTime(0);
    m_lock->locked = m_lock->file.tryLock(0);
}

SingleCopy::~SingleCopy() = default;

bool SingleCopy::IsOnlyCopy() const
{
    return m_lock->locked;
}

int Main(int argc, char* argv[], const WindowRegistration& registerWindows)
{
    QApplication application(argc, argv);
    QApplication::setApplicationName(QString::fromUtf16(AppTitle));
    QApplication::setApplicationVersion(
        QStringLiteral("%1.%2.%3").arg(VELLARO_VERSION_MAJOR).arg(VELLARO_VERSION_MINOR).arg(VELLARO_VERSION_PATCH));
    QApplication::setDesktopFileName(QStringLiteral(VELLARO_APP_ID));
    const QString folder = QApplication::applicationDirPath();
    const SingleCopy copy(folder);
    if (!copy.IsOnlyCopy())
        return 0;
    SetMessageService(std::make_unique<MessageBoxService>());
    auto main = StartVellaro(folder, registerWindows);
    if (!main)
        return 1;
    const int code = QApplication::exec();
    main.reset();
    gDB.reset();
    return code;
}
