#pragma once

#include <QDialog>

// Who made the program, its version and terms of use.
class frmAbout final : public QDialog
{
    Q_OBJECT

public:
    explicit frmAbout(QWidget* parent = nullptr);
    ~frmAbout() override;
};
