#include "chrome/dialoginfo.h"
#include "chrome/exitconfirmation.h"

#include <log4qt/propertyconfigurator.h>

#include <QDialogButtonBox>
#include <QLabel>
#include <QPushButton>
#include <QToolButton>
#include <QTranslator>
#include <QtTest>

#include "vksresources.h"

#include <functional>

namespace {

using Answer = std::function<void(DialogInfo *)>;

// Runs `answer` on the next DialogInfo once its exec() loop is running.
void answerNextDialog(const Answer &answer)
{
    QTimer::singleShot(0, [answer] {
        for (QWidget *widget : QApplication::topLevelWidgets()) {
            auto *dialog = qobject_cast<DialogInfo *>(widget);
            if (dialog && dialog->isVisible())
                return answer(dialog);
        }
        QFAIL("no dialog is showing");
    });
}

void clickButton(DialogInfo *dialog, QDialogButtonBox::StandardButton which)
{
    QTest::mouseClick(dialog->findChild<QDialogButtonBox *>()->button(which), Qt::LeftButton);
}

} // namespace

Q_DECLARE_METATYPE(Answer)

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
        if (!file.open(QIODevice::ReadOnly | QIODevice::Text))
            return {};
        return QString::fromUtf8(file.readAll()).split('\n', Qt::SkipEmptyParts);
    }

private slots:
    void initTestCase()
    {
        initVksResources();
        if (english.load(QStringLiteral(":/lang/resource/Tervane_en.qm")))
            QCoreApplication::installTranslator(&english);

        QVERIFY(logDir.isValid());
        const QString properties = logDir.filePath(QStringLiteral("Log4Qt.properties"));
        QFile file(properties);
        QVERIFY(file.open(QIODevice::WriteOnly | QIODevice::Text));
        file.write(QStringLiteral("log4j.logger.RollingFile=INFO, file\n"
                                  "log4j.appender.file=org.apache.log4j.FileAppender\n"
                                  "log4j.appender.file.File=%1\n"
                                  "log4j.appender.file.layout=org.apache.log4j.PatternLayout\n"
                                  "log4j.appender.file.layout.ConversionPattern=%m%n\n")
                       .arg(logDir.filePath(QStringLiteral("chrome.log")))
                       .toUtf8());
        file.close();
        QVERIFY(Log4Qt::PropertyConfigurator::configure(properties));
    }

    void showsTheExitQuestion()
    {
        DialogInfo dialog;
        // The English translation is checked where it has the entry; the Chinese source otherwise.
        const auto text = [this](const char *english, const char *chinese) {
            const bool known = !this->english.translate("DialogInfo", chinese).isEmpty();
            return QString::fromUtf8(known ? english : chinese);
        };
        QCOMPARE(dialog.windowTitle(), text("Prompt Dialog", "提示"));
        QCOMPARE(dialog.findChild<QLabel *>("labelInfo")->text(),
                 text("Do you want to exit app?", "是否关闭软件？"));
        auto *buttons = dialog.findChild<QDialogButtonBox *>("buttonBox");
        QCOMPARE(buttons->button(QDialogButtonBox::Ok)->text(), text("OK", "确定"));
        QCOMPARE(buttons->button(QDialogButtonBox::No)->text(), text("NO", "取消"));
        QVERIFY(dialog.windowFlags().testFlag(Qt::FramelessWindowHint));
        QCOMPARE(dialog.size(), QSize(372, 193));

        dialog.setInfoText(QStringLiteral("Setting position limit exceeded!"));
        QCOMPARE(dialog.findChild<QLabel *>("labelInfo")->text(),
                 QStringLiteral("Setting position limit exceeded!"));
    }

    void onlyOkConfirmsAndTheQuestionIsLogged_data()
    {
        QTest::addColumn<Answer>("answer");
        QTest::addColumn<bool>("confirmed");

        QTest::newRow("OK") << Answer([](DialogInfo *d) { clickButton(d, QDialogButtonBox::Ok); })
                            << true;
        QTest::newRow("NO") << Answer([](DialogInfo *d) { clickButton(d, QDialogButtonBox::No); })
                            << false;
        QTest::newRow("close button") << Answer([](DialogInfo *d) {
            QTest::mouseClick(d->findChild<QToolButton *>("closeButton"), Qt::LeftButton);
        }) << false;
        QTest::newRow("Escape") << Answer([](DialogInfo *d) { QTest::keyClick(d, Qt::Key_Escape); })
                                << false;
    }

    void onlyOkConfirmsAndTheQuestionIsLogged()
    {
        QFETCH(Answer, answer);

        const int before = logLines().size();
        QStringList linesWhileAsking;
        answerNextDialog([&](DialogInfo *dialog) {
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
