#pragma once

#include <QPageSize>
#include <QString>
#include <QStringList>

class QPagedPaintDevice;
class QPainter;
class QRectF;

// The sheet a label report prints on, as its report file describes it. Lengths in inches.
struct LabelSheet
{
    QString title;
    QPageSize page{QPageSize::Letter};
    int columns = 0;
    int rows = 0;
    double labelWidth = 0;
    double labelHeight = 0;
    double pitchAcross = 0;
    double pitchDown = 0;
    double padding = 0;
    bool acrossFirst = true;
    QString fontFamily;
    double fontPoints = 0;

    int labelsPerSheet() const { return columns * rows; }

    // Reads a report file. Raises 20504 when there is no such file and 20507 when it is no sheet
    // that labels fit on (an unknown key, a missing or impossible size, another layout).
    static LabelSheet Load(const QString& file);
};

// Draws label texts onto sheets: each text in the next cell of the sheet, across or down as the
// sheet says, wrapped and clipped to its own cell, the grid placed by the top and left margins.
class LabelReport
{
public:
    // Reads the report file (20504, 20507 as LabelSheet::Load). The title and font are the file's
    // until set below.
    void setReportFile(const QString& file);
    const LabelSheet& sheet() const { return m_sheet; }

    void setTitle(const QString& title) { m_sheet.title = title; }
    // A family the system lacks is drawn with its metric twin (Liberation Sans for Arial).
    void setFont(const QString& family, double points);
    // The edges of the grid from the sheet's edges, in twips.
    void setMargins(int leftTwips, int topTwips);

    void setLabels(QStringList labels) { m_labels = std::move(labels); }
    // The rows of the Labels table, in the order they were added.
    void readLabelsTable();
    const QStringList& labels() const { return m_labels; }

    int pageCount() const;
    // The cell of the label at this place on its sheet, in device pixels of a device with these resolutions.
    QRectF cell(int place, double dpiX, double dpiY) const;
    // Draws one page's labels with the painter, at the resolution of the painter's device.
    void paintPage(QPainter& painter, int page) const;
    // Every page onto the device, which must be set to the sheet's page size with no margins.
    void print(QPagedPaintDevice& device) const;

    // The family the captions are drawn in on this system.
    QString drawnFamily() const;

private:
    LabelSheet m_sheet;
    QStringList m_labels;
    double m_left = 0;
    double m_top = 0;
};
