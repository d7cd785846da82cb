#include "CrashWork.h"

#include "core/Failure.h"
#include "data/CatalogueCopy.h"
#include "data/Database.h"
#include "data/cDataBase.h"
#include "support/CatalogueQueries.h"
#include "support/FileFaults.h"

#include <QCoreApplication>
#include <QCryptographicHash>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QMap>
#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTest>

#include <algorithm>
#include <chrono>
#include <functional>
#include <random>
#include <thread>
#include <vector>

namespace {

constexpr quint64 DefaultSeed = 20261207;
constexpr int DefaultTrials = 30;
// Long enough for a child on a busy machine; a child that takes longer is stuck.
constexpr int ChildTimeoutMs = 60000;
// How many trials that went wrong are described one by one.
constexpr int DescribedFaults = 5;

struct Figures
{
    int trials = 0;
    int midOperation = 0; // killed before the work said it was done
    int afterFinish = 0;  // the work had finished when the kill came
    int journalsLeft = 0; // a journal left by the kill
    int hotJournals = 0;  // one that had to be played back when the catalogue opened
    int corrupted = 0;
    int halfDone = 0;
    int strayTemporaries = 0;

    Figures& operator+=(const Figures& other)
    {
        trials += other.trials;
        midOperation += other.midOperation;
        afterFinish += other.afterFinish;
        journalsLeft += other.journalsLeft;
        hotJournals += other.hotJournals;
        corrupted += other.corrupted;
        halfDone += other.halfDone;
        strayTemporaries += other.strayTemporaries;
        return *this;
    }

    QString describe() const
    {
        return QStringLiteral("%1 kills: %2 mid-operation, %3 after it finished; %4 journals left, %5 of them hot and "
                              "recovered; %6 corrupted, %7 half-done; %8 stray temporary files")
            .arg(trials)
            .arg(midOperation)
            .arg(afterFinish)
            .arg(journalsLeft)
            .arg(hotJournals)
            .arg(corrupted)
            .arg(halfDone)
            .arg(strayTemporaries);
    }
};

// What a catalogue holds, read through the program's own opener.
struct CatalogueState
{
    bool opened = false;
    QString failure;
    QString integrity;
    int strayLinks = 0; // links to a photo or a subject that does not exist
    QMap<QString, qint64> rows;
    QStringList content; // per table: its rows and a digest of every value in row order

    bool sound() const { return opened && integrity == QLatin1String("ok"); }
    QString describe() const
    {
        if (!opened)
            return QStringLiteral("does not open: ") + failure;
        return QStringLiteral("integrity %1, %2 stray links, %3")
            .arg(integrity)
            .arg(strayLinks)
            .arg(content.join(u"; "));
    }
};

QString digestOf(const Database& db, const QString& table, qint64& count)
{
    auto rows = db.OpenRecordset(QStringLiteral("SELECT * FROM %1 ORDER BY rowid").arg(table));
    const QStringList fields = rows->FieldNames();
    QCryptographicHash hash(QCryptographicHash::Sha1);
    count = 0;
    for (; !rows->Eof(); rows->MoveNext(), ++count) {
        for (const QString& field : fields) {
            const QVariant value = rows->Value(field);
            hash.addData(value.isNull() ? QByteArrayLiteral("\x01null") : value.toString().toUtf8());
            hash.addData(QByteArrayView("\x1f", 1));
        }
    }
    return QString::fromLatin1(hash.result().toHex().left(16));
}

// Opens the catalogue as the program does (recovering a journal left behind) and reads what the
// checks need; the catalogue is closed again afterwards.
CatalogueState stateOf(const QString& path, const QStringList& tables)
{
    CatalogueState state;
    try {
        gDB = std::make_unique<cDataBase>();
        gDB->setDBName(path);
        gDB->OpenDB();
        state.opened = true;
        const Database& db = gDB->DB();
        state.integrity = db.OpenRecordset(QStringLiteral("PRAGMA integrity_check"))
                              ->Value(QStringLiteral("integrity_check"))
                              .toString();
        state.strayLinks = countRows(QStringLiteral(
            "SELECT 1 FROM PhotosSubjects l WHERE NOT EXISTS (SELECT 1 FROM Photos p WHERE p.PhotoID = l.PhotoID) "
            "OR NOT EXISTS (SELECT 1 FROM Subjects s WHERE s.SubjectID = l.SubjectID)"));
        for (const QString& table : tables) {
            qint64 count = 0;
            const QString digest = digestOf(db, table, count);
            state.rows[table] = count;
            state.content << QStringLiteral("%1 %2 rows %3").arg(table).arg(count).arg(digest);
        }
    } catch (const Failure& failure) {
        state.failure = failure.Description();
    }
    gDB.reset();
    return state;
}

// A child running one piece of work, started as this same program with the child argument.
class Child
{
public:
    Child(const QString& work, const QString& folder)
    {
        m_process.start(QCoreApplication::applicationFilePath(),
                        {QString::fromLatin1(CrashWork::ChildArgument), work, folder});
    }

