#ifndef GENERAL_H
#define GENERAL_H

#include <QDialog>

class DiveVodNetClient;

namespace Ui {
class General;
}

// What the connected device is: product, running mode, versions and network addresses.
class General : public QDialog
{
    Q_OBJECT

public:
    General(DiveVodNetClient* client, QWidget* parent = nullptr);
    ~General() override;

    int ReadInfo();

private slots:
    void OnOk();

private:
    int FillInfo();

    DiveVodNetClient* client;
    Ui::General* ui;
};

#endif // GENERAL_H
