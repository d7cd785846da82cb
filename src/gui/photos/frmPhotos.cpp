#include "gui/photos/frmPhotos.h"

#include "gui/controls/NamedControls.h"
#include "core/Conversions.h"
#include "core/Failure.h"
#include "data/Database.h"
#include "data/PictureDate.h"
#include "data/cDataBase.h"
#include "gui/shell/Action.h"
#include "gui/shell/FormPosition.h"
#include "gui/shell/MainFrame.h"
#include "gui/shell/MainVellaro.h"
#include "core/Messages.h"
#include "core/Settings.h"
#include "core/cOptions.h"
#include "data/cPhotos.h"
#include "data/cPhotosSubjects.h"
#include "lists/cLocations.h"
#include "lists/cStorageLocations.h"
#include "lists/cSubjects.h"
#include "gui/controls/DatePicker.h"
#include "gui/controls/KeyFilters.h"
#include "gui/controls/PlacePickers.h"
#include "gui/controls/SubjectChooser.h"
#include "gui/controls/TypeAhead.h"
#include "gui/controls/WidgetTargets.h"
#include "gui/photos/frmViewPhoto.h"
#include "gui/import/frmBrowse.h"
#include "gui/controls/uc2ColCombo.h"
#include "gui/controls/ucImageViewer.h"

#include <QCheckBox>
#include <QCloseEvent>
#include <QDate>
#include <QDateEdit>
#include <QGroupBox>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMdiSubWindow>
#include <QPlainTextEdit>
#include <QProcess>
#include <QPushButton>
#include <QRegularExpression>

#include <algorithm>
#include <limits>
#include <optional>
#include <utility>

namespace {

const QString startUp = QStringLiteral("StartUp");

// Window widths of the two layouts, and the left edges of the buttons below the fields, in twips.
constexpr int narrowWidth = 4300;
constexpr int wideWidth = 8550;
constexpr int narrowNavigation[] = {60, 420, 780, 3525, 3885};
constexpr int wideNavigation[] = {2160, 2520, 2880, 5625, 5985};
constexpr int narrowCommands[] = {90, 1110, 2145, 3165};
constexpr int wideCommands[] = {2190, 3210, 4245, 5265};

int px(int twips)
{
    return (twips + TwipsPerPixel / 2) / TwipsPerPixel;
}

// Collects the names a fill delivers, so that they are all read before anything is shown.
class NameList final : public ListTarget
{
public:
    void AddItem(const QString& text) override { names << text; }
    QStringList names;
};

// The number of labels typed or pasted. No count below zero can be printed, and -1 would be stored
// as no count at all, which the label list then refuses: both are out of range.
std::int16_t labelCount(const QString& text)
{
    const std::int16_t count = toInt16(text);
    if (count < 0)
        throw Failure(ErrorNumber::Overflow, QStringLiteral("frmPhotos"));
    return count;
}

} // namespace

frmPhotos* frmPhotos::make(MainFrame* main, QWidget* parent)
{
    auto* editor = new frmPhotos(main, parent);
    if (editor->m_loaded)
        return editor;
    // What went wrong has been shown; an editor without its record sets is not offered.
    delete editor;
    if (main)
        main->PhotoEditorClosed();
    return nullptr;
}

frmPhotos::frmPhotos(MainFrame* main, QWidget* parent) : QWidget(parent), m_main(main)
{
    setObjectName(QStringLiteral("frmPhotos"));
    setWindowTitle(QStringLiteral("Photos"));
    createControls();
    connectControls();
    InstallHelpKey(this, HelpContextID);
    load();
}

frmPhotos::~frmPhotos() = default;

