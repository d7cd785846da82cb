#include "data/CsvExchange.h"

#include "core/Conversions.h"
#include "core/Failure.h"
#include "data/Database.h"
#include "data/SqliteSupport.h"
#include "data/cDataBase.h"

#include <QDate>
#include <QFile>
#include <QHash>
#include <QRegularExpression>
#include <QSaveFile>
#include <QSet>
#include <QStringDecoder>

#include <algorithm>
#include <array>
#include <limits>

namespace {

enum Column {
    Number,
    Caption,
    DateTaken,
    State,
    Location,
    StorageDevice,
    StorageLocation,
    Subjects,
    Comments,
    FileName,
    PrintLabel,
    NumberofLabels,
    ColumnCount
};

const std::array<const char*, ColumnCount> columnNames = {
    "Number",        "Caption",  "Date Taken", "State",     "Location",    "Storage Device",
    "Storage Place", "Subjects", "Comments",   "File Name", "Print Label", "Number of Labels"};

constexpr qint64 LargestLabelCount = std::numeric_limits<std::int16_t>::max();
// Rows between two reports of progress, as the folder import reports.
constexpr qint64 ProgressStep = 64;
// Characters gathered before they go to the file.
constexpr qsizetype WriteChunk = 1 << 20;

const QString photoColumns = QStringLiteral(
    "PhotoID, Caption, LocationID, StorageLocationID, DateTaken, PrintLabel, NumberofLabels, FileName, Comments");

// ---- Writing -------------------------------------------------------------------------------

// In the subjects field ";" parts one subject from the next and ":" a category from its subject; a
// backslash makes the character after it plain text, so names may hold either, and blanks at a
// name's ends are kept.
QString escapeName(const QString& name)
{
    QString escaped;
    escaped.reserve(name.size() + 2);
    for (qsizetype i = 0; i < name.size(); ++i) {
        const QChar c = name.at(i);
        const bool edgeBlank = c.isSpace() && (i == 0 || i == name.size() - 1);
        if (c == u'\\' || c == u';' || c == u':' || edgeBlank)
            escaped += u'\\';
        escaped += c;
    }
    return escaped;
}

void appendField(QString& line, const QString& value)
{
    bool quote = false;
    for (const QChar c : value) {
        if (c == u',' || c == u'"' || c == u'\r' || c == u'\n') {
            quote = true;
            break;
        }
    }
    if (!quote) {
        line += value;
        return;
    }
    line += u'"';
    for (const QChar c : value) {
        if (c == u'"')
            line += u'"';
        line += c;
    }
    line += u'"';
}

void appendRow(QString& line, const std::array<QString, ColumnCount>& fields)
{
    for (int i = 0; i < ColumnCount; ++i) {
        if (i > 0)
            line += u',';
        appendField(line, fields[std::size_t(i)]);
    }
    line += QStringLiteral("\r\n");
}

struct Named
{
    QString name;
    QString parent;
};

QHash<qint64, Named> namedEntries(const Database& db, const QString& sql)
{
    QHash<qint64, Named> entries;
    Statement rows(db.connection(), sql);
    while (rows.step())
        entries.insert(rows.int64(0),
                       {toText(rows.value(1, ColumnKind::Text)), toText(rows.value(2, ColumnKind::Text))});
    return entries;
}

// Formats photo rows into a file written whole or not at all.
class CsvWriter
{
public:
    CsvWriter(const Database& db, const QString& path) : m_file(path), m_path(path)
    {
        m_locations = namedEntries(db, QStringLiteral("SELECT LocationID, Location, State FROM Locations JOIN States "
                                                      "USING (StateID)"));
        m_storage = namedEntries(db, QStringLiteral("SELECT StorageLocationID, StorageLocation, StorageDevice FROM "
                                                    "StorageLocations JOIN StorageDevices USING (StorageDeviceID)"));
        const QHash<qint64, Named> subjects = namedEntries(
            db, QStringLiteral("SELECT SubjectID, Subject, Category FROM Subjects JOIN Categories USING (CategoryID)"));
        for (auto it = subjects.cbegin(); it != subjects.cend(); ++it)
            m_subjects.insert(it.key(), escapeName(it->parent) + QStringLiteral(": ") + escapeName(it->name));
        if (!m_file.open(QIODevice::WriteOnly))
            failed();
        std::array<QString, ColumnCount> header;
        for (int i = 0; i < ColumnCount; ++i)
            header[std::size_t(i)] = QString::fromLatin1(columnNames[std::size_t(i)]);
        appendRow(m_line, header);
    }

