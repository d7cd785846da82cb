#pragma once

#include <QWidget>

class QTextBrowser;

// The program's help window: the pages of the Help folder, opened at numbered topics.
class frmHelp final : public QWidget
{
    Q_OBJECT

public:
    // The help pages are in helpFolder; the window belongs to owner (the main window) when there is one.
    frmHelp(const QString& helpFolder, QWidget* owner);
    ~frmHelp() override;

    // Shows the page of the topic with this number; false when the folder has no such page.
    bool ShowTopic(int contextID);
    // The page shown, as a file name within the help folder.
    QString CurrentPage() const;

protected:
    // Escape closes the window.
    void keyPressEvent(QKeyEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

private:
    QString pageOf(int contextID) const;

    QString m_folder;
    QTextBrowser* m_browser;
};
