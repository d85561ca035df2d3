#include "protocol/commands.h"
#include "protocol/hextext.h"
#include "protocol/modbus.h"

#include <QtTest>

class TestCommands : public QObject
{
    Q_OBJECT

private slots:
    void crc_data()
    {
        QTest::addColumn<QString>("bytes");
        QTest::addColumn<QString>("crc");
        const auto row = [](const char *name, const QString &bytes, const QString &crc) {
            QTest::newRow(name) << bytes << crc;
        };
        row("empty", "", "FFFF");
        row("stop ack", "01100BFA0003", "A21D");
        row("stop, lower case gives upper case", "01100bfa000306a55a049cfafb", "6482");
    }
    void crc()
    {
        QFETCH(QString, bytes);
        QFETCH(QString, crc);
        QCOMPARE(HexText::fromBytes(modbusCrc16(HexText::toBytes(bytes))), crc);
        QCOMPARE(appendModbusCrc(bytes), bytes.toUpper() + crc);

        const QByteArray frame = HexText::toBytes(bytes + crc);
        QVERIFY(hasValidModbusCrc(frame));
        for (int tooShort : {0, 1})
            QVERIFY(!hasValidModbusCrc(frame.left(tooShort)));
        if (bytes.isEmpty())
            return; // FFFF reads the same with its bytes swapped
        QVERIFY(!hasValidModbusCrc(HexText::toBytes(bytes + crc.mid(2) + crc.left(2))));
        QVERIFY(!hasValidModbusCrc(HexText::toBytes("FF" + bytes + crc))); // payload changed
    }

    void commands_data()
    {
        QTest::addColumn<QString>("command");
        QTest::addColumn<QString>("expected");
        const auto row = [](const char *name, const QString &command, const QString &expected) {
            QTest::newRow(name) << command << expected;
        };
        using namespace DeviceCommand;
        row("start usb", startScan(Usb), "FF00FFA100");
        row("start net", startScan(Net), "FF00FFA100");
        row("start modbus", startScan(Modbus), "01100BF7000306FF00FFA100FF4204");
        row("stop usb", stopScan(Usb), "A55A049CFAFB");
        row("stop modbus", stopScan(Modbus), "01100BFA000306A55A049CFAFB6482");
        row("resolution net", resolutionQuery(Net), "A55A0099FAFB");
        row("resolution modbus", resolutionQuery(Modbus), "01030BFE000306A55A0099FAFBF19D");
        row("parameters usb", radarParameters(Usb, 0, 2, 0), "FF0002A100");
        row("parameters other selections", radarParameters(Net, 1, 4, 1), "FF0104A101");
        row("parameters modbus", radarParameters(Modbus, 0, 2, 0),
            "01100BF7000306FF0002A100FF73A8");
        row("io normally open", ioOutputMode(0), "FF0000A108");
        row("io normally closed", ioOutputMode(1), "FF0000A107");
    }
    void commands()
    {
        QFETCH(QString, command);
        QTEST(command, "expected");
    }
};

QTEST_GUILESS_MAIN(TestCommands)
#include "test_commands.moc"
