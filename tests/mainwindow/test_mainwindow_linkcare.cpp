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
    // A port the operator may not open: the message names the group to join.
    void linkThatWillNotOpenSaysWhy()
    {
        QCOMPARE(PortOpenFailure({"/dev/ttyUSB0", "Permission denied", true, "uucp"}).message(),
                 QStringLiteral("无法打开串口 /dev/ttyUSB0：Permission denied\n"
                                "请将当前用户加入拥有该设备的用户组 uucp：\n"
                                "sudo usermod -aG uucp $USER\n然后重新登录。"));

        // A path that is not there, a local address that is not this machine's: the connection page
        // and a prompt name it and the system's reason, and the link stays closed. Nothing is sent.
        const std::tuple<ConnMode, const char *, const char *> cases[] = {
            {Usb, "pushButtonConn",
             "无法打开串口 /tmp/vks20-no-such-port：No such file or directory"},
            {Net, "pushButtonConnNet",
             "无法绑定本机地址 203.0.113.1:5020：The address is not available"}};
        for (const auto &[mode, button, shown] : cases) {
            MainWindow window;
            ModalMessages messages;
            widget<QComboBox>(&window, "comboBoxConnMode")->setCurrentIndex(mode);
            widget<QLineEdit>(&window, "lineEditIP")->setText(QStringLiteral("203.0.113.1"));
            widget<QLineEdit>(&window, "lineEditPort")->setText(QStringLiteral("5020"));
            widget<QComboBox>(&window, "comboBoxComNames")
                ->setEditText(QStringLiteral("/tmp/vks20-no-such-port"));
            QTest::mouseClick(widget<QAbstractButton>(&window, button), Qt::LeftButton);
            QCOMPARE(widget<QLabel>(&window, "labelLinkStatus")->text(), QString::fromUtf8(shown));
            QCOMPARE(messages.texts, QStringList{QString::fromUtf8(shown)});
            QCOMPARE(widget<QAbstractButton>(&window, button)->text(), QStringLiteral("打开"));
        }
    }

    void settingsRoundTripAndTypedPorts()
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
        // A refreshed port list keeps a path the operator typed.
        for (const char *list : {"comboBoxComNames", "comboBoxModbusComNames"}) {
            auto *ports = widget<QComboBox>(&window, list);
            ports->setEditText(QStringLiteral("/tmp/vks20-typed"));
            ports->showPopup();
            QCOMPARE(ports->currentText(), QStringLiteral("/tmp/vks20-typed"));
            ports->hidePopup();
        }
    }
};

QTEST_MAIN(TestMainWindowLinkCare)
#include "test_mainwindow_linkcare.moc"
