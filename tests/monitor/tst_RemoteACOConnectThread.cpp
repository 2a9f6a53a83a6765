// The remote ACO monitor against the simulator's partners on 127.0.141.x (port 33903): which slots are
// watched, first reports, then only changes, entries kept across a restart and dropped with the configuration.
#include "MonitorFixture.h"

namespace {
const QString kA = QStringLiteral("127.0.141.1");
const QString kB = QStringLiteral("127.0.141.2");
const QString kC = QStringLiteral("127.0.141.3");
using Report = QVariantList;
} // namespace

class TestRemoteACOConnectThread : public QObject
{
    Q_OBJECT

private slots:
    void partnerAddresses_data()
    {
        QTest::addColumn<QString>("address");
        QTest::addColumn<bool>("watched");
        QTest::newRow("unset") << QString("0.0.0.0") << false;
        QTest::newRow("all ones") << QString("255.255.255.255") << false;
        QTest::newRow("empty") << QString("") << false;
        QTest::newRow("null") << QString() << false;
        QTest::newRow("loopback") << QString("127.0.141.1") << true;
        QTest::newRow("other network") << QString("10.20.30.40") << true;
    }

    void partnerAddresses()
    {
        QFETCH(QString, address);
        QFETCH(bool, watched);
        QCOMPARE(RemoteACOConnectThread::IsPartnerAddress(address), watched);
    }

    // Probes of a silent partner take 2 x 1 s; cycles are 3 s apart.
    void reportsFirstProbesThenChanges()
    {
        SimDeviceState state;
        state.remoteAddress = kA;
        state.slaveAddress[0] = kB;
        state.slaveAddress[1] = QStringLiteral("255.255.255.255");
        state.slaveAddress[2] = kA;
        MonitorFixture<RemoteACOConnectThread> f(state);
        QVERIFY(f.connect());
        for (const QString& partner : { kA, kB, kC })
            QVERIFY(f.sim.addPartner(partner));
        f.sim.setPartnerAnswering(kB, false);

        // The first probe of each partner is reported, answered or not; A, configured twice, is watched once.
        f.monitor.Start();
        QTRY_COMPARE_WITH_TIMEOUT(f.got.size(), 2, 4000);
        QCOMPARE(f.got, QList<Report>({ { kA, true }, { kB, false } }));
        QCOMPARE(f.sim.partnerHelloCount(kA), 1);
        QCOMPARE(f.sim.partnerHelloCount(kB), 2); // a probe and its one resend

        // A new login: probed at once, but nothing changed, so nothing is reported.
        f.monitor.StopAndWait();
        f.monitor.Start();
        QTRY_COMPARE_WITH_TIMEOUT(f.sim.partnerHelloCount(kB), 4, 3000);
        QTest::qWait(1200);
        QCOMPARE(f.got.size(), 2);

        // Both change: both are reported in the next cycle.
        f.sim.setPartnerAnswering(kA, false);
        f.sim.setPartnerAnswering(kB, true);
        QTRY_COMPARE_WITH_TIMEOUT(f.got.size(), 4, 7000);
        QCOMPARE(f.got.mid(2), QList<Report>({ { kA, false }, { kB, true } }));

        // B leaves the configuration without a report and is no longer probed; C comes in and is reported.
        f.sim.modify([](SimDeviceState& s) { s.slaveAddress[0] = kC; });
        const int probesOfB = f.sim.partnerHelloCount(kB);
        QTRY_COMPARE_WITH_TIMEOUT(f.got.size(), 5, 7000);
        QCOMPARE(f.got.at(4), Report({ kC, true }));
        f.monitor.StopAndWait();
        QCOMPARE(f.sim.partnerHelloCount(kB), probesOfB);
        QCOMPARE(f.got.size(), 5);
    }
};

QTEST_GUILESS_MAIN(TestRemoteACOConnectThread)
#include "tst_RemoteACOConnectThread.moc"
