// divevod-cli as a user runs it: each subcommand against a simulated 2x1 and 4x1 device, the rows of
// `watch` against the window's row functions, every state of `check` and each refused input.
#include "AlarmRows.h"
#include "DeviceSimulator.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QTemporaryDir>
#include <QtTest>

#include <functional>

namespace {
const QString Unit2x1 = QStringLiteral("127.0.211.1"), Unit4x1 = QStringLiteral("127.0.212.1");
const QString PartnerUp = QStringLiteral("127.0.211.2"), PartnerDown = QStringLiteral("127.0.211.3");
const QString Nobody = QStringLiteral("127.0.213.1"); // no device: every request times out

struct Run
{
    int exit = -1;
    QString out, err;
};

AcoGpioInfo recordOf(const SimDeviceState& s)
{
    AcoGpioInfo info;
    info.ps1Led = s.ps1Led;
    info.ps2Led = s.ps2Led;
    info.localLed = s.localLed;
    info.remoteLed = s.remoteLed;
    info.panelType = s.panelType;
    info.gpioGreenMask = s.gpioGreenMask;
    info.gpioRedMask = s.gpioRedMask;
    info.keyMask = s.keyMask;
    info.keyLock = s.keyLock;
    info.autoMode = s.autoMode;
    return info;
}

// Input, alarm type, alarm status and notes: what a row says besides its number and time.
QStringList texts(const QVector<AlarmRecord>& rows)
{
    QStringList out;
    for (const AlarmRecord& r : rows)
        out << QStringList { r.input, r.alarmType, r.alarmStatus, r.notes }.join(QLatin1Char(','));
    return out;
}

using Change = std::function<void(SimDeviceState&)>;
} // namespace

Q_DECLARE_METATYPE(Change)

class TestCli : public QObject
{
    Q_OBJECT

private:
    DeviceSimulator sim2x1, sim4x1;
    QTemporaryDir dir;

    DeviceSimulator& sim(const QString& panel) { return panel == QLatin1String("4x1") ? sim4x1 : sim2x1; }
    QString unit(const QString& panel) const { return panel == QLatin1String("4x1") ? Unit4x1 : Unit2x1; }

    QProcessEnvironment environment(const QString& password = QStringLiteral("123456")) const
    {
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.remove(QStringLiteral("DIVEVOD_PASSWORD"));
        if (!password.isNull())
            env.insert(QStringLiteral("DIVEVOD_PASSWORD"), password);
        env.insert(QStringLiteral("DIVEVOD_PARTNER_PASSWORD"), QStringLiteral("654321"));
        return env;
    }

    Run run(const QStringList& args, const QProcessEnvironment& env)
    {
        QProcess p;
        p.setProcessEnvironment(env);
        p.start(QStringLiteral(DIVEVOD_CLI), args);
        Run r;
        if (!p.waitForFinished(20000)) {
            p.kill();
            p.waitForFinished();
            return r;
        }
        r.exit = p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1;
        r.out = QString::fromUtf8(p.readAllStandardOutput());
        r.err = QString::fromUtf8(p.readAllStandardError());
        return r;
    }
    Run run(const QStringList& args) { return run(args, environment()); }

    QString file(const QString& name, const QByteArray& content, QFile::Permissions permissions)
    {
        QFile f(dir.filePath(name));
        f.open(QIODevice::WriteOnly);
        f.write(content);
        f.close();
        f.setPermissions(permissions);
        return f.fileName();
    }

private slots:
    void initTestCase()
    {
        SimDeviceState four;
        four.panelType = 1;
        sim4x1.setState(four);
        QVERIFY(sim2x1.start(Unit2x1, 33904) && sim4x1.start(Unit4x1, 33904));
        QVERIFY(sim2x1.addPartner(PartnerUp) && sim2x1.addPartner(PartnerDown));
        sim2x1.setPartnerAnswering(PartnerDown, false);
    }

