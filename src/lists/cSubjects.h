#pragma once

#include "lists/ListRecordset.h"
#include "lists/ListRecords.h"

#include <cstdint>

// The subjects of all categories, in name order. Raises RecordNumber.
class cSubjects final : public ListRecordset<cSubject>
{
public:
    explicit cSubjects(QObject* parent = nullptr);

    cSubject& Subject() { return record(); }
    // Deletes the subject of this name under the category of this name; nothing when there is none.
    // Failures are raised with the source "Subjects": 3200 while photos use it, 13 for an unknown category.
    void Delete(const QString& categoryName, const QString& subjectName);
    // Makes the subject of this name under the category of this name current. Returns whether it exists.
    bool FindFirstSubject(const QString& categoryName, const QString& subjectName);
    // The name of the subject with this id, or the text "False" when there is none.
    QString GetSubject(const QString& subjectId);
    // Whether a subject of this name exists; when it does, it becomes current.
    bool GetSubjectID(const QString& subjectName);
    // Every subject's name with its id as code; failures are raised.
    void FillList(CodedListTarget& list);
    // A node for each subject of the category, keyed TreeNodeKey({root text, category, subject});
    // failures are raised.
    void FillTreeView(TreeTarget& tree, const QString& categoryName, short image, short selectedImage);
    // The names of the subjects of the category with this id.
    void FillListwithSubjects(ListTarget& list, const QString& categoryId);

private:
    std::int16_t categoryIdOf(const QString& categoryName) const;
};
