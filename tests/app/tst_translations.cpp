// Every translatable text in the sources has a finished Chinese translation.
#include <QDir>
#include <QFile>
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
        QVERIFY(dir.isValid());
        const QString ts = dir.filePath(QStringLiteral("check_zh.ts"));
        QVERIFY(QFile::copy(QStringLiteral(DIVEVOD_SOURCE_DIR "/resources/divevod_zh.ts"), ts));
        QFile::setPermissions(ts, QFile::ReadOwner | QFile::WriteOwner);

        // lupdate keeps what is translated and adds new texts as unfinished.
        QProcess lupdate;
        lupdate.setWorkingDirectory(QStringLiteral(DIVEVOD_SOURCE_DIR));
        lupdate.start(QStringLiteral(DIVEVOD_LUPDATE),
                      {QStringLiteral("-no-obsolete"), QStringLiteral("-locations"), QStringLiteral("none"),
                       QStringLiteral("app"), QStringLiteral("panels"), QStringLiteral("dialogs"),
                       QStringLiteral("-ts"), ts});
        QVERIFY(lupdate.waitForFinished(60000));
        QCOMPARE(lupdate.exitCode(), 0);

        QFile file(ts);
        QVERIFY(file.open(QIODevice::ReadOnly));
        QXmlStreamReader xml(&file);
        QString context;
        QString source;
        QStringList missing;
        int messages = 0;
        while (!xml.atEnd()) {
            xml.readNext();
            if (!xml.isStartElement())
                continue;
            if (xml.name() == QLatin1String("name")) {
                context = xml.readElementText();
            } else if (xml.name() == QLatin1String("source")) {
                source = xml.readElementText();
            } else if (xml.name() == QLatin1String("translation")) {
                ++messages;
                const QString type = xml.attributes().value(QStringLiteral("type")).toString();
                const QString text = xml.readElementText();
                if (!type.isEmpty() || text.trimmed().isEmpty())
                    missing << QStringLiteral("%1: \"%2\"").arg(context, source);
            }
        }
        QVERIFY2(!xml.hasError(), qPrintable(xml.errorString()));
        QVERIFY2(messages > 0, "no translatable text found");
        QVERIFY2(missing.isEmpty(),
                 qPrintable(QStringLiteral("untranslated (run the lupdate target and translate):\n  ")
                            + missing.join(QStringLiteral("\n  "))));
    }
};

QTEST_GUILESS_MAIN(TestTranslations)
#include "tst_translations.moc"
