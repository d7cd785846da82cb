#include "lists/cCategories.h"

cCategories::cCategories(QObject* parent)
    : ListRecordset(
          {
              .table = QStringLiteral("Categories"),
              .nameField = QStringLiteral("Category"),
              .idField = QStringLiteral("CategoryID"),
              .parentIdField = {},
              .parentTable = {},
              .parentNameField = {},
              .source = QStringLiteral("Class Categories"),
              .deleteSource = QStringLiteral("Categories"),
              .atLeastOneText = QStringLiteral(" requires at least one Category."),
              .raisesRecordNumber = true,
              .readFields = {{QStringLiteral("CategoryID"), &cCategory::CategoryID},
                             {QStringLiteral("Category"), &cCategory::Category}},
              .writeFields = {{QStringLiteral("Category"), &cCategory::Category}},
          },
          parent)
{}

void cCategories::Delete()
{
    deleteKeepingOne();
}

void cCategories::FillTreeView(TreeTarget& tree, const QString& parentKey, short image, short selectedImage)
{
    fillTopLevelTree(tree, parentKey, image, selectedImage, FillFailure::Quiet);
}

bool cCategories::FindCategory(const QString& field, const QString& value)
{
    return findNext(Criteria::equal(field, value), true);
}

bool cCategories::FindFirstCategory(const QString& field, const QString& value)
{
    return findFirst(Criteria::equal(field, value), true);
}

QString cCategories::GetCategoryID(const QString& name)
{
    return idOfName(name, true);
}
