#include "gui/labels/TableReport.h"

#include "core/Failure.h"
#include "gui/labels/ReportFile.h"

#include <QFont>
#include <QFontMetricsF>
#include <QPagedPaintDevice>
#include <QPainter>
#include <QPen>
#include <QTextLayout>

#include <algorithm>

namespace {

// Blank space kept above and below the text of each row, and right of the text of each cell.
constexpr double rowPadding = 0.03;
constexpr double cellPadding = 0.08;
// Below the page's heading line and above the page number.
constexpr double spacing = 0.12;

// The lines a text takes in a column this wide: broken at its own line breaks and between words
// (inside a word too long for the column), at most maxLines, the last one cut with an ellipsis.
QStringList wrapped(QString text, const QFont& font, const QPaintDevice* device, double width, int maxLines)
{
    text.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    text.replace(u'\n', QChar::LineSeparator);
    const QFontMetricsF metrics(font, device);
    // Most cells fit on one line: they are measured, not laid out.
    if (!text.contains(QChar::LineSeparator) && metrics.horizontalAdvance(text) <= width)
        return {text};
    QTextLayout layout(text, font, device);
    QTextOption option;
    option.setWrapMode(QTextOption::WrapAtWordBoundaryOrAnywhere);
    layout.setTextOption(option);
    QStringList lines;
    layout.beginLayout();
    for (QTextLine line = layout.createLine(); line.isValid(); line = layout.createLine()) {
        line.setLineWidth(width);
        if (lines.size() == maxLines - 1) {
            QString rest = text.mid(line.textStart());
            rest.replace(QChar::LineSeparator, u' ');
            lines << metrics.elidedText(rest.trimmed(), Qt::ElideRight, width);
            break;
        }
        lines << text.mid(line.textStart(), line.textLength()).remove(QChar::LineSeparator).trimmed();
    }
    layout.endLayout();
    return lines;
}

} // namespace

QSizeF TableSheet::paperInches() const
{
    const QSizeF size = page.size(QPageSize::Inch);
    return landscape ? size.transposed() : size;
}

TableSheet TableSheet::Load(const QString& file)
{
    const ReportFile report(file, QStringLiteral("table layout"));
    if (report.layout() != u"table")
        throw report.invalid(u"it is a " + report.layout() + u" layout");
    TableSheet sheet;
    ReportFile::Common common;
    for (const ReportFile::Setting& setting : report.settings()) {
        const QString& key = setting.key;
        const QString& value = setting.value;
        if (report.readCommon(setting, common))
            continue;
        if (key == u"orientation") {
            if (value.compare(u"portrait", Qt::CaseInsensitive) != 0 &&
                value.compare(u"landscape", Qt::CaseInsensitive) != 0)
                throw report.invalid(u"the orientation " + value + u" is neither portrait nor landscape");
            sheet.landscape = value.compare(u"landscape", Qt::CaseInsensitive) == 0;
        } else if (key == u"margin-left")
            sheet.marginLeft = report.inches(setting);
        else if (key == u"margin-right")
            sheet.marginRight = report.inches(setting);
        else if (key == u"margin-top")
            sheet.marginTop = report.inches(setting);
        else if (key == u"margin-bottom")
            sheet.marginBottom = report.inches(setting);
        else if (key == u"heading-font-size")
            sheet.headingPoints = report.inches(setting);
        else if (key == u"cell-lines")
            sheet.cellLines = report.count(setting);
        else if (key == u"column") {
            const QStringList parts = value.split(u',');
            if (parts.size() < 3 || parts.at(0).trimmed().isEmpty() || parts.mid(2).join(u',').trimmed().isEmpty())
                throw report.invalid(u"the column \"" + value + u"\" is not \"field, width, heading\"");
            TableColumn column{parts.at(0).trimmed().toLower(), parts.mid(2).join(u',').trimmed(),
                               report.inches({key, parts.at(1).trimmed()})};
            if (column.width <= cellPadding)
                throw report.invalid(u"the column " + column.field + u" is too narrow");
            sheet.columns.append(column);
        } else
            throw report.invalid(u"the key " + key + u" is unknown");
    }
    sheet.title = common.title;
    sheet.page = common.page;
    sheet.fontFamily = common.fontFamily;
    sheet.fontPoints = common.fontPoints;
    if (sheet.columns.isEmpty() || sheet.fontFamily.isEmpty() || sheet.fontPoints <= 0)
        throw report.invalid(QStringLiteral("it needs columns and a font"));
    if (sheet.headingPoints <= 0)
        sheet.headingPoints = sheet.fontPoints;
    const QSizeF paper = sheet.paperInches();
    double width = 0;
    for (const TableColumn& column : sheet.columns)
        width += column.width;
    if (sheet.marginLeft + width + sheet.marginRight > paper.width() + 1e-9)
        throw report.invalid(QStringLiteral("its columns are wider than the page"));
    // The heading line, the column headings, the page number and one row of the most lines, each
    // line a little more than its font's size.
    const double line = sheet.fontPoints * 1.25 / 72;
    const double needed =
        sheet.headingPoints * 1.25 / 72 + 2 * spacing + 2 * line + sheet.cellLines * line + 4 * rowPadding;
    if (sheet.marginTop + needed + sheet.marginBottom > paper.height())
        throw report.invalid(QStringLiteral("its margins leave no room for a row"));
    return sheet;
}

