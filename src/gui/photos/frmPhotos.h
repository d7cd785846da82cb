#pragma once

#include "core/cRegistry.h"
#include "gui/shell/PhotoEditor.h"

#include <QVariant>
#include <QWidget>

#include <memory>
#include <utility>
#include <vector>

class BusyPointer;
class DatePicker;
class DropDownCombo;
class MainFrame;
class PlacePickers;
class QCheckBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QListWidget;
class QPlainTextEdit;
class QPushButton;
class SubjectChooser;
class TypeAhead;
class cPhotos;
class cPhotosSubjects;
class uc2ColCombo;
class ucImageViewer;

// The photo editor: one photo at a time, moved through in number order, changed, added, saved,
// cancelled and deleted, with its places, subjects, labels and, in the wide layout, its picture.
class frmPhotos final : public QWidget, public PhotoEditor
{
    Q_OBJECT

public:
    static constexpr int HelpContextID = 200;

    // main is told when the editor's state changes its buttons; it may be null. An editor whose
    // record sets cannot be made reports why and disables every command but Close.
    explicit frmPhotos(MainFrame* main, QWidget* parent = nullptr);
    // A new editor, or null (after reporting why) when its record sets cannot be made.
    static frmPhotos* make(MainFrame* main, QWidget* parent = nullptr);
    ~frmPhotos() override;

    bool LeaveChange() override;
    // The next photo after the one shown whose field matches the pattern, wrapping to the first.
    bool Find(const QString& field, const QString& value) override;
    // The first photo whose field matches the pattern.
    bool FindFirst(const QString& field, const QString& value) override;
    // Toggles between the narrow layout and the wide one with the digital file.
    void Expand() override;
    bool IsExpanded() const { return m_expanded; }
    // True while a change is pending (the close button reads "&Cancel").
    bool IsEditing() const;
    // Takes the subject chosen in the subject combo into the photo's pending subjects.
    void AddSubject();
    // Makes a new photo under the next number that repeats the photo shown: caption (with the
    // number changed), date, places, labels, comments, file and subjects.
    void CopyPhoto() override;
    void ShowLastPhoto() override;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    void showEvent(QShowEvent* event) override;

private:
    void createControls();
    void connectControls();
    void load();
    bool filterEvent(QObject* watched, QEvent* event);
    void copyPhoto();
    void layoutControls();

    void m_Photos_Found();
    void m_photos_RecordNumber(const QString& value);
    void ShowPhoto();
    void ShowPhotoSubjects();
    void setBrowsingState();
    void setEditingState();
    void showEditing(bool editing);
    void MarkChanged();
    bool CheckNumericKey(const QKeyEvent* key);
    bool formKey(QKeyEvent* key);
    bool fileNameKey(QEvent* event);
    void autoCaption();
    void viewerFollowsFileName();
    // Offers the date the picture in the file was taken to a photo that has no date yet.
    void offerPictureDate(const QString& file);

    void cmdFirst_Click();
    void cmdPrevious_Click();
    void cmdNext_Click();
    void cmdLast_Click();
    void cmdAdd_Click();
    void cmdDelete_Click();
    void cmdUpdate_Click();
    void cmdClose_Click();
    // Stores the photo with its pending subject changes in one transaction, or raises and stores
    // nothing, the change staying pending.
    void SavePhoto();
    void rememberSavedValues();
    void navigate(void (cPhotos::*move)());
    void cmdBrowse_Click();
    void cmdViewPhoto_Click();
    void cmdEditPhoto_Click();

    MainFrame* m_main;
    cRegistry m_registry;
    std::unique_ptr<cPhotos> m_Photos;
    std::unique_ptr<cPhotosSubjects> m_PhotosSubjects;
    TypeAhead* m_typeAhead = nullptr;
    PlacePickers* m_places = nullptr;
    SubjectChooser* m_subjects = nullptr;
    std::unique_ptr<BusyPointer> m_busy;

    bool m_expanded = true;
    bool m_newRecord = false;
    bool m_placed = false;
    bool m_loaded = false;
    bool m_showing = false; // the editor itself is filling its controls
    QString m_statusBeforeAdd;

    // What the last save stored, offered again to the next new photo.
    struct Remembered
    {
        QVariant date;
        QString state;
        QString location;
        QString locationCode;
        QString storageDevice;
        QString storageLocation;
        QString storageLocationCode;
        QString comments;
        QString fileName;
    } m_last;

    QLabel* m_labels[9] = {};
    QLineEdit* txtPhotoID;
    QPlainTextEdit* txtCaption;
    DatePicker* dtpTaken;
    DropDownCombo* cboPhotos[2];
    uc2ColCombo* cboCodedPhoto[2];
    QListWidget* lstSubjects;
    uc2ColCombo* cboSubjects;
    QPushButton* cmdAddSubject;
    QCheckBox* chkPrintLabel;
    QLineEdit* txtNumberofLabels;
    QLabel* lblLabels;
    QLineEdit* txtComments;
    QGroupBox* fraDigitalFile;
    QLineEdit* txtFileName;
    QPushButton* cmdBrowse;
    QPushButton* cmdViewPhoto;
    QPushButton* cmdEditPhoto;
    ucImageViewer* ucImageViewer1;
    QPushButton* cmdFirst;
    QPushButton* cmdPrevious;
    QPushButton* cmdNext;
    QPushButton* cmdLast;
    QPushButton* cmdAdd;
    QPushButton* cmdDelete;
    QPushButton* cmdUpdate;
    QPushButton* cmdClose;
    QLabel* lblStatus;
};
