// The logged-in main window against a device that misbehaves in every way the simulator can (device on
// 127.0.182.1 or .3, port 33904, partner on .2 or .4, port 33903). Whatever the device does: no crash, the user
// interface keeps running, only the rows the events call for, and the backup holds every row shown.
#include "DeviceSimulator.h"
#include "WindowFixture.h"

#include <QElapsedTimer>

#include <functional>

namespace {
// The two programs of this suite run side by side: each has addresses of its own.
const QString kDevice = QLatin1String(HOSTILE_PERIODS ? "127.0.182.3" : "127.0.182.1");
const QString kPartner = QLatin1String(HOSTILE_PERIODS ? "127.0.182.4" : "127.0.182.2");
constexpr int kStartRows = 19; // rows of the starting state of a 2x1 device

using Sim = DeviceSimulator;
using Scenario = std::function<void(Sim&, const WindowFixture&)>;

// A fault switched on for a while, then off again.
Scenario during(int ms, void (*set)(Sim&, bool on))
{
    return [=](Sim& sim, const WindowFixture&) { set(sim, true), QTest::qWait(ms), set(sim, false); };
}

// The resend comes after two seconds; a late answer meets the request after that.
[[maybe_unused]] Scenario spoilOne(Sim::Fault fault)
{
    return [fault](Sim& sim, const WindowFixture&) {
        sim.setFault(fault, 1), QTest::qWait(fault == Sim::Fault::Late ? 4000 : 3000);
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
        // clang-format off
        QTest::newRow("silent") << Scenario([](Sim& sim, const WindowFixture& f) {
            sim.setAnswering(false);
            QTRY_VERIFY_WITH_TIMEOUT(f.rows().contains(kAsserted), 16000);
            sim.setAnswering(true);
        }) << 1 << false;
        QTest::newRow("drop 30 %") << during(6000, [](Sim& s, bool on) { s.setDropShare(on ? 0.3 : 0, 7); }) << -1 << false;
        QTest::newRow("flap") << during(8000, [](Sim& s, bool on) { s.setFlapping(on * 2500, on * 2500); }) << -1 << false;
        QTest::newRow("partner flap") << Scenario([](Sim& sim, const WindowFixture& f) {
            QTRY_VERIFY_WITH_TIMEOUT(!f.rows().filter("|Remote ACO").isEmpty(), 8000);
            during(9000, [](Sim& s, bool on) { s.setPartnerFlapping(kPartner, on * 3500, on * 3000); })(sim, f);
        }) << 0 << true;
#else
        using F = Sim::Fault;
        const std::pair<const char*, F> spoiled[] = {{"dropped", F::Silent}, {"checksum", F::WrongChecksum},
            {"sequence", F::WrongSequence}, {"oversize", F::Oversize}, {"empty", F::Empty}, {"short", F::ShortFrame},
            {"other host", F::FromOtherHost}, {"twice", F::Twice}, {"late", F::Late}};
        for (const auto& row : spoiled)
            QTest::newRow(row.first) << spoilOne(row.second) << 0 << false;
        QTest::newRow("stale login") << during(3000, [](Sim& s, bool on) { if (on) s.setFault(F::ErrorCode, 2, 13); }) << 0 << false;
        QTest::newRow("forget every 3") << during(4000, [](Sim& s, bool on) { s.setForgetEvery(on * 3); }) << 0 << false;
        QTest::newRow("delay 300 ms") << during(4000, [](Sim& s, bool on) { s.setReplyDelay(on * 300); }) << 0 << false;
        // clang-format on
#endif
    }

    void faultMode()
    {
        QFETCH(Scenario, scenario);
        QFETCH(int, lostPeriods);
        QFETCH(bool, partner);
        TestSupport::clearSettings();
        Sim sim;
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

        TestSupport::StallProbe stalls;
        scenario(sim, f);
        // A lost connection seen late is cleared within one alive cycle and one exchange.
        QTest::qWait(500);
        QTRY_VERIFY_WITH_TIMEOUT(f.rows().count(kAsserted) == f.rows().count(kCleared), 9000);
        const qint64 longest = stalls.Stop();
        QVERIFY2(longest <= 4000, qPrintable(QString::number(longest))); // at most one exchange and its resend

        const QStringList rows = f.rows().mid(kStartRows);
        const QStringList lost = rows.filter(QStringLiteral("|Connection Lost|"));
        if (lostPeriods >= 0)
            QCOMPARE(lost.size(), 2 * lostPeriods);
        for (int i = 0; i < lost.size(); ++i)
            QCOMPARE(lost[i], i % 2 == 0 ? kAsserted : kCleared);
        // Nothing else changed on the device: any other row would be a misread answer. A partner
        // that falls silent and comes back is reported each time, alternately.
        QStringList others = rows;
        others.removeAll(kAsserted), others.removeAll(kCleared);
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
                cells << f.cell(r, c);
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
