#include "ChangePassword.h"
#include "ui_ChangePassword.h"

#include "FixedDialog.h"
#include "PassWordLineEdit.h"

#include <QKeyEvent>
#include <QMessageBox>
#include <QRegExp>
#include <QRegExpValidator>

ChangePassword::ChangePassword(QWidget* parent)
    : QDialog(parent)
    , ui(new Ui::ChangePassword)
{
    ui->setupUi(this);
    fixDialogFrame(this);
    ui->lineEditNewPassword->setFocus(Qt::OtherFocusReason);

    const QRegExp password(QStringLiteral("(^[A-Za-z0-9]+$)"), Qt::CaseSensitive, QRegExp::RegExp);
    ui->lineEditNewPassword->setValidator(new QRegExpValidator(password, this));
    ui->lineEditComfirmPassword->setValidator(new QRegExpValidator(password, this));

    connect(ui->pushButtonOk, SIGNAL(clicked()), this, SLOT(OnOk()));
    connect(ui->pushButtonCancel, SIGNAL(clicked()), this, SLOT(OnCancel()));

    // Unlike Login, the warning here follows a click, not mere hovering (line edits track the mouse by default).
    ui->lineEditNewPassword->setMouseTracking(false);
    ui->lineEditComfirmPassword->setMouseTracking(false);
}

ChangePassword::~ChangePassword()
{
    delete ui;
}

void ChangePassword::SetUser(const QString& user)
{
    const int index = ui->comboBoxUser->findText(user);
    if (index >= 0)
        ui->comboBoxUser->setCurrentIndex(index);
}

void ChangePassword::GetPasswordInfo(QString& user, QString& newPassword, QString& confirmPassword)
{
    user = ui->comboBoxUser->currentText();
    newPassword = ui->lineEditNewPassword->text();
    confirmPassword = ui->lineEditComfirmPassword->text();
}

void ChangePassword::OnOk()
{
    const QString newPassword = ui->lineEditNewPassword->text();
    const QString confirmPassword = ui->lineEditComfirmPassword->text();
    if (newPassword.isEmpty() || confirmPassword.isEmpty()) {
        QMessageBox::warning(this, tr("Change Password"), tr("The password should not be blank."));
        return;
    }
    if (newPassword != confirmPassword) {
        QMessageBox::warning(this, tr("Change Password"), tr("The two passwords are mismatched."));
        return;
    }
    accept();
}

void ChangePassword::OnCancel()
{
    reject();
}

void ChangePassword::keyReleaseEvent(QKeyEvent* event)
{
    // The warning goes under whichever password field is being typed into, and nowhere else.
    PassWordLineEdit* field = nullptr;
    if (ui->lineEditNewPassword->hasFocus())
        field = ui->lineEditNewPassword;
    else if (ui->lineEditComfirmPassword->hasFocus())
        field = ui->lineEditComfirmPassword;
    if (field && event->key() == Qt::Key_CapsLock)
        PassWordLineEdit::updateCapsLockWarning(PassWordLineEdit::warningPoint(this, field));
    QDialog::keyReleaseEvent(event);
}
