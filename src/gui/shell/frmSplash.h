#pragma once

#include <QWidget>

// The window shown while the program starts: name, version and copyright.
class frmSplash final : public QWidget
{
    Q_OBJECT

public:
    explicit frmSplash(QWidget* parent = nullptr);
    ~frmSplash() override;
};
