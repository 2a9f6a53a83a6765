#include "AlarmJournal.h"

#include <QDateTime>
#include <QDir>
#include <QFileInfo>
#include <QLockFile>

#include <algorithm>

#ifdef Q_OS_WIN
#include <io.h>
#else
#include <unistd.h>
#endif

// Hidden: it is no log file of its own, and listings of the logs directory show only those.
const char* const AlarmJournal::kFileName = ".alarm_journal";

namespace {
constexpr int kDeviceFields = 4;
constexpr int kRowFields = 6;

QByteArray encode(const QString& text)
{
    return text.toUtf8().toPercentEncoding();
}

bool syncToDisk(int fd)
{
#ifdef Q_OS_WIN
    return _commit(fd) == 0;
#else
    return ::fdatasync(fd) == 0;
#endif
}
} // namespace

AlarmJournal::AlarmJournal(QObject* parent)
    : QObject(parent)
{
    syncTimer.setSingleShot(true);
    connect(&syncTimer, &QTimer::timeout, this, &AlarmJournal::Sync);
}

AlarmJournal::~AlarmJournal()
{
    Close();
}

QString AlarmJournal::Open(const QString& logsDirectory, const QDateTime& now)
{
    Close();
    if (!QDir(logsDirectory).exists() && !QDir().mkpath(logsDirectory))
        return QString();
    const QString path = logsDirectory + QLatin1Char('/') + QLatin1String(kFileName);
    // A second instance on the same directory must not take the first one's live journal for a left-over.
    auto candidate = std::make_unique<QLockFile>(path + QStringLiteral(".lock"));
    candidate->setStaleLockTime(0);
    if (!candidate->tryLock(0))
        return QString();
    lock = std::move(candidate);

    // One file per session: rows never go under another device's head.
    QStringList recovered;
    int leftRows = 0;
    bool keepOld = false;
    for (const Contents& left : ReadSessions(path)) {
        leftRows += left.rows.size();
        if (keepOld)
            continue;
        const QString stem = logsDirectory + QStringLiteral("/recovered_") + now.toString(QStringLiteral("yyyy-MM-dd_hh-mm"));
        QString target = stem + QStringLiteral(".csv");
        for (int n = 2; QFileInfo::exists(target); ++n)
            target = stem + QStringLiteral("_%1.csv").arg(n);
        QFile out(target);
        const QByteArray bytes = ToCsv(left);
        bool ok = out.open(QIODevice::WriteOnly | QIODevice::NewOnly | QIODevice::Text) && out.write(bytes) == bytes.size()
            && out.flush() && syncToDisk(out.handle());
        out.close();
        ok = ok && out.error() == QFileDevice::NoError;
        if (ok) {
            recovered << target;
        } else {
            // The rows stay in the journal for the next start rather than being lost; the files of this
            // attempt go, so that the next one writes no row twice.
            out.remove();
            for (const QString& written : qAsConst(recovered))
                QFile::remove(written);
            recovered.clear();
            keepOld = true;
        }
    }
    file.setFileName(path);
    rowsHeld = keepOld ? leftRows : 0;
    const QIODevice::OpenMode mode = keepOld ? QIODevice::Append : QIODevice::WriteOnly | QIODevice::Truncate;
    if (!file.open(mode | QIODevice::Unbuffered)) {
        lock.reset();
        return recovered.value(0);
    }
    syncToDisk(file.handle());
    sinceSync.start();
    StartSyncer();
    if (!deviceInfo.isEmpty())
        WriteLine('D', deviceInfo);
    return recovered.value(0);
}

void AlarmJournal::Close()
{
    // Whatever state the file is in, no sync thread may outlive the journal or meet the next Open.
    StopSyncer();
    if (file.isOpen()) {
        // The last rows are on the disk before the file goes.
        syncToDisk(file.handle());
        file.close();
        if (rowsHeld == 0)
            file.remove();
    }
    syncTimer.stop();
    lock.reset();
}

void AlarmJournal::SetDeviceInfo(const DeviceInfo& device)
{
    deviceInfo = device;
    WriteLine('D', deviceInfo);
}

void AlarmJournal::Append(const Row& row)
{
    if (file.isOpen())
        ++rowsHeld;
    WriteLine('R', row);
}

void AlarmJournal::Clear()
{
    if (!file.isOpen())
        return;
    file.resize(0);
    file.seek(0);
    rowsHeld = 0;
    // Rows that come after this still need the session's device information.
    if (!deviceInfo.isEmpty())
        WriteLine('D', deviceInfo);
    Sync();
}