    void init()
    {
        SimDeviceState four;
        four.panelType = 1;
        sim2x1.setState(SimDeviceState());
        sim4x1.setState(four);
        for (DeviceSimulator* s : { &sim2x1, &sim4x1 }) {
            s->setAnswering(true);
            s->setUpdateMode(false);
            s->clearReceived();
        }
    }

    // status, info and get: what the device holds, in the window's words.
    void readCommands_data()
    {
        QTest::addColumn<QString>("panel");
        for (const char* panel : { "2x1", "4x1" })
            QTest::newRow(panel) << panel;
    }
    void readCommands()
    {
        QFETCH(QString, panel);
        const SimDeviceState s = sim(panel).state();
        Run r = run({ "status", unit(panel), "--json" });
        QCOMPARE(r.exit, 0);
        const QJsonObject status = QJsonDocument::fromJson(r.out.toUtf8()).object();
        QStringList rows;
        for (const QJsonValue& v : status.value("rows").toArray()) {
            const QJsonObject o = v.toObject();
            rows << QStringList {
                o["input"].toString(), o["alarmType"].toString(), o["alarmStatus"].toString(), {}
            }.join(QLatin1Char(','));
        }
        QCOMPARE(rows, texts(AlarmRows::FullStateEntries(recordOf(s), {})));
        QCOMPARE(rows.size(), panel == "2x1" ? 19 : 17);

        r = run({ "status", unit(panel) });
        QCOMPARE(r.exit, 0);
        QVERIFY2(r.out.contains(panel == "2x1" ? "Group B  LED-IN 1       Green" : "Group A  LED-IN 4       Green"),
                 qPrintable(r.out));

        r = run({ "info", unit(panel), "--json" });
        QCOMPARE(r.exit, 0);
        const QJsonObject info = QJsonDocument::fromJson(r.out.toUtf8()).object();
        QCOMPARE(info["productSN"].toString(), QStringLiteral("QX00001234-00000042"));
        QCOMPARE(info["description"].toString(), QStringLiteral("Velmora-ACO-GPIO"));
        QCOMPARE(info["runningMode"].toString() + info["firmwareVersion"].toString() + info["gateway"].toString(),
                 QStringLiteral("UserApp1.1.46127.0.0.254"));
        QVERIFY(run({ "info", unit(panel) }).out.contains("Product SN:        QX00001234-00000042\n"));

        r = run({ "get", unit(panel) });
        QCOMPARE(r.exit, 0);
        QVERIFY2(
            r.out.contains(
                QStringLiteral("Auto Mode:       Enabled\nPanel Type:      %1\n").arg(panel == "2x1" ? "D2X1" : "4X1")),
            qPrintable(r.out));
        // Reading sends no setting.
        QCOMPARE(sim(panel).receivedCount(61) + sim(panel).receivedCount(64) + sim(panel).receivedCount(69), 0);
    }

