#include "data/CatalogueCopy.h"

#include "core/Failure.h"

#include <QFile>
#include <QFileInfo>

#include <cerrno>
#include <cstring>
#include <utility>
#include <vector>

#include <dirent.h>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

const QString source = QStringLiteral("Catalogue copy");

// The temporary copy's name beside the backup: hidden, with six characters that mkstemp makes unique.
constexpr char temporaryPrefix[] = ".Vellaro.mdb.";
constexpr size_t temporaryPrefixLength = sizeof temporaryPrefix - 1;
constexpr size_t temporaryNameLength = temporaryPrefixLength + 6;

// Large enough that the copy is a few hundred system calls for a big catalogue.
constexpr size_t chunk = size_t(1) << 20;

[[noreturn]] void fail(const QString& what, int error)
{
    throw Failure(ErrorNumber::DiskError, source,
                  QStringLiteral("%1: %2").arg(what, QString::fromLocal8Bit(std::strerror(error))));
}

// A file descriptor closed when it goes out of scope.
class Descriptor
{
public:
    explicit Descriptor(int fd) : m_fd(fd) {}
    ~Descriptor()
    {
        if (m_fd >= 0)
            ::close(m_fd);
    }
    Descriptor(const Descriptor&) = delete;
    Descriptor& operator=(const Descriptor&) = delete;

    int get() const { return m_fd; }
    // Closes now, where a failure to close (a delayed write error) still counts.
    int close()
    {
        const int result = ::close(m_fd);
        m_fd = -1;
        return result;
    }

private:
    int m_fd;
};

// The temporary copy, removed unless it has been renamed into place.
class TemporaryFile
{
public:
    explicit TemporaryFile(QByteArray path) : m_path(std::move(path)) {}
    ~TemporaryFile()
    {
        if (!m_kept)
            ::unlink(m_path.constData());
    }
    TemporaryFile(const TemporaryFile&) = delete;
    TemporaryFile& operator=(const TemporaryFile&) = delete;

    const char* path() const { return m_path.constData(); }
    void keep() { m_kept = true; }

private:
    QByteArray m_path;
    bool m_kept = false;
};

// Reads up to size bytes; fewer only at the end of the file.
ssize_t readFully(int fd, char* buffer, size_t size)
{
    size_t done = 0;
    while (done < size) {
        const ssize_t got = ::read(fd, buffer + done, size - done);
        if (got < 0 && errno == EINTR)
            continue;
        if (got < 0)
            return -1;
        if (got == 0)
            break;
        done += size_t(got);
    }
    return ssize_t(done);
}

bool writeFully(int fd, const char* buffer, size_t size)
{
    while (size > 0) {
        const ssize_t put = ::write(fd, buffer, size);
        if (put < 0 && errno == EINTR)
            continue;
        if (put <= 0) {
            if (put == 0)
                errno = ENOSPC;
            return false;
        }
        buffer += put;
        size -= size_t(put);
    }
    return true;
}

bool isTemporaryName(const char* name)
{
    if (std::strlen(name) != temporaryNameLength || std::strncmp(name, temporaryPrefix, temporaryPrefixLength) != 0)
        return false;
    for (const char* c = name + temporaryPrefixLength; *c; ++c) {
        if (!((*c >= 'a' && *c <= 'z') || (*c >= 'A' && *c <= 'Z') || (*c >= '0' && *c <= '9')))
            return false;
    }
    return true;
}

// Removes the temporary copies that backups killed before their end left in the folder. A copy
// still being written is locked by its writer and stays; a dead writer's lock is gone with it. Best
// effort: what cannot be removed stays and harms nothing.
void removeStaleCopies(const QByteArray& folder)
{
    DIR* entries = ::opendir(folder.constData());
    if (!entries)
        return;
    const int directory = ::dirfd(entries);
    while (const dirent* entry = ::readdir(entries)) {
        if (!isTemporaryName(entry->d_name))
            continue;
        const Descriptor stale(::openat(directory, entry->d_name, O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC));
        struct stat info = {};
        if (stale.get() < 0 || ::fstat(stale.get(), &info) != 0 || !S_ISREG(info.st_mode) || info.st_uid != ::geteuid())
            continue;
        if (::flock(stale.get(), LOCK_EX | LOCK_NB) == 0)
            ::unlinkat(directory, entry->d_name, 0);
    }
    ::closedir(entries);
}

} // namespace