    // Waits until the child has written the line, or has ended, or the time is up.
    bool waitFor(const QByteArray& line)
    {
        QElapsedTimer waited;
        waited.start();
        while (!m_output.contains(line) && waited.elapsed() < ChildTimeoutMs) {
            if (!m_process.waitForReadyRead(int(ChildTimeoutMs - waited.elapsed())))
                break;
            m_output += m_process.readAllStandardOutput();
        }
        return m_output.contains(line);
    }

    // Kills it at once, as a power cut or the system's out-of-memory killer would: no handler runs.
    // Returns whether the work had finished by then.
    bool kill()
    {
        m_process.kill();
        m_process.waitForFinished(ChildTimeoutMs);
        m_output += m_process.readAllStandardOutput();
        return m_output.contains("done\n") || m_process.exitStatus() == QProcess::NormalExit;
    }

    // The child ended by itself with a failure.
    bool failed() const { return m_process.exitStatus() == QProcess::NormalExit && m_process.exitCode() != 0; }
    QString errors() { return QString::fromLocal8Bit(m_process.readAllStandardError()); }

    bool finish() { return m_process.waitForFinished(ChildTimeoutMs); }

private:
    QProcess m_process;
    QByteArray m_output;
};

QStringList namesIn(const QString& folder)
{
    return QDir(folder).entryList(QDir::Files | QDir::Dirs | QDir::Hidden | QDir::NoDotAndDotDot, QDir::Name);
}

bool journalLeft(const QString& catalogue)
{
    return QFile::exists(catalogue + QStringLiteral("-journal")) || QFile::exists(catalogue + QStringLiteral("-wal"));
}

// A journal the engine must play back: its header was completed, which happens once the commit has
// begun to write the catalogue. Before that its first bytes are zero and the catalogue is untouched.
bool hotJournal(const QString& catalogue)
{
    QFile journal(catalogue + QStringLiteral("-journal"));
    if (!journal.open(QIODevice::ReadOnly))
        return QFile::exists(catalogue + QStringLiteral("-wal"));
    const QByteArray header = journal.read(8);
    return header.size() == 8 && header != QByteArray(8, '\0');
}

} // namespace

