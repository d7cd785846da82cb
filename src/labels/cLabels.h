#pragma once

#include "data/Recordset.h"

#include <QObject>
#include <QString>

#include <cstdint>
#include <memory>

// The labels to print: one row of the Labels table per label, in printing order, made from the
// photos marked for labels.
class cLabels final : public QObject
{
    Q_OBJECT

public:
    explicit cLabels(QObject* parent = nullptr);
    ~cLabels() override;

    // Appends skip blank labels, then NumberofLabels labels with the caption of each marked photo in
    // number order, and reports the counts. Raises 3021 when no photo is marked and the failure of a
    // marked photo without a label count; the labels added before a failure stay.
    void MakeLabels(std::int16_t skip);
    // Deletes every label.
    void DeleteLabels();
    // Unmarks every marked photo and deletes every label, then reports the counts.
    void ClearAllLabelsForPrinting();

signals:
    // The number of labels in the table, blanks included.
    void LabelCount(const QString& count);
    // The number of photos marked for labels.
    void PhotoCount(const QString& count);

private:
    void addLabel(const QVariant& text);
    void deleteAllLabels();

    std::unique_ptr<Recordset> m_marked;
    std::unique_ptr<Recordset> m_labels;
};