    // Adds the photo at the statement's current row (columns as photoColumns) with these subjects.
    void add(const Statement& photo, const std::vector<qint64>& subjects)
    {
        std::array<QString, ColumnCount> fields;
        fields[Number] = QString::number(photo.int64(0));
        fields[Caption] = toText(photo.value(1, ColumnKind::Text));
        if (!photo.isNull(2)) {
            const Named place = m_locations.value(photo.int64(2));
            fields[State] = place.parent;
            fields[Location] = place.name;
        }
        if (!photo.isNull(3)) {
            const Named place = m_storage.value(photo.int64(3));
            fields[StorageDevice] = place.parent;
            fields[StorageLocation] = place.name;
        }
        fields[DateTaken] = toText(photo.value(4, ColumnKind::Date));
        if (!photo.isNull(5))
            fields[PrintLabel] = photo.int64(5) != 0 ? QStringLiteral("Yes") : QStringLiteral("No");
        if (!photo.isNull(6))
            fields[NumberofLabels] = QString::number(photo.int64(6));
        fields[FileName] = toText(photo.value(7, ColumnKind::Text));
        fields[Comments] = toText(photo.value(8, ColumnKind::Text));
        QStringList names;
        for (const qint64 subject : subjects)
            names << m_subjects.value(subject);
        fields[Subjects] = names.join(QStringLiteral("; "));
        appendRow(m_line, fields);
        ++m_count;
        if (m_line.size() >= WriteChunk)
            flush();
    }

    qint64 finish()
    {
        flush();
        if (!m_file.commit())
            failed();
        return m_count;
    }

private:
    void flush()
    {
        const QByteArray bytes = m_line.toUtf8();
        m_line.clear();
        if (m_file.write(bytes) != bytes.size())
            failed();
    }

    [[noreturn]] void failed()
    {
        const long number =
            m_file.error() == QFileDevice::ResourceError ? ErrorNumber::DiskFull : ErrorNumber::CannotOpenFile;
        throw Failure(number, {},
                      QStringLiteral("The file '%1' could not be written: %2.").arg(m_path, m_file.errorString()));
    }

    QSaveFile m_file;
    QString m_path;
    QString m_line;
    qint64 m_count = 0;
    QHash<qint64, Named> m_locations;
    QHash<qint64, Named> m_storage;
    QHash<qint64, QString> m_subjects;
};

// ---- Reading -------------------------------------------------------------------------------

struct Record
{
    qint64 line = 0;
    QStringList fields;
    QString error; // why the row is malformed; its fields are then incomplete
};

// Splits text into records. Reads CRLF, LF or a lone CR as a line end.
class CsvReader
{
public:
    explicit CsvReader(QString text) : m_text(std::move(text)) {}

    // The next record that is not a blank line; false at the end of the text.
    bool next(Record& record)
    {
        while (m_pos < m_text.size()) {
            record = readRecord();
            const bool blank =
                record.error.isEmpty() && record.fields.size() == 1 && record.fields.at(0).isEmpty() && !m_quoted;
            if (!blank)
                return true;
        }
        return false;
    }

private:
    bool atLineEnd() const { return m_pos >= m_text.size() || m_text.at(m_pos) == u'\r' || m_text.at(m_pos) == u'\n'; }

    void skipLineEnd()
    {
        if (m_pos < m_text.size() && m_text.at(m_pos) == u'\r')
            ++m_pos;
        if (m_pos < m_text.size() && m_text.at(m_pos) == u'\n')
            ++m_pos;
        ++m_line;
    }

    // Drops what is left of a malformed line.
    void skipRestOfLine()
    {
        while (!atLineEnd())
            ++m_pos;
        skipLineEnd();
    }

