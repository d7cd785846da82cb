#pragma once

#include <QObject>
#include <QString>
#include <QStringList>

#include <functional>

class QComboBox;
class QLabel;
class QListWidget;
class QListWidgetItem;
class QWidget;

// The folder, one "/" and the name; never two separators in a row (a folder at the root already
// ends in "/").
QString JoinPath(const QString& folder, const QString& name);

// The file browser's start folder ("Browse"/"StartDir"), or the program's folder when none is
// saved or the saved one is no folder any more: where the folder lists go back to after a drive
// that cannot be read.
QString BrowseStartFolder();

// The mounted volumes that can be read, by their roots, in order.
QStringList ReadyDrives();

// Whether a drive chosen in a list can be read now: still mounted and ready, and its root opens.
bool DriveReady(const QString& root);

// Enter in a list or a box runs its own action; the dialog would otherwise take it for a press of
// its default button as well.
class EnterKey final : public QObject
{
public:
    EnterKey(QWidget* target, std::function<void()> action);
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    std::function<void()> m_action;
};

// A drive list (Drive1, the ready volumes) and a folder list (Dir1, the subfolders of the folder
// shown, under ".." except at a drive's root) that move together, with the folder's path shown
// above them (lblFolder). Opening a folder lists it and the drive list follows; choosing a drive
// lists its root, and a drive that cannot be read says "Drive not ready" and takes both lists
// back to the file browser's start folder. Every user action runs through RunAction.
class FolderLists final : public QObject
{
    Q_OBJECT

public:
    // Makes the three controls as children of the owner; the owner lays them out.
    explicit FolderLists(QWidget* owner);

    QComboBox* Drive1() const { return m_drives; }
    QListWidget* Dir1() const { return m_folders; }
    QLabel* lblFolder() const { return m_label; }

    // The folder listed, clean and absolute; empty before the first setFolder.
    QString Folder() const { return m_folder; }
    // The root of the drive shown in the drive list; empty when no listed drive holds the folder.
    QString Drive() const;

    // Lists the folder and shows its drive. Returns false, changing nothing, when it is no folder.
    bool setFolder(const QString& folder);
    // Lists the drive's root; a drive that cannot be read is reported and the lists go back to
    // the file browser's start folder.
    void setDrive(const QString& root);

signals:
    // The folder listed has changed (by setFolder, a folder opened or a drive chosen).
    void FolderChanged(const QString& folder);

private:
    void openItem(const QListWidgetItem* item);

    QComboBox* m_drives;
    QListWidget* m_folders;
    QLabel* m_label;
    QString m_folder;
};
