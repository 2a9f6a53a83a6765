// Where the CSV files go: beside the program when the user may write there, otherwise into the
// user's data directory, and the status bar note that says so.
#include "DiveVod.h"
#include "LanguageConfig.h"
#include "TestSupport.h"

#include <QDir>
#include <QFile>
#include <QLabel>
#include <QStandardPaths>
#include <QStatusBar>
#include <QTemporaryDir>
#include <QtTest>

#include <unistd.h>

class TestLogsDirectory : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void defaultDirectory_data();
    void defaultDirectory();
    void statusBarNote();
    void nestedDirectoryIsMade();
};

void TestLogsDirectory::initTestCase()
{
    TestSupport::isolateSettings();
}

void TestLogsDirectory::defaultDirectory_data()
{
    QTest::addColumn<QString>("prefix"); // how the install prefix is made
    QTest::addColumn<bool>("beside"); // the CSV files go to <prefix>/logs

    QTest::newRow("own prefix") << "writable" << true;
    QTest::newRow("logs already there") << "with-logs" << true;
    // A file where the prefix should be: no user, root included, can make logs/ there.
    QTest::newRow("prefix is a file") << "file" << false;
    if (geteuid() != 0) // root writes through permission bits
        QTest::newRow("read-only prefix") << "read-only" << false;
}

void TestLogsDirectory::defaultDirectory()
{
    QFETCH(QString, prefix);
    QFETCH(bool, beside);

    QTemporaryDir temp;
    const QString root = temp.path() + QStringLiteral("/prefix");
    if (prefix == QLatin1String("file")) {
        QFile file(root);
        QVERIFY(file.open(QIODevice::WriteOnly));
    } else {
        QVERIFY(QDir().mkpath(root + QStringLiteral("/bin")));
        if (prefix == QLatin1String("with-logs"))
            QVERIFY(QDir().mkpath(root + QStringLiteral("/logs")));
        if (prefix == QLatin1String("read-only"))
            QVERIFY(QFile::setPermissions(root, QFile::ReadOwner | QFile::ExeOwner));
    }

    const QString chosen = DiveVod::DefaultLogsDirectory(root + QStringLiteral("/bin"));
    const QString dataLogs = QStandardPaths::writableLocation(QStandardPaths::AppDataLocation) + "/logs";
    QCOMPARE(QDir::cleanPath(chosen), beside ? root + QStringLiteral("/logs") : dataLogs);
    if (beside)
        QVERIFY(QFileInfo(chosen).isDir());
    QFile::setPermissions(root, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
}

void TestLogsDirectory::statusBarNote()
{
    LanguageConfig language(nullptr);
    DiveVod window(&language);
    const auto note = [&window] { return window.statusBar()->findChild<QLabel*>("labelLogsDirectory"); };
    // The test program's own "../logs" is writable: no note.
    QVERIFY(!note());

    QTemporaryDir elsewhere;
    window.SetLogsDirectory(elsewhere.path());
    QVERIFY(note());
    QCOMPARE(note()->text(), QStringLiteral("CSV files go to %1").arg(QDir::toNativeSeparators(elsewhere.path())));
    // A save's message does not take the note away.
    window.statusBar()->showMessage(QStringLiteral("saved"));
    window.statusBar()->clearMessage();
    QVERIFY(note() && !note()->isHidden());

    window.SetLogsDirectory(QString());
    QVERIFY(!note());
}

void TestLogsDirectory::nestedDirectoryIsMade()
{
    // The user's data directory may not exist yet: every missing level is made on the first save.
    LanguageConfig language(nullptr);
    DiveVod window(&language);
    QTemporaryDir temp;
    const QString logs = temp.path() + QStringLiteral("/share/Brennhart/DiveVod/logs");
    window.SetLogsDirectory(logs);
    window.BackupLog();
    QCOMPARE(QDir(logs).entryList({ QStringLiteral("backup_*.csv") }, QDir::Files).size(), 1);
}

QTEST_MAIN(TestLogsDirectory)
#include "tst_logsdirectory.moc"
