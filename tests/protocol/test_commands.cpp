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
        QTest::newRow("empty") << ""
                               << "FFFF";
        QTest::newRow("stop ack") << "01100BFA0003"
                                  << "A21D";
        QTest::newRow("read block 0") << "010300000044"
                                      << "45F9";
    }
    void crc()
    {
        QFETCH(QString, bytes);
        QFETCH(QString, crc);
        QCOMPARE(HexText::fromBytes(modbusCrc16(HexText::toBytes(bytes))), crc);
    }

    void appendCrcIsUpperCase()
    {
        QCOMPARE(appendModbusCrc(QStringLiteral("01100bfa000306a55a049cfafb")),
                 QStringLiteral("01100BFA000306A55A049CFAFB6482"));
    }

    void crcCheck_data()
    {
        QTest::addColumn<QString>("frame");
        QTest::addColumn<bool>("valid");
        QTest::newRow("stop ack") << "01100BFA0003A21D" << true;
        QTest::newRow("crc bytes swapped") << "01100BFA00031DA2" << false;
        QTest::newRow("payload changed") << "01100BFA0004A21D" << false;
        QTest::newRow("one byte") << "01" << false;
        QTest::newRow("empty") << "" << false;
    }
    void crcCheck()
    {
        QFETCH(QString, frame);
        QFETCH(bool, valid);
        QCOMPARE(hasValidModbusCrc(HexText::toBytes(frame)), valid);
    }

    void commands_data()
    {
        QTest::addColumn<QString>("command");
        QTest::addColumn<QString>("expected");
        QTest::newRow("start usb") << DeviceCommand::startScan(Usb) << "FF00FFA100";
        QTest::newRow("start net") << DeviceCommand::startScan(Net) << "FF00FFA100";
        QTest::newRow("start modbus")
            << DeviceCommand::startScan(Modbus) << "01100BF7000306FF00FFA100FF4204";
        QTest::newRow("stop usb") << DeviceCommand::stopScan(Usb) << "A55A049CFAFB";
        QTest::newRow("stop modbus")
            << DeviceCommand::stopScan(Modbus) << "01100BFA000306A55A049CFAFB6482";
        QTest::newRow("resolution net") << DeviceCommand::resolutionQuery(Net) << "A55A0099FAFB";
        QTest::newRow("resolution modbus")
            << DeviceCommand::resolutionQuery(Modbus) << "01030BFE000306A55A0099FAFBF19D";
        QTest::newRow("parameters usb")
            << DeviceCommand::radarParameters(Usb, 0, 2, 0) << "FF0002A100";
        QTest::newRow("parameters other selections")
            << DeviceCommand::radarParameters(Net, 1, 4, 1) << "FF0104A101";
        QTest::newRow("parameters modbus")
            << DeviceCommand::radarParameters(Modbus, 0, 2, 0) << "01100BF7000306FF0002A100FF73A8";
        QTest::newRow("io normally open") << DeviceCommand::ioOutputMode(0) << "FF0000A108";
        QTest::newRow("io normally closed") << DeviceCommand::ioOutputMode(1) << "FF0000A107";
    }
    void commands()
    {
        QFETCH(QString, command);
        QFETCH(QString, expected);
        QCOMPARE(command, expected);
    }

    // The receive dispatcher searches codes in the hex text of a chunk, wherever they sit.
    void replyFoundInHexText_data()
    {
        QTest::addColumn<QByteArray>("chunk");
        QTest::addColumn<QString>("code");
        QTest::addColumn<int>("position");
        QTest::newRow("ack alone") << QByteArray::fromHex("A55A0098FAFB") << ReplyCode::ack << 0;
        QTest::newRow("ack at odd digit")
            << QByteArray::fromHex("0A55A0098FAFB0") << ReplyCode::ack << 1;
        QTest::newRow("ack after point cloud bytes")
            << QByteArray::fromHex("A55A02000000A55A0098FAFB") << ReplyCode::ack << 12;
        QTest::newRow("modbus stop ack")
            << QByteArray::fromHex("01100BFA0003A21D") << ReplyCode::modbusStopAck << 0;
        QTest::newRow("fine resolution")
            << QByteArray::fromHex("A55A0010FAFB") << ReplyCode::resolutionFine << 0;
        QTest::newRow("coarse is not fine")
            << QByteArray::fromHex("A55A0020FAFB") << ReplyCode::resolutionFine << -1;
        QTest::newRow("half a code") << QByteArray::fromHex("A55A00") << ReplyCode::ack << -1;
    }
    void replyFoundInHexText()
    {
        QFETCH(QByteArray, chunk);
        QFETCH(QString, code);
        QFETCH(int, position);
        QCOMPARE(HexText::fromBytes(chunk).indexOf(code), position);
    }
};

QTEST_GUILESS_MAIN(TestCommands)
#include "test_commands.moc"
