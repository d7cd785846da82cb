#include "core/Messages.h"

#include "core/Settings.h"

#include <cstdio>

namespace {

// Used only until a real service is installed, e.g. by the build-time tools: prints and answers the
// first button, so that nothing waits for a user who is not there.
class ConsoleMessages final : public MessageService
{
public:
    MsgAnswer show(const QString& text, MsgButtons buttons, MsgIcon, const QString& title) override
    {
        std::fprintf(stderr, "%s: %s\n", qUtf8Printable(title), qUtf8Printable(text));
        switch (buttons) {
        case MsgButtons::YesNo:
        case MsgButtons::YesNoCancel:
            return MsgAnswer::Yes;
        case MsgButtons::RetryCancel:
            return MsgAnswer::Retry;
        default:
            return MsgAnswer::OK;
        }
    }
    void beep() override {}
    void setBusy(bool) override {}
};

std::unique_ptr<MessageService>& current()
{
    static std::unique_ptr<MessageService> service = std::make_unique<ConsoleMessages>();
    return service;
}

int busyDepth = 0;

} // namespace

std::unique_ptr<MessageService> SetMessageService(std::unique_ptr<MessageService> service)
{
    auto previous = std::move(current());
    current() = service ? std::move(service) : std::make_unique<ConsoleMessages>();
    return previous;
}

MsgAnswer MsgBox(const QString& text, MsgButtons buttons, MsgIcon icon, const QString& title)
{
    return current()->show(text, buttons, icon, title.isEmpty() ? QString::fromUtf16(AppTitle) : title);
}

void Beep()
{
    current()->beep();
}

BusyPointer::BusyPointer()
{
    if (busyDepth++ == 0)
        current()->setBusy(true);
}

BusyPointer::~BusyPointer()
{
    if (--busyDepth == 0)
        current()->setBusy(false);
}
