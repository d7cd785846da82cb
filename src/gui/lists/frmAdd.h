#pragma once

#include <QDialog>

class QLineEdit;
class QPushButton;

// The small modal dialog that asks the lists window for one name: a new entry's, or an entry's new
// name. It neither trims nor checks the text; the caller decides what to do with it.
class frmAdd final : public QDialog
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(frmAdd)

public:
    static constexpr int HelpContextID = 410;

    explicit frmAdd(QWidget* parent = nullptr);
    ~frmAdd() override;

    void setTitle(const QString& title);
    QString Item() const;
    void setItem(const QString& item);
    // True when the dialog was closed without Save: by Cancel, Escape or the title bar's close button.
    bool Cancelled() const { return m_Cancelled; }

    void reject() override;

protected:
    void showEvent(QShowEvent* event) override;
    void done(int result) override;

private:
    void cmdSave_Click();

    QLineEdit* txtItem;
    QPushButton* cmdSave;
    QPushButton* cmdCancel;
    bool m_Cancelled = false;
    bool m_placed = false;
};