void frmPhotos::createControls()
{
    const char* captions[] = {"Photo ID",       "Caption",       "Date Taken", "State",   "Location",
                              "Storage Device", "Storage Place", "Subjects",   "Comments"};
    for (int i = 0; i < int(std::size(captions)); ++i) {
        m_labels[i] = new QLabel(QString::fromLatin1(captions[i]), this);
        m_labels[i]->setObjectName(QStringLiteral("lblCaption(%1)").arg(i));
    }
    txtPhotoID = NamedTextBox(this, "txtPhotoID");
    txtCaption = new QPlainTextEdit(this);
    txtCaption->setObjectName(QStringLiteral("txtCaption"));
    txtCaption->setTabChangesFocus(true);
    dtpTaken = new DatePicker(this);
    dtpTaken->setObjectName(QStringLiteral("dtpTaken"));
    for (int i = 0; i < 2; ++i) {
        cboPhotos[i] = new DropDownCombo(this);
        cboPhotos[i]->setObjectName(QStringLiteral("cboPhotos(%1)").arg(i));
        cboPhotos[i]->setEditable(true);
        cboPhotos[i]->setInsertPolicy(QComboBox::NoInsert);
        cboCodedPhoto[i] = new uc2ColCombo(this);
        cboCodedPhoto[i]->setObjectName(QStringLiteral("cboCodedPhoto(%1)").arg(i));
    }
    lstSubjects = new QListWidget(this);
    lstSubjects->setObjectName(QStringLiteral("lstSubjects"));
    cboSubjects = new uc2ColCombo(this);
    cboSubjects->setObjectName(QStringLiteral("cboSubjects"));
    cmdAddSubject =
        NamedButton(this, "cmdAddSubject", QStringLiteral("Add a s&ubject"), QStringLiteral("Add a subject"));
    chkPrintLabel = new QCheckBox(QStringLiteral("Print &Label?"), this);
    chkPrintLabel->setObjectName(QStringLiteral("chkPrintLabel"));
    lblLabels = new QLabel(QStringLiteral("Labels:"), this);
    lblLabels->setObjectName(QStringLiteral("lblLabels"));
    txtNumberofLabels = NamedTextBox(this, "txtNumberofLabels");
    txtComments = NamedTextBox(this, "txtComments");

    fraDigitalFile = new QGroupBox(QStringLiteral("Digital File"), this);
    fraDigitalFile->setObjectName(QStringLiteral("fraDigitalFile"));
    txtFileName = NamedTextBox(fraDigitalFile, "txtFileName");
    cmdBrowse =
        NamedButton(fraDigitalFile, "cmdBrowse", QStringLiteral("&Browse..."), QStringLiteral("Choose the file"));
    cmdViewPhoto =
        NamedButton(fraDigitalFile, "cmdViewPhoto", QStringLiteral("&View"), QStringLiteral("View full size"));
    cmdEditPhoto = NamedButton(fraDigitalFile, "cmdEditPhoto", QStringLiteral("&Edit"),
                               QStringLiteral("Open in the default program"));
    ucImageViewer1 = new ucImageViewer(fraDigitalFile);
    ucImageViewer1->setObjectName(QStringLiteral("ucImageViewer1"));

    cmdFirst = NamedButton(this, "cmdFirst", QStringLiteral("|<"), QStringLiteral("First photo"));
    cmdPrevious = NamedButton(this, "cmdPrevious", QStringLiteral("<"), QStringLiteral("Previous photo"));
    cmdNext = NamedButton(this, "cmdNext", QStringLiteral(">"), QStringLiteral("Next photo"));
    cmdLast = NamedButton(this, "cmdLast", QStringLiteral(">|"), QStringLiteral("Last photo"));
    lblStatus = new QLabel(this);
    lblStatus->setObjectName(QStringLiteral("lblStatus"));
    lblStatus->setAlignment(Qt::AlignCenter);
    lblStatus->setFrameShape(QFrame::Panel);
    lblStatus->setFrameShadow(QFrame::Sunken);
    cmdAdd = NamedButton(this, "cmdAdd", QStringLiteral("&Add"), QStringLiteral("Add a new photo"));
    cmdDelete = NamedButton(this, "cmdDelete", QStringLiteral("&Delete"), QStringLiteral("Delete this photo"));
    cmdUpdate = NamedButton(this, "cmdUpdate", QStringLiteral("&Save"), QStringLiteral("Save the changes"));
    cmdClose = NamedButton(this, "cmdClose", QStringLiteral("&Close"));

    dtpTaken->setToolTip(QStringLiteral("Check the box to enter a date"));
    cboCodedPhoto[0]->setToolTipText(QStringLiteral("Location where photo was taken"));
    cboCodedPhoto[1]->setToolTipText(QStringLiteral("Location where photo is stored"));
    cboSubjects->setToolTipText(QStringLiteral("Press the Escape Key to cancel"));
    cboSubjects->hide();
    // Viewing and opening the file wait until the viewer has found it.
    cmdViewPhoto->setEnabled(false);
    cmdEditPhoto->setEnabled(false);
}

