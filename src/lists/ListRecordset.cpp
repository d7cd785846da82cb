#include "lists/ListRecordset.h"

#include "core/Conversions.h"
#include "core/Failure.h"
#include "core/Messages.h"
#include "core/Settings.h"
#include "data/KeepOneRow.h"
#include "data/cDataBase.h"
#include "lists/ListRecords.h"

namespace {

// The object-error base plus 2512: how the list record sets report failures of their creation.
constexpr long ListsError = -2147218992;

} // namespace

template <typename Record>
ListRecordset<Record>::ListRecordset(ListDefinition<Record> definition, QObject* parent)
    : ListEvents(parent), m_definition(std::move(definition))
{
    try {
        m_rs = gDB->DB().OpenRecordset(TableQuery(m_definition.table, m_definition.nameField), RecordsetType::Dynaset);
    } catch (const Failure& failure) {
        throw Failure(ListsError, m_definition.source, failure.Description());
    }
}

template <typename Record> ListRecordset<Record>::~ListRecordset() = default;

template <typename Record> void ListRecordset<Record>::LoadCurrentRecord()
{
    for (const auto& field : m_definition.readFields)
        m_record.*field.member = toText(m_rs->Value(field.name));
    if (m_definition.raisesRecordNumber)
        emit RecordNumber(QString::number(m_rs->AbsolutePosition() + 1));
}

template <typename Record> void ListRecordset<Record>::WriteCurrentRecord()
{
    try {
        for (const auto& field : m_definition.writeFields)
            m_rs->SetValue(field.name, m_record.*field.member);
        m_rs->Update();
        m_rs->SetBookmark(m_rs->LastModified());
        // A top-level list reads the row back, so its record learns the id the engine gave it.
        if (m_definition.parentIdField.isEmpty())
            LoadCurrentRecord();
    } catch (const Failure& failure) {
        throw failure.withSource(m_definition.source);
    }
}

template <typename Record> void ListRecordset<Record>::Add()
{
    m_rs->AddNew();
    m_record = Record();
}

template <typename Record> void ListRecordset<Record>::Edit()
{
    m_rs->Edit();
}

template <typename Record> void ListRecordset<Record>::GoNext()
{
    m_rs->MoveNext();
    if (m_rs->Eof())
        m_rs->MoveLast();
    LoadCurrentRecord();
}

template <typename Record> void ListRecordset<Record>::GoFirst()
{
    m_rs->MoveFirst();
    LoadCurrentRecord();
}

template <typename Record> void ListRecordset<Record>::GoLast()
{
    m_rs->MoveLast();
    LoadCurrentRecord();
}

template <typename Record> void ListRecordset<Record>::GoPrevious()
{
    m_rs->MovePrevious();
    if (m_rs->Bof())
        m_rs->MoveFirst();
    LoadCurrentRecord();
}

template <typename Record> void ListRecordset<Record>::Save()
{
    if (!m_IsDirty)
        return;
    WriteCurrentRecord();
    m_IsDirty = false;
}

template <typename Record> void ListRecordset<Record>::CancelUpdate()
{
    m_IsDirty = false;
    try {
        m_rs->CancelUpdate();
    } catch (const Failure& failure) {
        // 3020: there was no add or edit to abandon.
        if (failure.Number() != ErrorNumber::UpdateWithoutAddOrEdit)
            throw;
    }
}

template <typename Record> void ListRecordset<Record>::deleteKeepingOne()
{
    try {
        if (DeleteKeepingOneRow(*m_rs, m_definition.atLeastOneText))
            LoadCurrentRecord();
    } catch (const Failure& failure) {
        throw failure.withSource(m_definition.deleteSource);
    }
}

namespace {

std::optional<Bookmark> currentRow(const Recordset& rs)
{
    if (rs.AbsolutePosition() < 0)
        return std::nullopt;
    return rs.GetBookmark();
}

} // namespace

