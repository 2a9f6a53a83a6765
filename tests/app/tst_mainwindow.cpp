// Main window shell: settings, alarm-area collapse, language and About commands.
#include "AboutDialog.h"
#include "DiveVod.h"
#include "DiveVodResources.h"
#include "LanguageConfig.h"
#include "TestSupport.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QHeaderView>
#include <QLabel>
#include <QLayout>
#include <QMenuBar>
#include <QPushButton>
#include <QSettings>
#include <QTableWidget>
#include <QTemporaryDir>
#include <QTest>
#include <QTimeEdit>
#include <QToolButton>

class TestMainWindow : public QObject
{
    Q_OBJECT

private:
    static QSettings* store() { return new QSettings(QStringLiteral("Brennhart"), QStringLiteral("DiveVod")); }
    static QString setting(const QString& key)
    {
        QScopedPointer<QSettings> s(store());
        return s->value(key).toString();
    }
    static void setSetting(const QString& key, const QVariant& value)
    {
        QScopedPointer<QSettings> s(store());
        s->setValue(key, value);
    }
    // Chooses an entry in the language dialog and presses a button, the way a user would.
    static void answerLanguageDialog(int index, const QString& button)
    {
        TestSupport::onNextModal([index, button](QWidget* dialog) {
            auto* combo = dialog->findChild<QComboBox*>(QStringLiteral("comboBox"));
            QVERIFY(combo);
            combo->setCurrentIndex(index);
            QTest::mouseClick(dialog->findChild<QPushButton*>(button), Qt::LeftButton);
        });
    }
    static QStringList menuTitles(QMainWindow& w)
    {
        QStringList titles;
        for (QAction* a : w.menuBar()->actions())
            titles << a->text();
        return titles;
    }

private slots:
    void initTestCase()
    {
        initDiveVodResources();
        TestSupport::isolateSettings();
    }
    void init() { TestSupport::clearSettings(); }
    void cleanup()
    {
        QTRY_VERIFY(QApplication::activeModalWidget() == nullptr);
    }

    void firstStartWritesDefaults()
    {
        LanguageConfig language(nullptr, QStringLiteral(DIVEVOD_LANG_DIR));
        DiveVod w(&language);
        QCOMPARE(setting(QStringLiteral("AutoSaveEnable")), QStringLiteral("true"));
        QCOMPARE(setting(QStringLiteral("AutoSaveTime")), QStringLiteral("08:00:00"));
        QVERIFY(w.findChild<QCheckBox*>(QStringLiteral("checkBoxAutoSave"))->isChecked());
        QVERIFY(w.findChild<QTimeEdit*>(QStringLiteral("timeEdit"))->isEnabled());
        QCOMPARE(language.currentLanguage(), 0);
        QVERIFY(!w.findChild<QAction*>(QStringLiteral("actionDisconnect"))->isEnabled());
        QVERIFY(w.findChild<QAction*>(QStringLiteral("actionConnect"))->isEnabled());
        QCOMPARE(w.windowTitle(), QStringLiteral("Velmora ACO-GPIO Config"));
        QCOMPARE(menuTitles(w), (QStringList{"Device", "Language", "Help"}));
        auto* table = w.findChild<QTableWidget*>(QStringLiteral("tableWidget"));
        QCOMPARE(table->columnCount(), 6);
        QCOMPARE(table->horizontalHeaderItem(5)->text(), QStringLiteral("Notes"));
        QVERIFY(table->alternatingRowColors());
        QVERIFY(!table->verticalHeader()->isVisible() || table->verticalHeader()->isHidden());
    }

    void storedSettingsAreLoadedWithoutWritingBack()
    {
        setSetting(QStringLiteral("AutoSaveEnable"), QStringLiteral("false"));
        setSetting(QStringLiteral("AutoSaveTime"), QStringLiteral("17:45:30"));
        LanguageConfig language(nullptr, QStringLiteral(DIVEVOD_LANG_DIR));
        DiveVod w(&language);
        QVERIFY(!w.findChild<QCheckBox*>(QStringLiteral("checkBoxAutoSave"))->isChecked());
        QVERIFY(!w.findChild<QTimeEdit*>(QStringLiteral("timeEdit"))->isEnabled());
        QCOMPARE(w.findChild<QTimeEdit*>(QStringLiteral("timeEdit"))->time(), QTime(17, 45, 30));
        QCOMPARE(setting(QStringLiteral("AutoSaveEnable")), QStringLiteral("false"));
        QCOMPARE(setting(QStringLiteral("AutoSaveTime")), QStringLiteral("17:45:30"));
    }

