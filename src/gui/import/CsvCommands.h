#pragma once

#include <QList>
#include <QString>

#include <functional>

class QWidget;

// The commands that write photos into a CSV file and read them back, each run as one user action.

// Asks for a CSV file in a file dialog shown modally over parent: one to write (an existing file is
// replaced only when the user says so) or one to read. Empty when the user cancels.
QString ChooseCsvFile(QWidget* parent, bool forWriting);

// Writes every photo of the catalogue into a file the user chooses and says how many were written.
void ExportCatalogueCommand(QWidget* parent);

// The same for the photos with these numbers, in their order.
void ExportPhotosCommand(QWidget* parent, const QList<qint64>& numbers);

// Reads a file the user chooses, shows what its import would do, and when the user confirms, asks
// beforeWriting (false stops the import with nothing written), then stores it under a progress
// dialog that can cancel it and says how many photos were added. Returns that number.
qint64 ImportCsvCommand(QWidget* parent, const std::function<bool()>& beforeWriting);
