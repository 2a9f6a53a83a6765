#ifndef ALARMJOURNAL_H
#define ALARMJOURNAL_H

#include <QElapsedTimer>
#include <QFile>
#include <QObject>
#include <QStringList>
#include <QTimer>
#include <QVector>

#include <condition_variable>
#include <memory>
#include <mutex>
#include <thread>

class QLockFile;

// Every alarm row also goes to a journal file the moment it enters the table, so that a crash, a kill
// or a power loss loses none: the next start turns what is left into a "recovered_" CSV file. A saved
// or cleared table empties the journal. Lines are "D" (device information) or "R" (one row), each
// field percent-encoded, so a line cut short by a crash is recognised and skipped.
class AlarmJournal : public QObject
{
    Q_OBJECT

public:
    static const char* const kFileName;
    static constexpr int kSyncIntervalMs = 1000;

    // Module type, product SN, firmware version, IP address: the head of every CSV file.
    using DeviceInfo = QStringList;
    // Number, time, input, alarm type, alarm status, notes.
    using Row = QStringList;

    struct Contents
    {
        DeviceInfo device;
        QVector<Row> rows;
    };

    explicit AlarmJournal(QObject* parent = nullptr);
    ~AlarmJournal() override;

    // Takes the journal of this logs directory: a left-over journal becomes a recovered file first.
    // Returns the recovered file's path, or an empty string when there was nothing to recover. When
    // another running instance holds the directory's journal, this one keeps none.
    QString Open(const QString& logsDirectory, const QDateTime& now);
    // A journal that holds no row goes with the close: nothing is left to recover.
    void Close();
    bool IsOpen() const { return file.isOpen(); }

    void SetDeviceInfo(const DeviceInfo& device);
    void Append(const Row& row);
    // The rows are safe elsewhere (saved or deliberately cleared).
    void Clear();

    // Every row, under the last device information.
    static Contents Read(const QString& path);
    // The same rows split at every device line: each session's rows with their own device information.
    static QVector<Contents> ReadSessions(const QString& path);
    // The same bytes the alarm table's CSV writer produces for these rows.
    static QByteArray ToCsv(const Contents& contents);
    static QString CsvHead(const DeviceInfo& device);
    static QString CsvColumns();
    static QString CsvRow(const Row& row);

private slots:
    void Sync();

private:
    void WriteLine(char kind, const QStringList& fields);
    void StartSyncer();
    void StopSyncer();
    // Every session, the last one even without rows.
    static QVector<Contents> ReadAll(const QString& path);

    QFile file;
    int rowsHeld = 0; // rows written since the file was last emptied
    std::unique_ptr<QLockFile> lock;
    DeviceInfo deviceInfo;
    QElapsedTimer sinceSync;
    QTimer syncTimer;
    // The disk syncs run on a thread of their own: fdatasync waits on the disk (tens of milliseconds
    // on a busy one, longer right after a log file was written), and the window must not.
    std::thread syncer;
    std::mutex syncMutex;
    std::condition_variable syncWake;
    bool syncWanted = false;
    bool syncStop = false;
};

#endif // ALARMJOURNAL_H
