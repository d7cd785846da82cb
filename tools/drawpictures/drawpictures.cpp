// drawpictures: paints the sample photographs bundled with Vellaro.
//
//     drawpictures <output-folder>
//
// writes Lighthouse.jpg and Geese.jpg into the folder. The pictures are drawn here rather than shipped as binaries so
// the repository carries nothing we did not make ourselves, and every build produces byte-identical files.

#include <QCoreApplication>
#include <QDir>
#include <QImage>
#include <QImageWriter>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QRadialGradient>
#include <QString>
#include <QTransform>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <numbers>
#include <random>

namespace {

constexpr int kDotsPerMetre = 3780; // 96 dpi, so viewers and the catalogue see a recorded resolution
constexpr int kJpegQuality = 88;

// Draws numbers from mt19937, whose output sequence the standard fixes, without the standard distributions, whose
// algorithms differ between libraries. That keeps the pictures identical on every toolchain.
class Dice
{
public:
    explicit Dice(std::uint32_t seed) : engine(seed) {}

    double uniform(double low, double high) { return low + (high - low) * (engine() / 4294967296.0); }

    bool chance(double probability) { return uniform(0.0, 1.0) < probability; }

private:
    std::mt19937 engine;
};

QColor withAlpha(QColor colour, int alpha)
{
    colour.setAlpha(alpha);
    return colour;
}

// Mixes two colours: t = 0 gives from, t = 1 gives to.
QColor blend(const QColor& from, const QColor& to, double t)
{
    return QColor::fromRgbF(float(from.redF() + (to.redF() - from.redF()) * t),
                            float(from.greenF() + (to.greenF() - from.greenF()) * t),
                            float(from.blueF() + (to.blueF() - from.blueF()) * t),
                            float(from.alphaF() + (to.alphaF() - from.alphaF()) * t));
}

// A soft cloud: a cluster of overlapping ellipses, darker on top and lit from below by the low sun.
void drawCloud(QPainter& painter, Dice& dice, QPointF centre, double width, double height, const QColor& top,
               const QColor& lit)
{
    QPainterPath cloud;
    const int puffs = 7;
    for (int i = 0; i < puffs; ++i) {
        const double along = (i + 0.5) / puffs - 0.5;
        const double w = width * dice.uniform(0.25, 0.45);
        const double h = height * dice.uniform(0.5, 1.0) * (1.0 - std::abs(along));
        const double x = centre.x() + along * width * 0.8 - w / 2;
        const double y = centre.y() - h / 2 + dice.uniform(-0.1, 0.15) * height;
        cloud.addEllipse(QRectF(x, y, w, h));
    }
    cloud.setFillRule(Qt::WindingFill);
    const QRectF box = cloud.boundingRect();
    QLinearGradient shade(box.topLeft(), box.bottomLeft());
    shade.setColorAt(0.0, top);
    shade.setColorAt(1.0, lit);
    painter.setPen(Qt::NoPen);
    painter.setBrush(shade);
    painter.drawPath(cloud.simplified());
}

void drawStars(QPainter& painter, Dice& dice, double width, double fadeBelow)
{
    painter.setPen(Qt::NoPen);
    for (int i = 0; i < 70; ++i) {
        const double x = dice.uniform(0, width);
        const double y = dice.uniform(0, fadeBelow);
        // Stars thin out towards the bright part of the sky.
        const int alpha = int(200 * (1.0 - y / fadeBelow) * dice.uniform(0.4, 1.0));
        const double r = dice.uniform(0.6, 1.5);
        painter.setBrush(QColor(255, 250, 235, alpha));
        painter.drawEllipse(QPointF(x, y), r, r);
    }
}

// ---------------------------------------------------------------------------------------------------------------
// Lighthouse: a headland at dusk, the lamp just lit.

constexpr int kLighthouseWidth = 1200;
constexpr int kLighthouseHeight = 900;
constexpr double kSeaHorizon = 560;
constexpr QPointF kLanternCentre(880, 172);
constexpr QPointF kSunsetGlow(300, kSeaHorizon);

void drawDuskSky(QPainter& painter, Dice& dice)
{
    QLinearGradient sky(0, 0, 0, kSeaHorizon);
    sky.setColorAt(0.00, QColor(0x18, 0x20, 0x48));
    sky.setColorAt(0.35, QColor(0x44, 0x3a, 0x76));
    sky.setColorAt(0.62, QColor(0xa8, 0x56, 0x7c));
    sky.setColorAt(0.83, QColor(0xee, 0x8c, 0x62));
    sky.setColorAt(1.00, QColor(0xff, 0xd4, 0x9c));
    painter.fillRect(QRectF(0, 0, kLighthouseWidth, kSeaHorizon), sky);

    // The sun has just gone down; its afterglow still brightens one side of the sky.
    QRadialGradient glow(kSunsetGlow, 460);
    glow.setColorAt(0.0, QColor(255, 236, 180, 190));
    glow.setColorAt(0.4, QColor(255, 190, 130, 70));
    glow.setColorAt(1.0, QColor(255, 160, 120, 0));
    painter.fillRect(QRectF(0, 0, kLighthouseWidth, kSeaHorizon), glow);

    drawStars(painter, dice, kLighthouseWidth, 230);

    const QColor top(0x5a, 0x40, 0x78, 220);
    drawCloud(painter, dice, QPointF(180, 300), 340, 38, top, QColor(0xf4, 0x9a, 0x80, 230));
    drawCloud(painter, dice, QPointF(520, 250), 420, 30, top, QColor(0xe8, 0x86, 0x86, 220));
    drawCloud(painter, dice, QPointF(980, 110), 380, 34, QColor(0x3c, 0x34, 0x68, 220), QColor(0x9a, 0x5c, 0x88, 220));
    drawCloud(painter, dice, QPointF(430, 430), 520, 18, QColor(0xc0, 0x6c, 0x78, 200), QColor(0xff, 0xc0, 0x90, 220));
    drawCloud(painter, dice, QPointF(60, 470), 260, 14, QColor(0xd0, 0x80, 0x78, 190), QColor(0xff, 0xcc, 0x98, 210));
}

// A low island on the horizon gives the eye a sense of distance.
void drawDistantIsland(QPainter& painter)
{
    QPainterPath island;
    island.moveTo(0, kSeaHorizon);
    island.lineTo(0, kSeaHorizon - 18);
    island.cubicTo(40, kSeaHorizon - 30, 90, kSeaHorizon - 26, 130, kSeaHorizon - 14);
    island.cubicTo(160, kSeaHorizon - 8, 190, kSeaHorizon - 6, 230, kSeaHorizon);
    island.closeSubpath();
    painter.setPen(Qt::NoPen);
    painter.setBrush(QColor(0x8a, 0x5c, 0x7e));
    painter.drawPath(island);
}

void drawSea(QPainter& painter, Dice& dice)
{
    const QRectF sea(0, kSeaHorizon, kLighthouseWidth, kLighthouseHeight - kSeaHorizon);
    QLinearGradient water(sea.topLeft(), sea.bottomLeft());
    water.setColorAt(0.00, QColor(0xc8, 0x86, 0x80));
    water.setColorAt(0.12, QColor(0x7a, 0x5a, 0x82));
    water.setColorAt(0.45, QColor(0x35, 0x3e, 0x66));
    water.setColorAt(1.00, QColor(0x16, 0x22, 0x3c));
    painter.fillRect(sea, water);

    // The afterglow is mirrored in the water, strongest just under where the sun went down.
    QRadialGradient mirrored(kSunsetGlow, 300);
    mirrored.setColorAt(0.0, QColor(255, 210, 160, 150));
    mirrored.setColorAt(1.0, QColor(255, 180, 140, 0));
    painter.save();
    painter.translate(kSunsetGlow);
    painter.scale(1.0, 0.5);
    painter.translate(-kSunsetGlow);
    painter.fillRect(QRectF(0, kSeaHorizon, kLighthouseWidth, 700), mirrored);
    painter.restore();

    // Waves: rows get further apart, longer and bolder towards the viewer, which is what makes the sea lie flat.
    painter.setBrush(Qt::NoBrush);
    for (double y = kSeaHorizon + 3; y < kLighthouseHeight + 10;) {
        const double depth = (y - kSeaHorizon) / (kLighthouseHeight - kSeaHorizon);
        const int count = int(9 + 15 * (1.0 - depth));
        for (int i = 0; i < count; ++i) {
            const double x = dice.uniform(-40, kLighthouseWidth);
            const double length = (12 + 110 * depth) * dice.uniform(0.5, 1.3);
            const double rise = (1.0 + 7.0 * depth) * dice.uniform(0.6, 1.2);
            const double wy = y + dice.uniform(-2, 2) * (1 + 4 * depth);

            // Near the glow the crests catch warm light; elsewhere they reflect the cold upper sky.
            const double fromGlow = std::abs(x + length / 2 - kSunsetGlow.x()) / kLighthouseWidth;
            const double warmth = std::max(0.0, 1.0 - fromGlow * 2.5) * (1.0 - depth * 0.6);
            const QColor crest = blend(QColor(0x9c, 0x9a, 0xc8), QColor(0xff, 0xd8, 0xa8), warmth);
            const QColor trough(0x10, 0x18, 0x30);

            QPainterPath crestLine;
            crestLine.moveTo(x, wy);
            crestLine.quadTo(x + length / 2, wy - rise, x + length, wy);
            painter.setPen(
                QPen(withAlpha(trough, int(50 + 60 * depth)), 1.0 + 2.5 * depth, Qt::SolidLine, Qt::RoundCap));
            painter.drawPath(crestLine.translated(0, rise * 0.9 + 1));
            painter.setPen(QPen(withAlpha(crest, int(60 + 120 * warmth + 40 * depth)), 0.8 + 1.6 * depth, Qt::SolidLine,
                                Qt::RoundCap));
            painter.drawPath(crestLine);
        }
        y += 3 + 16 * depth * depth + 4 * depth;
    }
}

// Where the sea meets the foot of the headland, starting nearest the viewer and running away to the point.
QPainterPath headlandWaterline()
{
    QPainterPath waterline;
    waterline.moveTo(930, 900);
    waterline.cubicTo(880, 800, 800, 720, 700, 690);
    waterline.cubicTo(640, 672, 580, 660, 520, 652);
    return waterline;
}

// The headland's outline, from the waterline on the left up over the cliff and back down the right edge.
QPainterPath headlandOutline()
{
    QPainterPath land;
    land.moveTo(520, 652);
    land.cubicTo(560, 630, 600, 610, 630, 585);
    land.cubicTo(660, 560, 680, 530, 705, 505);
    land.cubicTo(730, 480, 760, 462, 800, 452);
    land.cubicTo(830, 446, 850, 444, 870, 444);
    land.lineTo(1090, 444);
    land.cubicTo(1130, 440, 1170, 428, 1200, 424);
    land.lineTo(1200, 900);
    land.connectPath(headlandWaterline());
    land.closeSubpath();
    return land;
}

void drawHeadland(QPainter& painter, Dice& dice)
{
    const QPainterPath land = headlandOutline();

    // Rock faces the afterglow on the left, so it is warmer there and falls into shadow on the right.
    QLinearGradient rock(520, 440, 1200, 900);
    rock.setColorAt(0.0, QColor(0x6a, 0x4a, 0x52));
    rock.setColorAt(0.4, QColor(0x3e, 0x30, 0x3e));
    rock.setColorAt(1.0, QColor(0x1a, 0x16, 0x22));
    painter.setPen(Qt::NoPen);
    painter.setBrush(rock);
    painter.drawPath(land);

    painter.save();
    painter.setClipPath(land);

    // Dabs of lighter and darker stone, flattened into ledges, give the cliff blocky faces in place of a flat fill.
    const QColor litStone(0x96, 0x68, 0x64);
    const QColor shadowStone(0x14, 0x10, 0x1c);
    for (int i = 0; i < 320; ++i) {
        const QPointF centre(dice.uniform(520, 1220), dice.uniform(440, 910));
        const double size = dice.uniform(10, 34);
        QPolygonF ledge;
        for (int corner = 0; corner < 4; ++corner) {
            const double angle = std::numbers::pi / 2 * corner + dice.uniform(-0.4, 0.4);
            ledge << centre + QPointF(std::cos(angle) * size * 1.8, std::sin(angle) * size * 0.8);
        }
        // Faces towards the sea and near the top catch the afterglow; the rest sink into shadow.
        const double seaward = std::clamp(1.0 - (centre.x() - 560) / 560, 0.0, 1.0);
        const double high = std::clamp(1.0 - (centre.y() - 450) / 450, 0.0, 1.0);
        const double light = std::clamp((0.25 + 0.55 * seaward + 0.3 * high) * dice.uniform(0.5, 1.3), 0.0, 1.0);
        painter.setPen(Qt::NoPen);
        painter.setBrush(withAlpha(blend(shadowStone, litStone, light), int(dice.uniform(50, 110))));
        painter.drawPolygon(ledge);
    }

    // Bedding planes dipping gently towards the sea.
    for (int i = 0; i < 60; ++i) {
        const double x = dice.uniform(560, 1240);
        const double y = dice.uniform(460, 900);
        const double length = dice.uniform(40, 140);
        const double slope = dice.uniform(0.05, 0.2);
        painter.setPen(QPen(QColor(0x0e, 0x0a, 0x14, int(dice.uniform(50, 110))), dice.uniform(1.0, 2.5), Qt::SolidLine,
                            Qt::RoundCap));
        painter.drawLine(QPointF(x, y), QPointF(x - length, y + length * slope));
    }

    // Rock wet from the spray is darker just above the waterline.
    painter.setPen(QPen(QColor(0x10, 0x0c, 0x18, 110), 26, Qt::SolidLine, Qt::RoundCap));
    painter.setBrush(Qt::NoBrush);
    painter.drawPath(headlandWaterline().translated(14, -8));

    // A turf cap along the top of the cliff.
    QPainterPath turf;
    turf.moveTo(690, 522);
    turf.cubicTo(720, 490, 760, 462, 800, 452);
    turf.cubicTo(830, 446, 850, 444, 870, 444);
    turf.lineTo(1090, 444);
    turf.cubicTo(1130, 440, 1170, 428, 1200, 424);
    turf.lineTo(1200, 446);
    turf.cubicTo(1150, 456, 1100, 462, 1040, 460);
    turf.cubicTo(960, 466, 880, 462, 820, 472);
    turf.cubicTo(770, 482, 730, 502, 690, 522);
    turf.closeSubpath();
    QLinearGradient grass(0, 424, 0, 470);
    grass.setColorAt(0.0, QColor(0x5c, 0x6a, 0x3c));
    grass.setColorAt(1.0, QColor(0x2a, 0x34, 0x24));
    painter.setBrush(grass);
    painter.drawPath(turf);
    painter.restore();

    // Tufts of grass break the edge of the turf against the sky.
    painter.setPen(QPen(QColor(0x3c, 0x4a, 0x2c), 1.4, Qt::SolidLine, Qt::RoundCap));
    for (int i = 0; i < 120; ++i) {
        const double x = dice.uniform(700, 1200);
        // Follow the cliff top: the curve down to the seaward edge, the flat, then the rise to the right.
        double top = 444;
        if (x < 870) {
            top = 444 + (870 - x) * (870 - x) / 2400.0;
        } else if (x > 1090) {
            top = 444 - (x - 1090) * 0.18;
        }
        painter.drawLine(QPointF(x, top + 2), QPointF(x + dice.uniform(-3, 3), top - dice.uniform(2, 7)));
    }
}

// A ragged boulder: an ellipse with its outline jittered, lit from the afterglow on the left.
void drawBoulder(QPainter& painter, Dice& dice, QPointF centre, double radius)
{
    const int corners = 9;
    QPointF points[corners];
    for (int i = 0; i < corners; ++i) {
        const double angle = 2 * std::numbers::pi * i / corners + dice.uniform(-0.2, 0.2);
        const double reach = radius * dice.uniform(0.75, 1.1);
        points[i] = centre + QPointF(std::cos(angle) * reach * 1.35, std::sin(angle) * reach * 0.85);
    }
    // Round the corners off by running the outline through the midpoints of the jittered polygon.
    QPainterPath stone;
    stone.moveTo((points[corners - 1] + points[0]) / 2);
    for (int i = 0; i < corners; ++i) {
        stone.quadTo(points[i], (points[i] + points[(i + 1) % corners]) / 2);
    }
    stone.closeSubpath();

    QRadialGradient light(centre + QPointF(-radius * 0.6, -radius * 0.5), radius * 1.8);
    light.setColorAt(0.0, QColor(0x8a, 0x64, 0x66));
    light.setColorAt(0.5, QColor(0x4a, 0x36, 0x40));
    light.setColorAt(1.0, QColor(0x1a, 0x14, 0x20));
    painter.setPen(Qt::NoPen);
    painter.setBrush(light);
    painter.drawPath(stone);
}

// Boulders fallen from the cliff, scattered along the waterline and larger towards the viewer.
void drawBoulders(QPainter& painter, Dice& dice)
{
    const QPainterPath waterline = headlandWaterline();
    for (int i = 0; i < 18; ++i) {
        const double t = (i + dice.uniform(0.0, 0.8)) / 18; // 0 at the far point, 1 nearest the viewer
        const QPointF at = waterline.pointAtPercent(1.0 - std::min(t, 1.0));
        const double radius = (9 + 30 * t) * dice.uniform(0.7, 1.2);
        drawBoulder(painter, dice, at + QPointF(dice.uniform(-10, 4) * (1 + t), dice.uniform(-4, 2)), radius);
    }
}

// Surf where the sea meets the rocks.
void drawSurf(QPainter& painter, Dice& dice)
{
    const QPainterPath waterline = headlandWaterline();
    painter.setBrush(Qt::NoBrush);
    for (int i = 0; i < 150; ++i) {
        const double t = dice.uniform(0, 1);
        const QPointF at = waterline.pointAtPercent(t);
        const double nearness = 1.0 - t; // the start of the path is closest to the viewer
        const double length = (6 + 30 * nearness) * dice.uniform(0.5, 1.2);
        const double offset = dice.uniform(-4, 14) * (0.5 + nearness);
        painter.setPen(QPen(QColor(0xf2, 0xe8, 0xf0, int(dice.uniform(50, 150))), 1.0 + 1.5 * nearness, Qt::SolidLine,
                            Qt::RoundCap));
        painter.drawLine(QPointF(at.x() - length - offset, at.y() + offset * 0.3),
                         QPointF(at.x() - offset, at.y() + offset * 0.3));
    }
}

void drawKeepersHouse(QPainter& painter)
{
    const double ground = 446;
    const QRectF wall(958, ground - 58, 112, 58);

    QLinearGradient plaster(wall.topLeft(), wall.topRight());
    plaster.setColorAt(0.0, QColor(0xf0, 0xd8, 0xcc));
    plaster.setColorAt(1.0, QColor(0xa8, 0x9c, 0xb4));
    painter.setPen(Qt::NoPen);
    painter.setBrush(plaster);
    painter.drawRect(wall);

    // Chimney first so the roof overlaps its foot.
    painter.setBrush(QColor(0x5a, 0x3a, 0x3c));
    painter.drawRect(QRectF(1040, ground - 100, 12, 30));

    QPainterPath roof;
    roof.moveTo(wall.left() - 8, wall.top() + 2);
    roof.lineTo(wall.left() + 18, wall.top() - 36);
    roof.lineTo(wall.right() - 18, wall.top() - 36);
    roof.lineTo(wall.right() + 8, wall.top() + 2);
    roof.closeSubpath();
    QLinearGradient tiles(0, wall.top() - 36, 0, wall.top());
    tiles.setColorAt(0.0, QColor(0xb8, 0x3a, 0x34));
    tiles.setColorAt(1.0, QColor(0x6c, 0x20, 0x24));
    painter.setBrush(tiles);
    painter.drawPath(roof);

    // Lit windows tell us someone is home to keep the lamp.
    const QColor lamp(0xff, 0xd8, 0x78);
    painter.setBrush(lamp);
    painter.drawRect(QRectF(974, ground - 44, 14, 18));
    painter.drawRect(QRectF(1036, ground - 44, 14, 18));
    painter.setBrush(QColor(0x3a, 0x2c, 0x34));
    painter.drawRect(QRectF(1004, ground - 34, 16, 34));
    painter.setPen(QPen(QColor(0x4a, 0x3a, 0x40), 1.2));
    painter.drawLine(QPointF(981, ground - 44), QPointF(981, ground - 26));
    painter.drawLine(QPointF(974, ground - 35), QPointF(988, ground - 35));
    painter.drawLine(QPointF(1043, ground - 44), QPointF(1043, ground - 26));
    painter.drawLine(QPointF(1036, ground - 35), QPointF(1050, ground - 35));
}

// Shading across a round tower: light on the side facing the afterglow, cool shadow on the far side.
QLinearGradient towerShading(double left, double right, const QColor& lit, const QColor& shadow)
{
    QLinearGradient shading(left, 0, right, 0);
    shading.setColorAt(0.0, blend(lit, shadow, 0.25));
    shading.setColorAt(0.3, lit);
    shading.setColorAt(1.0, shadow);
    return shading;
}

void drawLighthouse(QPainter& painter)
{
    const double centre = kLanternCentre.x();
    const double base = 448;
    const double top = 212;
    const double baseHalf = 38;
    const double topHalf = 24;
    auto halfWidthAt = [&](double y) { return topHalf + (baseHalf - topHalf) * (y - top) / (base - top); };
    auto band = [&](double y0, double y1) {
        QPainterPath path;
        path.moveTo(centre - halfWidthAt(y0), y0);
        path.lineTo(centre + halfWidthAt(y0), y0);
        path.lineTo(centre + halfWidthAt(y1), y1);
        path.lineTo(centre - halfWidthAt(y1), y1);
        path.closeSubpath();
        return path;
    };

    const QColor white(0xfa, 0xee, 0xe4);
    const QColor whiteShadow(0x8a, 0x86, 0xa8);
    const QColor red(0xd4, 0x34, 0x30);
    const QColor redShadow(0x62, 0x1c, 0x2a);
    const double left = centre - baseHalf;
    const double right = centre + baseHalf;

    painter.setPen(Qt::NoPen);
    painter.setBrush(towerShading(left, right, white, whiteShadow));
    painter.drawPath(band(top, base));

    // Two red bands: the day mark sailors use to tell this light from its neighbours.
    painter.setBrush(towerShading(left, right, red, redShadow));
    painter.drawPath(band(262, 300));
    painter.drawPath(band(352, 390));

    // Plinth.
    painter.setBrush(towerShading(left - 6, right + 6, QColor(0x9a, 0x86, 0x84), QColor(0x3a, 0x32, 0x40)));
    painter.drawRect(QRectF(centre - baseHalf - 6, base - 10, 2 * baseHalf + 12, 12));

    // Door and small windows, dark against the white.
    painter.setBrush(QColor(0x30, 0x26, 0x30));
    QPainterPath door;
    door.moveTo(centre - 9, base - 10);
    door.lineTo(centre - 9, base - 34);
    door.arcTo(QRectF(centre - 9, base - 43, 18, 18), 180, -180);
    door.lineTo(centre + 9, base - 10);
    door.closeSubpath();
    painter.drawPath(door);
    painter.drawRect(QRectF(centre - 4, 320, 8, 14));
    painter.drawRect(QRectF(centre - 4, 236, 8, 14));

    // Gallery with its railing.
    const QColor iron(0x22, 0x20, 0x2a);
    painter.setBrush(iron);
    painter.drawRect(QRectF(centre - 36, top - 8, 72, 9));
    painter.setPen(QPen(iron, 1.6));
    painter.drawLine(QPointF(centre - 34, top - 24), QPointF(centre + 34, top - 24));
    for (double x = centre - 34; x <= centre + 34.5; x += 8.5) {
        painter.drawLine(QPointF(x, top - 24), QPointF(x, top - 8));
    }

    // Lantern room: glazed and glowing, divided by dark glazing bars.
    const QRectF lantern(centre - 18, top - 44, 36, 36);
    QLinearGradient glass(lantern.topLeft(), lantern.bottomLeft());
    glass.setColorAt(0.0, QColor(0xff, 0xfa, 0xe0));
    glass.setColorAt(1.0, QColor(0xff, 0xd0, 0x70));
    painter.setPen(Qt::NoPen);
    painter.setBrush(glass);
    painter.drawRect(lantern);
    painter.setPen(QPen(iron, 2.0));
    for (double x = lantern.left(); x <= lantern.right() + 0.5; x += 12) {
        painter.drawLine(QPointF(x, lantern.top()), QPointF(x, lantern.bottom()));
    }
    painter.drawLine(QPointF(lantern.left(), lantern.center().y()), QPointF(lantern.right(), lantern.center().y()));

    // Dome, vent ball and lightning rod.
    QPainterPath dome;
    dome.moveTo(lantern.left() - 5, lantern.top() + 1);
    dome.cubicTo(lantern.left() - 2, lantern.top() - 18, lantern.right() + 2, lantern.top() - 18, lantern.right() + 5,
                 lantern.top() + 1);
    dome.closeSubpath();
    painter.setPen(Qt::NoPen);
    painter.setBrush(towerShading(lantern.left() - 5, lantern.right() + 5, red, redShadow));
    painter.drawPath(dome);
    painter.setBrush(iron);
    painter.drawEllipse(QPointF(centre, lantern.top() - 15), 4, 4);
    painter.setPen(QPen(iron, 1.5));
    painter.drawLine(QPointF(centre, lantern.top() - 18), QPointF(centre, lantern.top() - 32));
}

// The beam sweeps out over the sea; screen blending lets it brighten whatever lies behind it.
void drawBeam(QPainter& painter)
{
    painter.save();
    painter.setCompositionMode(QPainter::CompositionMode_Screen);
    painter.setPen(Qt::NoPen);

    QPainterPath beam;
    beam.moveTo(kLanternCentre + QPointF(0, -8));
    beam.lineTo(-40, 40);
    beam.lineTo(-40, 250);
    beam.lineTo(kLanternCentre + QPointF(0, 8));
    beam.closeSubpath();
    QLinearGradient fade(kLanternCentre, QPointF(-40, 150));
    fade.setColorAt(0.0, QColor(255, 240, 190, 150));
    fade.setColorAt(0.5, QColor(255, 230, 170, 45));
    fade.setColorAt(1.0, QColor(255, 220, 160, 0));
    painter.setBrush(fade);
    painter.drawPath(beam);

    // A narrower, brighter core inside the beam.
    QPainterPath core;
    core.moveTo(kLanternCentre + QPointF(0, -4));
    core.lineTo(200, 120);
    core.lineTo(200, 190);
    core.lineTo(kLanternCentre + QPointF(0, 4));
    core.closeSubpath();
    QLinearGradient coreFade(kLanternCentre, QPointF(200, 155));
    coreFade.setColorAt(0.0, QColor(255, 250, 220, 120));
    coreFade.setColorAt(1.0, QColor(255, 240, 200, 0));
    painter.setBrush(coreFade);
    painter.drawPath(core);

    QRadialGradient halo(kLanternCentre, 90);
    halo.setColorAt(0.0, QColor(255, 250, 220, 220));
    halo.setColorAt(0.25, QColor(255, 230, 160, 90));
    halo.setColorAt(1.0, QColor(255, 210, 140, 0));
    painter.setBrush(halo);
    painter.drawEllipse(kLanternCentre, 90, 90);
    painter.restore();
}

QImage paintLighthouse()
{
    QImage image(kLighthouseWidth, kLighthouseHeight, QImage::Format_RGB32);
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);
    Dice dice(0x11647);

