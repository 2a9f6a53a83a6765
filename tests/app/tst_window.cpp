// The main window without a device: stored settings, the alarm rows, the CSV files and where
// they go, and the crash-safe journal.
#include "WindowFixture.h"

#include <QBuffer>
#include <QCheckBox>
#include <QElapsedTimer>
#include <QFileDialog>
#include <QStandardPaths>
#include <QTimeEdit>
#include <QClipboard>
#include <QDesktopServices>
#include <QScrollBar>

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
    explicit FailingDevice(int failingWrite = -1) : failing(failingWrite) { open(QIODevice::WriteOnly); }
    qint64 readData(char*, qint64) override { return -1; }
    qint64 writeData(const char*, qint64 size) override { return writes++ == failing ? -1 : size; }
};
} // namespace

class TestWindow : public QObject
{
    Q_OBJECT

    QList<QUrl> opened;

public slots:
    void openUrl(const QUrl& url) { opened << url; }

private slots:
    void initTestCase() { TestSupport::isolateSettings(); }
    void init() { TestSupport::clearSettings(); }
    void cleanup() { QTRY_VERIFY(!QApplication::activeModalWidget()); }

    void loginOffersTheStoredAddressAndPanel()
    {
        // Only looked at and cancelled: nothing is ever sent to the default address.
        for (const QString& stored : {QString(), QStringLiteral("127.0.171.9")}) {
            setSetting("IP", stored);
            if (!stored.isEmpty())
                setSetting("DeviceType", 1);
            WindowFixture f;
            f.window->show();
            QCOMPARE(f.window->findChild<GPIOStatus4x1*>()->isVisible(), !stored.isEmpty());
            QString offered;
            TestSupport::onNextModal([&](QWidget* d) {
                offered = d->findChild<QLineEdit*>("lineEditIP")->text(), qobject_cast<QDialog*>(d)->reject();
            });
            f.action("actionConnect")->trigger();
            QCOMPARE(offered, stored.isEmpty() ? QStringLiteral("192.168.1.100") : stored);
            QVERIFY(!f.loggedIn());
        }
    }

    // Logged out, each configuration command shows its dialog greyed out without reading: a read would
    // fail and say so instead.
    void commandsAreViewsWhileLoggedOut()
    {
        WindowFixture f;
        f.window->show();
        QStringList shown;
        for (const char* action : {"actionConfigParam", "actionConfigNetwork", "actionGeneral", "actionChangePassword"}) {
            TestSupport::onNextModal([&](QWidget* d) {
                shown << QLatin1String(d->metaObject()->className()) + (d->isEnabled() ? " live" : " view");
                d->close();
            });
            f.action(action)->trigger();
        }
        QCOMPARE(shown, QStringList({"ParamCfg view", "NetworkProperty view", "General view", "ChangePassword view"}));
    }

