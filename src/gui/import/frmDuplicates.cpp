#include "gui/import/frmDuplicates.h"

#include "gui/controls/NamedControls.h"
#include "gui/import/frmImport.h"
#include "gui/shell/MainVellaro.h"

#include <QAbstractTableModel>
#include <QCollator>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QTableView>
#include <QVBoxLayout>

#include <algorithm>

namespace {

// The duplicates as rows of file, photo number and reason; an import can hold thousands.
class DuplicatesModel final : public QAbstractTableModel
{
public:
    DuplicatesModel(std::vector<ImportDuplicate> duplicates, QObject* parent)
        : QAbstractTableModel(parent), m_duplicates(std::move(duplicates))
    {}

    int rowCount(const QModelIndex& parent = {}) const override
    {
        return parent.isValid() ? 0 : int(m_duplicates.size());
    }
    int columnCount(const QModelIndex& parent = {}) const override { return parent.isValid() ? 0 : 3; }

    QVariant data(const QModelIndex& index, int role) const override
    {
        if (!index.isValid() || (role != Qt::DisplayRole && role != Qt::ToolTipRole))
            return {};
        const ImportDuplicate& duplicate = m_duplicates.at(std::size_t(index.row()));
        switch (index.column()) {
        case 0:
            return duplicate.File;
        case 1:
            return QString::number(duplicate.PhotoID);
        default:
            return duplicate.Reason == DuplicateReason::SameFile ? QStringLiteral("same file")
                                                                 : QStringLiteral("same picture");
        }
    }

    QVariant headerData(int section, Qt::Orientation orientation, int role) const override
    {
        if (orientation != Qt::Horizontal || role != Qt::DisplayRole)
            return QAbstractTableModel::headerData(section, orientation, role);
        static const char* const titles[] = {"File", "Photo", "Why"};
        return QString::fromLatin1(titles[section]);
    }

private:
    std::vector<ImportDuplicate> m_duplicates;
};

} // namespace

frmDuplicates::frmDuplicates(std::vector<ImportDuplicate> duplicates, qint64 fileCount, QWidget* parent)
    : QDialog(parent)
{
    setObjectName(QStringLiteral("frmDuplicates"));
    setWindowTitle(QStringLiteral("Files Already in Vellaro"));
    // Listed as a file manager lists them, so that IMG_2 comes before IMG_10.
    QCollator order;
    order.setNumericMode(true);
    std::sort(duplicates.begin(), duplicates.end(), [&order](const ImportDuplicate& a, const ImportDuplicate& b) {
        return order.compare(a.File, b.File) < 0;
    });
    const qint64 count = qint64(duplicates.size());
    lblDuplicates = new QLabel(QStringLiteral("%1 of the %2 files %3 already in Vellaro:")
                                   .arg(count)
                                   .arg(fileCount)
                                   .arg(count == 1 ? "is" : "are"),
                               this);
    lblDuplicates->setObjectName(QStringLiteral("lblDuplicates"));
    grdDuplicates = new QTableView(this);
    grdDuplicates->setObjectName(QStringLiteral("grdDuplicates"));
    grdDuplicates->setModel(new DuplicatesModel(std::move(duplicates), grdDuplicates));
    grdDuplicates->setSelectionBehavior(QAbstractItemView::SelectRows);
    grdDuplicates->setEditTriggers(QAbstractItemView::NoEditTriggers);
    grdDuplicates->verticalHeader()->hide();
    grdDuplicates->horizontalHeader()->setSectionResizeMode(0, QHeaderView::Stretch);
    grdDuplicates->horizontalHeader()->setSectionResizeMode(1, QHeaderView::ResizeToContents);
    grdDuplicates->horizontalHeader()->setSectionResizeMode(2, QHeaderView::ResizeToContents);
    lblDuplicates->setBuddy(grdDuplicates);

    cmdSkip = NamedButton(this, "cmdSkip", QStringLiteral("&Skip Them"),
                          QStringLiteral("Import only the files that are not in Vellaro yet"));
    cmdSkip->setDefault(true);
    cmdImportAnyway =
        NamedButton(this, "cmdImportAnyway", QStringLiteral("Import &Anyway"), QStringLiteral("Import every file"));
    cmdImportAnyway->setAutoDefault(false);
    cmdCancel = NamedButton(this, "cmdCancel", QStringLiteral("&Cancel"), QStringLiteral("Import nothing"));
    cmdCancel->setAutoDefault(false);
    connect(cmdSkip, &QPushButton::clicked, this, [this] { RunAction([this] { choose(Choice::Skip); }); });
    connect(cmdImportAnyway, &QPushButton::clicked, this,
            [this] { RunAction([this] { choose(Choice::ImportAnyway); }); });
    connect(cmdCancel, &QPushButton::clicked, this, [this] { RunAction([this] { choose(Choice::Cancel); }); });

    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(cmdSkip);
    buttons->addWidget(cmdImportAnyway);
    buttons->addWidget(cmdCancel);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(lblDuplicates);
    layout->addWidget(grdDuplicates);
    layout->addLayout(buttons);
    resize(560, 320);
    InstallHelpKey(this, frmImport::HelpContextID);
}

frmDuplicates::~frmDuplicates() = default;

void frmDuplicates::choose(Choice choice)
{
    m_choice = choice;
    if (choice == Choice::Cancel)
        reject();
    else
        accept();
}