    Record readRecord()
    {
        Record record;
        record.line = m_line;
        m_quoted = false;
        QString field;
        for (;;) {
            if (m_pos < m_text.size() && m_text.at(m_pos) == u'"') {
                m_quoted = true;
                ++m_pos;
                for (;;) {
                    if (m_pos >= m_text.size()) {
                        record.error = QStringLiteral("A quoted field is not closed: it runs to the end of the file.");
                        return record;
                    }
                    const QChar c = m_text.at(m_pos++);
                    if (c == u'"') {
                        if (m_pos < m_text.size() && m_text.at(m_pos) == u'"') {
                            field += c;
                            ++m_pos;
                            continue;
                        }
                        break;
                    }
                    // A line end inside quotes is part of the field; CRLF counts as one line.
                    if (c == u'\n' || (c == u'\r' && (m_pos >= m_text.size() || m_text.at(m_pos) != u'\n')))
                        ++m_line;
                    field += c;
                }
                if (!atLineEnd() && m_text.at(m_pos) != u',') {
                    record.error = QStringLiteral("Text follows the closing quote of a field.");
                    skipRestOfLine();
                    return record;
                }
            } else {
                while (!atLineEnd() && m_text.at(m_pos) != u',') {
                    if (m_text.at(m_pos) == u'"') {
                        record.error = QStringLiteral("A quote stands inside a field that does not begin with one.");
                        skipRestOfLine();
                        return record;
                    }
                    field += m_text.at(m_pos++);
                }
            }
            record.fields << field;
            field.clear();
            if (atLineEnd()) {
                skipLineEnd();
                return record;
            }
            ++m_pos; // the comma
        }
    }

