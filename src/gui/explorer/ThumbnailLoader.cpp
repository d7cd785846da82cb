#include "gui/explorer/ThumbnailLoader.h"

#include <QPainter>

#include <algorithm>

namespace {

// The picture in the middle of a clear square of the list's picture size: pictures of every shape,
// and the placeholder, line up in their column.
QImage centred(const QImage& picture, int size)
{
    QImage square(size, size, QImage::Format_ARGB32_Premultiplied);
    square.fill(Qt::transparent);
    QPainter painter(&square);
    painter.drawImage((size - picture.width()) / 2, (size - picture.height()) / 2, picture);
    painter.end();
    return square;
}

} // namespace

ThumbnailLoader::ThumbnailLoader(const QString& cacheFolder, int size, QObject* parent)
    : QObject(parent), m_cache(cacheFolder), m_size(size)
{}

ThumbnailLoader::~ThumbnailLoader()
{
    {
        const std::lock_guard lock(m_mutex);
        m_stop = true;
        m_queue.clear();
    }
    m_wake.notify_all();
    if (m_thread.joinable())
        m_thread.join();
}

QList<int> ThumbnailLoader::Request(int row, const QString& file)
{
    QList<int> dropped;
    {
        const std::lock_guard lock(m_mutex);
        auto waiting = std::find_if(m_queue.begin(), m_queue.end(), [row](const Job& job) { return job.row == row; });
        if (waiting != m_queue.end())
            m_queue.erase(waiting);
        m_queue.push_back({row, file});
        while (m_queue.size() > QueueLimit) {
            dropped << m_queue.front().row;
            m_queue.pop_front();
        }
        // The thread starts with the first request: a window that lists no files never has one.
        if (!m_thread.joinable())
            m_thread = std::thread([this] { work(); });
    }
    m_wake.notify_one();
    return dropped;
}

void ThumbnailLoader::Hurry(int row)
{
    const std::lock_guard lock(m_mutex);
    auto waiting = std::find_if(m_queue.rbegin(), m_queue.rend(), [row](const Job& job) { return job.row == row; });
    if (waiting == m_queue.rend() || waiting == m_queue.rbegin())
        return;
    Job job = std::move(*waiting);
    m_queue.erase(std::next(waiting).base());
    m_queue.push_back(std::move(job));
}

void ThumbnailLoader::Cancel()
{
    const std::lock_guard lock(m_mutex);
    m_queue.clear();
    ++m_generation;
}

void ThumbnailLoader::work()
{
    std::unique_lock lock(m_mutex);
    for (;;) {
        m_wake.wait(lock, [this] { return m_stop || !m_queue.empty(); });
        if (m_stop)
            return;
        const Job job = std::move(m_queue.back());
        m_queue.pop_back();
        const quint64 generation = m_generation;
        lock.unlock();
        QImage thumbnail = m_cache.Thumbnail(job.file);
        if (thumbnail.width() > m_size || thumbnail.height() > m_size)
            thumbnail = thumbnail.scaled(m_size, m_size, Qt::KeepAspectRatio, Qt::SmoothTransformation);
        if (!thumbnail.isNull())
            thumbnail = centred(thumbnail, m_size);
        emit Ready(generation, job.row, job.file, thumbnail);
        lock.lock();
    }
}
