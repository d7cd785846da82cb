#include "support/FileFaults.h"

#include "data/Database.h"
#include "data/cDataBase.h"

#include <QFile>
#include <QTest>

#include <csignal>

#include <sys/wait.h>
#include <unistd.h>

namespace {

constexpr int pageSize = 4096;
constexpr uid_t nobody = 65534;

} // namespace

int asOrdinaryUser(const std::function<int()>& work)
{
    if (geteuid() != 0)
        return work();
    const pid_t child = fork();
    if (child == 0) {
        if (setresgid(nobody, nobody, nobody) != 0 || setresuid(nobody, nobody, nobody) != 0)
            _exit(254);
        _exit(work() & 0xff);
    }
    int status = 0;
    if (child < 0 || waitpid(child, &status, 0) != child || !WIFEXITED(status))
        return -1;
    return WEXITSTATUS(status);
}

void growCatalogue(const QString& path, int photos)
{
    auto database = Database::OpenDatabase(path, false, false, cDataBase::ConnectString());
    Transaction work(*database);
    const QString comments = QStringLiteral("Scanned from the original print, kept in the blue album. ").repeated(4);
    for (int id = 1000; id < 1000 + photos; ++id)
        database->Execute(QStringLiteral("INSERT INTO Photos (PhotoID, Caption, Comments) VALUES (?, ?, ?)"),
                          {id, QStringLiteral("Photo %1").arg(id), comments});
    work.commit();
}

void damagePages(const QString& path, double from, double to)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadWrite))
        return;
    const qint64 pages = file.size() / pageSize;
    const QByteArray noise(pageSize, char(0xa5));
    for (qint64 page = std::max<qint64>(1, qint64(pages * from)); page < qint64(pages * to); ++page) {
        file.seek(page * pageSize);
        file.write(noise);
    }
}

QByteArray fileBytes(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

bool writeFile(const QString& path, const QByteArray& content)
{
    QFile file(path);
    if (file.open(QIODevice::WriteOnly | QIODevice::Truncate) && file.write(content) == content.size())
        return true;
    QTest::qFail(qPrintable(u"cannot write " + path), __FILE__, __LINE__);
    return false;
}

FileSizeLimit::FileSizeLimit(rlim_t bytes) : m_handler(std::signal(SIGXFSZ, SIG_IGN))
{
    getrlimit(RLIMIT_FSIZE, &m_old);
    rlimit limited = m_old;
    limited.rlim_cur = bytes;
    setrlimit(RLIMIT_FSIZE, &limited);
}

FileSizeLimit::~FileSizeLimit()
{
    setrlimit(RLIMIT_FSIZE, &m_old);
    std::signal(SIGXFSZ, m_handler);
}
