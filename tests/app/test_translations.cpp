// Every text the code passes through tr() has a finished English translation, and the
// translation holds nothing the code no longer says: lupdate, run over the sources into a
// copy of the translation, must find nothing to add and nothing to drop.
#include <QtTest>

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
                      {"-no-obsolete", "-locations", "none", SOURCE_FOLDER, "-ts", copy});
        QVERIFY(lupdate.waitForFinished(60000));
        QCOMPARE(lupdate.exitCode(), 0);

        QFile shipped(QStringLiteral(TRANSLATION_FILE)), updated(copy);
        QVERIFY(shipped.open(QIODevice::ReadOnly) && updated.open(QIODevice::ReadOnly));
        const QString text = QString::fromUtf8(updated.readAll());
        QCOMPARE(text.count("<message>"), QString::fromUtf8(shipped.readAll()).count("<message>"));
        // A finished translation is not empty and has no type (unfinished, vanished, obsolete).
        const QRegularExpression unfinished(
            "<source>([^<]*)</source>\\s*<translation(?: [^>]*>|></translation>|/>)");
        QStringList found;
        for (auto m = unfinished.globalMatch(text); m.hasNext();)
            found << m.next().captured(1);
        QVERIFY2(found.isEmpty(), qPrintable(found.join('\n')));
    }
};

QTEST_GUILESS_MAIN(TestTranslations)
#include "test_translations.moc"
