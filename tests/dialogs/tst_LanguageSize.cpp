// The language dialog keeps one size per language however often the language changes.
#include "LanguageConfig.h"

#include <QApplication>
#include <QComboBox>
#include <QLabel>
#include <QTest>

class TestLanguageSize : public QObject
{
    Q_OBJECT

private:
    // Translators announce themselves with posted events: let them arrive.
    static void switchTo(LanguageConfig& dialog, int language)
    {
        dialog.SetLanguage(language);
        QCoreApplication::sendPostedEvents();
        QCOMPARE(dialog.findChild<QLabel*>(QStringLiteral("label"))->text() == QLatin1String("Select Language:"),
                 language == 0);
    }

private slots:
    void sizeStaysPerLanguage_data()
    {
        QTest::addColumn<bool>("shown");
        QTest::newRow("hidden, as when the main window applies a language") << false;
        QTest::newRow("shown") << true;
    }
    void sizeStaysPerLanguage()
    {
        QFETCH(bool, shown);
        LanguageConfig dialog(nullptr, QStringLiteral(DIVEVOD_LANG_DIR));
        if (shown) {
            dialog.show();
            QVERIFY(QTest::qWaitForWindowExposed(&dialog));
        }
        const QSize english = dialog.size();
        switchTo(dialog, 1);
        const QSize chinese = dialog.size();
        for (int round = 0; round < 3; ++round) {
            switchTo(dialog, 0);
            QCOMPARE(dialog.size(), english);
            switchTo(dialog, 1);
            QCOMPARE(dialog.size(), chinese);
        }
        QCOMPARE(dialog.isVisible(), shown);
        // Fixed, and never cutting the contents of either language.
        QCOMPARE(dialog.minimumSize(), dialog.maximumSize());
        QVERIFY(chinese.expandedTo(dialog.minimumSizeHint()) == chinese);
        switchTo(dialog, 0);
        QVERIFY(english.expandedTo(dialog.minimumSizeHint()) == english);
    }
};

QTEST_MAIN(TestLanguageSize)
#include "tst_LanguageSize.moc"
