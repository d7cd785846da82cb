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
