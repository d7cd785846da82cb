#include "gui/shell/mdiMain.h"

#include "gui/shell/Action.h"
#include "gui/shell/FormPosition.h"
#include "gui/shell/Icons.h"
#include "gui/shell/MainVellaro.h"
#include "gui/shell/PhotoEditor.h"
#include "core/Messages.h"
#include "core/Settings.h"
#include "gui/shell/frmAbout.h"
#include "gui/shell/frmBackUp.h"
#include "gui/shell/frmOptions.h"
#include "gui/controls/FolderLists.h"
#include "gui/import/CsvCommands.h"
#include "core/Failure.h"
#include "data/CatalogueCopy.h"
#include "data/Database.h"
#include "data/cDataBase.h"
#include "data/cPhotos.h"

#include <QApplication>
#include <QCloseEvent>
#include <QDir>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenuBar>
#include <QScopeGuard>
#include <QScopedValueRollback>
#include <QToolBar>
#include <QToolButton>

#include <algorithm>
#include <optional>

namespace {

const QString startUp = QStringLiteral("StartUp");
const QString catalogueName = QStringLiteral("Vellaro.mdb");
const QString photoEditor = QStringLiteral("frmPhotos");

// The child windows whose being open is remembered at Exit and restored at the next start.
const QStringList reopenedWindows{QStringLiteral("frmLists"), QStringLiteral("frmExplorer"), QStringLiteral("frmFind")};

constexpr int contentsTopic = 1;
constexpr int gettingStartedTopic = 50;

} // namespace

mdiMain::mdiMain(const QString& programFolder, QWidget* parent)
    : QMainWindow(parent), m_programFolder(programFolder), m_area(new QMdiArea(this))
{
    setObjectName(QStringLiteral("mdiMain"));
    setWindowTitle(QString::fromUtf16(AppTitle));
    setWindowIcon(ProgramIcon());
    m_area->setObjectName(QStringLiteral("mdiArea"));
    m_area->setBackground(QColor(0x8a, 0x95, 0xa3));
    setCentralWidget(m_area);
    createMenus();
    createToolbar();
    enableChildCommands();
    InstallHelpKey(this, HelpContextID);
    resize(1024, 720);
}

mdiMain::~mdiMain() = default;

QAction* mdiMain::addMenuItem(QMenu* menu, const char* name, const QString& caption, const QKeySequence& shortcut,
                              const std::function<void()>& handler)
{
    QAction* item = menu->addAction(caption);
    item->setObjectName(QString::fromLatin1(name));
    item->setShortcut(shortcut);
    connect(item, &QAction::triggered, this, [handler] { RunAction(handler); });
    return item;
}

