#include "ChildWindows.h"
#include "core/Failure.h"
#include "core/Settings.h"
#include "data/Database.h"
#include "data/cDataBase.h"
#include "gui/controls/DatePicker.h"
#include "gui/controls/ucImageViewer.h"
#include "gui/labels/frmPrintLabels.h"
#include "gui/shell/MainVellaro.h"
#include "gui/shell/frmBackUp.h"
#include "gui/shell/mdiMain.h"
#include "support/CatalogueQueries.h"
#include "support/FileFaults.h"
#include "support/ModalAnswer.h"
#include "support/TestProgramFolder.h"

#include <QAction>
#include <QApplication>
#include <QDateEdit>
#include <QDir>
#include <QFile>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPrintPreviewDialog>
#include <QProcess>
#include <QPushButton>
#include <QRadioButton>
#include <QTabBar>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <QTreeWidget>

#include <atomic>
#include <chrono>
#include <functional>
#include <memory>
#include <thread>

#include <fcntl.h>
#include <grp.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

// How what the user saw is held against a row's expectation.
enum Seen : int {
    Exactly,    // the one message shown, word for word
    StartsWith, // the one message shown begins so
    ShownBack,  // no message: the window shows the input back exactly, and the catalogue holds it
};

const QString overflow = Failure::describe(ErrorNumber::Overflow);
const QString typeMismatch = Failure::describe(ErrorNumber::TypeMismatch);
const QString cannotOpen = QStringLiteral("Unable to find or read Vellaro.mdb - Closing Application.");
const QString backupFailed = QStringLiteral("Backup Failed. Disk maybe full or write protected.");
const QString skipRefused = QStringLiteral("Labels to skip must be a whole number from 0 to 79.");
const QString labelsRefused = QStringLiteral(
    "2 files found. Import?\nNo photos were added. The number of labels must be a whole number from 0 to 32767, or "
    "left empty.");
// Messages one step shows, in order, each on a line of its own.
const QString separator = QStringLiteral("\n");

template <typename T> T* control(const QWidget* window, const char* name)
{
    return window ? window->findChild<T*>(QString::fromLatin1(name)) : nullptr;
}

quint32 crc32(const QByteArray& bytes)
{
    quint32 crc = 0xffffffffu;
    for (const char byte : bytes) {
        crc ^= quint8(byte);
        for (int bit = 0; bit < 8; ++bit)
            crc = (crc >> 1) ^ (0xedb88320u & (0u - (crc & 1u)));
    }
    return ~crc;
}

QByteArray bigEndian(quint32 value)
{
    return QByteArray(1, char(value >> 24)) + char(value >> 16) + char(value >> 8) + char(value);
}

QByteArray pngChunk(const QByteArray& type, const QByteArray& data)
{
    return bigEndian(quint32(data.size())) + type + data + bigEndian(crc32(type + data));
}

// A well-formed PNG header that claims a picture of 100,000 by 100,000 pixels (40 GB decoded), with
// a few bytes of picture data after it.
QByteArray hugePngHeader()
{
    const QByteArray header = bigEndian(100000) + bigEndian(100000) + QByteArray("\x08\x02\x00\x00\x00", 5);
    const QByteArray data = QByteArray::fromHex("789c636000000002000100");
    return QByteArray("\x89PNG\r\n\x1a\n", 8) + pngChunk("IHDR", header) + pngChunk("IDAT", data) +
           pngChunk("IEND", {});
}

// Answers the folder dialog the first time it shows with the step given, and cancels it every
// time after.
class FolderAnswer final : public QObject
{
public:
    explicit FolderAnswer(std::function<void(frmBackUp&)> step) : m_step(std::move(step))
    {
        qApp->installEventFilter(this);
    }
    ~FolderAnswer() override { qApp->removeEventFilter(this); }

    bool eventFilter(QObject* watched, QEvent* event) override
    {
        auto* dialog = qobject_cast<frmBackUp*>(watched);
        if (!dialog || event->type() != QEvent::Show)
            return false;
        const auto step = std::exchange(m_step, {});
        QTimer::singleShot(0, dialog, [dialog, step] {
            if (step)
                step(*dialog);
            if (dialog->isVisible())
                control<QPushButton>(dialog, "cmdCancel")->click();
        });
        return false;
    }

private:
    std::function<void(frmBackUp&)> m_step;
};

void clickOK(frmBackUp& dialog)
{
    control<QPushButton>(&dialog, "cmdOK")->click();
}

} // namespace

// Hostile, malformed and impossible input given to every window and record set that takes it: each
// row says where the input goes, what the user must see, and whether the catalogue may change.
class BadInputTest : public QObject
{
    Q_OBJECT

private slots:
    void init()
    {
        m_folder = std::make_unique<TestProgramFolder>();
        m_folder->addReport();
        SaveSetting(QStringLiteral("StartUp"), QStringLiteral("FirstTime"), QStringLiteral("False"));
        m_places = std::make_unique<QTemporaryDir>();
        QVERIFY(m_places->isValid());
    }
    void cleanup()
    {
        m_rowDone = true;
        if (m_pipeWriter.joinable())
            m_pipeWriter.join();
        m_main.reset();
        m_places.reset();
        m_folder.reset();
    }