    QString m_text;
    qsizetype m_pos = 0;
    qint64 m_line = 1;
    bool m_quoted = false;
};

QString readText(const QString& path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        throw Failure(file.error() == QFileDevice::OpenError && !file.exists() ? ErrorNumber::FileNotFound
                                                                               : ErrorNumber::CannotOpenFile,
                      {}, QStringLiteral("The file '%1' cannot be read: %2.").arg(path, file.errorString()));
    const QByteArray bytes = file.readAll();
    if (file.error() != QFileDevice::NoError)
        throw Failure(ErrorNumber::CannotOpenFile, {},
                      QStringLiteral("The file '%1' cannot be read: %2.").arg(path, file.errorString()));
    QStringDecoder decoder(QStringConverter::Utf8);
    QString text = decoder.decode(bytes);
    if (decoder.hasError())
        throw Failure(
            ErrorNumber::CannotOpenFile, {},
            QStringLiteral("The file '%1' is not UTF-8 text; save it from the spreadsheet as CSV in UTF-8.").arg(path));
    if (text.startsWith(QChar(0xFEFF)))
        text.remove(0, 1);
    return text;
}

// Which field of a row holds each column; -1 for a column the file leaves out.
std::array<int, ColumnCount> readHeader(CsvReader& reader, const QString& path)
{
    Record header;
    if (!reader.next(header))
        throw Failure(ErrorNumber::CannotOpenFile, {},
                      QStringLiteral("The file '%1' is empty: its first line must name the columns.").arg(path));
    if (!header.error.isEmpty())
        throw Failure(ErrorNumber::CannotOpenFile, {},
                      QStringLiteral("The first line of '%1' cannot be read: %2").arg(path, header.error));
    std::array<int, ColumnCount> place;
    place.fill(-1);
    QStringList known;
    for (const char* name : columnNames)
        known << QString::fromLatin1(name);
    for (int i = 0; i < header.fields.size(); ++i) {
        const QString name = header.fields.at(i).trimmed();
        const qsizetype column =
            known.indexOf(QRegularExpression(QRegularExpression::anchoredPattern(QRegularExpression::escape(name)),
                                             QRegularExpression::CaseInsensitiveOption));
        if (column < 0)
            throw Failure(ErrorNumber::CannotOpenFile, {},
                          QStringLiteral("The first line of '%1' names the column '%2', which Vellaro does not know. "
                                         "The columns are: %3.")
                              .arg(path, name, known.join(QStringLiteral(", "))));
        if (place[std::size_t(column)] >= 0)
            throw Failure(ErrorNumber::CannotOpenFile, {},
                          QStringLiteral("The first line of '%1' names the column '%2' twice.").arg(path, name));
        place[std::size_t(column)] = i;
    }
    if (place[Number] < 0)
        throw Failure(ErrorNumber::CannotOpenFile, {},
                      QStringLiteral("The first line of '%1' has no column 'Number'.").arg(path));
    return place;
}

// A name as the catalogue's unique indexes compare it.
QString nameKey(const QString& name)
{
    return name.toCaseFolded();
}

bool isWholeNumber(const QString& text)
{
    if (text.isEmpty())
        return false;
    const qsizetype start = text.at(0) == u'-' || text.at(0) == u'+' ? 1 : 0;
    if (start == text.size())
        return false;
    for (qsizetype i = start; i < text.size(); ++i) {
        if (text.at(i) < u'0' || text.at(i) > u'9')
            return false;
    }
    return true;
}

// One category-and-subject part of the subjects field.
struct SubjectName
{
    QString category;
    QString subject;
};

// Splits the subjects field by its escaping rule; error says what is wrong with it.
std::vector<SubjectName> splitSubjects(const QString& field, QString& error)
{
    std::vector<SubjectName> parts;
    // Each character of the category (0) and the subject (1) with whether it was escaped, so that
    // trimming spares escaped blanks.
    std::vector<std::pair<QChar, bool>> chars[2];
    bool colon = false;
    const auto finishPart = [&] {
        QString names[2];
        for (int which = 0; which < 2; ++which) {
            auto& list = chars[which];
            std::size_t begin = 0;
            std::size_t end = list.size();
            while (begin < end && list[begin].first.isSpace() && !list[begin].second)
                ++begin;
            while (end > begin && list[end - 1].first.isSpace() && !list[end - 1].second)
                --end;
            for (std::size_t i = begin; i < end; ++i)
                names[which] += list[i].first;
            list.clear();
        }
        // Without a colon the one name given is the subject's.
        if (!colon)
            std::swap(names[0], names[1]);
        if (!names[1].isEmpty())
            parts.push_back({names[0], names[1]});
        else if (colon || !names[0].isEmpty())
            error = QStringLiteral("A subject is missing in the subjects '%1'.").arg(field);
        colon = false;
    };
    for (qsizetype i = 0; i < field.size() && error.isEmpty(); ++i) {
        const QChar c = field.at(i);
        if (c == u'\\') {
            if (i + 1 >= field.size()) {
                error = QStringLiteral("The subjects '%1' end with a lone backslash.").arg(field);
                break;
            }
            chars[colon ? 1 : 0].push_back({field.at(++i), true});
        } else if (c == u';') {
            finishPart();
        } else if (c == u':' && !colon) {
            colon = true;
        } else if (c == u':') {
            error = QStringLiteral("The subjects '%1' hold a second ':' in one subject; a ':' in a name is written "
                                   "'\\:'.")
                        .arg(field);
        } else {
            chars[colon ? 1 : 0].push_back({c, false});
        }
    }
    if (error.isEmpty())
        finishPart();
    if (!error.isEmpty())
        return {};
    return parts;
}

struct Existing
{
    qint64 id;
    qint64 parent;
};

// One level of two-level lists (states and locations, say) as the catalogue holds it and as the
// import grows it.
class EntryLists
{
public:
    EntryLists(CsvImportPlan& plan, const Database& db) : m_plan(plan)
    {
        load(db, CsvEntryKind::State, QStringLiteral("SELECT StateID, State, 0 FROM States"));
        load(db, CsvEntryKind::Location, QStringLiteral("SELECT LocationID, Location, StateID FROM Locations"));
        load(db, CsvEntryKind::StorageDevice,
             QStringLiteral("SELECT StorageDeviceID, StorageDevice, 0 FROM StorageDevices"));
        load(db, CsvEntryKind::StorageLocation,
             QStringLiteral("SELECT StorageLocationID, StorageLocation, StorageDeviceID FROM StorageLocations"));
        load(db, CsvEntryKind::Category, QStringLiteral("SELECT CategoryID, Category, 0 FROM Categories"));
        load(db, CsvEntryKind::Subject, QStringLiteral("SELECT SubjectID, Subject, CategoryID FROM Subjects"));
    }

    // Remembers where a row began, so that a refused row creates nothing.
    void beginRow() { m_rowStart = m_plan.NewEntries.size(); }
    void undoRow()
    {
        while (m_plan.NewEntries.size() > m_rowStart) {
            const CsvNewEntry& entry = m_plan.NewEntries.back();
            m_new[int(entry.Kind)].remove(nameKey(entry.Name));
            m_plan.NewEntries.pop_back();
        }
    }

