#include "gui/labels/LabelReport.h"

#include "core/Conversions.h"
#include "core/Failure.h"
#include "data/Database.h"
#include "data/cDataBase.h"

#include <QFile>
#include <QFontDatabase>
#include <QPagedPaintDevice>
#include <QPainter>
#include <QTextStream>

#include <cmath>

namespace {

constexpr double twipsPerInch = 1440.0;
const QString source = QStringLiteral("LabelReport");

Failure badLayout(const QString& file, const QString& why)
{
    return Failure(ErrorNumber::ReportFileInvalid, source,
                   QStringLiteral("The report file %1 is no label layout: %2.").arg(file, why));
}

double inches(const QString& file, const QString& key, const QString& value)
{
    bool ok = false;
    const double number = value.toDouble(&ok);
    if (!ok || !std::isfinite(number) || number < 0 || number > 100)
        throw badLayout(file, key + u" is no length in inches");
    return number;
}

int count(const QString& file, const QString& key, const QString& value)
{
    bool ok = false;
    const int number = value.toInt(&ok);
    if (!ok || number < 1 || number > 1000)
        throw badLayout(file, key + u" is no count");
    return number;
}

} // namespace

LabelSheet LabelSheet::Load(const QString& file)
{
    QFile input(file);
    if (!input.open(QIODevice::ReadOnly | QIODevice::Text))
        throw Failure(ErrorNumber::ReportFileNotFound, source,
                      QStringLiteral("The report file %1 cannot be found.").arg(file));
    LabelSheet sheet;
    QTextStream text(&input);
    while (!text.atEnd()) {
        QString line = text.readLine();
        line.truncate(line.indexOf(u'#') < 0 ? line.size() : line.indexOf(u'#'));
        if (line.trimmed().isEmpty())
            continue;
        const qsizetype equals = line.indexOf(u'=');
        if (equals < 0)
            throw badLayout(file, u"\"" + line.trimmed() + u"\" is no setting");
        const QString key = line.left(equals).trimmed().toLower();
        const QString value = line.mid(equals + 1).trimmed();
        if (key == u"title")
            sheet.title = value;
        else if (key == u"page") {
            static const QHash<QString, QPageSize::PageSizeId> sizes{{QStringLiteral("letter"), QPageSize::Letter},
                                                                     {QStringLiteral("legal"), QPageSize::Legal},
                                                                     {QStringLiteral("a4"), QPageSize::A4},
                                                                     {QStringLiteral("a5"), QPageSize::A5}};
            if (!sizes.contains(value.toLower()))
                throw badLayout(file, u"the page " + value + u" is unknown");
            sheet.page = QPageSize(sizes.value(value.toLower()));
        } else if (key == u"columns")
            sheet.columns = count(file, key, value);
        else if (key == u"rows")
            sheet.rows = count(file, key, value);
        else if (key == u"label-width")
            sheet.labelWidth = inches(file, key, value);
        else if (key == u"label-height")
            sheet.labelHeight = inches(file, key, value);
        else if (key == u"pitch-across")
            sheet.pitchAcross = inches(file, key, value);
        else if (key == u"pitch-down")
            sheet.pitchDown = inches(file, key, value);
        else if (key == u"padding")
            sheet.padding = inches(file, key, value);
        else if (key == u"order") {
            if (value.compare(u"across", Qt::CaseInsensitive) != 0 && value.compare(u"down", Qt::CaseInsensitive) != 0)
                throw badLayout(file, u"the order " + value + u" is neither across nor down");
            sheet.acrossFirst = value.compare(u"across", Qt::CaseInsensitive) == 0;
        } else if (key == u"font")
            sheet.fontFamily = value;
        else if (key == u"font-size")
            sheet.fontPoints = inches(file, key, value);
        else
            throw badLayout(file, u"the key " + key + u" is unknown");
    }
    if (sheet.columns == 0 || sheet.rows == 0 || sheet.labelWidth <= 0 || sheet.labelHeight <= 0 ||
        sheet.fontFamily.isEmpty() || sheet.fontPoints <= 0)
        throw badLayout(file, QStringLiteral("it needs columns, rows, a label size and a font"));
    if (sheet.labelWidth > sheet.pitchAcross && sheet.columns > 1)
        throw badLayout(file, QStringLiteral("its labels overlap across"));
    if (sheet.labelHeight > sheet.pitchDown && sheet.rows > 1)
        throw badLayout(file, QStringLiteral("its labels overlap down"));
    if (2 * sheet.padding >= sheet.labelWidth || 2 * sheet.padding >= sheet.labelHeight)
        throw badLayout(file, QStringLiteral("its padding leaves no room for text"));
    return sheet;
}