    void everyInputIsRefusedWithItsMessageOrKeptExactly_data()
    {
        QTest::addColumn<QString>("where");
        QTest::addColumn<QString>("input");
        QTest::addColumn<QString>("expected");
        QTest::addColumn<int>("seen");
        QTest::addColumn<bool>("unchanged");
        const auto row = [](const char* name, const char* where, const QString& input, const QString& expected,
                            Seen seen, bool unchanged) {
            QTest::newRow(name) << QString::fromLatin1(where) << input << expected << int(seen) << unchanged;
        };
        const auto kept = [&row](const char* name, const char* where, const QString& input) {
            row(name, where, input, input, ShownBack, false);
        };

        // Texts that a query, a path or a key could trip over, kept as typed.
        const QString injection = QStringLiteral("x'); DROP TABLE Photos; --");
        const QString nul = QStringLiteral("before") + QChar(0) + QStringLiteral("after");
        const QString longText = QStringLiteral("0123456789").repeated(1000);
        const QString rightToLeft = QStringLiteral("مرحبا بالعالم שלום עולם");
        const QString otherScripts = QStringLiteral("東京の桜 Москва зимой");
        const QString emoji = QStringLiteral("Sunset 🌅 with 🦆🦆");
        kept("caption: apostrophe", "editor caption", QStringLiteral("Mum's garden, O'Brien's"));
        kept("caption: double quotes", "editor caption", QStringLiteral(R"(The "big" day "")"));
        kept("caption: backslashes", "editor caption", QStringLiteral(R"(C:\Photos\1999\ and \\server\)"));
        kept("caption: percent and underscore", "editor caption", QStringLiteral("100% _sure_ %_%"));
        kept("caption: wildcards and brackets", "editor caption", QStringLiteral("* ? # [a] [!b] [a-z]"));
        kept("caption: NUL", "editor caption", nul);
        kept("caption: 10,000 characters", "editor caption", longText);
        kept("caption: right to left", "editor caption", rightToLeft);
        kept("caption: CJK and Cyrillic", "editor caption", otherScripts);
        kept("caption: emoji outside the BMP", "editor caption", emoji);
        kept("caption: SQL injection", "editor caption", injection);
        kept("import caption: NUL and quotes", "import caption", QStringLiteral("Roll's \"end\"") + nul);
        kept("import caption: emoji and right to left", "import caption", emoji + rightToLeft);
        kept("category: apostrophe and quotes", "categories", QStringLiteral(R"(Mum's "best")"));
        kept("category: SQL injection", "categories", QStringLiteral("x'); DROP TABLE Categories; --"));
        kept("subject: emoji outside the BMP", "subjects", emoji);
        kept("subject: wildcards and brackets", "subjects", QStringLiteral("%_*?#[a]"));
        kept("state: right to left", "states", rightToLeft);
        kept("location: backslashes", "locations", QStringLiteral(R"(\\server\share\)"));
        kept("storage device: NUL", "storage devices", nul);
        kept("storage location: 10,000 characters", "storage locations", longText);
        kept("storage location: CJK and Cyrillic", "storage locations", otherScripts);

        // The find window: its own wildcards, and everything else as plain text.
        row("find: # stands for a digit", "find", QStringLiteral("zq roll #"), QStringLiteral("photo 9"), Exactly,
            true);
        row("find: % is an ordinary character", "find", QStringLiteral("zq 100%"), QStringLiteral("photo 11"), Exactly,
            true);
        row("find: _ is an ordinary character", "find", QStringLiteral("zq a_b"), QStringLiteral("photo 13"), Exactly,
            true);
        row("find: backslashes are ordinary characters", "find", QStringLiteral(R"(zq C:\photos\)"),
            QStringLiteral("photo 14"), Exactly, true);
        row("find: [ab] is one of the letters", "find", QStringLiteral("zq [ab]c"), QStringLiteral("photo 15"), Exactly,
            true);
        row("find: a [ never closed is an ordinary character", "find", QStringLiteral("zq x[a"),
            QStringLiteral("photo 16"), Exactly, true);
        row("find: ? takes an emoji outside the BMP", "find", QStringLiteral("zq ? duck"), QStringLiteral("photo 17"),
            Exactly, true);
        row("find: SQL injection finds nothing and drops nothing", "find", injection,
            QStringLiteral("No photo matches \"%1\" in Caption.").arg(injection), Exactly, true);

        // Numbers beyond 16 and 32 bits, and no numbers at all, in every number box.
        row("photo number: 2^31", "editor photo number", QStringLiteral("2147483648"), overflow, Exactly, true);
        row("photo number: 20 digits", "editor photo number", QStringLiteral("99999999999999999999"), overflow, Exactly,
            true);
        row("photo number: below -2^31", "editor photo number", QStringLiteral("-2147483649"), overflow, Exactly, true);
        row("photo number: letters", "editor photo number", QStringLiteral("abc"), typeMismatch, Exactly, true);
        row("photo number: empty", "editor photo number", QString(), typeMismatch, Exactly, true);
        row("label count: 2^15", "editor label count", QStringLiteral("32768"), overflow, Exactly, true);
        row("label count: 2^31", "editor label count", QStringLiteral("2147483648"), overflow, Exactly, true);
        row("label count: letters", "editor label count", QStringLiteral("many"), typeMismatch, Exactly, true);
        row("label count: -1", "editor label count", QStringLiteral("-1"), overflow, Exactly, true);
        row("label count: -5", "editor label count", QStringLiteral("-5"), overflow, Exactly, true);
        row("label count: none stored, another field changed", "stored label count", QString(),
            QStringLiteral("box '', stored no count"), Exactly, false);
        row("copy photo: place number beyond 16 bits", "copy photo, place", QStringLiteral("40000"),
            QStringLiteral("copied with 40000"), Exactly, false);
        row("copy photo: storage place number beyond 16 bits", "copy photo, storage place", QStringLiteral("70000"),
            QStringLiteral("copied with 70000"), Exactly, false);
        row("labels to skip: 2^15", "labels to skip", QStringLiteral("32768"), skipRefused, Exactly, true);
        row("labels to skip: 2^31", "labels to skip", QStringLiteral("2147483648"), skipRefused, Exactly, true);
        row("labels to skip: letters", "labels to skip", QStringLiteral("abc"), skipRefused, Exactly, true);
        row("import label count: 2^15", "import label count", QStringLiteral("32768"), labelsRefused, Exactly, true);
        row("import label count: 2^31", "import label count", QStringLiteral("2147483648"), labelsRefused, Exactly,
            true);
        row("import label count: letters", "import label count", QStringLiteral("one"), labelsRefused, Exactly, true);
        row("import label count: negative", "import label count", QStringLiteral("-1"), labelsRefused, Exactly, true);

        // Dates: typed beyond what the picker allows, and stored as text that is no date.
        row("date typed: February 30th", "date typed", QStringLiteral("02302023"), QStringLiteral("02/03/2003"),
            Exactly, false);
        row("date typed: before the earliest", "date typed", QStringLiteral("01011500"), QStringLiteral("01/01/2003"),
            Exactly, false);
        for (const char* text : {"2023-02-30", "abc", "2023-13-01", "", "12/31/1999", "99999-01-01"})
            row(qPrintable(QStringLiteral("stored date: '%1'").arg(QString::fromLatin1(text))), "stored date",
                QString::fromLatin1(text), QStringLiteral("no date, caption Photo two"), Exactly, true);

        // Picture files the viewer cannot show.
        row("picture: missing", "picture", QStringLiteral("missing"),
            QStringLiteral("ERROR: The file could not be found."), Exactly, true);
        row("picture: no name", "picture", QStringLiteral("no name"), QStringLiteral("ERROR: No file name was given."),
            Exactly, true);
        row("picture: a folder", "picture", QStringLiteral("folder"),
            QStringLiteral("ERROR: The name is that of a folder, not a file."), Exactly, true);
        // A file that exists but cannot be decoded may still open in another program: View stays offered.
        const QString notDecoded =
            QStringLiteral("Unable to display this image format | full size: Unable to display this image format");
        row("picture: empty file", "picture", QStringLiteral("empty"), notDecoded, Exactly, true);
        row("picture: text named .jpg", "picture", QStringLiteral("text"), notDecoded, Exactly, true);
        row("picture: truncated JPEG", "picture", QStringLiteral("truncated"),
            QStringLiteral("shown | full size: shown"), Exactly, true);
        row("picture: header claims 100000 x 100000", "picture", QStringLiteral("huge"), notDecoded, Exactly, true);
        const QString noFile = QStringLiteral("ERROR: The name is that of a device or pipe, not a file.");
        row("picture: a named pipe", "picture", QStringLiteral("pipe"), noFile, Exactly, true);
        row("picture: an endless device", "picture", QStringLiteral("/dev/zero"), noFile, Exactly, true);
        row("picture: unreadable", "picture", QStringLiteral("unreadable"),
            QStringLiteral("ERROR: The file cannot be read."), Exactly, true);

        // Catalogues the start-up cannot use.
        row("catalogue: missing", "start-up", QStringLiteral("missing"),
            QStringLiteral(" Error Opening the database.  The file '%1' could not be found."), Exactly, true);
        row("catalogue: empty file", "start-up", QStringLiteral("empty"), cannotOpen, Exactly, true);
        row("catalogue: a folder", "start-up", QStringLiteral("folder"), cannotOpen, Exactly, true);
        row("catalogue: a named pipe", "start-up", QStringLiteral("pipe"), cannotOpen, Exactly, true);
        row("catalogue: read-only", "start-up", QStringLiteral("read-only"), cannotOpen, Exactly, true);
        row("catalogue: unreadable", "start-up", QStringLiteral("unreadable"), cannotOpen, Exactly, true);
        row("catalogue: locked by another connection", "start-up", QStringLiteral("locked"), cannotOpen, Exactly, true);
        row("catalogue: first pages overwritten", "start-up", QStringLiteral("damaged schema"), cannotOpen, Exactly,
            true);
        row("catalogue: later pages overwritten", "start-up", QStringLiteral("damaged pages"),
            Failure::describe(ErrorNumber::CatalogueDamaged), Exactly, true);
        row("catalogue: plain SQLite", "start-up", QStringLiteral("plain"), cannotOpen, Exactly, true);
        row("catalogue: another key", "start-up", QStringLiteral("wrong key"), cannotOpen, Exactly, true);

        // Folders the backup and the import cannot use.
        row("backup: folder gone", "backup", QStringLiteral("missing"), backupFailed, Exactly, true);
        row("backup: a file", "backup", QStringLiteral("file"), backupFailed, Exactly, true);
        row("backup: unreadable folder", "backup", QStringLiteral("unreadable"), backupFailed, Exactly, true);
        row("backup: read-only folder", "backup", QStringLiteral("read-only"), backupFailed, Exactly, true);
        const QString sameFolder = QStringLiteral("Please choose a different directory to save your data.");
        row("backup: the program's folder", "backup", QStringLiteral("program folder"), sameFolder, Exactly, true);
        row("backup: the program's folder with /", "backup", QStringLiteral("program folder/"), sameFolder, Exactly,
            true);
        row("import: folder missing", "import folder", QStringLiteral("missing"),
            QStringLiteral("The folder '%1' does not exist."), Exactly, true);
        row("import: a file", "import folder", QStringLiteral("file"), QStringLiteral("'%1' is a file, not a folder."),
            Exactly, true);
        row("import: relative path", "import folder", QStringLiteral("relative"),
            QStringLiteral("The folder '%1' is not a full path; give the whole path, beginning with '/'."), Exactly,
            true);
        row("import: unreadable folder", "import folder", QStringLiteral("unreadable"),
            QStringLiteral("The folder '%1' cannot be read: "), StartsWith, true);
    }
    void everyInputIsRefusedWithItsMessageOrKeptExactly()
    {
        QFETCH(QString, where);
        QFETCH(QString, input);
        QFETCH(QString, expected);
        QFETCH(int, seen);
        QFETCH(bool, unchanged);

        // File modes stop no one but an ordinary user: such rows run again, whole, as one.
        if ((input == u"unreadable" || input == u"read-only") && geteuid() == 0) {
            const QString output = runAsOrdinaryUser(QString::fromUtf8(QTest::currentDataTag()));
            QVERIFY2(output.isEmpty(), qPrintable(output));
            return;
        }
        m_path.clear();
        markCatalogue();
        const QString shown = drive(where, input);
        if (QTest::currentTestFailed())
            return;
        m_main.reset();
        gDB.reset();
        expected.replace(QStringLiteral("%1"), m_path);
        switch (seen) {
        case Exactly:
            QCOMPARE(shown, expected);
            break;
        case StartsWith:
            QVERIFY2(shown.startsWith(expected) && !shown.contains(separator), qPrintable(shown));
            break;
        default:
            QCOMPARE(shown.size(), input.size());
            QVERIFY(shown == input);
            break;
        }
        if (unchanged) {
            QCOMPARE(QFile::exists(m_folder->cataloguePath()), m_catalogueExists);
            QVERIFY2(catalogueBytes() == m_catalogue, "the catalogue was written");
        }
    }

private:
    // Runs the input through the place the row names; what the user saw.
    QString drive(const QString& where, const QString& input)
    {
        if (where == u"editor caption")
            return editorCaption(input);
        if (where == u"find")
            return find(input);
        if (where == u"editor photo number" || where == u"editor label count")
            return editorNumber(where == u"editor photo number" ? "txtPhotoID" : "txtNumberofLabels", input);
        if (where == u"stored label count")
            return storedLabelCount(input);
        if (where.startsWith(u"copy photo"))
            return copyPhoto(where.endsWith(u"storage place"), input);
        if (where == u"labels to skip")
            return labelsToSkip(input);
        if (where == u"import caption")
            return importCaption(input);
        if (where == u"import label count")
            return importLabelCount(input);
        if (where == u"date typed")
            return dateTyped(input);
        if (where == u"stored date")
            return storedDate(input);
        if (where == u"picture")
            return picture(input);
        if (where == u"start-up")
            return startUp(input);
        if (where == u"backup")
            return backup(input);
        if (where == u"import folder")
            return importFolder(input);
        return listEntry(where, input);
    }

