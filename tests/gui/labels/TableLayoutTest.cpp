#include "gui/labels/LabelReport.h"
#include "gui/labels/TableReport.h"
#include "support/Assertions.h"
#include "support/FileFaults.h"

#include <QTemporaryDir>
#include <QTest>

// The table layout of report files: the delivered inventory layout and hand-written ones read,
// and every file that is no table refused with its reason, the label grid's files included.
class TableLayoutTest : public QObject
{
    Q_OBJECT

private slots:
    void goodFilesAreReadAsWritten()
    {
        const TableSheet inventory = TableSheet::Load(QStringLiteral(VELLARO_INVENTORY_FILE));
        QCOMPARE(inventory.title, QStringLiteral("Vellaro Inventory"));
        QCOMPARE(inventory.page.id(), QPageSize::Letter);
        QVERIFY(!inventory.landscape);
        QCOMPARE(inventory.fontFamily, QStringLiteral("Arial"));
        QCOMPARE(inventory.fontPoints, 9.0);
        QCOMPARE(inventory.headingPoints, 13.0);
        QCOMPARE(inventory.cellLines, 3);
        QCOMPARE(
            QList<double>({inventory.marginLeft, inventory.marginRight, inventory.marginTop, inventory.marginBottom}),
            QList<double>({0.6, 0.6, 0.6, 0.6}));
        QCOMPARE(describe(inventory.columns), QStringLiteral("number 0.7 Number|caption 3.2 Caption|date 0.95 Date "
                                                             "Taken|state 1.05 State|location 1.4 Location"));

        // Defaults, a heading holding a comma, keys in any case, comments and blank lines; on A4
        // turned sideways a table wider than the paper upright fits.
        const TableSheet written = load("# A wide list\n\nLAYOUT = Table\npage = a4\nOrientation = Landscape\n"
                                        "font = DejaVu Sans # the body\nfont-size = 10.5\n"
                                        "column = Caption, 8.5, Caption, or what is written on the back\n"
                                        "column = number,1,No.\n");
        QCOMPARE(written.page.id(), QPageSize::A4);
        QVERIFY(written.landscape);
        QVERIFY(written.paperInches().width() > written.paperInches().height());
        QCOMPARE(written.fontFamily, QStringLiteral("DejaVu Sans"));
        QCOMPARE(written.headingPoints, 10.5);
        QCOMPARE(written.cellLines, 3);
        QCOMPARE(written.marginLeft + written.marginRight + written.marginTop + written.marginBottom, 2.0);
        QCOMPARE(describe(written.columns),
                 QStringLiteral("caption 8.5 Caption, or what is written on the back|number 1 No."));
        QCOMPARE(written.title, QString());
    }

    void filesThatAreNoTableAreRefusedWithTheirReason()
    {
        const QByteArray table = "layout = table\nfont = Arial\nfont-size = 9\n";
        const struct
        {
            QByteArray content;
            const char* reason;
        } cases[] = {
            {"font = Arial\nfont-size = 9\ncolumn = number, 1, No.\n", "it is a labels layout"},
            {"layout = grid\n", "it is a grid layout"},
            {table + "column = number, 1, No.\ncolumns = 4\n", "the key columns is unknown"},
            {table + "column = number, 1, No.\nthe end\n", "\"the end\" is no setting"},
            {table + "column = number, 1\n", "the column \"number, 1\" is not \"field, width, heading\""},
            {table + "column = , 1, No.\n", "the column \", 1, No.\" is not \"field, width, heading\""},
            {table + "column = number, wide, No.\n", "column is no length in inches"},
            {table + "column = number, 0.05, No.\n", "the column number is too narrow"},
            {table + "column = caption, 7.6, Caption\n", "its columns are wider than the page"},
            {table + "column = caption, 7.1, Caption\nmargin-left = 1\n", "its columns are wider than the page"},
            {table + "column = number, 1, No.\nmargin-top = 5\nmargin-bottom = 5.5\n",
             "its margins leave no room for a row"},
            {table + "column = number, 1, No.\ncell-lines = 0\n", "cell-lines is no count"},
            {table + "column = number, 1, No.\norientation = sideways\n",
             "the orientation sideways is neither portrait nor landscape"},
            {table + "column = number, 1, No.\npage = tabloid\n", "the page tabloid is unknown"},
            {"layout = table\ncolumn = number, 1, No.\n", "it needs columns and a font"},
            {table, "it needs columns and a font"},
        };
        for (const auto& bad : cases) {
            QVERIFY(writeFile(m_folder.filePath(QStringLiteral("bad.rpt")), bad.content));
            const auto failure = failureOf([&] { TableSheet::Load(m_folder.filePath(QStringLiteral("bad.rpt"))); });
            QVERIFY2(failure, bad.content.constData());
            QCOMPARE(failure->Number(), ErrorNumber::ReportFileInvalid);
            QVERIFY2(failure->Description().contains(u"is no table layout: " + QString::fromUtf8(bad.reason)),
                     qPrintable(failure->Description()));
        }
        QVERIFY_FAILURE(TableSheet::Load(m_folder.filePath(QStringLiteral("none.rpt"))),
                        ErrorNumber::ReportFileNotFound);

        // Each layout refuses the other's file.
        const auto labels = failureOf([] { LabelSheet::Load(QStringLiteral(VELLARO_INVENTORY_FILE)); });
        QVERIFY(labels && labels->Description().endsWith(u"is no label layout: it is a table layout."));
        QVERIFY_FAILURE(TableSheet::Load(QStringLiteral(VELLARO_REPORT_FILE)), ErrorNumber::ReportFileInvalid);

        // A column may only name a field the program gives it.
        TableReport report;
        report.setReportFile(QStringLiteral(VELLARO_INVENTORY_FILE));
        const QStringList fields{QStringLiteral("number"), QStringLiteral("Caption"), QStringLiteral("date"),
                                 QStringLiteral("state")};
        const auto missing = failureOf([&] { report.setRows(fields, {}); });
        QVERIFY(missing && missing->Number() == ErrorNumber::ReportFileInvalid);
        QVERIFY2(missing->Description().contains(u"column location names no field"),
                 qPrintable(missing->Description()));
        report.setRows(fields + QStringList{QStringLiteral("LOCATION")}, {{"1", "a", "b", "c", "d"}});
        QCOMPARE(report.rowCount(), 1);
    }

private:
    TableSheet load(const QByteArray& content)
    {
        const QString file = m_folder.filePath(QStringLiteral("good.rpt"));
        if (!writeFile(file, content))
            qFatal("cannot write %s", qPrintable(file));
        return TableSheet::Load(file);
    }

    static QString describe(const QList<TableColumn>& columns)
    {
        QStringList parts;
        for (const TableColumn& column : columns)
            parts << column.field + u' ' + QString::number(column.width) + u' ' + column.heading;
        return parts.join(u'|');
    }

    QTemporaryDir m_folder;
};

int runTableLayoutTest(int argc, char* argv[])
{
    TableLayoutTest test;
    return QTest::qExec(&test, argc, argv);
}

#include "TableLayoutTest.moc"