bool SameFileOrFolder(const QString& first, const QString& second)
{
    struct stat a = {};
    struct stat b = {};
    if (::stat(QFile::encodeName(first).constData(), &a) != 0 || ::stat(QFile::encodeName(second).constData(), &b) != 0)
        return false;
    return a.st_dev == b.st_dev && a.st_ino == b.st_ino;
}

void CopyCatalogue(const QString& sourcePath, const QString& destinationPath)
{
    const QFileInfo destination(destinationPath);
    const QByteArray folder = QFile::encodeName(destination.absolutePath());

    // Written through a new name and renamed, a copy onto the catalogue itself would replace it.
    if (SameFileOrFolder(sourcePath, destinationPath))
        fail(QStringLiteral("The backup would replace the catalogue itself"), EINVAL);
    Descriptor from(::open(QFile::encodeName(sourcePath).constData(), O_RDONLY | O_CLOEXEC));
    if (from.get() < 0)
        fail(QStringLiteral("The catalogue cannot be read"), errno);

    removeStaleCopies(folder);
    // A hidden name that no other file has; mkstemp gives the new file to its owner only.
    QByteArray name = folder + '/' + temporaryPrefix + "XXXXXX";
    Descriptor to(::mkostemp(name.data(), O_CLOEXEC));
    if (to.get() < 0)
        fail(QStringLiteral("The backup cannot be written in %1").arg(destination.absolutePath()), errno);
    TemporaryFile copy(name);
    // Locked until it is renamed into place or removed, so that another backup's clean-up leaves it.
    const Descriptor inUse(::open(copy.path(), O_RDONLY | O_CLOEXEC));
    if (inUse.get() < 0 || ::flock(inUse.get(), LOCK_EX) != 0)
        fail(QStringLiteral("The backup cannot be written in %1").arg(destination.absolutePath()), errno);

    std::vector<char> buffer(chunk);
    for (;;) {
        const ssize_t got = readFully(from.get(), buffer.data(), chunk);
        if (got < 0)
            fail(QStringLiteral("The catalogue cannot be read"), errno);
        if (got == 0)
            break;
        if (!writeFully(to.get(), buffer.data(), size_t(got)))
            fail(QStringLiteral("The backup cannot be written"), errno);
    }
    if (::fsync(to.get()) != 0)
        fail(QStringLiteral("The backup cannot be written"), errno);

    // Read back what the disk holds, not the pages still in memory, and compare with the catalogue.
    ::posix_fadvise(to.get(), 0, 0, POSIX_FADV_DONTNEED);
    if (::lseek(from.get(), 0, SEEK_SET) != 0 || ::lseek(to.get(), 0, SEEK_SET) != 0)
        fail(QStringLiteral("The backup cannot be checked"), errno);
    std::vector<char> written(chunk);
    for (;;) {
        const ssize_t original = readFully(from.get(), buffer.data(), chunk);
        const ssize_t copied = readFully(to.get(), written.data(), chunk);
        if (original < 0 || copied < 0)
            fail(QStringLiteral("The backup cannot be checked"), errno);
        if (original != copied || std::memcmp(buffer.data(), written.data(), size_t(original)) != 0)
            fail(QStringLiteral("The backup differs from the catalogue"), EIO);
        if (original == 0)
            break;
    }
    if (to.close() != 0)
        fail(QStringLiteral("The backup cannot be written"), errno);

    if (::rename(copy.path(), QFile::encodeName(destination.absoluteFilePath()).constData()) != 0)
        fail(QStringLiteral("The backup cannot replace %1").arg(destination.absoluteFilePath()), errno);
    copy.keep();
    // The new name is on the disk only once its folder is.
    Descriptor directory(::open(folder.constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    if (directory.get() < 0 || ::fsync(directory.get()) != 0)
        fail(QStringLiteral("The backup's folder cannot be written"), errno);
}