    // set: only the named field changes, only its request is sent, the dialog's checks refuse.
    void set_data()
    {
        QTest::addColumn<QStringList>("args");
        QTest::addColumn<Change>("before");
        QTest::addColumn<int>("exit");
        QTest::addColumn<Change>("after");
        QTest::addColumn<int>("sentType"); // the one setting request expected, 0 for none
        QTest::addColumn<QString>("message");
        const Change none = [](SimDeviceState&) {};
        // clang-format off
        QTest::newRow("lock on") << QStringList{"lock", "on"} << none << 0
            << Change([](SimDeviceState& s) { s.keyLock = true; }) << 61 << "";
        QTest::newRow("auto-mode off keeps a panel type 7") << QStringList{"auto-mode", "off"}
            << Change([](SimDeviceState& s) { s.panelType = 7; }) << 0
            << Change([](SimDeviceState& s) { s.autoMode = false; }) << 61 << "";
        QTest::newRow("panel-type while auto mode is off") << QStringList{"panel-type", "4x1"}
            << Change([](SimDeviceState& s) { s.autoMode = false; }) << 0
            << Change([](SimDeviceState& s) { s.panelType = 1; }) << 61 << "";
        QTest::newRow("panel-type while auto mode is on") << QStringList{"panel-type", "4x1"} << none << 11 << none << 0
            << "Auto Mode is Disabled";
        QTest::newRow("slave 2") << QStringList{"partner", "2", "127.0.211.9"}
            << Change([](SimDeviceState& s) { s.slaveAddress[0] = "127.0.211.8"; s.slavePassword[0] = "abc"; }) << 0
            << Change([](SimDeviceState& s) { s.slaveAddress[1] = "127.0.211.9"; s.slavePassword[1] = "654321"; })
            << 69 << "";
        QTest::newRow("main emptied") << QStringList{"partner", "0", "0.0.0.0"}
            << Change([](SimDeviceState& s) { s.remoteAddress = "127.0.211.8"; s.remotePassword = "abc"; }) << 0
            << Change([](SimDeviceState& s) { s.remoteAddress = "0.0.0.0"; s.remotePassword.clear(); }) << 64 << "";
        QTest::newRow("repeated") << QStringList{"partner", "3", "127.0.211.8"}
            << Change([](SimDeviceState& s) { s.remoteAddress = "127.0.211.8"; }) << 11 << none << 0
            << "The Remote ACO IP address is repeated.";
        QTest::newRow("invalid") << QStringList{"partner", "1", "255.255.255.255"} << none << 11 << none << 0
            << "The Remote ACO IP address is invalid.";
        QTest::newRow("guest") << QStringList{"lock", "on", "--user", "guest"} << none << 12 << none << 0
            << "only admin";
        QTest::newRow("unknown field") << QStringList{"colour", "red"} << none << 2 << none << 0 << "unknown parameter";
        // clang-format on
    }
    void set()
    {
        QFETCH(QStringList, args);
        QFETCH(Change, before);
        QFETCH(int, exit);
        QFETCH(Change, after);
        QFETCH(int, sentType);
        QFETCH(QString, message);
        sim2x1.modify(before);
        SimDeviceState expected = sim2x1.state();
        after(expected);
        const Run r = run(QStringList { "set", Unit2x1 } + args);
        QCOMPARE(r.exit, exit);
        QVERIFY2(r.err.contains(message), qPrintable(r.err));
        const SimDeviceState s = sim2x1.state();
        QCOMPARE(QVariantList({ s.keyLock, s.autoMode, s.panelType, s.remoteAddress, s.remotePassword }),
                 QVariantList({ expected.keyLock, expected.autoMode, expected.panelType, expected.remoteAddress,
                                expected.remotePassword }));
        for (int i = 0; i < 3; ++i)
            QCOMPARE(s.slaveAddress[i] + "/" + s.slavePassword[i],
                     expected.slaveAddress[i] + "/" + expected.slavePassword[i]);
        for (int type : { 61, 64, 69 })
            QCOMPARE(sim2x1.receivedCount(type), type == sentType ? 1 : 0);
    }

