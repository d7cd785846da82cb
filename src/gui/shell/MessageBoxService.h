#pragma once

#include "core/Messages.h"

// The program's real messages: modal message boxes, the desktop's beep and the busy pointer.
class MessageBoxService final : public MessageService
{
public:
    MsgAnswer show(const QString& text, MsgButtons buttons, MsgIcon icon, const QString& title) override;
    void beep() override;
    void setBusy(bool busy) override;
};