void mdiMain::createMenus()
{
    QMenu* file = menuBar()->addMenu(QStringLiteral("&File"));
    file->setObjectName(QStringLiteral("mnuFile"));
    m_modalCommands.insert(QStringLiteral("frmPrintLabels"),
                           addMenuItem(file, "mnuFileLabels", QStringLiteral("Print &Labels"),
                                       QKeySequence(QStringLiteral("Ctrl+L")), [this] {
                                           if (const auto show = m_modalWindows.value(QStringLiteral("frmPrintLabels")))
                                               show(*this);
                                       }));
    file->addSeparator()->setObjectName(QStringLiteral("mnuFileSep"));
    addMenuItem(file, "mnuFileExport", QStringLiteral("&Export to CSV..."), {},
                [this] { ExportCatalogueCommand(this); });
    addMenuItem(file, "mnuFileImportCsv", QStringLiteral("&Import from CSV..."), {},
                [this] { mnuFileImportCsv_Click(); });
    addMenuItem(file, "mnuFileBackUp", QStringLiteral("Backup Vellaro"), QKeySequence(QStringLiteral("Ctrl+B")),
                [this] { mnuFileBackUp_Click(); });
    file->addSeparator()->setObjectName(QStringLiteral("mnuFileSep2"));
    addMenuItem(file, "mnuFileExit", QStringLiteral("E&xit  "), QKeySequence(QStringLiteral("Ctrl+Q")),
                [this] { mnuFileExit_Click(); });

    QMenu* view = menuBar()->addMenu(QStringLiteral("&View"));
    view->setObjectName(QStringLiteral("mnuView"));
    m_childCommands.insert(QStringLiteral("frmPhotos"), addMenuItem(view, "mnuViewPhotos", QStringLiteral("&Photos "),
                                                                    QKeySequence(QStringLiteral("Ctrl+P")), [this] {
                                                                        ShowChild(QStringLiteral("frmPhotos"));
                                                                    }));
    m_childCommands.insert(QStringLiteral("frmLists"), addMenuItem(view, "mnuLists", QStringLiteral("&Lists"),
                                                                   QKeySequence(QStringLiteral("Ctrl+A")),
                                                                   [this] { ShowChild(QStringLiteral("frmLists")); }));
    m_childCommands.insert(QStringLiteral("frmExplorer"),
                           addMenuItem(view, "mnuViewExplorer", QStringLiteral("&Explorer "),
                                       QKeySequence(QStringLiteral("Ctrl+E")),
                                       [this] { ShowChild(QStringLiteral("frmExplorer")); }));
    QAction* expand = addMenuItem(view, "mnuViewExpand", QStringLiteral("&Digital Information"),
                                  QKeySequence(QStringLiteral("Ctrl+D")), [this] { mnuViewExpand_Click(); });
    expand->setCheckable(true);

    QMenu* tools = menuBar()->addMenu(QStringLiteral("&Tools"));
    tools->setObjectName(QStringLiteral("mnuTools"));
    addMenuItem(tools, "mnuToolsCopyPhoto", QStringLiteral("&Copy Photo   "), QKeySequence(QStringLiteral("Ctrl+I")),
                [this] { mnuToolsCopyPhoto_Click(); });
    m_childCommands.insert(QStringLiteral("frmFind"), addMenuItem(tools, "mnuToolsFind", QStringLiteral("&Find       "),
                                                                  QKeySequence(QStringLiteral("Ctrl+F")),
                                                                  [this] { ShowChild(QStringLiteral("frmFind")); }));
    addMenuItem(tools, "mnuToolsOptions", QStringLiteral("&Options...   "), QKeySequence(QStringLiteral("Ctrl+O")),
                [this] { mnuToolsOptions_Click(); });
    m_childCommands.insert(QStringLiteral("frmImport"),
                           addMenuItem(tools, "mnuToolsImport", QStringLiteral("Import File&names"),
                                       QKeySequence(QStringLiteral("Ctrl+N")), [this] { mnuToolsImport_Click(); }));

    QMenu* help = menuBar()->addMenu(QStringLiteral("&Help"));
    help->setObjectName(QStringLiteral("mnuHelp"));
    addMenuItem(help, "mnuHelpContents", QStringLiteral("&Contents..."), {}, [this] { mnuHelpContents_Click(); });
    addMenuItem(help, "mnuHelpAbout", QStringLiteral("&About"), {}, [this] { mnuHelpAbout_Click(); });
}

void mdiMain::addButton(const char* key, const QString& toolTip, QAction* menuItem)
{
    auto* button = new QAction(ToolbarIcon(QString::fromLatin1(key)), QString::fromLatin1(key), m_toolbar);
    button->setObjectName(QString::fromLatin1(key));
    button->setToolTip(toolTip);
    button->setEnabled(menuItem->isEnabled());
    connect(button, &QAction::triggered, menuItem, &QAction::trigger);
    connect(menuItem, &QAction::changed, button, [button, menuItem] { button->setEnabled(menuItem->isEnabled()); });
    m_toolbar->addAction(button);
}

void mdiMain::createToolbar()
{
    m_toolbar = addToolBar(QStringLiteral("Toolbar"));
    m_toolbar->setObjectName(QStringLiteral("Toolbar1"));
    m_toolbar->setMovable(false);
    m_toolbar->setIconSize(QSize(32, 32));
    const auto item = [this](const char* name) { return findChild<QAction*>(QString::fromLatin1(name)); };
    const auto separator = [this](const char* key) {
        m_toolbar->addSeparator()->setObjectName(QString::fromLatin1(key));
    };

    addButton("Photos", QStringLiteral("Edit, add, delete photos to the library"), item("mnuViewPhotos"));
    addButton("PhotoCopy", QStringLiteral("Copy this photo"), item("mnuToolsCopyPhoto"));
    addButton("Expand", QStringLiteral("Displays digital file and filename"), item("mnuViewExpand"));
    findChild<QAction*>(QStringLiteral("Expand"))->setCheckable(true);
    addButton("ImportFilenames", QStringLiteral("Import digital Filenames into Vellaro"), item("mnuToolsImport"));
    separator("photosep");
    addButton("Lists", QStringLiteral("Add new categories, states, or storage locations"), item("mnuLists"));
    addButton("Explorer", QStringLiteral("View photos by category, state, or location"), item("mnuViewExplorer"));
    separator("FindSep");
    addButton("Find", QStringLiteral("Find a photo"), item("mnuToolsFind"));
    addButton("Options", QStringLiteral("Set Options for AutoCaption and Copyright"), item("mnuToolsOptions"));
    addButton("Labels", QStringLiteral("Print Labels for selected photos"), item("mnuFileLabels"));
    separator("CopySep");
    // A spacer that takes all the width left keeps "Exit" at the right end at every width.
    auto* spacer = new QWidget(m_toolbar);
    spacer->setObjectName(QStringLiteral("ExitSeperator"));
    spacer->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Preferred);
    m_toolbar->addWidget(spacer);
    addButton("Exit", QStringLiteral("Exit the Vellaro"), item("mnuFileExit"));
}

