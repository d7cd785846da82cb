// The file browser over a folder of 10,000 files: listing it, and changing the pattern to every file
// and back, beside QDir listing the same folder on its own.

#include "BenchReport.h"

#include "core/Settings.h"
#include "gui/import/frmBrowse.h"

#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QKeyEvent>
#include <QSettings>
#include <QTemporaryDir>

namespace {

constexpr qsizetype pictureCount = 8000; // the .jpg and .JPG files, which the first pattern lists
constexpr qsizetype fileCount = 10000;

// A camera's folder after years of use: mostly photographs, under both capitals, and some others.
struct BigFolder
{
    QTemporaryDir folder;
    QTemporaryDir settings;
    bool ready = false;

    BigFolder()
    {
        ready = folder.isValid() && settings.isValid();
        const std::pair<const char*, int> kinds[] = {{"jpg", 6000}, {"JPG", 2000}, {"png", 1000}, {"txt", 1000}};
        int number = 0;
        for (const auto& [suffix, count] : kinds) {
            for (int i = 0; i < count && ready; ++i) {
                const QString name =
                    QStringLiteral("IMG_%1.%2").arg(number++, 5, 10, QLatin1Char('0')).arg(QLatin1String(suffix));
                QFile file(folder.filePath(name));
                ready = file.open(QIODevice::WriteOnly);
            }
        }
        // The window opens in this folder, from a settings store of the benchmark's own.
        QSettings::setPath(QSettings::IniFormat, QSettings::UserScope, settings.path());
        SaveSetting(QStringLiteral("Browse"), QStringLiteral("StartDir"), folder.path());
    }
};

const BigFolder& bigFolder()
{
    static const BigFolder instance;
    return instance;
}

// The pattern typed into the box and entered, as the user does.
void enterPattern(QComboBox* patterns, const QString& pattern)
{
    patterns->setEditText(pattern);
    QKeyEvent enter(QEvent::KeyPress, Qt::Key_Return, Qt::NoModifier);
    QApplication::sendEvent(patterns, &enter);
}

// Each pass also lets the shown list take in the new names, as the user would see them.
void ListFolder(benchmark::State& state)
{
    const BigFolder& big = bigFolder();
    if (!big.ready) {
        state.SkipWithError("the folder of 10,000 files could not be made");
        return;
    }
    frmBrowse window;
    window.show();
    for (auto _ : state) {
        window.setFolder(big.folder.path());
        QApplication::processEvents();
        if (window.ListedFiles().size() != pictureCount) {
            state.SkipWithError("the first pattern did not list the 8,000 photographs");
            break;
        }
    }
}

void FilterFolder(benchmark::State& state)
{
    const BigFolder& big = bigFolder();
    if (!big.ready) {
        state.SkipWithError("the folder of 10,000 files could not be made");
        return;
    }
    frmBrowse window;
    window.show();
    auto* patterns = window.findChild<QComboBox*>(QStringLiteral("cboFiletypes"));
    const QString first = frmBrowse::Patterns().first();
    for (auto _ : state) {
        enterPattern(patterns, QStringLiteral("*.*"));
        QApplication::processEvents();
        const qsizetype all = window.ListedFiles().size();
        enterPattern(patterns, first);
        QApplication::processEvents();
        if (all != fileCount || window.ListedFiles().size() != pictureCount) {
            state.SkipWithError("the patterns did not list the files expected");
            break;
        }
    }
}

// The least a listing can cost: QDir alone, with the first pattern's filters and the same order.
void ListFolderBare(benchmark::State& state)
{
    const BigFolder& big = bigFolder();
    const QStringList filters{QStringLiteral("*.BMP"), QStringLiteral("*.GIF"), QStringLiteral("*.JPG")};
    for (auto _ : state) {
        const QStringList names =
            QDir(big.folder.path()).entryList(filters, QDir::Files, QDir::Name | QDir::IgnoreCase);
        if (names.size() != pictureCount) {
            state.SkipWithError("QDir did not list the 8,000 photographs");
            break;
        }
        benchmark::DoNotOptimize(names.constData());
    }
}

} // namespace

BENCHMARK(ListFolder)->Unit(benchmark::kMillisecond)->MinTime(1.0);
BENCHMARK(FilterFolder)->Unit(benchmark::kMillisecond)->MinTime(1.0);
BENCHMARK(ListFolderBare)->Unit(benchmark::kMillisecond)->MinTime(1.0);

int main(int argc, char** argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication application(argc, argv);
    return runBenchmarks(argc, argv,
                         {{"ListFolder", "ListFolderBare", 0, 200}, {"FilterFolder", "ListFolderBare", 0, 200}});
}
