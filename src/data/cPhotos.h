#pragma once

#include "data/Recordset.h"

#include <QObject>
#include <QString>
#include <QVariant>

#include <cstdint>
#include <functional>
#include <memory>

// One photo as the program holds it: a missing location, storage location or label count is -1 and
// a missing date is Null.
struct cPhoto
{
    std::int32_t PhotoID = 0;
    QString FileName;
    QString Comments;
    std::int32_t LocationID = -1;
    QString Caption;
    std::int32_t StorageLocationID = -1;
    QVariant DateTaken;
    std::int16_t PrintLabel = 0;
    std::int16_t NumberofLabels = 0;
};

// The photos in number order, one of them current.
class cPhotos final : public QObject
{
    Q_OBJECT

public:
    // Opens the photos of gDB; raises -2147218992 with the source " Class Photos " when it cannot.
    explicit cPhotos(QObject* parent = nullptr);
    ~cPhotos() override;

    // The current photo: read from the current row by every move and find, emptied by Add.
    cPhoto& Photo() { return m_photo; }
    bool IsDirty() const { return m_IsDirty; }
    void setIsDirty(bool dirty) { m_IsDirty = dirty; }

    // Starts a new photo; Save stores it.
    void Add();
    // Starts changing the current photo; Save stores it.
    void Edit();
    // Deletes the current photo unless it is the only one, which is refused with a message.
    void Delete();
    // Moves stop at either end: GoNext on the last photo stays there and reports its number again.
    // A row that cannot be read whole raises its failure and leaves the current photo as it was.
    void GoNext();
    void GoFirst();
    void GoLast();
    void GoPrevious();
    // Stores the new or changed photo when IsDirty; failures are raised with the source "Class Photos"
    // and leave IsDirty set (3022 for a number already in use).
    void Save();
    // The next photo after the current one whose field matches the pattern, wrapping to the first;
    // an apostrophe in the value stands for any run of characters. Returns whether one was found.
    bool FindPhoto(const QString& field, const QString& value);
    // The first photo whose field matches the pattern. Returns whether one was found.
    bool FindFirstPhoto(const QString& field, const QString& value);
    // The highest photo number; the current photo does not change.
    std::int32_t GetLastPhotoID();
    // Runs the query again (after work that was rolled back) and makes the photo with this number
    // current again, the first photo when it is gone; the current photo is not read.
    void Requery(std::int32_t photoId);

signals:
    // The 1-based position of the current photo.
    void RecordNumber(const QString& number);
    void Found();

private:
    // Reads the current row whole into the current photo, or raises and leaves the photo as it was.
    void readCurrentRow();
    // Moves, then reads; a row that cannot be read leaves the record set on the photo held before.
    void moveAndRead(const std::function<void()>& move);
    bool finishFind(const Bookmark& remembered);
    void raiseRecordNumber();

    std::unique_ptr<Recordset> m_rs;
    cPhoto m_photo;
    bool m_IsDirty = false;
};
