#pragma once

#include <QWidget>

class MainFrame;
class QLineEdit;
class QPushButton;
class QRadioButton;

// The find window: a piece of text looked for in one field of the photos, the match shown by the
// photo editor.
class frmFind final : public QWidget
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(frmFind)

public:
    static constexpr int HelpContextID = 310;

    // The window, with the photo editor opened first; null when it could not be made (the reason
    // has been shown).
    static frmFind* make(MainFrame* main, QWidget* parent = nullptr);

    explicit frmFind(MainFrame* main, QWidget* parent = nullptr);
    ~frmFind() override;

protected:
    void showEvent(QShowEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    void createControls();
    void cmdFind_Click(int index);
    void cmdClose_Click();
    // The field of the chosen option button.
    QString fieldName() const;

    MainFrame* m_main;
    bool m_placed = false;
    // The button Enter repeats: the one used last.
    int m_defaultButton = 0;

    QLineEdit* txtFind;
    QRadioButton* optFind[4];
    QPushButton* cmdFind[2];
    QPushButton* cmdClose;
};
