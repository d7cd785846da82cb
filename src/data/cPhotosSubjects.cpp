#include "data/cPhotosSubjects.h"

#include "core/Conversions.h"
#include "core/Failure.h"
#include "data/cDataBase.h"

#include <utility>

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
    // The whole link is read before the current one changes.
    cPhotoSubject link;
    link.PhotoSubjectID = toText(m_rs->Value(QStringLiteral("PhotoSubjectId")));
    link.PhotoID = toText(m_rs->Value(QStringLiteral("PhotoID")));
    link.SubjectID = toText(m_rs->Value(QStringLiteral("SubjectID")));
    m_link = std::move(link);
}

void cPhotosSubjects::Add()
{
    m_rs->AddNew();
    m_link = cPhotoSubject();
}

void cPhotosSubjects::Delete(const QString& photoId, const QString& subjectName)
{
    std::int32_t photo = 0;
    try {
        photo = toInt32(photoId);
    } catch (const Failure& failure) {
        // A photo number that is no number has no links.
        if (failure.Number() == ErrorNumber::TypeMismatch || failure.Number() == ErrorNumber::Overflow)
            return;
        throw;
    }
    try {
        const auto subject = gDB->DB().OpenRecordset(TableQuery(QStringLiteral("Subjects"))
                                                         .select(QStringLiteral("SubjectID"))
                                                         .where(QStringLiteral("Subject = ?"), {subjectName}));
        if (subject->Eof())
            return;
        const std::int32_t subjectId = toInt32(subject->Value(QStringLiteral("SubjectID")));
        const auto link =
            gDB->DB().OpenRecordset(TableQuery(QStringLiteral("PhotosSubjects"))
                                        .where(QStringLiteral("PhotoID = ? AND SubjectID = ?"), {photo, subjectId}),
                                    RecordsetType::Dynaset);
        if (link->Eof())
            return;
        link->MoveFirst();
        link->Delete();
        m_rs->Requery();
    } catch (const Failure& failure) {
        // Only a missing subject or link is nothing to do; a link that could not be deleted is reported.
        throw failure.withSource(QStringLiteral("Class PhotosSubjects"));
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
    std::int32_t id = 0;
    try {
        id = toInt32(photoId);
    } catch (const Failure& failure) {
        // A photo number that is no number lists nothing.
        if (failure.Number() == ErrorNumber::TypeMismatch || failure.Number() == ErrorNumber::Overflow)
            return;
        throw;
    }
    const auto names = gDB->DB().OpenRecordset(
        QStringLiteral("SELECT Subjects.Subject FROM PhotosSubjects LEFT JOIN Subjects "
                       "ON Subjects.SubjectID = PhotosSubjects.SubjectID WHERE PhotosSubjects.PhotoID = ? "
                       "ORDER BY PhotosSubjects.rowid"),
        {id});
    for (; !names->Eof(); names->MoveNext()) {
        const QVariant name = names->Value(QStringLiteral("Subject"));
        // A link to a subject that no longer exists shows as "False", as a subject lookup answers.
        list.AddItem(name.isNull() ? QStringLiteral("False") : name.toString());
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

void cPhotosSubjects::Requery()
{
    m_rs->Requery();
}