void LabelReport::setReportFile(const QString& file)
{
    m_sheet = LabelSheet::Load(file);
}

void LabelReport::setFont(const QString& family, double points)
{
    m_sheet.fontFamily = family;
    m_sheet.fontPoints = points;
}

void LabelReport::setMargins(int leftTwips, int topTwips)
{
    m_left = leftTwips / twipsPerInch;
    m_top = topTwips / twipsPerInch;
}

void LabelReport::readLabelsTable()
{
    m_labels.clear();
    auto rows = gDB->DB().OpenRecordset(QStringLiteral("SELECT Label FROM Labels ORDER BY rowid"));
    for (; !rows->Eof(); rows->MoveNext())
        m_labels << toText(rows->Value(QStringLiteral("Label")));
}

int LabelReport::pageCount() const
{
    const int perSheet = m_sheet.labelsPerSheet();
    return perSheet == 0 ? 0 : static_cast<int>((m_labels.size() + perSheet - 1) / perSheet);
}

QRectF LabelReport::cell(int place, double dpiX, double dpiY) const
{
    const int column = m_sheet.acrossFirst ? place % m_sheet.columns : place / m_sheet.rows;
    const int row = m_sheet.acrossFirst ? place / m_sheet.columns : place % m_sheet.rows;
    const double left = m_left + column * m_sheet.pitchAcross + m_sheet.padding;
    const double top = m_top + row * m_sheet.pitchDown + m_sheet.padding;
    return QRectF(left * dpiX, top * dpiY, (m_sheet.labelWidth - 2 * m_sheet.padding) * dpiX,
                  (m_sheet.labelHeight - 2 * m_sheet.padding) * dpiY);
}

QString LabelReport::drawnFamily() const
{
    // Arial is seldom installed here; Liberation Sans has the same widths, so captions break alike.
    if (!QFontDatabase::hasFamily(m_sheet.fontFamily) && m_sheet.fontFamily.compare(u"Arial", Qt::CaseInsensitive) == 0)
        return QStringLiteral("Liberation Sans");
    return m_sheet.fontFamily;
}

void LabelReport::paintPage(QPainter& painter, int page) const
{
    const double dpiX = painter.device()->logicalDpiX();
    const double dpiY = painter.device()->logicalDpiY();
    QFont font(drawnFamily());
    font.setPointSizeF(m_sheet.fontPoints);
    painter.save();
    painter.setFont(font);
    painter.setPen(Qt::black);
    const int perSheet = m_sheet.labelsPerSheet();
    const qsizetype first = qsizetype(page) * perSheet;
    const qsizetype last = std::min<qsizetype>(m_labels.size(), first + perSheet);
    for (qsizetype i = first; i < last; ++i) {
        // Captions keep the line breaks they were typed with; a long one is cut at its cell's edge.
        QString text = m_labels.at(i);
        text.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
        if (text.trimmed().isEmpty())
            continue;
        const QRectF box = cell(static_cast<int>(i - first), dpiX, dpiY);
        painter.setClipRect(box);
        painter.drawText(box, Qt::AlignLeft | Qt::AlignTop | Qt::TextWordWrap, text);
    }
    painter.restore();
}

void LabelReport::print(QPagedPaintDevice& device) const
{
    QPainter painter(&device);
    const int pages = pageCount();
    for (int page = 0; page < pages; ++page) {
        if (page > 0)
            device.newPage();
        paintPage(painter, page);
    }
}