    // The entry a row names by a parent's and a child's name (either may be empty), adding what is
    // new; reason says why the pair cannot be taken.
    CsvEntryRef resolve(CsvEntryKind parentKind, CsvEntryKind childKind, const QString& parent, const QString& child,
                        QString& reason)
    {
        const QString parentWord = CsvEntryKindName(parentKind).toLower();
        const QString childWord = CsvEntryKindName(childKind).toLower();
        if (child.isEmpty()) {
            if (!parent.isEmpty())
                reason = QStringLiteral("The %1 '%2' is given without a %3.").arg(parentWord, parent, childWord);
            return {};
        }
        const QString key = nameKey(child);
        const auto existing = m_existing[int(childKind)].constFind(key);
        if (existing != m_existing[int(childKind)].constEnd()) {
            const QString owner = m_names[int(parentKind)].value(existing->parent);
            if (!parent.isEmpty() && nameKey(parent) != nameKey(owner)) {
                reason = QStringLiteral("The %1 '%2' belongs to the %3 '%4', not to '%5'.")
                             .arg(childWord, child, parentWord, owner, parent);
                return {};
            }
            return {existing->id, -1};
        }
        const auto added = m_new[int(childKind)].constFind(key);
        if (added != m_new[int(childKind)].constEnd()) {
            const CsvEntryRef owner = m_plan.NewEntries[std::size_t(*added)].Parent;
            const QString ownerName = owner.NewIndex >= 0 ? m_plan.NewEntries[std::size_t(owner.NewIndex)].Name
                                                          : m_names[int(parentKind)].value(owner.Id);
            if (!parent.isEmpty() && nameKey(parent) != nameKey(ownerName)) {
                reason = QStringLiteral("The %1 '%2' belongs to the %3 '%4', not to '%5'.")
                             .arg(childWord, child, parentWord, ownerName, parent);
                return {};
            }
            return {0, *added};
        }
        if (parent.isEmpty()) {
            reason = QStringLiteral("The %1 '%2' is new and needs a %3.").arg(childWord, child, parentWord);
            return {};
        }
        const CsvEntryRef owner = topLevel(parentKind, parent);
        const QString ownerName = owner.NewIndex >= 0 ? m_plan.NewEntries[std::size_t(owner.NewIndex)].Name
                                                      : m_names[int(parentKind)].value(owner.Id);
        return {0, add(childKind, child, owner, ownerName)};
    }

private:
    CsvEntryRef topLevel(CsvEntryKind kind, const QString& name)
    {
        const QString key = nameKey(name);
        const auto existing = m_existing[int(kind)].constFind(key);
        if (existing != m_existing[int(kind)].constEnd())
            return {existing->id, -1};
        const auto added = m_new[int(kind)].constFind(key);
        if (added != m_new[int(kind)].constEnd())
            return {0, *added};
        return {0, add(kind, name)};
    }

    int add(CsvEntryKind kind, const QString& name, CsvEntryRef parent = {}, const QString& parentName = {})
    {
        const int index = int(m_plan.NewEntries.size());
        m_plan.NewEntries.push_back({kind, name, parent, parentName});
        m_new[int(kind)].insert(nameKey(name), index);
        return index;
    }

    void load(const Database& db, CsvEntryKind kind, const QString& sql)
    {
        Statement rows(db.connection(), sql);
        while (rows.step()) {
            const QString name = toText(rows.value(1, ColumnKind::Text));
            m_existing[int(kind)].insert(nameKey(name), {rows.int64(0), rows.int64(2)});
            m_names[int(kind)].insert(rows.int64(0), name);
        }
    }

