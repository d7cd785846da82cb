#pragma once

#include <QDialog>

#include <memory>

class BusyPointer;
class QLabel;
class QPushButton;
class QWidget;
class Recordset;
class ucImageViewer;

// A photo's picture as large as the window allows; with a record set of photos, a slide show
// stepped through with buttons and keys.
class frmViewPhoto final : public QDialog
{
    Q_OBJECT

public:
    static constexpr int HelpContextID = 210;

    // Opens on the picture the photo editor shows (fileName may be empty).
    explicit frmViewPhoto(const QString& fileName, QWidget* parent = nullptr);
    ~frmViewPhoto() override;

    // Shows or hides the frame of step buttons.
    void setButtons(bool visible);
    // Takes a record set of photos (fields PhotoID, Caption, FileName) and shows its first photo.
    // An empty record set hides the window and raises 3021.
    void SlideShow(std::unique_ptr<Recordset> records);

protected:
    void resizeEvent(QResizeEvent* event) override;
    void done(int result) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void showCurrentRecord();
    void placeControls();
    void cmdFirst_Click();
    void cmdPrevious_Click();
    void cmdNext_Click();
    void cmdLast_Click();

    std::unique_ptr<Recordset> m_records;
    ucImageViewer* ucImageViewer1;
    QWidget* fraButtons;
    QPushButton* cmdFirst;
    QPushButton* cmdPrevious;
    QPushButton* cmdNext;
    QPushButton* cmdLast;
    QLabel* lblStatus;
    std::unique_ptr<BusyPointer> m_busy; // held from the viewer's LoadingImage to its ImageLoaded
};
