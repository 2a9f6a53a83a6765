// A program that starts like DiveVod and ends as soon as its window is shown. Built twice: as
// divevod-startup-probe it builds the real main window the way app/main.cpp does; as bare-startup-probe
// (BARE_PROBE, linked to Qt Widgets alone) a plain Qt window with a table and 60 styled labels.
// It writes one byte to the descriptor named by --ready-fd when the window is on screen, so that
// bench_session can take the wall time up to there and the peak resident memory of the whole process.
#ifndef BARE_PROBE
#include "BenchSupport.h"
#include "DiveVod.h"
#include "DiveVodResources.h"
#include "DiveVodSettings.h"
#include "LanguageConfig.h"
#include "LoginDriver.h"

#include <QTableWidget>
#include <QTimer>

#include <sys/resource.h>
#endif

#include <QApplication>
#include <QGridLayout>
#include <QLabel>
#include <QMainWindow>
#include <QSettings>
#include <QTableWidget>

#include <unistd.h>

#include <cstdio>
#include <cstring>
#include <memory>

namespace {

void reportShown(int fd)
{
    if (fd >= 0) {
        const char byte = 1;
        (void)!::write(fd, &byte, 1);
        ::close(fd);
    }
}

#ifndef BARE_PROBE
double cpuSeconds()
{
    rusage usage {};
    ::getrusage(RUSAGE_SELF, &usage);
    return double(usage.ru_utime.tv_sec + usage.ru_stime.tv_sec)
        + double(usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e6;
}

// After start-up: logs in to `address` (when given) through the real dialog, then lets the window run for
// `seconds` and prints the CPU time and resident growth of that stretch and the alarm rows it added.
int stay(DiveVod& window, const QString& address, int seconds)
{
    if (!address.isEmpty() && !LoginDriver::connect(&window, address, QStringLiteral("123456")))
        return 3;
    QApplication::processEvents();
    auto* table = window.findChild<QTableWidget*>(QStringLiteral("tableWidget"));
    const int rowsBefore = table ? table->rowCount() : 0;
    if (!address.isEmpty() && rowsBefore == 0)
        return 4; // not logged in
    const double cpuBefore = cpuSeconds();
    const long residentBefore = BenchSupport::residentKiB();
    QTimer::singleShot(seconds * 1000, qApp, &QCoreApplication::quit);
    QApplication::exec();
    std::printf("cpu_s=%.6f resident_growth_KiB=%ld rows=%d\n", cpuSeconds() - cpuBefore,
                BenchSupport::residentKiB() - residentBefore, (table ? table->rowCount() : 0) - rowsBefore);
    std::fflush(stdout);
    return 0;
}

int runWindow(int fd, const QString& address, int seconds)
{
    initDiveVodResources();
    std::unique_ptr<LanguageConfig> language(new LanguageConfig(nullptr));
    {
        QSettings settings(kSettingsOrganisation, kSettingsApplication);
        language->SetLanguage(settings.value(QStringLiteral("Language"), 0).toInt());
    }
    DiveVod window(language.get(), nullptr, Qt::WindowFlags());
    window.show();
    QApplication::processEvents();
    reportShown(fd);
    return seconds > 0 ? stay(window, address, seconds) : 0;
}
#else
int runBare(int fd)
{
    QMainWindow window;
    auto* central = new QWidget(&window);
    auto* grid = new QGridLayout(central);
    for (int i = 0; i < 60; ++i) {
        auto* label = new QLabel(QStringLiteral("L%1").arg(i), central);
        label->setStyleSheet(i % 2 ? QStringLiteral("QLabel{background-color: #3c3; border: 1px solid #555;}")
                                   : QStringLiteral("QLabel{background-color: #888; border: 1px solid #555;}"));
        grid->addWidget(label, i / 10, i % 10);
    }
    grid->addWidget(new QTableWidget(0, 6, central), 6, 0, 1, 10);
    window.setCentralWidget(central);
    window.show();
    QApplication::processEvents();
    reportShown(fd);
    return 0;
}
#endif

} // namespace

int main(int argc, char* argv[])
{
    int fd = -1;
    int seconds = 0;
    const char* address = "";
    for (int i = 1; i < argc; ++i) {
        if (std::strncmp(argv[i], "--ready-fd=", 11) == 0)
            fd = std::atoi(argv[i] + 11);
        else if (std::strncmp(argv[i], "--stay=", 7) == 0)
            seconds = std::atoi(argv[i] + 7);
        else if (std::strncmp(argv[i], "--login=", 8) == 0)
            address = argv[i] + 8;
    }
    QApplication app(argc, argv);
#ifdef BARE_PROBE
    (void)seconds;
    (void)address;
    return runBare(fd);
#else
    return runWindow(fd, QString::fromLatin1(address), seconds);
#endif
}
