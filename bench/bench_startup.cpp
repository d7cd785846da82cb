// The program's start-up on a catalogue of 100,000 photos: everything but the splash's pause.

#include "ChildWindows.h"
#include "BenchCatalogue.h"
#include "BenchReport.h"

#include "gui/shell/MainVellaro.h"
#include "core/Settings.h"
#include "gui/shell/mdiMain.h"
#include "data/cDataBase.h"

#include <QApplication>
#include <QDir>
#include <QSettings>
#include <QTemporaryDir>

#include <sqlite3.h>

namespace {

const BenchCatalogue& catalogue()
{
    static const BenchCatalogue instance(100000);
    return instance;
}

// A later run: the settings say the first run is over.
void prepareSettings()
{
    static QTemporaryDir store;
    QSettings::setPath(QSettings::IniFormat, QSettings::UserScope, store.path());
    SaveSetting(QStringLiteral("StartUp"), QStringLiteral("FirstTime"), QStringLiteral("False"));
}

void StartUp(benchmark::State& state)
{
    prepareSettings();
    const QString folder = QFileInfo(catalogue().path()).absolutePath();
    for (auto _ : state) {
        auto main = StartVellaro(folder, RegisterChildWindows, false);
        if (!main)
            state.SkipWithError("the program did not start");
        QApplication::processEvents();
        state.PauseTiming();
        main.reset();
        gDB.reset();
        state.ResumeTiming();
    }
}

// The least any start must do: open the catalogue with its key.
void OpenCatalogueBare(benchmark::State& state)
{
    for (auto _ : state) {
        sqlite3* db = catalogue().openBare();
        runBare(db, "SELECT count(*) FROM sqlite_master");
        sqlite3_close(db);
    }
}

} // namespace

BENCHMARK(StartUp)->Unit(benchmark::kMillisecond)->MinTime(2.0);
BENCHMARK(OpenCatalogueBare)->Unit(benchmark::kMillisecond)->MinTime(1.0);

int main(int argc, char** argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication application(argc, argv);
    return runBenchmarks(argc, argv, {{"StartUp", "OpenCatalogueBare", 0, 200}});
}
