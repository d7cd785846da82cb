#include "gui/controls/ucImageViewer.h"

#include "core/Messages.h"

#include <QFileInfo>
#include <QImageReader>
#include <QLabel>
#include <QResizeEvent>

#include <algorithm>
#include <cmath>
#include <functional>
#include <limits>

namespace {

constexpr double twipsPerPixel = 15;
constexpr double unrecordedDotsPerInch = 96;
constexpr double inchesPerMeter = 0.0254;

const QString tooLargeMessage = QStringLiteral("File too large to display this size");
const QString unknownFormatMessage = QStringLiteral("Unable to display this image format");
const QString errorPrefix = QStringLiteral("ERROR: ");

// Halves go to the even neighbour, as the rule asks; std::round would take them away from zero.
double roundHalfEven(double value)
{
    if (std::abs(value - std::trunc(value)) == 0.5)
        return 2 * std::round(value / 2);
    return std::round(value);
}

// The free room rounded, then halved with the remainder dropped.
double centre(double room)
{
    return std::trunc(roundHalfEven(room) / 2);
}

// The placement turned into the picture label's rectangle in pixels.
QRect placementRect(const QSize& control, double pictureWidth, double pictureHeight, bool stretch)
{
    const ImagePlacement place = ScaleImage(control.width() * twipsPerPixel, control.height() * twipsPerPixel,
                                            pictureWidth, pictureHeight, stretch);
    return QRect(qRound(place.left / twipsPerPixel), qRound(place.top / twipsPerPixel),
                 qRound(place.width / twipsPerPixel), qRound(place.height / twipsPerPixel));
}

// Qt fills in the screen's resolution for a picture that records none; only the file's own figure counts.
double dotsPerInch(int dotsPerMeter, int defaultDotsPerMeter)
{
    if (dotsPerMeter <= 0 || dotsPerMeter == defaultDotsPerMeter)
        return unrecordedDotsPerInch;
    // Files record whole dots per inch; the dots per metre Qt keeps are truncated from them.
    return std::max(1.0, std::round(dotsPerMeter * inchesPerMeter));
}

qint32 toInt32(double value)
{
    const double lowest = std::numeric_limits<qint32>::min();
    const double highest = std::numeric_limits<qint32>::max();
    return static_cast<qint32>(std::clamp(std::trunc(value), lowest, highest));
}

enum class ReadFailure { None, Format, File };

struct ReadResult
{
    QImage image;
    QSize pixels; // the whole picture's size in pixels, upright, however large it was decoded
    ReadFailure failure = ReadFailure::None;
    QString description;
};

ReadResult fileFailure(const QString& description)
{
    return {QImage(), QSize(), ReadFailure::File, description};
}

// Decodes the file, at `shownSize` when that is valid and smaller than the picture (a large photograph
// decodes many times faster at the size of its preview).
ReadResult readPicture(const QString& fileName, const std::function<QSize(const QSize&)>& shownSize)
{
    const QFileInfo info(fileName);
    if (fileName.isEmpty())
        return fileFailure(QStringLiteral("No file name was given."));
    if (!info.exists())
        return fileFailure(QStringLiteral("The file could not be found."));
    if (info.isDir())
        return fileFailure(QStringLiteral("The name is that of a folder, not a file."));
    // Reading a named pipe waits for a writer and a device may never end: only files are opened.
    if (!info.isFile())
        return fileFailure(QStringLiteral("The name is that of a device or pipe, not a file."));
    if (!info.isReadable())
        return fileFailure(QStringLiteral("The file cannot be read."));

    // Photographs are shown upright as their camera recorded; the reader's sizes are those before turning.
    QImageReader reader(fileName);
    reader.setAutoTransform(true);
    const bool turned = reader.transformation() & QImageIOHandler::TransformationRotate90;
    const QSize stored = reader.size();
    QSize pixels = turned ? stored.transposed() : stored;
    if (pixels.isValid()) {
        const QSize shown = shownSize(pixels);
        if (shown.isValid() && shown.width() < pixels.width() && shown.height() < pixels.height())
            reader.setScaledSize(turned ? shown.transposed() : shown);
    }
    ReadResult result;
    result.image = reader.read();
    if (!result.image.isNull()) {
        // Some formats do not tell their size before decoding; those are decoded whole.
        result.pixels = pixels.isValid() ? pixels : result.image.size();
        return result;
    }
    switch (reader.error()) {
    case QImageReader::FileNotFoundError:
    case QImageReader::DeviceError:
        return fileFailure(QStringLiteral("The file cannot be read."));
    default:
        return {QImage(), QSize(), ReadFailure::Format, QString()};
    }
}

} // namespace

ImagePlacement ScaleImage(double W, double H, double pw, double ph, bool stretchSmallImages)
{
    double width = pw;
    double height = ph;
    if (pw <= 0 || ph <= 0) {
        // Nothing to fit; an empty picture stays empty, in the middle.
        width = 0;
        height = 0;
    } else if (ph < H && pw < W && !stretchSmallImages) {
        // Small pictures keep their own numbers.
    } else if (pw < ph) {
        height = H;
        width = pw / ph * H;
        if (width > W) {
            width = W;
            height = ph / pw * W;
        }
    } else {
        width = W;
        height = ph / pw * W;
        if (height > H) {
            height = H;
            width = pw / ph * H;
        }
    }
    return {centre(W - width), centre(H - height), width, height};
}

