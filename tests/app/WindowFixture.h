#ifndef WINDOWFIXTURE_H
#define WINDOWFIXTURE_H

#include "AlarmJournal.h"
#include "AppClock.h"
#include "DiveVod.h"
#include "GPIOStatus2x1.h"
#include "GPIOStatus4x1.h"
#include "LanguageConfig.h"
#include "TestSupport.h"

#include <QtTest>
#include <QtWidgets>

#include <memory>

inline QString setting(const char* key) { return QSettings("Brennhart", "DiveVod").value(key).toString(); }
inline void setSetting(const char* key, const QVariant& v) { QSettings("Brennhart", "DiveVod").setValue(key, v); }

const QString kAsserted = QStringLiteral("|Connection Lost|Asserted|");
const QString kCleared = QStringLiteral("|Connection Lost|Cleared|");

// A main window with a logs directory of its own, and the alarm table read back as text.
struct WindowFixture
{
    QTemporaryDir logs;
    LanguageConfig language{nullptr, QStringLiteral(DIVEVOD_LANG_DIR)};
    std::unique_ptr<DiveVod> window{new DiveVod(&language)};

    WindowFixture() { window->SetLogsDirectory(logs.path()); }

    template <class T = QWidget> T* child(const char* name) const { return window->findChild<T*>(QLatin1String(name)); }
    QTableWidget* table() const { return child<QTableWidget>("tableWidget"); }
    QAction* action(const char* name) const { return child<QAction>(name); }
    void click(const char* name) const { QTest::mouseClick(child(name), Qt::LeftButton); }
    bool loggedIn() const { return action("actionDisconnect")->isEnabled() && !action("actionConnect")->isEnabled(); }
    bool connectShown() const { return !child("labelConnect")->styleSheet().contains(QLatin1String("disconnect.png")); }

    QString cell(int row, int column) const { return table()->item(row, column)->text(); }
    // Each row as "input|alarm type|alarm status|notes".
    QStringList rows() const
    {
        QStringList out;
        for (int r = 0; r < table()->rowCount(); ++r)
            out << QStringList{cell(r, 2), cell(r, 3), cell(r, 4), cell(r, 5)}.join(QLatin1Char('|'));
        return out;
    }

    void addRow(const QString& notes) const { window->AppendAlarmRow({AppClock::Now(), "Group A", "LED-IN 1", "Red", notes}); }

    // Types into the login dialog the way a user would and presses OK.
    static void fillLogin(QWidget* dialog, const QString& ip, int user, const QString& password)
    {
        auto* ipEdit = dialog->findChild<QLineEdit*>("lineEditIP");
        ipEdit->clear();
        QTest::keyClicks(ipEdit, ip);
        dialog->findChild<QComboBox*>("comboBoxUser")->setCurrentIndex(user);
        QTest::keyClicks(dialog->findChild<QLineEdit*>("lineEditPassword"), password);
        QTest::mouseClick(dialog->findChild<QPushButton*>("pushButtonOk"), Qt::LeftButton);
    }

    bool login(const QString& ip, int user = 0, const QString& password = QStringLiteral("123456"))
    {
        window->show();
        TestSupport::onNextModal([=](QWidget* dialog) { fillLogin(dialog, ip, user, password); });
        action("actionConnect")->trigger();
        return loggedIn();
    }

    QStringList logFiles() const { return QDir(logs.path()).entryList(QDir::Files, QDir::Name); }
    QByteArray logFile(const QString& name) const { return read(logs.filePath(name)); }
    static QByteArray read(const QString& path)
    {
        QFile file(path);
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<missing>");
    }
    int journalRows() const { return AlarmJournal::Read(logs.filePath(AlarmJournal::kFileName)).rows.size(); }
};

// Fixes the clock for the life of the object.
struct FixedClock
{
    QDateTime now;
    explicit FixedClock(const QDateTime& start) : now(start) { AppClock::SetSource([this]() { return now; }); }
    ~FixedClock() { AppClock::SetSource(nullptr); }
};

#endif // WINDOWFIXTURE_H
