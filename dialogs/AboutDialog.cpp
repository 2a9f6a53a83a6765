#include "AboutDialog.h"
#include "ui_AboutDialog.h"

#include "FixedDialog.h"
#include "DiveVodVersion.h"

AboutDialog::AboutDialog(QWidget* parent)
    : QDialog(parent)
    , ui(new Ui::AboutDialog)
{
    ui->setupUi(this);
    ui->label_Version->setText(QStringLiteral(DIVEVOD_VERSION));
    fixDialogFrame(this);
}

AboutDialog::~AboutDialog()
{
    delete ui;
}

void AboutDialog::on_pushButton_Close_clicked()
{
    reject();
}
