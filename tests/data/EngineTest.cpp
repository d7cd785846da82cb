#include "data/Database.h"
#include "data/cDataBase.h"
#include "support/Assertions.h"
#include "support/CatalogueQueries.h"
#include "support/CatalogueTestCase.h"

#include <QDate>
#include <QTest>

namespace {

TableQuery photosInOrder()
{
    return TableQuery(QStringLiteral("Photos"), QStringLiteral("PhotoID"));
}

qlonglong photoId(const Recordset& rs)
{
    return rs.Value(QStringLiteral("PhotoID")).toLongLong();
}

} // namespace

// The engine layer's record sets, told through the catalogue's Photos table (seven sample photos,
// numbered 1 to 7).
class EngineTest : public CatalogueTestCase
{
    Q_OBJECT

private slots:
    void movesStopAtEitherEndAndThereIsNoRowToReadThere()
    {
        auto rs = db().OpenRecordset(photosInOrder(), RecordsetType::Dynaset);
        QCOMPARE(rs->RecordCount(), 7);
        QCOMPARE(photoId(*rs), 1);
        QVERIFY(!rs->Bof() && !rs->Eof());

        rs->MovePrevious();
        QVERIFY(rs->Bof());
        QCOMPARE(rs->AbsolutePosition(), -1);
        QVERIFY_FAILURE(rs->Value(QStringLiteral("Caption")), ErrorNumber::NoCurrentRecord);
        QVERIFY_FAILURE(rs->MovePrevious(), ErrorNumber::NoCurrentRecord);
        rs->MoveNext();
        QCOMPARE(photoId(*rs), 1);

        rs->MoveLast();
        QCOMPARE(photoId(*rs), 7);
        QCOMPARE(rs->AbsolutePosition(), 6);
        rs->MoveNext();
        QVERIFY(rs->Eof() && !rs->Bof());
        QVERIFY_FAILURE(rs->Value(QStringLiteral("PhotoID")), ErrorNumber::NoCurrentRecord);
        QVERIFY_FAILURE(rs->MoveNext(), ErrorNumber::NoCurrentRecord);
        rs->MovePrevious();
        QCOMPARE(photoId(*rs), 7);

        auto empty = db().OpenRecordset(TableQuery(QStringLiteral("Photos")).where(QStringLiteral("PhotoID < ?"), {0}),
                                        RecordsetType::Dynaset);
        QVERIFY(empty->Eof() && empty->Bof());
        QCOMPARE(empty->RecordCount(), 0);
        QVERIFY_FAILURE(empty->MoveFirst(), ErrorNumber::NoCurrentRecord);
        QVERIFY_FAILURE(empty->MoveLast(), ErrorNumber::NoCurrentRecord);
        QVERIFY_FAILURE(empty->MoveNext(), ErrorNumber::NoCurrentRecord);
    }

    void findsUseTheWildcardsWithoutRegardToCase_data()
    {
        QTest::addColumn<int>("type");
        QTest::addColumn<QString>("pattern");
        QTest::addColumn<int>("expected"); // 0: no match

        const QList<std::pair<QString, int>> cases{
            {QStringLiteral("*lake*"), 2},
            {QStringLiteral("*LIGHT*"), 1},
            {QStringLiteral("portland head light"), 6},
            {QStringLiteral("Grandma?s*"), 3},
            {QStringLiteral("*#0th*"), 3},
            {QStringLiteral("*[gh]ighway #"), 5},
            {QStringLiteral("[a-c]*"), 2},
            {QStringLiteral("[!a-p]*"), 7},
            {QStringLiteral("Fog"), 0},
        };
        for (const auto& [pattern, expected] : cases) {
            QTest::addRow("dynaset %s", qPrintable(pattern)) << int(RecordsetType::Dynaset) << pattern << expected;
            QTest::addRow("snapshot %s", qPrintable(pattern)) << int(RecordsetType::Snapshot) << pattern << expected;
        }
    }
    void findsUseTheWildcardsWithoutRegardToCase()
    {
        QFETCH(int, type);
        QFETCH(QString, pattern);
        QFETCH(int, expected);
        auto rs = db().OpenRecordset(photosInOrder(), RecordsetType(type));
        rs->MoveLast();
        rs->FindFirst(Criteria::like(QStringLiteral("caption"), pattern));
        QCOMPARE(rs->NoMatch(), expected == 0);
        // A miss leaves the row where it was.
        QCOMPARE(photoId(*rs), expected == 0 ? 7 : expected);
    }

