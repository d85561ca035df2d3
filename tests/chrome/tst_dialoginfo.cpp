#include "chrome/dialoginfo.h"
#include "chrome/exitconfirmation.h"

#include <log4qt/properties.h>
#include <log4qt/propertyconfigurator.h>

#include <QDialogButtonBox>
#include <QLabel>
#include <QPushButton>
#include <QToolButton>
#include <QTranslator>
#include <QtTest>

#include "vksresources.h"

#include <functional>

using Answer = std::function<void(DialogInfo *)>;
Q_DECLARE_METATYPE(Answer)

namespace {

Answer clicking(QDialogButtonBox::StandardButton which)
{
    return [which](DialogInfo *dialog) {
        QTest::mouseClick(dialog->findChild<QDialogButtonBox *>()->button(which), Qt::LeftButton);
    };
}

} // namespace

// The dialog's answers are reached through confirmExit(), which is DialogInfo::exec() between
// its two log lines.
class TestDialogInfo : public QObject
{
    Q_OBJECT

    QTranslator english;
    QTemporaryDir logDir;

    QStringList logLines() const
    {
        QFile file(logDir.filePath(QStringLiteral("chrome.log")));
        file.open(QIODevice::ReadOnly | QIODevice::Text);
        return QString::fromUtf8(file.readAll()).split('\n', Qt::SkipEmptyParts);
    }

private slots:
    void initTestCase()
    {
        initVksResources();
        QVERIFY(english.load(QStringLiteral(":/lang/resource/Tervane_en.qm")));
        QCoreApplication::installTranslator(&english);

        Log4Qt::Properties log;
        const QString file = "log4j.appender.file";
        log.setProperty("log4j.logger.RollingFile", "INFO, file");
        log.setProperty(file, "org.apache.log4j.FileAppender");
        log.setProperty(file + ".File", logDir.filePath(QStringLiteral("chrome.log")));
        log.setProperty(file + ".layout", "org.apache.log4j.PatternLayout");
        log.setProperty(file + ".layout.ConversionPattern", "%m%n");
        QVERIFY(Log4Qt::PropertyConfigurator::configure(log));
    }

    void showsTheExitQuestion()
    {
        DialogInfo dialog;
        const auto *buttons = dialog.findChild<QDialogButtonBox *>("buttonBox");
        QCOMPARE(dialog.windowTitle(), "Prompt Dialog");
        QCOMPARE(dialog.findChild<QLabel *>("labelInfo")->text(), "Do you want to exit app?");
        QCOMPARE(buttons->button(QDialogButtonBox::Ok)->text(), "OK");
        QCOMPARE(buttons->button(QDialogButtonBox::No)->text(), "NO");
        QVERIFY(dialog.windowFlags().testFlag(Qt::FramelessWindowHint));
        dialog.setInfoText(QStringLiteral("Setting position limit exceeded!"));
        QCOMPARE(dialog.findChild<QLabel *>("labelInfo")->text(),
                 "Setting position limit exceeded!");
    }

    void onlyOkConfirmsAndTheQuestionIsLogged_data()
    {
        QTest::addColumn<Answer>("answer");
        QTest::addColumn<bool>("confirmed");
        QTest::newRow("OK") << clicking(QDialogButtonBox::Ok) << true;
        QTest::newRow("NO") << clicking(QDialogButtonBox::No) << false;
        QTest::newRow("close button") << Answer([](DialogInfo *d) {
            QTest::mouseClick(d->findChild<QToolButton *>("closeButton"), Qt::LeftButton);
        }) << false;
        QTest::newRow("Escape") << Answer([](DialogInfo *d) { QTest::keyClick(d, Qt::Key_Escape); })
                                << false;
    }
    // The answer comes once the dialog's exec() loop runs.
    void onlyOkConfirmsAndTheQuestionIsLogged()
    {
        QFETCH(Answer, answer);
        const int before = logLines().size();
        QStringList linesWhileAsking;
        QTimer::singleShot(0, [&] {
            auto *dialog = qobject_cast<DialogInfo *>(QApplication::activeModalWidget());
            QVERIFY(dialog);
            linesWhileAsking = logLines().mid(before);
            answer(dialog);
        });
        QTEST(confirmExit(), "confirmed");
        QCOMPARE(linesWhileAsking, QStringList{"the widow is closing..."});
        QCOMPARE(logLines().mid(before),
                 (QStringList{"the widow is closing...", "the widow is closed..."}));
    }
};

QTEST_MAIN(TestDialogInfo)
#include "tst_dialoginfo.moc"