// Bulk work killed at random moments by SIGKILL in a child process: the catalogue opens sound
// afterwards and holds all of the work or none of it.
class CrashTest : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase()
    {
        QVERIFY(m_work.isValid());
        bool ok = false;
        m_seed = qEnvironmentVariable("VELLARO_CRASH_SEED").toULongLong(&ok);
        if (!ok)
            m_seed = DefaultSeed;
        m_trials = qEnvironmentVariableIntValue("VELLARO_CRASH_TRIALS", &ok);
        if (!ok || m_trials <= 0)
            m_trials = DefaultTrials;
        m_random.seed(m_seed);
        qInfo("Crash suite: seed %llu (VELLARO_CRASH_SEED), %d kills per operation (VELLARO_CRASH_TRIALS)",
              static_cast<unsigned long long>(m_seed), m_trials);
    }

    void cleanupTestCase() { qInfo("Crash suite, all operations: %s", qPrintable(m_total.describe())); }

    void anImportKilledAnywhereAddsAllItsPhotosOrNone()
    {
        const QStringList tables{QStringLiteral("Photos"), QStringLiteral("PhotosSubjects")};
        runCatalogueTrials(CrashWork::Import, tables, [](const CatalogueState& before, const CatalogueState& after) {
            QCOMPARE(after.rows.value(QStringLiteral("Photos")),
                     before.rows.value(QStringLiteral("Photos")) + CrashWork::ImportedFiles);
            QCOMPARE(after.rows.value(QStringLiteral("PhotosSubjects")),
                     before.rows.value(QStringLiteral("PhotosSubjects")) +
                         CrashWork::ImportedFiles * CrashWork::ImportedSubjects);
        });
    }

    void makingLabelsKilledAnywhereAddsAllOrNone()
    {
        runCatalogueTrials(CrashWork::Labels, {QStringLiteral("Labels")},
                           [](const CatalogueState& before, const CatalogueState& after) {
                               QVERIFY(before.rows.value(QStringLiteral("Labels")) > 0);
                               QCOMPARE(after.rows.value(QStringLiteral("Labels")),
                                        before.rows.value(QStringLiteral("Labels")) + CrashWork::MadeLabels);
                           });
    }

    void aPhotoSaveKilledAnywhereKeepsItsFieldsAndSubjectsTogether()
    {
        const QStringList tables{QStringLiteral("Photos"), QStringLiteral("PhotosSubjects")};
        runCatalogueTrials(CrashWork::Save, tables, [this](const CatalogueState& before, const CatalogueState& after) {
            QVERIFY(after.content.at(0) != before.content.at(0));
            QCOMPARE(after.rows.value(QStringLiteral("PhotosSubjects")),
                     before.rows.value(QStringLiteral("PhotosSubjects")) + CrashWork::SavedSubjectsAdded.size() -
                         CrashWork::SavedSubjectsRemoved.size());
            // The save whole: the new fields and exactly the new subjects.
            gDB = std::make_unique<cDataBase>();
            gDB->setDBName(CrashWork::cataloguePath(m_work.filePath(CrashWork::Save)));
            gDB->OpenDB();
            QCOMPARE(photoField(CrashWork::SavedPhoto, "Caption").toString(),
                     QStringLiteral("Grandma's 80th birthday") + CrashWork::SavedCaptionEnd);
            QCOMPARE(photoField(CrashWork::SavedPhoto, "Comments").toString(), CrashWork::SavedComments);
            QCOMPARE(linkedSubjects(CrashWork::SavedPhoto), CrashWork::SavedSubjects);
            gDB.reset();
        });
    }

    void aBackupKilledAnywhereLeavesTheOlderBackupOrAWholeCopy()
    {
        const QString folder = m_work.filePath(CrashWork::Backup);
        CrashWork::prepare(CrashWork::Backup, folder);
        const QString catalogue = CrashWork::cataloguePath(folder);
        const QString backups = CrashWork::backupFolderPath(folder);
        const QString backup = QDir(backups).filePath(QStringLiteral("Vellaro.mdb"));
        const QByteArray whole = fileBytes(catalogue);
        const QByteArray older = fileBytes(CrashWork::olderBackupPath(folder));
        const CatalogueState source = stateOf(catalogue, {QStringLiteral("Photos")});
        QVERIFY2(source.sound(), qPrintable(source.describe()));
        QVERIFY(whole != older);
        const auto putOlderBackup = [&] {
            QFile::remove(backup);
            QVERIFY(QFile::copy(CrashWork::olderBackupPath(folder), backup));
        };

        const qint64 duration = measure(CrashWork::Backup, folder, putOlderBackup);
        if (QTest::currentTestFailed())
            return;
        QCOMPARE(fileBytes(backup), whole);

        // The copy's own temporary files are hidden and named after the catalogue; nothing else may appear.
        const QRegularExpression temporary(QStringLiteral("^\\.Vellaro\\.mdb\\.[A-Za-z0-9]{6}$"));
        Figures figures;
        int mostStrays = 0;
        auto moment = killMoments(duration);
        for (int trial = 0; trial < m_trials; ++trial) {
            putOlderBackup();
            const bool finished = killAt(CrashWork::Backup, folder, moment(m_random));
            if (QTest::currentTestFailed())
                return;
            ++figures.trials;
            ++(finished ? figures.afterFinish : figures.midOperation);

            int strays = 0;
            for (const QString& name : namesIn(backups)) {
                if (temporary.match(name).hasMatch())
                    ++strays;
                else
                    QVERIFY2(name == QLatin1String("Vellaro.mdb"), qPrintable(u"left in the backup's folder: " + name));
            }
            figures.strayTemporaries += strays;
            mostStrays = std::max(mostStrays, strays);

            const QByteArray bytes = fileBytes(backup);
            QString fault;
            if (!QFile::exists(backup)) {
                ++figures.halfDone;
                fault = QStringLiteral("the older backup is gone");
            } else if (bytes == older) {
                continue;
            } else {
                const CatalogueState copy = stateOf(backup, {QStringLiteral("Photos")});
                if (!copy.sound()) {
                    ++figures.corrupted;
                    fault = copy.describe();
                } else if (bytes != whole || copy.content != source.content) {
                    ++figures.halfDone;
                    fault = QStringLiteral("neither the older backup nor the catalogue: ") + copy.describe();
                }
            }
            if (!fault.isEmpty() && figures.corrupted + figures.halfDone <= DescribedFaults)
                qWarning("backup trial %d: %s", trial, qPrintable(fault));
        }
        report(CrashWork::Backup, figures);
        QCOMPARE(figures.corrupted, 0);
        QCOMPARE(figures.halfDone, 0);
        // A killed copy leaves at most its own temporary file: the next backup removes the earlier ones.
        QVERIFY2(mostStrays <= 1, qPrintable(QStringLiteral("%1 temporary files at once").arg(mostStrays)));

        putOlderBackup();
        CopyCatalogue(catalogue, backup);
        QCOMPARE(namesIn(backups), QStringList{"Vellaro.mdb"});
        QCOMPARE(fileBytes(backup), whole);
    }

