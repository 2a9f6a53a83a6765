// The crash-safe alarm journal: what a killed session leaves behind becomes a recovered CSV file.
#include "AlarmJournal.h"
#include "WindowFixture.h"

#include <QCheckBox>
#include <QStatusBar>
#include <QTimeEdit>

namespace {
const QDateTime kNow(QDate(2026, 3, 1), QTime(9, 15, 0));

AlarmJournal::Row row(int number, const QString& status)
{
    return {QString::number(number), QStringLiteral("2026-03-01 09:14:0%1").arg(number), QStringLiteral("Group A"),
            QStringLiteral("LED-IN 1"), status, QString()};
}

QString journalPath(const QString& dir)
{
    return dir + QLatin1Char('/') + QLatin1String(AlarmJournal::kFileName);
}

QByteArray readAll(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<missing>");
}

void addRow(DiveVod& window, const QString& status)
{
    window.AppendAlarmRow(AlarmRecord{AppClock::Now(), QStringLiteral("Group A"), QStringLiteral("LED-IN 1"), status, QString()});
}
} // namespace

class JournalTest : public QObject
{
    Q_OBJECT

private slots:
    void damagedJournalYieldsEveryWholeRow()
    {
        QTemporaryDir dir;
        {
            AlarmJournal journal;
            QVERIFY(journal.Open(dir.path(), kNow).isEmpty());
            journal.SetDeviceInfo({"ACO GPIO", "QX00001234-00000042", "1.1.46", "127.0.0.1"});
            journal.Append(row(1, "Red"));
            journal.Append(row(2, "Green, with a comma\nand a line end"));
        }
        // A crash in the middle of the third row.
        QFile file(journalPath(dir.path()));
        QVERIFY(file.open(QIODevice::Append));
        file.write("R,3,2026-03-01%2009%3A14%3A03,Gro");
        file.close();

        AlarmJournal next;
        const QString recovered = next.Open(dir.path(), kNow);
        QCOMPARE(recovered, dir.filePath("recovered_2026-03-01_09-15.csv"));
        QCOMPARE(readAll(recovered),
                 QByteArray("Module Type,ACO GPIO\nProduct SN,QX00001234-00000042\nFirmware Verison,1.1.46\n"
                            "IP Address,127.0.0.1\n \n \nNumber,Time,Input,Alarm Type,Alarm Status,Notes\n"
                            "1,2026-03-01 09:14:01,Group A,LED-IN 1,Red,\n"
                            "2,2026-03-01 09:14:02,Group A,LED-IN 1,Green, with a comma\nand a line end,\n"));
        // Emptied: a second start recovers nothing more, and an existing recovered file is never replaced.
        QVERIFY(AlarmJournal::Read(journalPath(dir.path())).rows.isEmpty());
        next.Append(row(1, "Off"));
        next.Close();
        QCOMPARE(next.Open(dir.path(), kNow), dir.filePath("recovered_2026-03-01_09-15_2.csv"));
        QVERIFY(readAll(recovered).contains(",Green, with a comma"));
    }

    void recoveredFileEqualsTheSavedTable()
    {
        FixedClock clock(kNow);
        WindowFixture f;
        addRow(*f.window, "Red");
        addRow(*f.window, QString::fromUtf8("Gr\xc3\xbcn \xe7\xbb\xbf"));
        const QString saved = f.logs.filePath("saved.csv");
        QVERIFY(f.window->WriteLogFile(saved));

        // What a kill leaves: the journal as it is at this moment, in a directory no instance holds.
        QTemporaryDir crashed;
        QVERIFY(QFile::copy(journalPath(f.logs.path()), journalPath(crashed.path())));
        AlarmJournal journal;
        const QString recovered = journal.Open(crashed.path(), kNow);
        QCOMPARE(readAll(recovered), readAll(saved));
    }

    void savedOrClearedRowsLeaveTheJournal_data()
    {
        QTest::addColumn<QString>("how");
        QTest::newRow("Clear") << "clear";
        QTest::newRow("backup") << "backup";
        QTest::newRow("auto save") << "autosave";
        QTest::newRow("failed backup keeps them") << "failed";
    }

    void savedOrClearedRowsLeaveTheJournal()
    {
        QFETCH(QString, how);
        FixedClock clock(QDateTime(QDate(2026, 3, 1), QTime(8, 0, 30)));
        WindowFixture f;
        addRow(*f.window, "one");
        addRow(*f.window, "two");
        QCOMPARE(AlarmJournal::Read(journalPath(f.logs.path())).rows.size(), 2);
        if (how == "clear") {
            QTest::mouseClick(f.window->findChild<QPushButton*>("pushButtonClear"), Qt::LeftButton);
        } else if (how == "backup") {
            f.window->BackupLog();
        } else if (how == "autosave") {
            f.window->findChild<QCheckBox*>("checkBoxAutoSave")->setChecked(true);
            f.window->findChild<QTimeEdit*>("timeEdit")->setTime(QTime(8, 0, 30));
            QMetaObject::invokeMethod(f.window.get(), "OnAutoSaveTimer");
        } else {
            // A file where the logs directory should be: the backup fails, the journal keeps the rows.
            QFile blocker(f.logs.filePath("blocker"));
            QVERIFY(blocker.open(QIODevice::WriteOnly));
            blocker.close();
            f.window->SetLogsDirectory(f.logs.filePath("blocker/logs"));
            f.window->BackupLog();
        }
        const int left = how == "failed" ? f.table()->rowCount() : 0;
        QCOMPARE(f.table()->rowCount(), left);
        if (how != "failed")
            QCOMPARE(AlarmJournal::Read(journalPath(f.logs.path())).rows.size(), 0);
        addRow(*f.window, "three");
        QCOMPARE(AlarmJournal::Read(journalPath(f.logs.path())).rows.size(), how == "failed" ? 2 : 1);
    }

    void startTurnsALeftOverJournalIntoARecoveredFile()
    {
        FixedClock clock(kNow);
        {
            WindowFixture crashed;
            addRow(*crashed.window, "lost?");
            QVERIFY(QFile::copy(journalPath(crashed.logs.path()), QDir::temp().filePath("divevod-journal-copy")));
        }
        WindowFixture f;
        QFile::remove(journalPath(f.logs.path()));
        QVERIFY(QFile::rename(QDir::temp().filePath("divevod-journal-copy"), journalPath(f.logs.path())));
        // A second instance on the same directory leaves the live journal alone.
        {
            LanguageConfig language{nullptr, QStringLiteral(DIVEVOD_LANG_DIR)};
            DiveVod other(&language);
            other.SetLogsDirectory(f.logs.path());
            QCOMPARE(f.window->OpenAlarmJournal(), f.logs.filePath("recovered_2026-03-01_09-15.csv"));
            QVERIFY(other.OpenAlarmJournal().isEmpty());
        }
        QVERIFY(f.logFile("recovered_2026-03-01_09-15.csv").endsWith(",Group A,LED-IN 1,lost?,\n"));
        QCOMPARE(f.window->statusBar()->currentMessage(),
                 "Alarm rows of an unfinished session were recovered into "
                     + QDir::toNativeSeparators(f.logs.filePath("recovered_2026-03-01_09-15.csv")));
    }
};

QTEST_MAIN(JournalTest)
#include "tst_journal.moc"
