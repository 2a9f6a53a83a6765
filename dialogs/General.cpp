#include "General.h"
#include "ui_General.h"

#include "DeviceWait.h"
#include "DiveVodNetClient.h"
#include "FixedDialog.h"
#include "ProductInfoText.h"

namespace {
const quint32 kAcoGpioProductCode = 50003;
} // namespace

General::General(DiveVodNetClient* client, QWidget* parent)
    : QDialog(parent)
    , client(client)
    , ui(new Ui::General)
{
    ui->setupUi(this);
    connect(ui->pushButtonOk, SIGNAL(clicked()), this, SLOT(OnOk()));
    fixDialogFrame(this);
}

General::~General()
{
    delete ui;
}

int General::ReadInfo()
{
    const int result = FillInfo();
    // The form was sized while the values were empty: make room for what was read.
    fixDialogFrame(this);
    return result;
}

// Fills group by group; a failed request leaves its group and the later ones empty.
// The values are the device's own names and numbers: none is translated.
int General::FillInfo()
{
    quint32 productCode = 0;
    quint8 serial[8] = {};
    quint8 further[8] = {};
    quint32 workMode = 0;
    QString pcbVersion;
    QString firmwareVersion;
    QString address;
    QString subnetMask;
    QString gateway;
    bool isDefault = false;
    // How many of the four groups the device answered, in order.
    const int groupsRead = DeviceWait::Run([&] {
        if (client->GetProductInfo(productCode, serial, further) != 0)
            return 0;
        if (client->GetWorkMode(workMode) != 0)
            return 1;
        if (client->GetVersion(pcbVersion, firmwareVersion) != 0)
            return 2;
        return client->GetNetParam(address, subnetMask, gateway, isDefault) != 0 ? 3 : 4;
    });

    if (groupsRead < 1)
        return -1;
    ui->labelModuleType->setText(GetModuleTypeName(productCode));
    ui->labelDescription->setText(productCode == kAcoGpioProductCode ? QStringLiteral("Velmora-ACO-GPIO")
                                                                     : QStringLiteral("Unknown"));
    ui->labelProductSN->setText(GetProductSNText(serial));
    if (groupsRead < 2)
        return -1;
    ui->labelRunMode->setText(workMode != 0 ? QStringLiteral("UserApp") : QStringLiteral("Update"));
    if (groupsRead < 3)
        return -1;
    ui->labelPCBVersion->setText(pcbVersion);
    ui->labelFirmwareVersion->setText(firmwareVersion);
    if (groupsRead < 4)
        return -1;
    ui->labelIpAddress->setText(address);
    ui->labelSubnetMask->setText(subnetMask);
    ui->labelGateway->setText(gateway);
    return 0;
}

void General::OnOk()
{
    accept();
}
