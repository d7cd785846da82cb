#include "gui/import/frmImport.h"

#include "gui/controls/NamedControls.h"
#include "core/Failure.h"
#include "core/Messages.h"
#include "core/Settings.h"
#include "gui/controls/DatePicker.h"
#include "gui/controls/KeyFilters.h"
#include "gui/controls/PlacePickers.h"
#include "gui/controls/SubjectChooser.h"
#include "gui/controls/TypeAhead.h"
#include "gui/controls/uc2ColCombo.h"
#include "gui/import/frmDuplicates.h"
#include "gui/shell/Action.h"
#include "gui/shell/FormPosition.h"
#include "gui/shell/MainFrame.h"
#include "gui/shell/MainVellaro.h"
#include "gui/shell/PhotoEditor.h"
#include "gui/shell/frmBackUp.h"

#include <QCheckBox>
#include <QCloseEvent>
#include <QDateEdit>
#include <QGroupBox>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMdiSubWindow>
#include <QPlainTextEdit>
#include <QProgressDialog>
#include <QPushButton>
#include <QSet>

#include <algorithm>

namespace {

const QString importExport = QStringLiteral("ImportExport");
const QString importDirKey = QStringLiteral("ImportDir");
const QString exportDirKey = QStringLiteral("ExportDir");
const QString pictureDatesKey = QStringLiteral("PictureDates");

QLabel* label(QWidget* parent, const QString& name, const QString& caption, const QRect& place)
{
    auto* item = new QLabel(caption, parent);
    item->setObjectName(name);
    item->setGeometry(place);
    return item;
}

// A place's code as the import takes it: a text that names no entry stands for no place.
QString placeCode(const uc2ColCombo* combo)
{
    const QString code = combo->Code();
    return code == u"-1" ? QString() : code;
}

} // namespace

frmImport* frmImport::make(MainFrame* main, QWidget* parent)
{
    return new frmImport(main, parent);
}

frmImport::frmImport(MainFrame* main, QWidget* parent) : QWidget(parent), m_main(main)
{
    setObjectName(QStringLiteral("frmImport"));
    setWindowTitle(QStringLiteral("Import"));
    createControls();
    layoutControls();
    connectControls();
    InstallHelpKey(this, HelpContextID);
    // Nothing can be imported before a folder is named.
    cmdImport->setEnabled(false);
    cmdMove->setEnabled(false);
    // A list that cannot be read is reported; the window opens with what could be set up.
    RunAction([this] {
        m_places->Open();
        m_subjects->Open();
    });
}

frmImport::~frmImport() = default;