    void findsStepForwardAndBackFromTheCurrentRow()
    {
        for (const auto type : {RecordsetType::Dynaset, RecordsetType::Snapshot}) {
            auto rs = db().OpenRecordset(photosInOrder(), type);
            const Criteria light = Criteria::like(QStringLiteral("Caption"), QStringLiteral("*light*"));
            rs->FindFirst(light);
            QCOMPARE(photoId(*rs), 1);
            rs->FindNext(light);
            QCOMPARE(photoId(*rs), 6);
            rs->FindNext(light);
            QVERIFY(rs->NoMatch());
            QCOMPARE(photoId(*rs), 6);
            rs->FindPrevious(light);
            QCOMPARE(photoId(*rs), 1);
            rs->FindLast(light);
            QCOMPARE(photoId(*rs), 6);

            // Equality ignores case; joined with a number it needs both.
            rs->FindFirst(Criteria::equal(QStringLiteral("Caption"), QStringLiteral("fog over the golden gate")));
            QCOMPARE(photoId(*rs), 4);
            rs->FindFirst(Criteria::like(QStringLiteral("Caption"), QStringLiteral("*")) &&
                          Criteria::numberEqual(QStringLiteral("PhotoID"), 5));
            QCOMPARE(photoId(*rs), 5);
            rs->FindFirst(Criteria::equal(QStringLiteral("Caption"), QStringLiteral("Fog over the Golden Gate")) &&
                          Criteria::numberEqual(QStringLiteral("PhotoID"), 5));
            QVERIFY(rs->NoMatch());
        }
    }

    void textWithQuotesIsAValueAndNeverSql()
    {
        const QString awkward = QStringLiteral("O'Brien's \"big\" day'); DROP TABLE Photos; -- \\");
        addPhoto(50, awkward);
        for (const auto type : {RecordsetType::Dynaset, RecordsetType::Snapshot}) {
            auto rs = db().OpenRecordset(photosInOrder(), type);
            rs->FindFirst(Criteria::equal(QStringLiteral("Caption"), awkward));
            QCOMPARE(photoId(*rs), 50);
            rs->MoveFirst();
            rs->FindFirst(Criteria::like(QStringLiteral("Caption"), QStringLiteral("O'Brien's \"big\"*")));
            QCOMPARE(photoId(*rs), 50);
            // A field name is looked up among the columns, never pasted into the query.
            QVERIFY_FAILURE(rs->FindFirst(Criteria::like(QStringLiteral("Caption) OR (1=1"), QStringLiteral("x"))),
                            ErrorNumber::UnknownCriteriaField);
            QVERIFY_FAILURE(rs->Value(QStringLiteral("Caption; DROP TABLE Photos")), ErrorNumber::UnknownField);
        }
        QCOMPARE(db().OpenRecordset(photosInOrder())->RecordCount(), 8);
    }

    void fieldsAreNamedWithoutRegardToCase()
    {
        auto rs = db().OpenRecordset(photosInOrder(), RecordsetType::Dynaset);
        QCOMPARE(rs->Value(QStringLiteral("CAPTION")), rs->Value(QStringLiteral("Caption")));
        QCOMPARE(rs->Value(QStringLiteral("Photos.PhotoID")).toInt(), 1);
        QCOMPARE(rs->Value(QStringLiteral("StorageLocationId")), rs->Value(QStringLiteral("StorageLocationID")));
        QCOMPARE(rs->FieldNames(), (QStringList{"PhotoID", "Caption", "LocationID", "StorageLocationID", "DateTaken",
                                                "PrintLabel", "NumberofLabels", "FileName", "Comments"}));
    }

    void bookmarksReturnToTheirRowWhereverItMoved()
    {
        auto rs = db().OpenRecordset(photosInOrder(), RecordsetType::Dynaset);
        rs->MoveNext();
        rs->MoveNext();
        const Bookmark third = rs->GetBookmark();
        addPhoto(0, QStringLiteral("before all others"), *rs);
        rs->MoveLast();
        rs->SetBookmark(third);
        QCOMPARE(photoId(*rs), 3);
        QCOMPARE(rs->AbsolutePosition(), 3);

        rs->Delete();
        QVERIFY_FAILURE(rs->SetBookmark(third), ErrorNumber::InvalidBookmark);
        rs->MoveLast();
        rs->MoveNext();
        QVERIFY_FAILURE(rs->GetBookmark(), ErrorNumber::NoCurrentRecord);
    }

