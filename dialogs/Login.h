#ifndef LOGIN_H
#define LOGIN_H

#include <QDialog>

namespace Ui {
class Login;
}

// Asks for the device's address, the user and the password, and hands them back unchecked.
class Login : public QDialog
{
    Q_OBJECT

public:
    explicit Login(QWidget* parent = nullptr);
    ~Login() override;

    void SetIP(const QString& ip);
    // user: 0 admin, 1 guest.
    void SetUser(int user);
    // user: 0 admin, 1 guest.
    void GetLoginInfo(QString& ip, int& user, QString& password);

public slots:
    void OnDisableIp(int status);

protected:
    void keyReleaseEvent(QKeyEvent* event) override;

private slots:
    void OnLogin();
    void OnCancel();

private:
    Ui::Login* ui;
};

#endif // LOGIN_H