void frmPhotos::connectControls()
{
    // Every command runs as one action: a failure is shown and goes no further.
    const auto act = [this](void (frmPhotos::*handler)()) {
        return [this, handler] { RunAction([this, handler] { (this->*handler)(); }); };
    };
    connect(cmdFirst, &QPushButton::clicked, this, act(&frmPhotos::cmdFirst_Click));
    connect(cmdPrevious, &QPushButton::clicked, this, act(&frmPhotos::cmdPrevious_Click));
    connect(cmdNext, &QPushButton::clicked, this, act(&frmPhotos::cmdNext_Click));
    connect(cmdLast, &QPushButton::clicked, this, act(&frmPhotos::cmdLast_Click));
    connect(cmdAdd, &QPushButton::clicked, this, act(&frmPhotos::cmdAdd_Click));
    connect(cmdDelete, &QPushButton::clicked, this, act(&frmPhotos::cmdDelete_Click));
    connect(cmdUpdate, &QPushButton::clicked, this, act(&frmPhotos::cmdUpdate_Click));
    connect(cmdClose, &QPushButton::clicked, this, act(&frmPhotos::cmdClose_Click));

    m_typeAhead = new TypeAhead(this, act(&frmPhotos::MarkChanged), [this](QComboBox* combo) {
        if (!m_places->FocusNext(combo))
            m_subjects->FocusNext(combo);
    });
    m_places = new PlacePickers(this, cboPhotos, cboCodedPhoto, *m_typeAhead, cmdAddSubject, txtComments);
    m_places->setOnDropDown([this] { MarkChanged(); });

    connect(dtpTaken, &DatePicker::DropDown, this, act(&frmPhotos::MarkChanged));
    connect(dtpTaken, &DatePicker::Click, this, act(&frmPhotos::MarkChanged));
    // A date changed by the keyboard (the arrow keys step it) is a change too.
    connect(dtpTaken, &DatePicker::ValueChanged, this, act(&frmPhotos::MarkChanged));
    // Only a real toggle by the user changes the photo; Tab and arrows on the box do not.
    connect(chkPrintLabel, &QCheckBox::clicked, this, act(&frmPhotos::MarkChanged));

    connect(ucImageViewer1, &ucImageViewer::LoadingImage, this, [this] { m_busy = std::make_unique<BusyPointer>(); });
    connect(ucImageViewer1, &ucImageViewer::ImageLoaded, this, [this] { m_busy.reset(); });
    connect(ucImageViewer1, &ucImageViewer::OKStatus, this, [this](bool ok) {
        cmdViewPhoto->setEnabled(ok);
        cmdEditPhoto->setEnabled(ok);
    });
    connect(cmdBrowse, &QPushButton::clicked, this, act(&frmPhotos::cmdBrowse_Click));
    connect(cmdViewPhoto, &QPushButton::clicked, this, act(&frmPhotos::cmdViewPhoto_Click));
    connect(cmdEditPhoto, &QPushButton::clicked, this, act(&frmPhotos::cmdEditPhoto_Click));

    m_subjects = new SubjectChooser(this, lstSubjects, cboSubjects, cmdAddSubject, *m_typeAhead, txtCaption);
    // Choosing a subject gives the buttons the editing look, though nothing is changed until a
    // subject is chosen.
    m_subjects->setOnStart([this] {
        cmdUpdate->setEnabled(true);
        for (QPushButton* command : {cmdAdd, cmdDelete, cmdFirst, cmdPrevious, cmdNext, cmdLast})
            command->setEnabled(false);
        cmdClose->setText(QStringLiteral("&Cancel"));
    });
    m_subjects->setOnAdded([this] { m_Photos->setIsDirty(true); });
    m_subjects->setOnRemoving([this] { MarkChanged(); });

    // The window sees every key before its controls do.
    for (QWidget* control : findChildren<QWidget*>())
        control->installEventFilter(this);
}

void frmPhotos::load()
{
    m_expanded = !GetBooleanSetting(startUp, QStringLiteral("Expanded"), true);
    Expand();
    cmdUpdate->setEnabled(false);
    m_loaded = RunAction([this] {
        m_Photos = std::make_unique<cPhotos>();
        m_places->Open();
        m_PhotosSubjects = std::make_unique<cPhotosSubjects>();
        m_subjects->Open();
        connect(m_Photos.get(), &cPhotos::RecordNumber, this, &frmPhotos::m_photos_RecordNumber);
        connect(m_Photos.get(), &cPhotos::Found, this, [this] { RunAction([this] { m_Photos_Found(); }); });

        const std::int32_t last = toInt32(GetSetting(startUp, QStringLiteral("LastPhoto"), QStringLiteral("0")));
        bool empty = false;
        try {
            m_Photos->GoFirst();
        } catch (const Failure& failure) {
            // An empty catalogue has no photo to show; a new one can still be added.
            if (failure.Number() != ErrorNumber::NoCurrentRecord)
                throw;
            empty = true;
        }
        if (!empty && last != 0)
            m_Photos->FindFirstPhoto(QStringLiteral("PhotoID"), QString::number(last));
        m_loaded = true;
        if (!empty)
            ShowPhoto();
        setBrowsingState();
    });
    if (m_loaded)
        return;
    // Without its record sets the editor can do nothing but close.
    m_Photos.reset();
    m_places->Close();
    m_PhotosSubjects.reset();
    m_subjects->Close();
    for (QWidget* control : findChildren<QWidget*>())
        control->setEnabled(false);
    cmdClose->setEnabled(true);
    if (m_main)
        m_main->SetCopyPhotoEnabled(false);
}

void frmPhotos::showEvent(QShowEvent* event)
{
    // The frame that holds the window exists only now.
    if (!m_placed) {
        m_placed = true;
        RunAction([this] { RestoreFormPosition(this); });
    }
    QWidget::showEvent(event);
}