    CsvImportPlan& m_plan;
    std::size_t m_rowStart = 0;
    QHash<QString, Existing> m_existing[6];
    QHash<qint64, QString> m_names[6];
    QHash<QString, int> m_new[6];
};

// The row's field of a column; empty when the file leaves the column out.
QString fieldOf(const Record& record, const std::array<int, ColumnCount>& place, Column column)
{
    const int index = place[std::size_t(column)];
    return index < 0 ? QString() : record.fields.at(index);
}

// Checks one well-formed row and converts it; returns the reason it is refused, or empty text.
QString planRow(const Record& record, const std::array<int, ColumnCount>& place, const QSet<qint64>& numbersInUse,
                const QHash<qint64, QList<qint64>>& linesOfNumber, EntryLists& lists, CsvPhotoRow& row)
{
    const auto field = [&](Column column) { return fieldOf(record, place, column); };
    const QString numberText = field(Number).trimmed();
    if (numberText.isEmpty())
        return QStringLiteral("The number is missing.");
    bool ok = false;
    const qlonglong number = numberText.toLongLong(&ok);
    if (!isWholeNumber(numberText) || !ok || number < std::numeric_limits<std::int32_t>::min() ||
        number > std::numeric_limits<std::int32_t>::max())
        return QStringLiteral("The number '%1' is not a whole number from %2 to %3.")
            .arg(numberText)
            .arg(std::numeric_limits<std::int32_t>::min())
            .arg(std::numeric_limits<std::int32_t>::max());
    if (numbersInUse.contains(number))
        return QStringLiteral("The number %1 is already used by a photo in the catalogue.").arg(number);
    const QList<qint64> lines = linesOfNumber.value(number);
    if (lines.size() > 1) {
        QStringList others;
        for (const qint64 line : lines)
            if (line != record.line)
                others << QString::number(line);
        return QStringLiteral("The number %1 is also given on line %2.")
            .arg(number)
            .arg(others.join(QStringLiteral(", ")));
    }
    row.Number = std::int32_t(number);

    const QString date = field(DateTaken).trimmed();
    if (!date.isEmpty()) {
        static const QRegularExpression isoDate(QStringLiteral("^\\d{4}-\\d{2}-\\d{2}$"));
        const QDate taken = QDate::fromString(date, Qt::ISODate);
        if (!isoDate.match(date).hasMatch() || !taken.isValid())
            return QStringLiteral("The date taken '%1' is not a real date written YYYY-MM-DD.").arg(date);
        row.DateTaken = taken;
    }

    // Left empty it stays unset, which the catalogue reads as No.
    const QString print = field(PrintLabel).trimmed();
    if (print.compare(u"Yes", Qt::CaseInsensitive) == 0 || print.compare(u"True", Qt::CaseInsensitive) == 0 ||
        print == u"1")
        row.PrintLabel = true;
    else if (print.compare(u"No", Qt::CaseInsensitive) == 0 || print.compare(u"False", Qt::CaseInsensitive) == 0 ||
             print == u"0")
        row.PrintLabel = false;
    else if (!print.isEmpty())
        return QStringLiteral("Print Label is '%1'; it must be Yes or No.").arg(print);

    const QString labels = field(NumberofLabels).trimmed();
    if (!labels.isEmpty()) {
        const qlonglong count = labels.toLongLong(&ok);
        if (!isWholeNumber(labels) || !ok || count < 0 || count > LargestLabelCount)
            return QStringLiteral("The number of labels '%1' is not a whole number from 0 to %2.")
                .arg(labels)
                .arg(LargestLabelCount);
        row.NumberofLabels = count;
    }

    row.Caption = field(Caption);
    row.Comments = field(Comments);
    row.FileName = field(FileName);

    QString reason;
    lists.beginRow();
    row.Location = lists.resolve(CsvEntryKind::State, CsvEntryKind::Location, field(State).trimmed(),
                                 field(Location).trimmed(), reason);
    if (reason.isEmpty())
        row.StorageLocation = lists.resolve(CsvEntryKind::StorageDevice, CsvEntryKind::StorageLocation,
                                            field(StorageDevice).trimmed(), field(StorageLocation).trimmed(), reason);
    if (reason.isEmpty()) {
        for (const SubjectName& subject : splitSubjects(field(Subjects), reason)) {
            row.Subjects.push_back(lists.resolve(CsvEntryKind::Category, CsvEntryKind::Subject, subject.category,
                                                 subject.subject, reason));
            if (!reason.isEmpty())
                break;
        }
    }
    if (!reason.isEmpty())
        lists.undoRow();
    return reason;
}

// ---- Storing -------------------------------------------------------------------------------

struct EntryTable
{
    const char* table;
    const char* name;
    const char* parent; // null for a top-level list
};

EntryTable tableOf(CsvEntryKind kind)
{
    switch (kind) {
    case CsvEntryKind::State:
        return {"States", "State", nullptr};
    case CsvEntryKind::Location:
        return {"Locations", "Location", "StateID"};
    case CsvEntryKind::StorageDevice:
        return {"StorageDevices", "StorageDevice", nullptr};
    case CsvEntryKind::StorageLocation:
        return {"StorageLocations", "StorageLocation", "StorageDeviceID"};
    case CsvEntryKind::Category:
        return {"Categories", "Category", nullptr};
    case CsvEntryKind::Subject:
        break;
    }
    return {"Subjects", "Subject", "CategoryID"};
}

} // namespace

