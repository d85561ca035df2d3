#include "protocol/commands.h"
#include "protocol/hextext.h"
#include "protocol/modbus.h"

#include <QtTest>

class TestCommands : public QObject
{
    Q_OBJECT

private slots:
    // Hex text in any case gives upper case out; a frame fails with either CRC byte wrong, the
    // bytes swapped, its payload changed or too short to hold a CRC.
    void crc()
    {
        QCOMPARE(appendModbusCrc("01100bfa0003"), "01100BFA0003A21D");
        const QByteArray frame = HexText::toBytes("01100BFA0003A21D");
        QVERIFY(hasValidModbusCrc(frame));
        QVERIFY(!hasValidModbusCrc(frame.left(1)));
        for (const char *bad : {"01100BFA00031DA2", "01100BFA0003A200", "FF01100BFA0003A21D"})
            QVERIFY2(!hasValidModbusCrc(HexText::toBytes(bad)), bad);
    }

    // The stop, the resolution query, the default parameters and the normally open output, in
    // every mode that sends them, are in the session suite's transcripts.
    void commands_data()
    {
        QTest::addColumn<QString>("command");
        QTest::addColumn<QString>("expected");
        using namespace DeviceCommand;
        const auto row = [](const char *name, const QString &command, const char *expected) {
            QTest::newRow(name) << command << expected;
        };
        row("start usb", startScan(Usb), "FF00FFA100");
        row("start modbus", startScan(Modbus), "01100BF7000306FF00FFA100FF4204");
        row("parameters net", radarParameters(Net, 2, 4, 1), "FF0204A101");
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