void frmPhotos::layoutControls()
{
    const int* navigation = m_expanded ? wideNavigation : narrowNavigation;
    const int* commands = m_expanded ? wideCommands : narrowCommands;
    const int width = px(m_expanded ? wideWidth : narrowWidth);
    constexpr int height = 466;
    constexpr int labelX = 6;
    constexpr int fieldX = 104;
    constexpr int rowHeight = 24;

    const auto row = [&](int label, QWidget* field, int y, int fieldW = 178) {
        m_labels[label]->setGeometry(labelX, y, fieldX - labelX - 4, rowHeight);
        field->setGeometry(fieldX, y, fieldW, rowHeight);
    };
    row(0, txtPhotoID, 8, 90);
    m_labels[1]->setGeometry(labelX, 36, 100, 18);
    txtCaption->setGeometry(labelX, 54, 276, 62);
    row(2, dtpTaken, 122, 150);
    row(3, cboPhotos[0], 150);
    row(4, cboCodedPhoto[0], 178);
    row(5, cboPhotos[1], 206);
    row(6, cboCodedPhoto[1], 234);
    m_labels[7]->setGeometry(labelX, 264, 100, rowHeight);
    cmdAddSubject->setGeometry(152, 264, 130, rowHeight);
    lstSubjects->setGeometry(labelX, 290, 276, 62);
    cboSubjects->setGeometry(labelX, 290, 276, rowHeight);
    chkPrintLabel->setGeometry(labelX, 358, 110, rowHeight);
    lblLabels->setGeometry(150, 358, 50, rowHeight);
    txtNumberofLabels->setGeometry(202, 358, 44, rowHeight);
    row(8, txtComments, 386);

    QWidget* navigationControls[] = {cmdFirst, cmdPrevious, lblStatus, cmdNext, cmdLast};
    for (int i = 0; i < 5; ++i) {
        const int left = px(navigation[i]);
        const int right = i == 2 ? px(navigation[3]) : left + px(360);
        navigationControls[i]->setGeometry(left, 414, right - left, rowHeight);
    }
    QPushButton* commandButtons[] = {cmdAdd, cmdDelete, cmdUpdate, cmdClose};
    for (int i = 0; i < 4; ++i)
        commandButtons[i]->setGeometry(px(commands[i]), 436, px(1020), 26);

    fraDigitalFile->setGeometry(290, 4, 274, 404);
    txtFileName->setGeometry(8, 22, 258, rowHeight);
    cmdBrowse->setGeometry(8, 50, 82, 26);
    cmdViewPhoto->setGeometry(96, 50, 82, 26);
    cmdEditPhoto->setGeometry(184, 50, 82, 26);
    ucImageViewer1->setGeometry(8, 82, 258, 314);
    fraDigitalFile->setVisible(m_expanded);

    setFixedSize(width, height);
    if (auto* frame = qobject_cast<QMdiSubWindow*>(parentWidget()))
        frame->adjustSize();
}

void frmPhotos::Expand()
{
    m_expanded = !m_expanded;
    layoutControls();
    // In the narrow layout the file's controls are out of the tab order.
    const Qt::FocusPolicy policy = m_expanded ? Qt::StrongFocus : Qt::NoFocus;
    txtFileName->setFocusPolicy(policy);
    cmdBrowse->setFocusPolicy(policy);
    if (m_main)
        m_main->SetExpandPressed(m_expanded);
    if (m_expanded && m_loaded)
        viewerFollowsFileName();
}

bool frmPhotos::LeaveChange()
{
    if (!m_loaded || !IsEditing())
        return true;
    if (MsgBox(QStringLiteral("Save Changes?"), MsgButtons::YesNo, MsgIcon::Question) == MsgAnswer::Yes) {
        RunAction([this] { cmdUpdate_Click(); });
        // A change that could not be saved stays on the screen rather than being lost.
        return !IsEditing();
    }
    cmdClose_Click();
    return true;
}

bool frmPhotos::Find(const QString& field, const QString& value)
{
    if (!m_loaded)
        return false;
    return m_Photos->FindPhoto(field, value);
}

bool frmPhotos::FindFirst(const QString& field, const QString& value)
{
    if (!m_loaded)
        return false;
    return m_Photos->FindFirstPhoto(field, value);
}

bool frmPhotos::IsEditing() const
{
    return cmdClose->text() != u"&Close";
}

void frmPhotos::m_Photos_Found()
{
    ShowPhoto();
}

void frmPhotos::m_photos_RecordNumber(const QString& value)
{
    lblStatus->setText(QStringLiteral(" Record Number: ") + value);
}

void frmPhotos::viewerFollowsFileName()
{
    ucImageViewer1->setFileName(txtFileName->text());
}

void frmPhotos::ShowPhoto()
{
    // Everything is read before any control changes: a photo that cannot be read whole leaves the
    // one shown before untouched, and the failure is reported by the action.
    const cPhoto photo = m_Photos->Photo();
    const QString state = m_places->Locations().GetState(photo.LocationID);
    const QString location = m_places->Locations().GetLocation(photo.LocationID);
    const QString device = m_places->StorageLocations().GetStorageDevice(photo.StorageLocationID);
    const QString storageLocation = m_places->StorageLocations().GetStorageLocation(photo.StorageLocationID);
    NameList subjects;
    m_PhotosSubjects->FillList(subjects, QString::number(photo.PhotoID));

    const bool wasShowing = std::exchange(m_showing, true);
    txtCaption->setPlainText(photo.Caption);
    txtPhotoID->setText(QString::number(photo.PhotoID));
    dtpTaken->setValue(photo.DateTaken);
    // A photo without a count shows an empty box, which a save leaves without a count.
    txtNumberofLabels->setText(photo.NumberofLabels < 0 ? QString() : QString::number(photo.NumberofLabels));
    chkPrintLabel->setChecked(photo.PrintLabel == 1);
    txtFileName->setText(photo.FileName);
    txtComments->setText(photo.Comments);
    // Long texts show from their start.
    txtFileName->setCursorPosition(0);
    txtComments->setCursorPosition(0);
    cboPhotos[0]->setEditText(state);
    cboCodedPhoto[0]->setText(location);
    cboCodedPhoto[0]->setCode(QString::number(photo.LocationID));
    cboPhotos[1]->setEditText(device);
    cboCodedPhoto[1]->setText(storageLocation);
    cboCodedPhoto[1]->setCode(QString::number(photo.StorageLocationID));
    if (m_expanded)
        viewerFollowsFileName();
    m_subjects->ClearChanges();
    m_Photos->setIsDirty(false);
    lstSubjects->clear();
    lstSubjects->addItems(subjects.names);
    m_showing = wasShowing;
}