QStringList CsvColumns()
{
    QStringList columns;
    for (const char* name : columnNames)
        columns << QString::fromLatin1(name);
    return columns;
}

QString CsvEntryKindName(CsvEntryKind kind)
{
    switch (kind) {
    case CsvEntryKind::State:
        return QStringLiteral("State");
    case CsvEntryKind::Location:
        return QStringLiteral("Location");
    case CsvEntryKind::StorageDevice:
        return QStringLiteral("Storage Device");
    case CsvEntryKind::StorageLocation:
        return QStringLiteral("Storage Place");
    case CsvEntryKind::Category:
        return QStringLiteral("Category");
    case CsvEntryKind::Subject:
        break;
    }
    return QStringLiteral("Subject");
}

qint64 ExportCatalogueCsv(const QString& path)
{
    const Database& db = gDB->DB();
    CsvWriter writer(db, path);
    Statement photos(db.connection(),
                     QStringLiteral("SELECT ") + photoColumns + QStringLiteral(" FROM Photos ORDER BY PhotoID"));
    // Both in photo order: the links of each photo follow one another, in the order they were made.
    Statement links(db.connection(),
                    QStringLiteral("SELECT PhotoID, SubjectID FROM PhotosSubjects ORDER BY PhotoID, PhotoSubjectID"));
    bool haveLink = links.step();
    std::vector<qint64> subjects;
    while (photos.step()) {
        const qint64 number = photos.int64(0);
        while (haveLink && links.int64(0) < number)
            haveLink = links.step();
        subjects.clear();
        while (haveLink && links.int64(0) == number) {
            subjects.push_back(links.int64(1));
            haveLink = links.step();
        }
        writer.add(photos, subjects);
    }
    return writer.finish();
}

qint64 ExportPhotosCsv(const QString& path, const QList<qint64>& numbers)
{
    const Database& db = gDB->DB();
    CsvWriter writer(db, path);
    Statement photo(db.connection(),
                    QStringLiteral("SELECT ") + photoColumns + QStringLiteral(" FROM Photos WHERE PhotoID = ?"));
    Statement links(db.connection(),
                    QStringLiteral("SELECT SubjectID FROM PhotosSubjects WHERE PhotoID = ? ORDER BY PhotoSubjectID"));
    QSet<qint64> written;
    std::vector<qint64> subjects;
    for (const qint64 number : numbers) {
        if (written.contains(number))
            continue;
        written.insert(number);
        photo.reset();
        photo.bind(1, qlonglong(number));
        if (!photo.step())
            continue;
        subjects.clear();
        links.reset();
        links.bind(1, qlonglong(number));
        while (links.step())
            subjects.push_back(links.int64(0));
        writer.add(photo, subjects);
    }
    return writer.finish();
}

