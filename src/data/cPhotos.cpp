#include "data/cPhotos.h"

#include "core/Conversions.h"
#include "core/Failure.h"
#include "data/KeepOneRow.h"
#include "data/cDataBase.h"

namespace {

// The object-error base plus 2512: how the photo record set reports its own failures.
constexpr long PhotosError = -2147218992;

QString pattern(QString value)
{
    // In photo finds an apostrophe stands for any run of characters, like "*".
    return value.replace(u'\'', u'*');
}

} // namespace

cPhotos::cPhotos(QObject* parent) : QObject(parent)
{
    try {
        m_rs = gDB->DB().OpenRecordset(TableQuery(QStringLiteral("Photos"), QStringLiteral("PhotoID")),
                                       RecordsetType::Dynaset);
    } catch (const Failure& failure) {
        throw Failure(PhotosError, QStringLiteral(" Class Photos "), failure.Description());
    }
}

cPhotos::~cPhotos() = default;

void cPhotos::raiseRecordNumber()
{
    emit RecordNumber(QString::number(m_rs->AbsolutePosition() + 1));
}

void cPhotos::readCurrentRow()
{
    // A failing step ends the read: the fields not yet read keep their values and no event is raised.
    try {
        m_photo.PhotoID = toInt32(toText(m_rs->Value(QStringLiteral("PhotoID"))));
        m_photo.Caption = toText(m_rs->Value(QStringLiteral("Caption")));
        m_photo.FileName = toText(m_rs->Value(QStringLiteral("FileName")));
        m_photo.Comments = toText(m_rs->Value(QStringLiteral("Comments")));
        const QVariant location = m_rs->Value(QStringLiteral("LocationID"));
        m_photo.LocationID = location.isNull() ? -1 : toInt32(location);
        const QVariant storageLocation = m_rs->Value(QStringLiteral("StorageLocationId"));
        m_photo.StorageLocationID = storageLocation.isNull() ? -1 : toInt32(storageLocation);
        const QVariant printLabel = m_rs->Value(QStringLiteral("PrintLabel"));
        m_photo.PrintLabel = !printLabel.isNull() && printLabel.toBool() ? 1 : 0;
        const QVariant labels = m_rs->Value(QStringLiteral("NumberofLabels"));
        m_photo.NumberofLabels = labels.isNull() ? std::int16_t(-1) : toInt16(labels);
        m_photo.DateTaken = m_rs->Value(QStringLiteral("DateTaken"));
    } catch (const Failure&) {
        return;
    }
    raiseRecordNumber();
}

void cPhotos::Add()
{
    m_rs->AddNew();
    m_photo = cPhoto();
}

void cPhotos::Edit()
{
    m_rs->Edit();
}

void cPhotos::Delete()
{
    try {
        if (!DeleteKeepingOneRow(*m_rs, QStringLiteral(" requires at least one Photo.")))
            return;
        readCurrentRow();
        raiseRecordNumber();
    } catch (const Failure& failure) {
        throw Failure(PhotosError, QStringLiteral("Class Photos"), failure.Description());
    }
}

void cPhotos::GoNext()
{
    m_rs->MoveNext();
    if (m_rs->Eof())
        m_rs->MoveLast();
    readCurrentRow();
}

void cPhotos::GoFirst()
{
    m_rs->MoveFirst();
    readCurrentRow();
}

void cPhotos::GoLast()
{
    m_rs->MoveLast();
    readCurrentRow();
}

void cPhotos::GoPrevious()
{
    m_rs->MovePrevious();
    if (m_rs->Bof())
        m_rs->MoveFirst();
    readCurrentRow();
}

void cPhotos::Save()
{
    if (!m_IsDirty)
        return;
    try {
        m_rs->SetValue(QStringLiteral("PhotoID"), m_photo.PhotoID);
        m_rs->SetValue(QStringLiteral("Caption"), m_photo.Caption);
        m_rs->SetValue(QStringLiteral("LocationID"), m_photo.LocationID == -1 ? QVariant() : m_photo.LocationID);
        m_rs->SetValue(QStringLiteral("StorageLocationID"),
                       m_photo.StorageLocationID == -1 ? QVariant() : m_photo.StorageLocationID);
        m_rs->SetValue(QStringLiteral("DateTaken"), m_photo.DateTaken);
        m_rs->SetValue(QStringLiteral("PrintLabel"), m_photo.PrintLabel == 1);
        m_rs->SetValue(QStringLiteral("NumberofLabels"),
                       m_photo.NumberofLabels == -1 ? QVariant() : QVariant(m_photo.NumberofLabels));
        m_rs->SetValue(QStringLiteral("FileName"), m_photo.FileName);
        m_rs->SetValue(QStringLiteral("Comments"), m_photo.Comments);
        m_rs->Update();
        m_rs->SetBookmark(m_rs->LastModified());
        raiseRecordNumber();
    } catch (const Failure& failure) {
        throw failure.withSource(QStringLiteral("Class Photos"));
    }
    m_IsDirty = false;
}

bool cPhotos::FindPhoto(const QString& field, const QString& value)
{
    const Bookmark current = m_rs->GetBookmark();
    const Criteria criteria = Criteria::like(field, pattern(value));
    m_rs->FindNext(criteria);
    if (m_rs->NoMatch()) {
        // The search wraps to the start, the first photo included.
        m_rs->FindFirst(criteria);
    }
    return finishFind(current);
}

bool cPhotos::FindFirstPhoto(const QString& field, const QString& value)
{
    const Bookmark current = m_rs->GetBookmark();
    m_rs->FindFirst(Criteria::like(field, pattern(value)));
    return finishFind(current);
}

bool cPhotos::finishFind(const Bookmark& remembered)
{
    if (m_rs->NoMatch()) {
        m_rs->SetBookmark(remembered);
        return false;
    }
    readCurrentRow();
    emit Found();
    return true;
}

std::int32_t cPhotos::GetLastPhotoID()
{
    const Bookmark current = m_rs->GetBookmark();
    m_rs->MoveLast();
    const std::int32_t last = toInt32(m_rs->Value(QStringLiteral("PhotoID")));
    m_rs->SetBookmark(current);
    return last;
}
