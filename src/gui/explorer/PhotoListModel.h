#pragma once

#include <QAbstractTableModel>
#include <QString>

#include <vector>

class Recordset;

// The explorer's photo list: number and caption of each photo of a record set, in its order. A
// model, so that a node with tens of thousands of photos lists at once.
class PhotoListModel final : public QAbstractTableModel
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(PhotoListModel)

public:
    explicit PhotoListModel(QObject* parent = nullptr);

    // Lists every row of the record set from its first (fields PhotoID and Caption).
    void Fill(Recordset& photos);
    void Clear();
    // The photo number of a row.
    QString PhotoID(int row) const;

    int rowCount(const QModelIndex& parent = QModelIndex()) const override;
    int columnCount(const QModelIndex& parent = QModelIndex()) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;

private:
    struct Row
    {
        QString id;
        QString caption;
    };
    std::vector<Row> m_rows;
};