    // The catalogue's bytes as they are now, to be found again when the row is done.
    void markCatalogue()
    {
        m_catalogueExists = QFile::exists(m_folder->cataloguePath());
        m_catalogue = catalogueBytes();
    }

    // The catalogue file's bytes; what stands there instead when it is no file, never opened, as
    // opening a named pipe would wait for a writer.
    QByteArray catalogueBytes() const
    {
        const QFileInfo info(m_folder->cataloguePath());
        if (info.isDir())
            return QByteArrayLiteral("a folder");
        if (info.exists() && !info.isFile())
            return QByteArrayLiteral("no regular file");
        return fileBytes(info.filePath());
    }

    // Runs this test's row in a new copy of the program as the unprivileged "nobody"; empty when
    // the row passed there, else what the copy wrote.
    static QString runAsOrdinaryUser(const QString& row)
    {
        QProcess child;
        child.setProgram(QCoreApplication::applicationFilePath());
        child.setArguments({QStringLiteral("everyInputIsRefusedWithItsMessageOrKeptExactly:") + row});
        child.setProcessChannelMode(QProcess::MergedChannels);
        child.setChildProcessModifier([] {
            constexpr uid_t nobody = 65534;
            if (setgroups(0, nullptr) != 0 || setresgid(nobody, nobody, nobody) != 0 ||
                setresuid(nobody, nobody, nobody) != 0)
                _exit(254);
        });
        child.start();
        if (!child.waitForFinished(120000))
            return QStringLiteral("the copy run as an ordinary user did not end");
        if (child.exitStatus() == QProcess::NormalExit && child.exitCode() == 0)
            return QString();
        return QString::fromLocal8Bit(child.readAll());
    }

