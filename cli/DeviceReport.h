#ifndef DEVICEREPORT_H
#define DEVICEREPORT_H

#include "AcoGpioInfo.h"
#include "AlarmRecord.h"

#include <QJsonObject>
#include <QString>
#include <QStringList>
#include <QVector>

class DiveVodNetClient;

// What divevod-cli reads from a logged-in device and how it prints it: the Device Information
// dialog's values, the starting state as alarm rows, and the parameter dialog's values.
class DeviceReport
{
public:
    struct Information
    {
        QString moduleType;
        QString description;
        QString productSN;
        QString runMode;
        QString pcbVersion;
        QString firmwareVersion;
        QString ipAddress;
        QString subnetMask;
        QString gateway;
    };

    struct Parameters
    {
        quint8 keyLock = 0;
        quint8 autoMode = 0;
        quint32 panelType = 0;
        // Row 0 the main device, rows 1 to 3 the slave devices, as the device sent them.
        QString addresses[4];
        QString passwords[4];
    };

    // The Device Information dialog's reads in its order; -1 at the first failure, the values read
    // until then kept.
    static int ReadInformation(DiveVodNetClient& client, Information& info);
    // The window's first read after a login: the GPIO status, then lock and auto mode.
    static int ReadState(DiveVodNetClient& client, AcoGpioInfo& state);
    // The parameter dialog's reads; nothing is filled from a partial read.
    static int ReadParameters(DiveVodNetClient& client, Parameters& parameters);

    static QString InformationText(const Information& info);
    static QJsonObject InformationJson(const Information& info);
    // The full-state rows, one per line: input, alarm type, alarm status in aligned columns.
    static QString StateText(const QVector<AlarmRecord>& rows);
    static QJsonObject StateJson(const AcoGpioInfo& state, const QVector<AlarmRecord>& rows);
    static QString ParametersText(const Parameters& parameters);
    static QJsonObject ParametersJson(const Parameters& parameters);
    // "Main Device", "Slave Device 1" ...
    static QString PartnerRowName(int row);
    // Rows of cells as columns padded to their widest cell, two blanks apart.
    static QString Table(const QVector<QStringList>& rows);
};

#endif // DEVICEREPORT_H
