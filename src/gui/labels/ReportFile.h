#pragma once

#include "core/Failure.h"

#include <QList>
#include <QPageSize>
#include <QString>

// The settings of a report file, one "key = value" a line, shared by the label grid and the table
// layouts: the file is read once, then each layout takes the keys it knows and checks their values.
class ReportFile
{
public:
    struct Setting
    {
        QString key; // lower case
        QString value;
    };

    // Reads the file. Raises 20504 when it cannot be read and 20507 for a line that is no setting.
    // kind names the layout in messages ("label layout", "table layout").
    ReportFile(const QString& file, const QString& kind);

    const QList<Setting>& settings() const { return m_settings; }
    // The value of "layout": "labels" when the file does not say.
    QString layout() const;

    // 20507 with the reason why the file is no layout of its kind.
    Failure invalid(const QString& why) const;
    // A length in inches from 0 to 100, a whole count from 1 to 1000, a paper size; 20507 otherwise.
    double inches(const Setting& setting) const;
    int count(const Setting& setting) const;
    QPageSize page(const Setting& setting) const;

    // The keys every layout has, kept apart from each layout's own.
    struct Common
    {
        QString title;
        QPageSize page{QPageSize::Letter};
        QString fontFamily;
        double fontPoints = 0;
    };
    // Takes "layout" and the common keys into common; false for a key of the layout's own.
    bool readCommon(const Setting& setting, Common& common) const;

private:
    QString m_file;
    QString m_kind;
    QList<Setting> m_settings;
};

// The family a report draws text in on this system: a missing Arial is drawn with its metric twin,
// Liberation Sans, so that text breaks alike.
QString ReportFontFamily(const QString& family);