void frmPhotos::ShowPhotoSubjects()
{
    NameList subjects;
    m_PhotosSubjects->FillList(subjects, txtPhotoID->text());
    lstSubjects->clear();
    lstSubjects->addItems(subjects.names);
}

void frmPhotos::setBrowsingState()
{
    showEditing(false);
}

void frmPhotos::setEditingState()
{
    showEditing(true);
}

void frmPhotos::showEditing(bool editing)
{
    // While a change is pending only Save and Cancel act; moving or adding would lose it.
    cmdUpdate->setEnabled(editing);
    for (QPushButton* command : {cmdAdd, cmdDelete, cmdFirst, cmdPrevious, cmdNext, cmdLast})
        command->setEnabled(!editing);
    cmdClose->setText(editing ? QStringLiteral("&Cancel") : QStringLiteral("&Close"));
    if (m_main)
        m_main->SetCopyPhotoEnabled(!editing);
}

void frmPhotos::MarkChanged()
{
    // Values the editor puts into its controls itself are no change by the user.
    if (!m_Photos || m_showing || m_Photos->IsDirty())
        return;
    m_Photos->Edit();
    m_Photos->setIsDirty(true);
    setEditingState();
}

bool frmPhotos::CheckNumericKey(const QKeyEvent* key)
{
    if (RefuseNonDigitKey(key))
        return true;
    MarkChanged();
    return false;
}

bool frmPhotos::formKey(QKeyEvent* key)
{
    // Moving by keys works only while browsing, and not with Shift held.
    if (IsEditing() || key->modifiers() == Qt::ShiftModifier)
        return false;
    if (key->matches(QKeySequence::Copy))
        return true;
    switch (key->key()) {
    case Qt::Key_PageUp:
        cmdPrevious->click();
        return true;
    case Qt::Key_PageDown:
        cmdNext->click();
        return true;
    case Qt::Key_Home:
        cmdFirst->click();
        return true;
    case Qt::Key_End:
        cmdLast->click();
        return true;
    default:
        return false;
    }
}

bool frmPhotos::fileNameKey(QEvent* event)
{
    auto* key = static_cast<QKeyEvent*>(event);
    if (event->type() == QEvent::KeyPress && (key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter)) {
        MarkChanged();
        viewerFollowsFileName();
        return true;
    }
    if (event->type() != QEvent::KeyRelease || !IsEditingKey(key) || key->matches(QKeySequence::Copy) ||
        key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter)
        return false;
    MarkChanged();
    if (key->key() == Qt::Key_Delete)
        viewerFollowsFileName();
    return true;
}

bool frmPhotos::eventFilter(QObject* watched, QEvent* event)
{
    if (!m_loaded)
        return false;
    // A key whose work failed is swallowed, so that it does not go on to change the control.
    return RunAction(event->type() == QEvent::KeyPress, [&] { return filterEvent(watched, event); });
}

bool frmPhotos::filterEvent(QObject* watched, QEvent* event)
{
    if (event->type() == QEvent::KeyPress && formKey(static_cast<QKeyEvent*>(event)))
        return true;
    if (watched == txtFileName && (event->type() == QEvent::KeyPress || event->type() == QEvent::KeyRelease))
        return fileNameKey(event);
    if (event->type() == QEvent::FocusIn && watched == txtCaption)
        autoCaption();
    if (event->type() == QEvent::FocusIn && watched == txtNumberofLabels)
        txtNumberofLabels->selectAll();
    if (event->type() != QEvent::KeyPress)
        return false;

    auto* key = static_cast<QKeyEvent*>(event);
    if (watched == txtPhotoID && key->key() == Qt::Key_Escape) {
        // Escape abandons the pending change and shows the photo before.
        setBrowsingState();
        m_Photos->setIsDirty(false);
        m_newRecord = false;
        cmdPrevious->click();
        return true;
    }
    const bool numeric = watched == txtPhotoID || watched == txtNumberofLabels || watched == dtpTaken->dateEdit();
    if (numeric && IsEditingKey(key))
        return CheckNumericKey(key);
    if ((watched == txtCaption || watched == txtComments) && IsEditingKey(key))
        MarkChanged();
    return false;
}

