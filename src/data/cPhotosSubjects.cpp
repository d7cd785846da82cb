#include "data/cPhotosSubjects.h"

#include "core/Conversions.h"
#include "core/Failure.h"
#include "data/cDataBase.h"

namespace {

// The object-error base plus 3512: how the link record set reports its own failures.
constexpr long PhotosSubjectsError = -2147217992;

TableQuery linksInSubjectOrder()
{
    return TableQuery(QStringLiteral("PhotosSubjects"), QStringLiteral("SubjectID"));
}

} // namespace

cPhotosSubjects::cPhotosSubjects(QObject* parent) : QObject(parent)
{
    try {
        m_rs = gDB->DB().OpenRecordset(linksInSubjectOrder(), RecordsetType::Dynaset);
    } catch (const Failure& failure) {
        throw Failure(PhotosSubjectsError, QStringLiteral("Class PhotosSubjects"), failure.Description());
    }
}

cPhotosSubjects::~cPhotosSubjects() = default;

void cPhotosSubjects::readCurrentRow()
{
    try {
        m_link.PhotoSubjectID = toText(m_rs->Value(QStringLiteral("PhotoSubjectId")));
        m_link.PhotoID = toText(m_rs->Value(QStringLiteral("PhotoID")));
        m_link.SubjectID = toText(m_rs->Value(QStringLiteral("SubjectID")));
    } catch (const Failure&) {
        // A row that cannot be read leaves the rest of the link as it was.
    }
}

void cPhotosSubjects::Add()
{
    m_rs->AddNew();
    m_link = cPhotoSubject();
}

void cPhotosSubjects::Delete(const QString& photoId, const QString& subjectName)
{
    try {
        const auto subject = gDB->DB().OpenRecordset(TableQuery(QStringLiteral("Subjects"))
                                                         .select(QStringLiteral("SubjectID"))
                                                         .where(QStringLiteral("Subject = ?"), {subjectName}));
        const std::int32_t subjectId = toInt32(subject->Value(QStringLiteral("SubjectID")));
        if (subjectId != -1) {
            const auto link = gDB->DB().OpenRecordset(
                TableQuery(QStringLiteral("PhotosSubjects"))
                    .where(QStringLiteral("PhotoID = ? AND SubjectID = ?"), {toInt32(photoId), subjectId}),
                RecordsetType::Dynaset);
            link->MoveFirst();
            link->Delete();
        }
        m_rs->Requery();
    } catch (const Failure&) {
        // No subject of that name, or no such link: there is nothing to delete.
    }
}

void cPhotosSubjects::GoNext()
{
    m_rs->MoveNext();
    if (m_rs->Eof())
        m_rs->MoveLast();
    readCurrentRow();
}

void cPhotosSubjects::GoFirst()
{
    m_rs->MoveFirst();
    readCurrentRow();
}

void cPhotosSubjects::GoLast()
{
    m_rs->MoveLast();
    readCurrentRow();
}

void cPhotosSubjects::GoPrevious()
{
    m_rs->MovePrevious();
    if (m_rs->Bof())
        m_rs->MoveFirst();
    readCurrentRow();
}

void cPhotosSubjects::Save()
{
    if (!m_IsDirty)
        return;
    m_rs->SetValue(QStringLiteral("PhotoID"), toInt32(m_link.PhotoID));
    m_rs->SetValue(QStringLiteral("SubjectID"), toInt32(m_link.SubjectID));
    m_rs->Update();
    m_rs->SetBookmark(m_rs->LastModified());
    m_IsDirty = false;
}

void cPhotosSubjects::FillList(ListTarget& list, const QString& photoId)
{
    try {
        const auto names = gDB->DB().OpenRecordset(
            QStringLiteral("SELECT Subjects.Subject FROM PhotosSubjects LEFT JOIN Subjects "
                           "ON Subjects.SubjectID = PhotosSubjects.SubjectID WHERE PhotosSubjects.PhotoID = ? "
                           "ORDER BY PhotosSubjects.rowid"),
            {toInt32(photoId)});
        for (; !names->Eof(); names->MoveNext()) {
            const QVariant name = names->Value(QStringLiteral("Subject"));
            // A link to a subject that no longer exists shows as "False", as a subject lookup answers.
            list.AddItem(name.isNull() ? QStringLiteral("False") : name.toString());
        }
    } catch (const Failure&) {
        // A photo number that is no number lists nothing.
    }
}

std::unique_ptr<Recordset> cPhotosSubjects::FindPhotoSubjects(std::int32_t photoId)
{
    try {
        return gDB->DB().OpenRecordset(linksInSubjectOrder().where(QStringLiteral("PhotoID = ?"), {photoId}),
                                       RecordsetType::Dynaset);
    } catch (const Failure& failure) {
        throw Failure(PhotosSubjectsError, QStringLiteral("Class PhotosSubjects"), failure.Description());
    }
}
