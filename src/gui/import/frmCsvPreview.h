#pragma once

#include "data/CsvExchange.h"

#include <QDialog>

class QLabel;
class QPushButton;
class QTreeView;

// What a CSV import would do, shown before anything is written: the rows it refuses and why, the
// list entries it creates and how many photos it adds. Import accepts the dialog; it is enabled
// only when there is a photo to add.
class frmCsvPreview final : public QDialog
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(frmCsvPreview)

public:
    static constexpr int HelpContextID = 540;

    frmCsvPreview(const CsvImportPlan& plan, const QString& fileName, QWidget* parent = nullptr);
    ~frmCsvPreview() override;

private:
    QTreeView* lvwRefused;
    QTreeView* lvwCreated;
    QLabel* lblSummary;
    QPushButton* cmdImport;
    QPushButton* cmdCancel;
};
