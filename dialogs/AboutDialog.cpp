#include "AboutDialog.h"
#include "ui_AboutDialog.h"

#include "DiveVodVersion.h"

AboutDialog::AboutDialog(QWidget* parent)
    : QDialog(parent)
    , ui(new Ui::AboutDialog)
{
    ui->setupUi(this);
    setWindowFlags((windowFlags() & ~Qt::WindowContextHelpButtonHint) | Qt::MSWindowsFixedSizeDialogHint);
    // The hint alone fixes the size only on Windows; this does it everywhere, never cutting the contents.
    setFixedSize(size().expandedTo(minimumSizeHint()));
    ui->label_Version->setText(QStringLiteral(DIVEVOD_VERSION));
}

AboutDialog::~AboutDialog()
{
    delete ui;
}

void AboutDialog::on_pushButton_Close_clicked()
{
    reject();
}
