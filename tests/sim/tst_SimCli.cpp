// The divevod-sim program: its options, its stdin commands and how it ends.
#include "RawUdpClient.h"

#include <QElapsedTimer>
#include <QProcess>
#include <QRegularExpression>
#include <QtTest>

#include <csignal>
#include <memory>

namespace {

// A loopback net of this test's own: partners need the fixed port 33903.
const QString DeviceAddress = QStringLiteral("127.0.233.1");
const QString PartnerA = QStringLiteral("127.0.233.2");
const QString PartnerB = QStringLiteral("127.0.233.3");
const quint16 PartnerPort = 33903;

constexpr auto errorOf = &RawUdpClient::errorOf;
constexpr auto payloadOf = &RawUdpClient::payloadOf;
constexpr auto authPayload = &RawUdpClient::authPayload;

} // namespace

class tst_SimCli : public QObject
{
    Q_OBJECT

private:
    std::unique_ptr<QProcess> process;
    std::unique_ptr<RawUdpClient> client;
    QString output;
    quint16 port = 0;

    // Reads standard output until `text` shows up or the time is over.
    bool waitForOutput(const QString& text, int timeoutMs = 3000)
    {
        QElapsedTimer timer;
        timer.start();
        while (!output.contains(text) && timer.elapsed() < timeoutMs) {
            process->waitForReadyRead(50);
            output += QString::fromLocal8Bit(process->readAllStandardOutput());
        }
        return output.contains(text);
    }

    bool launch(const QStringList& extra = {})
    {
        output.clear();
        process.reset(new QProcess);
        process->start(QStringLiteral(DIVEVOD_SIM_PROGRAM), QStringList({ "--bind", DeviceAddress, "--port", "0" }) + extra);
        if (!process->waitForStarted(3000) || !waitForOutput(QStringLiteral("device listening on")))
            return false;
        const QRegularExpressionMatch match
            = QRegularExpression(QStringLiteral("device listening on ([0-9.]+):(\\d+)")).match(output);
        port = match.hasMatch() ? quint16(match.captured(2).toUInt()) : 0;
        client->setTarget(DeviceAddress, port);
        return port != 0 && match.captured(1) == DeviceAddress;
    }

    // Sends one command line and waits for its reply.
    bool command(const QString& line, const QString& reply)
    {
        output.clear();
        process->write((line + QLatin1Char('\n')).toLocal8Bit());
        return waitForOutput(reply);
    }

    bool hello(const QString& partner, int timeoutMs = 1000)
    {
        QByteArray answer;
        client->drain();
        return client->send(RawUdpClient::request(1, 0, 1), partner, PartnerPort)
            && client->receive(&answer, timeoutMs) && errorOf(answer) == 0;
    }

    bool finishedCleanly()
    {
        return process->waitForFinished(3000) && process->exitStatus() == QProcess::NormalExit
            && process->exitCode() == 0;
    }

private slots:
    void init()
    {
        client.reset(new RawUdpClient(QStringLiteral("127.0.0.1")));
        QVERIFY(client->isValid());
    }

    void cleanup()
    {
        if (process && process->state() != QProcess::NotRunning) {
            process->kill();
            process->waitForFinished(3000);
        }
        process.reset();
        client.reset();
    }

    void helpListsEverything()
    {
        QProcess p;
        p.start(QStringLiteral(DIVEVOD_SIM_PROGRAM), { QStringLiteral("--help") });
        QVERIFY(p.waitForFinished(5000));
        QCOMPARE(p.exitCode(), 0);
        const QString text = QString::fromLocal8Bit(p.readAllStandardOutput());
        for (const char* expected :
             { "Usage: divevod-sim", "--bind ADDR", "--port N", "--panel 2x1|4x1|others", "--firmware X.Y.Z",
               "--work-mode N", "--admin-password P", "--guest-password P", "--lively", "--partner ADDR[:silent]",
               "--no-stdin", "--help", "show", "set FIELD VALUE", "forget", "forget every N", "silent | answer",
               "update on|off", "lively on|off [MS]", "partner ADDR on|off", "partner ADDR flap SILENT_MS ANSWER_MS",
               "fault NAME [COUNT [CODE|MS]] [type T]", "wrong-checksum", "wrong-sequence", "oversize", "empty",
               "short", "error", "other-host", "twice", "late", "drop PERCENT [SEED]", "flap SILENT_MS ANSWER_MS",
               "delay MS", "received [N]", "help", "quit" })
            QVERIFY2(text.contains(QLatin1String(expected)), expected);
    }

