#pragma once

#include <QDialog>

#include <memory>

class QCheckBox;
class QPlainTextEdit;
class cOptions;

// The options for automatic captions and for what a new photo takes over from the last one.
class frmOptions final : public QDialog
{
    Q_OBJECT

public:
    static constexpr int HelpContextID = 700;

    // Reads the options; a stored option that is no boolean shows as its default.
    explicit frmOptions(QWidget* parent = nullptr);
    ~frmOptions() override;

    bool eventFilter(QObject* watched, QEvent* event) override;

protected:
    void done(int result) override;

private:
    QCheckBox* checkBox(const char* name, const QString& caption);
    void cmdInsert_Click();
    void cmdOK_Click();

    std::unique_ptr<cOptions> m_options;
    QPlainTextEdit* m_copyright;
    QCheckBox* m_includeLocation;
    QCheckBox* m_includeDate;
    QCheckBox* m_includeCopyright;
    QCheckBox* m_lastLocation;
    QCheckBox* m_lastStorageDevice;
    QCheckBox* m_lastDate;
    QCheckBox* m_lastComments;
    QCheckBox* m_lastFilename;
};