    // Every message shown since the last call, one a line.
    QString messages()
    {
        QStringList texts;
        for (const auto& shown : m_folder->messages().shown())
            texts << shown.text;
        m_folder->messages().clear();
        return texts.join(separator);
    }

    mdiMain& openMain()
    {
        m_folder->openCatalogue();
        markCatalogue();
        m_main = std::make_unique<mdiMain>(m_folder->path());
        RegisterChildWindows(*m_main);
        m_main->show();
        m_main->ShowChild(QStringLiteral("frmPhotos"));
        return *m_main;
    }
    QWidget* editor() const { return m_main->Child(QStringLiteral("frmPhotos")); }
    void click(QWidget* window, const char* name)
    {
        auto* button = control<QPushButton>(window, name);
        QVERIFY2(button && button->isEnabled(), name);
        button->click();
    }
    // Pasted, as only a paste brings characters a keyboard does not type.
    static void paste(QLineEdit* box, const QString& text)
    {
        box->setFocus();
        box->selectAll();
        box->insert(text);
    }

    QString editorCaption(const QString& input)
    {
        openMain();
        click(editor(), "cmdAdd");
        const QString number = control<QLineEdit>(editor(), "txtPhotoID")->text();
        auto* caption = control<QPlainTextEdit>(editor(), "txtCaption");
        caption->setFocus();
        caption->selectAll();
        caption->insertPlainText(input);
        click(editor(), "cmdUpdate");
        if (const QString said = messages(); !said.isEmpty())
            return said;
        const QVariant stored = photoField(number.toInt(), "Caption");
        [&] { QVERIFY2(stored.toString() == input, "the catalogue holds another caption"); }();
        // Read back from the catalogue as the editor moves away and comes back.
        click(editor(), "cmdFirst");
        click(editor(), "cmdLast");
        [&] { QCOMPARE(control<QLineEdit>(editor(), "txtPhotoID")->text(), number); }();
        return messages() + caption->toPlainText();
    }