void frmPhotos::autoCaption()
{
    if (!txtCaption->toPlainText().isEmpty() || !m_Photos)
        return;
    MarkChanged();
    {
        const cOptions options;
        QString caption = txtPhotoID->text() + QStringLiteral(": ");
        const QVariant date = dtpTaken->Value();
        if (options.DateinCaption && !date.isNull())
            caption += u' ' + date.toDate().toString(QStringLiteral("MM/dd/yyyy")) + u' ';
        if (options.LocationinCaption && !cboCodedPhoto[0]->Text().isEmpty())
            caption += cboCodedPhoto[0]->Text() + QStringLiteral(", ") + cboPhotos[0]->currentText() + u' ';
        if (options.CopyrightinCaption)
            caption += u' ' + options.Copyright;
        txtCaption->setPlainText(caption);
        QTextCursor cursor = txtCaption->textCursor();
        cursor.setPosition(int(txtPhotoID->text().size()) + 2);
        txtCaption->setTextCursor(cursor);
    }
}

void frmPhotos::navigate(void (cPhotos::*move)())
{
    const QString shown = txtPhotoID->text();
    (m_Photos.get()->*move)();
    try {
        ShowPhoto();
    } catch (const Failure&) {
        // The photo moved to could not be shown: the record set goes back to the photo still on the
        // screen, so that an edit is never written over another photo.
        m_Photos->FindFirstPhoto(QStringLiteral("PhotoID"), shown);
        throw;
    }
    setBrowsingState();
    txtPhotoID->setFocus();
}

void frmPhotos::cmdFirst_Click()
{
    navigate(&cPhotos::GoFirst);
}

void frmPhotos::cmdPrevious_Click()
{
    navigate(&cPhotos::GoPrevious);
}

void frmPhotos::cmdNext_Click()
{
    navigate(&cPhotos::GoNext);
}

void frmPhotos::ShowLastPhoto()
{
    // Photos another window added (an import) join the editor's only when it reads them again.
    if (m_Photos && !IsEditing())
        m_Photos->Requery(m_Photos->Photo().PhotoID);
    cmdLast->click();
}

void frmPhotos::cmdLast_Click()
{
    navigate(&cPhotos::GoLast);
}

void frmPhotos::cmdAdd_Click()
{
    std::int32_t last = 0;
    try {
        last = m_Photos->GetLastPhotoID();
    } catch (const Failure& failure) {
        // An empty catalogue starts at photo 1.
        if (failure.Number() != ErrorNumber::NoCurrentRecord)
            throw;
    }
    // The largest number has no next one; nothing changes and the editor stays browsing.
    if (last == std::numeric_limits<std::int32_t>::max())
        throw Failure(ErrorNumber::Overflow, QStringLiteral("frmPhotos"));
    const std::int32_t number = last + 1;
    const cOptions options;

    const bool wasShowing = std::exchange(m_showing, true);
    m_subjects->ClearChanges();
    m_statusBeforeAdd = lblStatus->text();
    lblStatus->setText(QStringLiteral("New Record"));
    txtPhotoID->setText(QString::number(number));
    lstSubjects->clear();
    txtNumberofLabels->setText(QStringLiteral("1"));
    chkPrintLabel->setChecked(true);
    for (DropDownCombo* combo : cboPhotos)
        combo->setEditText(QString());
    for (uc2ColCombo* combo : cboCodedPhoto)
        combo->setText(QString());
    txtCaption->clear();
    txtComments->clear();
    txtFileName->clear();
    if (m_expanded)
        ucImageViewer1->setFileName(QString());

    if (options.lastComments)
        txtComments->setText(m_last.comments);
    if (options.lastFilename) {
        txtFileName->setText(m_last.fileName);
        if (!m_last.fileName.isEmpty())
            ucImageViewer1->setFileName(m_last.fileName);
    }
    dtpTaken->setValue(options.LastDate ? m_last.date : QVariant());
    if (options.LastLocation && !m_last.state.isEmpty()) {
        cboPhotos[0]->setEditText(m_last.state);
        cboCodedPhoto[0]->setText(m_last.location);
        cboCodedPhoto[0]->setCode(m_last.locationCode);
    }
    if (options.LastStorageDevice && !m_last.storageDevice.isEmpty()) {
        cboPhotos[1]->setEditText(m_last.storageDevice);
        cboCodedPhoto[1]->setText(m_last.storageLocation);
        cboCodedPhoto[1]->setCode(m_last.storageLocationCode);
    }
    m_showing = wasShowing;
    m_newRecord = true;
    m_Photos->setIsDirty(true);
    setEditingState();
    txtPhotoID->setFocus();
    txtPhotoID->selectAll();
}

