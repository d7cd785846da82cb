#pragma once

#include <QString>

#include <memory>

// Every message box, beep and busy pointer of the program goes through here, so that tests can
// record what the user would have seen and answer questions before they are asked.

enum class MsgButtons { OK, OKCancel, YesNo, YesNoCancel, RetryCancel };
enum class MsgIcon { None, Critical, Question, Exclamation, Information };
enum class MsgAnswer { OK, Cancel, Yes, No, Retry };

class MessageService
{
public:
    virtual ~MessageService() = default;
    virtual MsgAnswer show(const QString& text, MsgButtons buttons, MsgIcon icon, const QString& title) = 0;
    virtual void beep() = 0;
    virtual void setBusy(bool busy) = 0;
};

// Installs the service every later call uses and returns the one it replaces.
std::unique_ptr<MessageService> SetMessageService(std::unique_ptr<MessageService> service);

// A message box; the title defaults to the program's title.
MsgAnswer MsgBox(const QString& text, MsgButtons buttons = MsgButtons::OK, MsgIcon icon = MsgIcon::None,
                 const QString& title = {});

void Beep();

// Shows the busy pointer for its lifetime; nested pointers keep it until the outermost ends.
class BusyPointer
{
public:
    BusyPointer();
    ~BusyPointer();
    BusyPointer(const BusyPointer&) = delete;
    BusyPointer& operator=(const BusyPointer&) = delete;
};
