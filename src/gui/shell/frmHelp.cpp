#include "gui/shell/frmHelp.h"

#include "gui/shell/Action.h"
#include "gui/shell/FormPosition.h"
#include "gui/shell/Icons.h"
#include "gui/shell/MainVellaro.h"

#include <QCloseEvent>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QKeyEvent>
#include <QTextBrowser>
#include <QTextStream>
#include <QToolBar>
#include <QVBoxLayout>

namespace {

constexpr int contentsTopic = 1;

} // namespace

frmHelp::frmHelp(const QString& helpFolder, QWidget* owner)
    // A dialog-type window stays in front of the main window that owns it, as help beside the work should.
    : QWidget(owner, owner ? Qt::Dialog | Qt::WindowMinMaxButtonsHint | Qt::WindowCloseButtonHint : Qt::Window),
      m_folder(helpFolder), m_browser(new QTextBrowser(this))
{
    setObjectName(QStringLiteral("frmHelp"));
    setWindowTitle(QStringLiteral("Vellaro Help"));
    setWindowIcon(ProgramIcon());
    if (!owner)
        setAttribute(Qt::WA_DeleteOnClose);

    auto* bar = new QToolBar(this);
    bar->setObjectName(QStringLiteral("tbrHelp"));
    bar->setToolButtonStyle(Qt::ToolButtonTextOnly);
    QAction* contents =
        bar->addAction(QStringLiteral("&Contents"), this, [this] { RunAction([this] { ShowTopic(contentsTopic); }); });
    contents->setObjectName(QStringLiteral("cmdContents"));
    QAction* back = bar->addAction(QStringLiteral("&Back"), m_browser, &QTextBrowser::backward);
    back->setObjectName(QStringLiteral("cmdBack"));
    back->setEnabled(false);
    QAction* forward = bar->addAction(QStringLiteral("&Forward"), m_browser, &QTextBrowser::forward);
    forward->setObjectName(QStringLiteral("cmdForward"));
    forward->setEnabled(false);
    connect(m_browser, &QTextBrowser::backwardAvailable, back, &QAction::setEnabled);
    connect(m_browser, &QTextBrowser::forwardAvailable, forward, &QAction::setEnabled);

    m_browser->setObjectName(QStringLiteral("txtTopic"));
    m_browser->setSearchPaths({m_folder});
    m_browser->setOpenExternalLinks(true);

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->addWidget(bar);
    layout->addWidget(m_browser);
    resize(720, 640);
    RestoreFormPosition(this);
    // Help on the help is its contents.
    InstallHelpKey(this, contentsTopic);
}

frmHelp::~frmHelp() = default;

QString frmHelp::pageOf(int contextID) const
{
    // topics.map names the page of each topic: "50=getting-started.html".
    QFile map(QDir(m_folder).filePath(QStringLiteral("topics.map")));
    if (!map.open(QIODevice::ReadOnly | QIODevice::Text))
        return {};
    QTextStream in(&map);
    const QString prefix = QString::number(contextID) + u'=';
    while (!in.atEnd()) {
        const QString line = in.readLine().trimmed();
        if (line.startsWith(prefix))
            return line.mid(prefix.size()).trimmed();
    }
    return {};
}

bool frmHelp::ShowTopic(int contextID)
{
    const QString page = pageOf(contextID);
    if (page.isEmpty() || !QFileInfo(QDir(m_folder).filePath(page)).isFile())
        return false;
    m_browser->setSource(QUrl::fromLocalFile(QDir(m_folder).filePath(page)));
    return true;
}

QString frmHelp::CurrentPage() const
{
    return QFileInfo(m_browser->source().toLocalFile()).fileName();
}

void frmHelp::keyPressEvent(QKeyEvent* event)
{
    if (event->key() == Qt::Key_Escape && event->modifiers() == Qt::NoModifier) {
        close();
        return;
    }
    QWidget::keyPressEvent(event);
}

void frmHelp::closeEvent(QCloseEvent* event)
{
    SaveFormPosition(this);
    event->accept();
}
