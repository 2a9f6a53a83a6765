#ifndef WINDOWFIXTURE_H
#define WINDOWFIXTURE_H

#include "AppClock.h"
#include "DiveVod.h"
#include "LanguageConfig.h"
#include "TestSupport.h"

#include <QAction>
#include <QComboBox>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QTest>
#include <QDir>
#include <QStringList>
#include <QTableWidget>
#include <QTemporaryDir>

#include <memory>

// A main window with a logs directory of its own, and the alarm table read back as text.
struct WindowFixture
{
    QTemporaryDir logs;
    LanguageConfig language{nullptr, QStringLiteral(DIVEVOD_LANG_DIR)};
    std::unique_ptr<DiveVod> window;

    WindowFixture()
    {
        window.reset(new DiveVod(&language));
        window->SetLogsDirectory(logs.path());
    }

    QTableWidget* table() const { return window->findChild<QTableWidget*>(QStringLiteral("tableWidget")); }
    QAction* action(const char* name) const { return window->findChild<QAction*>(QLatin1String(name)); }

    // Each row as "input|alarm type|alarm status|notes".
    QStringList rows() const
    {
        QStringList out;
        for (int r = 0; r < table()->rowCount(); ++r) {
            QStringList cells;
            for (int c = 2; c < 6; ++c)
                cells << table()->item(r, c)->text();
            out << cells.join(QLatin1Char('|'));
        }
        return out;
    }

    // Types into the login dialog the way a user would and presses OK.
    static void fillLogin(QWidget* dialog, const QString& ip, int user, const QString& password)
    {
        auto* ipEdit = dialog->findChild<QLineEdit*>(QStringLiteral("lineEditIP"));
        ipEdit->clear();
        QTest::keyClicks(ipEdit, ip);
        dialog->findChild<QComboBox*>(QStringLiteral("comboBoxUser"))->setCurrentIndex(user);
        QTest::keyClicks(dialog->findChild<QLineEdit*>(QStringLiteral("lineEditPassword")), password);
        QTest::mouseClick(dialog->findChild<QPushButton*>(QStringLiteral("pushButtonOk")), Qt::LeftButton);
    }

    // Logs in through the Connect command; true when the window reached the logged-in state.
    bool login(const QString& ip, int user = 0, const QString& password = QStringLiteral("123456"))
    {
        TestSupport::onNextModal([=](QWidget* dialog) { fillLogin(dialog, ip, user, password); });
        action("actionConnect")->trigger();
        return action("actionDisconnect")->isEnabled() && !action("actionConnect")->isEnabled();
    }

    // Answers the next message box with OK and hands back its text (empty when none came in time).
    static void answerMessage(QString* text, int timeoutMs = 15000)
    {
        TestSupport::onNextModal(
            [text](QWidget* w) {
                auto* box = qobject_cast<QMessageBox*>(w);
                *text = box ? box->text() : QStringLiteral("<%1>").arg(w->metaObject()->className());
                if (box)
                    box->button(QMessageBox::Ok)->click();
            },
            timeoutMs);
    }

    QString connectStyle() const { return window->findChild<QWidget*>(QStringLiteral("labelConnect"))->styleSheet(); }

    QStringList logFiles() const { return QDir(logs.path()).entryList(QDir::Files, QDir::Name); }

    QByteArray logFile(const QString& name) const
    {
        QFile file(logs.filePath(name));
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<missing>");
    }
};

// Fixes the clock for the life of the object.
struct FixedClock
{
    QDateTime now;
    explicit FixedClock(const QDateTime& start)
        : now(start)
    {
        AppClock::SetSource([this]() { return now; });
    }
    ~FixedClock() { AppClock::SetSource(nullptr); }
};

#endif // WINDOWFIXTURE_H
