// The main window without a device: settings, layout, language, the alarm rows, the CSV files and where
// they go, and the crash-safe journal.
#include "WindowFixture.h"

#include <QBuffer>
#include <QCheckBox>
#include <QElapsedTimer>
#include <QFileDialog>
#include <QLayout>
#include <QMenuBar>
#include <QStandardPaths>
#include <QTimeEdit>

namespace {
const QByteArray kHead = "Module Type,\nProduct SN,\nFirmware Verison,\nIP Address,\n \n \n"
                         "Number,Time,Input,Alarm Type,Alarm Status,Notes\n";
const QDateTime kMorning(QDate(2026, 3, 1), QTime(8, 0, 0));

QString texts(const QVector<AlarmRecord>& records)
{
    QStringList out;
    for (const AlarmRecord& r : records)
        out << QStringList{r.input, r.alarmType, r.alarmStatus, r.notes}.join(QLatin1Char('|'));
    return out.join(QLatin1Char(';'));
}

// The simulator's default 2x1 device: supplies on, local green, remote off, IN 1 of both groups green
// with its key on, auto mode on.
AcoGpioInfo healthy2x1()
{
    AcoGpioInfo info;
    info.ps1Led = info.ps2Led = info.autoMode = true;
    info.remoteLed = 1;
    info.gpioGreenMask = info.keyMask = 0x09;
    return info;
}

// Counts the writes and fails write number `failing` (from 0) only.
struct FailingDevice : QIODevice
{
    int failing, writes = 0;
    explicit FailingDevice(int failingWrite = -1)
        : failing(failingWrite)
    {
        open(QIODevice::WriteOnly);
    }
    qint64 readData(char*, qint64) override { return -1; }
    qint64 writeData(const char*, qint64 size) override { return writes++ == failing ? -1 : size; }
};

QByteArray readAll(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<missing>");
}
} // namespace

