#pragma once

#include <QString>
#include <QStringList>

// The bulk work the crash suite kills, each run by a child process in a folder of its own. The
// parent prepares the folder, starts the child, kills it and looks at what the catalogue holds.

// What a child is asked to do, by name on its command line.
namespace CrashWork {

inline const QString Import = QStringLiteral("import");
inline const QString Labels = QStringLiteral("labels");
inline const QString Save = QStringLiteral("save");
inline const QString Backup = QStringLiteral("backup");

// The argument that makes the test program a child: then its arguments are the work and its folder.
inline const char* const ChildArgument = "--crash-child";

// The catalogue each trial works on, and the untouched copy it is made from before each trial.
QString cataloguePath(const QString& folder);
QString templatePath(const QString& folder);
// The folder of files the import adds, and the folder holding the older backup.
QString importFilesPath(const QString& folder);
QString backupFolderPath(const QString& folder);
// The older backup as it was, outside the backup's folder.
QString olderBackupPath(const QString& folder);

// How many photos, links and labels the work adds.
constexpr int ImportedFiles = 2000;
constexpr int ImportedSubjects = 2;
constexpr int MadeLabels = 10000;
// The photo the editor saves: typed at the end of its caption and into its empty comments, two
// subjects added and one removed, which leaves it with these.
constexpr int SavedPhoto = 3;
inline const QString SavedCaptionEnd = QStringLiteral(", the whole family");
inline const QString SavedComments = QStringLiteral("Renamed and re-filed");
inline const QStringList SavedSubjectsAdded{QStringLiteral("Weddings"), QStringLiteral("Holidays")};
inline const QStringList SavedSubjectsRemoved{QStringLiteral("Birthdays")};
inline const QStringList SavedSubjects{QStringLiteral("Grandparents"), QStringLiteral("Holidays"),
                                       QStringLiteral("Weddings")};

// Makes the work's folder from the delivered catalogue: the template and whatever else the work
// reads (the import's files, the older backup). Throws on any failure.
void prepare(const QString& work, const QString& folder);

// Puts a fresh copy of the template in place for one trial, journals of the last one removed.
void resetCatalogue(const QString& folder);

// The child's side: opens what the work needs, writes "ready" on its output, does the work, writes
// "done". Returns the process's exit code.
int runChild(const QString& work, const QString& folder);

} // namespace CrashWork