    // Menus reachable by keyboard in both languages; a laptop screen holds the window; the alarm area comes back
    // at the size it left.
    void keyboardAndScreen()
    {
        for (int chinese : {0, 1}) {
            LanguageConfig language(nullptr, QStringLiteral(DIVEVOD_LANG_DIR));
            language.SetLanguage(chinese);
            DiveVod window(&language);
            window.show();
            QVERIFY(QTest::qWaitForWindowActive(&window));
            const auto distinctMnemonics = [](const QList<QAction*>& actions) {
                QStringList keys;
                for (QAction* action : actions)
                    if (!action->isSeparator())
                        keys << QKeySequence::mnemonic(action->text()).toString();
                const int count = keys.size();
                keys.removeDuplicates();
                return keys.size() == count && !keys.contains(QString());
            };
            QVERIFY(distinctMnemonics(window.menuBar()->actions()));
            for (QAction* title : window.menuBar()->actions())
                QVERIFY2(distinctMnemonics(title->menu()->actions()), qPrintable(title->text()));
            const auto opened = [&window](QKeySequence keys) {
                QTest::keySequence(window.windowHandle(), keys);
                QWidget* popup = QApplication::activePopupWidget();
                const QString name = popup ? popup->objectName() : QString();
                if (popup)
                    popup->close();
                return name;
            };
            QCOMPARE(opened(QKeySequence(Qt::ALT + Qt::Key_D)), QStringLiteral("menuDevice"));
            QCOMPARE(opened(QKeySequence(Qt::ALT + Qt::Key_H)), QStringLiteral("menuHelp"));
            QCOMPARE(opened(QKeySequence(Qt::Key_F10)), QStringLiteral("menuDevice"));
            if (chinese)
                continue;
            // Fits 1280 x 720 less a title bar; the visible panel keeps its whole width.
            const QSize least = window.minimumSizeHint();
            QVERIFY2(least.width() <= 1280 && least.height() <= 720 - 48, qPrintable(QString("%1x%2").arg(least.width()).arg(least.height())));
            QWidget* panel = window.findChild<GPIOStatus2x1*>();
            QVERIFY(panel->minimumSizeHint().width() <= panel->width());
            window.resize(1100, 650);
            QTRY_COMPARE(window.size(), QSize(qMax(1100, least.width()), 650));
            const QSize before = window.size();
            for (int click = 0; click < 2; ++click)
                QTest::mouseClick(window.findChild<QToolButton*>("toolButton"), Qt::LeftButton);
            QCoreApplication::sendPostedEvents();
            QCOMPARE(window.size(), before);
            // Ctrl+Q closes the window the way its close button does.
            QTest::keySequence(window.windowHandle(), QKeySequence(Qt::CTRL + Qt::Key_Q));
            QVERIFY(!window.isVisible());
        }
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
        // Rows in no file yet: "Clear" asks, and the default (No) keeps them.
        QString asked;
        TestSupport::onNextModal([&](QWidget* box) { asked = qobject_cast<QMessageBox*>(box)->text(), QTest::keyClick(box, Qt::Key_Enter); });
        f.click("pushButtonClear");
        QCOMPARE(asked, QStringLiteral("Some rows are not saved in a file yet. Clear them anyway?"));
        QCOMPARE(f.table()->rowCount(), 2);
        TestSupport::onNextModal([](QWidget* b) { qobject_cast<QMessageBox*>(b)->button(QMessageBox::Yes)->click(); });
        f.click("pushButtonClear");
        QCOMPARE(f.journalRows(), 0);
        f.window->AppendAlarmRow({t, "", "KEY-LOCK", "Disabled", ""});
        QCOMPARE(f.table()->item(0, 0)->text(), QStringLiteral("1"));
        QCOMPARE(f.journalRows(), 1);
        // Every row in a file: cleared at once (a question would block here).
        QVERIFY(f.window->WriteLogFile(f.logs.filePath("saved.csv")));
        f.table()->setRowCount(100000); // clearing stays quick however long the table is
        QElapsedTimer clock;
        clock.start();
        f.click("pushButtonClear");
        QVERIFY2(f.table()->rowCount() == 0 && clock.elapsed() < 500, qPrintable(QString::number(clock.elapsed())));
    }

    void newestRowIsInView_data()
    {
        QTest::addColumn<bool>("batch");
        QTest::newRow("single rows") << false;
        QTest::newRow("batches") << true;
    }
    void newestRowIsInView()
    {
        QFETCH(bool, batch);
        WindowFixture f;
        f.window->show();
        QVERIFY(QTest::qWaitForWindowExposed(f.window.get()));
        QTableWidget* table = f.table();
        const auto lastRowShown = [table] {
            const QRect cell = table->visualItemRect(table->item(table->rowCount() - 1, 0));
            return table->viewport()->rect().contains(cell);
        };
        // Well past a full table, checked at once and again once the view has laid itself out.
        for (int i = 0; i < 40; ++i) {
            if (batch)
                f.window->LogFullState(AcoGpioInfo());
            else
                f.addRow(QString::number(i));
            QVERIFY2(lastRowShown(), qPrintable(QString::number(i)));
            QCoreApplication::processEvents();
            QVERIFY2(lastRowShown(), qPrintable(QString::number(i)));
        }
    }

    void viewFollowsOnlyAtTheBottom()
    {
        WindowFixture f;
        f.window->show();
        QScrollBar* bar = f.table()->verticalScrollBar();
        auto* newRows = f.child<QPushButton>("pushButtonNewRows");
        const auto addTwo = [&f] { f.addRow("a"), f.addRow("b"); };
        for (int i = 0; i < 30; ++i)
            addTwo();
        // Scrolled up to read, with a row selected: new rows move neither the view nor the selection.
        bar->setValue(3);
        f.table()->selectRow(5);
        addTwo();
        QVERIFY(bar->value() == 3 && f.table()->selectionModel()->selectedRows().value(0).row() == 5);
        QVERIFY(newRows->isVisible() && newRows->text() == "2 new rows");
        // The button, or scrolling to the bottom by hand, brings the view down to follow again.
        for (const std::function<void()>& down : {std::function<void()>([&] { newRows->click(); }),
                                                  std::function<void()>([&] { bar->setValue(bar->maximum()); })}) {
            down();
            QVERIFY(!newRows->isVisible());
            addTwo();
            QCOMPARE(bar->value(), bar->maximum());
            bar->setValue(0);
            addTwo();
        }
    }