    // check: every state, its status line and performance data.
    void check_data()
    {
        QTest::addColumn<QStringList>("args");
        QTest::addColumn<Change>("change");
        QTest::addColumn<int>("exit");
        QTest::addColumn<QString>("line");
        const Change none = [](SimDeviceState&) {};
        // clang-format off
        QTest::newRow("ok") << QStringList{Unit4x1} << none << 0
            << "^DIVEVOD OK - 127.0.212.1 firmware 1.1.46, 0 partner\\(s\\) answer \\| rtt=[0-9.]+ms;;;0;$";
        QTest::newRow("partner answers") << QStringList{Unit2x1}
            << Change([](SimDeviceState& s) { s.remoteAddress = PartnerUp; }) << 0 << " 1 partner";
        QTest::newRow("partner lost, beyond -t") << QStringList{Unit2x1, "-t", "1"}
            << Change([](SimDeviceState& s) { s.slaveAddress[2] = PartnerDown; }) << 1
            << "^DIVEVOD WARNING - 127.0.211.1 Remote ACO 127.0.211.3 Lost \\|";
        QTest::newRow("other firmware") << QStringList{Unit2x1}
            << Change([](SimDeviceState& s) { s.firmwareVersion = (1u << 24) | (1u << 16) | 45u; }) << 1
            << "WARNING - 127.0.211.1 firmware 1.1.45, not 1.1.46 \\|";
        QTest::newRow("PS2 off") << QStringList{Unit2x1} << Change([](SimDeviceState& s) { s.ps2Led = false; }) << 2
            << "^DIVEVOD CRITICAL - 127.0.211.1 PS2 off \\| rtt=";
        QTest::newRow("red before firmware") << QStringList{Unit2x1} << Change([](SimDeviceState& s) {
                s.gpioRedMask = 0x18; s.firmwareVersion = 0; }) << 2
            << "CRITICAL - 127.0.211.1 Group B LED-IN 1 Green Red Flashing, Group B LED-IN 2 Red, firmware 0.0.0";
        QTest::newRow("4x1 channel 4 has no input") << QStringList{Unit4x1}
            << Change([](SimDeviceState& s) { s.gpioRedMask = 0x10; }) << 0 << "^DIVEVOD OK";
        QTest::newRow("rtt warning") << QStringList{Unit4x1, "-w", "~:0"} << none << 1 << "rtt [0-9.]+ ms \\| rtt=[0-9.]+ms;~:0;;0;$";
        QTest::newRow("rtt critical") << QStringList{Unit4x1, "-w", "0", "-c", "@0:"} << none << 2 << "rtt=[0-9.]+ms;0;@0:;0;$";
        QTest::newRow("bad range") << QStringList{Unit4x1, "-c", "5:1"} << none << 3 << "^DIVEVOD UNKNOWN - a threshold";
        QTest::newRow("no answer") << QStringList{Nobody, "-t", "0.3"} << none << 2
            << "^DIVEVOD CRITICAL - 127.0.213.1 no answer within 0.3 s$";
        QTest::newRow("upgrading") << QStringList{Unit2x1} << Change([](SimDeviceState& s) { s.workMode = 0; }) << 2
            << "CRITICAL - 127.0.211.1 The device is upgrading.$";
        QTest::newRow("login refused") << QStringList{Unit2x1}
            << Change([](SimDeviceState& s) { s.adminPassword = "000000"; }) << 3 << "UNKNOWN - 127.0.211.1 Login failed";
        // clang-format on
    }
    void check()
    {
        QFETCH(QStringList, args);
        QFETCH(Change, change);
        QFETCH(int, exit);
        QFETCH(QString, line);
        sim2x1.modify(change);
        sim4x1.modify(change);
        const Run r = run(QStringList { "check" } + args);
        QCOMPARE(r.exit, exit);
        QVERIFY2(r.out.endsWith('\n') && r.out.count('\n') == 1, qPrintable(r.out));
        QVERIFY2(QRegularExpression(line).match(r.out.trimmed()).hasMatch(), qPrintable(r.out));
    }

