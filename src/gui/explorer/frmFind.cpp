#include "gui/explorer/frmFind.h"

#include "core/Messages.h"
#include "core/Settings.h"
#include "gui/shell/Action.h"
#include "gui/shell/FormPosition.h"
#include "gui/shell/MainFrame.h"
#include "gui/shell/MainVellaro.h"
#include "gui/shell/PhotoEditor.h"

#include <QCloseEvent>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMdiSubWindow>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

namespace {

const QString startUp = QStringLiteral("StartUp");
const QString findTextKey = QStringLiteral("FindText");
// Which field was looked in last, so that the window always opens with one chosen.
const QString findFieldKey = QStringLiteral("FindField");

const char* const fields[] = {"PhotoID", "Caption", "Comments", "FileName"};
constexpr int captionOption = 1;

} // namespace

frmFind* frmFind::make(MainFrame* main, QWidget* parent)
{
    std::unique_ptr<frmFind> window;
    if (!RunAction([&] {
            // The editor shows what is found, so it is open before the window that searches.
            if (main)
                main->ShowChild(QStringLiteral("frmPhotos"));
            window = std::make_unique<frmFind>(main, parent);
        }))
        return nullptr;
    return window.release();
}

frmFind::frmFind(MainFrame* main, QWidget* parent) : QWidget(parent), m_main(main)
{
    setObjectName(QStringLiteral("frmFind"));
    setWindowTitle(QStringLiteral("Find"));
    createControls();
    InstallHelpKey(this, HelpContextID);

    for (int index = 0; index < 2; ++index)
        connect(cmdFind[index], &QPushButton::clicked, this,
                [this, index] { RunAction([this, index] { cmdFind_Click(index); }); });
    connect(cmdClose, &QPushButton::clicked, this, [this] { RunAction([this] { cmdClose_Click(); }); });

    txtFind->setText(GetSetting(startUp, findTextKey));
    txtFind->setCursorPosition(int(txtFind->text().size()));
    bool known = false;
    const int option = GetSetting(startUp, findFieldKey).toInt(&known);
    optFind[known && option >= 0 && option < 4 ? option : captionOption]->setChecked(true);
    setTabOrder(txtFind, optFind[0]);
    txtFind->setFocus();
}

frmFind::~frmFind() = default;

void frmFind::createControls()
{
    auto* label = new QLabel(QStringLiteral("Look for:"), this);
    txtFind = new QLineEdit(this);
    txtFind->setObjectName(QStringLiteral("txtFind"));
    label->setBuddy(txtFind);

    auto* frame = new QGroupBox(QStringLiteral("Look In"), this);
    frame->setObjectName(QStringLiteral("fraFind"));
    auto* options = new QGridLayout(frame);
    const char* captions[] = {"&PhotoID", "&Caption", "Co&mments", "Filenam&e"};
    for (int index = 0; index < 4; ++index) {
        optFind[index] = new QRadioButton(QString::fromLatin1(captions[index]), frame);
        optFind[index]->setObjectName(QStringLiteral("optFind(%1)").arg(index));
        options->addWidget(optFind[index], index / 2, index % 2);
    }

    const char* buttonCaptions[] = {"Find &First", "Find &Next"};
    for (int index = 0; index < 2; ++index) {
        cmdFind[index] = new QPushButton(QString::fromLatin1(buttonCaptions[index]), this);
        cmdFind[index]->setObjectName(QStringLiteral("cmdFind(%1)").arg(index));
        cmdFind[index]->setAutoDefault(false);
    }
    cmdClose = new QPushButton(QStringLiteral("&Close"), this);
    cmdClose->setObjectName(QStringLiteral("cmdClose"));
    cmdClose->setAutoDefault(false);

    auto* left = new QVBoxLayout;
    left->addWidget(label);
    left->addWidget(txtFind);
    left->addWidget(frame);
    left->addStretch();
    auto* right = new QVBoxLayout;
    right->addWidget(cmdFind[0]);
    right->addWidget(cmdFind[1]);
    right->addWidget(cmdClose);
    right->addStretch();
    auto* layout = new QHBoxLayout(this);
    layout->addLayout(left, 1);
    layout->addLayout(right);
    resize(5400 / TwipsPerPixel, 2400 / TwipsPerPixel);
}

void frmFind::showEvent(QShowEvent* event)
{
    // The frame that holds the window exists only now.
    if (!m_placed) {
        m_placed = true;
        RunAction([this] { RestoreFormPosition(this); });
    }
    QWidget::showEvent(event);
}

void frmFind::closeEvent(QCloseEvent* event)
{
    RunAction([this] {
        SaveFormPosition(this);
        SaveSetting(startUp, findTextKey, txtFind->text());
        for (int index = 0; index < 4; ++index)
            if (optFind[index]->isChecked())
                SaveSetting(startUp, findFieldKey, QString::number(index));
    });
    event->accept();
}

void frmFind::keyPressEvent(QKeyEvent* event)
{
    // A window inside the main window has no default button of its own: Enter repeats the search
    // used last, or presses the button that has the focus.
    if (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) {
        if (auto* focused = qobject_cast<QPushButton*>(focusWidget()))
            focused->click();
        else
            cmdFind[m_defaultButton]->click();
        event->accept();
        return;
    }
    QWidget::keyPressEvent(event);
}

QString frmFind::fieldName() const
{
    for (int index = 0; index < 4; ++index)
        if (optFind[index]->isChecked())
            return QString::fromLatin1(fields[index]);
    return QString::fromLatin1(fields[captionOption]);
}

void frmFind::cmdFind_Click(int index)
{
    m_defaultButton = index;
    auto* editor = m_main ? dynamic_cast<PhotoEditor*>(m_main->ShowChild(QStringLiteral("frmPhotos"))) : nullptr;
    // The search goes on from this window, not from the editor that shows what it finds.
    if (m_main)
        m_main->ShowChild(objectName());
    if (!editor || !editor->LeaveChange())
        return;
    const QString field = fieldName();
    const QString pattern = u'*' + txtFind->text() + u'*';
    const bool found = index == 0 ? editor->FindFirst(field, pattern) : editor->Find(field, pattern);
    if (!found)
        MsgBox(QStringLiteral("No photo matches \"%1\" in %2.").arg(txtFind->text(), field), MsgButtons::OK,
               MsgIcon::Information);
}

void frmFind::cmdClose_Click()
{
    if (auto* frame = qobject_cast<QMdiSubWindow*>(parentWidget()))
        frame->close();
    else
        close();
}