    QString listEntry(const QString& where, const QString& input)
    {
        struct List
        {
            const char* where;
            int tab;
            bool dependent;
            const char* table;
            const char* field;
        };
        static const List lists[] = {
            {"categories", 0, false, "Categories", "Category"},
            {"subjects", 0, true, "Subjects", "Subject"},
            {"states", 1, false, "States", "State"},
            {"locations", 1, true, "Locations", "Location"},
            {"storage devices", 2, false, "StorageDevices", "StorageDevice"},
            {"storage locations", 2, true, "StorageLocations", "StorageLocation"},
        };
        const List* list = nullptr;
        for (const List& each : lists)
            if (where == QString::fromLatin1(each.where))
                list = &each;
        if (!list)
            return QStringLiteral("no such place: ") + where;

        openMain();
        m_main->ShowChild(QStringLiteral("frmLists"));
        QWidget* window = m_main->Child(QStringLiteral("frmLists"));
        control<QTabBar>(window, "TabStrip1")->setCurrentIndex(list->tab);
        auto* tree = control<QTreeWidget>(window, "TreeView1");
        QTreeWidgetItem* root = tree->topLevelItem(0);
        QTreeWidgetItem* parent = list->dependent ? root->child(0) : root;
        const QString parentName = parent->text(0);
        tree->setCurrentItem(parent);
        QStringList before;
        for (int i = 0; i < parent->childCount(); ++i)
            before << parent->child(i)->text(0);

        whenModalShows([input](QWidget* dialog) {
            control<QLineEdit>(dialog, "txtItem")->insert(input);
            control<QPushButton>(dialog, "cmdSave")->click();
        });
        click(window, list->dependent ? "cmdAdd(1)" : "cmdAdd(0)");
        if (const QString said = messages(); !said.isEmpty())
            return said;

        const int stored = countRows(QStringLiteral("SELECT * FROM %1 WHERE %2 = ?")
                                         .arg(QString::fromLatin1(list->table), QString::fromLatin1(list->field)),
                                     {input});
        [&] { QVERIFY2(stored == 1, "the catalogue does not hold the name as typed"); }();
        // The tree is built again from the catalogue: the one new node under its parent.
        control<QTabBar>(window, "TabStrip1")->setCurrentIndex((list->tab + 1) % 3);
        control<QTabBar>(window, "TabStrip1")->setCurrentIndex(list->tab);
        root = tree->topLevelItem(0);
        parent = root;
        for (int i = 0; list->dependent && i < root->childCount(); ++i)
            if (root->child(i)->text(0) == parentName)
                parent = root->child(i);
        QStringList added;
        for (int i = 0; i < parent->childCount(); ++i)
            if (!before.contains(parent->child(i)->text(0)))
                added << parent->child(i)->text(0);
        return messages() + added.join(separator);
    }

    QString find(const QString& input)
    {
        m_folder->openCatalogue();
        const QStringList captions{QStringLiteral("zq Roll x"),
                                   QStringLiteral("zq Roll 7"),
                                   QStringLiteral("zq 100 pages"),
                                   QStringLiteral("zq 100% sure"),
                                   QStringLiteral("zq axb"),
                                   QStringLiteral("zq a_b"),
                                   QStringLiteral(R"(zq C:\photos\roll)"),
                                   QStringLiteral("zq bc"),
                                   QStringLiteral("zq x[abc"),
                                   QStringLiteral("zq 🦆 duck")};
        for (int i = 0; i < captions.size(); ++i)
            gDB->DB().Execute(QStringLiteral("INSERT INTO Photos (PhotoID, Caption) VALUES (?, ?)"),
                              {8 + i, captions[i]});
        gDB.reset();
        openMain();
        m_main->ShowChild(QStringLiteral("frmFind"));
        QWidget* window = m_main->Child(QStringLiteral("frmFind"));
        control<QRadioButton>(window, "optFind(1)")->click();
        paste(control<QLineEdit>(window, "txtFind"), input);
        click(window, "cmdFind(0)");
        if (const QString said = messages(); !said.isEmpty())
            return said;
        return QStringLiteral("photo ") + control<QLineEdit>(editor(), "txtPhotoID")->text();
    }