    drawDuskSky(painter, dice);
    drawDistantIsland(painter);
    drawSea(painter, dice);
    drawHeadland(painter, dice);
    drawBoulders(painter, dice);
    drawSurf(painter, dice);
    drawKeepersHouse(painter);
    drawLighthouse(painter);
    drawBeam(painter);
    painter.end();
    return image;
}

// ---------------------------------------------------------------------------------------------------------------
// Geese: a marsh at sunrise with a skein of geese passing over.

constexpr int kGeeseWidth = 1200;
constexpr int kGeeseHeight = 800;
constexpr double kLakeHorizon = 500;
constexpr QPointF kSun(790, 436);

void drawDawnSky(QPainter& painter, Dice& dice)
{
    QLinearGradient sky(0, 0, 0, kLakeHorizon);
    sky.setColorAt(0.00, QColor(0x2c, 0x3e, 0x72));
    sky.setColorAt(0.40, QColor(0x76, 0x5e, 0x92));
    sky.setColorAt(0.70, QColor(0xde, 0x8c, 0x72));
    sky.setColorAt(0.88, QColor(0xf6, 0xc0, 0x7c));
    sky.setColorAt(1.00, QColor(0xfc, 0xe0, 0xa8));
    painter.fillRect(QRectF(0, 0, kGeeseWidth, kLakeHorizon), sky);

    QRadialGradient glow(kSun, 380);
    glow.setColorAt(0.0, QColor(255, 244, 200, 220));
    glow.setColorAt(0.2, QColor(255, 214, 150, 120));
    glow.setColorAt(1.0, QColor(255, 180, 120, 0));
    painter.fillRect(QRectF(0, 0, kGeeseWidth, kLakeHorizon), glow);

    // Thin streaks of cloud, lit from underneath.
    const QColor top(0x8a, 0x5c, 0x86, 200);
    drawCloud(painter, dice, QPointF(260, 330), 460, 22, top, QColor(0xf8, 0xb0, 0x8c, 220));
    drawCloud(painter, dice, QPointF(1010, 300), 360, 20, top, QColor(0xfa, 0xb8, 0x8c, 220));
    drawCloud(painter, dice, QPointF(640, 380), 300, 12, QColor(0xd0, 0x84, 0x86, 180), QColor(0xff, 0xd4, 0xa0, 210));
    drawCloud(painter, dice, QPointF(140, 120), 300, 26, QColor(0x48, 0x46, 0x80, 200), QColor(0x9e, 0x70, 0x98, 200));

    QRadialGradient disc(kSun, 34);
    disc.setColorAt(0.0, QColor(255, 255, 240));
    disc.setColorAt(0.85, QColor(255, 246, 206));
    disc.setColorAt(1.0, QColor(255, 226, 160, 0));
    painter.setPen(Qt::NoPen);
    painter.setBrush(disc);
    painter.drawEllipse(kSun, 34, 34);
}

