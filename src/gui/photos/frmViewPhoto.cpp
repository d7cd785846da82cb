#include "gui/photos/frmViewPhoto.h"

#include "core/Conversions.h"
#include "core/Failure.h"
#include "gui/shell/Action.h"
#include "gui/shell/FormPosition.h"
#include "gui/shell/MainVellaro.h"
#include "core/Messages.h"
#include "data/Recordset.h"
#include "gui/controls/ucImageViewer.h"

#include <QFrame>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QPushButton>

#include <algorithm>

namespace {

constexpr int buttonWidth = 32;
constexpr int buttonHeight = 26;
constexpr int statusWidth = 110;

QPushButton* button(QWidget* parent, const char* name, const QString& caption, const QString& tip)
{
    auto* item = new QPushButton(caption, parent);
    item->setObjectName(QString::fromLatin1(name));
    item->setToolTip(tip);
    // Enter is no way to step: only the buttons' own clicks, Space and the stepping keys are.
    item->setAutoDefault(false);
    item->setFixedSize(buttonWidth, buttonHeight);
    return item;
}

} // namespace

frmViewPhoto::frmViewPhoto(const QString& fileName, QWidget* parent) : QDialog(parent)
{
    const BusyPointer busy;
    setObjectName(QStringLiteral("frmViewPhoto"));
    setWindowTitle(QStringLiteral("View Photo"));

    ucImageViewer1 = new ucImageViewer(this);
    ucImageViewer1->setObjectName(QStringLiteral("ucImageViewer1"));

    auto* frame = new QFrame(this);
    frame->setObjectName(QStringLiteral("fraButtons"));
    frame->setFrameShape(QFrame::StyledPanel);
    frame->setAutoFillBackground(true);
    fraButtons = frame;
    cmdFirst = button(fraButtons, "cmdFirst", QStringLiteral("|<"), QStringLiteral("First photo (Home)"));
    cmdPrevious = button(fraButtons, "cmdPrevious", QStringLiteral("<"), QStringLiteral("Previous photo (Left arrow)"));
    cmdNext = button(fraButtons, "cmdNext", QStringLiteral(">"), QStringLiteral("Next photo (Right arrow)"));
    cmdLast = button(fraButtons, "cmdLast", QStringLiteral(">|"), QStringLiteral("Last photo (End)"));
    lblStatus = new QLabel(fraButtons);
    lblStatus->setObjectName(QStringLiteral("lblStatus"));
    lblStatus->setFixedSize(statusWidth, buttonHeight);
    lblStatus->setFrameShape(QFrame::Panel);
    lblStatus->setFrameShadow(QFrame::Sunken);
    auto* row = new QHBoxLayout(fraButtons);
    row->setContentsMargins(4, 4, 4, 4);
    row->setSpacing(2);
    row->addWidget(cmdFirst);
    row->addWidget(cmdPrevious);
    row->addWidget(lblStatus);
    row->addWidget(cmdNext);
    row->addWidget(cmdLast);
    // The frame keeps one size, so that it can be centred by its own width.
    fraButtons->setFixedSize(fraButtons->sizeHint());

    // Each step runs as one action: a row that cannot be read is reported and the show goes on.
    const auto act = [this](void (frmViewPhoto::*handler)()) {
        return [this, handler] { RunAction([this, handler] { (this->*handler)(); }); };
    };
    connect(cmdFirst, &QPushButton::clicked, this, act(&frmViewPhoto::cmdFirst_Click));
    connect(cmdPrevious, &QPushButton::clicked, this, act(&frmViewPhoto::cmdPrevious_Click));
    connect(cmdNext, &QPushButton::clicked, this, act(&frmViewPhoto::cmdNext_Click));
    connect(cmdLast, &QPushButton::clicked, this, act(&frmViewPhoto::cmdLast_Click));
    connect(ucImageViewer1, &ucImageViewer::LoadingImage, this, [this] { m_busy = std::make_unique<BusyPointer>(); });
    connect(ucImageViewer1, &ucImageViewer::ImageLoaded, this, [this] { m_busy.reset(); });

    // The stepping keys work whichever control has the focus, and when none has.
    installEventFilter(this);
    for (QWidget* control : findChildren<QWidget*>())
        control->installEventFilter(this);

    resize(800, 600);
    RunAction([this] { RestoreFormPosition(this); });
    fraButtons->hide();
    // The viewer judges a file's size by its own width: it needs its place before the file.
    placeControls();
    ucImageViewer1->setFileName(fileName);
    InstallHelpKey(this, HelpContextID);
}