    // Each refused input: its message on stderr and its own exit code, before anything is sent.
    void badInput_data()
    {
        QTest::addColumn<QStringList>("args");
        QTest::addColumn<QString>("password"); // null: DIVEVOD_PASSWORD unset
        QTest::addColumn<int>("exit");
        QTest::addColumn<QString>("message");
        const QString pw = QStringLiteral("123456");
        // clang-format off
        QTest::newRow("unknown subcommand") << QStringList{"reboot", Unit2x1} << pw << 2 << "unknown subcommand \"reboot\"";
        QTest::newRow("missing address") << QStringList{"info"} << pw << 2 << "info needs an ADDRESS";
        QTest::newRow("format of another command") << QStringList{"info", Unit2x1, "--csv"} << pw << 2 << "output format";
        QTest::newRow("address") << QStringList{"status", "127.0.211.01"} << pw << 3 << "not an IPv4 address";
        QTest::newRow("no password") << QStringList{"info", Unit2x1} << QString() << 4 << "set DIVEVOD_PASSWORD";
        QTest::newRow("password file") << QStringList{"info", Unit2x1, "--password-file", "open"} << pw << 4
            << "open to other users";
        QTest::newRow("password argument") << QStringList{"info", Unit2x1, "--password", "123456"} << pw << 5 << "ps";
        QTest::newRow("off-line") << QStringList{"get", Nobody} << pw << 7 << "Device is off-line.";
        QTest::newRow("upgrading") << QStringList{"watch", Unit4x1} << pw << 8 << "The device is upgrading.";
        QTest::newRow("admin refused") << QStringList{"status", Unit2x1} << "654321" << 9
            << "Login failed. Please make sure the password is correct and the REM-CTRL key is pressed down while booting.";
        QTest::newRow("guest refused") << QStringList{"status", Unit2x1, "--user", "guest"} << "123456" << 9
            << "The password is incorrect.";
        QTest::newRow("inventory") << QStringList{"info", "--inventory", "missing"} << pw << 13 << "cannot read the inventory";
        // clang-format on
    }
    void badInput()
    {
        QFETCH(QStringList, args);
        QFETCH(QString, password);
        QFETCH(int, exit);
        QFETCH(QString, message);
        sim4x1.setUpdateMode(true);
        for (QString& a : args) {
            if (a == "open")
                a = file("open", "123456\n", QFile::ReadOwner | QFile::WriteOwner | QFile::ReadOther);
            else if (a == "missing")
                a = dir.filePath("missing");
        }
        const Run r = run(args, environment(password));
        QCOMPARE(r.exit, exit);
        QVERIFY2(r.err.startsWith("divevod-cli: ") && r.err.contains(message), qPrintable(r.err));
        QVERIFY(r.out.isEmpty());
        QCOMPARE(sim2x1.receivedCount(2) + sim4x1.receivedCount(2), exit == 9 ? 1 : 0);
    }

    // A password file readable by its owner alone serves as DIVEVOD_PASSWORD does.
    void passwordFile()
    {
        const QString path = file("own", "123456\r\n", QFile::ReadOwner | QFile::WriteOwner);
        QCOMPARE(run({ "get", Unit2x1, "--password-file", path }, environment(QStringLiteral("wrong"))).exit, 0);
    }

    // --inventory: every unit in file order, the broken ones with their cause, the worst outcome as exit code.
    void inventory()
    {
        const QString list = file("units",
                                  QByteArray("# plant A\n") + Unit2x1.toLatin1() + " pump 1\n\n" + Unit4x1.toLatin1()
                                      + "\n127.0.211.300 typo\n",
                                  QFile::ReadOwner | QFile::WriteOwner);
        Run r = run({ "status", "--inventory", list, "--json", "--parallel", "2" });
        QCOMPARE(r.exit, 14);
        const QStringList lines = r.out.trimmed().split('\n');
        QCOMPARE(lines.size(), 3);
        const auto object = [&](int i) { return QJsonDocument::fromJson(lines[i].toUtf8()).object(); };
        QCOMPARE(object(0)["name"].toString() + object(0)["address"].toString(), "pump 1" + Unit2x1);
        QCOMPARE(object(1)["rows"].toArray().size(), 17);
        QCOMPARE(object(2)["exitCode"].toInt(), 3);

        sim2x1.modify([](SimDeviceState& s) { s.ps1Led = false; });
        r = run({ "check", "--inventory", list });
        QCOMPARE(r.exit, 3);
        QVERIFY2(
            r.out.contains(QRegularExpression("pump 1 +127.0.211.1 +CRITICAL +DIVEVOD CRITICAL - 127.0.211.1 PS1 off")),
            qPrintable(r.out));
        QVERIFY2(r.out.contains(QRegularExpression("\n- +127.0.212.1 +OK +DIVEVOD OK")), qPrintable(r.out));
    }

