#include "core/Messages.h"
#include "support/RecordingMessages.h"

#include <QTest>

class MessagesTest : public QObject
{
    Q_OBJECT

private slots:
    void init()
    {
        auto service = std::make_unique<RecordingMessages>();
        m_messages = service.get();
        SetMessageService(std::move(service));
    }
    void cleanup() { SetMessageService(nullptr); }

    void messagesReachTheInstalledServiceWithTheProgramTitleByDefault()
    {
        m_messages->setNextAnswer(MsgAnswer::No);
        QCOMPARE(MsgBox(QStringLiteral("Save Changes?"), MsgButtons::YesNo, MsgIcon::Question), MsgAnswer::No);
        MsgBox(QStringLiteral("Gone"), MsgButtons::OK, MsgIcon::Critical, QStringLiteral("Fatal Error"));
        QCOMPARE(m_messages->shown().size(), std::size_t(2));
        QCOMPARE(m_messages->shown()[0].title, QStringLiteral("Vellaro"));
        QCOMPARE(m_messages->shown()[0].buttons, MsgButtons::YesNo);
        QCOMPARE(m_messages->shown()[1].title, QStringLiteral("Fatal Error"));
        QCOMPARE(m_messages->shown()[1].icon, MsgIcon::Critical);
    }

    void nestedBusyPointersShowOnceAndEndOnce()
    {
        {
            BusyPointer outer;
            {
                BusyPointer inner;
                Beep();
            }
            QCOMPARE(m_messages->busyChanges(), std::vector<bool>{true});
        }
        QCOMPARE(m_messages->busyChanges(), (std::vector<bool>{true, false}));
        QCOMPARE(m_messages->beeps(), 1);
    }

private:
    RecordingMessages* m_messages = nullptr;
};

int runMessagesTest(int argc, char* argv[])
{
    MessagesTest test;
    return QTest::qExec(&test, argc, argv);
}

#include "MessagesTest.moc"
