#include "DiveVod.h"
#include "ui_DiveVod.h"

#include "AboutDialog.h"
#include "DiveVodSettings.h"
#include "LanguageConfig.h"

#include <QApplication>
#include <QSettings>
#include <QStyle>
#include <QStyleFactory>
#include <QTime>

namespace {
const char kTimeFormat[] = "hh:mm:ss";
} // namespace

DiveVod::DiveVod(LanguageConfig* language, QWidget* parent, Qt::WindowFlags flags)
    : QMainWindow(parent, flags)
    , languageConfig(language)
    , disconnected(1)
    , autoSaveEnabled(false)
    , ui(new Ui::DiveVodClass)
{
    ui->setupUi(this);
    LoadSettings();

    // Where the platform has no such style the current one stays.
    if (QStyle* style = QStyleFactory::create(QStringLiteral("plastique")))
        QApplication::setStyle(style);

    ui->tableWidget->setAlternatingRowColors(true);
    ui->actionDisconnect->setEnabled(false);

    // LoadSettings ran before these, so filling the form from the store did not write it back.
    connect(ui->actionAbout, SIGNAL(triggered()), this, SLOT(OnAbout()));
    connect(ui->actionConfigure, SIGNAL(triggered()), this, SLOT(OnLanguageConfig()));
    connect(ui->checkBoxAutoSave, SIGNAL(stateChanged(int)), this, SLOT(OnSetAutoSaveTimeEnable(int)));
    connect(ui->timeEdit, SIGNAL(timeChanged(const QTime&)), this, SLOT(OnTimeChanged(const QTime&)));
    connect(ui->toolButton, SIGNAL(clicked()), this, SLOT(OnHideWidget()));
}

DiveVod::~DiveVod()
{
    delete ui;
}

void DiveVod::LoadSettings()
{
    QSettings settings{kSettingsOrganisation, kSettingsApplication};

    const QString time = settings.value(QStringLiteral("AutoSaveTime")).toString();
    const QString enable = settings.value(QStringLiteral("AutoSaveEnable")).toString();

    if (time.isEmpty())
        settings.setValue(QStringLiteral("AutoSaveTime"), ui->timeEdit->text());
    else
        ui->timeEdit->setTime(QTime::fromString(time, QLatin1String(kTimeFormat)));

    if (enable.isEmpty())
        settings.setValue(QStringLiteral("AutoSaveEnable"),
                          ui->checkBoxAutoSave->isChecked() ? QStringLiteral("true") : QStringLiteral("false"));
    else
        ui->checkBoxAutoSave->setChecked(enable == QLatin1String("true"));

    autoSaveTime = ui->timeEdit->text();
    autoSaveEnabled = ui->checkBoxAutoSave->isChecked();
    ui->timeEdit->setEnabled(autoSaveEnabled);
}

void DiveVod::OnAbout()
{
    AboutDialog dialog(this);
    dialog.exec();
}

void DiveVod::OnLanguageConfig()
{
    const int x = this->x() + (width() - languageConfig->width()) / 2;
    const int y = this->y() + (height() - languageConfig->height()) / 2;
    languageConfig->move(x, y);
    languageConfig->ShowLanguage();
    if (languageConfig->exec() == QDialog::Accepted) {
        languageConfig->ApplyLanguage();
        ui->retranslateUi(this);
    }
}

void DiveVod::OnSetAutoSaveTimeEnable(int status)
{
    QSettings settings{kSettingsOrganisation, kSettingsApplication};
    autoSaveEnabled = status != 0;
    settings.setValue(QStringLiteral("AutoSaveEnable"), autoSaveEnabled ? QStringLiteral("true") : QStringLiteral("false"));
    ui->timeEdit->setEnabled(autoSaveEnabled);
}

void DiveVod::OnTimeChanged(const QTime& time)
{
    autoSaveTime = time.toString(QLatin1String(kTimeFormat));
    QSettings settings{kSettingsOrganisation, kSettingsApplication};
    settings.setValue(QStringLiteral("AutoSaveTime"), autoSaveTime);
}

void DiveVod::OnHideWidget()
{
    QLayout* layout = ui->centralWidget->layout();
    if (ui->toolButton->arrowType() == Qt::UpArrow) {
        ui->widget_2->hide();
        layout->setSizeConstraint(QLayout::SetFixedSize);
        ui->toolButton->setArrowType(Qt::DownArrow);
    } else {
        ui->widget_2->setMinimumHeight(550);
        layout->setSizeConstraint(QLayout::SetMinAndMaxSize);
        ui->widget_2->show();
        ui->toolButton->setArrowType(Qt::UpArrow);
        ui->widget_2->setMinimumHeight(0);
    }
}