double NaturalSize(int pixels, double dotsPerInch)
{
    return pixels * 2540.0 / (dotsPerInch > 0 ? dotsPerInch : unrecordedDotsPerInch);
}

ucImageViewer::ucImageViewer(QWidget* parent) : QWidget(parent)
{
    m_image = new QLabel(this);
    m_image->setObjectName(QStringLiteral("Image1"));
    m_image->hide();

    m_error = new QLabel(this);
    m_error->setObjectName(QStringLiteral("lblError"));
    m_error->setWordWrap(true);
    m_error->setAlignment(Qt::AlignCenter);
    m_error->hide();
}

ucImageViewer::~ucImageViewer() = default;

void ucImageViewer::Clear()
{
    m_fileName.clear();
    m_picture = QImage();
    m_loaded = false;
    m_naturalWidth = 0;
    m_naturalHeight = 0;
    m_pixelSize = QSize();
    m_image->hide();
    m_error->hide();
    update();
}

void ucImageViewer::setFileName(const QString& fileName)
{
    Clear();
    m_fileName = fileName;

    QString message;
    if (checkAndLoad(message)) {
        scaleImage();
        update();
        emit OKStatus(true);
    } else {
        showError(message);
    }
}

qint32 ucImageViewer::PictureWidth() const
{
    return m_loaded ? toInt32(m_naturalWidth) : 0;
}

qint32 ucImageViewer::PictureHeight() const
{
    return m_loaded ? toInt32(m_naturalHeight) : 0;
}

void ucImageViewer::ResizeImage()
{
    scaleImage();
}

QString ucImageViewer::ErrorText() const
{
    return ShowsError() ? m_error->text() : QString();
}

bool ucImageViewer::ShowsError() const
{
    return !m_error->isHidden();
}

QRect ucImageViewer::ImageRect() const
{
    return m_loaded && !m_image->isHidden() ? m_image->geometry() : QRect();
}

void ucImageViewer::resizeEvent(QResizeEvent* event)
{
    // Only the caption follows the size; hosts call ResizeImage when they want the picture rescaled.
    m_error->setGeometry(rect());
    QWidget::resizeEvent(event);
}

bool ucImageViewer::checkAndLoad(QString& message)
{
    // A missing file counts as empty here, so that decoding is what reports it.
    const QFileInfo info(m_fileName);
    const double megabytes = (!m_fileName.isEmpty() && info.exists() ? info.size() : 0) / 1000000.0;
    const double limit = width() * twipsPerPixel / 1000 - 1;
    if (megabytes > limit) {
        message = tooLargeMessage;
        emit OKStatus(true);
        return false;
    }

    emit LoadingImage();
    // The resolution is known only once decoded: the reduced size assumes the usual one, and
    // scaleImage fits the picture again once the real one is known.
    const QSize control = size();
    const bool stretch = m_stretch;
    ReadResult result = readPicture(m_fileName, [&](const QSize& pixels) {
        return placementRect(control, NaturalSize(pixels.width(), 0), NaturalSize(pixels.height(), 0), stretch).size();
    });
    if (result.failure != ReadFailure::None) {
        message = result.failure == ReadFailure::Format ? unknownFormatMessage : errorPrefix + result.description;
        emit OKStatus(result.failure == ReadFailure::Format);
        emit ImageLoaded();
        return false;
    }

    // The natural size comes from the whole picture, however small it was decoded.
    m_picture = std::move(result.image);
    m_pixelSize = result.pixels;
    const int defaultDotsPerMeter = QImage(1, 1, QImage::Format_RGB32).dotsPerMeterX();
    m_naturalWidth = NaturalSize(m_pixelSize.width(), dotsPerInch(m_picture.dotsPerMeterX(), defaultDotsPerMeter));
    m_naturalHeight = NaturalSize(m_pixelSize.height(), dotsPerInch(m_picture.dotsPerMeterY(), defaultDotsPerMeter));
    m_loaded = true;
    emit ImageLoaded();
    return true;
}

void ucImageViewer::scaleImage()
{
    if (!m_loaded) {
        QString message;
        if (!checkAndLoad(message))
            return;
        // The caption of the earlier refusal would otherwise cover the picture now shown.
        m_error->hide();
    }

    const QRect place = placementRect(size(), m_naturalWidth, m_naturalHeight, m_stretch);
    const QSize wanted = place.size();
    // The picture was decoded for a smaller place: decode it again rather than enlarge the preview.
    if ((wanted.width() > m_picture.width() || wanted.height() > m_picture.height()) &&
        m_picture.size() != m_pixelSize) {
        ReadResult again = readPicture(m_fileName, [&](const QSize&) { return wanted; });
        if (again.failure == ReadFailure::None)
            m_picture = std::move(again.image);
    }

    QPixmap pixmap;
    if (!wanted.isEmpty()) {
        pixmap = QPixmap::fromImage(m_picture.size() == wanted
                                        ? m_picture
                                        : m_picture.scaled(wanted, Qt::IgnoreAspectRatio, Qt::SmoothTransformation));
    }
    m_image->setPixmap(pixmap);
    m_image->setGeometry(place);
    m_image->show();
}

void ucImageViewer::showError(const QString& message)
{
    m_error->setText(message);
    m_error->setGeometry(rect());
    m_error->raise();
    m_error->show();
    m_picture = QImage();
    m_loaded = false;
    m_naturalWidth = 0;
    m_naturalHeight = 0;
    m_pixelSize = QSize();
    m_image->clear();
    m_image->show();
    Beep();
}
