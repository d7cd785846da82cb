// Makes the catalogue delivered with Vellaro: the nine tables with their rules, and a small sample
// catalogue to explore on the first run.
//
//     makecatalogue <path of the new Vellaro.mdb>

#include "core/Failure.h"
#include "data/CatalogueUpgrade.h"
#include "data/Database.h"
#include "data/cDataBase.h"

#include <QCoreApplication>
#include <QDate>

#include <cstdio>

namespace {

// Name columns are unique and ordered without regard to case (VNOCASE). Reference rows refuse to
// be deleted while used; a photo's subject links follow the photo when it is deleted or renumbered.
const char* const schema = R"sql(
PRAGMA journal_mode = DELETE;

CREATE TABLE Categories (
    CategoryID INTEGER PRIMARY KEY AUTOINCREMENT,
    Category TEXT NOT NULL COLLATE VNOCASE UNIQUE
);
CREATE TABLE Subjects (
    SubjectID INTEGER PRIMARY KEY AUTOINCREMENT,
    CategoryID INTEGER NOT NULL REFERENCES Categories (CategoryID),
    Subject TEXT NOT NULL COLLATE VNOCASE UNIQUE
);
CREATE INDEX SubjectsCategoryID ON Subjects (CategoryID);

CREATE TABLE States (
    StateID INTEGER PRIMARY KEY AUTOINCREMENT,
    State TEXT NOT NULL COLLATE VNOCASE UNIQUE
);
CREATE TABLE Locations (
    LocationID INTEGER PRIMARY KEY AUTOINCREMENT,
    StateID INTEGER NOT NULL REFERENCES States (StateID),
    Location TEXT NOT NULL COLLATE VNOCASE UNIQUE
);
CREATE INDEX LocationsStateID ON Locations (StateID);

CREATE TABLE StorageDevices (
    StorageDeviceID INTEGER PRIMARY KEY AUTOINCREMENT,
    StorageDevice TEXT NOT NULL COLLATE VNOCASE UNIQUE
);
CREATE TABLE StorageLocations (
    StorageLocationID INTEGER PRIMARY KEY AUTOINCREMENT,
    StorageDeviceID INTEGER NOT NULL REFERENCES StorageDevices (StorageDeviceID),
    StorageLocation TEXT NOT NULL COLLATE VNOCASE UNIQUE
);
CREATE INDEX StorageLocationsStorageDeviceID ON StorageLocations (StorageDeviceID);

CREATE TABLE Photos (
    PhotoID INTEGER NOT NULL UNIQUE,
    Caption TEXT,
    LocationID INTEGER REFERENCES Locations (LocationID),
    StorageLocationID INTEGER REFERENCES StorageLocations (StorageLocationID),
    DateTaken DATE,
    PrintLabel BOOLEAN DEFAULT 0,
    NumberofLabels SMALLINT,
    FileName TEXT,
    Comments TEXT
);
CREATE INDEX PhotosLocationID ON Photos (LocationID);
CREATE INDEX PhotosStorageLocationID ON Photos (StorageLocationID);
CREATE INDEX PhotosPrintLabel ON Photos (PrintLabel);

CREATE TABLE PhotosSubjects (
    PhotoSubjectID INTEGER PRIMARY KEY AUTOINCREMENT,
    PhotoID INTEGER NOT NULL REFERENCES Photos (PhotoID) ON DELETE CASCADE ON UPDATE CASCADE,
    SubjectID INTEGER NOT NULL REFERENCES Subjects (SubjectID)
);
CREATE INDEX PhotosSubjectsPhotoID ON PhotosSubjects (PhotoID);
CREATE INDEX PhotosSubjectsSubjectID ON PhotosSubjects (SubjectID);

CREATE TABLE Labels (
    Label TEXT
);
)sql";

struct Place
{
    const char* parent;
    const char* name;
};

// clang-format off
const char* const categories[] = {"Animals", "Family", "Nature", "Travel"};
const Place subjects[] = {
    {"Animals", "Birds"},      {"Animals", "Dogs"},       {"Animals", "Horses"},
    {"Family", "Birthdays"},   {"Family", "Grandparents"}, {"Family", "Weddings"},
    {"Nature", "Lakes"},       {"Nature", "Lighthouses"},  {"Nature", "Mountains"}, {"Nature", "Sunsets"},
    {"Travel", "Road Trips"},  {"Travel", "Holidays"},
};
const char* const states[] = {"California", "Maine", "Minnesota"};
const Place locations[] = {
    {"California", "Big Sur"},    {"California", "San Francisco"},
    {"Maine", "Bar Harbor"},      {"Maine", "Pemaquid Point"},   {"Maine", "Portland"},
    {"Minnesota", "Duluth"},      {"Minnesota", "Lake Itasca"},
};
const char* const storageDevices[] = {"Album", "CD-ROM", "Negative Box"};
const Place storageLocations[] = {
    {"Album", "Album 1 - Coast"}, {"Album", "Album 2 - Family"},
    {"CD-ROM", "Disc 2004-1"},
    {"Negative Box", "Box A"},    {"Negative Box", "Box B"},
};

struct SamplePhoto
{
    int id;
    const char* caption;
    const char* location;
    const char* storageLocation;
    const char* dateTaken;
    bool printLabel;
    int labels;
    const char* comments;
    std::initializer_list<const char*> subjects;
};

