#ifndef LANGUAGECONFIG_H
#define LANGUAGECONFIG_H

#include <QDialog>

class QTranslator;

namespace Ui {
class LanguageConfig;
}

// The language dialog and, for the whole run, the owner of the two Chinese translators.
class LanguageConfig : public QDialog
{
    Q_OBJECT

public:
    // languageDir: where the .qm files are; empty means "<appdir>/../lang".
    explicit LanguageConfig(QWidget* parent = nullptr, const QString& languageDir = QString());
    ~LanguageConfig() override;

    void SetLanguage(int index);
    void ShowLanguage();
    void ApplyLanguage();
    int currentLanguage() const { return language; }

protected:
    void changeEvent(QEvent* event) override;

private slots:
    void OnOk();
    void OnCancel();

private:
    void installTranslators(bool chinese);

    Ui::LanguageConfig* ui;
    QTranslator* qtTranslator;
    QTranslator* appTranslator;
    int language;
};

#endif // LANGUAGECONFIG_H