template <typename Record>
bool ListRecordset<Record>::finishFind(const std::optional<Bookmark>& remembered, bool raiseFound)
{
    if (m_rs->NoMatch()) {
        if (remembered)
            m_rs->SetBookmark(*remembered);
        return false;
    }
    LoadCurrentRecord();
    if (raiseFound)
        emit Found();
    return true;
}

template <typename Record> bool ListRecordset<Record>::findFirst(const Criteria& criteria, bool raiseFound)
{
    const auto remembered = currentRow(*m_rs);
    m_rs->FindFirst(criteria);
    return finishFind(remembered, raiseFound);
}

template <typename Record> bool ListRecordset<Record>::findNext(const Criteria& criteria, bool raiseFound)
{
    const auto remembered = currentRow(*m_rs);
    m_rs->FindNext(criteria);
    return finishFind(remembered, raiseFound);
}

template <typename Record> QString ListRecordset<Record>::idOfName(const QString& name, bool raiseFound)
{
    const auto remembered = currentRow(*m_rs);
    m_rs->FindFirst(Criteria::equal(m_definition.nameField, name));
    if (m_rs->NoMatch()) {
        if (remembered)
            m_rs->SetBookmark(*remembered);
        return {};
    }
    LoadCurrentRecord();
    const QString id = toText(m_rs->Value(m_definition.idField));
    if (raiseFound)
        emit Found();
    return id;
}

template <typename Record> bool ListRecordset<Record>::findChild(qint64 parentId, const QString& name)
{
    return findFirst(Criteria::equal(m_definition.nameField, name) &&
                         Criteria::numberEqual(m_definition.parentIdField, parentId),
                     false);
}

template <typename Record> void ListRecordset<Record>::deleteChild(qint64 parentId, const QString& name)
{
    // The row to delete is found without being read, so the only RecordNumber is that of the row after it.
    const auto remembered = currentRow(*m_rs);
    m_rs->FindFirst(Criteria::equal(m_definition.nameField, name) &&
                    Criteria::numberEqual(m_definition.parentIdField, parentId));
    if (m_rs->NoMatch()) {
        if (remembered)
            m_rs->SetBookmark(*remembered);
        return;
    }
    m_rs->Delete();
    m_rs->MoveNext();
    if (m_rs->Eof()) {
        // The list's last row is gone: it ends quietly with no current row.
        if (m_rs->RecordCount() == 0)
            return;
        m_rs->MoveLast();
    }
    LoadCurrentRecord();
}

template <typename Record>
QString ListRecordset<Record>::lookupText(const QString& sql, const QVariantList& parameters,
                                          const QString& field) const
{
    try {
        return toText(gDB->DB().OpenRecordset(sql, parameters)->Value(field));
    } catch (const Failure& failure) {
        if (failure.Number() != ErrorNumber::NoCurrentRecord)
            MsgBox(failure.Description(), MsgButtons::OK, MsgIcon::None, QString::fromUtf16(AppTitle));
        return {};
    }
}

template <typename Record>
void ListRecordset<Record>::fill(const QString& sql, const QVariantList& parameters,
                                 const std::function<void(Recordset&)>& add, FillFailure policy,
                                 const QString& raiseSource, bool skipDuplicateKeys)
{
    // Fills read on a record set of their own, so the main record set never moves.
    runFill([&] { return gDB->DB().OpenRecordset(sql, parameters); }, add, policy, raiseSource, skipDuplicateKeys);
}

template <typename Record>
void ListRecordset<Record>::fillNames(ListTarget& list, FillFailure policy, const QString& raiseSource)
{
    const QString& name = m_definition.nameField;
    fill(
        QStringLiteral("SELECT %1 FROM %2 ORDER BY %1").arg(name, m_definition.table), {},
        [&](Recordset& row) { list.AddItem(row.Value(name).toString()); }, policy, raiseSource);
}