void frmImport::createControls()
{
    auto* fraDirectory = new QGroupBox(QStringLiteral("Directory"), this);
    fraDirectory->setObjectName(QStringLiteral("fraDirectory"));
    txtImportDir = NamedTextBox(fraDirectory, "txtImportDir", QStringLiteral("Directory to Import Filenames from"));
    cmdDir[0] = NamedButton(fraDirectory, "cmdDir(0)", QStringLiteral("..."), QStringLiteral("Select directory form"));
    txtExportDir =
        NamedTextBox(fraDirectory, "txtExportDir", QStringLiteral("Directory where files should be moved to"));
    cmdDir[1] = NamedButton(fraDirectory, "cmdDir(1)", QStringLiteral("..."), QStringLiteral("Select directory form"));
    label(fraDirectory, QStringLiteral("lblDir(0)"), QStringLiteral("Import From"), {8, 22, 80, 24})
        ->setBuddy(txtImportDir);
    label(fraDirectory, QStringLiteral("lblDir(1)"), QStringLiteral("Move To"), {8, 52, 80, 24})
        ->setBuddy(txtExportDir);
    fraDirectory->setGeometry(6, 4, 420, 84);
    txtImportDir->setGeometry(90, 22, 290, 24);
    cmdDir[0]->setGeometry(384, 22, 28, 24);
    txtExportDir->setGeometry(90, 52, 290, 24);
    cmdDir[1]->setGeometry(384, 52, 28, 24);

    auto* fraApply = new QGroupBox(QStringLiteral("Apply to all imported photos"), this);
    fraApply->setObjectName(QStringLiteral("fraApply"));
    fraApply->setGeometry(6, 92, 420, 428);
    txtCaption = new QPlainTextEdit(fraApply);
    txtCaption->setObjectName(QStringLiteral("txtCaption"));
    txtCaption->setToolTip(QStringLiteral("The caption of the photo"));
    txtCaption->setTabChangesFocus(true);
    dtpTaken = new DatePicker(fraApply);
    dtpTaken->setObjectName(QStringLiteral("dtpTaken"));
    dtpTaken->setToolTip(QStringLiteral("Check the box to enter a date"));
    dtpTaken->setValue(QVariant());
    chkPictureDates = new QCheckBox(QStringLiteral("Use the date each picture was taken"), fraApply);
    chkPictureDates->setObjectName(QStringLiteral("chkPictureDates"));
    chkPictureDates->setToolTip(
        QStringLiteral("Each photo takes the date its camera stored in the picture; the date above is for the rest"));
    chkPictureDates->setChecked(GetBooleanSetting(importExport, pictureDatesKey, true));
    for (int i = 0; i < 2; ++i) {
        cboPhotos[i] = new DropDownCombo(fraApply);
        cboPhotos[i]->setObjectName(QStringLiteral("cboPhotos(%1)").arg(i));
        cboPhotos[i]->setEditable(true);
        cboPhotos[i]->setInsertPolicy(QComboBox::NoInsert);
        cboCodedPhoto[i] = new uc2ColCombo(fraApply);
        cboCodedPhoto[i]->setObjectName(QStringLiteral("cboCodedPhoto(%1)").arg(i));
    }
    cboPhotos[0]->setToolTip(QStringLiteral("The state in which the photo was taken"));
    cboCodedPhoto[0]->setToolTipText(QStringLiteral("Location where photo was taken"));
    cboPhotos[1]->setToolTip(QStringLiteral("Type of device the photo is stored in"));
    cboCodedPhoto[1]->setToolTipText(QStringLiteral("Location where photo is stored"));
    cmdAddSubject =
        NamedButton(fraApply, "cmdAddSubject", QStringLiteral("Add a s&ubject"), QStringLiteral("Add a subject"));
    lstSubjects = new QListWidget(fraApply);
    lstSubjects->setObjectName(QStringLiteral("lstSubjects"));
    lstSubjects->setToolTip(QStringLiteral("To delete a subject, Click on it and press delete"));
    cboSubjects = new uc2ColCombo(fraApply);
    cboSubjects->setObjectName(QStringLiteral("cboSubjects"));
    cboSubjects->setToolTipText(QStringLiteral("Press the Escape Key to cancel"));
    cboSubjects->hide();
    chkPrintLabel = new QCheckBox(QStringLiteral("Print &Label?"), fraApply);
    chkPrintLabel->setObjectName(QStringLiteral("chkPrintLabel"));
    chkPrintLabel->setChecked(true);
    txtNumberofLabels = NamedTextBox(fraApply, "txtNumberofLabels");
    txtNumberofLabels->setText(QStringLiteral("1"));
    txtComments = NamedTextBox(fraApply, "txtComments",
                               QStringLiteral("Enter any additional comments. Applies to all imported filenames"));

    cmdImport = NamedButton(this, "cmdImport", QStringLiteral("&Import"));
    cmdMove = NamedButton(this, "cmdMove", QStringLiteral("&Move Then Import"));
    cmdCancel = NamedButton(this, "cmdCancel", QStringLiteral("&Cancel"));
}

