// The logged-in main window against a device that misbehaves in every way the simulator can (device on
// 127.0.182.1 or .3, port 33904, its partner on 127.0.182.4:33903). Whatever the device does: no crash, the user
// interface keeps running, only the rows the events call for, and the backup holds every row shown.
#include "DeviceSimulator.h"
#include "WindowFixture.h"

#include <QElapsedTimer>

#include <functional>

namespace {
// The two programs of this suite run side by side: each has addresses of its own.
const QString kDevice = QLatin1String(HOSTILE_PERIODS ? "127.0.182.3" : "127.0.182.1");
const QString kPartner = QStringLiteral("127.0.182.4");
const QString kAsserted = QStringLiteral("|Connection Lost|Asserted|");
const QString kCleared = QStringLiteral("|Connection Lost|Cleared|");
// One exchange: two seconds for the answer and as long again for the resend.
constexpr qint64 kExchangeMs = 4000;
// Rows the starting state adds right after the login to a 2x1 device.
constexpr int kStartRows = 19;

using Scenario = std::function<void(DeviceSimulator&, const WindowFixture&)>;

// A fault switched on for a while, then off again.
Scenario during(void (*on)(DeviceSimulator&), int ms, void (*off)(DeviceSimulator&))
{
    return [=](DeviceSimulator& sim, const WindowFixture&) {
        on(sim);
        QTest::qWait(ms);
        off(sim);
    };
}

[[maybe_unused]] Scenario spoilOne(DeviceSimulator::Fault fault)
{
    return [fault](DeviceSimulator& sim, const WindowFixture&) {
        sim.setFault(fault, 1);
        // The resend comes after two seconds; a late answer meets the request after that.
        QTest::qWait(fault == DeviceSimulator::Fault::Late ? 4000 : 3000);
    };
}

} // namespace

Q_DECLARE_METATYPE(Scenario)

