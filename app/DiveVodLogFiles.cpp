// The alarm table as CSV: saved by hand, once a day and as a backup when a login ends.
#include "DiveVod.h"
#include "ui_DiveVod.h"

#include "AlarmJournal.h"
#include "AppClock.h"

#include <QCoreApplication>
#include <QDesktopServices>
#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QFileInfo>
#include <QLabel>
#include <QStandardPaths>
#include <QStatusBar>
#include <QUrl>

namespace {
const char kRowTimeFormat[] = "yyyy-MM-dd hh:mm:ss";

// Rows go to the device in chunks of about this many characters: a write per row cost as much as the
// rows' text itself.
constexpr int kWriteChunkChars = 64 * 1024;

// Latin-1 with "?" for every other character, as the files have always been written.
bool writeText(QIODevice& device, const QString& text)
{
    const QByteArray bytes = text.toLatin1();
    return device.write(bytes) == bytes.size();
}

// A path as the status bar shows it: absolute, without "." or "..", in the platform's separators.
QString shownPath(const QString& path)
{
    return QDir::toNativeSeparators(QDir::cleanPath(QDir().absoluteFilePath(path)));
}
} // namespace

QString DiveVod::DefaultLogsDirectory(const QString& appDir)
{
    // Beside the program when this user may write there (an install to a prefix of one's own, the
    // build tree); otherwise (a system install under /opt) in the user's data directory.
    const QString beside = appDir + QStringLiteral("/../logs");
    if (QDir().mkpath(beside) && QFileInfo(beside).isWritable())
        return beside;
    return QStandardPaths::writableLocation(QStandardPaths::AppDataLocation) + QStringLiteral("/logs");
}

QString DiveVod::LogsDirectory() const
{
    if (!logsDirectoryOverride.isEmpty())
        return logsDirectoryOverride;
    // Decided once: the auto-save asks every second.
    static const QString chosen = DefaultLogsDirectory(QCoreApplication::applicationDirPath());
    return chosen;
}

void DiveVod::SetLogsDirectory(const QString& path)
{
    logsDirectoryOverride = path;
    UpdateLogsNote();
    // The journal follows the logs directory; the next row takes the new one.
    journal->Close();
    journalTried = false;
}

void DiveVod::UpdateLogsNote()
{
    // A permanent status bar note, so that saves and their messages do not hide it.
    auto* note = statusBar()->findChild<QLabel*>(QStringLiteral("labelLogsDirectory"));
    const QString directory = LogsDirectory();
    const bool beside = directory == QCoreApplication::applicationDirPath() + QStringLiteral("/../logs");
    if (beside) {
        delete note;
        return;
    }
    if (!note) {
        note = new QLabel(statusBar());
        note->setObjectName(QStringLiteral("labelLogsDirectory"));
        statusBar()->addPermanentWidget(note);
    }
    note->setText(tr("CSV files go to %1").arg(shownPath(directory)));
}

QString DiveVod::OpenAlarmJournal()
{
    journalTried = true;
    MakeLogsDirectory();
    const QString recovered = journal->Open(LogsDirectory(), AppClock::Now());
    // The journal mirrors the table: rows logged before it could be opened go in too.
    const QTableWidget* table = ui->tableWidget;
    for (int row = 0; journal->IsOpen() && row < table->rowCount(); ++row) {
        QStringList cells;
        for (int column = 0; column < 6; ++column) {
            const QTableWidgetItem* item = table->item(row, column);
            cells << (item ? item->text() : QString());
        }
        journal->Append(cells);
    }
    if (!recovered.isEmpty())
        statusBar()->showMessage(tr("Alarm rows of an unfinished session were recovered into %1")
                                     .arg(shownPath(recovered)));
    return recovered;
}

bool DiveVod::MakeLogsDirectory() const
{
    const QString path = LogsDirectory();
    return QDir(path).exists() || QDir().mkpath(path);
}

namespace {
// The rows first..end of the table under this head, chunk by chunk.
bool writeRows(QIODevice& device, const QTableWidget* table, int first, int end, const QStringList& head)
{
    QString text = AlarmJournal::CsvHead(head) + AlarmJournal::CsvColumns();
    if (first == end) {
        text += QStringLiteral("1,%1,,,,Everything works fine\n")
                    .arg(AppClock::Now().toString(QLatin1String(kRowTimeFormat)));
    }
    text.reserve(kWriteChunkChars + 1024);
    // Rows joined in place into the chunk: a list of cells and a six-way arg() per row cost twice the write.
    // Every chunk's write is checked, so a failure part-way through is never taken for a whole file.
    bool ok = true;
    for (int row = first; ok && row < end; ++row) {
        for (int column = 0; column < 6; ++column) {
            if (column > 0)
                text += QLatin1Char(',');
            if (const QTableWidgetItem* item = table->item(row, column))
                text += item->text();
        }
        text += QLatin1Char('\n');
        if (text.size() >= kWriteChunkChars) {
            ok = writeText(device, text);
            text.resize(0); // keeps the capacity for the next chunk
        }
    }
    return ok && (text.isEmpty() || writeText(device, text));
}
} // namespace

QStringList DiveVod::DeviceHead() const
{
    return {moduleType, productSN, firmwareVersion, ipAddress};
}

int DiveVod::KeptRows() const
{
    return keptSessions.isEmpty() ? 0 : keptSessions.last().end;
}