    QString editorNumber(const char* box, const QString& input)
    {
        openMain();
        click(editor(), "cmdAdd");
        auto* number = control<QLineEdit>(editor(), box);
        number->setFocus();
        number->selectAll();
        bool digits = !input.isEmpty();
        for (const QChar c : input)
            digits = digits && c.isDigit();
        // Digits are typed; anything else can only be pasted with the mouse, past the key filter.
        if (digits)
            QTest::keyClicks(number, input);
        else if (input.isEmpty())
            QTest::keyClick(number, Qt::Key_Delete);
        else
            number->insert(input);
        click(editor(), "cmdUpdate");
        const QString said = messages();
        // The change is still pending, to be corrected or cancelled.
        [&] { QCOMPARE(control<QPushButton>(editor(), "cmdClose")->text(), QStringLiteral("&Cancel")); }();
        click(editor(), "cmdClose");
        return said;
    }

    QString storedLabelCount(const QString& input)
    {
        m_folder->openCatalogue();
        gDB->DB().Execute(QStringLiteral("UPDATE Photos SET NumberofLabels = ? WHERE PhotoID = 2"),
                          {input.isEmpty() ? QVariant() : QVariant(input)});
        gDB.reset();
        openMain();
        click(editor(), "cmdNext");
        auto* comments = control<QLineEdit>(editor(), "txtComments");
        comments->setFocus();
        comments->end(false);
        QTest::keyClicks(comments, QStringLiteral("+"));
        click(editor(), "cmdUpdate");
        const QString said = messages();
        if (!said.isEmpty())
            return said;
        const QVariant stored = photoField(2, "NumberofLabels");
        return QStringLiteral("box '%1', stored %2")
            .arg(control<QLineEdit>(editor(), "txtNumberofLabels")->text(),
                 stored.isNull() ? QStringLiteral("no count") : stored.toString());
    }

    // The photo shown, at a place whose number the catalogue gave beyond 16 bits, copied by the menu.
    QString copyPhoto(bool storage, const QString& number)
    {
        m_folder->openCatalogue();
        Database& db = gDB->DB();
        if (storage)
            db.Execute(
                QStringLiteral("INSERT INTO StorageLocations (StorageLocationID, StorageDeviceID, StorageLocation) "
                               "SELECT ?, StorageDeviceID, 'Far shelf' FROM StorageDevices LIMIT 1"),
                {number});
        else
            db.Execute(QStringLiteral("INSERT INTO Locations (LocationID, StateID, Location) "
                                      "SELECT ?, StateID, 'Far away' FROM States LIMIT 1"),
                       {number});
        db.Execute(QStringLiteral("UPDATE Photos SET %1 = ? WHERE PhotoID = 1")
                       .arg(storage ? QStringLiteral("StorageLocationID") : QStringLiteral("LocationID")),
                   {number});
        gDB.reset();
        openMain();
        m_main->findChild<QAction*>(QStringLiteral("mnuToolsCopyPhoto"))->trigger();
        const QString said = messages();
        if (!said.isEmpty())
            return said;
        return QStringLiteral("copied with ") + photoField(8, storage ? "StorageLocationID" : "LocationID").toString();
    }

    QString labelsToSkip(const QString& input)
    {
        openMain();
        gDB->DB().Execute(QStringLiteral("UPDATE Photos SET PrintLabel = 1, NumberofLabels = 1"));
        auto window = std::make_unique<frmPrintLabels>(m_main.get(), m_folder->path(), m_main.get());
        window->show();
        messages();
        markCatalogue();
        auto* skip = control<QLineEdit>(window.get(), "txtSkip");
        skip->selectAll();
        QTest::keyClicks(skip, input);
        bool previewed = false;
        connect(window.get(), &frmPrintLabels::previewShowing, this, [&previewed](QPrintPreviewDialog* dialog) {
            previewed = true;
            QTimer::singleShot(0, dialog, [dialog] { dialog->close(); });
        });
        click(window.get(), "cmdPreview");
        [&] { QVERIFY(!previewed); }();
        return messages();
    }

    // A folder of two files to import.
    QString twoFiles()
    {
        const QString folder = m_places->filePath(QStringLiteral("Roll"));
        QDir().mkdir(folder);
        writeFile(folder + QStringLiteral("/a.jpg"), "a");
        writeFile(folder + QStringLiteral("/b.jpg"), "b");
        return folder;
    }

    QString importCaption(const QString& input)
    {
        const QString folder = twoFiles();
        openMain();
        m_main->ShowChild(QStringLiteral("frmImport"));
        QWidget* window = m_main->Child(QStringLiteral("frmImport"));
        QTest::keyClicks(control<QLineEdit>(window, "txtImportDir"), folder);
        auto* caption = control<QPlainTextEdit>(window, "txtCaption");
        caption->setFocus();
        caption->insertPlainText(input);
        m_folder->messages().setNextAnswer(MsgAnswer::Yes);
        click(window, "cmdImport");
        const QString said = messages();
        if (said != u"2 files found. Import?\n2 files added to Vellaro.")
            return said;
        const int stored =
            countRows(QStringLiteral("SELECT * FROM Photos WHERE PhotoID IN (8, 9) AND Caption = ?"), {input});
        [&] { QVERIFY2(stored == 2, "the catalogue does not hold the caption as typed"); }();
        // Closed, the import window shows the last photo in the editor, read from the catalogue.
        click(window, "cmdCancel");
        return messages() + control<QPlainTextEdit>(editor(), "txtCaption")->toPlainText();
    }

