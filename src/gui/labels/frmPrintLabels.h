#pragma once

#include "gui/labels/LabelReport.h"

#include <QDialog>

#include <memory>

class MainFrame;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPrintPreviewDialog;
class QPushButton;
class QSlider;
class cLabels;

// Prints the captions of the photos marked for labels onto sheets of labels: shows how many photos,
// labels and sheets that makes, skips the used positions of a started sheet, sets the margins and
// previews the sheets, from where they are printed or saved as a PDF.
class frmPrintLabels final : public QDialog
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(frmPrintLabels)

public:
    static constexpr int HelpContextID = 600;
    static constexpr int LabelsPerSheet = 80;

    // main may be null (no editor to close or reopen); the report file is looked for in programFolder.
    frmPrintLabels(MainFrame* main, const QString& programFolder, QWidget* parent = nullptr);
    ~frmPrintLabels() override;

    // The report as the last Preview set it up; tests and the preview print from it.
    const LabelReport& report() const { return m_report; }

signals:
    // The preview is about to show; tests act on it here.
    void previewShowing(QPrintPreviewDialog* preview);

protected:
    void showEvent(QShowEvent* event) override;
    void done(int result) override;

private:
    void Form_Load();
    void updateMarginLabels();
    std::int16_t skipCount() const;
    long runReport();

    void m_lbls_LabelCount(const QString& count);
    void m_lbls_PhotoCount(const QString& count);
    void cmdPreview_Click();
    void cmdClearAll_Click();

    MainFrame* m_main;
    QString m_programFolder;
    std::unique_ptr<cLabels> m_lbls;
    LabelReport m_report;
    bool m_loaded = false;

    QLabel* lblSkip;
    QLineEdit* txtSkip;
    QGroupBox* Frame2;
    QSlider* sldTopMargin;
    QSlider* sldLeftMargin;
    QLabel* lblTopMargin;
    QLabel* lblLeftMargin;
    QGroupBox* Frame1;
    QLabel* lblSheetCount;
    QLabel* lblLabelCount;
    QLabel* lblPhotoCount;
    QPushButton* cmdCancel;
    QPushButton* cmdClearAll;
    QPushButton* cmdPreview;
};
