#include "CrashWork.h"

#include "ChildWindows.h"
#include "core/Failure.h"
#include "core/Settings.h"
#include "data/CatalogueCopy.h"
#include "data/Database.h"
#include "data/FolderImport.h"
#include "data/cDataBase.h"
#include "gui/controls/uc2ColCombo.h"
#include "gui/shell/mdiMain.h"
#include "labels/cLabels.h"
#include "support/FileFaults.h"
#include "support/RecordingMessages.h"
#include "support/TestProgramFolder.h"

#include <QApplication>
#include <QDate>
#include <QDir>
#include <QFile>
#include <QLineEdit>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSettings>
#include <QTemporaryDir>
#include <QTest>

#include <cstdio>
#include <stdexcept>

#include <unistd.h>

namespace CrashWork {

namespace {

// Photos in the backup's catalogue, so that its copy takes long enough to be killed in the middle.
constexpr int BackupPhotos = 20000;
// Labels already in the table before the labels are made: they must survive whatever happens.
constexpr int OlderLabels = 3;

void require(bool ok, const QString& what)
{
    if (!ok)
        throw std::runtime_error(what.toStdString());
}

void copyFile(const QString& from, const QString& to)
{
    QFile::remove(to);
    require(QFile::copy(from, to), QStringLiteral("cannot copy %1 to %2").arg(from, to));
    QFile(to).setPermissions(QFile::ReadOwner | QFile::WriteOwner);
}

QString deliveredCatalogue()
{
    return QDir(TestProgramFolder::deliveredFolder()).filePath(QStringLiteral("Vellaro.mdb"));
}

std::unique_ptr<Database> openDirectly(const QString& path)
{
    return Database::OpenDatabase(path, false, false, cDataBase::ConnectString());
}

// 2,000 photos marked for five labels each and no other photo marked, with a few older labels.
void markPhotosForLabels(const QString& path)
{
    auto db = openDirectly(path);
    Transaction work(*db);
    db->Execute(QStringLiteral("UPDATE Photos SET PrintLabel = 0"));
    constexpr int labelsEach = 5;
    for (int i = 0; i < MadeLabels / labelsEach; ++i)
        db->Execute(
            QStringLiteral("INSERT INTO Photos (PhotoID, Caption, PrintLabel, NumberofLabels) VALUES (?, ?, 1, ?)"),
            {1000 + i, QStringLiteral("Marked photo %1").arg(1000 + i), labelsEach});
    for (int i = 0; i < OlderLabels; ++i)
        db->Execute(QStringLiteral("INSERT INTO Labels (Label) VALUES (?)"), {QStringLiteral("Older label %1").arg(i)});
    work.commit();
}

void writeReady()
{
    // Unbuffered: the parent times the kill from the moment it reads this.
    static const char ready[] = "ready\n";
    ::write(STDOUT_FILENO, ready, sizeof ready - 1);
}

void writeDone()
{
    static const char done[] = "done\n";
    ::write(STDOUT_FILENO, done, sizeof done - 1);
}

void openCatalogue(const QString& folder)
{
    gDB = std::make_unique<cDataBase>();
    gDB->setDBName(cataloguePath(folder));
    gDB->OpenDB();
}

QString subjectId(const QString& name)
{
    return gDB->DB()
        .OpenRecordset(QStringLiteral("SELECT SubjectID FROM Subjects WHERE Subject = ?"), {name})
        ->Value(QStringLiteral("SubjectID"))
        .toString();
}

void importFiles(const QString& folder)
{
    openCatalogue(folder);
    const QStringList files = ListFolderFiles(importFilesPath(folder));
    ImportValues values;
    values.Caption = QStringLiteral("Imported in one piece");
    values.DateTaken = QDate(2026, 12, 7);
    values.Comments = QStringLiteral("From the crash suite's folder");
    values.NumberofLabels = QStringLiteral("1");
    values.AddedSubjectIds = {subjectId(QStringLiteral("Birds")), subjectId(QStringLiteral("Lakes"))};
    writeReady();
    ImportFiles(files, values);
    writeDone();
}

void makeLabels(const QString& folder)
{
    openCatalogue(folder);
    cLabels labels;
    writeReady();
    labels.MakeLabels(0);
    writeDone();
}

QWidget* waitForEditor(mdiMain& main)
{
    for (int waited = 0; waited < 5000 && !main.Child(QStringLiteral("frmPhotos")); waited += 10)
        QTest::qWait(10);
    return main.Child(QStringLiteral("frmPhotos"));
}

template <typename Widget> Widget* control(QWidget* editor, const char* name)
{
    auto* widget = editor->findChild<Widget*>(QString::fromLatin1(name));
    require(widget != nullptr, QStringLiteral("the editor has no %1").arg(QString::fromLatin1(name)));
    return widget;
}

// Chooses a subject as a user does: types its start into the subject combo and presses Enter.
void chooseSubject(QWidget* editor, const QString& typed)
{
    control<QPushButton>(editor, "cmdAddSubject")->click();
    auto* chooser = control<uc2ColCombo>(editor, "cboSubjects");
    chooser->HideDropDown();
    chooser->combo()->setFocus();
    QTest::keyClicks(chooser->combo()->lineEdit(), typed);
    QTest::keyClick(chooser->combo()->lineEdit(), Qt::Key_Return);
    for (int waited = 0; waited < 5000 && chooser->isVisible(); waited += 10)
        QTest::qWait(10);
}

void removeSubject(QWidget* editor, const QString& name)
{
    auto* list = control<QListWidget>(editor, "lstSubjects");
    const auto items = list->findItems(name, Qt::MatchExactly);
    require(!items.isEmpty(), QStringLiteral("%1 is not listed").arg(name));
    list->setFocus();
    list->setCurrentItem(items.front());
    QTest::keyClick(list, Qt::Key_Delete);
}

QStringList listedSubjects(QWidget* editor)
{
    QStringList names;
    auto* list = control<QListWidget>(editor, "lstSubjects");
    for (int i = 0; i < list->count(); ++i)
        names << list->item(i)->text();
    names.sort();
    return names;
}

// The photo editor's own Save of a changed photo with subjects added and removed, driven as a user
// drives it: everything up to the click on Update is done before "ready".
void savePhoto(const QString& folder)
{
    // The editor remembers its place and options in a settings store of the child's own.
    QTemporaryDir settings;
    QSettings::setPath(QSettings::IniFormat, QSettings::UserScope, settings.path());
    auto recording = std::make_unique<RecordingMessages>();
    const RecordingMessages& messages = *recording;
    SetMessageService(std::move(recording));
    openCatalogue(folder);
    SaveSetting(QStringLiteral("StartUp"), QStringLiteral("FirstTime"), QStringLiteral("False"));
    mdiMain main(folder);
    RegisterChildWindows(main);
    main.show();
    QApplication::setActiveWindow(&main);
    require(QTest::qWaitForWindowActive(&main), QStringLiteral("the main window is not active"));
    main.ShowChild(QStringLiteral("frmPhotos"));
    QWidget* editor = waitForEditor(main);
    require(editor != nullptr, QStringLiteral("the photo editor did not open"));
    auto* photoId = control<QLineEdit>(editor, "txtPhotoID");
    for (int moves = 0; photoId->text() != QString::number(SavedPhoto) && moves < 10; ++moves)
        control<QPushButton>(editor, "cmdNext")->click();
    require(photoId->text() == QString::number(SavedPhoto), QStringLiteral("photo %1 not found").arg(SavedPhoto));

    auto* caption = control<QPlainTextEdit>(editor, "txtCaption");
    caption->setFocus();
    caption->moveCursor(QTextCursor::End);
    QTest::keyClicks(caption, SavedCaptionEnd);
    auto* comments = control<QLineEdit>(editor, "txtComments");
    comments->setFocus();
    QTest::keyClicks(comments, SavedComments);
    for (const QString& name : SavedSubjectsAdded)
        chooseSubject(editor, name);
    for (const QString& name : SavedSubjectsRemoved)
        removeSubject(editor, name);
    require(listedSubjects(editor) == SavedSubjects,
            QStringLiteral("the editor lists %1").arg(listedSubjects(editor).join(u", ")));

    writeReady();
    control<QPushButton>(editor, "cmdUpdate")->click();
    writeDone();
    require(messages.shown().empty(), QStringLiteral("the save showed a message"));
}

void backUp(const QString& folder)
{
    writeReady();
    CopyCatalogue(cataloguePath(folder), QDir(backupFolderPath(folder)).filePath(QStringLiteral("Vellaro.mdb")));
    writeDone();
}

} // namespace

QString cataloguePath(const QString& folder)
{
    return QDir(folder).filePath(QStringLiteral("Vellaro.mdb"));
}

QString templatePath(const QString& folder)
{
    return QDir(folder).filePath(QStringLiteral("Template.mdb"));
}

QString importFilesPath(const QString& folder)
{
    return QDir(folder).filePath(QStringLiteral("Files"));
}

QString backupFolderPath(const QString& folder)
{
    return QDir(folder).filePath(QStringLiteral("Backups"));
}

QString olderBackupPath(const QString& folder)
{
    return QDir(folder).filePath(QStringLiteral("Older.mdb"));
}

void prepare(const QString& work, const QString& folder)
{
    require(QDir().mkpath(folder), QStringLiteral("cannot make %1").arg(folder));
    copyFile(deliveredCatalogue(), templatePath(folder));
    if (work == Import) {
        require(QDir().mkpath(importFilesPath(folder)), QStringLiteral("cannot make the import's folder"));
        for (int i = 1; i <= ImportedFiles; ++i) {
            QFile file(QDir(importFilesPath(folder)).filePath(QStringLiteral("IMG_%1.jpg").arg(i, 4, 10, QChar(u'0'))));
            require(file.open(QIODevice::WriteOnly) && file.write("picture") == 7,
                    QStringLiteral("cannot write a file"));
        }
    } else if (work == Labels) {
        markPhotosForLabels(templatePath(folder));
    } else if (work == Backup) {
        // The older backup is the catalogue as delivered; the catalogue has grown since.
        require(QDir().mkpath(backupFolderPath(folder)), QStringLiteral("cannot make the backup's folder"));
        copyFile(deliveredCatalogue(), olderBackupPath(folder));
        growCatalogue(templatePath(folder), BackupPhotos);
    }
    resetCatalogue(folder);
}

void resetCatalogue(const QString& folder)
{
    const QString catalogue = cataloguePath(folder);
    QFile::remove(catalogue + QStringLiteral("-journal"));
    QFile::remove(catalogue + QStringLiteral("-wal"));
    QFile::remove(catalogue + QStringLiteral("-shm"));
    copyFile(templatePath(folder), catalogue);
}

int runChild(const QString& work, const QString& folder)
{
    try {
        if (work == Import)
            importFiles(folder);
        else if (work == Labels)
            makeLabels(folder);
        else if (work == Save)
            savePhoto(folder);
        else if (work == Backup)
            backUp(folder);
        else
            return 3;
    } catch (const Failure& failure) {
        std::fprintf(stderr, "%s failed: %s\n", qPrintable(work), qPrintable(failure.Description()));
        return 2;
    } catch (const std::exception& error) {
        std::fprintf(stderr, "%s failed: %s\n", qPrintable(work), error.what());
        return 2;
    }
    return 0;
}

} // namespace CrashWork
