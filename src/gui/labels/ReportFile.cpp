#include "gui/labels/ReportFile.h"

#include <QFile>
#include <QFontDatabase>
#include <QHash>
#include <QTextStream>

#include <cmath>

namespace {

const QString source = QStringLiteral("LabelReport");

} // namespace

ReportFile::ReportFile(const QString& file, const QString& kind) : m_file(file), m_kind(kind)
{
    QFile input(file);
    if (!input.open(QIODevice::ReadOnly | QIODevice::Text))
        throw Failure(ErrorNumber::ReportFileNotFound, source,
                      QStringLiteral("The report file %1 cannot be found.").arg(file));
    QTextStream text(&input);
    while (!text.atEnd()) {
        QString line = text.readLine();
        line.truncate(line.indexOf(u'#') < 0 ? line.size() : line.indexOf(u'#'));
        if (line.trimmed().isEmpty())
            continue;
        const qsizetype equals = line.indexOf(u'=');
        if (equals < 0)
            throw invalid(u"\"" + line.trimmed() + u"\" is no setting");
        m_settings.append({line.left(equals).trimmed().toLower(), line.mid(equals + 1).trimmed()});
    }
}

QString ReportFile::layout() const
{
    QString layout = QStringLiteral("labels");
    for (const Setting& setting : m_settings)
        if (setting.key == u"layout")
            layout = setting.value.toLower();
    return layout;
}

Failure ReportFile::invalid(const QString& why) const
{
    return Failure(ErrorNumber::ReportFileInvalid, source,
                   QStringLiteral("The report file %1 is no %2: %3.").arg(m_file, m_kind, why));
}

double ReportFile::inches(const Setting& setting) const
{
    bool ok = false;
    const double number = setting.value.toDouble(&ok);
    if (!ok || !std::isfinite(number) || number < 0 || number > 100)
        throw invalid(setting.key + u" is no length in inches");
    return number;
}

int ReportFile::count(const Setting& setting) const
{
    bool ok = false;
    const int number = setting.value.toInt(&ok);
    if (!ok || number < 1 || number > 1000)
        throw invalid(setting.key + u" is no count");
    return number;
}

QPageSize ReportFile::page(const Setting& setting) const
{
    static const QHash<QString, QPageSize::PageSizeId> sizes{{QStringLiteral("letter"), QPageSize::Letter},
                                                             {QStringLiteral("legal"), QPageSize::Legal},
                                                             {QStringLiteral("a4"), QPageSize::A4},
                                                             {QStringLiteral("a5"), QPageSize::A5}};
    if (!sizes.contains(setting.value.toLower()))
        throw invalid(u"the page " + setting.value + u" is unknown");
    return QPageSize(sizes.value(setting.value.toLower()));
}

bool ReportFile::readCommon(const Setting& setting, Common& common) const
{
    if (setting.key == u"layout")
        return true;
    if (setting.key == u"title")
        common.title = setting.value;
    else if (setting.key == u"page")
        common.page = page(setting);
    else if (setting.key == u"font")
        common.fontFamily = setting.value;
    else if (setting.key == u"font-size")
        common.fontPoints = inches(setting);
    else
        return false;
    return true;
}

QString ReportFontFamily(const QString& family)
{
    // Arial is seldom installed here; Liberation Sans has the same widths, so captions break alike.
    if (!QFontDatabase::hasFamily(family) && family.compare(u"Arial", Qt::CaseInsensitive) == 0)
        return QStringLiteral("Liberation Sans");
    return family;
}
