#include "ParamCfg.h"
#include "ui_ParamCfg.h"

#include "DeviceWait.h"
#include "DiveVodNetClient.h"
#include "FixedDialog.h"
#include "Ipv4Field.h"
#include "Ipv4Text.h"

#include <QHeaderView>
#include <QLineEdit>
#include <QMessageBox>

#include <algorithm>

namespace {
const int kRowHeaderWidth = 100;
const int kColumnWidth = 130;
const int kPasswordLength = 6;
const QString kNoAddress = QStringLiteral("0.0.0.0");
} // namespace

ParamCfg::ParamCfg(DiveVodNetClient* client, QWidget* parent)
    : QDialog(parent)
    , client(client)
    , ui(new Ui::paramcfg)
{
    for (int row = 0; row < kRows; ++row)
        ipEdits[row] = new QLineEdit;
    for (int row = 0; row < kRows; ++row)
        passwordEdits[row] = new QLineEdit;
    ui->setupUi(this);

    connect(ui->pushButtonOk, SIGNAL(clicked()), this, SLOT(OnOk()));
    connect(ui->pushButtonCancel, SIGNAL(clicked()), this, SLOT(OnCancel()));
    connect(ui->comboBoxAutoMode, SIGNAL(currentIndexChanged(int)), this, SLOT(OnPanelTypeDisable(int)));

    ipValidator = newIpv4Validator(this);
    QHeaderView* rowHeader = ui->tableWidget->verticalHeader();
    QHeaderView* columnHeader = ui->tableWidget->horizontalHeader();
    // The designed widths are the least; a longer header text or a whole address widens them.
    const int rowHeaderWidth = qMax(kRowHeaderWidth, rowHeader->sizeHint().width());
    rowHeader->setFixedWidth(rowHeaderWidth);
    rowHeader->setSectionResizeMode(QHeaderView::Fixed);
    columnHeader->setSectionResizeMode(QHeaderView::Fixed);
    for (int row = 0; row < kRows; ++row) {
        ipEdits[row]->setValidator(ipValidator);
        fitAddressField(ipEdits[row]);
        passwordEdits[row]->setMaxLength(kPasswordLength);
        passwordEdits[row]->setEchoMode(QLineEdit::Normal);
    }
    const int grid = 1;
    int columnWidths[2] = { 0, 0 };
    for (int column = 0; column < 2; ++column) {
        columnWidths[column] = std::max({ kColumnWidth, columnHeader->sectionSizeHint(column),
                                          (column == 0 ? ipEdits : passwordEdits)[0]->minimumWidth() + grid });
        ui->tableWidget->setColumnWidth(column, columnWidths[column]);
    }
    // All four rows and both columns stay in view whatever height the style gives rows and header.
    const int frame = 2 * ui->tableWidget->frameWidth();
    ui->tableWidget->setMinimumSize(rowHeaderWidth + columnWidths[0] + columnWidths[1] + frame,
                                    columnHeader->sizeHint().height() + rowHeader->length() + frame);
    // Tab walks the cells row by row and then leaves the table for OK and Cancel (Shift+Tab from the
    // first cell goes back to the combo boxes); the table's own Tab navigation would keep it circling the cells.
    ui->tableWidget->setTabKeyNavigation(false);
    ui->tableWidget->setFocusPolicy(Qt::NoFocus);
    QWidget* previous = ui->comboBoxType;
    for (int row = 0; row < kRows; ++row) {
        ui->tableWidget->setCellWidget(row, 0, ipEdits[row]);
        ui->tableWidget->setCellWidget(row, 1, passwordEdits[row]);
        setTabOrder(previous, ipEdits[row]);
        setTabOrder(ipEdits[row], passwordEdits[row]);
        previous = passwordEdits[row];
    }
    setTabOrder(previous, ui->pushButtonOk);
    setTabOrder(ui->pushButtonOk, ui->pushButtonCancel);
    fixDialogFrame(this);
}

ParamCfg::~ParamCfg()
{
    delete ui;
}

