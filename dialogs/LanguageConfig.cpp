#include "LanguageConfig.h"
#include "ui_LanguageConfig.h"

#include "FixedDialog.h"
#include "DiveVodSettings.h"

#include <QCoreApplication>
#include <QEvent>
#include <QSettings>
#include <QTranslator>

LanguageConfig::LanguageConfig(QWidget* parent, const QString& languageDir)
    : QDialog(parent)
    , ui(new Ui::LanguageConfig)
    , qtTranslator(new QTranslator)
    , appTranslator(new QTranslator)
    , language(0)
{
    ui->setupUi(this);
    fixDialogFrame(this);

    // A missing file leaves an empty translator: installing it then changes no text.
    const QString dir = languageDir.isEmpty() ? QCoreApplication::applicationDirPath() + QStringLiteral("/../lang")
                                              : languageDir;
    qtTranslator->load(dir + QStringLiteral("/qt_zh_CN.qm"));
    appTranslator->load(dir + QStringLiteral("/divevod_zh.qm"));

    connect(ui->pushButtonOk, SIGNAL(clicked()), this, SLOT(OnOk()));
    connect(ui->pushButtonCancel, SIGNAL(clicked()), this, SLOT(OnCancel()));
}

LanguageConfig::~LanguageConfig()
{
    installTranslators(false);
    delete appTranslator;
    delete qtTranslator;
    delete ui;
}

void LanguageConfig::installTranslators(bool chinese)
{
    if (chinese) {
        QCoreApplication::installTranslator(qtTranslator);
        QCoreApplication::installTranslator(appTranslator);
    } else {
        QCoreApplication::removeTranslator(qtTranslator);
        QCoreApplication::removeTranslator(appTranslator);
    }
}

void LanguageConfig::SetLanguage(int index)
{
    language = index;
    installTranslators(index == 1);
}

void LanguageConfig::ShowLanguage()
{
    ui->comboBox->setCurrentIndex(language);
}

void LanguageConfig::ApplyLanguage()
{
    const int index = ui->comboBox->currentIndex();
    installTranslators(index == 1);
    language = index;
    QSettings settings{kSettingsOrganisation, kSettingsApplication};
    settings.setValue(QStringLiteral("Language"), index);
}

void LanguageConfig::OnOk()
{
    accept();
}

void LanguageConfig::OnCancel()
{
    reject();
}

void LanguageConfig::changeEvent(QEvent* event)
{
    if (event->type() == QEvent::LanguageChange) {
        // retranslateUi resets the combo box texts but keeps its selection.
        const int index = ui->comboBox->currentIndex();
        ui->retranslateUi(this);
        ui->comboBox->setCurrentIndex(index);
        fixDialogFrame(this);
    }
    QDialog::changeEvent(event);
}