    void badOptions_data()
    {
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<QString>("message");
        // clang-format off
        QTest::newRow("non-loopback bind") << QStringList{"--bind", "192.168.1.100"} << "only listens on loopback";
        QTest::newRow("any address") << QStringList{"--bind=0.0.0.0"} << "only listens on loopback";
        QTest::newRow("bind without value") << QStringList{"--bind"} << "needs a value";
        QTest::newRow("bad port") << QStringList{"--port", "70000"} << "bad port";
        QTest::newRow("bad panel") << QStringList{"--panel", "3x1"} << "bad panel type";
        QTest::newRow("bad firmware") << QStringList{"--firmware", "1.2"} << "bad firmware version";
        QTest::newRow("bad work mode") << QStringList{"--work-mode", "x"} << "bad work mode";
        QTest::newRow("foreign partner") << QStringList{"--partner", "10.0.0.5"} << "loopback";
        QTest::newRow("same partner twice")
            << QStringList{"--partner", "127.0.233.2", "--partner", "127.0.233.2:silent"} << "given twice";
        QTest::newRow("five partners")
            << QStringList{"--partner", "127.0.233.2", "--partner", "127.0.233.3", "--partner", "127.0.233.4",
                           "--partner", "127.0.233.5", "--partner", "127.0.233.6"} << "at most 4";
        QTest::newRow("unknown option") << QStringList{"--colour"} << "unknown option";
        QTest::newRow("value on a flag") << QStringList{"--lively=yes"} << "takes no value";
        // clang-format on
    }

    void badOptions()
    {
        QFETCH(QStringList, arguments);
        QFETCH(QString, message);
        QProcess p;
        p.start(QStringLiteral(DIVEVOD_SIM_PROGRAM), arguments);
        QVERIFY(p.waitForFinished(5000));
        QCOMPARE(p.exitStatus(), QProcess::NormalExit);
        QCOMPARE(p.exitCode(), 2);
        const QString error = QString::fromLocal8Bit(p.readAllStandardError());
        QVERIFY2(error.contains(message), qPrintable(error));
        QVERIFY(p.readAllStandardOutput().isEmpty());
    }

    void startOptions()
    {
        QVERIFY(launch({ "--panel", "4x1", "--firmware", "1.2.30", "--work-mode", "2", "--admin-password", "222222",
                         "--guest-password", "333333", "--partner", PartnerA, "--partner", PartnerB + ":silent",
                         "--lively" }));
        QVERIFY(waitForOutput(QStringLiteral("partner 127.0.233.2:33903 answering (main remote device)")));
        QVERIFY(waitForOutput(QStringLiteral("partner 127.0.233.3:33903 silent (slave 1)")));
        QVERIFY(waitForOutput(QStringLiteral("divevod-sim: lively")));

        QCOMPARE(errorOf(client->call(2, 0, authPayload("admin", "123456"))), 12u);
        QVERIFY(client->login("guest", "333333") != 0);
        const quint32 id = client->login("admin", "222222");
        QVERIFY(id != 0);
        QCOMPARE(payloadOf(client->call(62, id)).toHex(), QByteArray("000101"));
        QCOMPARE(payloadOf(client->call(23, id)).mid(8).toHex(), QByteArray("0102001e"));
        QCOMPARE(payloadOf(client->call(3, id)).toHex(), QByteArray("0200"));
        // First partner is the main remote device, the next is slave 1; both with admin password 123456.
        QCOMPARE(payloadOf(client->call(65, id)).toHex(), QByteArray("7f00e90206313233343536"));
        QCOMPARE(payloadOf(client->call(70, id)).toHex(), QByteArray("7f00e90306313233343536"
                                                             "0000000000"
                                                             "0000000000"));
        QVERIFY(hello(PartnerA));
        QVERIFY(!hello(PartnerB, 300));

        QVERIFY(command(QStringLiteral("quit"), QStringLiteral("ok bye")));
        QVERIFY(finishedCleanly());
    }

