#include "core/Failure.h"
#include "gui/shell/Action.h"
#include "support/RecordingMessages.h"

#include <QTest>

#include <stdexcept>

// The one path by which a user action's failure reaches the user.
class ActionTest : public QObject
{
    Q_OBJECT

private slots:
    void failuresAreShownAndStopTheActionThereAndNothingEscapes()
    {
        auto service = std::make_unique<RecordingMessages>();
        RecordingMessages& messages = *service;
        SetMessageService(std::move(service));

        bool after = false;
        QVERIFY(!RunAction([&] {
            throw Failure(ErrorNumber::DuplicateValue, QStringLiteral("Class Photos"));
            after = true;
        }));
        QVERIFY(!after);
        QCOMPARE(messages.shown().size(), std::size_t(1));
        QCOMPARE(messages.shown()[0].text, Failure::describe(ErrorNumber::DuplicateValue));
        QCOMPARE(messages.shown()[0].title, QStringLiteral("Vellaro"));

        QVERIFY(!RunAction([] { throw std::runtime_error("out of paper"); }));
        QCOMPARE(messages.shown().back().text, QStringLiteral("out of paper"));

        QCOMPARE(RunAction(-1, [] { return 7; }), 7);
        QCOMPARE(RunAction(-1, []() -> int { throw Failure(ErrorNumber::Overflow); }), -1);
        QCOMPARE(messages.shown().size(), std::size_t(3));
        QVERIFY(RunAction([] {}));
        QCOMPARE(messages.shown().size(), std::size_t(3));
        SetMessageService(nullptr);
    }
};

int runActionTest(int argc, char* argv[])
{
    ActionTest test;
    return QTest::qExec(&test, argc, argv);
}

#include "ActionTest.moc"