// The first two photos are tied to the sample pictures on the first run.
const SamplePhoto photos[] = {
    {1, "Pemaquid Point Light at dusk, Maine", "Pemaquid Point", "Album 1 - Coast", "2003-08-14", true, 2,
     "Taken from the rocks below the keeper's house.", {"Lighthouses", "Sunsets"}},
    {2, "Canada geese over Lake Itasca", "Lake Itasca", "Disc 2004-1", "2004-10-02", true, 1,
     "The first skein of the autumn, flying south.", {"Birds", "Lakes"}},
    {3, "Grandma's 80th birthday", "Duluth", "Album 2 - Family", "2001-06-17", false, 1, "", {"Birthdays", "Grandparents"}},
    {4, "Fog over the Golden Gate", "San Francisco", "Box A", "1998-07-09", false, -1, "", {"Holidays"}},
    {5, "Bixby Bridge, Highway 1", "Big Sur", "Box A", "1998-07-11", false, -1, "", {"Road Trips", "Mountains"}},
    {6, "Portland Head Light", "Portland", "Box B", nullptr, false, -1,
     "Date unknown; found in Dad's negatives.", {"Lighthouses"}},
    {7, "Sally and Max on the beach", nullptr, nullptr, "2005-05-30", false, -1, "", {"Dogs"}},
};
// clang-format on

QString text(const char* value)
{
    return QString::fromUtf8(value);
}

QVariant idOf(const Database& db, const char* table, const char* idField, const char* nameField, const char* name)
{
    if (!name)
        return {};
    auto row = db.OpenRecordset(
        TableQuery(text(table)).select(text(idField)).where(text(nameField) + QStringLiteral(" = ?"), {text(name)}));
    if (row->Eof())
        throw Failure(ErrorNumber::EngineFailure, {}, QStringLiteral("No sample row named %1").arg(text(name)));
    return row->Value(text(idField));
}

void addNames(const Database& db, const char* table, const char* field, std::initializer_list<const char*> names)
{
    for (const char* name : names)
        db.Execute(QStringLiteral("INSERT INTO %1 (%2) VALUES (?)").arg(text(table), text(field)), {text(name)});
}

template <std::size_t N>
void addChildren(const Database& db, const char* table, const char* parentTable, const char* parentId,
                 const char* parentName, const char* field, const Place (&places)[N])
{
    for (const Place& place : places) {
        const QVariant parent = idOf(db, parentTable, parentId, parentName, place.parent);
        db.Execute(
            QStringLiteral("INSERT INTO %1 (%2, %3) VALUES (?, ?)").arg(text(table), text(parentId), text(field)),
            {parent, text(place.name)});
    }
}

void addSamples(const Database& db)
{
    addNames(db, "Categories", "Category", {categories[0], categories[1], categories[2], categories[3]});
    addChildren(db, "Subjects", "Categories", "CategoryID", "Category", "Subject", subjects);
    addNames(db, "States", "State", {states[0], states[1], states[2]});
    addChildren(db, "Locations", "States", "StateID", "State", "Location", locations);
    addNames(db, "StorageDevices", "StorageDevice", {storageDevices[0], storageDevices[1], storageDevices[2]});
    addChildren(db, "StorageLocations", "StorageDevices", "StorageDeviceID", "StorageDevice", "StorageLocation",
                storageLocations);

    for (const SamplePhoto& photo : photos) {
        db.Execute(QStringLiteral("INSERT INTO Photos (PhotoID, Caption, LocationID, StorageLocationID, DateTaken, "
                                  "PrintLabel, NumberofLabels, FileName, Comments) VALUES (?, ?, ?, ?, ?, ?, ?, ?, ?)"),
                   {photo.id, text(photo.caption), idOf(db, "Locations", "LocationID", "Location", photo.location),
                    idOf(db, "StorageLocations", "StorageLocationID", "StorageLocation", photo.storageLocation),
                    photo.dateTaken ? QVariant(QDate::fromString(text(photo.dateTaken), Qt::ISODate)) : QVariant(),
                    photo.printLabel, photo.labels < 0 ? QVariant() : QVariant(photo.labels), QString(),
                    text(photo.comments)});
        for (const char* subject : photo.subjects) {
            db.Execute(QStringLiteral("INSERT INTO PhotosSubjects (PhotoID, SubjectID) VALUES (?, ?)"),
                       {photo.id, idOf(db, "Subjects", "SubjectID", "Subject", subject)});
        }
    }
}

} // namespace

int main(int argc, char* argv[])
{
    QCoreApplication application(argc, argv);
    if (argc != 2) {
        std::fprintf(stderr, "usage: makecatalogue <new catalogue file>\n");
        return 2;
    }
    try {
        const auto db = Database::CreateDatabase(QString::fromLocal8Bit(argv[1]), cDataBase::ConnectString());
        db->ExecuteScript(QString::fromUtf8(schema));
        // The upgrade at open adds the later tables and indexes; made here by the same code, the
        // delivered catalogue is at this program's version and opens without one.
        upgradeCatalogue(*db);
        Transaction work(*db);
        addSamples(*db);
        work.commit();
    } catch (const Failure& failure) {
        std::fprintf(stderr, "makecatalogue: %s\n", failure.what());
        return 1;
    }
    return 0;
}