CsvImportPlan PlanCsvImport(const QString& path)
{
    CsvReader reader(readText(path));
    const std::array<int, ColumnCount> place = readHeader(reader, path);

    std::vector<Record> records;
    QHash<qint64, QList<qint64>> linesOfNumber;
    Record record;
    while (reader.next(record)) {
        if (record.error.isEmpty()) {
            const int number = place[Number];
            if (number < record.fields.size()) {
                bool ok = false;
                const QString text = record.fields.at(number).trimmed();
                const qlonglong value = text.toLongLong(&ok);
                if (ok && isWholeNumber(text))
                    linesOfNumber[value] << record.line;
            }
        }
        records.push_back(std::move(record));
    }

    const Database& db = gDB->DB();
    CsvImportPlan plan;
    QSet<qint64> numbersInUse;
    {
        Statement numbers(db.connection(), QStringLiteral("SELECT PhotoID FROM Photos"));
        while (numbers.step())
            numbersInUse.insert(numbers.int64(0));
    }
    EntryLists lists(plan, db);
    qsizetype headerSize = 0;
    for (const int index : place)
        headerSize += index >= 0 ? 1 : 0;

    for (const Record& row : records) {
        const int numberIndex = place[Number];
        const QString numberText = numberIndex < row.fields.size() ? row.fields.at(numberIndex).trimmed() : QString();
        if (!row.error.isEmpty()) {
            plan.Refused.push_back({row.line, numberText, row.error});
            continue;
        }
        if (row.fields.size() != headerSize) {
            plan.Refused.push_back({row.line, numberText,
                                    QStringLiteral("The row has %1 fields; the first line names %2 columns.")
                                        .arg(row.fields.size())
                                        .arg(headerSize)});
            continue;
        }
        CsvPhotoRow photo;
        photo.Line = row.line;
        const QString reason = planRow(row, place, numbersInUse, linesOfNumber, lists, photo);
        if (!reason.isEmpty()) {
            plan.Refused.push_back({row.line, numberText, reason});
            continue;
        }
        plan.Photos.push_back(std::move(photo));
    }
    return plan;
}

ImportResult ImportCsv(const CsvImportPlan& plan, const ImportProgress& progress)
{
    const Database& db = gDB->DB();
    const std::shared_ptr<Connection> connection = db.connection();
    ImportResult result;
    Transaction work(db);

    std::vector<qint64> newIds;
    newIds.reserve(plan.NewEntries.size());
    const auto idOf = [&newIds](const CsvEntryRef& ref) {
        return ref.NewIndex >= 0 ? QVariant(qlonglong(newIds[std::size_t(ref.NewIndex)]))
               : ref.Id != 0     ? QVariant(qlonglong(ref.Id))
                                 : QVariant();
    };
    for (const CsvNewEntry& entry : plan.NewEntries) {
        const EntryTable table = tableOf(entry.Kind);
        const QString sql =
            table.parent ? QStringLiteral("INSERT INTO %1 (%2, %3) VALUES (?, ?)")
                               .arg(QLatin1String(table.table), QLatin1String(table.parent), QLatin1String(table.name))
                         : QStringLiteral("INSERT INTO %1 (%2) VALUES (?)")
                               .arg(QLatin1String(table.table), QLatin1String(table.name));
        Statement insert(connection, sql, EngineOperation::Insert);
        if (table.parent) {
            insert.bind(1, idOf(entry.Parent));
            insert.bind(2, entry.Name);
        } else {
            insert.bind(1, entry.Name);
        }
        insert.run();
        newIds.push_back(sqlite3_last_insert_rowid(insert.db()));
    }

    Statement photo(connection,
                    QStringLiteral("INSERT INTO Photos (") + photoColumns +
                        QStringLiteral(") VALUES (?, ?, ?, ?, ?, ?, ?, ?, ?)"),
                    EngineOperation::Insert);
    Statement link(connection, QStringLiteral("INSERT INTO PhotosSubjects (PhotoID, SubjectID) VALUES (?, ?)"),
                   EngineOperation::Insert);
    const qint64 total = qint64(plan.Photos.size());
    qint64 done = 0;
    for (const CsvPhotoRow& row : plan.Photos) {
        photo.reset();
        photo.bind(1, qlonglong(row.Number));
        photo.bind(2, row.Caption);
        photo.bind(3, idOf(row.Location));
        photo.bind(4, idOf(row.StorageLocation));
        photo.bind(5, row.DateTaken);
        photo.bind(6, row.PrintLabel);
        photo.bind(7, row.NumberofLabels);
        photo.bind(8, row.FileName);
        photo.bind(9, row.Comments);
        photo.run();
        for (const CsvEntryRef& subject : row.Subjects) {
            link.reset();
            link.bind(1, qlonglong(row.Number));
            link.bind(2, idOf(subject));
            link.run();
        }
        ++done;
        if (progress && (done % ProgressStep == 0 || done == total) && !progress(done, total)) {
            result.Cancelled = true;
            return result;
        }
    }
    if (total > 0)
        RefreshImportStatistics(db);
    work.commit();
    result.Added = total;
    return result;
}
