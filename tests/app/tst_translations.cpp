// Every translatable text in the sources has a finished Chinese translation.
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>
#include <QXmlStreamReader>

class TestTranslations : public QObject
{
    Q_OBJECT

private slots:
    void everySourceTextIsTranslated()
    {
        QTemporaryDir dir;
        const QString ts = dir.filePath(QStringLiteral("check_zh.ts"));
        QVERIFY(QFile::copy(QStringLiteral(DIVEVOD_SOURCE_DIR "/resources/divevod_zh.ts"), ts));
        QFile::setPermissions(ts, QFile::ReadOwner | QFile::WriteOwner);
        // lupdate keeps what is translated and adds new texts as unfinished.
        QProcess lupdate;
        lupdate.setWorkingDirectory(QStringLiteral(DIVEVOD_SOURCE_DIR));
        lupdate.start(QStringLiteral(DIVEVOD_LUPDATE), {"-no-obsolete", "-locations", "none", "app", "panels", "dialogs", "-ts", ts});
        QVERIFY(lupdate.waitForFinished(60000) && lupdate.exitCode() == 0);
        QFile file(ts);
        QVERIFY(file.open(QIODevice::ReadOnly));
        QXmlStreamReader xml(&file);
        QString source;
        QStringList missing;
        int messages = 0;
        while (!xml.atEnd()) {
            if (xml.readNext() != QXmlStreamReader::StartElement)
                continue;
            if (xml.name() == QLatin1String("source")) {
                source = xml.readElementText();
            } else if (xml.name() == QLatin1String("translation")) {
                ++messages;
                const bool unfinished = !xml.attributes().value(QStringLiteral("type")).isEmpty();
                if (unfinished || xml.readElementText().trimmed().isEmpty())
                    missing << source;
            }
        }
        QVERIFY2(!xml.hasError(), qPrintable(xml.errorString()));
        QVERIFY(messages > 0);
        QVERIFY2(missing.isEmpty(), qPrintable("untranslated (run the lupdate target): " + missing.join(" | ")));
    }
};

QTEST_GUILESS_MAIN(TestTranslations)
#include "tst_translations.moc"