frmViewPhoto::~frmViewPhoto() = default;

void frmViewPhoto::setButtons(bool visible)
{
    fraButtons->setVisible(visible);
    placeControls();
    ucImageViewer1->ResizeImage();
}

void frmViewPhoto::SlideShow(std::unique_ptr<Recordset> records)
{
    m_records = std::move(records);
    if (m_records->Eof() && m_records->Bof()) {
        // Nothing to show: the caller ends the slide show, and the keys have nothing to move through.
        m_records.reset();
        hide();
        throw Failure(ErrorNumber::NoCurrentRecord);
    }
    m_records->MoveFirst();
    fraButtons->show();
    placeControls();
    showCurrentRecord();
}

void frmViewPhoto::resizeEvent(QResizeEvent* event)
{
    QDialog::resizeEvent(event);
    placeControls();
    // Rescales the picture, and shows one that was too large for the smaller viewer if it now fits.
    ucImageViewer1->ResizeImage();
}

void frmViewPhoto::done(int result)
{
    RunAction([this] { SaveFormPosition(this); });
    QDialog::done(result);
}

bool frmViewPhoto::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() != QEvent::KeyPress || !m_records)
        return QDialog::eventFilter(watched, event);
    switch (static_cast<QKeyEvent*>(event)->key()) {
    case Qt::Key_Left:
    case Qt::Key_PageUp:
        cmdPrevious->click();
        return true;
    case Qt::Key_Right:
    case Qt::Key_PageDown:
        cmdNext->click();
        return true;
    case Qt::Key_Up:
    case Qt::Key_Home:
        cmdFirst->click();
        return true;
    case Qt::Key_Down:
    case Qt::Key_End:
        cmdLast->click();
        return true;
    default:
        return QDialog::eventFilter(watched, event);
    }
}

void frmViewPhoto::showCurrentRecord()
{
    QString caption = toText(m_records->Value(QStringLiteral("Caption")));
    // A caption typed over several lines reads as one in the title bar; lone breaks are left as they are.
    caption.remove(QStringLiteral("\r\n"));
    const QString fileName = toText(m_records->Value(QStringLiteral("FileName")));
    setWindowTitle(toText(m_records->Value(QStringLiteral("PhotoID"))) + QStringLiteral("  ") + fileName +
                   QStringLiteral("  ") + caption);
    lblStatus->setText(QStringLiteral(" Record: ") + QString::number(m_records->AbsolutePosition() + 1));
    ucImageViewer1->setFileName(fileName);
}

void frmViewPhoto::placeControls()
{
    if (fraButtons->isHidden()) {
        ucImageViewer1->setGeometry(rect());
        return;
    }
    // The frame is centred along the bottom; the picture has the room above it.
    fraButtons->move(width() / 2 - fraButtons->width() / 2, height() - fraButtons->height());
    ucImageViewer1->setGeometry(0, 0, width(), std::max(0, height() - fraButtons->height()));
}

void frmViewPhoto::cmdFirst_Click()
{
    if (!m_records)
        return;
    m_records->MoveFirst();
    showCurrentRecord();
}

void frmViewPhoto::cmdPrevious_Click()
{
    if (!m_records)
        return;
    m_records->MovePrevious();
    if (m_records->Bof()) {
        m_records->MoveNext();
        Beep();
    }
    showCurrentRecord();
}

void frmViewPhoto::cmdNext_Click()
{
    if (!m_records)
        return;
    m_records->MoveNext();
    if (m_records->Eof()) {
        m_records->MovePrevious();
        Beep();
    }
    showCurrentRecord();
}

void frmViewPhoto::cmdLast_Click()
{
    if (!m_records)
        return;
    m_records->MoveLast();
    showCurrentRecord();
}
