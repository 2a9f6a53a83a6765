// A program that starts like DiveVod and ends as soon as its window is shown. Built twice: as
// divevod-startup-probe it builds the real main window the way app/main.cpp does; as bare-startup-probe
// (BARE_PROBE, linked to Qt Widgets alone) a plain Qt window with a table and 60 styled labels.
// It writes one byte to the descriptor named by --ready-fd when the window is on screen, so that
// bench_session can take the wall time up to there and the peak resident memory of the whole process.
#ifndef BARE_PROBE
#include "DiveVod.h"
#include "DiveVodResources.h"
#include "DiveVodSettings.h"
#include "LanguageConfig.h"
#endif

#include <QApplication>
#include <QGridLayout>
#include <QLabel>
#include <QMainWindow>
#include <QSettings>
#include <QTableWidget>

#include <unistd.h>

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
int runWindow(int fd)
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
    return 0;
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
    for (int i = 1; i < argc; ++i) {
        if (std::strncmp(argv[i], "--ready-fd=", 11) == 0)
            fd = std::atoi(argv[i] + 11);
    }
    QApplication app(argc, argv);
#ifdef BARE_PROBE
    return runBare(fd);
#else
    return runWindow(fd);
#endif
}