    void enableTextIsCaseSensitive()
    {
        setSetting(QStringLiteral("AutoSaveEnable"), QStringLiteral("True"));
        LanguageConfig language(nullptr, QStringLiteral(DIVEVOD_LANG_DIR));
        DiveVod w(&language);
        QVERIFY(!w.findChild<QCheckBox*>(QStringLiteral("checkBoxAutoSave"))->isChecked());
        QVERIFY(!w.findChild<QTimeEdit*>(QStringLiteral("timeEdit"))->isEnabled());
    }

    void autoSaveControlsWriteTheStore()
    {
        LanguageConfig language(nullptr, QStringLiteral(DIVEVOD_LANG_DIR));
        DiveVod w(&language);
        auto* box = w.findChild<QCheckBox*>(QStringLiteral("checkBoxAutoSave"));
        auto* time = w.findChild<QTimeEdit*>(QStringLiteral("timeEdit"));
        box->setChecked(false);
        QCOMPARE(setting(QStringLiteral("AutoSaveEnable")), QStringLiteral("false"));
        QVERIFY(!time->isEnabled());
        box->setChecked(true);
        QCOMPARE(setting(QStringLiteral("AutoSaveEnable")), QStringLiteral("true"));
        QVERIFY(time->isEnabled());
        time->setTime(QTime(21, 5, 9));
        QCOMPARE(setting(QStringLiteral("AutoSaveTime")), QStringLiteral("21:05:09"));
    }

    void alarmAreaCollapsesAndExpands()
    {
        LanguageConfig language(nullptr, QStringLiteral(DIVEVOD_LANG_DIR));
        DiveVod w(&language);
        w.show();
        QVERIFY(QTest::qWaitForWindowExposed(&w));
        auto* button = w.findChild<QToolButton*>(QStringLiteral("toolButton"));
        auto* area = w.findChild<QWidget*>(QStringLiteral("widget_2"));
        QLayout* layout = w.layout();
        for (int round = 0; round < 2; ++round) {
            QCOMPARE(button->arrowType(), Qt::UpArrow);
            QVERIFY(area->isVisible());
            QTest::mouseClick(button, Qt::LeftButton);
            QCOMPARE(button->arrowType(), Qt::DownArrow);
            QVERIFY(!area->isVisible());
            QCOMPARE(layout->sizeConstraint(), QLayout::SetFixedSize);
            // The window itself shrinks to the panel area instead of leaving an empty half.
            QTRY_VERIFY(w.height() < 400);
            QTest::mouseClick(button, Qt::LeftButton);
            QCOMPARE(button->arrowType(), Qt::UpArrow);
            QVERIFY(area->isVisible());
            QCOMPARE(layout->sizeConstraint(), QLayout::SetMinAndMaxSize);
            QCOMPARE(area->minimumHeight(), 0);
            QTRY_VERIFY(area->height() >= 550);
        }
    }

    void chineseRetranslatesAndCancelChangesNothing()
    {
        LanguageConfig language(nullptr, QStringLiteral(DIVEVOD_LANG_DIR));
        language.SetLanguage(0);
        DiveVod w(&language);
        w.show();
        QVERIFY(QTest::qWaitForWindowExposed(&w));

        answerLanguageDialog(1, QStringLiteral("pushButtonCancel"));
        w.findChild<QAction*>(QStringLiteral("actionConfigure"))->trigger();
        QCOMPARE(language.currentLanguage(), 0);
        QVERIFY(setting(QStringLiteral("Language")).isEmpty());
        QCOMPARE(menuTitles(w).first(), QStringLiteral("Device"));

        answerLanguageDialog(1, QStringLiteral("pushButtonOk"));
        w.findChild<QAction*>(QStringLiteral("actionConfigure"))->trigger();
        QCOMPARE(language.currentLanguage(), 1);
        QCOMPARE(setting(QStringLiteral("Language")), QStringLiteral("1"));
        QCOMPARE(menuTitles(w).first(), QString::fromUtf8("设备"));
        auto* table = w.findChild<QTableWidget*>(QStringLiteral("tableWidget"));
        QCOMPARE(table->horizontalHeaderItem(0)->text(), QString::fromUtf8("序号"));
        QCOMPARE(w.findChild<QPushButton*>(QStringLiteral("pushButtonClear"))->text(), QString::fromUtf8("清除"));
        // The toolkit's own texts follow too.
        QCOMPARE(QCoreApplication::translate("QPlatformTheme", "Cancel"), QString::fromUtf8("取消"));

        // The dialog offers the current language and switching back removes both translators.
        TestSupport::onNextModal([](QWidget* dialog) {
            QCOMPARE(dialog->findChild<QComboBox*>(QStringLiteral("comboBox"))->currentIndex(), 1);
            dialog->findChild<QComboBox*>(QStringLiteral("comboBox"))->setCurrentIndex(0);
            QTest::mouseClick(dialog->findChild<QPushButton*>(QStringLiteral("pushButtonOk")), Qt::LeftButton);
        });
        w.findChild<QAction*>(QStringLiteral("actionConfigure"))->trigger();
        QCOMPARE(setting(QStringLiteral("Language")), QStringLiteral("0"));
        QCOMPARE(menuTitles(w).first(), QStringLiteral("Device"));
        QCOMPARE(QCoreApplication::translate("QPlatformTheme", "Cancel"), QStringLiteral("Cancel"));
    }

