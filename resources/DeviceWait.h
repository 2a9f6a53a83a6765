#ifndef DEVICEWAIT_H
#define DEVICEWAIT_H

#include <QObject>
#include <QPointer>
#include <QString>

#include <functional>
#include <type_traits>

class QFrame;
class QTimer;
class QWidget;

// Waiting on the device without blocking the window. A blocking device call runs on a thread of its
// own while a local event loop keeps the window painting, answering the window manager and closable,
// so the code that waits stays sequential: `const int result = DeviceWait::Run([&] { return ...; });`.
//
// A command constructs one DeviceWait for its whole length; each Run() inside it then:
// - holds user input (menus, panel keys, shortcuts) as a modal wait would, except for a dialog that was
//   already modal when the wait began and for the wait's own Cancel button;
// - shows the busy cursor, and after 300 ms "Waiting for the device…" over the window;
// - defers the reports that talk to the device or may end the session (see Defer()).
// Between runs (a dialog or a message box of the command) nothing is held.
//
// Closing the window during a run ends the command: Ended() turns true, the cancel function (when the
// command set one) interrupts the call, and the command returns without further messages.
class DeviceWait : public QObject
{
    Q_OBJECT

public:
    explicit DeviceWait(QWidget* window);
    ~DeviceWait() override;
    DeviceWait(const DeviceWait&) = delete;
    DeviceWait& operator=(const DeviceWait&) = delete;

    // Offers a Cancel button during the runs; `interrupt` must make the running call return soon
    // (closing the channel does). Closing the window calls it too.
    void AllowCancel(const std::function<void()>& interrupt);
    // The user pressed Cancel.
    bool Cancelled() const { return cancelled; }
    // Cancelled, or the window closed during a run: the command stops here.
    bool Ended() const { return cancelled || windowClosed; }

    // Runs `call` off the user-interface thread and returns its result once it is done, keeping the
    // event loop running meanwhile. Without a DeviceWait in scope it only keeps the loop running.
    template <class Call> static auto Run(Call call) -> decltype(call())
    {
        using Result = decltype(call());
        if constexpr (std::is_void_v<Result>) {
            RunJob(call);
        } else {
            Result result {};
            RunJob([&] { result = call(); });
            return result;
        }
    }

    // The rule for reports that arrive while a call runs: a handler that talks to the device or may end
    // the session (alive reports, the version check) starts with
    //     if (DeviceWait::Defer(this, [=] { Handler(args); })) return;
    // During a run, and while earlier deferred reports still wait, it is queued; once the run is over
    // the queue is handled in arrival order from the event loop, as if the call had blocked it. Other
    // reports (status records, partner reports, the auto-save tick) touch nothing a command uses and are
    // handled at once.
    static bool Defer(QObject* context, const std::function<void()>& report);
    // A run is in progress.
    static bool Running();
    // For the benchmark's same-run baseline only: runs each call on the calling thread, the way the
    // window waited before, so that its stalls can be measured beside these.
    static void SetBlockingForComparison(bool blocking);

    // How long a run waits before it names what it waits for.
    static constexpr int kIndicationDelayMs = 300;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    static void RunJob(const std::function<void()>& job);
    void Begin();
    void End();
    void ShowIndication();
    void Cancel();
    static void FlushDeferred();

    QPointer<QWidget> window;
    QPointer<QWidget> modalAtStart;
    QPointer<QFrame> indication;
    QTimer* indicationTimer = nullptr;
    std::function<void()> interrupt;
    DeviceWait* outer = nullptr;
    int running = 0;
    bool cancelled = false;
    bool windowClosed = false;
};

#endif // DEVICEWAIT_H
