#pragma once

#include "gui/shell/MainFrame.h"

#include <QHash>
#include <QMainWindow>

#include <functional>

class QMdiArea;
class QMdiSubWindow;
class QToolBar;

// The program's main window: a frame that holds the other windows, with the menus and toolbar
// from which everything is reached.
class mdiMain final : public QMainWindow, public MainFrame
{
    Q_OBJECT

public:
    static constexpr int HelpContextID = 100;

    // Makes the window of a child window ("frmExplorer"); the main window then holds it.
    using ChildFactory = std::function<QWidget*(mdiMain& main)>;

    explicit mdiMain(const QString& programFolder, QWidget* parent = nullptr);
    ~mdiMain() override;

    // Places the window, reopens the windows open at the last Exit, prepares the first run and
    // opens the photo editor.
    void Load();

    QWidget* ShowChild(const QString& name) override;
    QWidget* Child(const QString& name) const override;
    // Says how to make the child window of this name; its menu item and button are enabled.
    void setChildFactory(const QString& name, ChildFactory factory);
    // Shows a window of this name modally over the main window ("frmPrintLabels").
    using ModalWindow = std::function<void(mdiMain& main)>;
    // Says how to show the modal window of this name; its menu item and button are enabled.
    void setModalWindow(const QString& name, ModalWindow show);

    const QString& programFolder() const { return m_programFolder; }

    QMdiArea* mdiArea() const { return m_area; }

    void SetExpandPressed(bool pressed) override;
    void SetCopyPhotoEnabled(bool enabled) override;
    void PhotoEditorClosed() override;
    bool ClosingAll() const override { return m_closingAll; }

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    void createMenus();
    void createToolbar();
    QAction* addMenuItem(QMenu* menu, const char* name, const QString& caption, const QKeySequence& shortcut,
                         const std::function<void()>& handler);
    void addButton(const char* key, const QString& toolTip, QAction* menuItem);
    void enableChildCommands();
    void pointSamplePhotosAtPictures();
    // Shows the lists, the explorer and the find window as their "Shown" settings say.
    void showRememberedWindows();
    // Closes every child window and the main window's own windows (the help), the photo editor
    // first: it alone may refuse (a change whose save fails), and then nothing else has closed.
    // recordShown records each window closed as open under "StartUp". Returns false when a window
    // refused; stopAtRefusal then leaves the windows after it open. closed gets the names closed.
    bool closeChildWindows(bool recordShown, bool stopAtRefusal = false, QStringList* closed = nullptr);
    QList<QMdiSubWindow*> openFrames() const;

    // What a backup attempt came to: made, to be tried again in another folder, or given up.
    enum class BackUpResult { Done, Again, Stopped };
    void mnuFileBackUp_Click();
    BackUpResult BackUpDatabase(const QString& sourceFolder, const QString& destinationFolder);
    void mnuFileImportCsv_Click();
    void mnuFileExit_Click();
    void mnuViewExpand_Click();
    void mnuToolsCopyPhoto_Click();
    void mnuToolsImport_Click();
    void mnuToolsOptions_Click();
    void mnuHelpContents_Click();
    void mnuHelpAbout_Click();

    QString m_programFolder;
    QMdiArea* m_area;
    QToolBar* m_toolbar = nullptr;
    QHash<QString, ChildFactory> m_factories;
    QHash<QString, QAction*> m_childCommands;
    QHash<QString, ModalWindow> m_modalWindows;
    QHash<QString, QAction*> m_modalCommands;
    bool m_exiting = false;
    bool m_closingAll = false;
};
