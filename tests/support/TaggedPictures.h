#pragma once

#include <QString>

#include <map>
#include <string>

// Writes a small picture of one pixel, a PNG when the path ends in ".png" and else a JPEG laid out
// as a camera's, whose EXIF data holds these text values by key, e.g.
// {"Exif.Photo.DateTimeOriginal", "2019:07:14 10:22:01"}. A picture that cannot be written fails the
// running test.
bool writeTaggedPicture(const QString& path, const std::map<std::string, std::string>& exif = {});
