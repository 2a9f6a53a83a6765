#include "NetworkProperty.h"
#include "ui_NetworkProperty.h"

#include "FixedDialog.h"
#include "Ipv4Field.h"

#include <QHostAddress>
#include <QMessageBox>

namespace {
const quint32 kAllBits = 0xFFFFFFFFu;

// A half-typed or empty field counts as 0, which every check below treats as unusable or absent.
quint32 fieldValue(const QString& text)
{
    quint32 address = 0;
    return parseIpv4(text, &address) ? address : 0;
}

QHostAddress fieldAddress(const QString& text)
{
    quint32 address = 0;
    return parseIpv4(text, &address) ? QHostAddress(address) : QHostAddress();
}
} // namespace

NetworkProperty::NetworkProperty(QWidget* parent)
    : QDialog(parent)
    , ui(new Ui::NetworkProperty)
{
    ui->setupUi(this);
    addressValidator = newIpv4Validator(this);
    ui->lineEditIP->setValidator(addressValidator);
    ui->lineEditSubnetMask->setValidator(addressValidator);
    ui->lineEditGateway->setValidator(addressValidator);
    for (QLineEdit* field : { ui->lineEditIP, ui->lineEditSubnetMask, ui->lineEditGateway })
        fitAddressField(field);
    connect(ui->pushButtonOk, SIGNAL(clicked()), this, SLOT(OnOk()));
    connect(ui->pushButtonCancel, SIGNAL(clicked()), this, SLOT(OnCancel()));
    fixDialogFrame(this);
}

NetworkProperty::~NetworkProperty()
{
    delete ui;
}

void NetworkProperty::SetNetworkProperty(const QHostAddress& ip, const QHostAddress& mask, const QHostAddress& gateway)
{
    ui->lineEditIP->setText(ip.toString());
    ui->lineEditSubnetMask->setText(mask.toString());
    ui->lineEditGateway->setText(gateway.toString());
}

void NetworkProperty::GetNetworkProperty(QHostAddress& ip, QHostAddress& mask, QHostAddress& gateway) const
{
    ip = fieldAddress(ui->lineEditIP->text());
    mask = fieldAddress(ui->lineEditSubnetMask->text());
    gateway = fieldAddress(ui->lineEditGateway->text());
}

void NetworkProperty::SetInfo(const QString& text)
{
    ui->labelInfo->setText(text);
    fixDialogFrame(this); // room for the note's lines
}

QString NetworkProperty::CheckEntries(QLineEdit** field) const
{
    const quint32 ip = fieldValue(ui->lineEditIP->text());
    const quint32 mask = fieldValue(ui->lineEditSubnetMask->text());
    const quint32 gw = fieldValue(ui->lineEditGateway->text());
    *field = ui->lineEditIP;
    if (ip == 0 || ip == kAllBits)
        return tr("The IP address is invalid.");
    *field = ui->lineEditSubnetMask;
    if (mask == 0 || mask == kAllBits || ((mask - 1) | mask) != kAllBits)
        return tr("The subnet mask is invalid.");
    *field = ui->lineEditIP;
    const quint32 host = ip & ~mask;
    if (host == 0 || host == ~mask)
        return tr("The IP address is invalid.");
    *field = ui->lineEditGateway;
    // An empty gateway means none; a half-typed one would otherwise go to the device as 0.0.0.0.
    const QString gateway = ui->lineEditGateway->text();
    quint32 parsed = 0;
    if (!gateway.isEmpty() && !parseIpv4(gateway, &parsed))
        return tr("The gateway is invalid.");
    if (gw != 0 && (gw & mask) != (ip & mask))
        return tr("The IP address and gateway should not be in different network segment.");
    *field = nullptr;
    return QString();
}

void NetworkProperty::OnOk()
{
    QLineEdit* field = nullptr;
    const QString problem = CheckEntries(&field);
    if (problem.isEmpty()) {
        accept();
        return;
    }
    QMessageBox::warning(this, windowTitle(), problem, QMessageBox::Ok);
    // Back to the entry to correct, with its text selected for retyping.
    field->setFocus(Qt::OtherFocusReason);
    field->selectAll();
}

void NetworkProperty::OnCancel()
{
    reject();
}
