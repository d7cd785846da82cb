#pragma once

#include <QString>

// Answers three questions about the desktop; empty text wherever there is no answer.
class cRegistry
{
public:
    // For a file extension such as ".jpg": the file type (its MIME type, "image/jpeg").
    QString GetDefaultValue(const QString& key) const;
    // For a file type: the command line of the desktop's default application for it (the Exec line
    // of its desktop entry, field codes such as %f included).
    QString GetDefaultApp(const QString& fileType) const;
    // The version of the help viewer built into the program.
    QString IEVersion() const;
};
