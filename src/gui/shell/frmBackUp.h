#pragma once

#include <QDialog>
#include <QString>

class FolderLists;
class QPushButton;

// Chooses a folder: a drive list and a folder list, OK and Cancel. Each caption remembers its own
// last folder, kept under a settings section named by the caption. Used by the backup and by the
// import.
class frmBackUp final : public QDialog
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(frmBackUp)

public:
    static constexpr int HelpContextID = 510;

    // Captioned "BackUp" and opened at the backup's folder, in its remembered place.
    explicit frmBackUp(QWidget* parent = nullptr);
    ~frmBackUp() override;

    // Sets the caption and opens the folder remembered under it ("Dir", then "Drive"; by default
    // the program's folder).
    void setFormCaption(const QString& caption);
    // The help topic F1 opens.
    void setFormHelpContextID(int id);
    // The folder shown, as accepted with OK.
    QString SelectedFolder() const { return m_selectedFolder; }
    // True when the dialog was left with Cancel, Escape or its close button; false after OK.
    bool Cancelled() const { return m_cancelled; }

protected:
    void done(int result) override;

private:
    void cmdOK_Click();
    void cmdCancel_Click();

    FolderLists* m_lists;
    QPushButton* cmdOK;
    QPushButton* cmdCancel;
    QString m_caption;
    QString m_selectedFolder;
    bool m_cancelled = true;
};
