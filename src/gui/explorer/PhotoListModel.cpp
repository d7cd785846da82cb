#include "gui/explorer/PhotoListModel.h"

#include "data/Recordset.h"

PhotoListModel::PhotoListModel(QObject* parent) : QAbstractTableModel(parent) {}

void PhotoListModel::Fill(Recordset& photos)
{
    std::vector<Row> rows;
    rows.reserve(std::size_t(photos.RecordCount()));
    const QString id = QStringLiteral("PhotoID");
    const QString caption = QStringLiteral("Caption");
    for (photos.MoveFirst(); !photos.Eof(); photos.MoveNext()) {
        QString text = photos.Value(caption).toString();
        // A caption typed over two lines reads as one; a lone line break stays as it is.
        text.remove(QStringLiteral("\r\n"));
        rows.push_back({photos.Value(id).toString(), std::move(text)});
    }
    beginResetModel();
    m_rows = std::move(rows);
    endResetModel();
}

void PhotoListModel::Clear()
{
    beginResetModel();
    m_rows.clear();
    endResetModel();
}

QString PhotoListModel::PhotoID(int row) const
{
    return row >= 0 && std::size_t(row) < m_rows.size() ? m_rows[std::size_t(row)].id : QString();
}

int PhotoListModel::rowCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : int(m_rows.size());
}

int PhotoListModel::columnCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : 2;
}

QVariant PhotoListModel::data(const QModelIndex& index, int role) const
{
    if (role != Qt::DisplayRole || !index.isValid() || std::size_t(index.row()) >= m_rows.size())
        return {};
    const Row& row = m_rows[std::size_t(index.row())];
    return index.column() == 0 ? row.id : row.caption;
}

QVariant PhotoListModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation != Qt::Horizontal || role != Qt::DisplayRole)
        return {};
    return section == 0 ? QStringLiteral("PhotoID") : QStringLiteral("Caption");
}
