#pragma once

#include <QImage>
#include <QString>

// Thumbnails of picture files in the desktop's shared thumbnail cache, at its "normal" size: a
// picture already seen by the file manager or another viewer is not decoded again, and one this
// program decodes serves them too. Holds no state but its folders, so any thread may use it.
class ThumbnailCache
{
public:
    // The longest edge of a thumbnail of the "normal" size.
    static constexpr int NormalSize = 128;

    // The cache under cacheFolder (the user's cache folder: $XDG_CACHE_HOME, else ~/.cache).
    explicit ThumbnailCache(const QString& cacheFolder);
    // The user's cache folder, as the desktop names it.
    static QString UserCacheFolder();

    // The picture's thumbnail, at most NormalSize on its longer edge, aspect kept: the cached one when
    // it was made from the file as it is now, otherwise made afresh and stored. Null when the file is
    // missing or is no picture that can be read; a file that cannot be read is noted as such in the
    // cache, so that it is not tried again until it changes.
    QImage Thumbnail(const QString& file) const;

private:
    QString m_normal;
    QString m_fail;
};
