#include "data/cDataBase.h"
#include "labels/cLabels.h"
#include "support/Assertions.h"
#include "support/CatalogueTestCase.h"

#include <QTest>

// The label list. In the sample catalogue photo 1 is marked for two labels and photo 2 for one.
class LabelsTest : public CatalogueTestCase
{
    Q_OBJECT

private slots:
    void init()
    {
        openFreshCatalogue();
        m_labels = std::make_unique<cLabels>();
        m_events.clear();
        connect(m_labels.get(), &cLabels::LabelCount, this, [this](const QString& n) { m_events << u"Labels " + n; });
        connect(m_labels.get(), &cLabels::PhotoCount, this, [this](const QString& n) { m_events << u"Photos " + n; });
    }
    void cleanup()
    {
        m_labels.reset();
        m_folder.reset();
    }

    void skippedPositionsComeFirstThenTheLabelsEachPhotoIsMarkedFor()
    {
        m_labels->MakeLabels(3);
        const QString first = QStringLiteral("Pemaquid Point Light at dusk, Maine");
        const QString second = QStringLiteral("Canada geese over Lake Itasca");
        QCOMPARE(labels(), (QStringList{" ", " ", " ", first, first, second}));
        QCOMPARE(m_events, (QStringList{"Photos 2", "Labels 6"}));

        // Making labels again adds to those already there.
        m_labels->MakeLabels(0);
        QCOMPARE(labels().size(), 9);

        // Photos marked for no labels, or for fewer than none, get none.
        m_labels->DeleteLabels();
        gDB->DB().Execute(QStringLiteral("UPDATE Photos SET NumberofLabels = 0 WHERE PhotoID = 1"));
        gDB->DB().Execute(QStringLiteral("UPDATE Photos SET PrintLabel = 1, NumberofLabels = -2 WHERE PhotoID = 3"));
        m_events.clear();
        m_labels->MakeLabels(0);
        QCOMPARE(labels(), QStringList{second});
        QCOMPARE(m_events, (QStringList{"Photos 3", "Labels 1"}));
    }

    void withNoMarkedPhotoTheSkippedPositionsStayAndNoCountsCome()
    {
        gDB->DB().Execute(QStringLiteral("UPDATE Photos SET PrintLabel = 0"));
        QVERIFY_FAILURE(m_labels->MakeLabels(2), ErrorNumber::NoCurrentRecord);
        QCOMPARE(labels(), (QStringList{" ", " "}));
        QVERIFY(m_events.isEmpty());
    }

    void aMarkedPhotoWithoutACountStopsTheLabelsThere()
    {
        gDB->DB().Execute(QStringLiteral("UPDATE Photos SET NumberofLabels = NULL WHERE PhotoID = 2"));
        gDB->DB().Execute(QStringLiteral("UPDATE Photos SET PrintLabel = 1, NumberofLabels = 1 WHERE PhotoID = 3"));
        QVERIFY_FAILURE(m_labels->MakeLabels(1), ErrorNumber::InvalidUseOfNull);
        const QString first = QStringLiteral("Pemaquid Point Light at dusk, Maine");
        QCOMPARE(labels(), (QStringList{" ", first, first}));
        QVERIFY(m_events.isEmpty());
    }

    void deletingLabelsEmptiesTheTable()
    {
        m_labels->DeleteLabels();
        QCOMPARE(m_events, QStringList{"Labels 0"});
        m_labels->MakeLabels(1);
        m_events.clear();
        m_labels->DeleteLabels();
        QVERIFY(labels().isEmpty());
        QVERIFY(m_events.isEmpty());
        // A fresh label list sees an empty table too.
        cLabels again;
        again.MakeLabels(0);
        QCOMPARE(labels().size(), 3);
    }

    void clearingUnmarksEveryPhotoAndEmptiesTheLabels()
    {
        m_labels->MakeLabels(2);
        m_events.clear();
        m_labels->ClearAllLabelsForPrinting();
        QVERIFY(labels().isEmpty());
        QCOMPARE(gDB->DB().OpenRecordset(QStringLiteral("SELECT * FROM Photos WHERE PrintLabel = 1"))->RecordCount(),
                 0);
        QCOMPARE(m_events, (QStringList{"Photos 0", "Labels 0"}));
        // Clearing with nothing marked and no labels is no failure.
        m_events.clear();
        m_labels->ClearAllLabelsForPrinting();
        QCOMPARE(m_events, (QStringList{"Photos 0", "Labels 0"}));
    }

private:
    static QStringList labels()
    {
        QStringList texts;
        auto rows = gDB->DB().OpenRecordset(QStringLiteral("SELECT Label FROM Labels ORDER BY rowid"));
        for (; !rows->Eof(); rows->MoveNext())
            texts << rows->Value(QStringLiteral("Label")).toString();
        return texts;
    }

    std::unique_ptr<cLabels> m_labels;
    QStringList m_events;
};

int runLabelsTest(int argc, char* argv[])
{
    LabelsTest test;
    return QTest::qExec(&test, argc, argv);
}

#include "LabelsTest.moc"
