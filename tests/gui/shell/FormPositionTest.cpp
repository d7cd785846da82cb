#include "gui/shell/FormPosition.h"
#include "core/Settings.h"

#include <QMainWindow>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QSettings>
#include <QTemporaryDir>
#include <QTest>

// Windows' places kept in the settings store, in twips (15 to a pixel).
class FormPositionTest : public QObject
{
    Q_OBJECT

private slots:
    void init()
    {
        m_store = std::make_unique<QTemporaryDir>();
        QSettings::setPath(QSettings::IniFormat, QSettings::UserScope, m_store->path());
        m_main = std::make_unique<QMainWindow>();
        m_main->setObjectName(QStringLiteral("mdiMain"));
        m_main->setGeometry(100, 50, 800, 600);
        m_main->show();
    }
    void cleanup() { m_main.reset(); }

    void aWindowComesBackWhereItWasLeft()
    {
        {
            QWidget window;
            window.setObjectName(QStringLiteral("frmOptions"));
            window.setGeometry(200, 150, 300, 200);
            SaveFormPosition(&window);
        }
        QCOMPARE(stored("frmOptionsTop"), QString::number(150 * 15));
        QCOMPARE(stored("frmOptionsLeft"), QString::number(200 * 15));
        QCOMPARE(stored("frmOptionsHeight"), QString::number(200 * 15));
        QCOMPARE(stored("frmOptionsWidth"), QString::number(300 * 15));
        QCOMPARE(stored("frmOptionsMaximized"), QStringLiteral("FALSE"));

        const auto again = restored("frmOptions");
        QCOMPARE(again->pos(), QPoint(200, 150));
        QCOMPARE(again->size(), QSize(300, 200));
    }

    void aWindowWithNothingStoredIsCentredOverTheMainWindow()
    {
        const auto window = restored("frmAdd");
        QCOMPARE(window->size(), QSize(200, 100));
        QCOMPARE(window->pos(), m_main->pos() + QPoint((800 - 200) / 2, (600 - 100) / 2));
    }

    void aNegativeEdgeComesBackToZero()
    {
        SaveSetting(QStringLiteral("StartUp"), QStringLiteral("frmFindTop"), QStringLiteral("-3000"));
        SaveSetting(QStringLiteral("StartUp"), QStringLiteral("frmFindLeft"), QStringLiteral("1500"));
        QCOMPARE(restored("frmFind")->pos(), QPoint(100, 0));

        // Both edges at 0: the window outside the main window is centred.
        SaveSetting(QStringLiteral("StartUp"), QStringLiteral("frmFindLeft"), QStringLiteral("-15"));
        QCOMPARE(restored("frmFind")->pos(), m_main->pos() + QPoint(300, 250));
    }

    void aWindowInsideTheMainWindowKeepsItsDesignedPlace()
    {
        auto* area = new QMdiArea(m_main.get());
        m_main->setCentralWidget(area);
        auto* form = new QWidget;
        form->setObjectName(QStringLiteral("frmExplorer"));
        QMdiSubWindow* frame = area->addSubWindow(form);
        frame->setGeometry(0, 0, 320, 240);
        RestoreFormPosition(form);
        QCOMPARE(frame->pos(), QPoint(0, 0));
        frame->move(30, 40);
        SaveFormPosition(form);
        QCOMPARE(stored("frmExplorerTop"), QString::number(40 * 15));
        QCOMPARE(stored("frmExplorerLeft"), QString::number(30 * 15));
    }

    void aMaximisedWindowOpensMaximisedAndKeepsItsNormalPlaceStored()
    {
        SaveSetting(QStringLiteral("StartUp"), QStringLiteral("frmPhotosTop"), QStringLiteral("1500"));
        SaveSetting(QStringLiteral("StartUp"), QStringLiteral("frmPhotosMaximized"), QStringLiteral("TRUE"));
        QWidget window;
        window.setObjectName(QStringLiteral("frmPhotos"));
        window.move(7, 9);
        RestoreFormPosition(&window);
        QVERIFY(window.windowState() & Qt::WindowMaximized);
        QCOMPARE(window.pos(), QPoint(7, 9)); // the stored edges wait for a normal window

        window.showMaximized();
        SaveFormPosition(&window);
        QCOMPARE(stored("frmPhotosMaximized"), QStringLiteral("TRUE"));
    }

    void aStoredPlaceThatCannotBeUsedCountsAsNoneStored()
    {
        // Text, a number beyond any whole number, and sizes no screen could have: the window keeps
        // its own size and, with no edge to go by, is centred.
        SaveSetting(QStringLiteral("StartUp"), QStringLiteral("frmListsTop"), QStringLiteral("abc"));
        SaveSetting(QStringLiteral("StartUp"), QStringLiteral("frmListsLeft"), QStringLiteral("99999999999"));
        SaveSetting(QStringLiteral("StartUp"), QStringLiteral("frmListsWidth"), QStringLiteral("wide"));
        SaveSetting(QStringLiteral("StartUp"), QStringLiteral("frmListsHeight"), QStringLiteral("1e9"));
        const auto window = restored("frmLists");
        QCOMPARE(window->size(), QSize(200, 100));
        QCOMPARE(window->pos(), m_main->pos() + QPoint(300, 250));

        // A readable edge beside an unreadable size is still used.
        SaveSetting(QStringLiteral("StartUp"), QStringLiteral("frmListsTop"), QStringLiteral("1500"));
        const auto other = restored("frmLists");
        QCOMPARE(other->y(), 100);
        QCOMPARE(other->size(), QSize(200, 100));
    }

private:
    // A window of this name, 200 by 100 pixels as designed, placed as it is when it opens.
    static std::unique_ptr<QWidget> restored(const char* name)
    {
        auto window = std::make_unique<QWidget>();
        window->setObjectName(QString::fromLatin1(name));
        window->resize(200, 100);
        RestoreFormPosition(window.get());
        return window;
    }

    static QString stored(const char* key)
    {
        return GetSetting(QStringLiteral("StartUp"), QString::fromLatin1(key), QStringLiteral("(none)"));
    }

    std::unique_ptr<QTemporaryDir> m_store;
    std::unique_ptr<QMainWindow> m_main;
};

int runFormPositionTest(int argc, char* argv[])
{
    FormPositionTest test;
    return QTest::qExec(&test, argc, argv);
}

#include "FormPositionTest.moc"