    void addedRowsTakeTheirPlaceAndTheCurrentRowStays()
    {
        auto rs = db().OpenRecordset(photosInOrder(), RecordsetType::Dynaset);
        rs->MoveNext();
        rs->MoveNext(); // photo 3
        rs->AddNew();
        rs->SetValue(QStringLiteral("PhotoID"), 100);
        rs->SetValue(QStringLiteral("Caption"), QStringLiteral("New"));
        QCOMPARE(rs->Value(QStringLiteral("Caption")).toString(), QStringLiteral("New"));
        rs->Update();
        QCOMPARE(photoId(*rs), 3);

        rs->SetBookmark(rs->LastModified());
        QCOMPARE(photoId(*rs), 100);
        QCOMPARE(rs->AbsolutePosition(), 7);
        QVERIFY(rs->Value(QStringLiteral("LocationID")).isNull());

        // A new first row moves the current one down a place without changing it.
        rs->MoveFirst();
        rs->MoveNext();
        addPhoto(-5, QStringLiteral("negative"), *rs);
        QCOMPARE(photoId(*rs), 2);
        QCOMPARE(rs->AbsolutePosition(), 2);
        rs->MoveFirst();
        QCOMPARE(photoId(*rs), -5);
        QCOMPARE(rs->RecordCount(), 9);
    }

    void editsAreStoredAndARenumberedRowKeepsTheOrder()
    {
        auto rs = db().OpenRecordset(photosInOrder(), RecordsetType::Dynaset);
        rs->MoveNext(); // photo 2
        rs->Edit();
        rs->SetValue(QStringLiteral("Caption"), QStringLiteral("Geese"));
        rs->SetValue(QStringLiteral("DateTaken"), QDate(1999, 12, 31));
        rs->SetValue(QStringLiteral("LocationID"), QVariant());
        rs->SetValue(QStringLiteral("PrintLabel"), false);
        rs->Update();
        QCOMPARE(rs->Value(QStringLiteral("Caption")).toString(), QStringLiteral("Geese"));
        QCOMPARE(rs->Value(QStringLiteral("DateTaken")).toDate(), QDate(1999, 12, 31));
        QVERIFY(rs->Value(QStringLiteral("LocationID")).isNull());
        QCOMPARE(rs->Value(QStringLiteral("PrintLabel")), QVariant(false));
        QCOMPARE(rs->LastModified(), rs->GetBookmark());

        rs->Edit();
        rs->SetValue(QStringLiteral("PhotoID"), 50);
        rs->Update();
        QCOMPARE(photoId(*rs), 50);
        QCOMPARE(rs->AbsolutePosition(), 6);
        rs->MovePrevious();
        QCOMPARE(photoId(*rs), 7);

        // Another record set reading the table sees the stored values.
        auto other = db().OpenRecordset(photosInOrder());
        other->FindFirst(Criteria::numberEqual(QStringLiteral("PhotoID"), 50));
        QCOMPARE(other->Value(QStringLiteral("Caption")).toString(), QStringLiteral("Geese"));
        QCOMPARE(other->Value(QStringLiteral("DateTaken")).toDate(), QDate(1999, 12, 31));
    }

    void pendingChangesAreAbandonedByCancelAndByMoves()
    {
        auto rs = db().OpenRecordset(photosInOrder(), RecordsetType::Dynaset);
        QVERIFY_FAILURE(rs->Update(), ErrorNumber::UpdateWithoutAddOrEdit);
        QVERIFY_FAILURE(rs->CancelUpdate(), ErrorNumber::UpdateWithoutAddOrEdit);
        QVERIFY_FAILURE(rs->SetValue(QStringLiteral("Caption"), QStringLiteral("x")),
                        ErrorNumber::UpdateWithoutAddOrEdit);

        rs->Edit();
        rs->SetValue(QStringLiteral("Caption"), QStringLiteral("changed"));
        rs->CancelUpdate();
        QCOMPARE(rs->Value(QStringLiteral("Caption")).toString(),
                 QStringLiteral("Pemaquid Point Light at dusk, Maine"));

        rs->AddNew();
        rs->SetValue(QStringLiteral("PhotoID"), 200);
        rs->MoveLast();
        QVERIFY_FAILURE(rs->Update(), ErrorNumber::UpdateWithoutAddOrEdit);
        QCOMPARE(rs->RecordCount(), 7);
        rs->Requery();
        QCOMPARE(rs->RecordCount(), 7);
    }