class HostileTest : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { TestSupport::isolateSettings(); }

    void faultMode_data()
    {
        QTest::addColumn<Scenario>("scenario");
        QTest::addColumn<int>("lostPeriods");  // -1: as many as there were, each asserted and cleared once
        QTest::addColumn<bool>("partner");

#if HOSTILE_PERIODS
        QTest::newRow("silent") << Scenario([](DeviceSimulator& sim, const WindowFixture& f) {
            sim.setAnswering(false);
            QTRY_VERIFY_WITH_TIMEOUT(f.rows().contains(kAsserted), 16000);
            sim.setAnswering(true);
        }) << 1 << false;
        QTest::newRow("drop 30 %") << during([](DeviceSimulator& s) { s.setDropShare(0.3, 7); }, 6000,
                                             [](DeviceSimulator& s) { s.setDropShare(0); }) << -1 << false;
        QTest::newRow("flap") << during([](DeviceSimulator& s) { s.setFlapping(2500, 2500); }, 8000,
                                        [](DeviceSimulator& s) { s.setFlapping(0, 0); }) << -1 << false;
        QTest::newRow("partner flap") << Scenario([](DeviceSimulator& sim, const WindowFixture& f) {
            QTRY_VERIFY_WITH_TIMEOUT(!f.rows().filter("|Remote ACO").isEmpty(), 8000);
            during([](DeviceSimulator& s) { s.setPartnerFlapping(kPartner, 3500, 3000); }, 9000,
                   [](DeviceSimulator& s) { s.setPartnerFlapping(kPartner, 0, 0); })(sim, f);
        }) << 0 << true;
#else
        using F = DeviceSimulator::Fault;
        QTest::newRow("one answer dropped") << spoilOne(F::Silent) << 0 << false;
        QTest::newRow("wrong checksum") << spoilOne(F::WrongChecksum) << 0 << false;
        QTest::newRow("wrong sequence") << spoilOne(F::WrongSequence) << 0 << false;
        QTest::newRow("oversize") << spoilOne(F::Oversize) << 0 << false;
        QTest::newRow("empty") << spoilOne(F::Empty) << 0 << false;
        QTest::newRow("short frame") << spoilOne(F::ShortFrame) << 0 << false;
        QTest::newRow("other host") << spoilOne(F::FromOtherHost) << 0 << false;
        QTest::newRow("twice") << spoilOne(F::Twice) << 0 << false;
        QTest::newRow("late") << spoilOne(F::Late) << 0 << false;
        QTest::newRow("stale login") << during([](DeviceSimulator& s) { s.setFault(F::ErrorCode, 2, 13); }, 3000,
                                               [](DeviceSimulator&) {}) << 0 << false;
        QTest::newRow("forget every 3") << during([](DeviceSimulator& s) { s.setForgetEvery(3); }, 4000,
                                                  [](DeviceSimulator& s) { s.setForgetEvery(0); }) << 0 << false;
        QTest::newRow("delay 300 ms") << during([](DeviceSimulator& s) { s.setReplyDelay(300); }, 4000,
                                                [](DeviceSimulator& s) { s.setReplyDelay(0); }) << 0 << false;
#endif
    }

    void faultMode()
    {
        QFETCH(Scenario, scenario);
        QFETCH(int, lostPeriods);
        QFETCH(bool, partner);
        TestSupport::clearSettings();
        DeviceSimulator sim;
        if (partner) {
            sim.modify([](SimDeviceState& s) { s.remoteAddress = kPartner; });
            QVERIFY(sim.addPartner(kPartner));
        }
        QVERIFY(sim.start(kDevice, 33904));
        WindowFixture f;
        f.window->show();
        QVERIFY(f.login(kDevice));
        QCOMPARE(f.table()->rowCount(), kStartRows);
        // Past the version check, which the window makes itself.
        QTest::qWait(1300);

        // The longest time the event loop went without running a 10 ms timer.
        QTimer ticks;
        QElapsedTimer sinceTick;
        qint64 longest = 0;
        connect(&ticks, &QTimer::timeout, [&]() { longest = qMax(longest, sinceTick.restart()); });
        sinceTick.start();
        ticks.start(10);
        scenario(sim, f);
        // A lost connection seen late is cleared within one alive cycle and one exchange.
        QTest::qWait(500);
        QTRY_VERIFY_WITH_TIMEOUT(f.rows().count(kAsserted) == f.rows().count(kCleared), 9000);
        ticks.stop();
        QVERIFY2(longest <= kExchangeMs, qPrintable(QString::number(longest)));

        const QStringList rows = f.rows().mid(kStartRows);
        const QStringList lost = rows.filter(QStringLiteral("|Connection Lost|"));
        if (lostPeriods >= 0)
            QCOMPARE(lost.size(), 2 * lostPeriods);
        for (int i = 0; i < lost.size(); ++i)
            QCOMPARE(lost[i], i % 2 == 0 ? kAsserted : kCleared);
        // Nothing else changed on the device: any other row would be a misread answer. A partner
        // that falls silent and comes back is reported each time, alternately.
        QStringList others = rows;
        for (const QString& r : lost)
            others.removeOne(r);
        if (partner) {
            QVERIFY2(others.size() >= 2, qPrintable(others.join(';')));
            for (int i = 0; i < others.size(); ++i)
                QCOMPARE(others[i], QStringLiteral("|Remote ACO %1|%2|").arg(kPartner, i % 2 == 0 ? "Connected" : "Lost"));
        } else {
            QCOMPARE(others.join(QLatin1Char(';')), QString());
        }

        QStringList shown;
        for (int r = 0; r < f.table()->rowCount(); ++r) {
            AlarmJournal::Row cells;
            for (int c = 0; c < 6; ++c)
                cells << f.table()->item(r, c)->text();
            shown << AlarmJournal::CsvRow(cells);
        }
        f.window->BackupLog();
        QCOMPARE(f.logFiles().size(), 1);
        const QStringList lines = QString::fromLatin1(f.logFile(f.logFiles().first())).split('\n');
        QCOMPARE(lines.mid(7, shown.size()).join('\n') + '\n', shown.join(QString()));
        QCOMPARE(lines.size(), 7 + shown.size() + 1);
    }
};

QTEST_MAIN(HostileTest)
#include "tst_hostile.moc"