    QString importLabelCount(const QString& input)
    {
        const QString folder = twoFiles();
        openMain();
        m_main->ShowChild(QStringLiteral("frmImport"));
        QWidget* window = m_main->Child(QStringLiteral("frmImport"));
        QTest::keyClicks(control<QLineEdit>(window, "txtImportDir"), folder);
        auto* labels = control<QLineEdit>(window, "txtNumberofLabels");
        labels->selectAll();
        QTest::keyClicks(labels, input);
        m_folder->messages().setNextAnswer(MsgAnswer::Yes);
        click(window, "cmdImport");
        return messages();
    }

    QString dateTyped(const QString& input)
    {
        openMain();
        auto* picker = control<DatePicker>(editor(), "dtpTaken");
        [&] { QCOMPARE(picker->Value().toDate(), QDate(2003, 8, 14)); }();
        QDateEdit* date = picker->dateEdit();
        date->setFocus();
        date->setSelectedSection(QDateTimeEdit::MonthSection);
        QTest::keyClicks(date, input);
        date->clearFocus();
        click(editor(), "cmdUpdate");
        if (const QString said = messages(); !said.isEmpty())
            return said;
        // What is stored is what the picker shows, read back as the editor comes back to the photo.
        const QVariant stored = photoField(1, "DateTaken");
        click(editor(), "cmdLast");
        click(editor(), "cmdFirst");
        [&] { QCOMPARE(stored, picker->Value()); }();
        return messages() + date->text();
    }

    QString storedDate(const QString& input)
    {
        m_folder->openCatalogue();
        gDB->DB().Execute(QStringLiteral("UPDATE Photos SET DateTaken = ?, Caption = 'Photo two' WHERE PhotoID = 2"),
                          {input});
        gDB.reset();
        openMain();
        click(editor(), "cmdNext");
        const QString said = messages();
        if (!said.isEmpty())
            return said;
        [&] { QCOMPARE(control<QLineEdit>(editor(), "txtPhotoID")->text(), QStringLiteral("2")); }();
        const QVariant date = control<DatePicker>(editor(), "dtpTaken")->Value();
        return (date.isNull() ? QStringLiteral("no date") : date.toDate().toString(Qt::ISODate)) +
               QStringLiteral(", caption ") + control<QPlainTextEdit>(editor(), "txtCaption")->toPlainText();
    }

    QString pictureFile(const QString& kind)
    {
        const QString path = m_places->filePath(QStringLiteral("picture.jpg"));
        if (kind == u"no name")
            return QString();
        if (kind == u"folder")
            QDir().mkdir(path);
        else if (kind == u"empty")
            writeFile(path, QByteArray());
        else if (kind == u"text")
            writeFile(path, "These are notes about the picture, not a picture.\n");
        else if (kind == u"truncated")
            writeFile(path, fileBytes(m_folder->filePath(QStringLiteral("Lighthouse.jpg"))).first(2000));
        else if (kind == u"huge")
            writeFile(m_places->filePath(QStringLiteral("picture.png")), hugePngHeader());
        else if (kind == u"pipe") {
            // A writer answers every reader that opens the pipe with a few bytes and the end, so
            // that a viewer that reads it anyway fails the row rather than waiting for ever.
            mkfifo(QFile::encodeName(path).constData(), 0600);
            m_rowDone = false;
            m_pipeWriter = std::thread([this, pipe = QFile::encodeName(path)] {
                while (!m_rowDone) {
                    const int writer = ::open(pipe.constData(), O_WRONLY | O_NONBLOCK);
                    if (writer >= 0) {
                        [[maybe_unused]] const auto written = ::write(writer, "not a picture", 13);
                        ::close(writer);
                    }
                    std::this_thread::sleep_for(std::chrono::milliseconds(10));
                }
            });
        } else if (kind.startsWith(u'/'))
            return kind;
        else if (kind == u"unreadable") {
            writeFile(path, fileBytes(m_folder->filePath(QStringLiteral("Lighthouse.jpg"))));
            QFile::setPermissions(path, {});
        }
        return kind == u"huge" ? m_places->filePath(QStringLiteral("picture.png")) : path;
    }

    QString picture(const QString& input)
    {
        const QString file = pictureFile(input);
        openMain();
        auto* name = control<QLineEdit>(editor(), "txtFileName");
        paste(name, file);
        QTest::keyClick(name, Qt::Key_Return);
        QString result = messages();
        if (result.isEmpty())
            result = shownBy(control<ucImageViewer>(editor(), "ucImageViewer1"));
        // Where the editor offers it, the file is viewed full size too.
        auto* view = control<QPushButton>(editor(), "cmdViewPhoto");
        if (view->isEnabled()) {
            QString full;
            whenModalShows([&full](QWidget* dialog) {
                full = shownBy(control<ucImageViewer>(dialog, "ucImageViewer1"));
                dialog->close();
            });
            view->click();
            result += QStringLiteral(" | full size: ") + full + messages();
        }
        click(editor(), "cmdClose");
        return result;
    }

    static QString shownBy(const ucImageViewer* viewer)
    {
        if (!viewer)
            return QStringLiteral("no viewer");
        return viewer->ShowsError() ? viewer->ErrorText() : QStringLiteral("shown");
    }