    void aDynasetSeesOtherRecordSetsRowsOnlyAfterRequery()
    {
        auto mine = db().OpenRecordset(photosInOrder(), RecordsetType::Dynaset);
        auto other = db().OpenRecordset(photosInOrder(), RecordsetType::Dynaset);
        addPhoto(300, QStringLiteral("added elsewhere"), *other);
        QCOMPARE(mine->RecordCount(), 7);
        mine->FindFirst(Criteria::numberEqual(QStringLiteral("PhotoID"), 300));
        QVERIFY(mine->NoMatch());
        mine->Requery();
        QCOMPARE(mine->RecordCount(), 8);
        QCOMPARE(photoId(*mine), 1);
        mine->FindFirst(Criteria::numberEqual(QStringLiteral("PhotoID"), 300));
        QVERIFY(!mine->NoMatch());

        // A row deleted elsewhere stays in the keyset but reads as deleted.
        other->FindFirst(Criteria::numberEqual(QStringLiteral("PhotoID"), 4));
        other->Delete();
        mine->FindFirst(Criteria::numberEqual(QStringLiteral("PhotoID"), 3));
        mine->MoveNext();
        QCOMPARE(mine->AbsolutePosition(), 3);
        QVERIFY_FAILURE(mine->Value(QStringLiteral("Caption")), ErrorNumber::RecordDeleted);
        QVERIFY_FAILURE(mine->Edit(), ErrorNumber::RecordDeleted);
        mine->MoveNext();
        QCOMPARE(photoId(*mine), 5);
    }

    void aDeletedRowLeavesTheKeysetAndTheNextMoveFindsItsNeighbour()
    {
        auto rs = db().OpenRecordset(photosInOrder(), RecordsetType::Dynaset);
        rs->MoveNext();
        rs->MoveNext(); // photo 3
        rs->Delete();
        QCOMPARE(rs->RecordCount(), 6);
        QVERIFY(!rs->Eof() && !rs->Bof());
        QVERIFY_FAILURE(rs->Value(QStringLiteral("Caption")), ErrorNumber::RecordDeleted);
        QVERIFY_FAILURE(rs->Delete(), ErrorNumber::RecordDeleted);
        rs->MoveNext();
        QCOMPARE(photoId(*rs), 4);
        rs->Delete();
        rs->MovePrevious();
        QCOMPARE(photoId(*rs), 2);

        // Deleting the last row: the next move passes the end.
        rs->MoveLast();
        rs->Delete();
        rs->MoveNext();
        QVERIFY(rs->Eof());
        rs->MoveLast();
        QCOMPARE(photoId(*rs), 6);

        auto only = db().OpenRecordset(TableQuery(QStringLiteral("Photos")).where(QStringLiteral("PhotoID = ?"), {6}),
                                       RecordsetType::Dynaset);
        only->Delete();
        only->MoveNext();
        QVERIFY(only->Eof() && only->Bof());
    }

    void refusalsCarryTheirNumbers()
    {
        auto photos = db().OpenRecordset(photosInOrder(), RecordsetType::Dynaset);
        photos->AddNew();
        photos->SetValue(QStringLiteral("PhotoID"), 2);
        QVERIFY_FAILURE(photos->Update(), ErrorNumber::DuplicateValue);
        // The refused row is still pending: it can be corrected and stored.
        photos->SetValue(QStringLiteral("PhotoID"), 20);
        photos->Update();
        QCOMPARE(photos->RecordCount(), 8);

        photos->MoveFirst();
        photos->Edit();
        photos->SetValue(QStringLiteral("PhotoID"), 20);
        QVERIFY_FAILURE(photos->Update(), ErrorNumber::DuplicateValue);
        photos->CancelUpdate();

        photos->Edit();
        photos->SetValue(QStringLiteral("LocationID"), 9999);
        QVERIFY_FAILURE(photos->Update(), ErrorNumber::RelatedRowRequired);
        QVERIFY_FAILURE(photos->SetValue(QStringLiteral("PhotoID"), QStringLiteral("abc")), ErrorNumber::TypeMismatch);
        QVERIFY_FAILURE(photos->SetValue(QStringLiteral("PhotoID"), QStringLiteral("3000000000")),
                        ErrorNumber::Overflow);
        QVERIFY_FAILURE(photos->SetValue(QStringLiteral("NumberofLabels"), 40000), ErrorNumber::Overflow);
        QVERIFY_FAILURE(photos->SetValue(QStringLiteral("DateTaken"), QStringLiteral("yesterday")),
                        ErrorNumber::TypeMismatch);
        QVERIFY_FAILURE(photos->SetValue(QStringLiteral("NoSuchField"), 1), ErrorNumber::UnknownField);
        photos->CancelUpdate();

        auto locations = db().OpenRecordset(TableQuery(QStringLiteral("Locations"), QStringLiteral("Location")),
                                            RecordsetType::Dynaset);
        locations->FindFirst(Criteria::equal(QStringLiteral("Location"), QStringLiteral("Big Sur")));
        QVERIFY_FAILURE(locations->Delete(), ErrorNumber::RowStillReferenced);
        QCOMPARE(locations->Value(QStringLiteral("Location")).toString(), QStringLiteral("Big Sur"));

        auto categories = db().OpenRecordset(TableQuery(QStringLiteral("Categories")), RecordsetType::Dynaset);
        categories->AddNew();
        QVERIFY_FAILURE(categories->Update(), ErrorNumber::RequiredField);

        auto snapshot = db().OpenRecordset(photosInOrder());
        QVERIFY_FAILURE(snapshot->AddNew(), ErrorNumber::ReadOnly);
        QVERIFY_FAILURE(snapshot->Edit(), ErrorNumber::ReadOnly);
        QVERIFY_FAILURE(snapshot->Delete(), ErrorNumber::ReadOnly);
    }

