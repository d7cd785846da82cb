#include "gui/explorer/PhotoListModel.h"

#include "data/Recordset.h"
#include "gui/explorer/ThumbnailLoader.h"

#include <QPainter>
#include <QPainterPath>
#include <QSize>

#include <algorithm>

namespace {

// Memory for the thumbnails held, in kilobytes: some 1,000 pictures of 64 by 64.
constexpr int pictureBudget = 16 * 1024;

int costOf(const QPixmap& picture)
{
    return std::max(1, int(qint64(picture.width()) * picture.height() * 4 / 1024));
}

} // namespace

PhotoListModel::PhotoListModel(const QString& cacheFolder, QObject* parent)
    : QAbstractTableModel(parent), m_loader(std::make_unique<ThumbnailLoader>(cacheFolder, PictureSize)),
      m_pictures(pictureBudget)
{
    connect(m_loader.get(), &ThumbnailLoader::Ready, this, &PhotoListModel::pictureReady, Qt::QueuedConnection);
}

// The loader goes first: its thread is joined before anything it reports to is gone.
PhotoListModel::~PhotoListModel()
{
    m_loader.reset();
}

void PhotoListModel::Fill(Recordset& photos)
{
    std::vector<Row> rows;
    rows.reserve(std::size_t(photos.RecordCount()));
    const QString id = QStringLiteral("PhotoID");
    const QString caption = QStringLiteral("Caption");
    const QString file = QStringLiteral("FileName");
    for (photos.MoveFirst(); !photos.Eof(); photos.MoveNext()) {
        QString text = photos.Value(caption).toString();
        // A caption typed over two lines reads as one; a lone line break stays as it is.
        text.remove(QStringLiteral("\r\n"));
        rows.push_back({photos.Value(id).toString(), std::move(text), photos.Value(file).toString()});
    }
    beginResetModel();
    m_loader->Cancel();
    m_requested.clear();
    m_rows = std::move(rows);
    endResetModel();
}

void PhotoListModel::Clear()
{
    beginResetModel();
    m_loader->Cancel();
    m_requested.clear();
    m_rows.clear();
    endResetModel();
}

void PhotoListModel::ForgetPictures()
{
    m_pictures.clear();
    m_unavailable.clear();
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
    return parent.isValid() ? 0 : 3;
}

QVariant PhotoListModel::data(const QModelIndex& index, int role) const
{
    if (!index.isValid() || std::size_t(index.row()) >= m_rows.size())
        return {};
    if (index.column() == PictureColumn) {
        if (role == Qt::DecorationRole)
            return picture(index.row());
        if (role == Qt::SizeHintRole)
            return QSize(PictureSize + 4, PictureSize + 4);
        return {};
    }
    if (role != Qt::DisplayRole)
        return {};
    const Row& row = m_rows[std::size_t(index.row())];
    return index.column() == 0 ? row.id : row.caption;
}

// Never touches the file: the thumbnail is in memory, or it is asked for and the placeholder stands
// in for it meanwhile.
QVariant PhotoListModel::picture(int row) const
{
    const QString& file = m_rows[std::size_t(row)].file;
    if (file.isEmpty() || m_unavailable.contains(file))
        return placeholder();
    if (const QPixmap* shown = m_pictures.object(file))
        return *shown;
    if (m_requested.contains(row)) {
        m_loader->Hurry(row);
    } else {
        m_requested.insert(row);
        for (const int dropped : m_loader->Request(row, file))
            m_requested.remove(dropped);
    }
    return placeholder();
}

void PhotoListModel::pictureReady(quint64 generation, int row, const QString& file, const QImage& thumbnail)
{
    if (generation != m_loader->Generation())
        return;
    m_requested.remove(row);
    if (thumbnail.isNull()) {
        m_unavailable.insert(file);
    } else {
        auto* picture = new QPixmap(QPixmap::fromImage(thumbnail));
        m_pictures.insert(file, picture, costOf(*picture));
    }
    if (std::size_t(row) < m_rows.size() && m_rows[std::size_t(row)].file == file) {
        const QModelIndex cell = index(row, PictureColumn);
        emit dataChanged(cell, cell, {Qt::DecorationRole});
    }
}

// A grey frame around a hill and a sun, drawn here: a picture that is not there (yet).
const QPixmap& PhotoListModel::placeholder() const
{
    if (!m_placeholder.isNull())
        return m_placeholder;
    QPixmap drawn(PictureSize, PictureSize);
    drawn.fill(Qt::transparent);
    QPainter painter(&drawn);
    painter.setRenderHint(QPainter::Antialiasing);
    const QRectF frame(6.5, 12.5, PictureSize - 13, PictureSize - 25);
    painter.setPen(QPen(QColor(160, 160, 160), 1));
    painter.setBrush(QColor(236, 236, 236));
    painter.drawRoundedRect(frame, 3, 3);
    painter.setPen(Qt::NoPen);
    painter.setBrush(QColor(190, 190, 190));
    painter.drawEllipse(QPointF(frame.right() - 11, frame.top() + 10), 4, 4);
    QPainterPath hill;
    hill.moveTo(frame.left() + 1, frame.bottom() - 1);
    hill.lineTo(frame.left() + 16, frame.top() + 16);
    hill.lineTo(frame.left() + 26, frame.bottom() - 10);
    hill.lineTo(frame.left() + 34, frame.top() + 22);
    hill.lineTo(frame.right() - 1, frame.bottom() - 1);
    hill.closeSubpath();
    painter.drawPath(hill);
    painter.end();
    m_placeholder = drawn;
    return m_placeholder;
}

QVariant PhotoListModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation != Qt::Horizontal || role != Qt::DisplayRole)
        return {};
    switch (section) {
    case 0:
        return QStringLiteral("PhotoID");
    case 1:
        return QStringLiteral("Caption");
    default:
        return QStringLiteral("Picture");
    }
}
