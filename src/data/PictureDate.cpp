#include "data/PictureDate.h"

#include <QFile>
#include <QFileInfo>
#include <QTime>

#include <exiv2/basicio.hpp>
#include <exiv2/error.hpp>
#include <exiv2/exif.hpp>
#include <exiv2/image.hpp>

#include <exception>
#include <string>

namespace {

// The catalogue's date fields start at 1601; an earlier value is a camera's unset clock, not a date.
const QDate earliestDate(1601, 1, 1);

// The number written with count digits from position at, or -1 when any of them is no digit.
int digitsAt(const std::string& text, std::size_t at, std::size_t count)
{
    int number = 0;
    for (std::size_t i = at; i < at + count; ++i) {
        if (text[i] < '0' || text[i] > '9')
            return -1;
        number = number * 10 + (text[i] - '0');
    }
    return number;
}

// The date of an EXIF date and time, "YYYY:MM:DD HH:MM:SS" with nothing but blanks after it.
std::optional<QDate> dateOfText(const std::string& text)
{
    constexpr std::size_t length = 19;
    if (text.size() < length || text.find_first_not_of(' ', length) != std::string::npos)
        return std::nullopt;
    if (text[4] != ':' || text[7] != ':' || text[10] != ' ' || text[13] != ':' || text[16] != ':')
        return std::nullopt;
    const QDate date(digitsAt(text, 0, 4), digitsAt(text, 5, 2), digitsAt(text, 8, 2));
    const QTime time(digitsAt(text, 11, 2), digitsAt(text, 14, 2), digitsAt(text, 17, 2));
    if (!date.isValid() || !time.isValid() || date < earliestDate)
        return std::nullopt;
    return date;
}

void muteLibraryLog()
{
    // Damaged files are everyday input here: the library's complaints about them are no news to anyone.
    static const bool muted = [] {
        Exiv2::LogMsg::setLevel(Exiv2::LogMsg::mute);
        return true;
    }();
    (void)muted;
}

} // namespace

std::optional<QDate> DateTaken(const QString& file)
{
    muteLibraryLog();
    // Only a regular file is opened: a pipe or a device would hang or feed the reader forever.
    if (!QFileInfo(file).isFile())
        return std::nullopt;
    static const Exiv2::ExifKey key("Exif.Photo.DateTimeOriginal");
    try {
        // A file of our own, never a name the library might take for an address to fetch.
        Exiv2::BasicIo::AutoPtr io(new Exiv2::FileIo(QFile::encodeName(file).toStdString()));
        const auto image = Exiv2::ImageFactory::open(io);
        if (!image.get())
            return std::nullopt;
        image->readMetadata();
        const Exiv2::ExifData& exif = image->exifData();
        const auto found = exif.findKey(key);
        if (found == exif.end())
            return std::nullopt;
        return dateOfText(found->toString());
    } catch (const std::exception&) {
        // The library's own errors and the standard ones its readers raise on damaged files alike
        // mean that this file tells no date.
        return std::nullopt;
    }
}
