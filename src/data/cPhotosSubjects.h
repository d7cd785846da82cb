#pragma once

#include "data/FillTargets.h"
#include "data/Recordset.h"

#include <QObject>
#include <QString>

#include <cstdint>
#include <memory>

// One link between a photo and a subject; every field as decimal text.
struct cPhotoSubject
{
    QString PhotoSubjectID;
    QString PhotoID;
    QString SubjectID;
};

// The links between photos and subjects, in subject order. Raises no events.
class cPhotosSubjects final : public QObject
{
    Q_OBJECT

public:
    // Opens the links of gDB; raises -2147217992 with the source "Class PhotosSubjects" when it cannot.
    explicit cPhotosSubjects(QObject* parent = nullptr);
    ~cPhotosSubjects() override;

    cPhotoSubject& PhotoSubject() { return m_link; }
    bool IsDirty() const { return m_IsDirty; }
    void setIsDirty(bool dirty) { m_IsDirty = dirty; }

    // Starts a new link; Save stores it.
    void Add();
    // Deletes the link between the photo with this number and the subject of this name. Nothing
    // happens when there is no such subject or link; a link that cannot be deleted raises its failure.
    void Delete(const QString& photoId, const QString& subjectName);
    void GoNext();
    void GoFirst();
    void GoLast();
    void GoPrevious();
    // Stores the new link when IsDirty; numbers that are no numbers raise 13 and keep IsDirty.
    void Save();
    // Adds the names of the photo's subjects to the list (which is not cleared first); a photo number
    // that is no number lists nothing, and a failure of the engine is raised.
    void FillList(ListTarget& list, const QString& photoId);
    // A new updatable record set of the photo's links, in subject order.
    std::unique_ptr<Recordset> FindPhotoSubjects(std::int32_t photoId);
    // Runs the query again, after work that was rolled back.
    void Requery();

private:
    void readCurrentRow();

    std::unique_ptr<Recordset> m_rs;
    cPhotoSubject m_link;
    bool m_IsDirty = false;
};