void frmImport::layoutControls()
{
    auto* frame = txtCaption->parentWidget();
    const char* captions[] = {"Caption",       "Date Taken", "State",    "Location", "Storage Device",
                              "Storage Place", "Subjects",   "Comments", "Labels:"};
    QLabel* labels[std::size(captions)];
    for (int i = 0; i < int(std::size(captions)); ++i)
        labels[i] = label(frame, QStringLiteral("lblCaption(%1)").arg(i), QString::fromLatin1(captions[i]), {});
    constexpr int labelX = 8;
    constexpr int fieldX = 110;
    constexpr int rowHeight = 24;
    const auto row = [&](QLabel* caption, QWidget* field, int y, int width = 200) {
        caption->setGeometry(labelX, y, fieldX - labelX - 4, rowHeight);
        field->setGeometry(fieldX, y, width, rowHeight);
        caption->setBuddy(field);
    };
    labels[0]->setGeometry(labelX, 20, 100, 18);
    txtCaption->setGeometry(labelX, 38, 404, 62);
    row(labels[1], dtpTaken, 106, 150);
    chkPictureDates->setGeometry(fieldX, 132, 302, rowHeight);
    row(labels[2], cboPhotos[0], 160);
    row(labels[3], cboCodedPhoto[0], 188);
    row(labels[4], cboPhotos[1], 216);
    row(labels[5], cboCodedPhoto[1], 244);
    labels[6]->setGeometry(labelX, 274, 100, rowHeight);
    cmdAddSubject->setGeometry(fieldX, 274, 130, rowHeight);
    lstSubjects->setGeometry(labelX, 302, 404, 60);
    cboSubjects->setGeometry(labelX, 302, 404, rowHeight);
    chkPrintLabel->setGeometry(labelX, 368, 110, rowHeight);
    labels[8]->setGeometry(150, 368, 50, rowHeight);
    labels[8]->setBuddy(txtNumberofLabels);
    txtNumberofLabels->setGeometry(202, 368, 44, rowHeight);
    row(labels[7], txtComments, 396, 302);

    cmdImport->setGeometry(6, 528, 110, 26);
    cmdMove->setGeometry(122, 528, 150, 26);
    cmdCancel->setGeometry(316, 528, 110, 26);
    setFixedSize(432, 562);
}

void frmImport::connectControls()
{
    const auto act = [this](void (frmImport::*handler)()) {
        return [this, handler] { RunAction([this, handler] { (this->*handler)(); }); };
    };
    for (int index = 0; index < 2; ++index)
        connect(cmdDir[index], &QPushButton::clicked, this,
                [this, index] { RunAction([this, index] { cmdDir_Click(index); }); });
    connect(cmdImport, &QPushButton::clicked, this, act(&frmImport::cmdImport_Click));
    connect(cmdMove, &QPushButton::clicked, this, act(&frmImport::cmdMove_Click));
    connect(cmdCancel, &QPushButton::clicked, this, act(&frmImport::cmdCancel_Click));
    connect(chkPictureDates, &QCheckBox::toggled, this,
            [](bool on) { RunAction([on] { SaveBooleanSetting(importExport, pictureDatesKey, on); }); });
    connect(txtImportDir, &QLineEdit::textChanged, this,
            [this](const QString& text) { cmdImport->setEnabled(!text.isEmpty()); });
    connect(txtExportDir, &QLineEdit::textChanged, this,
            [this](const QString& text) { cmdMove->setEnabled(!text.isEmpty()); });

    // Nothing here is a record being changed: the pickers and the chooser only collect values.
    m_typeAhead = new TypeAhead(this, {}, [this](QComboBox* combo) {
        if (!m_places->FocusNext(combo))
            m_subjects->FocusNext(combo);
    });
    m_places = new PlacePickers(this, cboPhotos, cboCodedPhoto, *m_typeAhead, cmdAddSubject, txtComments);
    m_subjects = new SubjectChooser(this, lstSubjects, cboSubjects, cmdAddSubject, *m_typeAhead, txtCaption);
    dtpTaken->dateEdit()->installEventFilter(this);
}

bool frmImport::eventFilter(QObject* watched, QEvent* event)
{
    // The date takes digits only from the keyboard; other editing keys are refused with a beep.
    if (watched == dtpTaken->dateEdit() && event->type() == QEvent::KeyPress) {
        const auto* key = static_cast<const QKeyEvent*>(event);
        return IsEditingKey(key) && RefuseNonDigitKey(key);
    }
    return QWidget::eventFilter(watched, event);
}

void frmImport::showEvent(QShowEvent* event)
{
    // The frame that holds the window exists only now.
    if (!m_placed) {
        m_placed = true;
        RunAction([this] { RestoreFormPosition(this); });
    }
    QWidget::showEvent(event);
}

void frmImport::closeEvent(QCloseEvent* event)
{
    RunAction([this] { SaveFormPosition(this); });
    m_places->Close();
    m_subjects->Close();
    event->accept();
    // Exit and the backup close every window; only a window closed on its own opens the editor,
    // which then shows the last photo, normally the last one imported.
    if (!m_main || m_main->ClosingAll())
        return;
    RunAction([this] {
        if (auto* editor = dynamic_cast<PhotoEditor*>(m_main->ShowChild(QStringLiteral("frmPhotos"))))
            editor->ShowLastPhoto();
    });
}