template <typename Record>
void ListRecordset<Record>::fillTopLevelTree(TreeTarget& tree, const QString& parentKey, short image,
                                             short selectedImage, FillFailure policy)
{
    const QString& nameField = m_definition.nameField;
    fill(
        QStringLiteral("SELECT %1 FROM %2 ORDER BY %1").arg(nameField, m_definition.table), {},
        [&](Recordset& row) {
            const QString name = row.Value(nameField).toString();
            tree.AddNode(parentKey, TreeNodeKey({parentKey, name}), name, image, selectedImage);
        },
        policy);
}

namespace {

template <typename Record> QString childrenOfParentNamed(const ListDefinition<Record>& list)
{
    return QStringLiteral("SELECT %2.%3, %2.%4 FROM %1 INNER JOIN %2 ON %1.%5 = %2.%5 WHERE %1.%6 = ? ORDER BY %2.%3")
        .arg(list.parentTable, list.table, list.nameField, list.idField, list.parentIdField, list.parentNameField);
}

} // namespace

template <typename Record>
void ListRecordset<Record>::fillCodedChildren(CodedListTarget& list, const QString& parentName, FillFailure policy)
{
    fill(
        childrenOfParentNamed(m_definition), {parentName},
        [&](Recordset& row) {
            list.AddItem(row.Value(m_definition.nameField).toString(), toText(row.Value(m_definition.idField)));
        },
        policy);
}

template <typename Record>
void ListRecordset<Record>::fillChildNames(ListTarget& list, const QString& parentIdText, FillFailure policy)
{
    if (parentIdText.isEmpty())
        return;
    const QString sql = QStringLiteral("SELECT %1 FROM %2 WHERE %3 = ? ORDER BY %1")
                            .arg(m_definition.nameField, m_definition.table, m_definition.parentIdField);
    runFill([&] { return gDB->DB().OpenRecordset(sql, {toInt32(parentIdText)}); },
            [&](Recordset& row) { list.AddItem(row.Value(m_definition.nameField).toString()); }, policy);
}

template <typename Record>
void ListRecordset<Record>::fillChildTree(TreeTarget& tree, const QString& parentName, short image, short selectedImage,
                                          FillFailure policy, const QString& raiseSource, bool skipDuplicateKeys)
{
    fill(
        childrenOfParentNamed(m_definition), {parentName},
        [&](Recordset& row) {
            const QString name = row.Value(m_definition.nameField).toString();
            const QString root = tree.RootText();
            tree.AddNode(TreeNodeKey({root, parentName}), TreeNodeKey({root, parentName, name}), name, image,
                         selectedImage);
        },
        policy, raiseSource, skipDuplicateKeys);
}

QString TreeNodeKey(const QStringList& path)
{
    QString key;
    for (const QString& text : path)
        key += QString::number(text.size()) + u':' + text;
    return key;
}

void runFill(const std::function<std::unique_ptr<Recordset>()>& open, const std::function<void(Recordset&)>& add,
             FillFailure policy, const QString& raiseSource, bool skipDuplicateKeys)
{
    try {
        const auto rows = open();
        rows->MoveFirst();
        for (; !rows->Eof(); rows->MoveNext()) {
            try {
                add(*rows);
            } catch (const Failure& failure) {
                if (!skipDuplicateKeys || failure.Number() != ErrorNumber::KeyNotUnique)
                    throw;
            }
        }
    } catch (const Failure& failure) {
        // No rows at all is the end of an empty fill, never a failure.
        if (failure.Number() == ErrorNumber::NoCurrentRecord)
            return;
        switch (policy) {
        case FillFailure::Quiet:
            return;
        case FillFailure::Message:
            MsgBox(failure.Description(), MsgButtons::OK, MsgIcon::None, QString::fromUtf16(AppTitle));
            return;
        case FillFailure::Raise:
            throw raiseSource.isEmpty() ? failure : failure.withSource(raiseSource);
        }
    }
}

template class ListRecordset<cCategory>;
template class ListRecordset<cSubject>;
template class ListRecordset<cState>;
template class ListRecordset<cLocation>;
template class ListRecordset<cStorageDevice>;
template class ListRecordset<cStorageLocation>;
