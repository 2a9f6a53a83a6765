#ifndef ABOUTDIALOG_H
#define ABOUTDIALOG_H

#include <QDialog>

namespace Ui {
class AboutDialog;
}

// Title, version and a Close button.
class AboutDialog : public QDialog
{
    Q_OBJECT

public:
    explicit AboutDialog(QWidget* parent = nullptr);
    ~AboutDialog() override;

private slots:
    void on_pushButton_Close_clicked();

private:
    Ui::AboutDialog* ui;
};

#endif // ABOUTDIALOG_H
