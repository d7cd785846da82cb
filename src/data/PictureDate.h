#pragma once

#include <QDate>
#include <QString>

#include <optional>

// The day a picture was taken, as its camera recorded it in the file's EXIF data (the original
// date and time, "YYYY:MM:DD HH:MM:SS"). Nothing when the file cannot be read, is no picture, has
// no such value, or holds one that is not a real date and time from the year 1601 on. Never raises.
std::optional<QDate> DateTaken(const QString& file);
