// Every text the code passes through tr() has a finished English translation, and the
// translation holds nothing the code no longer says: lupdate, run over the sources into a
// copy of the translation, must find nothing to add and nothing to drop.
#include <QProcess>
#include <QTemporaryDir>
#include <QXmlStreamReader>
#include <QtTest>

namespace {

struct Messages
{
    int count = 0;
    QStringList unfinished; // "context: source"
};

Messages readMessages(const QString &path)
{
    QFile file(path);
    file.open(QIODevice::ReadOnly);
    QXmlStreamReader xml(&file);
    Messages messages;
    QString context;
    QString source;
    while (xml.readNextStartElement() || !xml.atEnd()) {
        if (!xml.isStartElement())
            continue;
        if (xml.name() == QLatin1String("name")) {
            context = xml.readElementText();
        } else if (xml.name() == QLatin1String("source")) {
            source = xml.readElementText();
        } else if (xml.name() == QLatin1String("translation")) {
            ++messages.count;
            const bool finished = xml.attributes().value(QLatin1String("type")).isEmpty();
            if (xml.readElementText().isEmpty() || !finished)
                messages.unfinished << context + QLatin1String(": ") + source;
        }
    }
    return messages;
}

} // namespace

class TestTranslations : public QObject
{
    Q_OBJECT

private slots:
    void everyTextTranslatedAndNoneStale()
    {
        QTemporaryDir dir;
        const QString copy = dir.filePath(QStringLiteral("en.ts"));
        QVERIFY(QFile::copy(QStringLiteral(TRANSLATION_FILE), copy));
        QFile::setPermissions(copy, QFile::ReadOwner | QFile::WriteOwner);
        QProcess lupdate;
        lupdate.start(QStringLiteral(LUPDATE_PROGRAM),
                      {QStringLiteral("-silent"), QStringLiteral("-no-obsolete"),
                       QStringLiteral("-locations"), QStringLiteral("none"),
                       QStringLiteral(SOURCE_FOLDER), QStringLiteral("-ts"), copy});
        QVERIFY(lupdate.waitForFinished(60000));
        QCOMPARE(lupdate.exitCode(), 0);

        const Messages shipped = readMessages(QStringLiteral(TRANSLATION_FILE));
        const Messages updated = readMessages(copy);
        QVERIFY2(updated.unfinished.isEmpty(), qPrintable(updated.unfinished.join('\n')));
        QCOMPARE(updated.count, shipped.count);
    }
};

QTEST_GUILESS_MAIN(TestTranslations)
#include "test_translations.moc"