void mdiMain::enableChildCommands()
{
    for (auto it = m_childCommands.cbegin(); it != m_childCommands.cend(); ++it)
        it.value()->setEnabled(m_factories.contains(it.key()));
    for (auto it = m_modalCommands.cbegin(); it != m_modalCommands.cend(); ++it)
        it.value()->setEnabled(m_modalWindows.contains(it.key()));
}

void mdiMain::setModalWindow(const QString& name, ModalWindow show)
{
    m_modalWindows.insert(name, std::move(show));
    enableChildCommands();
}

void mdiMain::setChildFactory(const QString& name, ChildFactory factory)
{
    m_factories.insert(name, std::move(factory));
    enableChildCommands();
}

QList<QMdiSubWindow*> mdiMain::openFrames() const
{
    // A closed frame stays in the area's list until it is deleted.
    QList<QMdiSubWindow*> open;
    for (QMdiSubWindow* frame : m_area->subWindowList()) {
        if (!frame->isHidden())
            open << frame;
    }
    return open;
}

QWidget* mdiMain::Child(const QString& name) const
{
    for (QMdiSubWindow* frame : openFrames()) {
        if (frame->widget() && frame->widget()->objectName() == name)
            return frame->widget();
    }
    return nullptr;
}

QWidget* mdiMain::ShowChild(const QString& name)
{
    QWidget* child = Child(name);
    if (!child) {
        const auto factory = m_factories.constFind(name);
        if (factory == m_factories.constEnd())
            return nullptr;
        child = (*factory)(*this);
        if (!child)
            return nullptr;
        QMdiSubWindow* frame = m_area->addSubWindow(child);
        frame->setAttribute(Qt::WA_DeleteOnClose);
        frame->setWindowIcon(child->windowIcon());
    }
    auto* frame = qobject_cast<QMdiSubWindow*>(child->parentWidget());
    frame->show();
    frame->raise();
    m_area->setActiveSubWindow(frame);
    return child;
}

void mdiMain::Load()
{
    RestoreFormPosition(this);
    showRememberedWindows();
    if (GetSetting(startUp, QStringLiteral("FirstTime"), QStringLiteral("True")) == u"True") {
        SaveSetting(startUp, QStringLiteral("FirstTime"), QStringLiteral("False"));
        setWindowState(windowState() | Qt::WindowMaximized);
        // A catalogue that cannot be changed (found damaged, say) is reported; the start goes on.
        RunAction([this] { pointSamplePhotosAtPictures(); });
        RunAction([] { ShowHelp(gettingStartedTopic); });
    }
    RunAction([this] { ShowChild(QStringLiteral("frmPhotos")); });
}

void mdiMain::showRememberedWindows()
{
    // A window that cannot open says why; the program and the other windows open all the same.
    for (const QString& name : reopenedWindows) {
        const QString shown = GetSetting(startUp, name + u"Shown");
        if (shown.compare(u"True", Qt::CaseInsensitive) == 0)
            RunAction([this, &name] { ShowChild(name); });
    }
}

void mdiMain::pointSamplePhotosAtPictures()
{
    // Both photos get their pictures or neither does.
    Transaction work(gDB->DB());
    cPhotos photos;
    photos.GoFirst();
    for (const QString& picture : {QStringLiteral("Lighthouse.jpg"), QStringLiteral("Geese.jpg")}) {
        // A photo that already has a file keeps it: a lost settings file must not cost the user
        // the files of their own first photos.
        if (photos.Photo().FileName.isEmpty()) {
            photos.Edit();
            photos.Photo().FileName = QDir(m_programFolder).filePath(picture);
            photos.setIsDirty(true);
            photos.Save();
        }
        photos.GoNext();
    }
    work.commit();
}

