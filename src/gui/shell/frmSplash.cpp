#include "gui/shell/frmSplash.h"

#include "gui/shell/Icons.h"
#include "core/Settings.h"
#include "core/Version.h"

#include <QFrame>
#include <QGridLayout>
#include <QLabel>
#include <QScreen>

namespace {

QLabel* label(QWidget* parent, const char* name, const QString& text, int pointSize, bool bold = false)
{
    auto* item = new QLabel(text, parent);
    item->setObjectName(QString::fromLatin1(name));
    QFont font(QStringLiteral("Arial"), pointSize);
    font.setBold(bold);
    item->setFont(font);
    return item;
}

} // namespace

frmSplash::frmSplash(QWidget* parent) : QWidget(parent, Qt::SplashScreen | Qt::WindowStaysOnTopHint)
{
    setObjectName(QStringLiteral("frmSplash"));
    setWindowTitle(QString::fromUtf16(AppTitle));

    auto* frame = new QFrame(this);
    frame->setObjectName(QStringLiteral("Frame1"));
    frame->setFrameShape(QFrame::Box);
    frame->setLineWidth(2);

    auto* logo = new QLabel(frame);
    logo->setObjectName(QStringLiteral("imgLogo"));
    logo->setPixmap(ProgramIcon().pixmap(96, 96));

    auto* layout = new QGridLayout(frame);
    layout->setContentsMargins(24, 20, 24, 16);
    layout->setHorizontalSpacing(24);
    layout->addWidget(logo, 0, 0, 3, 1, Qt::AlignTop);
    layout->addWidget(label(frame, "lblProductName", QString::fromUtf16(AppTitle), 28, true), 0, 1);
    layout->addWidget(label(frame, "lblLicenseTo", QStringLiteral("Keeping track of your photographs"), 12), 1, 1);
    // The platform the program runs on.
    layout->addWidget(label(frame, "lblPlatform", QStringLiteral(" For Linux"), 12), 2, 1);
    layout->addWidget(label(frame, "lblVersion", Version::VersionText(), 10), 3, 1, Qt::AlignRight);
    layout->addWidget(label(frame, "lblCopyright", Version::LegalCopyright(), 8), 4, 0, 1, 2);

    auto* outer = new QGridLayout(this);
    outer->setContentsMargins(0, 0, 0, 0);
    outer->addWidget(frame);
    setStyleSheet(QStringLiteral("#frmSplash { background: #fbfaf6; } #lblProductName { color: #2a4d6e; }"));
    adjustSize();
    if (const QScreen* screen = this->screen())
        move(screen->availableGeometry().center() - rect().center());
}

frmSplash::~frmSplash() = default;
