#include "capture/capturefile.h"

#include <QtTest>

using Records = QList<CaptureRecord>;
Q_DECLARE_METATYPE(CaptureRecord)

bool operator==(const CaptureRecord &a, const CaptureRecord &b)
{
    return a.direction == b.direction && a.timeUs == b.timeUs && a.bytes == b.bytes;
}

class TestCaptureFile : public QObject
{
    Q_OBJECT

    static constexpr auto to = CaptureDirection::ToDevice;
    // A pcap 2.4 file header as this little-endian machine writes it: magic, version, no time
    // zone offset or accuracy, libpcap's largest snapshot length, link type USER0 (147).
    const QByteArray m_user0Header =
        QByteArray::fromHex("d4c3b2a1 0200 0400 00000000 00000000 00000400 93000000");
    QTemporaryDir m_dir;
    const QString m_path = m_dir.filePath("capture.pcap");

    // Read while the writer is still open: each record must already be on disk.
    QByteArray written(const Records &records) const
    {
        CaptureWriter writer;
        writer.open(m_path, nullptr);
        for (const CaptureRecord &r : records)
            writer.write(r.direction, r.bytes, r.timeUs);
        QFile file(writer.workingPath());
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    }

private slots:
    // As Wireshark and tcpdump read it: one record of 1 s, 0 us, 3 bytes of 3, the direction
    // byte and the chunk. An empty chunk leaves no record.
    void fileLayout()
    {
        QCOMPARE(written({{to, 1000000, "\xA5\x5A"}, {CaptureDirection::FromDevice, 1000000, ""}}),
                 m_user0Header + QByteArray::fromHex("01000000 00000000 03000000 03000000 01a55a"));
    }

    void reading_data()
    {
        QTest::addColumn<QByteArray>("file");
        QTest::addColumn<Records>("read");
        QTest::addColumn<int>("damagedRecord");
        // More than a record's 262143 payload bytes, in a pattern whose period does not divide
        // that; stamped after 2038, as the file's seconds are unsigned.
        const QByteArray big = QByteArray("0123456789abcdefg").repeated(15421);
        const qint64 after2038 = 4102444799999999;
        const CaptureRecord first{CaptureDirection::FromDevice, 999999, "\xA5\x5A"};
        const Records read{
            first, {to, after2038, big.left(262143)}, {to, after2038, big.mid(262143)}};
        QTest::newRow("written") << written({first, {to, after2038, big}}) << read << 0;
        QTest::newRow("cut short") << written({first, first}).chopped(1) << Records{first} << 2;
        QTest::newRow("microseconds of 2^31, read unsigned")
            << m_user0Header + QByteArray::fromHex("00000000 00000080 02000000 02000000 00a5")
            << Records{{CaptureDirection::FromDevice, 2147483648, "\xA5"}} << 0;
        QTest::newRow("other link type")
            << QByteArray(m_user0Header).replace(20, 1, "\x01") << Records{} << 0;
    }
    void reading()
    {
        QFETCH(QByteArray, file);
        QFile out(m_path);
        QVERIFY(out.open(QIODevice::WriteOnly) && out.write(file) == file.size() && out.flush());
        CaptureReader reader;
        reader.open(m_path, nullptr);
        Records records;
        for (CaptureRecord r; reader.next(&r);)
            records << r;
        QTEST(records, "read");
        QTEST(reader.damage() ? reader.damage()->record : 0, "damagedRecord");
    }
};

QTEST_GUILESS_MAIN(TestCaptureFile)
#include "tst_capturefile.moc"
