#pragma once

#include "gui/explorer/ThumbnailCache.h"

#include <QImage>
#include <QList>
#include <QObject>
#include <QString>

#include <atomic>
#include <condition_variable>
#include <deque>
#include <mutex>
#include <thread>

// Makes the thumbnails a list asks for on a worker thread of its own, so that the list never waits
// for a file. The newest request is served first: the rows on screen now come before the rows
// scrolled past, and the oldest requests are dropped once too many wait.
class ThumbnailLoader final : public QObject
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(ThumbnailLoader)

public:
    // Thumbnails from the cache under cacheFolder, delivered at most size pixels on their longer edge,
    // in the middle of a clear square of that size.
    ThumbnailLoader(const QString& cacheFolder, int size, QObject* parent = nullptr);
    // Drops what waits and returns once the thumbnail being made, if any, is done.
    ~ThumbnailLoader() override;

    // Asks for the thumbnail of the row's file; returns the rows whose requests were dropped for it.
    QList<int> Request(int row, const QString& file);
    // Serves the row's waiting request next.
    void Hurry(int row);
    // Drops every waiting request; what is made after comes with a new generation.
    void Cancel();
    // The generation of the requests now served; a result of an older one is of no use.
    quint64 Generation() const { return m_generation; }

    // Most requests kept waiting.
    static constexpr std::size_t QueueLimit = 256;

signals:
    // The thumbnail of a row's file, null when the file is missing or is no picture. Emitted on the
    // worker thread: connect it queued.
    void Ready(quint64 generation, int row, const QString& file, const QImage& thumbnail);

private:
    struct Job
    {
        int row;
        QString file;
    };

    void work();

    const ThumbnailCache m_cache;
    const int m_size;
    std::atomic<quint64> m_generation = 0;
    std::mutex m_mutex;
    std::condition_variable m_wake;
    std::deque<Job> m_queue; // newest at the back
    bool m_stop = false;
    std::thread m_thread;
};
