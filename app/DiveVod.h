#ifndef DIVEVOD_H
#define DIVEVOD_H

#include <QMainWindow>
#include <QString>
#include <QTimer>

class LanguageConfig;
class QTime;

namespace Ui {
class DiveVodClass;
}

// The one main window: menus, alarm table, auto-save controls and the live status panel.
class DiveVod : public QMainWindow
{
    Q_OBJECT

public:
    explicit DiveVod(LanguageConfig* language, QWidget* parent = nullptr, Qt::WindowFlags flags = Qt::WindowFlags());
    ~DiveVod() override;

private slots:
    void OnAbout();
    void OnLanguageConfig();
    void OnSetAutoSaveTimeEnable(int status);
    void OnTimeChanged(const QTime& time);
    void OnHideWidget();

private:
    void LoadSettings();

    LanguageConfig* languageConfig;
    int disconnected;
    bool autoSaveEnabled;
    QString autoSaveTime;
    QTimer autoSaveTimer;
    Ui::DiveVodClass* ui;
};

#endif // DIVEVOD_H
