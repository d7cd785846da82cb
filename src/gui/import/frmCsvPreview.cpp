#include "gui/import/frmCsvPreview.h"

#include "gui/controls/NamedControls.h"
#include "gui/shell/MainVellaro.h"

#include <QAbstractTableModel>
#include <QFileInfo>
#include <QHeaderView>
#include <QLabel>
#include <QTreeView>
#include <QVBoxLayout>

#include <functional>
#include <vector>

namespace {

// A read-only table over rows the plan holds; a model, so that a file of many thousand rows shows
// at once.
class PlanModel final : public QAbstractTableModel
{
public:
    using Cell = std::function<QString(int row, int column)>;

    PlanModel(QStringList headers, int rows, Cell cell, QObject* parent)
        : QAbstractTableModel(parent), m_headers(std::move(headers)), m_rows(rows), m_cell(std::move(cell))
    {}

    int rowCount(const QModelIndex& parent = QModelIndex()) const override { return parent.isValid() ? 0 : m_rows; }
    int columnCount(const QModelIndex& parent = QModelIndex()) const override
    {
        return parent.isValid() ? 0 : int(m_headers.size());
    }
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override
    {
        if (!index.isValid() || (role != Qt::DisplayRole && role != Qt::ToolTipRole))
            return {};
        return m_cell(index.row(), index.column());
    }
    QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override
    {
        if (orientation != Qt::Horizontal || role != Qt::DisplayRole || section < 0 || section >= m_headers.size())
            return {};
        return m_headers.at(section);
    }

private:
    QStringList m_headers;
    int m_rows;
    Cell m_cell;
};

QTreeView* listView(QWidget* parent, const char* name, PlanModel* model)
{
    auto* view = new QTreeView(parent);
    view->setObjectName(QString::fromLatin1(name));
    view->setModel(model);
    view->setRootIsDecorated(false);
    view->setItemsExpandable(false);
    view->setUniformRowHeights(true);
    view->setEditTriggers(QAbstractItemView::NoEditTriggers);
    view->setSelectionBehavior(QAbstractItemView::SelectRows);
    view->header()->setStretchLastSection(true);
    return view;
}

QLabel* caption(QWidget* parent, const char* name, const QString& text, QWidget* buddy)
{
    auto* label = new QLabel(text, parent);
    label->setObjectName(QString::fromLatin1(name));
    label->setBuddy(buddy);
    return label;
}

} // namespace

frmCsvPreview::frmCsvPreview(const CsvImportPlan& plan, const QString& fileName, QWidget* parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("frmCsvPreview"));
    setWindowTitle(QStringLiteral("Import from CSV - ") + QFileInfo(fileName).fileName());

    // The plan outlives the dialog, which only shows it.
    const auto* refused = &plan.Refused;
    auto* refusedModel = new PlanModel(
        {QStringLiteral("Line"), QStringLiteral("Number"), QStringLiteral("Reason")}, int(refused->size()),
        [refused](int row, int column) {
            const CsvRefusedRow& item = (*refused)[std::size_t(row)];
            return column == 0 ? QString::number(item.Line) : column == 1 ? item.Number : item.Reason;
        },
        this);
    const auto* created = &plan.NewEntries;
    auto* createdModel = new PlanModel(
        {QStringLiteral("Kind"), QStringLiteral("Name"), QStringLiteral("Belongs To")}, int(created->size()),
        [created](int row, int column) {
            const CsvNewEntry& item = (*created)[std::size_t(row)];
            return column == 0 ? CsvEntryKindName(item.Kind) : column == 1 ? item.Name : item.ParentName;
        },
        this);
    lvwRefused = listView(this, "lvwRefused", refusedModel);
    lvwRefused->setColumnWidth(0, 60);
    lvwRefused->setColumnWidth(1, 90);
    lvwCreated = listView(this, "lvwCreated", createdModel);
    lvwCreated->setColumnWidth(0, 130);
    lvwCreated->setColumnWidth(1, 220);

    const qint64 added = qint64(plan.Photos.size());
    lblSummary = new QLabel(added == 1 ? QStringLiteral("1 photo will be added.")
                                       : QStringLiteral("%1 photos will be added.").arg(added),
                            this);
    lblSummary->setObjectName(QStringLiteral("lblSummary"));

    cmdImport = NamedButton(this, "cmdImport", QStringLiteral("&Import"), QStringLiteral("Add the photos listed"));
    cmdImport->setDefault(true);
    cmdImport->setEnabled(added > 0);
    cmdCancel = NamedButton(this, "cmdCancel", QStringLiteral("&Cancel"), QStringLiteral("Add nothing"));
    cmdCancel->setAutoDefault(false);
    connect(cmdImport, &QPushButton::clicked, this, [this] { RunAction([this] { accept(); }); });
    connect(cmdCancel, &QPushButton::clicked, this, [this] { RunAction([this] { reject(); }); });

    auto* buttons = new QHBoxLayout;
    buttons->addWidget(lblSummary, 1);
    buttons->addWidget(cmdImport);
    buttons->addWidget(cmdCancel);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(caption(this, "lblRefused", QStringLiteral("&Rows that will not be imported"), lvwRefused));
    layout->addWidget(lvwRefused, 2);
    layout->addWidget(caption(this, "lblCreated", QStringLiteral("&Entries that will be created"), lvwCreated));
    layout->addWidget(lvwCreated, 1);
    layout->addLayout(buttons);
    resize(640, 480);
    InstallHelpKey(this, HelpContextID);
}

frmCsvPreview::~frmCsvPreview() = default;
