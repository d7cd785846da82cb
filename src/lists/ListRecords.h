#pragma once

#include <QString>

// The records of the six reference lists: every field as text, identifiers as decimal digits
// (empty while there is none).

struct cCategory
{
    QString CategoryID;
    QString Category;
};

struct cSubject
{
    QString SubjectID;
    QString CategoryID;
    QString Subject;
};

struct cState
{
    QString StateID;
    QString State;
};

struct cLocation
{
    QString StateID;
    QString LocationID;
    QString Location;
};

struct cStorageDevice
{
    QString StorageDeviceID;
    QString StorageDevice;
};

struct cStorageLocation
{
    QString StorageLocationID;
    QString StorageDeviceID;
    QString StorageLocation;
};