QString frmImport::ChooseFolder(const QString& title)
{
    frmBackUp dialog(this);
    dialog.setFormCaption(title);
    dialog.setFormHelpContextID(FolderHelpContextID);
    dialog.exec();
    return dialog.Cancelled() ? QString() : dialog.SelectedFolder();
}

void frmImport::cmdDir_Click(int index)
{
    const QString folder =
        ChooseFolder(index == 0 ? QStringLiteral("Import Filenames from...") : QStringLiteral("Move files to..."));
    if (!folder.isEmpty())
        (index == 0 ? txtImportDir : txtExportDir)->setText(folder);
}

bool frmImport::confirmImport(qint64 count)
{
    if (count == 0) {
        MsgBox(QStringLiteral("No files found."), MsgButtons::OK, MsgIcon::Information);
        return false;
    }
    return MsgBox(QString::number(count) + QStringLiteral(" files found. Import?"), MsgButtons::YesNo,
                  MsgIcon::Question, QStringLiteral("Import Filenames")) == MsgAnswer::Yes;
}

std::optional<QStringList> frmImport::leaveOutDuplicates(const QStringList& files)
{
    DuplicateCheck check;
    {
        // Reading many large files takes a while: the window shows how far it is and can stop it.
        QProgressDialog progress(QStringLiteral("Looking for files already in Vellaro..."), QStringLiteral("Cancel"), 0,
                                 1000, this);
        progress.setObjectName(QStringLiteral("prgDuplicates"));
        progress.setWindowTitle(windowTitle());
        progress.setWindowModality(Qt::WindowModal);
        progress.setMinimumDuration(500);
        check = FindImportDuplicates(files, [&progress](qint64 done, qint64 total) {
            if (total > 0)
                progress.setValue(int(std::clamp<qint64>(done * 1000 / total, 0, 999)));
            return !progress.wasCanceled();
        });
    }
    if (check.Cancelled) {
        MsgBox(QStringLiteral("The import was cancelled. No photos were added."), MsgButtons::OK, MsgIcon::Information);
        return std::nullopt;
    }
    if (check.Duplicates.empty())
        return files;
    QSet<QString> duplicates;
    for (const ImportDuplicate& duplicate : check.Duplicates)
        duplicates.insert(duplicate.File);
    frmDuplicates dialog(std::move(check.Duplicates), files.size(), this);
    dialog.exec();
    switch (dialog.chosen()) {
    case frmDuplicates::Choice::Cancel:
        return std::nullopt;
    case frmDuplicates::Choice::ImportAnyway:
        return files;
    case frmDuplicates::Choice::Skip:
        break;
    }
    QStringList rest;
    for (const QString& file : files) {
        if (!duplicates.contains(file))
            rest << file;
    }
    if (rest.isEmpty()) {
        MsgBox(QStringLiteral("Every file found is already in Vellaro, so there is nothing to import. No photos were "
                              "added."),
               MsgButtons::OK, MsgIcon::Information);
        return std::nullopt;
    }
    return rest;
}

ImportValues frmImport::sharedValues() const
{
    ImportValues values;
    values.Caption = txtCaption->toPlainText();
    values.DateTaken = dtpTaken->Value();
    values.PictureDates = chkPictureDates->isChecked();
    values.LocationCode = placeCode(cboCodedPhoto[0]);
    values.StorageLocationCode = placeCode(cboCodedPhoto[1]);
    values.Comments = txtComments->text();
    values.PrintLabel = chkPrintLabel->isChecked();
    values.NumberofLabels = txtNumberofLabels->text();
    values.AddedSubjectIds = m_subjects->AddedIds();
    values.RemovedSubjectNames = m_subjects->Removed();
    return values;
}