void frmPhotos::SavePhoto()
{
    if (m_Photos->IsDirty()) {
        // The photo and its subject changes are stored together or not at all.
        const std::int32_t shownId = m_Photos->Photo().PhotoID;
        bool photoWritten = false;
        try {
            Transaction work(gDB->DB());
            if (m_newRecord)
                m_Photos->Add();
            else
                m_Photos->Edit();
            cPhoto& photo = m_Photos->Photo();
            photo.PhotoID = toInt32(txtPhotoID->text());
            photo.Caption = txtCaption->toPlainText();
            photo.FileName = txtFileName->text();
            photo.Comments = txtComments->text();
            if (!cboCodedPhoto[0]->Code().isEmpty())
                photo.LocationID = toInt32(cboCodedPhoto[0]->Code());
            if (!cboCodedPhoto[1]->Code().isEmpty())
                photo.StorageLocationID = toInt32(cboCodedPhoto[1]->Code());
            photo.DateTaken = dtpTaken->Value();
            if (!txtNumberofLabels->text().isEmpty())
                photo.NumberofLabels = labelCount(txtNumberofLabels->text());
            photo.PrintLabel = chkPrintLabel->isChecked() ? 1 : 0;
            m_Photos->Save();
            photoWritten = true;

            // Subjects added are linked before those removed are unlinked.
            for (const auto& [name, code] : m_subjects->Added()) {
                m_PhotosSubjects->Add();
                m_PhotosSubjects->PhotoSubject().PhotoID = txtPhotoID->text();
                m_PhotosSubjects->PhotoSubject().SubjectID = code;
                m_PhotosSubjects->setIsDirty(true);
                m_PhotosSubjects->Save();
            }
            for (const QString& name : m_subjects->Removed())
                m_PhotosSubjects->Delete(txtPhotoID->text(), name);
            work.commit();
        } catch (const Failure&) {
            // Nothing was stored: the change stays pending, subjects included, for another Save.
            m_Photos->setIsDirty(true);
            if (photoWritten) {
                m_Photos->Requery(shownId);
                m_PhotosSubjects->Requery();
            }
            throw;
        }
    }
    m_subjects->ClearChanges();
    m_newRecord = false;
}

void frmPhotos::rememberSavedValues()
{
    m_last.date = dtpTaken->Value();
    m_last.state = cboPhotos[0]->currentText();
    m_last.location = cboCodedPhoto[0]->Text();
    if (!cboCodedPhoto[0]->Code().isEmpty())
        m_last.locationCode = cboCodedPhoto[0]->Code();
    m_last.storageDevice = cboPhotos[1]->currentText();
    if (!cboCodedPhoto[1]->Code().isEmpty())
        m_last.storageLocationCode = cboCodedPhoto[1]->Code();
    m_last.storageLocation = cboCodedPhoto[1]->Text();
    m_last.comments = txtComments->text();
    m_last.fileName = txtFileName->text();
}

void frmPhotos::cmdUpdate_Click()
{
    try {
        SavePhoto();
    } catch (const Failure& failure) {
        if (failure.Number() != ErrorNumber::DuplicateValue)
            throw;
        MsgBox(QStringLiteral("A photo with this ID already exists. Enter a different ID number."));
        txtPhotoID->selectAll();
        txtPhotoID->setFocus();
        return;
    }
    setBrowsingState();
    rememberSavedValues();
    txtPhotoID->setFocus();
}

void frmPhotos::cmdClose_Click()
{
    if (!IsEditing()) {
        if (auto* frame = qobject_cast<QMdiSubWindow*>(parentWidget()))
            frame->close();
        else
            close();
        return;
    }
    ShowPhoto();
    m_Photos->setIsDirty(false);
    // A cancelled new photo gives back the record number it replaced.
    if (m_newRecord)
        lblStatus->setText(m_statusBeforeAdd);
    m_newRecord = false;
    setBrowsingState();
}

void frmPhotos::cmdDelete_Click()
{
    cmdUpdate->setEnabled(false);
    txtPhotoID->setFocus();
    m_Photos->Delete();
    ShowPhoto();
}

void frmPhotos::closeEvent(QCloseEvent* event)
{
    if (IsEditing()) {
        if (MsgBox(QStringLiteral("Save Changes?"), MsgButtons::YesNo, MsgIcon::Question) == MsgAnswer::Yes) {
            RunAction([this] { cmdUpdate_Click(); });
            // A change that could not be saved keeps the window open rather than being lost.
            if (IsEditing()) {
                event->ignore();
                return;
            }
        }
    }
    m_Photos.reset();
    m_places->Close();
    m_PhotosSubjects.reset();
    m_subjects->Close();
    RunAction([this] {
        SaveFormPosition(this);
        SaveBooleanSetting(startUp, QStringLiteral("Expanded"), m_expanded);
        // An editor that never showed a photo leaves the remembered one as it was.
        if (m_loaded && !txtPhotoID->text().isEmpty())
            SaveSetting(startUp, QStringLiteral("LastPhoto"), txtPhotoID->text());
    });
    m_loaded = false;
    if (m_main)
        m_main->PhotoEditorClosed();
    event->accept();
}

void frmPhotos::AddSubject()
{
    m_subjects->AddSubject();
}

void frmPhotos::cmdBrowse_Click()
{
    QString chosen;
    {
        frmBrowse browse(this);
        browse.exec();
        chosen = browse.SelectedFile();
    }
    if (chosen.isEmpty())
        return;
    txtFileName->setText(chosen);
    viewerFollowsFileName();
    MarkChanged();
    offerPictureDate(chosen);
}

