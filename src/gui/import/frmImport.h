#pragma once

#include "data/FolderImport.h"

#include <QWidget>

#include <functional>
#include <optional>

class DatePicker;
class DropDownCombo;
class MainFrame;
class PlacePickers;
class QCheckBox;
class QLineEdit;
class QListWidget;
class QPlainTextEdit;
class QPushButton;
class SubjectChooser;
class TypeAhead;
class uc2ColCombo;

// The import window: every file of a folder becomes a new photo with the caption, date, places,
// subjects, labels and comments filled in here, the files optionally moved to another folder first.
// Closing it opens the photo editor on the last photo.
class frmImport final : public QWidget
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(frmImport)

public:
    static constexpr int HelpContextID = 500;
    // The help of the folder dialog it opens.
    static constexpr int FolderHelpContextID = 510;

    // The window; main is asked to open the editor when it closes and may be null.
    static frmImport* make(MainFrame* main, QWidget* parent = nullptr);

    explicit frmImport(MainFrame* main, QWidget* parent = nullptr);
    ~frmImport() override;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void showEvent(QShowEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

private:
    void createControls();
    void layoutControls();
    void connectControls();

    void cmdDir_Click(int index);
    void cmdImport_Click();
    void cmdMove_Click();
    void cmdCancel_Click();

    // A folder chosen in the folder dialog under this caption; empty when the user cancels.
    QString ChooseFolder(const QString& title);
    // Says how many files the folder holds and asks whether to import them; false for none or No.
    static bool confirmImport(qint64 count);
    // Looks for files already in the catalogue and, when there are some, asks what to do with them:
    // the files to import, or nothing when the user cancels or skips every file.
    std::optional<QStringList> leaveOutDuplicates(const QStringList& files);
    // What every imported photo shares, as the window shows it.
    ImportValues sharedValues() const;
    // Runs an import under a progress dialog that can cancel it. A failure is raised again saying
    // that no photos were added.
    ImportResult runImport(const std::function<ImportResult(const ImportProgress&)>& work);
    // Tells the user that a cancelled import added nothing; false when the import was not cancelled.
    static bool reportCancelled(const ImportResult& result);

    MainFrame* m_main;
    bool m_placed = false;
    TypeAhead* m_typeAhead = nullptr;
    PlacePickers* m_places = nullptr;
    SubjectChooser* m_subjects = nullptr;

    QLineEdit* txtImportDir;
    QLineEdit* txtExportDir;
    QPushButton* cmdDir[2];
    QPushButton* cmdImport;
    QPushButton* cmdMove;
    QPushButton* cmdCancel;
    QPlainTextEdit* txtCaption;
    DatePicker* dtpTaken;
    QCheckBox* chkPictureDates;
    DropDownCombo* cboPhotos[2];
    uc2ColCombo* cboCodedPhoto[2];
    QListWidget* lstSubjects;
    uc2ColCombo* cboSubjects;
    QPushButton* cmdAddSubject;
    QCheckBox* chkPrintLabel;
    QLineEdit* txtNumberofLabels;
    QLineEdit* txtComments;
};