ImportResult frmImport::runImport(const std::function<ImportResult(const ImportProgress&)>& work)
{
    try {
        QProgressDialog progress(QStringLiteral("Adding the photos to Vellaro..."), QStringLiteral("Cancel"), 0, 1000,
                                 this);
        progress.setObjectName(QStringLiteral("prgImport"));
        progress.setWindowTitle(windowTitle());
        progress.setWindowModality(Qt::WindowModal);
        progress.setMinimumDuration(500);
        const ImportProgress report = [&progress](qint64 done, qint64 total) {
            if (total > 0)
                progress.setValue(int(std::clamp<qint64>(done * 1000 / total, 0, 999)));
            return !progress.wasCanceled();
        };
        return work(report);
    } catch (const Failure& failure) {
        // Whatever stopped it, the import was undone whole: the user is told so, and why.
        throw Failure(failure.Number(), failure.Source(),
                      QStringLiteral("No photos were added. ") + failure.Description());
    }
}

bool frmImport::reportCancelled(const ImportResult& result)
{
    if (!result.Cancelled)
        return false;
    QString text = QStringLiteral("The import was cancelled. No photos were added.");
    // A file that could not go back to where it came from is still in the destination folder.
    if (!result.MoveFailedFile.isEmpty())
        text +=
            QStringLiteral("\nThe file %1 could not be moved back: %2").arg(result.MoveFailedFile, result.MoveFailure);
    MsgBox(text, MsgButtons::OK, MsgIcon::Information);
    return true;
}

void frmImport::cmdImport_Click()
{
    const QString folder = txtImportDir->text();
    const QStringList found = ListFolderFiles(folder);
    if (!confirmImport(found.size()))
        return;
    const std::optional<QStringList> chosen = leaveOutDuplicates(found);
    if (!chosen)
        return;
    const QStringList& files = *chosen;
    const ImportValues values = sharedValues();
    const ImportResult result = runImport([&](const ImportProgress& progress) {
        CheckImport(files.size(), values);
        return ImportFiles(files, values, progress);
    });
    if (reportCancelled(result))
        return;
    SaveSetting(importExport, importDirKey, folder);
    cmdCancel->setText(QStringLiteral("Close"));
    MsgBox(QString::number(result.Added) + QStringLiteral(" files added to Vellaro."));
}

void frmImport::cmdMove_Click()
{
    const QString source = txtImportDir->text();
    const QString destination = txtExportDir->text();
    if (source.isEmpty() || destination.isEmpty() || source.toUpper() == destination.toUpper())
        return;
    const BusyPointer busy;
    SaveSetting(importExport, importDirKey, source);
    SaveSetting(importExport, exportDirKey, destination);
    const QStringList found = ListFolderFiles(source);
    if (!confirmImport(found.size()))
        return;
    // A file skipped as already catalogued stays where it is: only the files imported are moved,
    // and only their names must be free at the destination.
    const std::optional<QStringList> chosen = leaveOutDuplicates(found);
    if (!chosen)
        return;
    const QStringList& files = *chosen;
    // Nothing is ever written over: one file already there stops everything before it starts.
    const QString existing = FirstExistingFile(DestinationPaths(files, destination));
    if (!existing.isEmpty()) {
        const QStringList lines = {QStringLiteral("The file ") + existing + QStringLiteral(" already exists."),
                                   QStringLiteral("No files were added to Vellaor."),
                                   QStringLiteral("You may:"),
                                   QStringLiteral("1) Use Import (without Move) "),
                                   QStringLiteral("2) Select a different directory to move the files to, or"),
                                   QStringLiteral("3) Delete the existing files and try 'Move Then Import' again.")};
        MsgBox(lines.join(u'\n'), MsgButtons::OK, MsgIcon::Exclamation, QStringLiteral("Import Error"));
        return;
    }
    const ImportValues values = sharedValues();
    const ImportResult result = runImport([&](const ImportProgress& progress) {
        CheckImport(files.size(), values);
        return MoveThenImportFiles(files, destination, values, progress);
    });
    if (reportCancelled(result))
        return;
    cmdCancel->setText(QStringLiteral("Close"));
    if (!result.MoveFailedFile.isEmpty()) {
        MsgBox(QStringLiteral("Error moving file ") + result.MoveFailedFile + QStringLiteral(". ") +
               result.MoveFailure + u'\n' +
               QStringLiteral(" The filenames have been added but may not have been moved."));
        return;
    }
    MsgBox(QStringLiteral("Moved ") + QString::number(result.Moved) +
           QStringLiteral(" files and added them to Vellaro."));
}

void frmImport::cmdCancel_Click()
{
    if (auto* frame = qobject_cast<QMdiSubWindow*>(parentWidget()))
        frame->close();
    else
        close();
}
