#pragma once

#include "data/cDataBase.h"

#include <QStringList>
#include <QVariant>

// What the catalogue holds, asked directly, so that tests check what a window stored.

inline int countRows(const QString& sql, const QVariantList& parameters = {})
{
    return int(gDB->DB().OpenRecordset(sql, parameters)->RecordCount());
}

// A field of the photo with this number.
inline QVariant photoField(int photoId, const char* name)
{
    return gDB->DB()
        .OpenRecordset(QStringLiteral("SELECT * FROM Photos WHERE PhotoID = ?"), {photoId})
        ->Value(QString::fromLatin1(name));
}

// The names of the subjects linked to the photo, in name order (a subject linked twice, twice).
inline QStringList linkedSubjects(int photoId)
{
    QStringList names;
    auto rows = gDB->DB().OpenRecordset(QStringLiteral("SELECT Subject FROM Subjects JOIN PhotosSubjects USING "
                                                       "(SubjectID) WHERE PhotoID = ? ORDER BY Subject"),
                                        {photoId});
    for (; !rows->Eof(); rows->MoveNext())
        names << rows->Value(QStringLiteral("Subject")).toString();
    return names;
}
