// Status panel figures, each beside a baseline that runs in the same program:
//  - repainting the 2x1 panel from a record that changes every time, and from the same record again,
//    against setting a style sheet on 25 bare labels (restyling every indicator);
//  - resident memory left behind by many records that start and stop flashing (the timers must not
//    pile up), against the resident size before them.
#include "BenchSupport.h"

#include "DiveVodResources.h"
#include "GPIOStatus2x1.h"

#include <QApplication>
#include <QLabel>

#include <memory>
#include <vector>

using namespace BenchSupport;

namespace {

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

GPIOStatus2x1& panel()
{
    static GPIOStatus2x1* p = [] {
        auto* shown = new GPIOStatus2x1(nullptr);
        shown->show();
        return shown;
    }();
    return *p;
}

void BM_RestyleAllLabels(benchmark::State& state)
{
    QWidget bare;
    std::vector<QLabel*> labels;
    for (int i = 0; i < 25; ++i)
        labels.push_back(new QLabel(&bare));
    bare.show();
    const QString styles[2] = { QStringLiteral("QLabel{border-image: url(:/DiveVod/Resources/green.png)}"),
                                QStringLiteral("QLabel{border-image: url(:/DiveVod/Resources/gray.png)}") };
    long i = 0;
    LoopClock clock;
    for (auto _ : state) {
        ++i;
        for (QLabel* label : labels)
            label->setStyleSheet(styles[i & 1]);
    }
    recordBaseline("restyle", clock.nsPerIteration(state));
}

void BM_RepaintChanged(benchmark::State& state)
{
    GPIOStatus2x1& p = panel();
    long i = 0;
    LoopClock clock;
    for (auto _ : state)
        p.OnRecvStatusInfo(lively(i++));
    setRatio(state, "restyle", clock.nsPerIteration(state));
}

void BM_RepaintSame(benchmark::State& state)
{
    GPIOStatus2x1& p = panel();
    const AcoGpioInfo steady = lively(5);
    LoopClock clock;
    for (auto _ : state)
        p.OnRecvStatusInfo(steady);
    setRatio(state, "restyle", clock.nsPerIteration(state));
}

void BM_FlashingMemory(benchmark::State& state)
{
    GPIOStatus2x1& p = panel();
    const long records = size(10000, 200);
    for (long i = 0; i < 1000 && i < records; ++i)
        p.OnRecvStatusInfo(lively(i));
    QApplication::processEvents();
    const long before = residentKiB();
    for (auto _ : state) {
        for (long i = 0; i < records; ++i)
            p.OnRecvStatusInfo(lively(i));
        QApplication::processEvents();
    }
    const long after = residentKiB();
    state.counters["records"] = double(records);
    state.counters["resident_before_KiB"] = double(before);
    state.counters["growth_KiB"] = double(after - before);
}

} // namespace

int main(int argc, char** argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    initDiveVodResources();
    initialise(&argc, argv);
    tune(benchmark::RegisterBenchmark("panel/restyle_all_labels", BM_RestyleAllLabels));
    tune(benchmark::RegisterBenchmark("panel/repaint_changed", BM_RepaintChanged));
    tune(benchmark::RegisterBenchmark("panel/repaint_same", BM_RepaintSame));
    benchmark::RegisterBenchmark("panel/flashing_memory", BM_FlashingMemory)->Iterations(1)->Repetitions(1);
    const int status = run();
    delete &panel();
    return status;
}
