#pragma once

#include <QDialog>
#include <QString>

class FolderLists;
class QComboBox;
class QListView;
class QPushButton;
class QStringListModel;
class ucImageViewer;

// Picks one picture file: a drive (mounted volume), a folder, a file of the folder that matches
// the chosen pattern (without regard to capitals), with a preview of the file clicked; a
// double-click on a file chooses it. Opens in the folder it was last left in.
class frmBrowse final : public QDialog
{
    Q_OBJECT

public:
    static constexpr int HelpContextID = 220;

    // The patterns offered, in order; the first is chosen when the window opens.
    static const QStringList& Patterns();

    explicit frmBrowse(QWidget* parent = nullptr);
    ~frmBrowse() override;

    // The chosen file's full path; empty after Cancel.
    QString SelectedFile() const { return m_selectedFile; }

    // The folder shown; setting it lists its subfolders and its files that match the pattern.
    QString Folder() const;
    void setFolder(const QString& folder);
    // The files listed, in the order shown.
    QStringList ListedFiles() const;

protected:
    void done(int result) override;

private:
    void setPattern(const QString& pattern);
    void listFiles();
    void clearPreview();
    void fileClicked(const QString& name);
    void cmdOK_Click();
    void cmdCancel_Click();

    QString m_selectedFile;
    QString m_pattern;
    FolderLists* m_lists;
    QListView* File1;
    QStringListModel* m_files;
    QComboBox* cboFiletypes;
    ucImageViewer* ucImageViewer1;
    QPushButton* cmdOK;
    QPushButton* cmdCancel;
};
