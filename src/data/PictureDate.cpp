#include "data/PictureDate.h"

#include <QFile>
#include <QFileInfo>
#include <QTime>

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

// What the start of a file says about its EXIF data.
enum class JpegExif { NotJpeg, None, Found };

// Reads a JPEG file's markers up to its image data and takes the EXIF block (the TIFF data after
// "Exif\0\0" in an APP1 segment). The library's own reader would decode every other block too, and
// an editor's XMP packet costs several times what the EXIF does.
JpegExif readJpegExif(QFile& file, QByteArray& exif)
{
    const QByteArray start = file.read(2);
    if (start.size() != 2 || uchar(start[0]) != 0xFF || uchar(start[1]) != 0xD8)
        return JpegExif::NotJpeg;
    for (;;) {
        char byte = 0;
        if (!file.getChar(&byte) || uchar(byte) != 0xFF)
            return JpegExif::None;
        // Any number of fill bytes may come before a marker.
        while (uchar(byte) == 0xFF) {
            if (!file.getChar(&byte))
                return JpegExif::None;
        }
        const uchar marker = uchar(byte);
        if (marker == 0xD9 || marker == 0xDA) // the end, or the image data: no metadata follows
            return JpegExif::None;
        if (marker == 0x01 || (marker >= 0xD0 && marker <= 0xD7)) // markers without a segment
            continue;
        const QByteArray length = file.read(2);
        if (length.size() != 2)
            return JpegExif::None;
        qint64 rest = (uchar(length[0]) << 8 | uchar(length[1])) - 2;
        if (rest < 0)
            return JpegExif::None;
        static const QByteArray exifHeader("Exif\0\0", 6);
        if (marker == 0xE1 && rest > exifHeader.size()) {
            if (file.read(exifHeader.size()) == exifHeader) {
                // A block cut short by a damaged file is decoded as far as it goes.
                exif = file.read(rest - exifHeader.size());
                return JpegExif::Found;
            }
            rest -= exifHeader.size();
        }
        if (!file.seek(file.pos() + rest))
            return JpegExif::None;
    }
}

// The original date and time among the EXIF values, as text; empty when there is none.
std::string originalDateTime(const Exiv2::ExifData& exif)
{
    static const Exiv2::ExifKey key("Exif.Photo.DateTimeOriginal");
    const auto found = exif.findKey(key);
    return found == exif.end() ? std::string() : found->toString();
}

} // namespace

std::optional<QDate> DateTaken(const QString& file)
{
    muteLibraryLog();
    // Only a regular file is opened: a pipe or a device would hang or feed the reader forever.
    if (!QFileInfo(file).isFile())
        return std::nullopt;
    try {
        QFile picture(QFileInfo(file).absoluteFilePath());
        if (!picture.open(QIODevice::ReadOnly))
            return std::nullopt;
        QByteArray block;
        switch (readJpegExif(picture, block)) {
        case JpegExif::None:
            return std::nullopt;
        case JpegExif::Found: {
            Exiv2::ExifData exif;
            Exiv2::ExifParser::decode(exif, reinterpret_cast<const Exiv2::byte*>(block.constData()),
                                      uint32_t(block.size()));
            return dateOfText(originalDateTime(exif));
        }
        case JpegExif::NotJpeg:
            break;
        }
        // Every other kind of picture (TIFF and the raw formats built on it, PNG, WebP, ...) is
        // read whole by the library. It takes a full path for a file, never for an address to fetch.
        const auto image = Exiv2::ImageFactory::open(QFile::encodeName(picture.fileName()).toStdString());
        image->readMetadata();
        return dateOfText(originalDateTime(image->exifData()));
    } catch (const std::exception&) {
        // The library's own errors and the standard ones its readers raise on damaged files alike
        // mean that this file tells no date.
        return std::nullopt;
    }
}
