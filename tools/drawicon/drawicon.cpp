// drawicon: paints Vellaro's icon for the desktop's menus and launchers.
//
//     drawicon <output-folder> <icon-name>
//
// writes <output-folder>/hicolor/<n>x<n>/apps/<icon-name>.png for every size the icon theme asks for. The
// picture is a camera, after the program's own logo. It is laid out on a 48-unit grid whose edges fall on
// multiples of 3, so at 16, 24, 32, 48, 64, 128 and 256 pixels they land on whole pixels and stay sharp.

#include <QCoreApplication>
#include <QDir>
#include <QImage>
#include <QImageWriter>
#include <QPainter>
#include <QPainterPath>
#include <QPolygonF>
#include <QString>

#include <algorithm>
#include <cmath>
#include <cstdio>

namespace {

constexpr int kSizes[] = {16, 22, 24, 32, 48, 64, 128, 256};
constexpr double kGrid = 48.0;

const QColor ink(0x26, 0x2e, 0x39);
const QColor body(0x5c, 0x68, 0x78);
const QColor topPlate(0x8c, 0x99, 0xab);
const QColor glass(0x9c, 0xc3, 0xe6);
const QColor glint(0xf4, 0xf8, 0xfc);
const QColor flash(0xf2, 0xb1, 0x34);

// A shape filled with ink, then filled again inset by the outline's width: the outline stays one whole
// number of pixels wide at every size, which a stroked pen centred on the edge cannot promise.
void outlined(QPainter& painter, const QRectF& outer, double radius, double line, const QColor& fill)
{
    painter.setBrush(ink);
    painter.drawRoundedRect(outer, radius, radius);
    painter.setBrush(fill);
    const double inner = std::max(0.0, radius - line);
    painter.drawRoundedRect(outer.adjusted(line, line, -line, -line), inner, inner);
}

QImage paintIcon(int size)
{
    QImage image(size, size, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(Qt::NoPen);

    const double unit = size / kGrid;
    // One pixel at the small sizes, thickening slowly so the big icons do not look like a cartoon.
    const double line = std::max(1.0, std::round(size / 24.0));
    auto grid = [unit](double left, double top, double right, double bottom) {
        return QRectF(QPointF(left * unit, top * unit), QPointF(right * unit, bottom * unit));
    };

    // Viewfinder hump and shutter button first, so the body's outline closes over their feet.
    outlined(painter, grid(15, 9, 33, 18), 1.5 * unit, line, topPlate);
    if (size >= 24)
        outlined(painter, grid(6, 12, 12, 18), 1.0 * unit, line, topPlate);

    // The body, with a lighter top plate above the grip so the camera reads as a solid box.
    const QRectF camera = grid(3, 15, 45, 42);
    const double corner = 4.5 * unit;
    outlined(painter, camera, corner, line, body);
    QPainterPath inside;
    const double innerCorner = std::max(0.0, corner - line);
    inside.addRoundedRect(camera.adjusted(line, line, -line, -line), innerCorner, innerCorner);
    painter.save();
    painter.setClipPath(inside);
    painter.setBrush(topPlate);
    painter.drawRect(grid(3, 15, 45, 21));
    painter.restore();

    // The lens: an ink ring, blue glass and a dark centre; large enough to stay a circle at 16 pixels.
    const QPointF centre(24 * unit, 28.5 * unit);
    const double ring = 10.5 * unit;
    painter.setBrush(ink);
    painter.drawEllipse(centre, ring, ring);
    painter.setBrush(glass);
    painter.drawEllipse(centre, ring - std::max(line, 1.5 * unit), ring - std::max(line, 1.5 * unit));
    painter.setBrush(ink);
    painter.drawEllipse(centre, 4 * unit, 4 * unit);
    if (size >= 32) {
        painter.setBrush(glint);
        painter.drawEllipse(centre + QPointF(-3.5 * unit, -3.5 * unit), 1.8 * unit, 1.8 * unit);
    }

    // The flash's bolt is only noise below 32 pixels.
    if (size >= 32) {
        QPolygonF bolt;
        bolt << QPointF(39, 1) << QPointF(33, 10) << QPointF(37.5, 10) << QPointF(34.5, 16.5) << QPointF(44, 6.5)
             << QPointF(39.5, 6.5) << QPointF(43, 1);
        QPolygonF scaled;
        for (const QPointF& point : bolt)
            scaled << point * unit;
        painter.setBrush(flash);
        painter.drawPolygon(scaled);
    }
    painter.end();
    return image;
}

} // namespace

int main(int argc, char* argv[])
{
    // Painting on a QImage needs no window system; the core application lets Qt find the PNG writer.
    QCoreApplication app(argc, argv);

    if (argc != 3) {
        std::fprintf(stderr, "usage: drawicon <output-folder> <icon-name>\n");
        return 1;
    }
    const QDir output(QString::fromLocal8Bit(argv[1]));
    const QString name = QString::fromLocal8Bit(argv[2]);
    for (const int size : kSizes) {
        const QString folder = output.filePath(QStringLiteral("hicolor/%1x%1/apps").arg(size));
        if (!QDir().mkpath(folder)) {
            std::fprintf(stderr, "drawicon: cannot create folder %s\n", qPrintable(folder));
            return 1;
        }
        const QString path = QDir(folder).filePath(name + u".png");
        QImageWriter writer(path, "png");
        if (!writer.write(paintIcon(size))) {
            std::fprintf(stderr, "drawicon: cannot write %s: %s\n", qPrintable(path), qPrintable(writer.errorString()));
            return 1;
        }
    }
    return 0;
}
