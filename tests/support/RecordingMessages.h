#pragma once

#include "core/Messages.h"

#include <deque>
#include <functional>
#include <vector>

// Stands in for message boxes in tests: records what the user would have seen and answers
// questions with answers given beforehand (or the first button when none was given).
class RecordingMessages final : public MessageService
{
public:
    struct Shown
    {
        QString text;
        MsgButtons buttons;
        MsgIcon icon;
        QString title;
    };

    MsgAnswer show(const QString& text, MsgButtons buttons, MsgIcon icon, const QString& title) override;
    void beep() override { ++m_beeps; }
    void setBusy(bool busy) override { m_busyChanges.push_back(busy); }

    void setNextAnswer(MsgAnswer answer) { m_answers.push_back(answer); }
    // Runs whenever a message is shown, at that moment: a test looks at the screen as the user would.
    void setOnShow(std::function<void(const Shown&)> onShow) { m_onShow = std::move(onShow); }
    const std::vector<Shown>& shown() const { return m_shown; }
    // The text of the last message shown, empty when none was.
    QString lastText() const { return m_shown.empty() ? QString() : m_shown.back().text; }
    int beeps() const { return m_beeps; }
    const std::vector<bool>& busyChanges() const { return m_busyChanges; }
    void clear();

private:
    std::vector<Shown> m_shown;
    std::deque<MsgAnswer> m_answers;
    int m_beeps = 0;
    std::vector<bool> m_busyChanges;
    std::function<void(const Shown&)> m_onShow;
};
