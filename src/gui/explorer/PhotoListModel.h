#pragma once

#include <QAbstractTableModel>
#include <QCache>
#include <QPixmap>
#include <QSet>
#include <QString>

#include <memory>
#include <vector>

class Recordset;
class ThumbnailLoader;

// The explorer's photo list: number, caption and picture of each photo of a record set, in its
// order. A model, so that a node with tens of thousands of photos lists at once. Pictures are shown
// as thumbnails made on a worker thread when their rows are first shown; until one is ready, and
// for a photo without a readable file, the cell shows a neutral placeholder.
class PhotoListModel final : public QAbstractTableModel
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(PhotoListModel)

public:
    static constexpr int PictureColumn = 2;
    // The longest edge of a picture in the list.
    static constexpr int PictureSize = 64;

    // Thumbnails are kept in the thumbnail cache under cacheFolder.
    explicit PhotoListModel(const QString& cacheFolder, QObject* parent = nullptr);
    ~PhotoListModel() override;

    // Lists every row of the record set from its first (fields PhotoID, Caption and FileName); the
    // thumbnails asked for by the rows listed before are no longer made.
    void Fill(Recordset& photos);
    void Clear();
    // Forgets the thumbnails held in memory, for when the files may have changed.
    void ForgetPictures();
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
        QString file;
    };

    QVariant picture(int row) const;
    void pictureReady(quint64 generation, int row, const QString& file, const QImage& thumbnail);
    const QPixmap& placeholder() const;

    std::vector<Row> m_rows;
    std::unique_ptr<ThumbnailLoader> m_loader;
    // Thumbnails by file, the most recently shown kept within a fixed budget of memory.
    mutable QCache<QString, QPixmap> m_pictures;
    // Files found missing or unreadable, so that they are not asked for again and again.
    QSet<QString> m_unavailable;
    // Rows whose thumbnails were asked for and have not come yet.
    mutable QSet<int> m_requested;
    mutable QPixmap m_placeholder;
};