// Where everything lies on a page of a device, in its pixels.
struct TableReport::Geometry
{
    Geometry(const TableReport& report, const QPaintDevice& device)
        : dpiX(device.logicalDpiX()), dpiY(device.logicalDpiY()), body(report.font(false, report.m_sheet.fontPoints)),
          bold(report.font(true, report.m_sheet.fontPoints)), title(report.font(true, report.m_sheet.headingPoints))
    {
        const TableSheet& sheet = report.m_sheet;
        lineHeight = QFontMetricsF(body, &device).lineSpacing();
        padding = rowPadding * dpiY;
        const QSizeF paper = sheet.paperInches();
        left = sheet.marginLeft * dpiX;
        right = (paper.width() - sheet.marginRight) * dpiX;
        top = sheet.marginTop * dpiY;
        const double titleHeight = QFontMetricsF(title, &device).lineSpacing();
        headingsTop = top + titleHeight + spacing * dpiY;
        bodyTop = headingsTop + QFontMetricsF(bold, &device).lineSpacing() + 2 * padding;
        footerTop = (paper.height() - sheet.marginBottom) * dpiY - lineHeight;
        bodyBottom = footerTop - spacing * dpiY;
        double x = left;
        for (const TableColumn& column : sheet.columns) {
            columnLeft.append(x);
            textWidth.append((column.width - cellPadding) * dpiX);
            x += column.width * dpiX;
        }
    }

    double rowHeight(int lines) const { return lines * lineHeight + 2 * padding; }

    double dpiX;
    double dpiY;
    QFont body;
    QFont bold;
    QFont title;
    double lineHeight = 0;
    double padding = 0;
    double left = 0;
    double right = 0;
    double top = 0;
    double headingsTop = 0;
    double bodyTop = 0;
    double bodyBottom = 0;
    double footerTop = 0;
    QList<double> columnLeft;
    QList<double> textWidth;
};

void TableReport::setReportFile(const QString& file)
{
    m_sheet = TableSheet::Load(file);
    m_fieldOfColumn.clear();
    m_rows.clear();
    m_pages.reset();
}

void TableReport::setRows(const QStringList& fields, QList<QStringList> rows)
{
    QList<qsizetype> fieldOfColumn;
    for (const TableColumn& column : m_sheet.columns) {
        qsizetype field = fields.size() - 1;
        while (field >= 0 && fields[field].compare(column.field, Qt::CaseInsensitive) != 0)
            --field;
        if (field < 0)
            throw Failure(ErrorNumber::ReportFileInvalid, QStringLiteral("TableReport"),
                          QStringLiteral("The report's column %1 names no field of this table; it can show %2.")
                              .arg(column.field, fields.join(QStringLiteral(", "))));
        fieldOfColumn.append(field);
    }
    m_fieldOfColumn = std::move(fieldOfColumn);
    m_rows = std::move(rows);
    m_pages.reset();
}

QFont TableReport::font(bool bold, double points) const
{
    QFont font(ReportFontFamily(m_sheet.fontFamily));
    font.setPointSizeF(points);
    font.setBold(bold);
    return font;
}

