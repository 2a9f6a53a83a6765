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
        // lupdate, run on a copy, keeps what is translated and adds new texts as unfinished.
        QTemporaryDir dir;
        const QString ts = dir.filePath(QStringLiteral("check_zh.ts"));
        QVERIFY(QFile::copy(QStringLiteral(DIVEVOD_SOURCE_DIR "/resources/divevod_zh.ts"), ts));
        QFile::setPermissions(ts, QFile::ReadOwner | QFile::WriteOwner);
        QProcess lupdate;
        lupdate.setWorkingDirectory(QStringLiteral(DIVEVOD_SOURCE_DIR));
        lupdate.start(DIVEVOD_LUPDATE, {"-no-obsolete", "-locations", "none", "app", "panels", "dialogs", "resources", "-ts", ts});
        QVERIFY(lupdate.waitForFinished(60000) && lupdate.exitCode() == 0);
        QFile file(ts);
        QVERIFY(file.open(QIODevice::ReadOnly));
        QXmlStreamReader xml(&file);
        QStringList sources, missing;
        while (!xml.atEnd()) {
            if (xml.readNext() != QXmlStreamReader::StartElement)
                continue;
            if (xml.name() == QLatin1String("source"))
                sources << xml.readElementText();
            else if (xml.name() == QLatin1String("translation")
                     && (xml.attributes().hasAttribute("type") || xml.readElementText().trimmed().isEmpty()))
                missing << sources.last();
        }
        QVERIFY2(!xml.hasError() && !sources.isEmpty(), qPrintable(xml.errorString()));
        QVERIFY2(missing.isEmpty(), qPrintable("untranslated (run the lupdate target): " + missing.join(" | ")));
    }
};

QTEST_GUILESS_MAIN(TestTranslations)
#include "tst_translations.moc"
