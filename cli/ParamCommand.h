#ifndef PARAMCOMMAND_H
#define PARAMCOMMAND_H

#include "DeviceReport.h"

#include <QString>
#include <QStringList>

class DiveVodNetClient;

// `set`: one parameter changed the way the parameter dialog changes it. The current parameters are
// read first; only the named field is replaced, every other value goes back as the device sent it,
// and only the request that carries the field is sent.
class ParamCommand
{
public:
    // Checks the arguments before anything is sent: ExitOk, or ExitUsage / ExitInvalidValue with `error`.
    // `partnerPassword` is used only for a partner row.
    int Prepare(const QStringList& arguments, QString& error);
    bool NeedsPartnerPassword() const { return field == Field::Partner && partnerAddress != QLatin1String("0.0.0.0"); }
    void SetPartnerPassword(const QString& password) { partnerPassword = password; }
    // Reads, checks and writes: ExitOk or the cause with `error`.
    int Apply(DiveVodNetClient& client, QString& error) const;

    // The parameter dialog's check of the remote ACO table; empty when it passes.
    static QString CheckRemoteAco(const QString (&addresses)[4]);

private:
    enum class Field { Lock, AutoMode, PanelType, Partner };
    Field field = Field::Lock;
    bool on = false;
    quint32 panelType = 0;
    int row = 0;
    QString partnerAddress;
    QString partnerPassword;
};

#endif // PARAMCOMMAND_H
