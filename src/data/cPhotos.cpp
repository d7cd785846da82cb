#include "data/cPhotos.h"

#include "core/Conversions.h"
#include "core/Failure.h"
#include "data/KeepOneRow.h"
#include "data/cDataBase.h"

#include <optional>
#include <utility>

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
    // The whole row is read before the current photo changes, so that a row that cannot be read is
    // never shown half over the photo before it.
    cPhoto row;
    row.PhotoID = toInt32(toText(m_rs->Value(QStringLiteral("PhotoID"))));
    row.Caption = toText(m_rs->Value(QStringLiteral("Caption")));
    row.FileName = toText(m_rs->Value(QStringLiteral("FileName")));
    row.Comments = toText(m_rs->Value(QStringLiteral("Comments")));
    const QVariant location = m_rs->Value(QStringLiteral("LocationID"));
    row.LocationID = location.isNull() ? -1 : toInt32(location);
    const QVariant storageLocation = m_rs->Value(QStringLiteral("StorageLocationId"));
    row.StorageLocationID = storageLocation.isNull() ? -1 : toInt32(storageLocation);
    const QVariant printLabel = m_rs->Value(QStringLiteral("PrintLabel"));
    row.PrintLabel = !printLabel.isNull() && printLabel.toBool() ? 1 : 0;
    const QVariant labels = m_rs->Value(QStringLiteral("NumberofLabels"));
    row.NumberofLabels = labels.isNull() ? std::int16_t(-1) : toInt16(labels);
    row.DateTaken = m_rs->Value(QStringLiteral("DateTaken"));
    m_photo = std::move(row);
    raiseRecordNumber();
}

void cPhotos::moveAndRead(const std::function<void()>& move)
{
    std::optional<Bookmark> before;
    try {
        before = m_rs->GetBookmark();
    } catch (const Failure& failure) {
        // Before the first move, or after a delete, there is no photo to go back to.
        if (failure.Number() != ErrorNumber::NoCurrentRecord && failure.Number() != ErrorNumber::RecordDeleted)
            throw;
    }
    move();
    try {
        readCurrentRow();
    } catch (const Failure&) {
        // The record set goes back to the photo still held, so that a save cannot write that photo
        // over the row that could not be read.
        if (before)
            m_rs->SetBookmark(*before);
        throw;
    }
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
    moveAndRead([this] {
        m_rs->MoveNext();
        if (m_rs->Eof())
            m_rs->MoveLast();
    });
}

void cPhotos::GoFirst()
{
    moveAndRead([this] { m_rs->MoveFirst(); });
}

void cPhotos::GoLast()
{
    moveAndRead([this] { m_rs->MoveLast(); });
}

void cPhotos::GoPrevious()
{
    moveAndRead([this] {
        m_rs->MovePrevious();
        if (m_rs->Bof())
            m_rs->MoveFirst();
    });
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
    try {
        readCurrentRow();
    } catch (const Failure&) {
        m_rs->SetBookmark(remembered);
        throw;
    }
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

void cPhotos::Requery(std::int32_t photoId)
{
    m_rs->Requery();
    if (m_rs->Eof())
        return;
    m_rs->FindFirst(Criteria::numberEqual(QStringLiteral("PhotoID"), photoId));
}
