// The user-interface thread's longest stall while the window waits on a slow or silent device: a 10 ms
// timer's worst lateness during one command, in each situation where the window used to stop answering.
// Each runs twice on a fresh window and simulator (127.0.176.1:33904): with the calls made on the
// user-interface thread as the window used to (the baseline), and as it makes them now.
#include "BenchSupport.h"
#include "DeviceSimulator.h"
#include "DeviceWait.h"
#include "DiveVod.h"
#include "DiveVodResources.h"
#include "LanguageConfig.h"
#include "LoginDriver.h"

#include <QAbstractButton>
#include <QApplication>
#include <QDialog>
#include <QElapsedTimer>
#include <QMessageBox>
#include <QTemporaryDir>
#include <QEventLoop>
#include <QTimer>

#include <functional>
#include <memory>

using namespace BenchSupport;

namespace {
const QString kAddress = QStringLiteral("127.0.176.1");

struct Situation
{
    const char* name;
    bool loggedIn;                             // the command runs in a session
    std::function<void(DeviceSimulator&)> fault; // what the device does from just before the command on
    const char* command;                       // a slot of the window, or a panel key's object name
};

// Closes whatever comes up, the way a user gives up: message boxes with their default button,
// dialogs with Cancel. Runs in every event loop of the command.
struct GiveUp
{
    QTimer timer;
    GiveUp()
    {
        QObject::connect(&timer, &QTimer::timeout, [] {
            QWidget* modal = QApplication::activeModalWidget();
            if (auto* box = qobject_cast<QMessageBox*>(modal))
                box->accept();
            else if (auto* dialog = qobject_cast<QDialog*>(modal))
                dialog->reject();
        });
        timer.start(5);
    }
};

void wait(int ms)
{
    QEventLoop loop;
    QTimer::singleShot(ms, &loop, &QEventLoop::quit);
    loop.exec();
}

// The longest time a 10 ms timer fired late while `run` ran.
double worstLatenessMs(const std::function<void()>& run)
{
    QTimer ticks;
    ticks.setTimerType(Qt::PreciseTimer);
    QElapsedTimer sinceTick;
    qint64 longest = 0;
    QObject::connect(&ticks, &QTimer::timeout, [&] { longest = std::max(longest, sinceTick.restart()); });
    sinceTick.start();
    ticks.start(10);
    run();
    longest = std::max(longest, sinceTick.elapsed());
    return double(std::max<qint64>(longest - 10, 0));
}

void BM_Stall(benchmark::State& state, const Situation& situation, bool blocking)
{
    double worst = 0;
    for (auto _ : state) {
        DeviceSimulator sim;
        if (!sim.start(kAddress, 33904))
            return fail(state, "the simulator could not bind " + kAddress.toStdString() + ":33904");
        QTemporaryDir logs;
        LanguageConfig language(nullptr);
        auto window = std::make_unique<DiveVod>(&language, nullptr, Qt::WindowFlags());
        window->SetLogsDirectory(logs.path());
        window->show();
        DeviceWait::SetBlockingForComparison(blocking);
        if (situation.loggedIn) {
            LoginDriver::connect(window.get(), kAddress, QStringLiteral("123456"));
            if (window->findChildren<QAbstractButton*>(QStringLiteral("pushButtonIN1")).isEmpty()
                || !window->findChild<QWidget*>(QStringLiteral("tableWidget")))
                return fail(state, "no window to measure");
            wait(1300); // past the version check after the login
        }
        situation.fault(sim);
        const QString command = QLatin1String(situation.command);
        worst = worstLatenessMs([&] {
            GiveUp user;
            if (command == QLatin1String("OnConnect")) {
                LoginDriver::connect(window.get(), kAddress, QStringLiteral("123456"));
            } else if (command.startsWith(QLatin1String("On"))) {
                QMetaObject::invokeMethod(window.get(), situation.command, Qt::DirectConnection);
            } else {
                for (QAbstractButton* key : window->findChildren<QAbstractButton*>(command))
                    if (key->isVisible())
                        key->click();
            }
        });
        state.SetIterationTime(worst / 1e3);
        window.reset();
        DeviceWait::SetBlockingForComparison(false);
    }
    state.counters["stall_ms"] = worst;
}

} // namespace

int main(int argc, char** argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QTemporaryDir config;
    qputenv("XDG_CONFIG_HOME", config.path().toLocal8Bit());
    QApplication app(argc, argv);
    initDiveVodResources();
    initialise(&argc, argv);

    const auto silent = [](DeviceSimulator& sim) { sim.setAnswering(false); };
    const int lateMs = smoke() ? 300 : 1500;
    static const Situation situations[] = {
        {"login_silent", false, silent, "OnConnect"},
        {"param_silent", true, silent, "OnConfigParam"},
        {"general_silent", true, silent, "OnGeneral"},
        {"network_silent", true, silent, "OnNetworkProperty"},
        {"key_outage", true, silent, "pushButtonIN1"},
        {"param_late", true, [lateMs](DeviceSimulator& sim) { sim.setReplyDelay(lateMs); }, "OnConfigParam"},
    };
    for (const Situation& situation : situations) {
        // Each silent situation takes seconds by nature; the smoke run keeps two short ones.
        if (smoke() && QLatin1String(situation.name) != QLatin1String("login_silent")
            && QLatin1String(situation.name) != QLatin1String("param_late"))
            continue;
        for (const bool blocking : {true, false}) {
            const std::string name = std::string("stall/") + situation.name + (blocking ? "/blocking" : "/window");
            benchmark::RegisterBenchmark(name.c_str(), BM_Stall, situation, blocking)
                ->Iterations(1)
                ->Repetitions(1)
                ->UseManualTime()
                ->Unit(benchmark::kMillisecond);
        }
    }
    return run();
}
