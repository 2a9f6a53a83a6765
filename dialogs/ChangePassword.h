#ifndef CHANGEPASSWORD_H
#define CHANGEPASSWORD_H

#include <QDialog>

namespace Ui {
class ChangePassword;
}

// Chooses an account and takes its new password twice; accepts only two equal, filled entries.
class ChangePassword : public QDialog
{
    Q_OBJECT

public:
    explicit ChangePassword(QWidget* parent = nullptr);
    ~ChangePassword() override;

    // user: the account's displayed name ("admin" or "guest"); SetUser leaves the choice for any other text.
    void SetUser(const QString& user);
    void GetPasswordInfo(QString& user, QString& newPassword, QString& confirmPassword);

protected:
    void keyReleaseEvent(QKeyEvent* event) override;

private slots:
    void OnOk();
    void OnCancel();

private:
    Ui::ChangePassword* ui;
};

#endif // CHANGEPASSWORD_H
