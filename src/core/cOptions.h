#pragma once

#include <QString>

// The user's options for automatic captions and for what a new photo takes over from the photo
// saved last. Creating the object reads them; a stored boolean that is no boolean reads as its default.
class cOptions
{
public:
    cOptions();

    // Writes all nine options back, booleans as "True" or "False".
    void SaveSettings() const;

    QString Copyright;
    bool CopyrightinCaption;
    bool DateinCaption;
    bool LocationinCaption;
    bool LastLocation;
    bool LastDate;
    bool LastStorageDevice;
    bool lastComments;
    bool lastFilename;
};
