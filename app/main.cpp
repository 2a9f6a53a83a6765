#include "CommandLine.h"
#include "DiveVod.h"
#include "DiveVodResources.h"
#include "DiveVodSettings.h"
#include "LanguageConfig.h"
#include "TerminationSignals.h"

#include <QApplication>
#include <QIcon>
#include <QSettings>

int main(int argc, char* argv[])
{
    if (const int code = AnswerInformationOptions(argc, argv); code >= 0) {
        return code;
    }
    auto* app = new QApplication(argc, argv);
    // Names the user's data directory (~/.local/share/Brennhart/DiveVod), where the CSV files go when
    // the program's own logs directory is not writable.
    QCoreApplication::setOrganizationName(QString(kSettingsOrganisation));
    QCoreApplication::setApplicationName(QString(kSettingsApplication));
    initDiveVodResources();
    // The same icon as the desktop entry's, for the title bar and the task switcher.
    QIcon icon;
    for (const char* size : { "16", "32", "48", "256" })
        icon.addFile(QStringLiteral(":/DiveVod/Resources/divevod-%1.png").arg(QLatin1String(size)));
    QApplication::setWindowIcon(icon);

    auto* language = new LanguageConfig(nullptr);
    auto* settings = new QSettings(kSettingsOrganisation, kSettingsApplication);
    language->SetLanguage(settings->value(QStringLiteral("Language"), 0).toInt());

    auto* window = new DiveVod(language, nullptr, Qt::WindowFlags());
    window->OpenAlarmJournal();
    window->show();
    auto* termination = new TerminationSignals(window);
    const int code = app->exec();

    delete termination;
    delete window;
    delete settings;
    delete language;
    delete app;
    return code;
}
