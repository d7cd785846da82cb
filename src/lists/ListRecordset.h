#pragma once

#include "data/FillTargets.h"
#include "data/Recordset.h"

#include <QObject>
#include <QString>
#include <QStringList>

#include <functional>
#include <memory>
#include <optional>
#include <vector>

// The events every list record set may raise (each list says which it does).
class ListEvents : public QObject
{
    Q_OBJECT

public:
    using QObject::QObject;

signals:
    // The 1-based position of the current row.
    void RecordNumber(const QString& number);
    void Found();
};

// How a fill treats a failure other than "no rows" (which always ends it quietly).
enum class FillFailure {
    Quiet,   // the fill ends; the rows already added stay; nothing is reported
    Message, // a message with the failure's description, then the fill ends
    Raise,   // raised to the caller
};

// What tells one reference list from another.
template <typename Record> struct ListDefinition
{
    struct Field
    {
        QString name;
        QString Record::*member;
    };

    QString table;
    QString nameField;
    QString idField;
    QString parentIdField;   // empty for the top-level lists
    QString parentTable;     // the dependent lists' parent: "Categories"
    QString parentNameField; // and its name field: "Category"
    QString source;          // "Class Categories": failures of creating and saving
    QString deleteSource;    // "Categories": failures of deleting
    QString atLeastOneText;  // " requires at least one Category."; empty: no row is kept
    bool raisesRecordNumber = true;
    std::vector<Field> readFields;  // in the order the row is read
    std::vector<Field> writeFields; // the fields the program owns, in the order written
};

// The behaviour the six reference lists share: a dynaset over the whole table in name order with a
// current row mirrored in a record of text properties, moves, add, edit and save, and finds.
template <typename Record> class ListRecordset : public ListEvents
{
public:
    ~ListRecordset() override;

    bool IsDirty() const { return m_IsDirty; }
    void setIsDirty(bool dirty) { m_IsDirty = dirty; }

    // Starts a new row; the record becomes empty.
    void Add();
    // Starts changing the current row.
    void Edit();
    // Moves stop at either end: GoNext on the last row stays there and reports its number again.
    void GoNext();
    void GoFirst();
    void GoLast();
    void GoPrevious();
    // Stores the new or changed row when IsDirty: 3022 for a name already in use. Failures keep IsDirty.
    void Save();
    // Abandons a pending add or edit and clears IsDirty, so that nothing of a failed save is left
    // for the next one to store. Nothing happens when no change is pending.
    void CancelUpdate();

protected:
    ListRecordset(ListDefinition<Record> definition, QObject* parent);

    Record& record() { return m_record; }
    const ListDefinition<Record>& definition() const { return m_definition; }

    void LoadCurrentRecord();
    // The top-level lists' delete: refuses the last row with a message.
    void deleteKeepingOne();
    // Makes the first row whose field equals the value (without regard to capitals) current;
    // false, with the current row unchanged, when there is none.
    bool findFirst(const Criteria& criteria, bool raiseFound);
    bool findNext(const Criteria& criteria, bool raiseFound);
    // The id of the row with this name, made current; empty text when there is none.
    QString idOfName(const QString& name, bool raiseFound);
    // The dependent lists' find and delete of a row by its parent's id and its own name.
    bool findChild(qint64 parentId, const QString& name);
    void deleteChild(qint64 parentId, const QString& name);

    // The text of a field of a lookup query's first row: empty when there is no row, and empty after
    // a message for any other failure.
    QString lookupText(const QString& sql, const QVariantList& parameters, const QString& field) const;
    // Adds every row's name to a pick list, in name order.
    void fillNames(ListTarget& list, FillFailure policy, const QString& raiseSource = {});
    // Adds a node for every row under the node keyed parentKey, keyed TreeNodeKey({parentKey, name}).
    void fillTopLevelTree(TreeTarget& tree, const QString& parentKey, short image, short selectedImage,
                          FillFailure policy);
    // The dependent lists' fills: the rows under the parent of this name (names and ids), and the
    // names of the rows under the parent of this id (nothing when the id is empty).
    void fillCodedChildren(CodedListTarget& list, const QString& parentName, FillFailure policy);
    void fillChildNames(ListTarget& list, const QString& parentIdText, FillFailure policy);
    // Adds a node for each row under the parent of this name, below the parent's node
    // TreeNodeKey({root text, parent name}), keyed TreeNodeKey({root text, parent name, name}).
    void fillChildTree(TreeTarget& tree, const QString& parentName, short image, short selectedImage,
                       FillFailure policy, const QString& raiseSource = {}, bool skipDuplicateKeys = false);
    // A fill of a pick list or tree from a query on the lookup record set.
    void fill(const QString& sql, const QVariantList& parameters, const std::function<void(Recordset&)>& add,
              FillFailure policy, const QString& raiseSource = {}, bool skipDuplicateKeys = false);

    std::unique_ptr<Recordset> m_rs;

private:
    void WriteCurrentRecord();
    bool finishFind(const std::optional<Bookmark>& remembered, bool raiseFound);

    ListDefinition<Record> m_definition;
    Record m_record;
    bool m_IsDirty = false;
};

// The key of a tree node from the texts on its path (the root's key, then the names below it). Each
// text goes after its length, so two different paths never share a key, whatever the names hold.
QString TreeNodeKey(const QStringList& path);

// Runs a fill: opens its rows, then calls add for each row until the end, under the given policy
// (raised failures get raiseSource when it is not empty). With skipDuplicateKeys, a row whose node
// key is taken (35602) is left out and the fill goes on.
void runFill(const std::function<std::unique_ptr<Recordset>()>& open, const std::function<void(Recordset&)>& add,
             FillFailure policy, const QString& raiseSource = {}, bool skipDuplicateKeys = false);
