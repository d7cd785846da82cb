#include "gui/labels/LabelReport.h"

#include "core/Conversions.h"
#include "data/Database.h"
#include "data/cDataBase.h"
#include "gui/labels/ReportFile.h"

#include <QFont>
#include <QPagedPaintDevice>
#include <QPainter>

namespace {

constexpr double twipsPerInch = 1440.0;

} // namespace

LabelSheet LabelSheet::Load(const QString& file)
{
    const ReportFile report(file, QStringLiteral("label layout"));
    if (report.layout() != u"labels")
        throw report.invalid(u"it is a " + report.layout() + u" layout");
    LabelSheet sheet;
    ReportFile::Common common;
    for (const ReportFile::Setting& setting : report.settings()) {
        const QString& key = setting.key;
        const QString& value = setting.value;
        if (report.readCommon(setting, common))
            continue;
        if (key == u"columns")
            sheet.columns = report.count(setting);
        else if (key == u"rows")
            sheet.rows = report.count(setting);
        else if (key == u"label-width")
            sheet.labelWidth = report.inches(setting);
        else if (key == u"label-height")
            sheet.labelHeight = report.inches(setting);
        else if (key == u"pitch-across")
            sheet.pitchAcross = report.inches(setting);
        else if (key == u"pitch-down")
            sheet.pitchDown = report.inches(setting);
        else if (key == u"padding")
            sheet.padding = report.inches(setting);
        else if (key == u"order") {
            if (value.compare(u"across", Qt::CaseInsensitive) != 0 && value.compare(u"down", Qt::CaseInsensitive) != 0)
                throw report.invalid(u"the order " + value + u" is neither across nor down");
            sheet.acrossFirst = value.compare(u"across", Qt::CaseInsensitive) == 0;
        } else
            throw report.invalid(u"the key " + key + u" is unknown");
    }
    sheet.title = common.title;
    sheet.page = common.page;
    sheet.fontFamily = common.fontFamily;
    sheet.fontPoints = common.fontPoints;
    if (sheet.columns == 0 || sheet.rows == 0 || sheet.labelWidth <= 0 || sheet.labelHeight <= 0 ||
        sheet.fontFamily.isEmpty() || sheet.fontPoints <= 0)
        throw report.invalid(QStringLiteral("it needs columns, rows, a label size and a font"));
    if (sheet.labelWidth > sheet.pitchAcross && sheet.columns > 1)
        throw report.invalid(QStringLiteral("its labels overlap across"));
    if (sheet.labelHeight > sheet.pitchDown && sheet.rows > 1)
        throw report.invalid(QStringLiteral("its labels overlap down"));
    if (2 * sheet.padding >= sheet.labelWidth || 2 * sheet.padding >= sheet.labelHeight)
        throw report.invalid(QStringLiteral("its padding leaves no room for text"));
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
    return ReportFontFamily(m_sheet.fontFamily);
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
