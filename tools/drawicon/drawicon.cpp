// drawicon: paints Vellaro's icon for the desktop's menus and launchers.
//
//     drawicon <output-folder> <icon-name>
//
// writes <output-folder>/hicolor/<n>x<n>/apps/<icon-name>.png for every size the icon theme asks for, and
// hicolor/scalable/apps/<icon-name>.svg for the sizes in between. The picture is a camera, after the program's own
// logo. It is laid out on a 48-unit grid whose edges fall on multiples of 3, so at 16, 24, 32, 48, 64, 128 and 256
// pixels they land on whole pixels and stay sharp. Both files are made from one list of filled shapes.

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QImage>
#include <QImageWriter>
#include <QList>
#include <QPainter>
#include <QPainterPath>
#include <QPolygonF>
#include <QString>
#include <QTextStream>

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

struct Shape
{
    QPainterPath path;
    QColor colour;
};

QPainterPath roundedRect(const QRectF& rect, double radius)
{
    QPainterPath path;
    path.addRoundedRect(rect, radius, radius);
    return path;
}

QPainterPath circle(QPointF centre, double radius)
{
    QPainterPath path;
    path.addEllipse(centre, radius, radius);
    return path;
}

// A shape filled with ink, then filled again inset by the outline's width: the outline stays one whole
// number of pixels wide at every size, which a stroked pen centred on the edge cannot promise.
void outlined(QList<Shape>& shapes, const QRectF& outer, double radius, double line, const QColor& fill)
{
    shapes.append({roundedRect(outer, radius), ink});
    shapes.append({roundedRect(outer.adjusted(line, line, -line, -line), std::max(0.0, radius - line)), fill});
}

// The camera at a given size in pixels, with its outline width and whether there is room for the small details
// (shutter button, the glint on the lens, the flash), back to front.
QList<Shape> camera(double size, double line, bool details)
{
    const double unit = size / kGrid;
    auto grid = [unit](double left, double top, double right, double bottom) {
        return QRectF(QPointF(left * unit, top * unit), QPointF(right * unit, bottom * unit));
    };
    QList<Shape> shapes;

    // Viewfinder hump and shutter button first, so the body's outline closes over their feet.
    outlined(shapes, grid(15, 9, 33, 18), 1.5 * unit, line, topPlate);
    if (size >= 24)
        outlined(shapes, grid(6, 12, 12, 18), 1.0 * unit, line, topPlate);

    // The body, with a lighter top plate above the grip so the camera reads as a solid box.
    const QRectF box = grid(3, 15, 45, 42);
    outlined(shapes, box, 4.5 * unit, line, body);
    const QPainterPath inside = shapes.last().path;
    QPainterPath band;
    band.addRect(grid(3, 15, 45, 21));
    shapes.append({inside.intersected(band), topPlate});

    // The lens: an ink ring, blue glass and a dark centre; large enough to stay a circle at 16 pixels.
    const QPointF centre(24 * unit, 28.5 * unit);
    const double ring = 10.5 * unit;
    shapes.append({circle(centre, ring), ink});
    shapes.append({circle(centre, ring - std::max(line, 1.5 * unit)), glass});
    shapes.append({circle(centre, 4 * unit), ink});

    // The glint and the flash's bolt are only noise at the smallest sizes.
    if (details) {
        shapes.append({circle(centre + QPointF(-3.5 * unit, -3.5 * unit), 1.8 * unit), glint});
        QPolygonF bolt;
        for (const QPointF point : {QPointF(39, 1), QPointF(33, 10), QPointF(37.5, 10), QPointF(34.5, 16.5),
                                    QPointF(44, 6.5), QPointF(39.5, 6.5), QPointF(43, 1)})
            bolt << point * unit;
        QPainterPath path;
        path.addPolygon(bolt);
        path.closeSubpath();
        shapes.append({path, flash});
    }
    return shapes;
}

QImage paintIcon(int size)
{
    // One pixel at the small sizes, thickening slowly so the big icons do not look like a cartoon.
    const double line = std::max(1.0, std::round(size / 24.0));
    QImage image(size, size, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);
    for (const Shape& shape : camera(size, line, size >= 32))
        painter.fillPath(shape.path, shape.colour);
    painter.end();
    return image;
}

// The same shapes as path data in the grid's units, as drawn for the large sizes.
QString scalableIcon()
{
    QString svg;
    QTextStream out(&svg);
    out << "<svg xmlns=\"http://www.w3.org/2000/svg\" width=\"48\" height=\"48\" viewBox=\"0 0 48 48\">\n";
    for (const Shape& shape : camera(kGrid, 2.0, true)) {
        QString data;
        for (int i = 0; i < shape.path.elementCount(); ++i) {
            const QPainterPath::Element e = shape.path.elementAt(i);
            const QString point = QStringLiteral("%1 %2 ").arg(e.x, 0, 'g', 6).arg(e.y, 0, 'g', 6);
            switch (e.type) {
            case QPainterPath::MoveToElement:
                data += data.isEmpty() ? QStringLiteral("M ") : QStringLiteral("Z M ");
                data += point;
                break;
            case QPainterPath::LineToElement:
                data += QStringLiteral("L ") + point;
                break;
            case QPainterPath::CurveToElement:
                data += QStringLiteral("C ") + point;
                break;
            case QPainterPath::CurveToDataElement:
                data += point;
                break;
            }
        }
        out << "  <path fill=\"" << shape.colour.name() << "\" stroke=\"none\" d=\"" << data << "Z\"/>\n";
    }
    out << "</svg>\n";
    return svg;
}

bool writeScalable(const QDir& output, const QString& name)
{
    const QString folder = output.filePath(QStringLiteral("hicolor/scalable/apps"));
    QFile file(QDir(folder).filePath(name + u".svg"));
    if (!QDir().mkpath(folder) || !file.open(QIODevice::WriteOnly | QIODevice::Truncate)) {
        std::fprintf(stderr, "drawicon: cannot write %s\n", qPrintable(file.fileName()));
        return false;
    }
    const QByteArray bytes = scalableIcon().toUtf8();
    if (file.write(bytes) != bytes.size() || !file.flush()) {
        std::fprintf(stderr, "drawicon: cannot write %s: %s\n", qPrintable(file.fileName()),
                     qPrintable(file.errorString()));
        return false;
    }
    return true;
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
    return writeScalable(output, name) ? 0 : 1;
}
