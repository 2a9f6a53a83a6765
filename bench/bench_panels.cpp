// Status panel benchmarks, each printed beside a baseline measured in the same run:
//  - repainting the 2x1 panel from a record that changes every time (LEDs, keys, flashing slots),
//    and from the same record again, against setting a style sheet on 25 bare labels;
//  - memory: resident size after many records that start and stop flashing, against the size
//    before them (the timers must not pile up).
#include "DiveVodResources.h"
#include "GPIOStatus2x1.h"

#include <QApplication>
#include <QFile>
#include <QLabel>

#include <chrono>
#include <cstdio>
#include <vector>

namespace {

using Clock = std::chrono::steady_clock;

template <typename Step> double perSecond(double seconds, Step step)
{
    const auto start = Clock::now();
    const auto until = start + std::chrono::duration<double>(seconds);
    long done = 0;
    while (Clock::now() < until) {
        for (int i = 0; i < 32; ++i, ++done)
            step(done);
    }
    return done / std::chrono::duration<double>(Clock::now() - start).count();
}

long residentKiB()
{
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly))
        return -1;
    for (const QByteArray& line : status.readAll().split('\n')) {
        if (line.startsWith("VmRSS:"))
            return line.mid(6).trimmed().split(' ').value(0).toLong();
    }
    return -1;
}

AcoGpioInfo lively(long i)
{
    AcoGpioInfo info;
    info.ps1Led = true;
    info.ps2Led = i & 1;
    info.localLed = quint32(i % 3);
    info.remoteLed = quint32((i / 3) % 3);
    info.panelType = 0;
    info.gpioGreenMask = quint32(i & 0x3F);
    info.gpioRedMask = quint32((i >> 2) & 0x3F);
    info.keyMask = quint32((i >> 1) & 0x3F);
    info.phaseAlign = quint8(i % 3);
    info.keyLock = i & 2;
    return info;
}

} // namespace

int main(int argc, char* argv[])
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    initDiveVodResources();

    GPIOStatus2x1 panel(nullptr);
    panel.show();
    QWidget bare;
    std::vector<QLabel*> labels;
    for (int i = 0; i < 25; ++i)
        labels.push_back(new QLabel(&bare));
    bare.show();
    const QString styles[2] = { QStringLiteral("QLabel{border-image: url(:/DiveVod/Resources/green.png)}"),
                                QStringLiteral("QLabel{border-image: url(:/DiveVod/Resources/gray.png)}") };

    const double changing = perSecond(2.0, [&](long i) { panel.OnRecvStatusInfo(lively(i)); });
    const AcoGpioInfo steady = lively(5);
    const double same = perSecond(2.0, [&](long) { panel.OnRecvStatusInfo(steady); });
    const double baseline = perSecond(2.0, [&](long i) {
        for (QLabel* label : labels)
            label->setStyleSheet(styles[i & 1]);
    });

    std::printf("bench_panels (each figure beside a baseline from the same run)\n");
    std::printf("%-44s %12.0f /s   baseline %-30s %12.0f /s   ratio %.3f\n", "2x1 repaint, record changes every time",
                changing, "style sheet on all 25 labels", baseline, changing / baseline);
    std::printf("%-44s %12.0f /s   baseline %-30s %12.0f /s   ratio %.3f\n", "2x1 repaint, same record again", same,
                "style sheet on all 25 labels", baseline, same / baseline);

    // Warm up, then count what 50 000 more records leave behind.
    for (long i = 0; i < 5000; ++i)
        panel.OnRecvStatusInfo(lively(i));
    const long before = residentKiB();
    for (long i = 0; i < 50000; ++i)
        panel.OnRecvStatusInfo(lively(i));
    app.processEvents();
    const long after = residentKiB();
    std::printf("%-44s %12ld KiB  baseline %-30s %12ld KiB  growth %ld KiB\n", "resident after 50 000 records", after,
                "resident before them", before, after - before);
    return 0;
}
