// The connection page's comforts: port lists that refresh, ports that say why they will not
// open, and the operator's choices kept between runs.
#include "mainwindow/mainwindowsupport.h"
#include "mainwindow/portopenfailure.h"

#include <QSettings>
#include <QStackedWidget>
#include <QTemporaryDir>

class TestMainWindowLinkCare : public QObject
{
    Q_OBJECT

private slots:
    void portListRefreshKeepsTypedPath()
    {
        MainWindow window;
        for (const char *list : {"comboBoxComNames", "comboBoxModbusComNames"}) {
            auto *ports = widget<QComboBox>(&window, list);
            ports->setEditText(QStringLiteral("/tmp/vks20-typed"));
            ports->showPopup();
            QCOMPARE(ports->currentText(), QStringLiteral("/tmp/vks20-typed"));
            ports->hidePopup();
        }
    }

    // A port the operator may not open: the message names the group to join. A port that is
    // not there is the next case's.
    void refusedPortNamesItsGroup()
    {
        QCOMPARE(PortOpenFailure({"/dev/ttyUSB0", "Permission denied", true, "uucp"}).message(),
                 QStringLiteral("无法打开串口 /dev/ttyUSB0：Permission denied\n"
                                "请将当前用户加入拥有该设备的用户组 uucp：\n"
                                "sudo usermod -aG uucp $USER\n然后重新登录。"));
    }

    // A path that is not there: the connection page and a prompt name it and Qt's reason.
    void portThatWillNotOpenIsShown()
    {
        MainWindow window;
        ModalMessages messages;
        const QString path = QStringLiteral("/tmp/vks20-no-such-port");
        widget<QComboBox>(&window, "comboBoxComNames")->setEditText(path);
        QTest::mouseClick(widget<QAbstractButton>(&window, "pushButtonConn"), Qt::LeftButton);

        const QString shown = widget<QLabel>(&window, "labelLinkStatus")->text();
        QCOMPARE(shown, QStringLiteral("无法打开串口 %1：No such file or directory").arg(path));
        QCOMPARE(messages.texts, QStringList{shown});
        QCOMPARE(widget<QAbstractButton>(&window, "pushButtonConn")->text(),
                 QStringLiteral("打开"));
    }

    void settingsRoundTrip()
    {
        const QVariantMap chosen = {
            {"connection/mode", 2},
            {"connection/serialPort", "/dev/ttyS7"},
            {"connection/modbusPort", "/dev/serial/by-id/usb-adapter"},
            {"connection/baudRate", 1},
            {"connection/localAddress", "127.0.0.2"},
            {"connection/localPort", "5021"},
            {"device/ioMode", 1},
            {"display/mode", 1},
            {"display/pointRadius", 4},
            {"display/lineWidth", 3},
            {"display/pointColor", "#80102030"},
            {"regions/folder", "/tmp/regions"},
            {"regions/verify", false},
        };
        QTemporaryDir dir;
        QSettings in(dir.filePath("in.ini"), QSettings::IniFormat);
        for (auto it = chosen.cbegin(); it != chosen.cend(); ++it)
            in.setValue(it.key(), it.value());
        MainWindow window;
        window.restoreSettings(in);
        QSettings out(dir.filePath("out.ini"), QSettings::IniFormat);
        window.saveSettings(out);
        out.sync();
        const QSettings saved(dir.filePath("out.ini"), QSettings::IniFormat);
        for (auto it = chosen.cbegin(); it != chosen.cend(); ++it)
            QCOMPARE(saved.value(it.key()).toString(), it.value().toString());
        // The mode shows its page; the IO mode waits for the next connection to be sent.
        QCOMPARE(widget<QStackedWidget>(&window, "stackedWidgetConnMode")->currentIndex(), 2);
        QCOMPARE(DataGram(&window).sent(), QStringList());
    }
};

QTEST_MAIN(TestMainWindowLinkCare)
#include "test_mainwindow_linkcare.moc"