    void aTransactionStoresOnlyWhatItCommits()
    {
        {
            Transaction work(db());
            db().Execute(QStringLiteral("INSERT INTO Photos (PhotoID) VALUES (?)"), {400});
        }
        QCOMPARE(countRows(QStringLiteral("SELECT * FROM Photos")), 7);

        try {
            Transaction work(db());
            db().Execute(QStringLiteral("INSERT INTO Photos (PhotoID) VALUES (?)"), {401});
            db().Execute(QStringLiteral("INSERT INTO Photos (PhotoID) VALUES (?)"), {401});
            work.commit();
            QFAIL("the duplicate was stored");
        } catch (const Failure& failure) {
            QCOMPARE(failure.Number(), long(ErrorNumber::DuplicateValue));
        }
        QCOMPARE(countRows(QStringLiteral("SELECT * FROM Photos")), 7);

        {
            Transaction outer(db());
            db().Execute(QStringLiteral("INSERT INTO Photos (PhotoID) VALUES (?)"), {402});
            {
                Transaction inner(db());
                db().Execute(QStringLiteral("INSERT INTO Photos (PhotoID) VALUES (?)"), {403});
            }
            outer.commit();
            QVERIFY_FAILURE(outer.commit(), ErrorNumber::NoTransaction);
        }
        QCOMPARE(countRows(QStringLiteral("SELECT * FROM Photos")), 8);
        auto rs = db().OpenRecordset(photosInOrder());
        rs->MoveLast();
        QCOMPARE(photoId(*rs), 402);
    }

