#ifndef TESTSUPPORT_H
#define TESTSUPPORT_H

#include <QElapsedTimer>
#include <QTimer>
#include <QWidget>

#include <functional>

// Helpers shared by the test programs: a clean settings store per case, and a way to answer modal
// dialogs and message boxes the way a user would.
namespace TestSupport {
// Points the user-scope settings at a fresh temporary directory for this process and empties it.
void isolateSettings();
void clearSettings();

// Runs `action` on the next modal widget that appears (polling up to timeoutMs), from the event loop.
// Returns immediately; the action runs while the caller sits in exec().
void onNextModal(const std::function<void(QWidget*)>& action, int timeoutMs = 5000);

// The longest time the event loop went without running a 10 ms timer, from construction to Stop().
class StallProbe
{
public:
    StallProbe()
    {
        QObject::connect(&ticks, &QTimer::timeout, [this]() { longest = qMax(longest, sinceTick.restart()); });
        sinceTick.start();
        ticks.start(10);
    }
    qint64 Stop()
    {
        ticks.stop();
        return longest;
    }

private:
    QTimer ticks;
    QElapsedTimer sinceTick;
    qint64 longest = 0;
};
} // namespace TestSupport

#endif // TESTSUPPORT_H