bool DiveVod::WriteLog(QIODevice& device) const
{
    // This session's rows: rows kept from an earlier one go to files of their own.
    return writeRows(device, ui->tableWidget, KeptRows(), ui->tableWidget->rowCount(), DeviceHead());
}

bool DiveVod::WriteRowsFile(const QString& path, int first, int end, const QStringList& device) const
{
    QFile file(path);
    if (path.isEmpty() || !file.open(QIODevice::WriteOnly | QIODevice::Truncate | QIODevice::Text))
        return false;
    bool ok = writeRows(file, ui->tableWidget, first, end, device);
    ok = file.flush() && ok;
    file.close();
    return ok && file.error() == QFileDevice::NoError;
}

bool DiveVod::WriteLogFile(const QString& path)
{
    const bool ok = WriteRowsFile(path, KeptRows(), ui->tableWidget->rowCount(), DeviceHead());
    if (ok)
        unsavedRows = false;
    return ok;
}

bool DiveVod::WriteKeptSessions(QStringList& written, QString& failed) const
{
    int first = 0;
    for (const KeptSession& kept : keptSessions) {
        const QString path = NextBackupPath();
        if (!WriteRowsFile(path, first, kept.end, kept.device)) {
            written << path;
            for (const QString& each : qAsConst(written))
                QFile::remove(each);
            written.clear();
            failed = path;
            return false;
        }
        written << path;
        first = kept.end;
    }
    return true;
}

void DiveVod::KeepSessionRows()
{
    const int rows = ui->tableWidget->rowCount();
    if (rows > KeptRows())
        keptSessions.append({rows, DeviceHead()});
    if (keptSessions.isEmpty())
        return;
    // Retried at once: on success the table holds only the new session's rows.
    MakeLogsDirectory();
    QStringList written;
    QString failed;
    if (WriteKeptSessions(written, failed)) {
        OnClear();
        statusBar()->clearMessage();
    } else {
        ReportWriteFailure(failed);
    }
}

void DiveVod::ReportWriteFailure(const QString& path)
{
    statusBar()->showMessage(tr("The log file could not be written: %1").arg(shownPath(path)));
}

void DiveVod::SaveAndClear(const QString& path)
{
    MakeLogsDirectory();
    // The rows go only once complete files hold them all; otherwise the next save writes them again.
    QStringList written;
    QString failed;
    const bool keptWritten = WriteKeptSessions(written, failed);
    // A backup takes its name after the kept sessions' backups have taken theirs.
    const QString target = path.isEmpty() ? NextBackupPath() : path;
    if (keptWritten && WriteLogFile(target)) {
        OnClear();
        statusBar()->clearMessage();
    } else {
        // No half file under a name that the daily save would take as done, and no row in two files.
        if (keptWritten) {
            QFile::remove(target);
            failed = target;
        }
        for (const QString& each : qAsConst(written))
            QFile::remove(each);
        ReportWriteFailure(failed);
    }
}

void DiveVod::OnSaveAs()
{
    MakeLogsDirectory();
    const QString path = QFileDialog::getSaveFileName(this, tr("Save File"),
                                                      LogsDirectory() + QStringLiteral("/mylog.csv"),
                                                      tr("log (*.csv);;log(*.log)"));
    if (path.isEmpty())
        return;
    QStringList written;
    QString failed = path;
    if (!WriteKeptSessions(written, failed) || !WriteLogFile(path)) {
        for (const QString& each : qAsConst(written))
            QFile::remove(each);
        ReportWriteFailure(failed);
        return;
    }
    // A file holds every row now: a crash must not bring them back as recovered.
    journal->Clear();
}

void DiveVod::OnOpenLogsFolder()
{
    // The folder the files go to now, the fallback one included; made first so that there is one to show.
    MakeLogsDirectory();
    if (!QDesktopServices::openUrl(QUrl::fromLocalFile(QDir::cleanPath(LogsDirectory()))))
        statusBar()->showMessage(tr("The logs folder could not be opened: %1").arg(shownPath(LogsDirectory())));
}

void DiveVod::OnAutoSaveTimer()
{
    if (!autoSaveEnabled)
        return;
    const QDateTime now = AppClock::Now();
    QString timePart = autoSaveTime;
    const QString name = now.toString(QStringLiteral("yyyy-MM-dd")) + QLatin1Char('_')
        + timePart.replace(QLatin1Char(':'), QLatin1Char('-')) + QStringLiteral(".csv");
    const QString path = LogsDirectory() + QLatin1Char('/') + name;
    if (now.toString(QStringLiteral("hh:mm")) != autoSaveTime.left(autoSaveTime.size() - 3))
        return;
    if (QFileInfo::exists(path))
        return;
    SaveAndClear(path);
}

QString DiveVod::NextBackupPath() const
{
    const QString stem = LogsDirectory() + QStringLiteral("/backup_")
        + AppClock::Now().toString(QStringLiteral("yyyy-MM-dd_hh-mm"));
    // An earlier backup of the same minute is kept: the next free "_2", "_3", ... takes the rows.
    QString path = stem + QStringLiteral(".csv");
    for (int n = 2; QFileInfo::exists(path); ++n)
        path = stem + QStringLiteral("_%1.csv").arg(n);
    return path;
}

void DiveVod::BackupLog()
{
    SaveAndClear(QString());
}