int ParamCfg::ReadParam()
{
    quint8 keyLock = 0;
    quint8 autoMode = 0;
    quint32 panelType = 0;
    QString remoteAddress;
    QString remotePassword;
    QString slaveAddresses[kRows - 1];
    QString slavePasswords[kRows - 1];
    const int read = DeviceWait::Run([&] {
        if (client->GetShortPressKeyState(keyLock, autoMode, panelType) != 0)
            return -1;
        if (client->GetRemoteDevice(remoteAddress, remotePassword) != 0)
            return -1;
        return client->GetSlaveDevice(slaveAddresses, slavePasswords);
    });
    if (read != 0)
        return -1;

    // Only a complete read reaches the form: half of the device's settings would mislead.
    ui->comboBoxLock->setCurrentIndex(keyLock != 0 ? 1 : 0);
    ui->comboBoxAutoMode->setCurrentIndex(autoMode != 0 ? 1 : 0);
    ui->comboBoxType->setCurrentIndex(panelType >= 1 ? 1 : 0);
    ui->comboBoxType->setEnabled(autoMode == 0);
    ipEdits[0]->setText(remoteAddress);
    passwordEdits[0]->setText(remotePassword);
    for (int row = 1; row < kRows; ++row) {
        ipEdits[row]->setText(slaveAddresses[row - 1]);
        passwordEdits[row]->setText(slavePasswords[row - 1]);
    }
    return 0;
}

int ParamCfg::WriteParam()
{
    QString addresses[kRows];
    for (int row = 0; row < kRows; ++row) {
        // Never send an address the check would refuse: the device would store a meaningless one.
        if (rowAddress(row, &addresses[row]) != RowAddress::Valid)
            return -1;
    }
    const quint8 keyLock = ui->comboBoxLock->currentIndex() != 0 ? 1 : 0;
    const quint8 autoMode = ui->comboBoxAutoMode->currentIndex() != 0 ? 1 : 0;
    const quint32 panelType = quint32(ui->comboBoxType->currentIndex());
    const QString passwords[kRows]
        = { passwordEdits[0]->text(), passwordEdits[1]->text(), passwordEdits[2]->text(), passwordEdits[3]->text() };
    return DeviceWait::Run([&] {
        if (client->SetShortPressKeyState(keyLock, autoMode, panelType) != 0)
            return -1;
        if (client->SetRemoteDevice(addresses[0], passwords[0]) != 0)
            return -1;
        return client->SetSlaveDevice(addresses + 1, passwords + 1) != 0 ? -1 : 0;
    });
}

ParamCfg::RowAddress ParamCfg::rowAddress(int row, QString* text) const
{
    const QString entered = ipEdits[row]->text();
    if (entered.isEmpty()) {
        *text = kNoAddress;
        return RowAddress::Valid;
    }
    quint32 address = 0;
    if (!parseIpv4(entered, &address) || address == 0xFFFFFFFFu)
        return RowAddress::Invalid;
    *text = ipv4ToText(address);
    return RowAddress::Valid;
}

bool ParamCfg::CheckRemoteACO()
{
    QStringList seen;
    for (int row = 0; row < kRows; ++row) {
        QString text;
        if (rowAddress(row, &text) != RowAddress::Valid) {
            warn(tr("The Remote ACO IP address is invalid."));
            return false;
        }
        if (!seen.contains(text)) {
            seen.append(text);
        } else if (text != kNoAddress) {
            warn(tr("The Remote ACO IP address is repeated."));
            return false;
        }
    }
    return true;
}

void ParamCfg::MaskPasswords()
{
    for (QLineEdit* edit : passwordEdits)
        edit->setEchoMode(QLineEdit::Password);
}

void ParamCfg::warn(const QString& message)
{
    QMessageBox::warning(this, windowTitle(), message, QMessageBox::Ok);
}

void ParamCfg::OnPanelTypeDisable(int index)
{
    ui->comboBoxType->setEnabled(index == 0);
}

void ParamCfg::OnOk()
{
    if (CheckRemoteACO())
        accept();
}

void ParamCfg::OnCancel()
{
    reject();
}
