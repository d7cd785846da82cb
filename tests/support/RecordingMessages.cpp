#include "support/RecordingMessages.h"

MsgAnswer RecordingMessages::show(const QString& text, MsgButtons buttons, MsgIcon icon, const QString& title)
{
    m_shown.push_back({text, buttons, icon, title});
    if (m_onShow)
        m_onShow(m_shown.back());
    if (!m_answers.empty()) {
        const MsgAnswer answer = m_answers.front();
        m_answers.pop_front();
        return answer;
    }
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

void RecordingMessages::clear()
{
    m_shown.clear();
    m_answers.clear();
    m_beeps = 0;
    m_busyChanges.clear();
}