bool mdiMain::closeChildWindows(bool recordShown, bool stopAtRefusal, QStringList* closed)
{
    const QScopedValueRollback closing(m_closingAll, true);
    QList<QMdiSubWindow*> frames = openFrames();
    std::stable_partition(frames.begin(), frames.end(), [](const QMdiSubWindow* frame) {
        return frame->widget() && frame->widget()->objectName() == photoEditor;
    });
    QList<QWidget*> windows(frames.cbegin(), frames.cend());
    // Windows of their own that belong to the main window, such as the help.
    for (QWidget* window : findChildren<QWidget*>(QString(), Qt::FindDirectChildrenOnly)) {
        if (window->isWindow() && window->isVisible())
            windows << window;
    }
    bool allClosed = true;
    for (QWidget* window : windows) {
        const auto* frame = qobject_cast<QMdiSubWindow*>(window);
        const QString name =
            frame ? (frame->widget() ? frame->widget()->objectName() : QString()) : window->objectName();
        window->close();
        if (!window->isHidden()) {
            allClosed = false;
            if (stopAtRefusal)
                return false;
            continue;
        }
        if (recordShown && !name.isEmpty())
            SaveSetting(startUp, name + u"Shown", QStringLiteral("True"));
        if (closed)
            *closed << name;
    }
    return allClosed;
}

void mdiMain::mnuFileBackUp_Click()
{
    frmBackUp dialog(this);
    for (;;) {
        dialog.exec();
        if (dialog.Cancelled())
            return;
        QString folder = dialog.SelectedFolder();
        while (folder.contains(QStringLiteral("//")))
            folder.replace(QStringLiteral("//"), QStringLiteral("/"));
        // The same folder however it is written: a backup there would be the catalogue itself.
        if (SameFileOrFolder(folder, m_programFolder)) {
            MsgBox(QStringLiteral("Please choose a different directory to save your data."), MsgButtons::OK,
                   MsgIcon::Critical, QStringLiteral("Vellaro Backup"));
            continue;
        }
        if (BackUpDatabase(m_programFolder, folder) != BackUpResult::Again)
            return;
    }
}

mdiMain::BackUpResult mdiMain::BackUpDatabase(const QString& sourceFolder, const QString& destinationFolder)
{
    std::optional<BusyPointer> busy(std::in_place);
    const QString source = JoinPath(sourceFolder, catalogueName);
    const QString destination = JoinPath(destinationFolder, catalogueName);
    const QFileInfo existing(destination);
    if (existing.exists() || existing.isSymLink()) {
        if (MsgBox(QStringLiteral("Replace Existing File?"), MsgButtons::YesNo, MsgIcon::Question) == MsgAnswer::No)
            return BackUpResult::Again;
    }

    // The catalogue may only be closed once every window has let go of it.
    QStringList closed;
    if (!closeChildWindows(false, true, &closed)) {
        // Only the editor refuses, and it closes first; any window closed before one that refused opens again.
        for (const QString& name : closed)
            RunAction([this, &name] { ShowChild(name); });
        busy.reset();
        MsgBox(QStringLiteral("The backup was not made: a window could not be closed."), MsgButtons::OK,
               MsgIcon::Exclamation, QStringLiteral("Vellaro Backup"));
        return BackUpResult::Stopped;
    }
    // The windows are remembered as Exit remembers them.
    for (const QString& name : reopenedWindows)
        SaveSetting(startUp, name + u"Shown", QStringLiteral("False"));
    for (const QString& name : closed) {
        if (!name.isEmpty())
            SaveSetting(startUp, name + u"Shown", QStringLiteral("True"));
    }

    gDB->CloseDB();
    // Whatever stops the copy, the catalogue is opened again before the failure goes on.
    std::optional<Failure> copyFailure;
    try {
        CopyCatalogue(source, destination);
    } catch (const Failure& failure) {
        copyFailure = failure;
    }
    const bool copied = !copyFailure;
    // Opened again whatever came of the copy. The program cannot go on without its catalogue,
    // whatever the reason it cannot be opened.
    std::optional<Failure> reopenFailure;
    gDB->setDBName(JoinPath(m_programFolder, catalogueName));
    try {
        gDB->OpenDB();
    } catch (const Failure& failure) {
        reopenFailure = failure;
    }
    if (!reopenFailure) {
        showRememberedWindows();
        RunAction([this] { ShowChild(photoEditor); });
    }
    busy.reset();
    if (copyFailure && copyFailure->Number() != ErrorNumber::DiskError && !reopenFailure)
        throw *copyFailure;
    if (!copied)
        MsgBox(QStringLiteral("Backup Failed. Disk maybe full or write protected."), MsgButtons::OK, MsgIcon::Critical,
               QStringLiteral("ERROR"));
    if (reopenFailure) {
        MsgBox(QStringLiteral("Vellaro.mdb could not be opened again after the backup - Closing Application.\r\r") +
                   reopenFailure->Description(),
               MsgButtons::OK, MsgIcon::Critical, QStringLiteral("Fatal Error"));
        close();
        return BackUpResult::Stopped;
    }
    return copied ? BackUpResult::Done : BackUpResult::Again;
}

