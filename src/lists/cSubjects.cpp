#include "lists/cSubjects.h"

#include "core/Conversions.h"
#include "core/Failure.h"
#include "data/cDataBase.h"
#include "lists/cCategories.h"

cSubjects::cSubjects(QObject* parent)
    : ListRecordset(
          {
              .table = QStringLiteral("Subjects"),
              .nameField = QStringLiteral("Subject"),
              .idField = QStringLiteral("SubjectID"),
              .parentIdField = QStringLiteral("CategoryID"),
              .parentTable = QStringLiteral("Categories"),
              .parentNameField = QStringLiteral("Category"),
              .source = QStringLiteral("Class Subjects"),
              .deleteSource = QStringLiteral("Subjects"),
              .atLeastOneText = {},
              .raisesRecordNumber = true,
              .readFields = {{QStringLiteral("CategoryID"), &cSubject::CategoryID},
                             {QStringLiteral("SubjectID"), &cSubject::SubjectID},
                             {QStringLiteral("Subject"), &cSubject::Subject}},
              .writeFields = {{QStringLiteral("CategoryID"), &cSubject::CategoryID},
                              {QStringLiteral("Subject"), &cSubject::Subject}},
          },
          parent)
{}

std::int16_t cSubjects::categoryIdOf(const QString& categoryName) const
{
    // A category's id travels as a 16-bit number here, so one above 32767 overflows.
    return toInt16(cCategories().GetCategoryID(categoryName));
}

void cSubjects::Delete(const QString& categoryName, const QString& subjectName)
{
    try {
        deleteChild(categoryIdOf(categoryName), subjectName);
    } catch (const Failure& failure) {
        throw failure.withSource(QStringLiteral("Subjects"));
    }
}

bool cSubjects::FindFirstSubject(const QString& categoryName, const QString& subjectName)
{
    return findChild(categoryIdOf(categoryName), subjectName);
}

QString cSubjects::GetSubject(const QString& subjectId)
{
    auto subject = gDB->DB().OpenRecordset(QStringLiteral("SELECT Subject FROM Subjects WHERE SubjectID = ?"),
                                           {toInt32(subjectId)});
    return subject->Eof() ? QStringLiteral("False") : toText(subject->Value(QStringLiteral("Subject")));
}

bool cSubjects::GetSubjectID(const QString& subjectName)
{
    return findFirst(Criteria::equal(QStringLiteral("Subject"), subjectName), false);
}

void cSubjects::FillList(CodedListTarget& list)
{
    fill(
        QStringLiteral("SELECT Subject, SubjectID FROM Subjects ORDER BY Subject"), {},
        [&](Recordset& row) {
            list.AddItem(row.Value(QStringLiteral("Subject")).toString(),
                         toText(row.Value(QStringLiteral("SubjectID"))));
        },
        FillFailure::Raise);
}

void cSubjects::FillTreeView(TreeTarget& tree, const QString& categoryName, short image, short selectedImage)
{
    fillChildTree(tree, categoryName, image, selectedImage, FillFailure::Raise);
}

void cSubjects::FillListwithSubjects(ListTarget& list, const QString& categoryId)
{
    fillChildNames(list, categoryId, FillFailure::Quiet);
}
