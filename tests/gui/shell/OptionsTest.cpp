#include "core/Settings.h"
#include "core/cOptions.h"
#include "gui/shell/frmOptions.h"
#include "support/Assertions.h"
#include "support/ModalAnswer.h"
#include "support/MainWindowFixture.h"

#include <QAction>
#include <QCheckBox>
#include <QFile>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTest>

namespace {

const QChar copyrightSign(0xA9);

} // namespace

// The options window and the options it stores.
class OptionsTest : public QObject
{
    Q_OBJECT

private slots:
    void init() { m_folder = std::make_unique<TestProgramFolder>(); }
    void cleanup() { m_folder.reset(); }

    void withNothingStoredTheDefaultsShowAndCancelStoresNothing()
    {
        frmOptions window;
        QCOMPARE(text(window), QString(copyrightSign));
        QCOMPARE(ticked(window), (QStringList{"chkIncludeLocation", "chkIncludeCopyright", "chkLastLocation",
                                              "chkLastStorageDevice", "chkLastDate", "chkLastComments"}));
        window.findChild<QCheckBox*>(QStringLiteral("chkIncludeDate"))->setChecked(true);
        window.findChild<QPlainTextEdit*>(QStringLiteral("txtCopyright"))->setPlainText(QStringLiteral("mine"));
        window.findChild<QPushButton*>(QStringLiteral("cmdCancel"))->click();
        for (const char* key : {"Copyright", "DateinCaption", "CopyrightinCaption"})
            QCOMPARE(GetSetting(QStringLiteral("Caption"), QString::fromLatin1(key), QStringLiteral("(none)")),
                     QStringLiteral("(none)"));
        QCOMPARE(GetSetting(QStringLiteral("Remember"), QStringLiteral("LastDate"), QStringLiteral("(none)")),
                 QStringLiteral("(none)"));
    }

    void okStoresAllNineOptions()
    {
        SaveSetting(QStringLiteral("Caption"), QStringLiteral("Copyright"), QStringLiteral("(c) Ann"));
        frmOptions window;
        window.findChild<QCheckBox*>(QStringLiteral("chkIncludeDate"))->setChecked(true);
        window.findChild<QCheckBox*>(QStringLiteral("chkLastComments"))->setChecked(false);
        window.findChild<QPushButton*>(QStringLiteral("cmdOK"))->click();
        const cOptions stored;
        QCOMPARE(stored.Copyright, QStringLiteral("(c) Ann"));
        QVERIFY(stored.CopyrightinCaption && stored.DateinCaption && stored.LocationinCaption);
        QVERIFY(stored.LastLocation && stored.LastDate && stored.LastStorageDevice);
        QVERIFY(!stored.lastComments && !stored.lastFilename);
        for (const char* key : {"Caption/CopyrightinCaption", "Caption/DateinCaption", "Caption/LocationinCaption",
                                "Remember/LastLocation", "Remember/LastDate", "Remember/LastStorageDevice",
                                "Remember/lastComments", "Remember/lastFilename"}) {
            const QStringList parts = QString::fromLatin1(key).split(u'/');
            const QString value = GetSetting(parts[0], parts[1]);
            QVERIFY2(value == u"True" || value == u"False", key);
        }
        QVERIFY(!window.isVisible());
    }

    void theCopyrightSignIsAppendedAndCtrlEnterStartsANewLine()
    {
        SaveSetting(QStringLiteral("Caption"), QStringLiteral("Copyright"), QStringLiteral("Ann Lee"));
        frmOptions window;
        window.show();
        auto* insert = window.findChild<QPushButton*>(QStringLiteral("cmdInsert"));
        insert->click();
        insert->click();
        QCOMPARE(text(window), QStringLiteral("Ann Lee") + copyrightSign + copyrightSign);

        auto* box = window.findChild<QPlainTextEdit*>(QStringLiteral("txtCopyright"));
        box->setFocus();
        box->moveCursor(QTextCursor::End);
        QTest::keyClick(box, Qt::Key_Return, Qt::ControlModifier);
        QTest::keyClicks(box, QStringLiteral("2026"));
        QCOMPARE(text(window), QStringLiteral("Ann Lee") + copyrightSign + copyrightSign + u'\n' + u"2026");
        // Enter alone accepts the window, as its OK button.
        QTest::keyClick(box, Qt::Key_Return);
        QCOMPARE(GetSetting(QStringLiteral("Caption"), QStringLiteral("Copyright")),
                 QStringLiteral("Ann Lee") + copyrightSign + copyrightSign + u'\n' + u"2026");
    }

    void storedValuesThatCannotBeReadOpenTheWindowWithItsDefaultsFromMenuAndToolbar()
    {
        // A settings file edited by hand: an option that is no boolean and a place that is no place.
        SaveSetting(QStringLiteral("Remember"), QStringLiteral("LastDate"), QStringLiteral("maybe"));
        SaveSetting(QStringLiteral("StartUp"), QStringLiteral("frmOptionsLeft"), QStringLiteral("left"));
        SaveSetting(QStringLiteral("StartUp"), QStringLiteral("frmOptionsHeight"), QStringLiteral("1e99"));
        prepareProgramRun(*m_folder);
        const auto main = makeMainWindow(*m_folder);
        QStringList shownTicked;
        whenModalShows([&](QWidget* window) {
            QVERIFY(window && window->objectName() == u"frmOptions");
            shownTicked = ticked(*static_cast<frmOptions*>(window));
            window->findChild<QPushButton*>(QStringLiteral("cmdOK"))->click();
        });
        main->findChild<QAction*>(QStringLiteral("mnuToolsOptions"))->trigger();
        QVERIFY(shownTicked.contains(QStringLiteral("chkLastDate")));
        QVERIFY(m_folder->messages().shown().empty());
        QCOMPARE(GetSetting(QStringLiteral("Remember"), QStringLiteral("LastDate")), QStringLiteral("True"));

        // The toolbar button opens the same window modally; OK stores what it shows.
        bool modal = false;
        whenModalShows([&](QWidget* window) {
            QVERIFY(window);
            modal = window->objectName() == u"frmOptions";
            window->findChild<QPushButton*>(QStringLiteral("cmdOK"))->click();
        });
        main->findChild<QAction*>(QStringLiteral("Options"))->trigger();
        QVERIFY(modal);
        QCOMPARE(GetSetting(QStringLiteral("Caption"), QStringLiteral("Copyright")), QString(copyrightSign));
    }

private:
    static QString text(const frmOptions& window)
    {
        return window.findChild<QPlainTextEdit*>(QStringLiteral("txtCopyright"))->toPlainText();
    }

    static QStringList ticked(const frmOptions& window)
    {
        QStringList names;
        for (const char* name : {"chkIncludeLocation", "chkIncludeDate", "chkIncludeCopyright", "chkLastLocation",
                                 "chkLastStorageDevice", "chkLastDate", "chkLastComments", "chkLastFilename"}) {
            if (window.findChild<QCheckBox*>(QString::fromLatin1(name))->isChecked())
                names << QString::fromLatin1(name);
        }
        return names;
    }

    std::unique_ptr<TestProgramFolder> m_folder;
};

int runOptionsTest(int argc, char* argv[])
{
    OptionsTest test;
    return QTest::qExec(&test, argc, argv);
}

#include "OptionsTest.moc"
