#ifndef PARAMCFG_H
#define PARAMCFG_H

#include <QDialog>

class DiveVodNetClient;
class QLineEdit;
class QValidator;

namespace Ui {
class paramcfg;
}

// Key lock, auto mode, panel type and the partner (remote ACO) table, read from and written to
// the device through the client.
class ParamCfg : public QDialog
{
    Q_OBJECT

public:
    ParamCfg(DiveVodNetClient* client, QWidget* parent = nullptr);
    ~ParamCfg() override;

    int ReadParam();
    int WriteParam();
    bool CheckRemoteACO();
    // Shows the partners' passwords as dots, for a view that is not an administrator's.
    void MaskPasswords();

    static const int kRows = 4;

private slots:
    void OnPanelTypeDisable(int index);
    void OnOk();
    void OnCancel();

private:
    enum class RowAddress { Valid, Invalid };
    // The row's address as dotted text: empty editor "0.0.0.0"; Invalid when the text is not a
    // complete address or is the broadcast address.
    RowAddress rowAddress(int row, QString* text) const;
    void warn(const QString& message);

    DiveVodNetClient* client;
    Ui::paramcfg* ui;
    QLineEdit* ipEdits[kRows];
    QLineEdit* passwordEdits[kRows];
    QValidator* ipValidator;
};

#endif // PARAMCFG_H
