#include "Login.h"
#include "ui_Login.h"

#include "FixedDialog.h"
#include "PassWordLineEdit.h"

#include <QKeyEvent>
#include <QRegExp>
#include <QRegExpValidator>

Login::Login(QWidget* parent)
    : QDialog(parent)
    , ui(new Ui::Login)
{
    ui->setupUi(this);
    fitAddressField(ui->lineEditIP);
    fixDialogFrame(this);

    // The last group stops at 254: 255 would be the subnet's broadcast address.
    const QRegExp ip(QStringLiteral("((2[0-4]\\d|25[0-5]|[1]?\\d\\d?)\\.){3}(2[0-4]\\d|25[0-4]|[1]?\\d\\d?)"),
                     Qt::CaseSensitive, QRegExp::RegExp);
    ui->lineEditIP->setValidator(new QRegExpValidator(ip, this));
    const QRegExp password(QStringLiteral("(^[A-Za-z0-9]+$)"), Qt::CaseSensitive, QRegExp::RegExp);
    ui->lineEditPassword->setValidator(new QRegExpValidator(password, this));
    ui->lineEditPassword->setFocus(Qt::OtherFocusReason);

    connect(ui->pushButtonOk, SIGNAL(clicked()), this, SLOT(OnLogin()));
    connect(ui->pushButtonCancel, SIGNAL(clicked()), this, SLOT(OnCancel()));

    // The password field warns about Caps Lock while the mouse merely hovers over it.
    setMouseTracking(true);
    ui->lineEditPassword->setMouseTracking(true);
}

Login::~Login()
{
    delete ui;
}

void Login::SetIP(const QString& ip)
{
    ui->lineEditIP->setText(ip);
}

void Login::SetUser(int user)
{
    ui->comboBoxUser->setCurrentIndex(user);
}

void Login::GetLoginInfo(QString& ip, int& user, QString& password)
{
    ip = ui->lineEditIP->text();
    user = ui->comboBoxUser->currentIndex();
    password = ui->lineEditPassword->text();
}

void Login::OnLogin()
{
    accept();
}

void Login::OnCancel()
{
    reject();
}

void Login::OnDisableIp(int status)
{
    ui->lineEditIP->setEnabled(status != 1);
}

void Login::keyReleaseEvent(QKeyEvent* event)
{
    if (event->key() == Qt::Key_CapsLock)
        PassWordLineEdit::updateCapsLockWarning(PassWordLineEdit::warningPoint(this, ui->lineEditPassword));
    QDialog::keyReleaseEvent(event);
}