void mdiMain::mnuFileExit_Click()
{
    for (const QString& name : {QStringLiteral("frmExplorer"), QStringLiteral("frmLists"), QStringLiteral("frmFind")})
        SaveSetting(startUp, name + u"Shown", QStringLiteral("False"));
    closeChildWindows(true);
    m_exiting = true;
    close();
}

void mdiMain::mnuViewExpand_Click()
{
    // The editor opens first if it is closed, as the command always acts on it.
    if (auto* editor = dynamic_cast<PhotoEditor*>(ShowChild(QStringLiteral("frmPhotos"))))
        editor->Expand();
}

void mdiMain::SetExpandPressed(bool pressed)
{
    auto* button = findChild<QAction*>(QStringLiteral("Expand"));
    button->setEnabled(true);
    button->setChecked(pressed);
    findChild<QAction*>(QStringLiteral("mnuViewExpand"))->setChecked(pressed);
}

void mdiMain::SetCopyPhotoEnabled(bool enabled)
{
    findChild<QAction*>(QStringLiteral("mnuToolsCopyPhoto"))->setEnabled(enabled);
}

void mdiMain::mnuToolsCopyPhoto_Click()
{
    if (auto* editor = dynamic_cast<PhotoEditor*>(ShowChild(QStringLiteral("frmPhotos"))))
        editor->CopyPhoto();
}

void mdiMain::PhotoEditorClosed()
{
    // Without an editor the button rests, released, until one opens again.
    auto* button = findChild<QAction*>(QStringLiteral("Expand"));
    button->setChecked(false);
    button->setEnabled(false);
    findChild<QAction*>(QStringLiteral("mnuViewExpand"))->setChecked(false);
    // Copying opens the editor again on the photo it last showed.
    SetCopyPhotoEnabled(true);
}

void mdiMain::closeEvent(QCloseEvent* event)
{
    // Closed by other means than Exit, the windows go without being remembered.
    if (!m_exiting)
        closeChildWindows(false);
    // A window that refused to close (its changes still to be saved) keeps the program open.
    if (!openFrames().isEmpty()) {
        m_exiting = false;
        event->ignore();
        return;
    }
    SaveFormPosition(this);
    event->accept();
}

void mdiMain::mnuToolsImport_Click()
{
    // The import adds photos behind the editor's back; it closes first, and a change it cannot
    // settle keeps it open and the import closed.
    if (QWidget* editor = Child(QStringLiteral("frmPhotos"))) {
        editor->parentWidget()->close();
        if (Child(QStringLiteral("frmPhotos")))
            return;
    }
    ShowChild(QStringLiteral("frmImport"));
}

void mdiMain::mnuFileImportCsv_Click()
{
    // The windows that show photos or lists close before anything is written and open again after
    // it, so that each reads what the import added. The editor closes first and may refuse (a change
    // whose save fails); the import then stops with nothing written.
    QStringList closed;
    const auto reopen = qScopeGuard([this, &closed] {
        for (const QString& name : closed)
            RunAction([this, &name] { ShowChild(name); });
    });
    ImportCsvCommand(this, [this, &closed] {
        if (closeChildWindows(false, true, &closed))
            return true;
        MsgBox(QStringLiteral("No photos were added: a window could not be closed."), MsgButtons::OK,
               MsgIcon::Exclamation);
        return false;
    });
}

void mdiMain::mnuToolsOptions_Click()
{
    frmOptions options(this);
    options.exec();
}

void mdiMain::mnuHelpContents_Click()
{
    ShowHelp(contentsTopic);
}

void mdiMain::mnuHelpAbout_Click()
{
    frmAbout about(this);
    about.exec();
}
