#include "gui/shell/frmAbout.h"

#include "gui/shell/Icons.h"
#include "gui/shell/MainVellaro.h"
#include "core/Settings.h"
#include "core/Version.h"

#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>

namespace {

constexpr int aboutTopic = 710;

QLineEdit* readOnlyLine(QWidget* parent, const char* name, const QString& text)
{
    auto* line = new QLineEdit(text, parent);
    line->setObjectName(QString::fromLatin1(name));
    line->setReadOnly(true);
    line->setFrame(false);
    return line;
}

} // namespace

frmAbout::frmAbout(QWidget* parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("frmAbout"));
    setWindowTitle(QStringLiteral("About ") + QString::fromUtf16(AppTitle));

    auto* logo = new QLabel(this);
    logo->setObjectName(QStringLiteral("Image1"));
    logo->setPixmap(ProgramIcon().pixmap(64, 64));

    QLineEdit* title = readOnlyLine(this, "lblTitle", QString::fromUtf16(AppTitle));
    QFont titleFont = title->font();
    titleFont.setPointSize(titleFont.pointSize() + 8);
    titleFont.setBold(true);
    title->setFont(titleFont);

    auto* version = new QLabel(Version::VersionText(), this);
    version->setObjectName(QStringLiteral("lblVersion"));

    auto* disclaimer = new QLabel(Version::LegalCopyright(), this);
    disclaimer->setObjectName(QStringLiteral("lblDisclaimer"));
    disclaimer->setWordWrap(true);

    auto* terms = new QPlainTextEdit(Version::TermsOfUse(), this);
    terms->setObjectName(QStringLiteral("Text1"));
    terms->setReadOnly(true);

    auto* ok = new QPushButton(QStringLiteral("OK"), this);
    ok->setObjectName(QStringLiteral("cmdOK"));
    ok->setDefault(true);
    connect(ok, &QPushButton::clicked, this, &QDialog::accept);

    auto* layout = new QGridLayout(this);
    layout->addWidget(logo, 0, 0, 3, 1, Qt::AlignTop);
    layout->addWidget(title, 0, 1);
    layout->addWidget(version, 1, 1);
    layout->addWidget(readOnlyLine(this, "txtEMail", Version::Comments()), 2, 1);
    layout->addWidget(terms, 3, 0, 1, 2);
    layout->addWidget(disclaimer, 4, 0, 1, 2);
    layout->addWidget(ok, 5, 1, Qt::AlignRight);
    resize(460, 380);
    InstallHelpKey(this, aboutTopic);
}

frmAbout::~frmAbout() = default;
