#pragma once

#include <QImage>
#include <QString>
#include <QWidget>

class QLabel;

// Where a picture stands inside the viewer, in the viewer's own measures.
struct ImagePlacement
{
    double left;
    double top;
    double width;
    double height;
};

// The viewer's scaling rule. W and H are the control's width and height in twips; pw and ph the
// picture's natural width and height in hundredths of a millimetre, used as they are. A picture
// smaller than the control in both directions keeps its numbers unless stretch is set; any other
// is fitted into the control keeping its proportions. The result is centred: left and top are the
// free room rounded half to even, then halved with the remainder dropped.
ImagePlacement ScaleImage(double W, double H, double pw, double ph, bool stretchSmallImages);

// A picture's natural size in hundredths of a millimetre: its pixels times 2540 divided by its
// dots per inch (96 when the file records none).
double NaturalSize(int pixels, double dotsPerInch);

// Shows one picture file scaled into its area, centred and in proportion. Refuses files too large
// for its current width and reports files it cannot show in a caption over its area, with a beep.
class ucImageViewer final : public QWidget
{
    Q_OBJECT

public:
    explicit ucImageViewer(QWidget* parent = nullptr);
    ~ucImageViewer() override;

    QString FileName() const { return m_fileName; }
    // Loads and shows the file (see the class comment); raises the events below.
    void setFileName(const QString& fileName);
    // Back to the empty viewer it starts as: no picture, no file name and no error shown.
    void Clear();
    bool StretchSmallImages() const { return m_stretch; }
    void setStretchSmallImages(bool stretch) { m_stretch = stretch; }
    // The loaded picture's natural size in hundredths of a millimetre (0 when none is loaded).
    qint32 PictureWidth() const;
    qint32 PictureHeight() const;
    // Scales and places the picture again for the control's current size; a file refused as too
    // large is tried again.
    void ResizeImage();

    // The caption shown instead of a picture ("File too large to display this size", ...).
    QString ErrorText() const;
    bool ShowsError() const;
    // Where the picture stands, in pixels of the control; empty when none is shown.
    QRect ImageRect() const;

signals:
    // True: the file exists and can be shown by other means. False: it could not be opened.
    void OKStatus(bool ok);
    void LoadingImage();
    void ImageLoaded();

protected:
    void resizeEvent(QResizeEvent* event) override;

private:
    bool checkAndLoad(QString& message);
    void scaleImage();
    void showError(const QString& message);

    QLabel* m_image;
    QLabel* m_error;
    QString m_fileName;
    bool m_stretch = false;
    bool m_loaded = false;
    QImage m_picture;
    double m_naturalWidth = 0;
    double m_naturalHeight = 0;
    QSize m_pixelSize; // the loaded picture's whole size in pixels; m_picture may be decoded smaller
};
