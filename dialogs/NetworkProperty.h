#ifndef NETWORKPROPERTY_H
#define NETWORKPROPERTY_H

#include <QDialog>

class QHostAddress;
class QLineEdit;
class QValidator;

namespace Ui {
class NetworkProperty;
}

// The device's own address, subnet mask and gateway; refuses any combination that cannot work.
class NetworkProperty : public QDialog
{
    Q_OBJECT

public:
    explicit NetworkProperty(QWidget* parent = nullptr);
    ~NetworkProperty() override;

    void SetNetworkProperty(const QHostAddress& ip, const QHostAddress& mask, const QHostAddress& gateway);
    void GetNetworkProperty(QHostAddress& ip, QHostAddress& mask, QHostAddress& gateway) const;
    void SetInfo(const QString& text);

private slots:
    void OnOk();
    void OnCancel();

private:
    // The first problem of the entries as a message and the field to correct, or an empty text when they
    // can be used.
    QString CheckEntries(QLineEdit** field) const;

    Ui::NetworkProperty* ui;
    QValidator* addressValidator;
};

#endif // NETWORKPROPERTY_H
