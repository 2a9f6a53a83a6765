// Shows one status panel fed with a lively status record and saves a picture of it.
// Usage: panels-demo 2x1|4x1 output.png
#include "AcoGpioInfo.h"
#include "DiveVodResources.h"
#include "GPIOStatus2x1.h"
#include "GPIOStatus4x1.h"

#include <QApplication>
#include <QPixmap>
#include <QStyle>
#include <QTimer>
#include <QVBoxLayout>
#include <QWidget>

#include <cstdio>
#include <memory>

namespace {

AcoGpioInfo LivelyRecord(quint32 panelType)
{
    AcoGpioInfo info;
    info.ps1Led = true;
    info.ps2Led = false;
    info.localLed = 0; // connected
    info.remoteLed = 1; // no partner
    info.panelType = panelType;
    info.gpioGreenMask = 0x01 | 0x08 | 0x20; // IN 1 of each group green, the last input...
    info.gpioRedMask = 0x02 | 0x20; // ...red as well, so it flashes; the second input red
    info.keyMask = 0x01 | 0x08;
    info.ipReset = false;
    info.upgrade = false;
    info.remCtrl = true;
    info.keyLock = true;
    info.autoMode = true;
    info.phaseAlign = 1;
    return info;
}

} // namespace

int main(int argc, char* argv[])
{
    QApplication::setStyle(QStringLiteral("plastique"));
    QApplication app(argc, argv);
    initDiveVodResources();

    if (QApplication::style()->objectName().compare(QLatin1String("plastique"), Qt::CaseInsensitive) != 0) {
        std::fprintf(stderr, "warning: the plastique style is not available; using %s\n",
                     qPrintable(QApplication::style()->objectName()));
    }

    const QStringList args = QApplication::arguments();
    if (args.size() != 3 || (args[1] != QLatin1String("2x1") && args[1] != QLatin1String("4x1"))) {
        std::fprintf(stderr, "usage: panels-demo 2x1|4x1 output.png\n");
        return 2;
    }
    const bool twoByOne = args[1] == QLatin1String("2x1");
    const QString output = args[2];

    // A plain window around the panel, as the main window embeds it.
    QWidget window;
    auto* layout = new QVBoxLayout(&window);
    layout->setContentsMargins(6, 6, 6, 6);
    QWidget* panel = nullptr;
    if (twoByOne) {
        auto* p = new GPIOStatus2x1(nullptr, &window);
        p->SetABKeysEnabled(true);
        p->OnRecvStatusInfo(LivelyRecord(0));
        panel = p;
    } else {
        auto* p = new GPIOStatus4x1(nullptr, &window);
        p->SetABKeysEnabled(true);
        p->OnRecvStatusInfo(LivelyRecord(1));
        panel = p;
    }
    layout->addWidget(panel);
    window.setWindowTitle(QStringLiteral("DiveVod %1 panel").arg(args[1]));
    window.resize(panel->size().width() + 12, panel->size().height() + 12);
    window.show();

    int status = 1;
    // Let the window be laid out and painted before the grab.
    QTimer::singleShot(500, &app, [&]() {
        status = window.grab().save(output, "PNG") ? 0 : 1;
        if (status != 0) {
            std::fprintf(stderr, "cannot write %s\n", qPrintable(output));
        }
        app.quit();
    });
    app.exec();
    return status;
}