    void rowsAreTintedByMeaning_data()
    {
        QTest::addColumn<QString>("rows"); // "alarm type:status;..." of one input, the last one looked at
        QTest::addColumn<QString>("tint");
        QTest::newRow("red LED") << "LED-IN 1:Red" << "red";
        QTest::newRow("green after red") << "LED-IN 1:Red;LED-IN 1:Green" << "green";
        QTest::newRow("green after off") << "LED-IN 1:Red;LED-IN 1:Off;LED-IN 1:Green" << "none";
        QTest::newRow("green after another red") << "LED-IN 2:Red;LED-IN 1:Green" << "none";
        QTest::newRow("supply off") << "LED-PS1:Off;LED-IN 1:Off" << "none";
        QTest::newRow("supply off, then on") << "LED-PS2:Off;LED-PS2:Green" << "green";
        QTest::newRow("asserted") << "Connection Lost:Asserted" << "red";
        QTest::newRow("partner") << "Remote ACO 127.0.0.9:Lost;Remote ACO 127.0.0.9:Connected" << "green";
    }
    void rowsAreTintedByMeaning()
    {
        QFETCH(QString, rows);
        QFETCH(QString, tint);
        WindowFixture f;
        f.window->show();
        for (const QString& row : rows.split(';'))
            f.window->AppendAlarmRow({AppClock::Now(), "Group A", row.section(':', 0, 0), row.section(':', 1), ""});
        const QRect notes = f.table()->visualItemRect(f.table()->item(f.table()->rowCount() - 1, 5));
        const QColor c = f.table()->viewport()->grab(notes).toImage().pixelColor(notes.width() / 2, notes.height() / 2);
        QCOMPARE(c.red() > c.green() + 30 ? "red" : c.green() > c.red() + 30 ? "green" : "none", tint);
    }

    void filterHidesWithoutLosingAndCopiesRows()
    {
        FixedClock clock(kMorning);
        WindowFixture f;
        f.window->show();
        f.addRow("first");
        f.window->AppendAlarmRow({kMorning, "", "Connection Lost", "Asserted", ""});
        f.addRow(QString::fromUtf8("caf\u00e9, \u8b66"));
        QTest::keyClicks(f.child<QLineEdit>("lineEditFilter"), "led-in");
        f.window->AppendAlarmRow({kMorning, "", "KEY-LOCK", "Enabled", ""}); // new rows are filtered too
        f.addRow("fourth");
        // Whole rows selected, copied as the file writes them: only the rows shown.
        auto* filtered = f.child<QTableView>("tableViewFiltered");
        QVERIFY(filtered->isVisible() && !f.table()->isVisible());
        filtered->selectAll();
        QTest::keyClick(filtered, Qt::Key_C, Qt::ControlModifier);
        QCOMPARE(QGuiApplication::clipboard()->text(),
                 QString::fromLatin1("1,2026-03-01 08:00:00,Group A,LED-IN 1,Red,first\n"
                                     "3,2026-03-01 08:00:00,Group A,LED-IN 1,Red,caf\xe9, ?\n"
                                     "5,2026-03-01 08:00:00,Group A,LED-IN 1,Red,fourth\n"));
        // Files and the journal still take every row.
        QVERIFY(f.window->WriteLogFile(f.logs.filePath("all.csv")));
        QVERIFY(f.logFile("all.csv").count('\n') == 7 + 5 && f.journalRows() == 5);
        f.action("actionClearFilter")->trigger();
        QVERIFY(!filtered->isVisible() && f.table()->isVisible());
    }

    void partnerLossNotifiesUnlessTurnedOff()
    {
        WindowFixture f;
        QSignalSpy notes(f.window.get(), &DiveVod::DesktopNotification);
        QCOMPARE(f.child<QLabel>("labelStatusLine")->text(), QStringLiteral("Disconnected"));
        for (bool on : {true, false}) {
            f.action("actionNotifications")->setChecked(on);
            for (bool answering : {false, true})
                QMetaObject::invokeMethod(f.window.get(), "OnRecvRemoteACOConnectStatus", Q_ARG(QString, "127.0.0.9"),
                                          Q_ARG(bool, answering));
        }
        QCOMPARE(notes.value(0).value(1).toString() + setting("Notifications"),
                 QStringLiteral("Remote ACO 127.0.0.9 does not answer.false"));
        QVERIFY(notes.size() == 1 && !WindowFixture().action("actionNotifications")->isChecked());
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
        QCOMPARE(setting("AutoSaveEnable") + setting("AutoSaveTime"), QStringLiteral("false08:00:30"));
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
    }