    void setFields_data()
    {
        QTest::addColumn<QString>("commands"); // separated by ";"
        QTest::addColumn<int>("type"); // the request that reads them back
        QTest::addColumn<int>("offset"); // into its answer payload
        QTest::addColumn<QByteArray>("expected");
        // clang-format off
        QTest::newRow("keys") << "set keyLock 1;set autoMode off;set panelType others" << 62 << 0 << QByteArray("010002");
        QTest::newRow("status") << "set ps2Led 0;set localLed 2;set remoteLed 2;set panelType 4x1;set green 0x3f;"
                                   "set red 3;set keyMask 0x20;set ipReset 1;set upgrade 1;set remCtrl 1"
                                << 63 << 0 << QByteArray("01000202013f0320010101");
        QTest::newRow("phase align") << "set phaseAlign 2" << 71 << 0 << QByteArray("02");
        QTest::newRow("versions") << "set pcb 9;set firmware 2.0.7" << 23 << 0 << QByteArray("000000090000000002000007");
        QTest::newRow("work mode") << "set workMode 2" << 3 << 0 << QByteArray("0200");
        QTest::newRow("product") << "set productCode 7;set serial QX00000001-00000002" << 5 << 0
                                 << QByteArray("000000075158000000010002");
        QTest::newRow("network") << "set address 127.0.0.9;set subnetMask 255.0.0.0;set gateway 127.0.0.1;"
                                    "set isDefault 1" << 26 << 0 << QByteArray("7f000009ff0000007f00000101");
        QTest::newRow("remote device") << "set remoteAddress 10.1.2.3;set remotePassword abc" << 65 << 0
                                       << QByteArray("0a01020303616263");
        QTest::newRow("slave 2") << "set slave2Address 127.0.233.9;set slave2Password 12" << 70 << 5
                                 << QByteArray("7f00e909023132");
        // clang-format on
    }

    void setFields()
    {
        QFETCH(QString, commands);
        QFETCH(int, type);
        QFETCH(int, offset);
        QFETCH(QByteArray, expected);
        QVERIFY(launch());
        for (const QString& line : commands.split(QLatin1Char(';')))
            QVERIFY2(command(line, QStringLiteral("ok ")), qPrintable(line + QLatin1String(": ") + output));
        const quint32 id = client->login();
        QCOMPARE(payloadOf(client->call(quint16(type), id)).mid(offset, expected.size() / 2).toHex(), expected);
    }

    void runtimeCommands_data()
    {
        QTest::addColumn<QString>("on");
        QTest::addColumn<QString>("off");
        QTest::addColumn<QString>("target"); // "device" or a partner address
        QTest::addColumn<int>("type");
        QTest::addColumn<QString>("outcome"); // "none", "error N" or the answer payload in hex
        // clang-format off
        QTest::newRow("silent") << "silent" << "answer" << "device" << 1 << "none";
        QTest::newRow("update mode") << "update on" << "update off" << "device" << 3 << "0000";
        QTest::newRow("forget") << "forget" << "" << "device" << 71 << "error 13";
        QTest::newRow("forget every") << "forget every 1" << "forget every 0" << "device" << 71 << "error 13";
        QTest::newRow("fault to one type") << "fault error 1 5 type 71" << "fault none" << "device" << 71 << "error 5";
        QTest::newRow("fault to another type") << "fault error 1 5 type 23" << "fault none" << "device" << 71 << "01";
        QTest::newRow("late") << "fault late 1 2000" << "fault none" << "device" << 1 << "none";
        QTest::newRow("delay") << "delay 2000" << "delay 0" << "device" << 1 << "none";
        QTest::newRow("drop") << "drop 100" << "drop 0" << "device" << 1 << "none";
        QTest::newRow("flap") << "flap 60000 10" << "flap off" << "device" << 1 << "none";
        QTest::newRow("partner off") << "partner 127.0.233.2 off" << "partner 127.0.233.2 on" << PartnerA << 1 << "none";
        QTest::newRow("partner flap") << "partner 127.0.233.2 flap 60000 10" << "partner 127.0.233.2 flap off"
                                      << PartnerA << 1 << "none";
        // clang-format on
    }

    void runtimeCommands()
    {
        QFETCH(QString, on);
        QFETCH(QString, off);
        QFETCH(QString, target);
        QFETCH(int, type);
        QFETCH(QString, outcome);
        if (!process || process->state() != QProcess::Running)
            QVERIFY(launch({ "--partner", PartnerA }));
        const quint32 id = client->login();
        QVERIFY(id != 0);
        QVERIFY2(command(on, QStringLiteral("ok ")), qPrintable(output));
        QString got;
        if (target == QLatin1String("device")) {
            bool answered = false;
            const QByteArray answer = client->call(quint16(type), id, {}, &answered, 500);
            got = !answered ? QStringLiteral("none")
                : errorOf(answer) != 0 ? QStringLiteral("error %1").arg(errorOf(answer))
                                       : QString::fromLatin1(payloadOf(answer).toHex());
        } else {
            got = hello(target, 500) ? QStringLiteral("answered") : QStringLiteral("none");
        }
        QCOMPARE(got, outcome);
        if (!off.isEmpty())
            QVERIFY2(command(off, QStringLiteral("ok ")), qPrintable(output));
        bool answered = false;
        client->call(1, 0, {}, &answered);
        QVERIFY(answered);
    }