private:
    // Runs the work to its end and gives how long it took, in nanoseconds, from "ready" on: the
    // middle of three runs, so that one slow start does not stretch the kills past the work's end.
    qint64 measure(const QString& work, const QString& folder, const std::function<void()>& reset)
    {
        std::vector<qint64> durations;
        for (int run = 0; run < 3; ++run) {
            reset();
            Child child(work, folder);
            const bool ready = child.waitFor("ready\n");
            QElapsedTimer timer;
            timer.start();
            const bool done = ready && child.waitFor("done\n");
            durations.push_back(timer.nsecsElapsed());
            child.finish();
            [&] { QVERIFY2(done && !child.failed(), qPrintable(child.errors())); }();
            if (QTest::currentTestFailed())
                return 0;
        }
        std::sort(durations.begin(), durations.end());
        qInfo("%s: a run without a kill takes %.1f ms", qPrintable(work), double(durations[1]) / 1e6);
        return durations[1];
    }

    // Starts the work and kills it this many nanoseconds after it said it was ready. Returns whether
    // it had finished by then.
    bool killAt(const QString& work, const QString& folder, qint64 delay)
    {
        Child child(work, folder);
        const bool ready = child.waitFor("ready\n");
        if (ready)
            std::this_thread::sleep_for(std::chrono::nanoseconds(delay));
        const bool finished = child.kill();
        [&] {
            QVERIFY2(ready, qPrintable(child.errors()));
            QVERIFY2(!child.failed(), qPrintable(child.errors()));
        }();
        return finished;
    }

    void runCatalogueTrials(const QString& work, const QStringList& tables,
                            const std::function<void(const CatalogueState&, const CatalogueState&)>& checkWhole)
    {
        const QString folder = m_work.filePath(work);
        CrashWork::prepare(work, folder);
        const QString catalogue = CrashWork::cataloguePath(folder);
        const CatalogueState before = stateOf(catalogue, tables);
        QVERIFY2(before.sound(), qPrintable(before.describe()));
        const qint64 duration = measure(work, folder, [&] { CrashWork::resetCatalogue(folder); });
        if (QTest::currentTestFailed())
            return;
        const CatalogueState after = stateOf(catalogue, tables);
        QVERIFY2(after.sound(), qPrintable(after.describe()));
        checkWhole(before, after);
        if (QTest::currentTestFailed())
            return;

        Figures figures;
        auto moment = killMoments(duration);
        for (int trial = 0; trial < m_trials; ++trial) {
            CrashWork::resetCatalogue(folder);
            const bool finished = killAt(work, folder, moment(m_random));
            if (QTest::currentTestFailed())
                return;
            ++figures.trials;
            ++(finished ? figures.afterFinish : figures.midOperation);
            const bool journal = journalLeft(catalogue);
            const bool hot = hotJournal(catalogue);
            const CatalogueState state = stateOf(catalogue, tables);
            QString fault;
            if (!state.sound()) {
                ++figures.corrupted;
                fault = QStringLiteral("corrupted: ");
            } else if (state.strayLinks > 0 || (state.content != before.content && state.content != after.content)) {
                ++figures.halfDone;
                fault = QStringLiteral("half-done: ");
            } else {
                figures.journalsLeft += journal ? 1 : 0;
                // Opening rolled the half-written catalogue back from the journal and ended it.
                if (hot) {
                    QVERIFY2(!hotJournal(catalogue),
                             qPrintable(QStringLiteral("%1 trial %2: the hot journal stays").arg(work).arg(trial)));
                    ++figures.hotJournals;
                }
            }
            if (!fault.isEmpty() && figures.corrupted + figures.halfDone <= DescribedFaults)
                qWarning("%s trial %d %s%s", qPrintable(work), trial, qPrintable(fault), qPrintable(state.describe()));
        }
        report(work, figures);
        QCOMPARE(figures.corrupted, 0);
        QCOMPARE(figures.halfDone, 0);
    }

    // Kill moments spread evenly over the work's measured time and a little beyond, so that its very
    // end (the commit, the rename) is hit too.
    static std::uniform_int_distribution<qint64> killMoments(qint64 duration)
    {
        return std::uniform_int_distribution<qint64>(0, duration * 11 / 10);
    }

    void report(const QString& work, const Figures& figures)
    {
        qInfo("%s: %s", qPrintable(work), qPrintable(figures.describe()));
        m_total += figures;
    }

    QTemporaryDir m_work;
    quint64 m_seed = DefaultSeed;
    int m_trials = DefaultTrials;
    std::mt19937_64 m_random;
    Figures m_total;
};

int runCrashTest(int argc, char* argv[])
{
    CrashTest test;
    return QTest::qExec(&test, argc, argv);
}

#include "CrashTest.moc"