class TestWindow : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { TestSupport::isolateSettings(); }
    void init() { TestSupport::clearSettings(); }
    void cleanup() { QTRY_VERIFY(!QApplication::activeModalWidget()); }

    void autoSaveSettings_data()
    {
        QTest::addColumn<QString>("enable"); // stored before the start; empty: absent
        QTest::addColumn<QString>("time");
        QTest::addColumn<bool>("checked");
        QTest::newRow("first start") << "" << "" << true;
        QTest::newRow("stored") << "false" << "17:45:30" << false;
        QTest::newRow("capital T") << "True" << "" << false;
    }
    void autoSaveSettings()
    {
        QFETCH(QString, enable);
        QFETCH(QString, time);
        QFETCH(bool, checked);
        if (!enable.isEmpty())
            setSetting("AutoSaveEnable", enable);
        if (!time.isEmpty())
            setSetting("AutoSaveTime", time);
        WindowFixture f;
        auto* box = f.child<QCheckBox>("checkBoxAutoSave");
        auto* edit = f.child<QTimeEdit>("timeEdit");
        QCOMPARE(box->isChecked(), checked);
        QCOMPARE(edit->isEnabled(), checked);
        // Loading writes back only what was absent; the controls write the store.
        QCOMPARE(setting("AutoSaveEnable"), enable.isEmpty() ? QStringLiteral("true") : enable);
        QCOMPARE(setting("AutoSaveTime"), time.isEmpty() ? QStringLiteral("08:00:00") : time);
        QCOMPARE(edit->time().toString(), setting("AutoSaveTime"));
        box->setChecked(!checked);
        QCOMPARE(setting("AutoSaveEnable"), QString(checked ? "false" : "true"));
        QCOMPARE(edit->isEnabled(), !checked);
        edit->setTime(QTime(21, 5, 9));
        QCOMPARE(setting("AutoSaveTime"), QStringLiteral("21:05:09"));
    }

    void startingPanel_data()
    {
        QTest::addColumn<QVariant>("stored");
        QTest::addColumn<bool>("show4x1");
        QTest::newRow("absent") << QVariant() << false;
        QTest::newRow("1") << QVariant(1) << true;
        QTest::newRow("7") << QVariant(7) << true;
    }
    void startingPanel()
    {
        QFETCH(QVariant, stored);
        QFETCH(bool, show4x1);
        if (stored.isValid())
            setSetting("DeviceType", stored);
        WindowFixture f;
        f.window->show();
        QVERIFY(f.action("actionConnect")->isEnabled() && !f.action("actionDisconnect")->isEnabled());
        QVERIFY(f.table()->alternatingRowColors());
        // A record queued before a disconnect changes nothing.
        AcoGpioInfo info = healthy2x1();
        info.panelType = show4x1 ? 0 : 1;
        QMetaObject::invokeMethod(f.window.get(), "OnRecvStatusInfo", Q_ARG(AcoGpioInfo, info));
        QCOMPARE(f.table()->rowCount(), 0);
        QCOMPARE(f.window->findChild<GPIOStatus4x1*>()->isVisible(), show4x1);
        QCOMPARE(f.window->findChild<GPIOStatus2x1*>()->isVisible(), !show4x1);
    }

    void collapseKeepsThePanel()
    {
        WindowFixture f;
        f.window->show();
        QVERIFY(QTest::qWaitForWindowExposed(f.window.get()));
        QWidget* panel = f.window->findChild<GPIOStatus2x1*>();
        const QSize panelSize = panel->size();
        f.click("toolButton");
        // The window shrinks to the panel area, keeping its width and the whole panel.
        QTRY_VERIFY(f.window->height() < 400 && !f.child("widget_2")->isVisible());
        QVERIFY(f.window->centralWidget()->width() >= 1149 && panel->width() >= panelSize.width());
        QCOMPARE(panel->height(), panelSize.height());
        f.click("toolButton");
        QCOMPARE(f.window->layout()->sizeConstraint(), QLayout::SetMinAndMaxSize);
        QTRY_VERIFY(f.child("widget_2")->height() >= 550 && f.child("widget_2")->minimumHeight() == 0);
    }

    void loginOffersTheStoredAddress()
    {
        // Only looked at and cancelled: nothing is ever sent to the default address.
        for (const QString& stored : {QString(), QStringLiteral("127.0.171.9")}) {
            setSetting("IP", stored);
            WindowFixture f;
            QString offered;
            TestSupport::onNextModal([&](QWidget* dialog) {
                offered = dialog->findChild<QLineEdit*>(QStringLiteral("lineEditIP"))->text();
                qobject_cast<QDialog*>(dialog)->reject();
            });
            f.action("actionConnect")->trigger();
            QCOMPARE(offered, stored.isEmpty() ? QStringLiteral("192.168.1.100") : stored);
            QVERIFY(!f.loggedIn());
        }
    }

    void languageCommand()
    {
        WindowFixture f;
        f.window->move(100, 50);
        f.window->show();
        QVERIFY(QTest::qWaitForWindowExposed(f.window.get()));
        const QPoint centred(f.window->x() + (f.window->width() - f.language.width()) / 2,
                             f.window->y() + (f.window->height() - f.language.height()) / 2);
        QPoint at;
        const auto choose = [&](const char* button) {
            TestSupport::onNextModal([&at, button](QWidget* dialog) {
                at = dialog->pos();
                dialog->findChild<QComboBox*>(QStringLiteral("comboBox"))->setCurrentIndex(1);
                QTest::mouseClick(dialog->findChild<QPushButton*>(QLatin1String(button)), Qt::LeftButton);
            });
            f.action("actionConfigure")->trigger();
            return f.window->menuBar()->actions().first()->text();
        };
        QCOMPARE(choose("pushButtonCancel"), QStringLiteral("Device"));
        QCOMPARE(at, centred);
        QVERIFY(setting("Language").isEmpty());
        QCOMPARE(choose("pushButtonOk"), QString::fromUtf8("设备"));
        QCOMPARE(f.table()->horizontalHeaderItem(0)->text(), QString::fromUtf8("序号"));
        QCOMPARE(f.child<QPushButton>("pushButtonClear")->text(), QString::fromUtf8("清除"));
        f.language.SetLanguage(0);
        TestSupport::onNextModal([&at](QWidget* about) { at = QPoint(-1, -1), qobject_cast<QDialog*>(about)->reject(); });
        f.action("actionAbout")->trigger();
        QCOMPARE(at, QPoint(-1, -1));
    }

    void changes_data()
    {
        QTest::addColumn<AcoGpioInfo>("next");
        QTest::addColumn<QString>("expected");
        const AcoGpioInfo base = healthy2x1();
        AcoGpioInfo i;
        // clang-format off
        QTest::newRow("unchanged") << base << "";
        i = base; i.phaseAlign = 2; i.ipReset = i.upgrade = i.remCtrl = true;
        QTest::newRow("uncompared fields") << i << "";
        i = base; i.gpioRedMask = 0x04;
        QTest::newRow("bypass red") << i << "Group A|LED-BYPASS|Red|";
        i = base; i.gpioRedMask = 0x01;
        QTest::newRow("green and red") << i << "Group A|LED-IN 1|Green Red Flashing|";
        i = base; i.gpioGreenMask = 0x08 | 0x40;
        QTest::newRow("bit 6 ignored") << i << "Group A|LED-IN 1|Off|";
        i = base; i.keyMask = 0x01; i.remoteKeyMask = 0x08;
        QTest::newRow("key pressed here") << i << "Group B|REM KEY-IN 1|Disabled|";
        i = base; i.keyMask = 0x01;
        QTest::newRow("key at the device") << i << "Group B|KEY-IN 1|Disabled|";
        i = base; i.keyMask = 0x0f; i.remoteKeyMask = 0x06;
        QTest::newRow("two keys, mask not one bit") << i << "Group A|KEY-IN 2|Enabled|;Group A|KEY-BYPASS|Enabled|";
        i = base; i.localLed = 2; i.remoteLed = 0; i.ps1Led = false;
        QTest::newRow("leds") << i << "|LED-PS1|Off|;|LED-Local|Green Flashing|;|LED-Remote|Green|";
        i = base; i.ps2Led = false; i.keyLock = true; i.autoMode = false;
        QTest::newRow("ps2, lock, auto") << i << "|LED-PS2|Off|;|KEY-LOCK|Enabled|;|KEY-AUTO MODE|Disabled|";
        i = base; i.panelType = 1; i.gpioGreenMask = 0x11;
        QTest::newRow("panel 0 to 1") << i << "|LED-D2X1|Off|;|LED-4X1|Green|;Group A|LED-IN 4|Off|;Group A|LED-|Green|";
        i = base; i.panelType = 5; i.gpioRedMask = 0x20;
        QTest::newRow("other panel") << i << "|LED-D2X1|Off|;|LED-Others|Green|;Group A|LED-BYPASS|Red|";
        // clang-format on
    }
    void changes()
    {
        QFETCH(AcoGpioInfo, next);
        QFETCH(QString, expected);
        QCOMPARE(texts(DiveVod::ChangedEntries(healthy2x1(), next, QDateTime())), expected);
        QVERIFY(DiveVod::GroupName(6, 0).isEmpty() && DiveVod::AlarmTypeName(-1, "LED", 0).isEmpty());
    }

    void fullState_data()
    {
        QTest::addColumn<int>("panelType");
        QTest::addColumn<QString>("expected");
        QTest::newRow("2x1") << 0
                             << "|LED-PS1|Green|;|LED-PS2|Green|;|LED-Local|Green|;|LED-Remote|Off|;|LED-D2X1|Green|;"
                                "Group A|LED-IN 1|Green|;Group A|LED-IN 2|Off|;Group A|LED-BYPASS|Off|;"
                                "Group B|LED-IN 1|Green|;Group B|LED-IN 2|Off|;Group B|LED-BYPASS|Off|;"
                                "Group A|KEY-IN 1|Enabled|;Group A|KEY-IN 2|Disabled|;Group A|KEY-BYPASS|Disabled|;"
                                "Group B|KEY-IN 1|Enabled|;Group B|KEY-IN 2|Disabled|;Group B|KEY-BYPASS|Disabled|;"
                                "|KEY-LOCK|Disabled|;|KEY-AUTO MODE|Enabled|";
        QTest::newRow("4x1") << 1
                             << "|LED-PS1|Green|;|LED-PS2|Green|;|LED-Local|Green|;|LED-Remote|Off|;|LED-4X1|Green|;"
                                "Group A|LED-IN 1|Green|;Group A|LED-IN 2|Off|;Group A|LED-IN 3|Off|;"
                                "Group A|LED-IN 4|Green|;Group A|LED-BYPASS|Off|;Group A|KEY-IN 1|Enabled|;"
                                "Group A|KEY-IN 2|Disabled|;Group A|KEY-IN 3|Disabled|;Group A|KEY-IN 4|Enabled|;"
                                "Group A|KEY-BYPASS|Disabled|;|KEY-LOCK|Disabled|;|KEY-AUTO MODE|Enabled|";
    }
    void fullState()
    {
        QFETCH(int, panelType);
        QFETCH(QString, expected);
        AcoGpioInfo info = healthy2x1();
        info.panelType = panelType;
        QCOMPARE(texts(DiveVod::FullStateEntries(info, QDateTime())), expected);
        info.panelType = 2; // an unknown type lists all six channels
        QCOMPARE(DiveVod::FullStateEntries(info, QDateTime()).size(), 19);
    }

    void rowsAreNumberedAndClearStartsAtOne()
    {
        WindowFixture f;
        const QDateTime t(QDate(2026, 3, 1), QTime(17, 42, 5));
        f.window->AppendAlarmRow({t, "Group A", "LED-IN 1", "Red", "a note"});
        f.window->AppendAlarmRow({t, "", "KEY-LOCK", "Enabled", ""});
        QCOMPARE(f.table()->item(1, 0)->text() + f.table()->item(0, 1)->text(), QStringLiteral("22026-03-01 17:42:05"));
        QCOMPARE(f.rows(), (QStringList{"Group A|LED-IN 1|Red|a note", "|KEY-LOCK|Enabled|"}));
        QCOMPARE(f.table()->item(0, 5)->flags(), Qt::ItemIsSelectable | Qt::ItemIsEnabled);
        f.click("pushButtonClear");
        QCOMPARE(f.journalRows(), 0);
        f.window->AppendAlarmRow({t, "", "KEY-LOCK", "Disabled", ""});
        QCOMPARE(f.table()->item(0, 0)->text(), QStringLiteral("1"));
        QCOMPARE(f.journalRows(), 1);
        f.table()->setRowCount(100000); // clearing stays quick however long the table is
        QElapsedTimer clock;
        clock.start();
        f.click("pushButtonClear");
        QVERIFY2(f.table()->rowCount() == 0 && clock.elapsed() < 500, qPrintable(QString::number(clock.elapsed())));
    }

    void csvBytes_data()
    {
        QTest::addColumn<QStringList>("notes");
        QTest::addColumn<QByteArray>("body");
        QTest::newRow("empty table") << QStringList() << QByteArray("1,2026-03-01 08:00:00,,,,Everything works fine\n");
        QTest::newRow("comma in a note") << QStringList{"one, two"}
                                         << QByteArray("1,2026-03-01 08:00:00,Group A,LED-IN 1,Red,one, two\n");
        QTest::newRow("beyond Latin-1") << QStringList{QString::fromUtf8("caf\u00e9 \u8b66\u544a"), ""}
                                        << QByteArray("1,2026-03-01 08:00:00,Group A,LED-IN 1,Red,caf\xe9 ??\n"
                                                      "2,2026-03-01 08:00:00,Group A,LED-IN 1,Red,\n");
    }
    void csvBytes()
    {
        QFETCH(QStringList, notes);
        QFETCH(QByteArray, body);
        FixedClock clock(kMorning);
        WindowFixture f;
        for (const QString& n : notes)
            f.addRow(n);
        QBuffer buffer;
        buffer.open(QIODevice::WriteOnly | QIODevice::Text);
        QVERIFY(f.window->WriteLog(buffer));
        QCOMPARE(buffer.data(), kHead + body);
        QVERIFY(f.window->WriteLogFile(f.logs.filePath("x.csv")));
        QCOMPARE(f.logFile("x.csv"), buffer.data());
    }

    void everyWriteFailureIsReported()
    {
        WindowFixture f;
        // Rows enough for several writes: a failure in the first, a middle and the last one must each count.
        for (int i = 0; i < 300; ++i)
            f.addRow(QString(500, QLatin1Char('n')));
        FailingDevice whole;
        QVERIFY(f.window->WriteLog(whole));
        QVERIFY2(whole.writes >= 3, qPrintable(QString::number(whole.writes)));
        for (int failing = 0; failing < whole.writes; ++failing) {
            FailingDevice device(failing);
            QVERIFY2(!f.window->WriteLog(device), qPrintable(QString::number(failing)));
        }
        QVERIFY(!f.window->WriteLogFile(QString()));
        QVERIFY(!f.window->WriteLogFile(QStringLiteral("/dev/full"))); // fails at a chunk or at the flush
    }

    void dailySaveOncePerDay()
    {
        FixedClock clock(kMorning.addSecs(-1));
        WindowFixture f;
        f.child<QTimeEdit>("timeEdit")->setTime(QTime(8, 0, 30));
        const auto tickAt = [&](const QDateTime& t) {
            clock.now = t;
            QMetaObject::invokeMethod(f.window.get(), "OnAutoSaveTimer");
        };
        f.addRow("first");
        tickAt(clock.now);
        QVERIFY(f.logFiles().isEmpty());
        tickAt(kMorning);
        QCOMPARE(f.logFiles(), QStringList{"2026-03-01_08-00-30.csv"});
        QVERIFY(f.logFile("2026-03-01_08-00-30.csv").endsWith("Red,first\n"));
        QCOMPARE(f.table()->rowCount() + f.journalRows(), 0);
        f.addRow("second");
        tickAt(kMorning.addSecs(59));
        tickAt(kMorning.addSecs(60));
        QVERIFY(f.logFiles().size() == 1 && f.table()->rowCount() == 1);
        tickAt(kMorning.addDays(1).addSecs(1));
        QCOMPARE(f.logFiles(), (QStringList{"2026-03-01_08-00-30.csv", "2026-03-02_08-00-30.csv"}));
        QVERIFY(f.logFile("2026-03-02_08-00-30.csv").contains("1,2026-03-01 08:00:00,Group A,LED-IN 1,Red,second\n"));
        f.child<QCheckBox>("checkBoxAutoSave")->setChecked(false);
        tickAt(kMorning.addDays(2));
        QCOMPARE(f.logFiles().size(), 2);
    }

    void backupsOfOneMinuteAreAllKept()
    {
        FixedClock clock(QDateTime(QDate(2026, 3, 1), QTime(17, 42, 1)));
        WindowFixture f;
        for (const char* note : {"one", "two", "three"}) {
            f.addRow(note);
            f.window->BackupLog();
            QCOMPARE(f.table()->rowCount() + f.journalRows(), 0);
        }
        QCOMPARE(f.logFiles(), (QStringList{"backup_2026-03-01_17-42.csv", "backup_2026-03-01_17-42_2.csv",
                                            "backup_2026-03-01_17-42_3.csv"}));
        QVERIFY(f.logFile("backup_2026-03-01_17-42.csv").endsWith(",one\n"));
        QVERIFY(f.logFile("backup_2026-03-01_17-42_2.csv").endsWith(",two\n"));
        f.addRow("x");
        f.window->show();
        f.window->close(); // not logged in: nothing written
        QCOMPARE(f.logFiles().size(), 3);
    }

    void unwritableLogsKeepEveryRow()
    {
        FixedClock clock(kMorning);
        WindowFixture f;
        f.addRow("kept");
        QFile(f.logs.filePath("blocker")).open(QIODevice::WriteOnly);
        const QString badDir = f.logs.filePath("blocker/logs"); // below a plain file: not even root writes there
        f.window->SetLogsDirectory(badDir);
        f.window->BackupLog();
        QMetaObject::invokeMethod(f.window.get(), "OnAutoSaveTimer");
        QCOMPARE(f.rows(), QStringList{"Group A|LED-IN 1|Red|kept"});
        const QString message = f.window->statusBar()->currentMessage();
        QVERIFY2(message.startsWith("The log file could not be written: " + badDir + "/"), qPrintable(message));
        f.window->SetLogsDirectory(f.logs.path());
        QCOMPARE(f.journalRows(), 1);
        f.window->BackupLog();
        QCOMPARE(f.table()->rowCount(), 0);
        QVERIFY(f.logFile("backup_2026-03-01_08-00.csv").endsWith(",kept\n"));
        QVERIFY(f.window->statusBar()->currentMessage().isEmpty());
    }

    void saveAsWritesTheChosenFileAndKeepsRows()
    {
        WindowFixture f;
        f.addRow("mine");
        QString proposed;
        TestSupport::onNextModal([&proposed](QWidget* w) {
            proposed = qobject_cast<QFileDialog*>(w)->selectedFiles().value(0);
            qobject_cast<QFileDialog*>(w)->reject();
        });
        f.click("pushButtonSaveAs");
        QVERIFY2(proposed.endsWith("/mylog.csv") && f.logFiles().isEmpty(), qPrintable(proposed));
        TestSupport::onNextModal([](QWidget* w) { QMetaObject::invokeMethod(w, "accept"); });
        f.click("pushButtonSaveAs");
        QVERIFY(f.logFile("mylog.csv").endsWith(",mine\n"));
        QCOMPARE(f.table()->rowCount(), 1);
    }

    void logsDirectory()
    {
        // Beside the program where it can be made, otherwise in the user's data directory.
        QTemporaryDir temp;
        QVERIFY(QDir().mkpath(temp.filePath("own/bin")));
        QCOMPARE(QDir::cleanPath(DiveVod::DefaultLogsDirectory(temp.filePath("own/bin"))), temp.filePath("own/logs"));
        QVERIFY(QFileInfo(temp.filePath("own/logs")).isDir());
        QFile(temp.filePath("file")).open(QIODevice::WriteOnly);
        QCOMPARE(DiveVod::DefaultLogsDirectory(temp.filePath("file/bin")),
                 QStandardPaths::writableLocation(QStandardPaths::AppDataLocation) + "/logs");

        // The status bar names any other directory; every missing level is made on the first save.
        LanguageConfig language(nullptr);
        DiveVod window(&language);
        const auto note = [&window] { return window.statusBar()->findChild<QLabel*>("labelLogsDirectory"); };
        QVERIFY(!note()); // the test program's own "../logs" is writable
        const QString logs = temp.filePath("share/Brennhart/DiveVod/logs");
        window.SetLogsDirectory(logs);
        window.statusBar()->showMessage(QStringLiteral("saved"));
        window.statusBar()->clearMessage();
        QVERIFY(note() && !note()->isHidden());
        QCOMPARE(note()->text(), "CSV files go to " + QDir::toNativeSeparators(logs));
        window.BackupLog();
        QCOMPARE(QDir(logs).entryList({"backup_*.csv"}, QDir::Files).size(), 1);
        window.SetLogsDirectory(QString());
        QVERIFY(!note());
    }

    void journalLeftByAKillIsRecovered()
    {
        FixedClock clock(QDateTime(QDate(2026, 3, 1), QTime(9, 15, 0)));
        QTemporaryDir crashed;
        const QString journal = crashed.filePath(AlarmJournal::kFileName);
        {
            WindowFixture killed;
            killed.window->SetLogsDirectory(crashed.path());
            killed.addRow("Green, with a comma\nand a line end");
            killed.addRow(QString::fromUtf8("Gr\xc3\xbcn \xe7\xbb\xbf"));
            QVERIFY(killed.window->WriteLogFile(crashed.filePath("saved")));
        } // closed without a save, as a kill leaves it
        QFile cut(journal); // a write cut short in the middle of a row
        QVERIFY(cut.open(QIODevice::Append) && cut.write("R,3,2026-03-01%2009%3A14%3A03,Gro") > 0);
        cut.close();

        WindowFixture f;
        f.window->SetLogsDirectory(crashed.path());
        DiveVod other(&f.language); // a second instance leaves the live journal alone
        other.SetLogsDirectory(crashed.path());
        const QString recovered = crashed.filePath("recovered_2026-03-01_09-15.csv");
        QCOMPARE(f.window->OpenAlarmJournal(), recovered);
        QVERIFY(other.OpenAlarmJournal().isEmpty());
        QCOMPARE(readAll(recovered), readAll(crashed.filePath("saved")));
        QCOMPARE(f.window->statusBar()->currentMessage(),
                 "Alarm rows of an unfinished session were recovered into " + QDir::toNativeSeparators(recovered));
        // Emptied once recovered; a later recovery never replaces an earlier file.
        QCOMPARE(AlarmJournal::Read(journal).rows.size(), 0);
        f.addRow("next");
        f.window->SetLogsDirectory(f.logs.path());
        QCOMPARE(f.window->OpenAlarmJournal(), QString());
        AlarmJournal again;
        QCOMPARE(again.Open(crashed.path(), clock.now), crashed.filePath("recovered_2026-03-01_09-15_2.csv"));
        QVERIFY(readAll(recovered).contains(",Green, with a comma\nand a line end\n"));
    }
};

QTEST_MAIN(TestWindow)
#include "tst_window.moc"
