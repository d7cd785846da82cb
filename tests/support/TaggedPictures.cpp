#include "support/TaggedPictures.h"

#include <QFile>
#include <QTest>

#include <exiv2/exif.hpp>
#include <exiv2/image.hpp>
#include <exiv2/jpgimage.hpp>
#include <exiv2/pngimage.hpp>

#include <exception>

bool writeTaggedPicture(const QString& path, const std::map<std::string, std::string>& exif)
{
    try {
        // The library starts a new picture from a blank one of its own.
        const int type = path.endsWith(u".png") ? Exiv2::ImageType::png : Exiv2::ImageType::jpeg;
        const auto image = Exiv2::ImageFactory::create(type, QFile::encodeName(path).toStdString());
        Exiv2::ExifData data;
        for (const auto& [key, value] : exif)
            data[key] = value;
        image->setExifData(data);
        image->writeMetadata();
        return true;
    } catch (const std::exception& error) {
        QTest::qFail(qPrintable(u"cannot write the picture " + path + u": " + QString::fromLocal8Bit(error.what())),
                     __FILE__, __LINE__);
        return false;
    }
}
