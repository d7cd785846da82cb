// The photo editor's preview of a large photograph: a 6000 x 4000 JPEG shown in a 600 x 400 viewer.

#include "BenchReport.h"

#include "gui/controls/ucImageViewer.h"

#include <QApplication>
#include <QFile>
#include <QFileInfo>
#include <QImageWriter>
#include <QLinearGradient>
#include <QPainter>
#include <QRadialGradient>
#include <QRandomGenerator>
#include <QTemporaryDir>

#include <array>
#include <string>

namespace {

// Two copies of one photograph-sized JPEG, so that no iteration shows the file shown just before.
struct LargeJpeg
{
    QTemporaryDir folder;
    std::array<QString, 2> paths;
    qint64 bytes = 0;

    LargeJpeg()
    {
        QImage image(6000, 4000, QImage::Format_RGB32);
        QPainter painter(&image);
        QLinearGradient sky(0, 0, 0, image.height());
        sky.setColorAt(0, QColor(40, 90, 170));
        sky.setColorAt(0.6, QColor(230, 200, 150));
        sky.setColorAt(1, QColor(60, 110, 50));
        painter.fillRect(image.rect(), sky);
        // Shapes of every size and colour, so that the file holds detail as a photograph does.
        QRandomGenerator random(1998);
        painter.setRenderHint(QPainter::Antialiasing);
        for (int i = 0; i < 4000; ++i) {
            const QPointF centre(random.bounded(6000), random.bounded(4000));
            const double radius = 5 + random.bounded(220);
            QRadialGradient shade(centre, radius);
            shade.setColorAt(0, QColor::fromRgb(random.generate() | 0xFF000000u));
            shade.setColorAt(1, QColor::fromRgb(random.generate() & 0x7FFFFFFFu));
            painter.setBrush(shade);
            painter.setPen(QPen(QColor::fromRgb(random.generate()), 1 + random.bounded(4)));
            if (i % 3 == 0)
                painter.drawRect(QRectF(centre, QSizeF(radius * 1.5, radius)));
            else
                painter.drawEllipse(centre, radius, radius * 0.7);
        }
        // Fine grain, like a photograph's noise, which is most of what a decoder works through.
        for (int y = 0; y < image.height(); ++y) {
            auto* line = reinterpret_cast<QRgb*>(image.scanLine(y));
            for (int x = 0; x < image.width(); ++x) {
                const int grain = int(random.bounded(9)) - 4;
                const QRgb pixel = line[x];
                line[x] = qRgb(qBound(0, qRed(pixel) + grain, 255), qBound(0, qGreen(pixel) + grain, 255),
                               qBound(0, qBlue(pixel) + grain, 255));
            }
        }
        painter.end();

        paths = {folder.filePath(QStringLiteral("first.jpg")), folder.filePath(QStringLiteral("second.jpg"))};
        QImageWriter writer(paths[0]);
        writer.setQuality(90);
        if (writer.write(image) && QFile::copy(paths[0], paths[1]))
            bytes = QFileInfo(paths[0]).size();
    }
};

const LargeJpeg& largeJpeg()
{
    static const LargeJpeg instance;
    return instance;
}

void PreviewLargeJpeg(benchmark::State& state)
{
    const LargeJpeg& jpeg = largeJpeg();
    // A 600-pixel viewer refuses files above 8 MB.
    if (jpeg.bytes == 0 || jpeg.bytes > 8000000) {
        const std::string reason = "the test photograph is " + std::to_string(jpeg.bytes) + " bytes, not 1 to 8 MB";
        state.SkipWithError(reason.c_str());
        return;
    }
    ucImageViewer viewer;
    viewer.resize(600, 400);
    std::size_t next = 0;
    for (auto _ : state) {
        viewer.setFileName(jpeg.paths[next++ % jpeg.paths.size()]);
        if (viewer.ShowsError() || viewer.ImageRect().isEmpty()) {
            state.SkipWithError("the viewer did not show the photograph");
            break;
        }
    }
    state.counters["MB"] = double(jpeg.bytes) / 1000000;
}

// What showing the photograph costs without the viewer: decoding it whole.
void DecodeLargeJpegFullSize(benchmark::State& state)
{
    const LargeJpeg& jpeg = largeJpeg();
    std::size_t next = 0;
    for (auto _ : state) {
        const QImage image(jpeg.paths[next++ % jpeg.paths.size()]);
        if (image.isNull()) {
            state.SkipWithError("the photograph did not decode");
            break;
        }
        benchmark::DoNotOptimize(image.constBits());
    }
}

} // namespace

BENCHMARK(PreviewLargeJpeg)->Unit(benchmark::kMillisecond)->MinTime(2.0);
BENCHMARK(DecodeLargeJpegFullSize)->Unit(benchmark::kMillisecond)->MinTime(2.0);

int main(int argc, char** argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication application(argc, argv);
    return runBenchmarks(argc, argv, {{"PreviewLargeJpeg", "DecodeLargeJpegFullSize", 0, 100}});
}
