#include "gui/shell/Icons.h"

#include <QHash>
#include <QPainter>
#include <QPainterPath>
#include <QPixmap>

#include <functional>

namespace {

constexpr int canvas = 48;

using Drawing = std::function<void(QPainter&)>;

QIcon drawn(const Drawing& draw)
{
    QPixmap pixmap(canvas, canvas);
    pixmap.fill(Qt::transparent);
    QPainter painter(&pixmap);
    painter.setRenderHint(QPainter::Antialiasing);
    draw(painter);
    return QIcon(pixmap);
}

const QColor ink(0x33, 0x3d, 0x4a);
const QColor sky(0x5b, 0x9b, 0xd5);
const QColor leaf(0x5a, 0xa0, 0x4b);
const QColor sun(0xf2, 0xb1, 0x34);
const QColor paper(0xfa, 0xfa, 0xf5);
const QColor brick(0xc8, 0x4b, 0x3c);

void photo(QPainter& p, const QRectF& frame)
{
    p.setPen(QPen(ink, 2));
    p.setBrush(paper);
    p.drawRoundedRect(frame, 3, 3);
    const QRectF picture = frame.adjusted(4, 4, -4, -4);
    p.setPen(Qt::NoPen);
    p.setBrush(sky);
    p.drawRect(picture);
    p.setBrush(sun);
    p.drawEllipse(QPointF(picture.right() - 7, picture.top() + 7), 4, 4);
    QPainterPath hills;
    hills.moveTo(picture.bottomLeft());
    hills.lineTo(picture.left() + picture.width() * 0.35, picture.center().y());
    hills.lineTo(picture.left() + picture.width() * 0.6, picture.bottom() - picture.height() * 0.25);
    hills.lineTo(picture.left() + picture.width() * 0.8, picture.center().y() + 2);
    hills.lineTo(picture.bottomRight());
    hills.closeSubpath();
    p.setBrush(leaf);
    p.drawPath(hills);
}

void camera(QPainter& p, bool flash)
{
    p.setPen(QPen(ink, 2));
    p.setBrush(QColor(0x55, 0x5f, 0x6d));
    p.drawRoundedRect(QRectF(5, 15, 38, 26), 4, 4);
    p.drawRect(QRectF(15, 10, 14, 6));
    p.setBrush(QColor(0x9c, 0xc3, 0xe6));
    p.drawEllipse(QPointF(24, 28), 9, 9);
    p.setBrush(ink);
    p.drawEllipse(QPointF(24, 28), 4, 4);
    if (flash) {
        p.setPen(Qt::NoPen);
        p.setBrush(sun);
        QPolygonF bolt;
        bolt << QPointF(38, 1) << QPointF(31, 12) << QPointF(36, 12) << QPointF(32, 21) << QPointF(44, 8)
             << QPointF(38, 8) << QPointF(42, 1);
        p.drawPolygon(bolt);
    }
}

void listLines(QPainter& p)
{
    p.setPen(QPen(ink, 2));
    p.setBrush(paper);
    p.drawRoundedRect(QRectF(8, 4, 32, 40), 3, 3);
    for (int row = 0; row < 4; ++row) {
        const qreal y = 13 + row * 8;
        p.setBrush(row % 2 ? leaf : sky);
        p.setPen(Qt::NoPen);
        p.drawEllipse(QPointF(15, y), 2.5, 2.5);
        p.setPen(QPen(ink, 2));
        p.drawLine(QPointF(21, y), QPointF(34, y));
    }
}

void map(QPainter& p)
{
    p.setPen(QPen(ink, 2));
    QPolygonF sheet;
    sheet << QPointF(4, 10) << QPointF(17, 5) << QPointF(31, 10) << QPointF(44, 5) << QPointF(44, 38) << QPointF(31, 43)
          << QPointF(17, 38) << QPointF(4, 43);
    p.setBrush(QColor(0xe8, 0xf1, 0xd9));
    p.drawPolygon(sheet);
    p.drawLine(QPointF(17, 5), QPointF(17, 38));
    p.drawLine(QPointF(31, 10), QPointF(31, 43));
    p.setPen(Qt::NoPen);
    p.setBrush(brick);
    QPainterPath pin;
    pin.addEllipse(QPointF(24, 20), 6, 6);
    pin.moveTo(19, 22);
    pin.lineTo(24, 33);
    pin.lineTo(29, 22);
    p.drawPath(pin.simplified());
    p.setBrush(paper);
    p.drawEllipse(QPointF(24, 20), 2.5, 2.5);
}

void box(QPainter& p)
{
    p.setPen(QPen(ink, 2));
    p.setBrush(QColor(0xd9, 0xa8, 0x62));
    p.drawRect(QRectF(6, 18, 36, 24));
    p.setBrush(QColor(0xe8, 0xc0, 0x80));
    QPolygonF lid;
    lid << QPointF(6, 18) << QPointF(12, 8) << QPointF(36, 8) << QPointF(42, 18);
    p.drawPolygon(lid);
    p.drawLine(QPointF(18, 26), QPointF(30, 26));
}

void copies(QPainter& p)
{
    photo(p, QRectF(4, 4, 28, 24));
    photo(p, QRectF(16, 18, 28, 24));
}

void expand(QPainter& p)
{
    photo(p, QRectF(3, 8, 26, 32));
    p.setPen(QPen(ink, 3, Qt::SolidLine, Qt::RoundCap));
    p.drawLine(QPointF(32, 24), QPointF(45, 24));
    p.drawLine(QPointF(40, 18), QPointF(45, 24));
    p.drawLine(QPointF(40, 30), QPointF(45, 24));
}

void folderWithArrow(QPainter& p)
{
    p.setPen(QPen(ink, 2));
    p.setBrush(sun);
    QPolygonF folder;
    folder << QPointF(4, 14) << QPointF(16, 14) << QPointF(20, 18) << QPointF(44, 18) << QPointF(44, 42)
           << QPointF(4, 42);
    p.drawPolygon(folder);
    p.setPen(QPen(brick, 4, Qt::SolidLine, Qt::RoundCap));
    p.drawLine(QPointF(24, 2), QPointF(24, 32));
    p.drawLine(QPointF(16, 24), QPointF(24, 32));
    p.drawLine(QPointF(32, 24), QPointF(24, 32));
}

void tree(QPainter& p)
{
    p.setPen(QPen(ink, 2));
    p.drawLine(QPointF(10, 12), QPointF(10, 38));
    p.drawLine(QPointF(10, 24), QPointF(22, 24));
    p.drawLine(QPointF(10, 38), QPointF(22, 38));
    p.setBrush(sun);
    p.drawRect(QRectF(4, 4, 14, 10));
    p.setBrush(sky);
    p.drawRect(QRectF(22, 19, 20, 10));
    p.setBrush(leaf);
    p.drawRect(QRectF(22, 33, 20, 10));
}

void magnifier(QPainter& p)
{
    p.setPen(QPen(ink, 4, Qt::SolidLine, Qt::RoundCap));
    p.drawLine(QPointF(29, 29), QPointF(43, 43));
    p.setPen(QPen(ink, 3));
    p.setBrush(QColor(0xcf, 0xe4, 0xf5));
    p.drawEllipse(QPointF(19, 19), 13, 13);
}

void gear(QPainter& p)
{
    p.setPen(QPen(ink, 2));
    p.setBrush(QColor(0x8a, 0x95, 0xa3));
    QPainterPath wheel;
    wheel.addEllipse(QPointF(24, 24), 14, 14);
    for (int tooth = 0; tooth < 8; ++tooth) {
        QPainterPath t;
        t.addRect(QRectF(-4, -20, 8, 8));
        wheel |= QTransform().translate(24, 24).rotate(tooth * 45).map(t);
    }
    QPainterPath hole;
    hole.addEllipse(QPointF(24, 24), 6, 6);
    p.drawPath(wheel - hole);
}

void labelSheet(QPainter& p)
{
    p.setPen(QPen(ink, 2));
    p.setBrush(paper);
    p.drawRect(QRectF(6, 3, 36, 42));
    p.setBrush(QColor(0xfd, 0xe9, 0xb0));
    for (int row = 0; row < 4; ++row)
        for (int column = 0; column < 2; ++column)
            p.drawRoundedRect(QRectF(10 + column * 15, 7 + row * 9, 13, 6), 2, 2);
}

void door(QPainter& p)
{
    p.setPen(QPen(ink, 2));
    p.setBrush(QColor(0x8c, 0x5a, 0x3c));
    p.drawRect(QRectF(8, 4, 22, 40));
    p.setBrush(sun);
    p.drawEllipse(QPointF(25, 25), 2, 2);
    p.setPen(QPen(brick, 4, Qt::SolidLine, Qt::RoundCap));
    p.drawLine(QPointF(32, 24), QPointF(45, 24));
    p.drawLine(QPointF(39, 18), QPointF(45, 24));
    p.drawLine(QPointF(39, 30), QPointF(45, 24));
}

const QHash<QString, Drawing>& toolbarPictures()
{
    static const QHash<QString, Drawing> pictures{
        {QStringLiteral("Photos"), [](QPainter& p) { photo(p, QRectF(4, 8, 40, 32)); }},
        {QStringLiteral("PhotoCopy"), copies},
        {QStringLiteral("Expand"), expand},
        {QStringLiteral("ImportFilenames"), folderWithArrow},
        {QStringLiteral("Lists"), listLines},
        {QStringLiteral("Explorer"), tree},
        {QStringLiteral("Find"), magnifier},
        {QStringLiteral("Options"), gear},
        {QStringLiteral("Labels"), labelSheet},
        {QStringLiteral("Exit"), door},
    };
    return pictures;
}

const QHash<QString, Drawing>& treePictures()
{
    static const QHash<QString, Drawing> pictures{
        {QStringLiteral("Lists"), listLines},
        {QStringLiteral("States"), map},
        {QStringLiteral("StorageDevices"), box},
        {QStringLiteral("Camera"), [](QPainter& p) { camera(p, false); }},
        {QStringLiteral("CameraFlash"), [](QPainter& p) { camera(p, true); }},
    };
    return pictures;
}

} // namespace

QIcon ToolbarIcon(const QString& key)
{
    const auto found = toolbarPictures().constFind(key);
    return found == toolbarPictures().constEnd() ? QIcon() : drawn(*found);
}

QIcon TreeIcon(const QString& key)
{
    const auto found = treePictures().constFind(key);
    return found == treePictures().constEnd() ? QIcon() : drawn(*found);
}

QStringList TreeIconKeys()
{
    return {QStringLiteral("Lists"), QStringLiteral("States"), QStringLiteral("StorageDevices"),
            QStringLiteral("Camera"), QStringLiteral("CameraFlash")};
}

QIcon ProgramIcon()
{
    return drawn([](QPainter& p) { camera(p, true); });
}