void AlarmJournal::WriteLine(char kind, const QStringList& fields)
{
    if (!file.isOpen())
        return;
    QByteArray line(1, kind);
    for (const QString& field : fields)
        line += ',' + encode(field);
    line += '\n';
    // Unbuffered: the line is in the operating system's hands once write returns, so a killed process
    // loses nothing; the disk sync (against power loss) is limited to one a second.
    file.write(line);
    if (sinceSync.hasExpired(kSyncIntervalMs))
        Sync();
    else if (!syncTimer.isActive())
        syncTimer.start(static_cast<int>(qMax<qint64>(0, kSyncIntervalMs - sinceSync.elapsed())));
}

void AlarmJournal::Sync()
{
    syncTimer.stop();
    sinceSync.start();
    if (!file.isOpen())
        return;
    {
        std::lock_guard<std::mutex> hold(syncMutex);
        syncWanted = true;
    }
    syncWake.notify_one();
}

void AlarmJournal::StartSyncer()
{
    syncWanted = false;
    syncStop = false;
    const int fd = file.handle();
    syncer = std::thread([this, fd] {
        std::unique_lock<std::mutex> hold(syncMutex);
        for (;;) {
            syncWake.wait(hold, [this] { return syncWanted || syncStop; });
            if (!syncWanted)
                return;
            // A request made while this sync runs gets a sync of its own afterwards.
            syncWanted = false;
            hold.unlock();
            syncToDisk(fd);
            hold.lock();
        }
    });
}

void AlarmJournal::StopSyncer()
{
    if (!syncer.joinable())
        return;
    {
        std::lock_guard<std::mutex> hold(syncMutex);
        syncStop = true;
        syncWanted = false;
    }
    syncWake.notify_one();
    // Waits for a sync in flight: the file must outlive it.
    syncer.join();
}

AlarmJournal::Contents AlarmJournal::Read(const QString& path)
{
    Contents contents;
    for (const Contents& session : ReadAll(path)) {
        contents.device = session.device;
        contents.rows += session.rows;
    }
    return contents;
}

QVector<AlarmJournal::Contents> AlarmJournal::ReadSessions(const QString& path)
{
    QVector<Contents> sessions = ReadAll(path);
    sessions.erase(std::remove_if(sessions.begin(), sessions.end(), [](const Contents& c) { return c.rows.isEmpty(); }),
                   sessions.end());
    return sessions;
}

QVector<AlarmJournal::Contents> AlarmJournal::ReadAll(const QString& path)
{
    QVector<Contents> sessions(1);
    QFile in(path);
    if (!in.open(QIODevice::ReadOnly))
        return sessions;
    const QByteArray data = in.readAll();
    int start = 0;
    for (int end = data.indexOf('\n'); end >= 0; start = end + 1, end = data.indexOf('\n', start)) {
        // Only whole lines count: a write cut short by a crash has no line end.
        const QList<QByteArray> parts = data.mid(start, end - start).split(',');
        QStringList fields;
        for (int i = 1; i < parts.size(); ++i)
            fields << QString::fromUtf8(QByteArray::fromPercentEncoding(parts[i]));
        if (parts[0] == "D" && fields.size() == kDeviceFields) {
            // A device line after rows starts the next session.
            if (!sessions.last().rows.isEmpty())
                sessions.append(Contents());
            sessions.last().device = fields;
        } else if (parts[0] == "R" && fields.size() == kRowFields) {
            sessions.last().rows << fields;
        }
    }
    return sessions;
}

QString AlarmJournal::CsvHead(const DeviceInfo& device)
{
    QStringList d = device;
    while (d.size() < kDeviceFields)
        d << QString();
    return QStringLiteral("Module Type,%1\nProduct SN,%2\nFirmware Verison,%3\nIP Address,%4\n \n \n")
        .arg(d[0], d[1], d[2], d[3]);
}

QString AlarmJournal::CsvColumns()
{
    return QStringLiteral("Number,Time,Input,Alarm Type,Alarm Status,Notes\n");
}

QString AlarmJournal::CsvRow(const Row& row)
{
    return QStringLiteral("%1,%2,%3,%4,%5,%6\n").arg(row.value(0), row.value(1), row.value(2), row.value(3),
                                                      row.value(4), row.value(5));
}

QByteArray AlarmJournal::ToCsv(const Contents& contents)
{
    QString text = CsvHead(contents.device) + CsvColumns();
    for (const Row& row : contents.rows)
        text += CsvRow(row);
    // Latin-1 with "?" for every other character, like every other log file.
    return text.toLatin1();
}