    void aDynasetForgetsTheRowsOfUndoneWork()
    {
        auto rs = db().OpenRecordset(photosInOrder(), RecordsetType::Dynaset);
        const auto agreesWithTheTable = [&] {
            QList<qlonglong> shown;
            for (rs->MoveFirst(); !rs->Eof(); rs->MoveNext())
                shown << photoId(*rs);
            QCOMPARE(rs->RecordCount(), shown.size());
            QCOMPARE(shown, photoIds());
        };

        // Rows added in a unit that is undone leave, the current one among them.
        rs->MoveLast();
        {
            Transaction work(db());
            addPhoto(100, QStringLiteral("Undone"), *rs);
            addPhoto(50, QStringLiteral("Undone too"), *rs);
            rs->SetBookmark(rs->LastModified());
            QCOMPARE(rs->RecordCount(), 9);
        }
        QCOMPARE(rs->RecordCount(), 7);
        QVERIFY_FAILURE(rs->Value(QStringLiteral("PhotoID")), ErrorNumber::RecordDeleted);
        QVERIFY_FAILURE(rs->LastModified(), ErrorNumber::NoCurrentRecord);
        rs->MovePrevious();
        QCOMPARE(photoId(*rs), 7);
        rs->FindFirst(Criteria::numberEqual(QStringLiteral("PhotoID"), 100));
        QVERIFY(rs->NoMatch());
        agreesWithTheTable();

        // A failure passing through undoes the unit; a row current before it stays current, and a
        // change to it that was undone is not shown.
        rs->MoveFirst();
        rs->MoveNext();
        const QVariant caption = rs->Value(QStringLiteral("Caption"));
        const auto failure = failureOf([&] {
            Transaction work(db());
            rs->Edit();
            rs->SetValue(QStringLiteral("Caption"), QStringLiteral("Undone caption"));
            rs->Update();
            addPhoto(1, QStringLiteral("Duplicate"), *rs);
            work.commit();
        });
        QVERIFY(failure && failure->Number() == ErrorNumber::DuplicateValue);
        rs->CancelUpdate();
        QCOMPARE(photoId(*rs), 2);
        QCOMPARE(rs->AbsolutePosition(), 1);
        QCOMPARE(rs->Value(QStringLiteral("Caption")), caption);
        {
            Transaction work(db());
            addPhoto(150, QStringLiteral("Undone at the end"), *rs);
            rs->MoveLast();
            rs->MoveNext();
        }
        QVERIFY(rs->Eof());
        rs->MovePrevious();
        QCOMPARE(photoId(*rs), 7);

        // Nested units: what an inner unit stored goes with the outer one, and what was stored for
        // good stays when a later unit is undone.
        {
            Transaction outer(db());
            addPhoto(300, QStringLiteral("Stored"), *rs);
            {
                Transaction inner(db());
                addPhoto(310, QStringLiteral("Stored inside"), *rs);
                inner.commit();
            }
            {
                Transaction inner(db());
                addPhoto(320, QStringLiteral("Undone inside"), *rs);
            }
            outer.commit();
        }
        {
            Transaction outer(db());
            {
                Transaction inner(db());
                addPhoto(400, QStringLiteral("Undone with the outer unit"), *rs);
                inner.commit();
            }
        }
        QCOMPARE(rs->RecordCount(), 9);
        agreesWithTheTable();
    }

    void aFilterOpensANewRecordSetOfTheRowsThatMeetIt()
    {
        for (const auto type : {RecordsetType::Dynaset, RecordsetType::Snapshot}) {
            db().Execute(QStringLiteral("UPDATE Photos SET FileName = ? WHERE PhotoID IN (2, 5)"),
                         {QStringLiteral("/pictures/a.jpg")});
            db().Execute(QStringLiteral("UPDATE Photos SET FileName = '' WHERE PhotoID = 3"));
            auto all = db().OpenRecordset(photosInOrder(), type);
            auto withFiles = all->OpenFiltered(Criteria::notEqual(QStringLiteral("FileName"), QString()));
            QCOMPARE(withFiles->RecordCount(), 2);
            QCOMPARE(photoId(*withFiles), 2);
            withFiles->MoveNext();
            QCOMPARE(photoId(*withFiles), 5);
            QCOMPARE(all->RecordCount(), 7);

            auto narrower = withFiles->OpenFiltered(Criteria::numberEqual(QStringLiteral("PhotoID"), 5));
            QCOMPARE(narrower->RecordCount(), 1);
            narrower->Requery();
            QCOMPARE(narrower->RecordCount(), 1);
        }
    }

    void recordSetsOfAClosedCatalogueRefuseWork()
    {
        auto rs = db().OpenRecordset(photosInOrder(), RecordsetType::Dynaset);
        db().Close();
        QVERIFY_FAILURE(rs->MoveNext(), ErrorNumber::ObjectClosed);
        QVERIFY_FAILURE(gDB->DB(), ErrorNumber::ObjectNotSet);
    }

private:
    Database& db() { return gDB->DB(); }

    // The photo numbers the table holds, in order.
    QList<qlonglong> photoIds()
    {
        QList<qlonglong> ids;
        auto rows = db().OpenRecordset(QStringLiteral("SELECT PhotoID FROM Photos ORDER BY PhotoID"));
        for (; !rows->Eof(); rows->MoveNext())
            ids << photoId(*rows);
        return ids;
    }

    void addPhoto(int id, const QString& caption)
    {
        auto rs = db().OpenRecordset(photosInOrder(), RecordsetType::Dynaset);
        addPhoto(id, caption, *rs);
    }

    static void addPhoto(int id, const QString& caption, Recordset& rs)
    {
        rs.AddNew();
        rs.SetValue(QStringLiteral("PhotoID"), id);
        rs.SetValue(QStringLiteral("Caption"), caption);
        rs.Update();
    }
};

int runEngineTest(int argc, char* argv[])
{
    EngineTest test;
    return QTest::qExec(&test, argc, argv);
}

#include "EngineTest.moc"
