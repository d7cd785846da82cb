#pragma once

#include <QList>
#include <QPageSize>
#include <QString>
#include <QStringList>

#include <functional>
#include <optional>
#include <utility>

class QFont;
class QPagedPaintDevice;
class QPaintDevice;
class QPainter;

// One column of a table layout: the field its texts come from, its heading and its width in inches.
struct TableColumn
{
    QString field;
    QString heading;
    double width = 0;
};

// The pages a table report prints on, as its report file describes them. Lengths in inches.
struct TableSheet
{
    QString title;
    QPageSize page{QPageSize::Letter};
    bool landscape = false;
    double marginLeft = 0.5;
    double marginRight = 0.5;
    double marginTop = 0.5;
    double marginBottom = 0.5;
    QString fontFamily;
    double fontPoints = 0;
    // The line over each page that names what the table lists.
    double headingPoints = 0;
    // A cell wraps onto at most this many lines; the last one ends in an ellipsis when text is left over.
    int cellLines = 3;
    QList<TableColumn> columns;

    // The paper as it lies, in inches.
    QSizeF paperInches() const;

    // Reads a report file with "layout = table". Raises 20504 when there is no such file and 20507
    // when it is no table that fits its page (an unknown key, no columns or font, columns wider
    // than the page, margins that leave no room for a row, another layout).
    static TableSheet Load(const QString& file);
};

// Draws rows of texts as a table: a heading line naming what is listed, the column headings and the
// page number on every page, each cell wrapped within its column and no row split between pages.
// Pages are laid out once for each device resolution and painted one at a time.
class TableReport
{
public:
    // Reads the report file (20504, 20507 as TableSheet::Load).
    void setReportFile(const QString& file);
    const TableSheet& sheet() const { return m_sheet; }

    void setHeading(const QString& heading) { m_heading = heading; }
    const QString& heading() const { return m_heading; }
    // The rows, each with one text for each of the fields named. A column whose field is not among
    // them raises 20507.
    void setRows(const QStringList& fields, QList<QStringList> rows);
    qsizetype rowCount() const { return m_rows.size(); }

    // The pages the rows take on a device of this resolution; none without rows.
    int pageCount(const QPaintDevice& device) const;
    // The rows on this page: the first one and one past the last.
    std::pair<qsizetype, qsizetype> pageRows(const QPaintDevice& device, int page) const;
    // Draws one page with the painter, at the resolution of the painter's device.
    void paintPage(QPainter& painter, int page) const;
    // Every page onto the device, which must be set to the sheet's page with no margins. progress is
    // told of each page before it is drawn (page, pages) and stops the printing by answering false;
    // true when every page was drawn.
    bool print(QPagedPaintDevice& device, const std::function<bool(int, int)>& progress = {}) const;

private:
    struct Geometry;
    struct Pages
    {
        int dpiX = 0;
        int dpiY = 0;
        QList<qsizetype> starts;
    };
    const Pages& pages(const QPaintDevice& device) const;
    QFont font(bool bold, double points) const;

    TableSheet m_sheet;
    QString m_heading;
    QList<qsizetype> m_fieldOfColumn;
    QList<QStringList> m_rows;
    mutable std::optional<Pages> m_pages;
};
