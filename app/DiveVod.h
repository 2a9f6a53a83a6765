#ifndef DIVEVOD_H
#define DIVEVOD_H

#include "AcoGpioInfo.h"
#include "AlarmRecord.h"

#include <QMainWindow>
#include <QString>
#include <QStringList>
#include <QTimer>
#include <QVector>

class AlarmJournal;
class AlarmView;
class DeviceWait;
class QLabel;
class TrayNotifier;
class DiveVodNetClient;
class GPIOStatus2x1;
class GPIOStatus4x1;
class GpioStateThread;
class LanguageConfig;
class QCloseEvent;
class QIODevice;
class QTime;
class RemoteACOConnectThread;
class UpdateThread;

namespace Ui {
class DiveVodClass;
}

// The one main window: menus, the live status panel, the alarm table and its CSV files, and the
// connection to one device (login, background monitors, disconnect).
class DiveVod : public QMainWindow
{
    Q_OBJECT

public:
    explicit DiveVod(LanguageConfig* language, QWidget* parent = nullptr, Qt::WindowFlags flags = Qt::WindowFlags());
    ~DiveVod() override;

    // The control software's own version; a device with other firmware is refused after login.
    static const char* const kControlVersion;
    static constexpr int kDevicePort = 33904;

    // Alarm log: names and rows. Row texts are fixed English texts.
    static QString GroupName(int channel, quint32 panelType);
    static QString AlarmTypeName(int channel, const QString& prefix, quint32 panelType);
    // The entries that one record adds after `previous`, in table order.
    static QVector<AlarmRecord> ChangedEntries(const AcoGpioInfo& previous, const AcoGpioInfo& info,
                                               const QDateTime& time);
    // One entry per monitored item, as logged right after a login.
    static QVector<AlarmRecord> FullStateEntries(const AcoGpioInfo& info, const QDateTime& time);

    // The one way rows enter the table.
    void AppendAlarmRow(const AlarmRecord& record);
    void LogFullState(const AcoGpioInfo& info);

    // Log files. The logs directory can be pointed elsewhere (tests, embedding); by default it is
    // "logs" beside the program's directory, or, when this user cannot write there, "logs" in the
    // user's data directory. The status bar tells whenever it is not the one beside the program.
    static QString DefaultLogsDirectory(const QString& appDir);
    QString LogsDirectory() const;
    void SetLogsDirectory(const QString& path);
    // Writes the table in the CSV format; false when any part of it could not be written.
    bool WriteLog(QIODevice& device) const;
    bool WriteLogFile(const QString& path);
    // Writes a "backup_" file and clears the table once the file is complete.
    void BackupLog();
    // Takes the logs directory's alarm journal (at start; otherwise with the first row), turning a
    // journal left by a crash into a "recovered_" file. Returns that file's path, or an empty string.
    QString OpenAlarmJournal();

signals:
    void SendInfo(AcoGpioInfo info);
    // A desktop notification, while they are turned on (Device > Desktop Notifications).
    void DesktopNotification(const QString& title, const QString& text);

private slots:
    void OnConnect();
    void OnDisConnect();
    void OnAbout();
    void OnLanguageConfig();
    void OnClear();
    void OnSaveAs();
    void OnSetAutoSaveTimeEnable(int status);
    void OnTimeChanged(const QTime& time);
    void OnAutoSaveTimer();
    void OnRecvStatusInfo(AcoGpioInfo info);
    void OnIsAlive(bool isAlive, int workMode);
    void OnHideWidget();
    void OnMatchVersion();
    void OnRecvRemoteACOConnectStatus(QString strIP, bool status);
    void OnOpenLogsFolder();

    // The configuration commands (DiveVodCommands.cpp).
private slots:
    void OnConfigParam();
    void OnNetworkProperty();
    void OnGeneral();
    void OnChangePassword();

private:
    // Logged in and the device answered the last alive check: dialogs may read and write it.
    bool DeviceReachable() const;
    void ShowWarning(const QString& text);

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    void LoadSettings();
    // Reads the device's information and starting state and shows them; false when the wait ended.
    bool InitAfterLogin(DeviceWait& wait);
    void DisconnectDevice();
    void AppendAlarmRows(const QVector<AlarmRecord>& records);
    // Shows the panel for this type, hides the other and routes records and key presses through it.
    void ShowPanel(quint32 panelType, bool resetHidden);
    void SetConnectImage(bool connected);
    bool MakeLogsDirectory() const;
    void UpdateLogsNote();
    // Writes the file; on success clears the table, otherwise keeps every row and says so.
    void SaveAndClear(const QString& path);
    // Rows of earlier sessions that no file holds yet, each session's rows (the table's rows up to `end`)
    // with their own device head, so that they never go under a later session's head.
    struct KeptSession
    {
        int end;
        QStringList device;
    };
    QStringList DeviceHead() const;
    int KeptRows() const;
    QString NextBackupPath() const;
    bool WriteRowsFile(const QString& path, int first, int end, const QStringList& device) const;
    // Each kept session to a backup file of its own; on a failure none of them is left and `failed` names it.
    bool WriteKeptSessions(QStringList& written, QString& failed) const;
    // At a login, before the new device's head replaces the last one: unsaved rows are written now, or
    // kept apart with their head.
    void KeepSessionRows();
    void ReportWriteFailure(const QString& path);
    // Keyboard access beyond the menus' mnemonics: F10 opens the menu bar, Ctrl+S saves, Ctrl+Q closes.
    void AddShortcuts();
    // The designed size where the screen has room for it, else the available area, placed inside it.
    void FitToScreen();

    // The status line, the title and the panel's stale look, from the connection state (DiveVodWatch.cpp).
    void SetUpWatching();
    QString StatusLineText() const;
    QString UserName() const;
    void UpdateStatusLine();
    void NoteAnswer();
    void Notify(const QString& title, const QString& text);
    void NotifyRedInputs(const QVector<AlarmRecord>& entries);

    int nextRowNumber;
    bool appendingRows = false; // a batch sizes the columns once, after its last row
    DiveVodNetClient* client;
    GpioStateThread* gpioStateThread;
    UpdateThread* updateThread;
    RemoteACOConnectThread* remoteACOConnectThread;
    GPIOStatus2x1* gpioStatus2x1;
    GPIOStatus4x1* gpioStatus4x1;
    LanguageConfig* languageConfig;
    quint32 currentPanelType;
    AcoGpioInfo previousInfo;
    int disconnected;
    QString moduleType;
    QString productSN;
    QString firmwareVersion;
    QString ipAddress;
    bool upgradeCheckArmed;
    bool connectionLost;
    int userType;
    bool autoSaveEnabled;
    QString autoSaveTime;
    QTimer autoSaveTimer;
    bool deviceAlive;
    QString logsDirectoryOverride;
    AlarmJournal* journal;
    bool journalTried;
    AlarmView* alarmView;
    bool unsavedRows = false; // a row not yet in any written file
    QVector<KeptSession> keptSessions;
    QLabel* labelStatusLine = nullptr;
    QLabel* labelStale = nullptr;
    TrayNotifier* tray = nullptr;
    QString baseTitle;
    QString loginAddress;
    QDateTime lastAnswer;
    QDateTime lostSince;
    QSize expandedSize; // the window's size before the alarm area was hidden
    Ui::DiveVodClass* ui;
};

#endif // DIVEVOD_H