const TableReport::Pages& TableReport::pages(const QPaintDevice& device) const
{
    if (m_pages && m_pages->dpiX == device.logicalDpiX() && m_pages->dpiY == device.logicalDpiY())
        return *m_pages;
    const Geometry geometry(*this, device);
    Pages pages{device.logicalDpiX(), device.logicalDpiY(), {}};
    const double room = geometry.bodyBottom - geometry.bodyTop;
    double used = 0;
    for (qsizetype row = 0; row < m_rows.size(); ++row) {
        int lines = 1;
        for (qsizetype column = 0; column < m_fieldOfColumn.size(); ++column)
            lines =
                std::max<int>(lines, static_cast<int>(wrapped(m_rows[row].value(m_fieldOfColumn[column]), geometry.body,
                                                              &device, geometry.textWidth[column], m_sheet.cellLines)
                                                          .size()));
        const double height = geometry.rowHeight(lines);
        // A row that does not fit below the last one starts the next page whole.
        if (pages.starts.isEmpty() || (used + height > room && used > 0)) {
            pages.starts.append(row);
            used = 0;
        }
        used += height;
    }
    m_pages = std::move(pages);
    return *m_pages;
}

int TableReport::pageCount(const QPaintDevice& device) const
{
    return static_cast<int>(pages(device).starts.size());
}

std::pair<qsizetype, qsizetype> TableReport::pageRows(const QPaintDevice& device, int page) const
{
    const QList<qsizetype>& starts = pages(device).starts;
    if (page < 0 || page >= starts.size())
        return {0, 0};
    return {starts[page], page + 1 < starts.size() ? starts[page + 1] : m_rows.size()};
}

void TableReport::paintPage(QPainter& painter, int page) const
{
    const QPaintDevice& device = *painter.device();
    const int pages = pageCount(device);
    const auto [first, last] = pageRows(device, page);
    const Geometry geometry(*this, device);
    painter.save();
    painter.setPen(Qt::black);

    painter.setFont(geometry.title);
    const QFontMetricsF titleMetrics(geometry.title, &device);
    painter.drawText(QPointF(geometry.left, geometry.top + titleMetrics.ascent()),
                     titleMetrics.elidedText(m_heading, Qt::ElideRight, geometry.right - geometry.left));

    painter.setFont(geometry.bold);
    const QFontMetricsF boldMetrics(geometry.bold, &device);
    for (qsizetype column = 0; column < m_sheet.columns.size(); ++column)
        painter.drawText(
            QPointF(geometry.columnLeft[column], geometry.headingsTop + boldMetrics.ascent()),
            boldMetrics.elidedText(m_sheet.columns[column].heading, Qt::ElideRight, geometry.textWidth[column]));
    // A rule of three quarters of a point under the headings, whatever the device's resolution.
    const double rule = geometry.bodyTop - geometry.padding;
    painter.setPen(QPen(Qt::black, geometry.dpiY * 0.75 / 72));
    painter.drawLine(QPointF(geometry.left, rule), QPointF(geometry.right, rule));
    painter.setPen(Qt::black);

    painter.setFont(geometry.body);
    const QFontMetricsF metrics(geometry.body, &device);
    double y = geometry.bodyTop;
    for (qsizetype row = first; row < last; ++row) {
        int lines = 1;
        for (qsizetype column = 0; column < m_fieldOfColumn.size(); ++column) {
            const QStringList cell = wrapped(m_rows[row].value(m_fieldOfColumn[column]), geometry.body, &device,
                                             geometry.textWidth[column], m_sheet.cellLines);
            for (qsizetype line = 0; line < cell.size(); ++line)
                painter.drawText(QPointF(geometry.columnLeft[column],
                                         y + geometry.padding + line * geometry.lineHeight + metrics.ascent()),
                                 cell[line]);
            lines = std::max(lines, static_cast<int>(cell.size()));
        }
        y += geometry.rowHeight(lines);
    }

    const QString number = QStringLiteral("Page %1 of %2").arg(page + 1).arg(pages);
    painter.drawText(QPointF((geometry.left + geometry.right - metrics.horizontalAdvance(number)) / 2,
                             geometry.footerTop + metrics.ascent()),
                     number);
    painter.restore();
}

bool TableReport::print(QPagedPaintDevice& device, const std::function<bool(int, int)>& progress) const
{
    const int count = pageCount(device);
    QPainter painter(&device);
    if (!painter.isActive())
        throw Failure(ErrorNumber::CannotOpenFile, QStringLiteral("TableReport"),
                      QStringLiteral("The report cannot be drawn: the printer or file cannot be opened."));
    for (int page = 0; page < count; ++page) {
        if (progress && !progress(page, count))
            return false;
        if (page > 0)
            device.newPage();
        paintPage(painter, page);
    }
    return true;
}