    void commandReplies_data()
    {
        QTest::addColumn<QString>("line");
        QTest::addColumn<QString>("reply");
        // clang-format off
        QTest::newRow("bad value") << "set keyLock maybe" << "error: bad value for keyLock";
        QTest::newRow("unknown field") << "set nonsense 1" << "error: unknown field nonsense";
        QTest::newRow("unknown command") << "frobnicate" << "error: unknown command frobnicate";
        QTest::newRow("unknown fault") << "fault bogus" << "error: fault NAME";
        QTest::newRow("fault type") << "fault error 1 13 type 23" << "ok fault error on the next 1 answers to type 23";
        QTest::newRow("drop too much") << "drop 101" << "error: drop PERCENT";
        QTest::newRow("no such partner") << "partner 127.0.233.7 on" << "error: no partner 127.0.233.7";
        QTest::newRow("received") << "received 2" << "frames received";
        QTest::newRow("show") << "show" << "faults fault none";
        QTest::newRow("help") << "help" << "quit";
        // clang-format on
    }

    void commandReplies()
    {
        QFETCH(QString, line);
        QFETCH(QString, reply);
        if (!process || process->state() != QProcess::Running)
            QVERIFY(launch({ "--partner", PartnerA }));
        QVERIFY2(command(line, reply), qPrintable(output));
    }

    void livelyCommand()
    {
        QVERIFY(launch());
        const quint32 id = client->login();
        const QByteArray first = payloadOf(client->call(63, id));
        QCOMPARE(first.size(), 11);
        QVERIFY(command(QStringLiteral("lively on 20"), QStringLiteral("ok lively on every 20 ms")));
        QElapsedTimer timer;
        timer.start();
        bool changed = false;
        while (!changed && timer.elapsed() < 3000) {
            changed = payloadOf(client->call(63, id)) != first;
            QTest::qSleep(20);
        }
        QVERIFY(changed);
        QVERIFY(command(QStringLiteral("lively off"), QStringLiteral("ok lively off")));
        QTest::qSleep(50);
        const QByteArray settled = payloadOf(client->call(63, id));
        QTest::qSleep(100);
        QCOMPARE(payloadOf(client->call(63, id)), settled);
    }

    void endOfInputEnds()
    {
        QVERIFY(launch());
        // The last command needs no newline: end of input still runs it, then the program ends.
        process->write("set keyLock 1");
        process->closeWriteChannel();
        QVERIFY(waitForOutput(QStringLiteral("ok keyLock=1")));
        QVERIFY(finishedCleanly());
    }

    void noStdinRunsUntilSignalled_data()
    {
        QTest::addColumn<int>("signal");
        QTest::newRow("SIGTERM") << int(SIGTERM);
        QTest::newRow("SIGINT") << int(SIGINT);
    }

    void noStdinRunsUntilSignalled()
    {
        QFETCH(int, signal);
        QVERIFY(launch({ "--no-stdin", "--partner", PartnerA }));
        process->closeWriteChannel();
        QVERIFY(!process->waitForFinished(500));
        bool answered = false;
        client->call(1, 0, {}, &answered);
        QVERIFY(answered);
        QVERIFY(hello(PartnerA));
        QCOMPARE(::kill(pid_t(process->processId()), signal), 0);
        QVERIFY(finishedCleanly());
        output += QString::fromLocal8Bit(process->readAllStandardOutput());
        QVERIFY(output.contains(QStringLiteral("signal received")));
    }

    void portInUse()
    {
        QVERIFY(launch());
        QProcess second;
        second.start(QStringLiteral(DIVEVOD_SIM_PROGRAM),
                     { "--bind", DeviceAddress, "--port", QString::number(port), "--no-stdin" });
        QVERIFY(second.waitForFinished(5000));
        QCOMPARE(second.exitCode(), 1);
        QVERIFY(QString::fromLocal8Bit(second.readAllStandardError()).contains(QStringLiteral("cannot answer on")));
    }
};

QTEST_GUILESS_MAIN(tst_SimCli)
#include "tst_SimCli.moc"
