// Log files: the CSV format byte for byte, the daily save, backups, write failures and Save As.
#include "WindowFixture.h"

#include <QBuffer>
#include <QCheckBox>
#include <QFileDialog>
#include <QStatusBar>
#include <QTest>
#include <QTimeEdit>

namespace {
const QByteArray kHead = "Module Type,\nProduct SN,\nFirmware Verison,\nIP Address,\n \n \n"
                         "Number,Time,Input,Alarm Type,Alarm Status,Notes\n";

// Accepts the first `okWrites` writes, then fails every one.
class FailingDevice : public QIODevice
{
public:
    explicit FailingDevice(int okWrites)
        : left(okWrites)
    {
        open(QIODevice::WriteOnly);
    }

protected:
    qint64 readData(char*, qint64) override { return -1; }
    qint64 writeData(const char*, qint64 size) override { return left-- > 0 ? size : -1; }

private:
    int left;
};

void addRow(DiveVod& w, const QString& notes)
{
    w.AppendAlarmRow(AlarmRecord{AppClock::Now(), QStringLiteral("Group A"), QStringLiteral("LED-IN 1"),
                                 QStringLiteral("Red"), notes});
}
} // namespace

class TestLogFiles : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { TestSupport::isolateSettings(); }
    void init() { TestSupport::clearSettings(); }

    void csvBytes_data()
    {
        QTest::addColumn<QStringList>("notes");
        QTest::addColumn<QByteArray>("body");
        QTest::newRow("empty table") << QStringList() << QByteArray("1,2026-03-01 08:00:00,,,,Everything works fine\n");
        QTest::newRow("comma in a note")
            << QStringList{"one, two"} << QByteArray("1,2026-03-01 08:00:00,Group A,LED-IN 1,Red,one, two\n");
        QTest::newRow("beyond Latin-1")
            << QStringList{QString::fromUtf8("caf\u00e9 \u8b66\u544a"), ""}
            << QByteArray("1,2026-03-01 08:00:00,Group A,LED-IN 1,Red,caf\xe9 ??\n"
                          "2,2026-03-01 08:00:00,Group A,LED-IN 1,Red,\n");
    }
    void csvBytes()
    {
        QFETCH(QStringList, notes);
        QFETCH(QByteArray, body);
        FixedClock clock(QDateTime(QDate(2026, 3, 1), QTime(8, 0, 0)));
        WindowFixture f;
        for (const QString& n : notes)
            addRow(*f.window, n);
        QBuffer buffer;
        buffer.open(QIODevice::WriteOnly | QIODevice::Text);
        QVERIFY(f.window->WriteLog(buffer));
        QCOMPARE(buffer.data(), kHead + body);
        // The file written through the same path holds the same bytes (a bare line feed here).
        QVERIFY(f.window->WriteLogFile(f.logs.filePath("x.csv")));
        QCOMPARE(f.logFile("x.csv"), buffer.data());
    }

    void everyWriteFailureIsReported()
    {
        WindowFixture f;
        addRow(*f.window, "a");
        addRow(*f.window, "b");
        for (int okWrites = 0; okWrites < 4; ++okWrites) {
            FailingDevice device(okWrites);
            QVERIFY2(!f.window->WriteLog(device), qPrintable(QString::number(okWrites)));
        }
        FailingDevice enough(4);
        QVERIFY(f.window->WriteLog(enough));
#ifdef Q_OS_LINUX
        // Fails only when the buffered bytes are flushed.
        QVERIFY(!f.window->WriteLogFile(QStringLiteral("/dev/full")));
#endif
    }

    void dailySaveOncePerDay()
    {
        FixedClock clock(QDateTime(QDate(2026, 3, 1), QTime(7, 59, 59)));
        WindowFixture f;
        f.window->findChild<QTimeEdit*>()->setTime(QTime(8, 0, 30));
        const auto tick = [&f]() { QMetaObject::invokeMethod(f.window.get(), "OnAutoSaveTimer"); };
        addRow(*f.window, "first");
        tick();
        QVERIFY(f.logFiles().isEmpty());

        clock.now = QDateTime(QDate(2026, 3, 1), QTime(8, 0, 0));
        tick();
        QCOMPARE(f.logFiles(), QStringList{"2026-03-01_08-00-30.csv"});
        QVERIFY(f.logFile("2026-03-01_08-00-30.csv").endsWith("Red,first\n"));
        QCOMPARE(f.table()->rowCount(), 0);

        addRow(*f.window, "second");
        clock.now = QDateTime(QDate(2026, 3, 1), QTime(8, 0, 59));
        tick();
        clock.now = QDateTime(QDate(2026, 3, 1), QTime(8, 1, 0));
        tick();
        QCOMPARE(f.logFiles().size(), 1);
        QCOMPARE(f.table()->rowCount(), 1);

        clock.now = QDateTime(QDate(2026, 3, 2), QTime(8, 0, 1));
        tick();
        QCOMPARE(f.logFiles(), (QStringList{"2026-03-01_08-00-30.csv", "2026-03-02_08-00-30.csv"}));
        QVERIFY(f.logFile("2026-03-02_08-00-30.csv").contains("1,2026-03-01 08:00:00,Group A,LED-IN 1,Red,second\n"));

        f.window->findChild<QCheckBox*>()->setChecked(false);
        clock.now = QDateTime(QDate(2026, 3, 3), QTime(8, 0, 1));
        tick();
        QCOMPARE(f.logFiles().size(), 2);
    }

    void backupsOfOneMinuteAreAllKept()
    {
        FixedClock clock(QDateTime(QDate(2026, 3, 1), QTime(17, 42, 1)));
        WindowFixture f;
        for (const char* note : {"one", "two", "three"}) {
            addRow(*f.window, note);
            f.window->BackupLog();
            QCOMPARE(f.table()->rowCount(), 0);
        }
        QCOMPARE(f.logFiles(), (QStringList{"backup_2026-03-01_17-42.csv", "backup_2026-03-01_17-42_2.csv",
                                            "backup_2026-03-01_17-42_3.csv"}));
        QVERIFY(f.logFile("backup_2026-03-01_17-42.csv").endsWith(",one\n"));
        QVERIFY(f.logFile("backup_2026-03-01_17-42_2.csv").endsWith(",two\n"));
    }

    void unwritableLogsKeepEveryRow()
    {
        FixedClock clock(QDateTime(QDate(2026, 3, 1), QTime(8, 0, 0)));
        WindowFixture f;
        // A file where the directory should be: nothing can be created below it, not even by root.
        QFile blocker(f.logs.filePath("blocker"));
        QVERIFY(blocker.open(QIODevice::WriteOnly));
        blocker.close();
        const QString badDir = f.logs.filePath("blocker/logs");
        f.window->SetLogsDirectory(badDir);
        addRow(*f.window, "kept");

        f.window->BackupLog();
        QMetaObject::invokeMethod(f.window.get(), "OnAutoSaveTimer");
        QCOMPARE(f.rows(), QStringList{"Group A|LED-IN 1|Red|kept"});
        const QString message = f.window->statusBar()->currentMessage();
        QVERIFY2(message.startsWith("The log file could not be written: ") && message.contains(badDir), qPrintable(message));

        f.window->SetLogsDirectory(f.logs.path());
        f.window->BackupLog();
        QCOMPARE(f.table()->rowCount(), 0);
        QVERIFY(f.logFile("backup_2026-03-01_08-00.csv").endsWith(",kept\n"));
        QVERIFY(f.window->statusBar()->currentMessage().isEmpty());
    }

    void closingWhileDisconnectedWritesNothing()
    {
        WindowFixture f;
        addRow(*f.window, "x");
        f.window->show();
        f.window->close();
        QVERIFY(f.logFiles().isEmpty());
    }

    void saveAsWritesTheChosenFileAndKeepsRows()
    {
        WindowFixture f;
        addRow(*f.window, "mine");
        QString proposed;
        TestSupport::onNextModal([&proposed](QWidget* w) {
            auto* dialog = qobject_cast<QFileDialog*>(w);
            QVERIFY(dialog);
            proposed = dialog->selectedFiles().value(0);
            dialog->reject();
        });
        QTest::mouseClick(f.window->findChild<QWidget*>(QStringLiteral("pushButtonSaveAs")), Qt::LeftButton);
        QCOMPARE(QFileInfo(proposed).fileName(), QStringLiteral("mylog.csv"));
        QVERIFY(f.logFiles().isEmpty());

        // Accepting the proposal writes the table into the logs directory and keeps the rows.
        TestSupport::onNextModal([](QWidget* w) { QMetaObject::invokeMethod(w, "accept"); });
        QTest::mouseClick(f.window->findChild<QWidget*>(QStringLiteral("pushButtonSaveAs")), Qt::LeftButton);
        QVERIFY(f.logFile("mylog.csv").endsWith(",mine\n"));
        QCOMPARE(f.table()->rowCount(), 1);
    }
};

QTEST_MAIN(TestLogFiles)
#include "tst_logfiles.moc"