    void missingTranslationsStoreChoiceButStayEnglish()
    {
        QTemporaryDir empty;
        LanguageConfig language(nullptr, empty.path());
        DiveVod w(&language);
        answerLanguageDialog(1, QStringLiteral("pushButtonOk"));
        w.findChild<QAction*>(QStringLiteral("actionConfigure"))->trigger();
        QCOMPARE(setting(QStringLiteral("Language")), QStringLiteral("1"));
        QCOMPARE(language.currentLanguage(), 1);
        QCOMPARE(menuTitles(w).first(), QStringLiteral("Device"));
        language.SetLanguage(0);
    }

    void storedChineseAppliesAtStart()
    {
        LanguageConfig language(nullptr, QStringLiteral(DIVEVOD_LANG_DIR));
        language.SetLanguage(1);
        DiveVod w(&language);
        QCOMPARE(w.windowTitle(), QString::fromUtf8("Velmora ACO-GPIO 配置"));
        language.SetLanguage(0);
    }

    void languageDialogIsCentredOverTheWindow()
    {
        LanguageConfig language(nullptr, QStringLiteral(DIVEVOD_LANG_DIR));
        DiveVod w(&language);
        w.move(100, 50);
        w.show();
        QVERIFY(QTest::qWaitForWindowExposed(&w));
        // The position is worked out from the sizes at the moment the command runs.
        const QPoint expected(w.x() + (w.width() - language.width()) / 2, w.y() + (w.height() - language.height()) / 2);
        QPoint seen;
        bool fixedSize = false;
        TestSupport::onNextModal([&seen, &fixedSize](QWidget* dialog) {
            seen = dialog->pos();
            fixedSize = dialog->minimumSize() == dialog->maximumSize();
            QTest::mouseClick(dialog->findChild<QPushButton*>(QStringLiteral("pushButtonCancel")), Qt::LeftButton);
        });
        w.findChild<QAction*>(QStringLiteral("actionConfigure"))->trigger();
        QCOMPARE(seen, expected);
        QVERIFY(fixedSize);
    }

    void aboutShowsVersionAndCloses()
    {
        LanguageConfig language(nullptr, QStringLiteral(DIVEVOD_LANG_DIR));
        DiveVod w(&language);
        QString version;
        QString title;
        bool helpHint = true;
        bool fixedSize = false;
        TestSupport::onNextModal([&](QWidget* dialog) {
            fixedSize = dialog->minimumSize() == dialog->maximumSize();
            title = dialog->windowTitle();
            version = dialog->findChild<QLabel*>(QStringLiteral("label_Version"))->text();
            helpHint = dialog->windowFlags().testFlag(Qt::WindowContextHelpButtonHint);
            QTest::mouseClick(dialog->findChild<QPushButton*>(QStringLiteral("pushButton_Close")), Qt::LeftButton);
        });
        w.findChild<QAction*>(QStringLiteral("actionAbout"))->trigger();
        QCOMPARE(title, QStringLiteral("About"));
        QCOMPARE(version, QStringLiteral("1.1.46"));
        QVERIFY(!helpHint);
        QVERIFY(fixedSize);
    }
};

QTEST_MAIN(TestMainWindow)
#include "tst_mainwindow.moc"
