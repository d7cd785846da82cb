#include "data/FolderImport.h"

#include "core/Conversions.h"
#include "core/Failure.h"
#include "data/Database.h"
#include "data/PictureDate.h"
#include "data/SqliteSupport.h"
#include "data/cDataBase.h"

#include <QCryptographicHash>
#include <QDate>
#include <QFile>
#include <QHash>

#include <cerrno>
#include <cstdint>
#include <limits>
#include <optional>
#include <unordered_map>
#include <vector>

#include <dirent.h>
#include <fcntl.h>
#include <stdio.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

constexpr std::int64_t LargestPhotoNumber = std::numeric_limits<std::int32_t>::max();
constexpr std::int64_t LargestLabelCount = std::numeric_limits<std::int16_t>::max();
// How many rows go in between two reports of progress: often enough for a smooth bar, rarely
// enough to cost nothing.
constexpr qint64 ProgressStep = 64;

QByteArray nativePath(const QString& path)
{
    return QFile::encodeName(path);
}

// The system's reason for errno, as a sentence's end.
QString reason(int error)
{
    return qt_error_string(error);
}

long numberForErrno(int error)
{
    switch (error) {
    case ENOENT:
        return ErrorNumber::FileNotFound;
    case ENOSPC:
    case EDQUOT:
        return ErrorNumber::DiskFull;
    case EIO:
        return ErrorNumber::DiskError;
    default:
        return ErrorNumber::CannotOpenFile;
    }
}

// A file name joined to a folder, without doubling the separator of a folder that ends with one
// (the root folder).
QString joinPath(const QString& folder, const QString& name)
{
    return folder.endsWith(u'/') ? QString(folder + name) : QString(folder + u'/' + name);
}

QString fileNameOf(const QString& path)
{
    return path.mid(path.lastIndexOf(u'/') + 1);
}

// Raises a Failure naming what is wrong when the text does not name a folder that exists.
void checkFolder(const QString& folder)
{
    if (folder.isEmpty())
        throw Failure(ErrorNumber::FileNotFound, {}, QStringLiteral("No folder was given."));
    if (!folder.startsWith(u'/'))
        throw Failure(
            ErrorNumber::FileNotFound, {},
            QStringLiteral("The folder '%1' is not a full path; give the whole path, beginning with '/'.").arg(folder));
    struct stat info
    {
    };
    if (::stat(nativePath(folder).constData(), &info) != 0) {
        const int error = errno;
        if (error == ENOENT || error == ENOTDIR)
            throw Failure(ErrorNumber::FileNotFound, {}, QStringLiteral("The folder '%1' does not exist.").arg(folder));
        throw Failure(numberForErrno(error), {},
                      QStringLiteral("The folder '%1' cannot be read: %2.").arg(folder, reason(error)));
    }
    if (!S_ISDIR(info.st_mode))
        throw Failure(ErrorNumber::CannotOpenFile, {}, QStringLiteral("'%1' is a file, not a folder.").arg(folder));
}

// Closes a file descriptor when it goes out of scope.
class FileHandle
{
public:
    explicit FileHandle(int fd = -1) : m_fd(fd) {}
    ~FileHandle()
    {
        if (m_fd >= 0)
            ::close(m_fd);
    }
    FileHandle(const FileHandle&) = delete;
    FileHandle& operator=(const FileHandle&) = delete;
    int get() const { return m_fd; }
    // Closes now and gives the system's error, 0 when none.
    int close()
    {
        const int fd = m_fd;
        m_fd = -1;
        return fd >= 0 && ::close(fd) != 0 ? errno : 0;
    }

private:
    int m_fd;
};

[[noreturn]] void moveFailed(const QString& source, const QString& destination, int error)
{
    throw Failure(numberForErrno(error), {},
                  QStringLiteral("'%1' could not be moved to '%2': %3.").arg(source, destination, reason(error)));
}

