#pragma once

#include <QByteArray>
#include <QString>

#include <functional>

#include <sys/resource.h>

// Files as the world damages them: catalogues with broken pages, and work done as a user who may
// not write what the superuser may.

// Runs work as an ordinary user and gives its result (0 to 255). The superuser, for whom file modes
// stop nothing, runs it in a child process that has dropped to the unprivileged "nobody" ids; any
// other user runs it in place. -1 when the child did not end normally.
int asOrdinaryUser(const std::function<int()>& work);

// Adds this many photos with long comments to the catalogue, so that it spans many pages.
void growCatalogue(const QString& path, int photos);

// Overwrites the pages between these fractions of the file (the first page always spared) with
// noise, as a failing disk would.
void damagePages(const QString& path, double from, double to);

QByteArray fileBytes(const QString& path);

// Writes the whole content to a new or emptied file; a write that fails also fails the running test.
bool writeFile(const QString& path, const QByteArray& content = "picture");

// While it lives, this process writes files of at most this many bytes, as on a disk that fills up:
// a write past the limit fails with EFBIG instead of ending the process.
class FileSizeLimit
{
public:
    explicit FileSizeLimit(rlim_t bytes);
    ~FileSizeLimit();
    FileSizeLimit(const FileSizeLimit&) = delete;
    FileSizeLimit& operator=(const FileSizeLimit&) = delete;

private:
    rlimit m_old{};
    void (*m_handler)(int);
};
