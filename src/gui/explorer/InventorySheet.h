#pragma once

#include "gui/labels/TableReport.h"

#include <QObject>
#include <QString>

class QPagedPaintDevice;
class QWidget;

// The inventory sheet of one storage device or storage location: what is kept there, as a table
// of number, caption, date taken, state and location in photo-number order, laid out by the
// program folder's Inventory.rpt. It is previewed, and printed or saved as a PDF from the preview.
class InventorySheet final : public QObject
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(InventorySheet)

public:
    enum class Box { StorageDevice, StorageLocation };

    // The layout file is looked for in programFolder; the preview and questions show over parent.
    InventorySheet(const QString& programFolder, QWidget* parent);
    ~InventorySheet() override;

    // Reads the box's photos (a device's are those of all its storage locations) and shows the
    // preview. A box without photos, or a missing layout file, is only reported.
    void Show(Box box, qint64 id);

    // Reads the layout file (20504, 20507), then the box's name and photos; false when it holds none.
    bool Read(Box box, qint64 id);

    // Writes every page to this PDF file, with progress and Cancel when it takes a while; a
    // cancelled file is removed. True when the whole sheet was written.
    bool SavePdf(const QString& file);

    const TableReport& report() const { return m_report; }

private:
    bool paintWithProgress(QPagedPaintDevice& device, const QString& label);
    void SavePdf_Click();

    QString m_programFolder;
    QWidget* m_parent;
    QString m_boxName;
    TableReport m_report;
};