int fsyncFolder(const QString& folder)
{
    FileHandle dir(::open(nativePath(folder).constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    if (dir.get() < 0)
        return errno;
    if (::fsync(dir.get()) != 0)
        return errno;
    return dir.close();
}

QString folderOf(const QString& path)
{
    const qsizetype slash = path.lastIndexOf(u'/');
    return slash <= 0 ? QStringLiteral("/") : path.left(slash);
}

// Copies the source's bytes, mode and times into a new file; returns 0 or the system's error.
int copyInto(int from, int to, const struct stat& info)
{
    std::vector<char> buffer(1 << 20);
    for (;;) {
        const ssize_t got = ::read(from, buffer.data(), buffer.size());
        if (got < 0) {
            if (errno == EINTR)
                continue;
            return errno;
        }
        if (got == 0)
            break;
        for (ssize_t written = 0; written < got;) {
            const ssize_t put = ::write(to, buffer.data() + written, std::size_t(got - written));
            if (put < 0) {
                if (errno == EINTR)
                    continue;
                return errno;
            }
            written += put;
        }
    }
    if (::fchmod(to, info.st_mode & 07777) != 0)
        return errno;
    // The copy keeps the time the picture was last changed, which file lists sort by.
    const struct timespec times[2] = {info.st_atim, info.st_mtim};
    if (::futimens(to, times) != 0)
        return errno;
    if (::fsync(to) != 0)
        return errno;
    return 0;
}

// A move to another file system: the copy is written under a temporary name in the destination
// folder and flushed, then given its final name by a link that refuses to replace, and only then is
// the source removed. A failure at any step leaves the source alone and removes the copy.
void copyThenRemove(const QString& source, const QString& destination)
{
    const QByteArray from = nativePath(source);
    const QByteArray to = nativePath(destination);
    FileHandle input(::open(from.constData(), O_RDONLY | O_CLOEXEC));
    if (input.get() < 0)
        moveFailed(source, destination, errno);
    struct stat info
    {
    };
    if (::fstat(input.get(), &info) != 0)
        moveFailed(source, destination, errno);

    QByteArray temporary = nativePath(joinPath(folderOf(destination), QStringLiteral(".vellaro-move-XXXXXX")));
    FileHandle output(::mkostemp(temporary.data(), O_CLOEXEC));
    if (output.get() < 0)
        moveFailed(source, destination, errno);
    int error = copyInto(input.get(), output.get(), info);
    if (error == 0)
        error = output.close();
    if (error == 0 && ::link(temporary.constData(), to.constData()) != 0) {
        error = errno;
        // A file system without hard links still offers a rename that refuses to replace.
        if ((error == EPERM || error == EOPNOTSUPP) &&
            ::renameat2(AT_FDCWD, temporary.constData(), AT_FDCWD, to.constData(), RENAME_NOREPLACE) == 0)
            error = 0;
    }
    ::unlink(temporary.constData());
    if (error != 0) {
        fsyncFolder(folderOf(destination));
        moveFailed(source, destination, error);
    }
    error = fsyncFolder(folderOf(destination));
    if (error == 0 && ::unlink(from.constData()) != 0)
        error = errno;
    if (error != 0) {
        // The source stays; the copy goes, so that the file is in one place only.
        ::unlink(to.constData());
        fsyncFolder(folderOf(destination));
        moveFailed(source, destination, error);
    }
    fsyncFolder(folderOf(source));
}

// The photo numbers and the values every photo of one import shares, checked and converted as the
// photo record set converts them, so that an imported photo is stored as a saved one is.
struct SharedRow
{
    QVariant Caption;
    QVariant LocationID;
    QVariant StorageLocationID;
    QVariant DateTaken;
    QVariant PrintLabel;
    QVariant NumberofLabels;
    QVariant Comments;
    std::vector<std::int32_t> SubjectIds; // the links each photo ends with, in the order made
};

std::int16_t labelCount(const QString& text)
{
    const QString trimmed = text.trimmed();
    if (trimmed.isEmpty())
        return 0;
    bool digitsOnly = true;
    for (const QChar c : trimmed)
        digitsOnly = digitsOnly && c >= u'0' && c <= u'9';
    const QString message = QStringLiteral("The number of labels must be a whole number from 0 to %1, or left empty.")
                                .arg(LargestLabelCount);
    if (!digitsOnly)
        throw Failure(ErrorNumber::TypeMismatch, {}, message);
    bool ok = false;
    const qlonglong number = trimmed.toLongLong(&ok);
    if (!ok || number > LargestLabelCount)
        throw Failure(ErrorNumber::Overflow, {}, message);
    return std::int16_t(number);
}

std::int64_t lastPhotoNumber(const Database& db)
{
    const QVariant last =
        db.OpenRecordset(QStringLiteral("SELECT max(PhotoID) AS Last FROM Photos"))->Value(QStringLiteral("Last"));
    return last.isNull() ? 0 : last.toLongLong();
}

void checkNumbers(std::int64_t last, qint64 count)
{
    if (count < 0 || last + count > LargestPhotoNumber)
        throw Failure(ErrorNumber::Overflow, {},
                      QStringLiteral("%1 photos cannot be numbered on from the last photo, number %2: photo "
                                     "numbers end at %3.")
                          .arg(count)
                          .arg(last)
                          .arg(LargestPhotoNumber));
}

QVariant codeAsId(const QString& code)
{
    return code.isEmpty() ? QVariant() : QVariant(toInt32(code));
}

// The links a new photo ends with: the added subjects in order, then for each removed name the
// first link to that subject undone, as removing a named link from the photo does.
std::vector<std::int32_t> finalSubjects(const Database& db, const ImportValues& values)
{
    std::vector<std::int32_t> links;
    for (const QString& id : values.AddedSubjectIds)
        links.push_back(toInt32(id));
    for (const QString& name : values.RemovedSubjectNames) {
        const auto subject =
            db.OpenRecordset(QStringLiteral("SELECT SubjectID FROM Subjects WHERE Subject = ?"), {name});
        if (subject->Eof())
            continue;
        const std::int32_t id = toInt32(subject->Value(QStringLiteral("SubjectID")));
        for (auto it = links.begin(); it != links.end(); ++it) {
            if (*it == id) {
                links.erase(it);
                break;
            }
        }
    }
    return links;
}

// Writes new photos and their links through prepared statements, converting each value for its
// column exactly as the record sets do.
class PhotoWriter
{
public:
    PhotoWriter(const Database& db, const ImportValues& values)
        : m_connection(db.connection()), m_pictureDates(values.PictureDates)
    {
        const Statement columns(m_connection,
                                QStringLiteral("SELECT PhotoID, Caption, LocationID, StorageLocationID, DateTaken, "
                                               "PrintLabel, NumberofLabels, FileName, Comments FROM Photos"));
        for (int i = 0; i < columns.columnCount(); ++i)
            m_kinds.push_back(columns.columnKind(i));

        QVariant date = values.DateTaken;
        if (date.typeId() == QMetaType::QDate && !date.toDate().isValid())
            date = QVariant();
        m_shared = {convertForColumn(values.Caption, m_kinds[1]),
                    convertForColumn(codeAsId(values.LocationCode), m_kinds[2]),
                    convertForColumn(codeAsId(values.StorageLocationCode), m_kinds[3]),
                    convertForColumn(date, m_kinds[4]),
                    convertForColumn(values.PrintLabel, m_kinds[5]),
                    convertForColumn(labelCount(values.NumberofLabels), m_kinds[6]),
                    convertForColumn(values.Comments, m_kinds[8]),
                    finalSubjects(db, values)};
    }

    void prepare()
    {
        m_photo = std::make_unique<Statement>(
            m_connection,
            QStringLiteral("INSERT INTO Photos (PhotoID, Caption, LocationID, StorageLocationID, DateTaken, "
                           "PrintLabel, NumberofLabels, FileName, Comments) VALUES (?, ?, ?, ?, ?, ?, ?, ?, ?)"),
            EngineOperation::Insert);
        m_link = std::make_unique<Statement>(
            m_connection, QStringLiteral("INSERT INTO PhotosSubjects (PhotoID, SubjectID) VALUES (?, ?)"),
            EngineOperation::Insert);
    }

    // The photo of one file, named fileName in the catalogue; picture is where the file is now.
    void add(std::int64_t number, const QString& fileName, const QString& picture)
    {
        std::optional<QDate> taken;
        if (m_pictureDates)
            taken = DateTaken(picture);
        m_photo->reset();
        m_photo->bind(1, convertForColumn(qlonglong(number), m_kinds[0]));
        m_photo->bind(2, m_shared.Caption);
        m_photo->bind(3, m_shared.LocationID);
        m_photo->bind(4, m_shared.StorageLocationID);
        m_photo->bind(5, taken ? convertForColumn(*taken, m_kinds[4]) : m_shared.DateTaken);
        m_photo->bind(6, m_shared.PrintLabel);
        m_photo->bind(7, m_shared.NumberofLabels);
        m_photo->bind(8, convertForColumn(fileName, m_kinds[7]));
        m_photo->bind(9, m_shared.Comments);
        m_photo->run();
        for (const std::int32_t subject : m_shared.SubjectIds) {
            m_link->reset();
            m_link->bind(1, qlonglong(number));
            m_link->bind(2, qlonglong(subject));
            m_link->run();
        }
    }

private:
    std::shared_ptr<Connection> m_connection;
    bool m_pictureDates;
    std::vector<ColumnKind> m_kinds;
    SharedRow m_shared;
    std::unique_ptr<Statement> m_photo;
    std::unique_ptr<Statement> m_link;
};

// Adds one photo per file name, numbered from first on, reporting progress as offset + done of
// total; pictures are the files where they lie now, read for their dates. Returns false when the
// progress asked to stop.
bool addPhotos(PhotoWriter& writer, std::int64_t first, const QStringList& fileNames, const QStringList& pictures,
               const ImportProgress& progress, qint64 offset, qint64 total)
{
    writer.prepare();
    const qint64 count = fileNames.size();
    for (qint64 i = 0; i < count; ++i) {
        writer.add(first + i, fileNames.at(i), pictures.at(i));
        const qint64 done = i + 1;
        if (progress && (done % ProgressStep == 0 || done == count) && !progress(offset + done, total))
            return false;
    }
    return true;
}

qint64 photosInRange(const Database& db, std::int64_t first, qint64 count)
{
    if (count == 0)
        return 0;
    return db
        .OpenRecordset(QStringLiteral("SELECT count(*) AS Added FROM Photos WHERE PhotoID BETWEEN ? AND ?"),
                       {qlonglong(first), qlonglong(first + count - 1)})
        ->Value(QStringLiteral("Added"))
        .toLongLong();
}

// The rows a table had when its statistics were last taken, or nothing when it has none.
std::optional<qint64> rowsWhenAnalyzed(const Database& db, const QString& table)
{
    const bool haveStatistics =
        !db.OpenRecordset(
               QStringLiteral("SELECT name FROM sqlite_master WHERE type = 'table' AND name = 'sqlite_stat1'"))
             ->Eof();
    if (!haveStatistics)
        return std::nullopt;
    const auto rows = db.OpenRecordset(QStringLiteral("SELECT stat FROM sqlite_stat1 WHERE tbl = ?"), {table});
    if (rows->Eof())
        return std::nullopt;
    return rows->Value(QStringLiteral("stat")).toString().section(u' ', 0, 0).toLongLong();
}

// Query plans depend on the engine's statistics (which index narrows a search best); without them
// the explorer's queries can run for minutes. Taking them costs a scan of the whole table, so a
// table is analysed only when it has none yet or has grown by a quarter since they were taken:
// plans follow the shape of the data, which a smaller growth hardly changes. A small table is left
// without: figures of a few rows would steer the plans wrongly once photos added one by one in the
// editor, which takes none, have made it large. They are taken inside the import's own unit of
// work, so that they are stored with it or not at all.
void refreshStatistics(const Database& db)
{
    constexpr qint64 smallTable = 1000;
    for (const QString& table : {QStringLiteral("Photos"), QStringLiteral("PhotosSubjects")}) {
        const qint64 rows = db.OpenRecordset(QStringLiteral("SELECT count(*) AS Rows FROM ") + quotedIdentifier(table))
                                ->Value(QStringLiteral("Rows"))
                                .toLongLong();
        const std::optional<qint64> analysed = rowsWhenAnalyzed(db, table);
        if (rows < smallTable || (analysed && rows < *analysed + *analysed / 4))
            continue;
        db.Execute(QStringLiteral("ANALYZE ") + quotedIdentifier(table));
    }
}

// Moves each file back where it came from, last moved first; gives the first that could not be
// moved back and why, or nothing when all went back.
std::optional<std::pair<QString, QString>> moveBack(const QStringList& sources, const QStringList& destinations,
                                                    qint64 moved)
{
    std::optional<std::pair<QString, QString>> stuck;
    for (qint64 i = moved - 1; i >= 0; --i) {
        try {
            MoveFileNoReplace(destinations.at(i), sources.at(i));
        } catch (const Failure& failure) {
            // The file stays where it is: it is not lost, and the result says where it is.
            if (!stuck)
                stuck = std::make_pair(destinations.at(i), failure.Description());
        }
    }
    return stuck;
}

// A file's size and time of change, by which a kept hash is known to be still the file's.
struct FileStamp
{
    qint64 Size = 0;
    qint64 MTime = 0; // nanoseconds: a file rewritten within the second is still seen as changed

    bool operator==(const FileStamp&) const = default;
};

// The stamp of a file that exists, or nothing for one that is gone or no file.
std::optional<FileStamp> stampOf(const QString& path)
{
    struct stat info
    {
    };
    if (::stat(nativePath(path).constData(), &info) != 0 || !S_ISREG(info.st_mode))
        return std::nullopt;
    return FileStamp{qint64(info.st_size), qint64(info.st_mtim.tv_sec) * 1000000000 + qint64(info.st_mtim.tv_nsec)};
}

// Keeps the size and time of change of files the catalogue now names; a hash already kept stays
// while both are the same.
void recordFiles(const Database& db, const QStringList& paths)
{
    Statement put(db.connection(),
                  QStringLiteral("INSERT OR REPLACE INTO PhotoFiles (FileName, Size, MTime, Hash) SELECT ?1, ?2, ?3, "
                                 "(SELECT Hash FROM PhotoFiles WHERE FileName = ?1 AND Size = ?2 AND MTime = ?3)"),
                  EngineOperation::Insert);
    for (const QString& path : paths) {
        const std::optional<FileStamp> stamp = stampOf(path);
        if (!stamp)
            continue;
        put.reset();
        put.bind(1, path);
        put.bind(2, qlonglong(stamp->Size));
        put.bind(3, qlonglong(stamp->MTime));
        put.run();
    }
}

enum class HashOutcome { Done, Unreadable, Stopped };

// The SHA-256 of a file's content, read a chunk at a time; read hears of each chunk's bytes and
// returns false to stop.
HashOutcome hashFile(const QString& path, QByteArray& hash, const std::function<bool(qint64)>& read)
{
    constexpr qint64 chunk = 1 << 20;
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return HashOutcome::Unreadable;
    QCryptographicHash sha(QCryptographicHash::Sha256);
    QByteArray buffer(chunk, Qt::Uninitialized);
    for (;;) {
        const qint64 got = file.read(buffer.data(), chunk);
        if (got < 0)
            return HashOutcome::Unreadable;
        if (got == 0)
            break;
        sha.addData(QByteArrayView(buffer.constData(), got));
        if (!read(got))
            return HashOutcome::Stopped;
    }
    hash = sha.result();
    return HashOutcome::Done;
}

// A catalogued file whose size a file to import has.
struct Candidate
{
    QString Path;
    qint64 PhotoID = 0;
    FileStamp Stamp;
    QByteArray Hash; // empty until known
    bool Unreadable = false;
};

// What is known of a catalogued file, to be kept.
struct KnownFile
{
    FileStamp Stamp;
    QByteArray Hash;
};

void keepKnownFiles(const Database& db, const QHash<QString, KnownFile>& known)
{
    if (known.isEmpty())
        return;
    Transaction work(db);
    Statement put(db.connection(),
                  QStringLiteral("INSERT OR REPLACE INTO PhotoFiles (FileName, Size, MTime, Hash) VALUES (?, ?, ?, ?)"),
                  EngineOperation::Insert);
    for (auto it = known.cbegin(); it != known.cend(); ++it) {
        put.reset();
        put.bind(1, it.key());
        put.bind(2, qlonglong(it->Stamp.Size));
        put.bind(3, qlonglong(it->Stamp.MTime));
        put.bind(4, it->Hash.isEmpty() ? QVariant() : QVariant(it->Hash));
        put.run();
    }
    work.commit();
}

} // namespace

QStringList ListFolderFiles(const QString& folder)
{
    checkFolder(folder);
    const QByteArray native = nativePath(folder);
    DIR* dir = ::opendir(native.constData());
    if (!dir) {
        const int error = errno;
        throw Failure(numberForErrno(error), {},
                      QStringLiteral("The folder '%1' cannot be read: %2.").arg(folder, reason(error)));
    }
    QStringList files;
    int error = 0;
    for (;;) {
        errno = 0;
        const dirent* entry = ::readdir(dir);
        if (!entry) {
            error = errno;
            break;
        }
        const bool maybeFile = entry->d_type == DT_REG || entry->d_type == DT_LNK || entry->d_type == DT_UNKNOWN;
        if (!maybeFile)
            continue;
        bool isFile = entry->d_type == DT_REG;
        if (!isFile) {
            // A link counts as the file it points to; a link to nothing or to a folder is no file.
            struct stat info
            {
            };
            isFile = ::fstatat(dirfd(dir), entry->d_name, &info, 0) == 0 && S_ISREG(info.st_mode);
        }
        if (isFile)
            files << joinPath(folder, QFile::decodeName(entry->d_name));
    }
    ::closedir(dir);
    if (error != 0)
        throw Failure(numberForErrno(error), {},
                      QStringLiteral("The folder '%1' cannot be read: %2.").arg(folder, reason(error)));
    return files;
}

void CheckImport(qint64 count, const ImportValues& values)
{
    labelCount(values.NumberofLabels);
    checkNumbers(lastPhotoNumber(gDB->DB()), count);
}

DuplicateCheck FindImportDuplicates(const QStringList& files, const ImportProgress& progress)
{
    // Looking at a catalogued file's size and time weighs as much in the progress as reading this
    // many of its bytes, so that the first look at a large catalogue moves the bar too.
    constexpr qint64 lookWeight = 64 * 1024;
    const Database& db = gDB->DB();
    const auto connection = db.connection();
    const qint64 count = files.size();
    std::vector<std::optional<ImportDuplicate>> found(std::size_t(count), std::nullopt);
    DuplicateCheck result;

    // The same path: the index on the file name finds it without a scan.
    Statement byPath(connection, QStringLiteral("SELECT min(PhotoID) FROM Photos WHERE FileName = ?"));
    for (qint64 i = 0; i < count; ++i) {
        byPath.reset();
        byPath.bind(1, files.at(i));
        if (byPath.step() && !byPath.isNull(0))
            found[std::size_t(i)] = ImportDuplicate{files.at(i), byPath.int64(0), DuplicateReason::SameFile};
    }

    // The other files' sizes: only catalogued files of one of these sizes are worth reading.
    std::vector<std::optional<FileStamp>> stamps(std::size_t(count), std::nullopt);
    std::unordered_map<qint64, std::vector<std::size_t>> candidatesBySize;
    for (qint64 i = 0; i < count; ++i) {
        if (found[std::size_t(i)])
            continue;
        stamps[std::size_t(i)] = stampOf(files.at(i));
        if (stamps[std::size_t(i)])
            candidatesBySize.try_emplace(stamps[std::size_t(i)]->Size);
    }

    // Catalogued files: a kept size chooses which are looked at; a file with none kept is looked at
    // once, and what is seen is kept.
    struct Kept
    {
        QString Path;
        qint64 PhotoID = 0;
        std::optional<FileStamp> Stamp;
        QByteArray Hash;
    };
    std::vector<Kept> toLook;
    if (!candidatesBySize.empty()) {
        Statement catalogued(connection,
                             QStringLiteral("SELECT p.FileName, min(p.PhotoID), f.Size, f.MTime, f.Hash FROM Photos p "
                                            "LEFT JOIN PhotoFiles f ON f.FileName = p.FileName "
                                            "WHERE p.FileName <> '' GROUP BY p.FileName"));
        while (catalogued.step()) {
            Kept file;
            if (!catalogued.isNull(2)) {
                file.Stamp = FileStamp{catalogued.int64(2), catalogued.int64(3)};
                if (!candidatesBySize.contains(file.Stamp->Size))
                    continue;
                file.Hash = catalogued.value(4, ColumnKind::Other).toByteArray();
            }
            file.Path = catalogued.value(0, ColumnKind::Text).toString();
            file.PhotoID = catalogued.int64(1);
            // A name that is no full path names no file this program can find.
            if (file.Path.startsWith(u'/'))
                toLook.push_back(std::move(file));
        }
    }

    QHash<QString, KnownFile> learnt;
    std::vector<Candidate> candidates;
    qint64 done = 0;
    qint64 total = qint64(toLook.size()) * lookWeight;
    const auto goOn = [&] { return !progress || progress(done, total); };
    const auto finish = [&](bool cancelled) {
        keepKnownFiles(db, learnt);
        result.Cancelled = cancelled;
        for (auto& duplicate : found) {
            if (duplicate)
                result.Duplicates.push_back(std::move(*duplicate));
        }
        return result;
    };
    // Files on a disk that is not there, a whole folder at a time, are passed over with one look.
    QHash<QString, bool> folderThere;
    const auto inFolderThere = [&folderThere](const QString& path) {
        const QString folder = folderOf(path);
        const auto known = folderThere.constFind(folder);
        if (known != folderThere.cend())
            return *known;
        struct stat info
        {
        };
        const bool there = ::stat(nativePath(folder).constData(), &info) == 0 && S_ISDIR(info.st_mode);
        folderThere.insert(folder, there);
        return there;
    };
    for (std::size_t j = 0; j < toLook.size(); ++j) {
        const Kept& file = toLook[j];
        const std::optional<FileStamp> stamp =
            inFolderThere(file.Path) ? stampOf(file.Path) : std::optional<FileStamp>();
        done += lookWeight;
        if (qint64(j + 1) % ProgressStep == 0 && !goOn())
            return finish(true);
        // A catalogued file that is gone is simply no duplicate.
        if (!stamp)
            continue;
        // A kept hash belongs to the file only while its size and time are the same.
        const bool unchanged = file.Stamp == stamp;
        if (!unchanged)
            learnt.insert(file.Path, KnownFile{*stamp, {}});
        const auto sameSize = candidatesBySize.find(stamp->Size);
        if (sameSize == candidatesBySize.end())
            continue;
        sameSize->second.push_back(candidates.size());
        candidates.push_back(Candidate{file.Path, file.PhotoID, *stamp, unchanged ? file.Hash : QByteArray()});
    }

    // Only files with a catalogued file of their size are read, each at most once.
    for (qint64 i = 0; i < count; ++i) {
        const auto& stamp = stamps[std::size_t(i)];
        if (stamp && !candidatesBySize.at(stamp->Size).empty())
            total += stamp->Size;
    }
    for (const Candidate& candidate : candidates) {
        if (candidate.Hash.isEmpty())
            total += candidate.Stamp.Size;
    }
    const auto read = [&](qint64 bytes) {
        done += bytes;
        return goOn();
    };
    for (qint64 i = 0; i < count; ++i) {
        const auto& stamp = stamps[std::size_t(i)];
        if (!stamp)
            continue;
        const std::vector<std::size_t>& sameSize = candidatesBySize.at(stamp->Size);
        if (sameSize.empty())
            continue;
        QByteArray hash;
        const HashOutcome outcome = hashFile(files.at(i), hash, read);
        if (outcome == HashOutcome::Stopped)
            return finish(true);
        if (outcome == HashOutcome::Unreadable)
            continue;
        std::optional<qint64> match;
        for (const std::size_t c : sameSize) {
            Candidate& candidate = candidates[c];
            if (candidate.Hash.isEmpty() && !candidate.Unreadable) {
                const HashOutcome catalogued = hashFile(candidate.Path, candidate.Hash, read);
                if (catalogued == HashOutcome::Stopped)
                    return finish(true);
                candidate.Unreadable = catalogued == HashOutcome::Unreadable;
                if (!candidate.Unreadable)
                    learnt.insert(candidate.Path, KnownFile{candidate.Stamp, candidate.Hash});
            }
            if (!candidate.Unreadable && candidate.Hash == hash && (!match || candidate.PhotoID < *match))
                match = candidate.PhotoID;
        }
        if (match)
            found[std::size_t(i)] = ImportDuplicate{files.at(i), *match, DuplicateReason::SamePicture};
    }
    return finish(false);
}

ImportResult ImportFiles(const QStringList& files, const ImportValues& values, const ImportProgress& progress)
{
    const Database& db = gDB->DB();
    ImportResult result;
    PhotoWriter writer(db, values);
    std::int64_t first = 0;
    {
        Transaction work(db);
        // The numbers are taken inside the unit of work, so that nothing can take them in between.
        const std::int64_t last = lastPhotoNumber(db);
        checkNumbers(last, files.size());
        first = last + 1;
        if (!addPhotos(writer, first, files, files, progress, 0, files.size())) {
            result.Cancelled = true;
            return result;
        }
        recordFiles(db, files);
        if (!files.isEmpty())
            refreshStatistics(db);
        work.commit();
    }
    result.Added = photosInRange(db, first, files.size());
    return result;
}

QStringList DestinationPaths(const QStringList& files, const QString& destination)
{
    QStringList paths;
    paths.reserve(files.size());
    for (const QString& file : files)
        paths << joinPath(destination, fileNameOf(file));
    return paths;
}

QString FirstExistingFile(const QStringList& paths)
{
    for (const QString& path : paths) {
        // Any entry counts, a dangling link included: a move must not replace it either.
        struct stat info
        {
        };
        if (::lstat(nativePath(path).constData(), &info) == 0)
            return path;
    }
    return {};
}

ImportResult MoveThenImportFiles(const QStringList& files, const QString& destination, const ImportValues& values,
                                 const ImportProgress& progress)
{
    checkFolder(destination);
    const QStringList destinations = DestinationPaths(files, destination);
    const QString existing = FirstExistingFile(destinations);
    if (!existing.isEmpty())
        throw Failure(ErrorNumber::CannotOpenFile, {},
                      QStringLiteral("The file '%1' already exists; nothing was moved or added.").arg(existing));

    const Database& db = gDB->DB();
    ImportResult result;
    PhotoWriter writer(db, values);
    // Each file counts twice in the progress: once for its photo, once for its move.
    const qint64 count = files.size();
    const qint64 total = 2 * count;
    std::int64_t first = 0;
    qint64 moved = 0;
    try {
        Transaction work(db);
        const std::int64_t last = lastPhotoNumber(db);
        checkNumbers(last, count);
        first = last + 1;
        // The files are still in the source folder while their photos are written.
        if (!addPhotos(writer, first, destinations, files, progress, 0, total)) {
            result.Cancelled = true;
            return result;
        }
        for (; moved < count; ++moved) {
            try {
                MoveFileNoReplace(files.at(moved), destinations.at(moved));
            } catch (const Failure& failure) {
                if (failure.Number() != ErrorNumber::FileNotFound && failure.Number() != ErrorNumber::CannotOpenFile &&
                    failure.Number() != ErrorNumber::DiskFull && failure.Number() != ErrorNumber::DiskError)
                    throw;
                result.MoveFailedFile = files.at(moved);
                result.MoveFailure = failure.Description();
                break;
            }
            if (progress && !progress(count + moved + 1, total)) {
                ++moved;
                const auto stuck = moveBack(files, destinations, moved);
                moved = 0;
                result.Cancelled = true;
                if (stuck) {
                    result.MoveFailedFile = stuck->first;
                    result.MoveFailure = stuck->second;
                }
                return result;
            }
        }
        if (moved < count) {
            // The photos of the files left behind name them where they are.
            Statement stay(db.connection(), QStringLiteral("UPDATE Photos SET FileName = ? WHERE PhotoID = ?"),
                           EngineOperation::Update);
            for (qint64 i = moved; i < count; ++i) {
                stay.reset();
                stay.bind(1, files.at(i));
                stay.bind(2, qlonglong(first + i));
                stay.run();
            }
        }
        QStringList where = destinations.mid(0, moved);
        where << files.mid(moved);
        recordFiles(db, where);
        if (count > 0)
            refreshStatistics(db);
        work.commit();
    } catch (const Failure&) {
        // The photos are undone, so the files go back to where the catalogue does not name them.
        moveBack(files, destinations, moved);
        throw;
    }
    result.Moved = moved;
    result.Added = photosInRange(db, first, count);
    return result;
}

void MoveFileNoReplace(const QString& source, const QString& destination)
{
    const QByteArray from = nativePath(source);
    const QByteArray to = nativePath(destination);
    if (::renameat2(AT_FDCWD, from.constData(), AT_FDCWD, to.constData(), RENAME_NOREPLACE) == 0)
        return;
    int error = errno;
    if (error == EINVAL || error == ENOSYS) {
        // A file system that cannot refuse in a rename: a link refuses to replace, then the old name goes.
        if (::link(from.constData(), to.constData()) == 0) {
            if (::unlink(from.constData()) == 0)
                return;
            error = errno;
            ::unlink(to.constData());
            moveFailed(source, destination, error);
        }
        error = errno;
    }
    if (error == EXDEV) {
        copyThenRemove(source, destination);
        return;
    }
    moveFailed(source, destination, error);
}

void RefreshImportStatistics(const Database& db)
{
    refreshStatistics(db);
}