    QString startUp(const QString& input)
    {
        const QString catalogue = m_folder->cataloguePath();
        m_path = catalogue;
        std::unique_ptr<Database> holder;
        if (input == u"missing") {
            QFile::remove(catalogue);
        } else if (input == u"empty") {
            writeFile(catalogue, {});
        } else if (input == u"folder") {
            QFile::remove(catalogue);
            QDir().mkdir(catalogue);
        } else if (input == u"pipe") {
            QFile::remove(catalogue);
            mkfifo(QFile::encodeName(catalogue).constData(), 0600);
        } else if (input == u"locked") {
            holder = Database::OpenDatabase(catalogue, true, false, cDataBase::ConnectString());
        } else if (input == u"damaged schema") {
            QFile file(catalogue);
            file.open(QIODevice::ReadWrite);
            file.seek(1000);
            file.write(QByteArray(64, char(0xa5)));
        } else if (input == u"damaged pages") {
            SaveSetting(QStringLiteral("StartUp"), QStringLiteral("FirstTime"), QStringLiteral("True"));
            growCatalogue(catalogue, 3000);
            damagePages(catalogue, 0.3, 0.7);
        } else if (input == u"plain") {
            QFile::remove(catalogue);
            auto plain = Database::CreateDatabase(catalogue, QString());
            plain->Execute(QStringLiteral("CREATE TABLE Photos (PhotoID INTEGER)"));
        } else if (input == u"wrong key") {
            auto rekeyed = Database::OpenDatabase(catalogue, false, false, cDataBase::ConnectString());
            rekeyed->Execute(QStringLiteral("PRAGMA rekey = 'another key'"));
        }
        markCatalogue();
        if (input == u"read-only" || input == u"unreadable")
            chmod(QFile::encodeName(catalogue).constData(), input == u"read-only" ? 0444 : 0);
        auto main = StartVellaro(m_folder->path(), RegisterChildWindows, false);
        QString said = messages();
        if (main && input == u"damaged pages") {
            // The damage is reported among what the first run says; the rest is the first run's welcome.
            const QString damaged = Failure::describe(ErrorNumber::CatalogueDamaged);
            said = said.contains(damaged) ? damaged : QStringLiteral("started without a word of the damage: ") + said;
        } else if (main) {
            said.prepend(QStringLiteral("started"));
        }
        main.reset();
        gDB.reset();
        chmod(QFile::encodeName(catalogue).constData(), 0600);
        return said;
    }

    void runBackup(const std::function<void(frmBackUp&)>& step)
    {
        const FolderAnswer answer(step);
        m_main->findChild<QAction*>(QStringLiteral("mnuFileBackUp"))->trigger();
    }

    QString backup(const QString& input)
    {
        const QString folder = m_places->filePath(QStringLiteral("Backups"));
        QDir().mkdir(folder);
        SaveSetting(QStringLiteral("BackUp"), QStringLiteral("Dir"), folder);
        if (input.startsWith(u"program folder")) {
            SaveSetting(QStringLiteral("BackUp"), QStringLiteral("Dir"),
                        m_folder->path() + (input.endsWith(u'/') ? QStringLiteral("/") : QString()));
            openMain();
            runBackup(clickOK);
            return messages();
        }
        if (input == u"missing" || input == u"file") {
            openMain();
            // The folder shown goes away while the dialog waits for OK.
            runBackup([&](frmBackUp& dialog) {
                QDir(folder).removeRecursively();
                if (input == u"file")
                    writeFile(folder, "a file where the folder was");
                clickOK(dialog);
            });
            return messages();
        }
        // An ordinary user who may not write into the folder, or may not even look into it.
        if (input == u"read-only")
            chmod(QFile::encodeName(folder).constData(), 0555);
        openMain();
        runBackup([&](frmBackUp& dialog) {
            if (input == u"unreadable")
                chmod(QFile::encodeName(folder).constData(), 0);
            clickOK(dialog);
        });
        chmod(QFile::encodeName(folder).constData(), 0755);
        [&] { QVERIFY(QDir(folder).entryList(QDir::Files | QDir::Hidden).isEmpty()); }();
        return messages();
    }

    QString importFolder(const QString& input)
    {
        const QString roll = twoFiles();
        QString folder = roll;
        if (input == u"missing")
            folder = m_places->filePath(QStringLiteral("Gone"));
        else if (input == u"file")
            folder = roll + QStringLiteral("/a.jpg");
        else if (input == u"relative")
            folder = QStringLiteral("Pictures/Roll");
        m_path = folder;
        if (input == u"unreadable")
            chmod(QFile::encodeName(roll).constData(), 0);
        openMain();
        m_main->ShowChild(QStringLiteral("frmImport"));
        QWidget* window = m_main->Child(QStringLiteral("frmImport"));
        QTest::keyClicks(control<QLineEdit>(window, "txtImportDir"), folder);
        click(window, "cmdImport");
        chmod(QFile::encodeName(roll).constData(), 0755);
        return messages();
    }

    std::unique_ptr<TestProgramFolder> m_folder;
    std::unique_ptr<QTemporaryDir> m_places;
    std::unique_ptr<mdiMain> m_main;
    QByteArray m_catalogue;
    bool m_catalogueExists = false;
    std::thread m_pipeWriter;
    std::atomic<bool> m_rowDone{false};
    // The path a row's message names.
    QString m_path;
};

int main(int argc, char* argv[])
{
    QApplication application(argc, argv);
    BadInputTest test;
    return QTest::qExec(&test, argc, argv);
}

#include "BadInputTest.moc"