    void cleanExitLeavesEveryRowInAFile_data()
    {
        QTest::addColumn<bool>("savedAs");
        QTest::newRow("logged out, rows in no file") << false;
        QTest::newRow("rows saved with Save As") << true;
    }
    void cleanExitLeavesEveryRowInAFile()
    {
        QFETCH(bool, savedAs);
        FixedClock clock(QDateTime(QDate(2026, 3, 1), QTime(17, 42, 1)));
        WindowFixture f;
        f.addRow("x");
        if (savedAs) {
            TestSupport::onNextModal([](QWidget* w) { QMetaObject::invokeMethod(w, "accept"); });
            f.click("pushButtonSaveAs");
        }
        f.window->show();
        f.window->close();
        f.window.reset();
        // No journal left for the next start to take for a crash; the row is in exactly one file.
        QCOMPARE(f.logFiles(), QStringList{savedAs ? "mylog.csv" : "backup_2026-03-01_17-42.csv"});
        QVERIFY(f.logFile(f.logFiles().first()).endsWith(",x\n"));
        QVERIFY(!QFileInfo::exists(f.logs.filePath(AlarmJournal::kFileName)));
    }

    void unwritableLogsKeepEveryRow()
    {
        FixedClock clock(kMorning);
        WindowFixture f;
        f.addRow("kept");
        QFile(f.logs.filePath("blocker")).open(QIODevice::WriteOnly);
        // Below a plain file: not even root writes there. The message names it without the "..".
        f.window->SetLogsDirectory(f.logs.filePath("blocker/../blocker/logs"));
        f.window->BackupLog();
        QMetaObject::invokeMethod(f.window.get(), "OnAutoSaveTimer");
        QCOMPARE(f.rows(), QStringList{"Group A|LED-IN 1|Red|kept"});
        const QString message = f.window->statusBar()->currentMessage();
        QVERIFY2(message.startsWith("The log file could not be written: " + f.logs.filePath("blocker/logs/2026-03-01_08-00-00.csv")),
                 qPrintable(message));
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
            proposed = qobject_cast<QFileDialog*>(w)->selectedFiles().value(0), qobject_cast<QDialog*>(w)->reject();
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
        // The menu opens the folder the files go to, made first when missing.
        WindowFixture f;
        f.window->SetLogsDirectory(f.logs.filePath("not/yet"));
        QDesktopServices::setUrlHandler("file", this, "openUrl");
        f.action("actionOpenLogsFolder")->trigger();
        QDesktopServices::unsetUrlHandler("file");
        QCOMPARE(opened, QList<QUrl>{QUrl::fromLocalFile(f.logs.filePath("not/yet"))});
        QVERIFY(QFileInfo(f.logs.filePath("not/yet")).isDir());
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
        QCOMPARE(WindowFixture::read(recovered), WindowFixture::read(crashed.filePath("saved")));
        QCOMPARE(f.window->statusBar()->currentMessage(),
                 "Alarm rows of an unfinished session were recovered into " + QDir::toNativeSeparators(recovered));
        // Emptied once recovered; a later recovery never replaces an earlier file.
        QCOMPARE(AlarmJournal::Read(journal).rows.size(), 0);
        f.addRow("next");
        f.window->SetLogsDirectory(f.logs.path());
        QCOMPARE(f.window->OpenAlarmJournal(), QString());
        AlarmJournal again;
        QCOMPARE(again.Open(crashed.path(), clock.now), crashed.filePath("recovered_2026-03-01_09-15_2.csv"));
        QVERIFY(WindowFixture::read(recovered).contains(",Green, with a comma\nand a line end\n"));
        // Rows after a Clear keep their session's device head.
        const AlarmJournal::DeviceInfo device{"ACO GPIO", "QX00001234-00000042", "1.1.46", "127.0.0.1"};
        again.SetDeviceInfo(device);
        again.Clear();
        again.Append({"1", "2026-03-01 09:15:00", "", "KEY-LOCK", "Enabled", ""});
        QCOMPARE(AlarmJournal::Read(journal).device, device);

        // Rows of two sessions come back in two files, each under its own device head.
        const AlarmJournal::DeviceInfo next{"ACO GPIO", "QX00001234-00000043", "1.1.46", "127.0.0.2"};
        const AlarmJournal::Row row{"2", "2026-03-01 09:15:01", "", "KEY-LOCK", "Disabled", ""};
        again.SetDeviceInfo(next);
        again.Append(row);
        again.Close();
        QCOMPARE(again.Open(crashed.path(), clock.now), crashed.filePath("recovered_2026-03-01_09-15_3.csv"));
        QCOMPARE(WindowFixture::read(crashed.filePath("recovered_2026-03-01_09-15_3.csv")),
                 AlarmJournal::ToCsv({device, {{"1", "2026-03-01 09:15:00", "", "KEY-LOCK", "Enabled", ""}}}));
        QCOMPARE(WindowFixture::read(crashed.filePath("recovered_2026-03-01_09-15_4.csv")), AlarmJournal::ToCsv({next, {row}}));
    }
};

QTEST_MAIN(TestWindow)
#include "tst_window.moc"