    // watch prints the rows the window appends for the same device script, numbered and time-stamped.
    void watch_data()
    {
        QTest::addColumn<QString>("panel");
        QTest::addColumn<bool>("loseConnection");
        QTest::newRow("2x1, connection lost and back") << "2x1" << true;
        QTest::newRow("4x1, ended by --seconds") << "4x1" << false;
    }
    void watch()
    {
        QFETCH(QString, panel);
        QFETCH(bool, loseConnection);
        DeviceSimulator& device = sim(panel);
        if (panel == "2x1")
            device.modify([](SimDeviceState& s) { s.remoteAddress = PartnerUp; });
        QProcess p;
        p.setProcessEnvironment(environment());
        QStringList args { "watch", unit(panel), "--csv" };
        if (!loseConnection)
            args << "--seconds"
                 << "10";
        p.start(QStringLiteral(DIVEVOD_CLI), args);
        QStringList lines;
        const auto waitForRows = [&](int rows) {
            // A silent device holds each worker for its 4 s exchange in turn: up to three of them.
            for (QElapsedTimer t; !t.isValid() || (t.elapsed() < 25000 && lines.size() < rows + 1);) {
                if (!t.isValid())
                    t.start();
                p.waitForReadyRead(200);
                while (p.canReadLine())
                    lines << QString::fromLatin1(p.readLine()).chopped(1);
            }
            return lines.size() == rows + 1;
        };

        SimDeviceState state = device.state();
        QVector<AlarmRecord> expected = AlarmRows::FullStateEntries(recordOf(state), {});
        if (panel == "2x1")
            expected << AlarmRows::RemoteAcoEntry(PartnerUp, true, {});
        QVERIFY(waitForRows(expected.size()));
        const QVector<Change> script { [](SimDeviceState& s) {
                                          s.ps2Led = false;
                                          s.gpioRedMask = 0x02;
                                      },
                                       [](SimDeviceState& s) {
                                           s.keyLock = true;
                                           s.keyMask = 0x21;
                                           s.localLed = 2;
                                       } };
        for (const Change& change : script) {
            const AcoGpioInfo before = recordOf(state);
            change(state);
            device.setState(state);
            expected << AlarmRows::ChangedEntries(before, recordOf(state), {});
            QVERIFY(waitForRows(expected.size()));
        }
        if (loseConnection) {
            device.setAnswering(false);
            expected << AlarmRows::ConnectionLostEntry(true, {});
            QVERIFY(waitForRows(expected.size()));
            device.setAnswering(true);
            expected << AlarmRows::ConnectionLostEntry(false, {});
            QVERIFY(waitForRows(expected.size()));
            p.terminate();
        }
        QVERIFY(p.waitForFinished(15000));
        QCOMPARE(p.exitCode(), 0);
        while (p.canReadLine())
            lines << QString::fromLatin1(p.readLine()).chopped(1);

        QCOMPARE(lines.takeFirst(), QStringLiteral("Number,Time,Input,Alarm Type,Alarm Status,Notes"));
        QStringList got;
        for (int i = 0; i < lines.size(); ++i) {
            QStringList fields = lines[i].split(',');
            QCOMPARE(fields.size(), 6);
            QCOMPARE(fields.takeFirst(), QString::number(i + 1));
            QVERIFY(QDateTime::fromString(fields.takeFirst(), "yyyy-MM-dd hh:mm:ss").isValid());
            got << fields.join(',');
        }
        QCOMPARE(got, texts(expected));
    }
};

QTEST_GUILESS_MAIN(TestCli)
#include "tst_cli.moc"