void frmPhotos::offerPictureDate(const QString& file)
{
    // A date already given, typed or stored, is the user's own and is never questioned.
    if (!dtpTaken->Value().isNull())
        return;
    const std::optional<QDate> taken = DateTaken(file);
    if (!taken)
        return;
    const QString question = QStringLiteral("This picture was taken on %1. Use it as the date taken?")
                                 .arg(taken->toString(QStringLiteral("MM/dd/yyyy")));
    if (MsgBox(question, MsgButtons::YesNo, MsgIcon::Question) == MsgAnswer::Yes)
        dtpTaken->setValue(*taken);
}

void frmPhotos::cmdViewPhoto_Click()
{
    {
        frmViewPhoto view(ucImageViewer1->FileName(), this);
        view.exec();
    }
    txtPhotoID->setFocus();
}

void frmPhotos::cmdEditPhoto_Click()
{
    const QString file = ucImageViewer1->FileName();
    const qsizetype dot = file.lastIndexOf(u'.');
    const QString extension = dot < 0 ? QString() : file.mid(dot);
    const QString type = extension.isEmpty() ? QString() : m_registry.GetDefaultValue(extension);
    if (type.isEmpty()) {
        MsgBox(QStringLiteral("Unable to launch default application."));
        return;
    }
    const QString command = m_registry.GetDefaultApp(type);
    if (command.isEmpty()) {
        if (MsgBox(QStringLiteral("No Default Program set for this filetype. Display Help?"), MsgButtons::YesNo,
                   MsgIcon::None, QStringLiteral("View Error")) == MsgAnswer::Yes)
            ShowHelp(HelpContextID);
        return;
    }
    // The desktop entry's field codes (%f, %U, ...) stand for files; the file is given on its own,
    // as one argument, and nothing passes through a shell.
    QStringList arguments;
    for (const QString& part : QProcess::splitCommand(command)) {
        if (!(part.size() == 2 && part.startsWith(u'%')))
            arguments << part;
    }
    if (arguments.isEmpty() || !QProcess::startDetached(arguments.takeFirst(), arguments << file))
        MsgBox(QStringLiteral("Unable to launch default application."));
}

void frmPhotos::CopyPhoto()
{
    if (m_loaded)
        RunAction([this] { copyPhoto(); });
}

void frmPhotos::copyPhoto()
{
    // Everything is read first, so that a value that cannot be copied changes nothing.
    const std::int32_t oldNumber = toInt32(txtPhotoID->text());
    const QVariant date = dtpTaken->Value();
    const std::int32_t location = toInt32(cboCodedPhoto[0]->Code());
    const QString caption = txtCaption->toPlainText();
    const QString labels = txtNumberofLabels->text();
    if (!labels.isEmpty())
        labelCount(labels);
    const bool printLabel = chkPrintLabel->isChecked();
    const QString comments = txtComments->text();
    const std::int32_t storageLocation = toInt32(cboCodedPhoto[1]->Code());
    const QString fileName = txtFileName->text();
    const QString places[] = {cboPhotos[0]->currentText(), cboCodedPhoto[0]->Text(), cboPhotos[1]->currentText(),
                              cboCodedPhoto[1]->Text()};
    // The subjects go with the new photo as pending additions, saved with it; each subject once.
    std::vector<std::pair<QString, QString>> subjects;
    {
        const auto links = m_PhotosSubjects->FindPhotoSubjects(oldNumber);
        for (; !links->Eof(); links->MoveNext()) {
            const QString code = toText(links->Value(QStringLiteral("SubjectID")));
            const bool seen = std::any_of(subjects.begin(), subjects.end(),
                                          [&code](const auto& entry) { return entry.second == code; });
            if (!seen)
                subjects.emplace_back(m_subjects->Subjects().GetSubject(code), code);
        }
    }
    if (!fileName.isEmpty())
        ucImageViewer1->setFileName(fileName);

    cmdAdd_Click();
    if (!m_newRecord)
        return;
    const QString newNumber = txtPhotoID->text();
    // Only the old number standing on its own is renumbered, never its digits inside another number.
    static const QString wholeNumber = QStringLiteral("(?<![0-9])%1(?![0-9])");
    QString newCaption = caption;
    newCaption.replace(QRegularExpression(wholeNumber.arg(oldNumber)), newNumber);
    txtCaption->setPlainText(newCaption);
    txtComments->setText(comments);
    dtpTaken->setValue(date);
    chkPrintLabel->setChecked(printLabel);
    txtFileName->setText(fileName);
    txtNumberofLabels->setText(labels);
    // The places are shown as they are saved: the texts of the photo copied with their codes.
    cboPhotos[0]->setEditText(places[0]);
    cboCodedPhoto[0]->setText(places[1]);
    cboCodedPhoto[0]->setCode(QString::number(location));
    cboPhotos[1]->setEditText(places[2]);
    cboCodedPhoto[1]->setText(places[3]);
    cboCodedPhoto[1]->setCode(QString::number(storageLocation));
    for (const auto& [name, code] : subjects)
        m_subjects->AddPending(name, code);
    cmdUpdate_Click();
    if (IsEditing())
        return;
    txtCaption->setFocus();
    autoCaption();
    cmdUpdate_Click();
    cmdNext_Click();
}