// The far shore: a line of rounded tree crowns in silhouette, with the odd taller tree.
QPainterPath treeline(Dice& dice)
{
    QPainterPath trees;
    trees.addRect(QRectF(-20, kLakeHorizon - 12, kGeeseWidth + 40, 12));
    for (double x = -20; x <= kGeeseWidth + 20; x += dice.uniform(10, 24)) {
        // Woods thicken and thin along the shore rather than keeping one height.
        const double swell = std::sin(x / 190.0 + 0.6) * std::sin(x / 190.0 + 0.6);
        const double radius = dice.uniform(9, 15) + 6 * swell;
        const double lift = 8 + 14 * swell + dice.uniform(0, 6);
        QPainterPath crown;
        if (dice.chance(0.08)) {
            crown.addEllipse(QPointF(x, kLakeHorizon - lift - radius * 0.7), radius * 0.75, radius * 1.7);
        } else {
            crown.addEllipse(QPointF(x, kLakeHorizon - lift), radius, radius * dice.uniform(0.8, 1.1));
        }
        trees = trees.united(crown);
    }
    return trees;
}

void drawFarShore(QPainter& painter, const QPainterPath& trees)
{
    painter.setPen(QPen(QColor(0x5a, 0x42, 0x5e), 3.0, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    painter.setBrush(QColor(0x5a, 0x42, 0x5e));
    painter.drawPath(trees);
}

void drawLake(QPainter& painter, Dice& dice, const QPainterPath& trees)
{
    const QRectF lake(0, kLakeHorizon, kGeeseWidth, kGeeseHeight - kLakeHorizon);
    QLinearGradient water(lake.topLeft(), lake.bottomLeft());
    water.setColorAt(0.00, QColor(0xe8, 0xb4, 0x8c));
    water.setColorAt(0.30, QColor(0xa0, 0x74, 0x8a));
    water.setColorAt(1.00, QColor(0x34, 0x34, 0x5c));
    painter.fillRect(lake, water);

    // The trees hang upside down in the still water, a little darker and squashed.
    painter.save();
    painter.translate(0, 2 * kLakeHorizon);
    painter.scale(1.0, -0.8);
    painter.translate(0, kLakeHorizon * 0.25);
    painter.setPen(Qt::NoPen);
    painter.setBrush(QColor(0x4a, 0x36, 0x52, 200));
    painter.drawPath(trees);
    painter.restore();

    // Sun's path across the water: broken strokes that widen towards the viewer.
    for (int i = 0; i < 260; ++i) {
        const double depth = std::pow(dice.uniform(0, 1), 1.6);
        const double y = kLakeHorizon + 4 + depth * (kGeeseHeight - kLakeHorizon);
        const double spread = 20 + 120 * depth;
        const double x = kSun.x() + dice.uniform(-1, 1) * spread * dice.uniform(0.3, 1.0);
        const double length = (6 + 40 * depth) * dice.uniform(0.4, 1.2);
        const int alpha = int((230 - 120 * depth) * dice.uniform(0.5, 1.0));
        painter.setPen(QPen(QColor(255, 236, 190, alpha), 1.0 + 2.5 * depth, Qt::SolidLine, Qt::RoundCap));
        painter.drawLine(QPointF(x - length / 2, y), QPointF(x + length / 2, y));
    }

    // Faint ripple lines across the rest of the lake.
    for (int i = 0; i < 180; ++i) {
        const double depth = dice.uniform(0, 1);
        const double y = kLakeHorizon + 8 + depth * depth * (kGeeseHeight - kLakeHorizon);
        const double x = dice.uniform(-50, kGeeseWidth);
        const double length = (20 + 140 * depth) * dice.uniform(0.5, 1.0);
        const bool light = dice.chance(0.5);
        const QColor colour = light ? QColor(255, 220, 200, 60) : QColor(40, 30, 60, 60);
        painter.setPen(QPen(colour, 1.0 + depth, Qt::SolidLine, Qt::RoundCap));
        painter.drawLine(QPointF(x, y), QPointF(x + length, y));
    }
}

// A wing pointing straight up from the shoulder at the origin: broad at the wrist, ending in a pointed tip.
QPainterPath wingShape()
{
    QPainterPath wing;
    wing.moveTo(-7, 0);
    wing.cubicTo(-9, -14, -6, -24, -2, -30);
    wing.cubicTo(1, -38, 4, -46, 8, -54);
    wing.cubicTo(9, -44, 10, -34, 11, -24);
    wing.cubicTo(12, -14, 11, -6, 8, 0);
    wing.closeSubpath();
    return wing;
}

// One goose seen from the side, flying left. wingLift runs from -1 (bottom of the downstroke) to 1 (wings raised).
QPainterPath gooseShape(double wingLift)
{
    QPainterPath goose;
    goose.addEllipse(QPointF(1, 0.5), 19, 7.5);

    // Long outstretched neck and small head: the feature that says "goose" rather than "gull".
    QPainterPath neck;
    neck.moveTo(-10, -5);
    neck.quadTo(-28, -7, -40, -7.5);
    neck.lineTo(-40, -3.5);
    neck.quadTo(-28, -2.5, -10, 4);
    neck.closeSubpath();
    goose = goose.united(neck);

    QPainterPath head;
    head.addEllipse(QPointF(-42, -5.8), 5.2, 3.6);
    goose = goose.united(head);

    QPainterPath beak;
    beak.moveTo(-46, -7.2);
    beak.lineTo(-53.5, -5.2);
    beak.lineTo(-46, -3.6);
    beak.closeSubpath();
    goose = goose.united(beak);

    // Short, blunt tail.
    QPainterPath tail;
    tail.moveTo(12, -5);
    tail.lineTo(25, -3.5);
    tail.quadTo(28, -0.5, 25, 2.5);
    tail.lineTo(12, 5);
    tail.closeSubpath();
    goose = goose.united(tail);

    // Raised wings sweep back; lowered wings hang down and back. Level wings are seen edge-on, so they look short.
    auto wing = [&](double lift, double length, QPointF shoulder) {
        QTransform place;
        place.translate(shoulder.x(), shoulder.y());
        place.rotate(20 + (1.0 - lift) / 2 * 130);
        place.scale(1.0, length * (0.3 + 0.7 * std::abs(lift)));
        return place.map(wingShape());
    };
    goose = goose.united(wing(wingLift * 0.85, 0.8, QPointF(5, -2)));
    goose = goose.united(wing(wingLift, 1.0, QPointF(-1, -1)));
    return goose;
}

void drawGoose(QPainter& painter, QPointF at, double scale, double wingLift, const QColor& colour)
{
    painter.save();
    painter.translate(at);
    painter.rotate(-6); // climbing slightly, as a skein does when it leaves the water
    painter.scale(scale, scale);
    painter.setPen(Qt::NoPen);
    painter.setBrush(colour);
    painter.drawPath(gooseShape(wingLift));
    painter.restore();
}

// Where a goose is in its wingbeat. Moments with the wings level are skipped: seen edge-on they read as a blob.
double wingbeat(double phase)
{
    const double s = std::sin(phase);
    return std::copysign(0.5 + 0.5 * std::abs(s), s);
}

void drawSkein(QPainter& painter, Dice& dice)
{
    const QPointF leader(250, 200);
    const QColor dark(0x2a, 0x22, 0x34);
    drawGoose(painter, leader, 1.05, 0.9, dark);

    // Two arms trailing back from the leader; the lower arm is longer, as real skeins are rarely even.
    const QPointF upperStep(92, -32);
    const QPointF lowerStep(94, 27);
    for (int i = 1; i <= 4; ++i) {
        const QPointF jitter(dice.uniform(-5, 5), dice.uniform(-4, 4));
        // Wingbeats fall out of step along the line, so each goose is caught at a different moment.
        const double lift = wingbeat(i * 1.9 + 0.4);
        drawGoose(painter, leader + upperStep * i + jitter, 1.03 - 0.03 * i, lift, dark);
    }
    for (int i = 1; i <= 5; ++i) {
        const QPointF jitter(dice.uniform(-5, 5), dice.uniform(-4, 4));
        const double lift = wingbeat(i * 2.3 + 1.7);
        drawGoose(painter, leader + lowerStep * i + jitter, 1.04 - 0.03 * i, lift, dark);
    }
}

// A single reed: a tapering stem bending in the breeze, sometimes with a seed head.
void drawReed(QPainter& painter, Dice& dice, double baseX, double baseY, double height, const QColor& colour)
{
    const double bend = dice.uniform(-0.18, 0.12) * height;
    const QPointF base(baseX, baseY);
    const QPointF tip(baseX + bend, baseY - height);
    const QPointF control(baseX + bend * 0.2, baseY - height * 0.6);
    const double width = dice.uniform(2.2, 4.0);

    QPainterPath stem;
    stem.moveTo(base + QPointF(-width / 2, 0));
    stem.quadTo(control + QPointF(-width / 4, 0), tip);
    stem.quadTo(control + QPointF(width / 4, 0), base + QPointF(width / 2, 0));
    stem.closeSubpath();
    painter.setPen(Qt::NoPen);
    painter.setBrush(colour);
    painter.drawPath(stem);

    if (dice.chance(0.4)) {
        // Bulrush head: a fat sausage on the stem, with the bare tip of the stem above it.
        QPainterPath curve;
        curve.moveTo(base);
        curve.quadTo(control, tip);
        const QPointF headTop = curve.pointAtPercent(0.93);
        const QPointF headBottom = curve.pointAtPercent(0.78);
        painter.setPen(QPen(colour, dice.uniform(7, 10), Qt::SolidLine, Qt::RoundCap));
        painter.drawLine(headBottom, headTop);
    } else if (dice.chance(0.5)) {
        // Feathery plume drooping to the side the stem leans, slightly see-through so it looks soft.
        const double side = bend < 0 ? -1.0 : 1.0;
        QPainterPath plume;
        plume.moveTo(tip);
        plume.cubicTo(tip + QPointF(side * 7, -3), tip + QPointF(side * 16, 5), tip + QPointF(side * 19, 24));
        plume.cubicTo(tip + QPointF(side * 11, 15), tip + QPointF(side * 3, 11), tip + QPointF(-side * 1, 14));
        plume.closeSubpath();
        painter.setPen(Qt::NoPen);
        painter.setBrush(withAlpha(colour, 210));
        painter.drawPath(plume);
    }
}

// A long blade of leaf arching out and drooping under its own weight.
void drawLeaf(QPainter& painter, Dice& dice, double baseX, double baseY, double length, const QColor& colour)
{
    const double side = dice.chance(0.5) ? 1.0 : -1.0;
    const double reach = side * length * dice.uniform(0.25, 0.55);
    const QPointF base(baseX, baseY);
    const QPointF tip(baseX + reach, baseY - length * dice.uniform(0.45, 0.85));
    const QPointF control(baseX + reach * 0.1, baseY - length * 1.0);
    const double width = dice.uniform(4, 7);

    QPainterPath leaf;
    leaf.moveTo(base + QPointF(-width / 2, 0));
    leaf.quadTo(control + QPointF(-width / 2, 0), tip);
    leaf.quadTo(control + QPointF(width / 2, 4), base + QPointF(width / 2, 0));
    leaf.closeSubpath();
    painter.setPen(Qt::NoPen);
    painter.setBrush(colour);
    painter.drawPath(leaf);
}

void drawReedBed(QPainter& painter, Dice& dice, double left, double right, double tallest, int count)
{
    // Back rows are slightly lighter, as if in haze; the front row is nearly black against the glow.
    const QColor back(0x4a, 0x36, 0x4a);
    const QColor front(0x16, 0x10, 0x1a);
    for (int row = 0; row < 3; ++row) {
        const double t = row / 2.0;
        const QColor colour = blend(back, front, t);
        for (int i = 0; i < count; ++i) {
            const double x = dice.uniform(left, right);
            // Reeds are tallest in the middle of the clump.
            const double middle = 1.0 - std::abs((x - left) / (right - left) - 0.5) * 1.4;
            const double height = tallest * (0.45 + 0.55 * middle) * dice.uniform(0.6, 1.05) * (0.8 + 0.2 * t);
            const double baseY = kGeeseHeight + 10 - row * 14 * (1.0 - t);
            if (dice.chance(0.35)) {
                drawLeaf(painter, dice, x, baseY, height * 0.6, colour);
            } else {
                drawReed(painter, dice, x, baseY, height, colour);
            }
        }
    }
}

// Muddy bank the reeds grow from, so they do not float on the water.
void drawBank(QPainter& painter)
{
    QPainterPath bank;
    bank.moveTo(0, 700);
    bank.cubicTo(120, 690, 260, 730, 360, 800);
    bank.lineTo(0, 800);
    bank.closeSubpath();
    bank.moveTo(1200, 730);
    bank.cubicTo(1120, 730, 1040, 760, 990, 800);
    bank.lineTo(1200, 800);
    bank.closeSubpath();
    painter.setPen(Qt::NoPen);
    painter.setBrush(QColor(0x22, 0x1a, 0x22));
    painter.drawPath(bank);
}

QImage paintGeese()
{
    QImage image(kGeeseWidth, kGeeseHeight, QImage::Format_RGB32);
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);
    Dice dice(0x6ee5e);

    drawDawnSky(painter, dice);
    const QPainterPath trees = treeline(dice);
    drawFarShore(painter, trees);
    drawLake(painter, dice, trees);
    drawSkein(painter, dice);
    drawBank(painter);
    drawReedBed(painter, dice, -40, 380, 330, 40);
    drawReedBed(painter, dice, 960, 1240, 250, 30);
    painter.end();
    return image;
}

// ---------------------------------------------------------------------------------------------------------------

bool save(QImage image, const QString& path)
{
    image.setDotsPerMeterX(kDotsPerMetre);
    image.setDotsPerMeterY(kDotsPerMetre);
    QImageWriter writer(path, "jpeg");
    writer.setQuality(kJpegQuality);
    if (!writer.write(image)) {
        std::fprintf(stderr, "drawpictures: cannot write %s: %s\n", qPrintable(path), qPrintable(writer.errorString()));
        return false;
    }
    return true;
}

} // namespace

int main(int argc, char* argv[])
{
    // A core application is enough: painting on a QImage needs no window system, and it still lets Qt find the
    // JPEG image-format plugin.
    QCoreApplication app(argc, argv);

    if (argc != 2) {
        std::fprintf(stderr, "usage: drawpictures <output-folder>\n");
        return 1;
    }
    const QDir folder(QString::fromLocal8Bit(argv[1]));
    if (!folder.exists() && !QDir().mkpath(folder.path())) {
        std::fprintf(stderr, "drawpictures: cannot create folder %s\n", qPrintable(folder.path()));
        return 1;
    }

    if (!save(paintLighthouse(), folder.filePath(QStringLiteral("Lighthouse.jpg")))) {
        return 1;
    }
    if (!save(paintGeese(), folder.filePath(QStringLiteral("Geese.jpg")))) {
        return 1;
    }
    return 0;
}
