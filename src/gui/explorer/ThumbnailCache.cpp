#include "gui/explorer/ThumbnailCache.h"

#include <QCryptographicHash>
#include <QDateTime>
#include <QDir>
#include <QFileInfo>
#include <QHash>
#include <QImageReader>
#include <QSaveFile>
#include <QStandardPaths>
#include <QUrl>
#include <QtEndian>

#include <algorithm>

namespace {

const QString uriKey = QStringLiteral("Thumb::URI");
const QString mtimeKey = QStringLiteral("Thumb::MTime");
// Thumbnails show what the user's pictures hold: only the user may read them.
constexpr QFile::Permissions privateFolder = QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner;
constexpr QFile::Permissions privateFile = QFile::ReadOwner | QFile::WriteOwner;

QString failFolderName()
{
    return QStringLiteral("vellaro-%1.%2.%3")
        .arg(VELLARO_VERSION_MAJOR)
        .arg(VELLARO_VERSION_MINOR)
        .arg(VELLARO_VERSION_PATCH);
}

// A zlib stream unpacked; empty when it is damaged.
QByteArray inflated(const QByteArray& packed)
{
    // qUncompress wants the length first; it is only a first guess of the room needed.
    QByteArray sized(4, '\0');
    qToBigEndian<quint32>(quint32(std::max<qsizetype>(64, packed.size() * 4)), sized.data());
    return qUncompress(sized + packed);
}

// The texts a PNG file holds before its pixels, by key, plain, packed (as Qt writes a long one) or
// international. Qt's reader cuts keys at a colon, and the cache's keys hold two, so the chunks are
// read here.
QHash<QString, QString> pngTexts(QIODevice& file)
{
    QHash<QString, QString> texts;
    if (file.read(8) != QByteArray("\x89PNG\r\n\x1a\n", 8))
        return texts;
    for (;;) {
        const QByteArray head = file.read(8);
        if (head.size() != 8)
            return texts;
        const quint32 length = qFromBigEndian<quint32>(head.constData());
        const QByteArray type = head.mid(4);
        if (type == "IDAT" || type == "IEND" || length > (1u << 20))
            return texts;
        const QByteArray chunk = file.read(length);
        if (chunk.size() != qsizetype(length) || !file.skip(4))
            return texts;
        const qsizetype end = chunk.indexOf('\0');
        if (end <= 0)
            continue;
        const QString key = QString::fromLatin1(chunk.left(end));
        if (type == "tEXt") {
            texts.insert(key, QString::fromLatin1(chunk.mid(end + 1)));
        } else if (type == "zTXt" && chunk.size() > end + 1 && chunk.at(end + 1) == 0) {
            texts.insert(key, QString::fromLatin1(inflated(chunk.mid(end + 2))));
        } else if (type == "iTXt" && chunk.size() > end + 2 && chunk.at(end + 1) == 0) {
            // Uncompressed international text: language and translated key come before it.
            const qsizetype language = chunk.indexOf('\0', end + 3);
            const qsizetype translated = language < 0 ? -1 : chunk.indexOf('\0', language + 1);
            if (translated >= 0)
                texts.insert(key, QString::fromUtf8(chunk.mid(translated + 1)));
        }
    }
}

// The thumbnail stored at path, when it says it was made from uri as it was at mtime; else null.
QImage readMatching(const QString& path, const QString& uri, const QString& mtime)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    // The keys come before the pixels: a stale thumbnail is turned away undecoded.
    const QHash<QString, QString> texts = pngTexts(file);
    if (texts.value(uriKey) != uri || texts.value(mtimeKey) != mtime || !file.seek(0))
        return {};
    return QImageReader(&file, "png").read();
}

// Makes the folder and each missing folder above it, private to the user.
bool makeFolder(const QString& path)
{
    if (QFileInfo(path).isDir())
        return true;
    const QString parent = QFileInfo(path).absolutePath();
    if (parent != path && !makeFolder(parent))
        return false;
    return QDir().mkdir(path, privateFolder) || QFileInfo(path).isDir();
}

// Writes the image under its name into folder: to a temporary file beside it, renamed into place,
// so that another program never reads half a thumbnail.
void store(const QImage& image, const QString& folder, const QString& name)
{
    if (!makeFolder(folder))
        return;
    QSaveFile file(folder + u'/' + name);
    if (!file.open(QIODevice::WriteOnly) || !file.setPermissions(privateFile) || !image.save(&file, "png")) {
        file.cancelWriting();
        return;
    }
    // A cache that cannot be written costs a decode next time, nothing more.
    file.commit();
}

// The picture decoded straight to at most the normal size: a large photo is never decoded whole.
QImage decode(const QString& path)
{
    QImageReader reader(path);
    reader.setAutoTransform(true);
    const QSize full = reader.size();
    const int limit = ThumbnailCache::NormalSize;
    if (full.isValid() && (full.width() > limit || full.height() > limit)) {
        const QSize scaled = full.scaled(limit, limit, Qt::KeepAspectRatio);
        reader.setScaledSize(scaled.expandedTo(QSize(1, 1)));
    }
    QImage image = reader.read();
    // The few formats that tell their size only by decoding are scaled after it.
    if (!full.isValid() && (image.width() > limit || image.height() > limit))
        image = image.scaled(limit, limit, Qt::KeepAspectRatio, Qt::SmoothTransformation);
    return image;
}

} // namespace

ThumbnailCache::ThumbnailCache(const QString& cacheFolder)
{
    // Without a cache folder (no home folder) thumbnails are made every time, and never stored at the
    // top of the file system.
    if (cacheFolder.isEmpty())
        return;
    m_normal = cacheFolder + QStringLiteral("/thumbnails/normal");
    m_fail = cacheFolder + QStringLiteral("/thumbnails/fail/") + failFolderName();
}

QString ThumbnailCache::UserCacheFolder()
{
    return QStandardPaths::writableLocation(QStandardPaths::GenericCacheLocation);
}

QImage ThumbnailCache::Thumbnail(const QString& file) const
{
    const QFileInfo info(file);
    if (!info.isFile())
        return {};
    const QByteArray encoded = QUrl::fromLocalFile(info.absoluteFilePath()).toEncoded();
    const QString uri = QString::fromLatin1(encoded);
    const QString mtime = QString::number(info.lastModified().toSecsSinceEpoch());
    const QString name = QString::fromLatin1(QCryptographicHash::hash(encoded, QCryptographicHash::Md5).toHex()) +
                         QStringLiteral(".png");

    if (m_normal.isEmpty())
        return decode(info.absoluteFilePath());
    QImage thumbnail = readMatching(m_normal + u'/' + name, uri, mtime);
    if (!thumbnail.isNull() || !readMatching(m_fail + u'/' + name, uri, mtime).isNull())
        return thumbnail;

    thumbnail = decode(info.absoluteFilePath());
    // A file that is no picture leaves a mark of one pixel in the fail folder instead.
    QImage record = thumbnail.isNull() ? QImage(1, 1, QImage::Format_ARGB32) : thumbnail;
    if (thumbnail.isNull())
        record.fill(Qt::transparent);
    record.setText(uriKey, uri);
    record.setText(mtimeKey, mtime);
    store(record, thumbnail.isNull() ? m_fail : m_normal, name);
    return thumbnail;
}
