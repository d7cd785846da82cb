// The backup of a catalogue of 100,000 photos to a folder on a disk: the whole command (the folder
// dialog accepted, the windows and the catalogue closed, the copy written, flushed and checked, the
// catalogue opened again and the photo editor shown), beside a plain copy of the file flushed to disk.

#include "ChildWindows.h"
#include "BenchCatalogue.h"
#include "BenchReport.h"

#include "core/Settings.h"
#include "data/CatalogueCopy.h"
#include "data/cDataBase.h"
#include "gui/shell/frmBackUp.h"
#include "gui/shell/mdiMain.h"

#include <QAction>
#include <QApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTimer>

#include <cstdio>
#include <cstdlib>
#include <vector>

#include <fcntl.h>
#include <sys/vfs.h>
#include <unistd.h>

namespace {

constexpr long tmpfsMagic = 0x01021994;

const BenchCatalogue& catalogue()
{
    static const BenchCatalogue instance(100000);
    return instance;
}

// A folder on the disk that holds the build: a backup to memory would measure no flush at all.
const QTemporaryDir& destination()
{
    static const QTemporaryDir folder(QCoreApplication::applicationDirPath() + QStringLiteral("/backup-XXXXXX"));
    struct statfs volume = {};
    if (!folder.isValid() || statfs(QFile::encodeName(folder.path()).constData(), &volume) != 0 ||
        long(volume.f_type) == tmpfsMagic) {
        std::fprintf(stderr, "bench: no folder on a disk-backed file system for the backup\n");
        std::abort();
    }
    return folder;
}

QString backupFile()
{
    return QDir(destination().path()).filePath(QStringLiteral("Vellaro.mdb"));
}

// Accepts the folder dialog the moment it shows, as a user who keeps the folder it offers.
class AcceptFolder final : public QObject
{
public:
    AcceptFolder() { qApp->installEventFilter(this); }
    ~AcceptFolder() override { qApp->removeEventFilter(this); }

    bool eventFilter(QObject* watched, QEvent* event) override
    {
        auto* dialog = qobject_cast<frmBackUp*>(watched);
        if (dialog && event->type() == QEvent::Show)
            QTimer::singleShot(0, dialog,
                               [dialog] { dialog->findChild<QPushButton*>(QStringLiteral("cmdOK"))->click(); });
        return false;
    }
};

void BackupCycle(benchmark::State& state)
{
    catalogue().openAsProgram();
    SaveSetting(QStringLiteral("StartUp"), QStringLiteral("FirstTime"), QStringLiteral("False"));
    SaveSetting(QStringLiteral("BackUp"), QStringLiteral("Dir"), destination().path());
    {
        mdiMain main(QFileInfo(catalogue().path()).absolutePath());
        RegisterChildWindows(main);
        main.Load();
        main.show();
        QAction* command = main.findChild<QAction*>(QStringLiteral("mnuFileBackUp"));
        const AcceptFolder accept;
        for (auto _ : state) {
            command->trigger();
            if (!main.Child(QStringLiteral("frmPhotos")) ||
                QFileInfo(backupFile()).size() != QFileInfo(catalogue().path()).size())
                state.SkipWithError("the backup was not made");
            state.PauseTiming();
            // Each run a fresh backup, so that no question is asked.
            QFile::remove(backupFile());
            QApplication::processEvents();
            state.ResumeTiming();
        }
    }
    gDB.reset();
}

// The copy alone: written to a new file, flushed, read back from the disk, checked and renamed.
void CopyCatalogueChecked(benchmark::State& state)
{
    for (auto _ : state) {
        CopyCatalogue(catalogue().path(), backupFile());
        state.PauseTiming();
        QFile::remove(backupFile());
        state.ResumeTiming();
    }
    state.SetBytesProcessed(state.iterations() * QFileInfo(catalogue().path()).size());
}

// The least a safe backup must do: copy the file and flush it to the disk.
void CopyAndFlushBare(benchmark::State& state)
{
    const QByteArray source = QFile::encodeName(catalogue().path());
    const QByteArray target = QFile::encodeName(backupFile());
    std::vector<char> buffer(1 << 20);
    for (auto _ : state) {
        const int from = ::open(source.constData(), O_RDONLY);
        const int to = ::open(target.constData(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
        ssize_t got = 0;
        while ((got = ::read(from, buffer.data(), buffer.size())) > 0) {
            if (::write(to, buffer.data(), size_t(got)) != got)
                state.SkipWithError("the copy failed");
        }
        ::fsync(to);
        ::close(to);
        ::close(from);
        state.PauseTiming();
        QFile::remove(backupFile());
        state.ResumeTiming();
    }
    state.SetBytesProcessed(state.iterations() * QFileInfo(catalogue().path()).size());
}

} // namespace

BENCHMARK(BackupCycle)->Unit(benchmark::kMillisecond)->MinTime(3.0);
BENCHMARK(CopyCatalogueChecked)->Unit(benchmark::kMillisecond)->MinTime(2.0);
BENCHMARK(CopyAndFlushBare)->Unit(benchmark::kMillisecond)->MinTime(2.0);

int main(int argc, char** argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication application(argc, argv);
    return runBenchmarks(
        argc, argv, {{"BackupCycle", "CopyAndFlushBare", 0, 1000}, {"CopyCatalogueChecked", "CopyAndFlushBare", 0, 0}});
}
