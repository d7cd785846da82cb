// The dates taken read from 10,000 small JPEG files, as an import reads them, against the bare
// EXIF library doing the same lookups.

#include "BenchReport.h"

#include "data/PictureDate.h"

#include <QDate>
#include <QFile>
#include <QGuiApplication>
#include <QImage>
#include <QPainter>
#include <QStringList>
#include <QTemporaryDir>

#include <exiv2/error.hpp>
#include <exiv2/exif.hpp>
#include <exiv2/image.hpp>

#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

namespace {

constexpr int pictureCount = 10000;
const QDate takenOn(2019, 7, 14);

// A folder of copies of one small camera-like JPEG that carries its date taken.
struct TaggedFolder
{
    QTemporaryDir folder;
    QStringList paths;

    TaggedFolder()
    {
        QImage image(64, 48, QImage::Format_RGB32);
        image.fill(QColor(40, 90, 170));
        QPainter(&image).fillRect(8, 8, 32, 24, QColor(230, 200, 150));
        const QString seed = folder.filePath(QStringLiteral("seed.jpg"));
        if (!image.save(seed, "JPEG", 85))
            fail("cannot write the seed picture");
        const auto picture = Exiv2::ImageFactory::open(QFile::encodeName(seed).toStdString());
        picture->readMetadata();
        Exiv2::ExifData exif;
        exif["Exif.Image.Make"] = "Vellaro Bench";
        exif["Exif.Image.DateTime"] = "2020:01:02 03:04:05";
        exif["Exif.Photo.DateTimeOriginal"] = "2019:07:14 10:22:01";
        picture->setExifData(exif);
        picture->writeMetadata();
        for (int i = 0; i < pictureCount; ++i) {
            paths << folder.filePath(QStringLiteral("IMG_%1.jpg").arg(i, 5, 10, QChar(u'0')));
            if (!QFile::copy(seed, paths.back()))
                fail("cannot copy the seed picture");
        }
    }

    [[noreturn]] static void fail(const char* why)
    {
        std::fprintf(stderr, "bench: %s\n", why);
        std::abort();
    }
};

const TaggedFolder& pictures()
{
    static const TaggedFolder instance;
    return instance;
}

// The program's reader: each file opened, checked and its date taken parsed into a date.
void ReadDates(benchmark::State& state)
{
    const QStringList& paths = pictures().paths;
    for (auto _ : state) {
        int dated = 0;
        for (const QString& path : paths)
            dated += DateTaken(path) == takenOn ? 1 : 0;
        if (dated != pictureCount)
            TaggedFolder::fail("a picture's date was not read");
    }
}

// The bare library: open, read the metadata, look the key up and take its text.
void ReadDatesBare(benchmark::State& state)
{
    std::vector<std::string> paths;
    for (const QString& path : pictures().paths)
        paths.push_back(QFile::encodeName(path).toStdString());
    const Exiv2::ExifKey key("Exif.Photo.DateTimeOriginal");
    for (auto _ : state) {
        int dated = 0;
        for (const std::string& path : paths) {
            const auto picture = Exiv2::ImageFactory::open(path);
            picture->readMetadata();
            const Exiv2::ExifData& exif = picture->exifData();
            const auto found = exif.findKey(key);
            dated += found != exif.end() && found->toString().size() == 19 ? 1 : 0;
        }
        if (dated != pictureCount)
            TaggedFolder::fail("a picture's date was not found");
    }
}

} // namespace

BENCHMARK(ReadDatesBare)->Unit(benchmark::kMillisecond)->MinTime(2.0);
BENCHMARK(ReadDates)->Unit(benchmark::kMillisecond)->MinTime(2.0);

int main(int argc, char** argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication application(argc, argv);
    pictures();
    return runBenchmarks(argc, argv, {{"ReadDates", "ReadDatesBare", 1.5, 0}});
}
