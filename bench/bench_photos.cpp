// The photo editor on a catalogue of 100,000 photos: moving to the next photo and showing it.

#include "ChildWindows.h"
#include "BenchCatalogue.h"
#include "BenchReport.h"

#include "core/Settings.h"
#include "gui/shell/mdiMain.h"
#include "data/cDataBase.h"
#include "data/cPhotos.h"
#include "gui/photos/frmPhotos.h"

#include <QApplication>
#include <QFileInfo>
#include <QPushButton>
#include <QSettings>
#include <QTemporaryDir>

namespace {

constexpr int catalogueSize = 100000;

const BenchCatalogue& catalogue()
{
    static const BenchCatalogue instance(catalogueSize);
    return instance;
}

void openCatalogue()
{
    static QTemporaryDir store;
    QSettings::setPath(QSettings::IniFormat, QSettings::UserScope, store.path());
    gDB = std::make_unique<cDataBase>();
    gDB->setDBName(catalogue().path());
    gDB->OpenDB();
}

// The editor's next button: the record set moves and the window shows every field of the photo,
// its places and subjects (narrow layout, so no picture is read).
void NextAndShow(benchmark::State& state)
{
    openCatalogue();
    SaveBooleanSetting(QStringLiteral("StartUp"), QStringLiteral("Expanded"), false);
    {
        mdiMain main(QFileInfo(catalogue().path()).absolutePath());
        RegisterChildWindows(main);
        main.show();
        main.ShowChild(QStringLiteral("frmPhotos"));
        auto* next = main.Child(QStringLiteral("frmPhotos"))->findChild<QPushButton*>(QStringLiteral("cmdNext"));
        auto* first = main.Child(QStringLiteral("frmPhotos"))->findChild<QPushButton*>(QStringLiteral("cmdFirst"));
        int position = 1;
        for (auto _ : state) {
            next->click();
            if (++position == catalogueSize) {
                state.PauseTiming();
                first->click();
                position = 1;
                state.ResumeTiming();
            }
        }
    }
    gDB.reset();
}

// The record set's move alone.
void RecordSetNext(benchmark::State& state)
{
    openCatalogue();
    {
        cPhotos photos;
        photos.GoFirst();
        int position = 1;
        for (auto _ : state) {
            photos.GoNext();
            if (++position == catalogueSize) {
                state.PauseTiming();
                photos.GoFirst();
                position = 1;
                state.ResumeTiming();
            }
        }
    }
    gDB.reset();
}

} // namespace

BENCHMARK(NextAndShow)->Unit(benchmark::kMicrosecond)->MinTime(2.0);
BENCHMARK(RecordSetNext)->Unit(benchmark::kMicrosecond)->MinTime(1.0);

int main(int argc, char** argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication application(argc, argv);
    return runBenchmarks(argc, argv, {{"NextAndShow", "RecordSetNext", 0, 5}});
}
