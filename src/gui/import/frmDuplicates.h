#pragma once

#include "data/FolderImport.h"

#include <QDialog>

#include <vector>

class QLabel;
class QPushButton;
class QTableView;

// Lists the files of an import that are already in the catalogue, each with the photo it matches
// and why, and asks what to do with them.
class frmDuplicates final : public QDialog
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(frmDuplicates)

public:
    enum class Choice {
        Cancel,       // import nothing
        Skip,         // import the other files only
        ImportAnyway, // import every file
    };

    frmDuplicates(std::vector<ImportDuplicate> duplicates, qint64 fileCount, QWidget* parent = nullptr);
    ~frmDuplicates() override;

    // What the user chose; Cancel also when the window was closed.
    Choice chosen() const { return m_choice; }

private:
    void choose(Choice choice);

    Choice m_choice = Choice::Cancel;
    QLabel* lblDuplicates;
    QTableView* grdDuplicates;
    QPushButton* cmdSkip;
    QPushButton* cmdImportAnyway;
    QPushButton* cmdCancel;
};
