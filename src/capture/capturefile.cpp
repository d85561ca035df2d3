#include "capture/capturefile.h"

#include <QFile>
#include <QTemporaryFile>

#include <pcap/pcap.h>

#include <cerrno>
#include <cstdio>
#include <cstring>

namespace {

constexpr qint64 usPerSecond = 1000000;
constexpr int directionByteSize = 1;

bool setError(QString *error, const QString &text)
{
    if (error)
        *error = text;
    return false;
}

bool isKnownDirection(quint8 byte)
{
    return byte == quint8(CaptureDirection::FromDevice) ||
           byte == quint8(CaptureDirection::ToDevice);
}

} // namespace

void PcapCloser::operator()(pcap *handle) const
{
    pcap_close(handle);
}

void PcapDumperCloser::operator()(pcap_dumper *dumper) const
{
    pcap_dump_close(dumper);
}

bool CaptureWriter::open(const QString &path, QString *error)
{
    discard();
    // In the same folder, so that the capture is put in place by a rename, never a copy.
    QTemporaryFile working(path + QStringLiteral(".XXXXXX"));
    working.setAutoRemove(false);
    if (!working.open())
        return setError(
            error, QStringLiteral("Cannot create capture file: %1").arg(working.errorString()));
    // A temporary file is its owner's alone; a capture is read with other tools, by others too.
    working.setPermissions(QFileDevice::ReadOwner | QFileDevice::WriteOwner |
                           QFileDevice::ReadGroup | QFileDevice::ReadOther);
    m_workingPath = working.fileName();
    working.close();
    m_pcap.reset(pcap_open_dead(CaptureFormat::linkTypeUser0, CaptureFormat::snapLength));
    if (!m_pcap) {
        discard();
        return setError(error, QStringLiteral("Cannot start a capture: out of memory"));
    }
    m_dumper.reset(pcap_dump_open(m_pcap.get(), QFile::encodeName(m_workingPath).constData()));
    if (!m_dumper) {
        const QString reason = QString::fromLocal8Bit(pcap_geterr(m_pcap.get()));
        discard();
        return setError(error, QStringLiteral("Cannot create capture file: %1").arg(reason));
    }
    m_path = path;
    m_bytesWritten = 0;
    return true;
}

bool CaptureWriter::write(CaptureDirection direction, const QByteArray &bytes, qint64 timeUs)
{
    if (!isOpen())
        return false;
    for (int offset = 0; offset < bytes.size(); offset += CaptureFormat::maxPayloadPerRecord) {
        const int size = qMin(bytes.size() - offset, CaptureFormat::maxPayloadPerRecord);
        if (!writeRecord(direction, bytes.constData() + offset, size, timeUs))
            return false;
    }
    return true;
}

bool CaptureWriter::writeRecord(CaptureDirection direction, const char *bytes, int size,
                                qint64 timeUs)
{
    // libpcap takes a record's data in one piece.
    m_recordBuffer.resize(directionByteSize + size);
    m_recordBuffer[0] = char(direction);
    memcpy(m_recordBuffer.data() + directionByteSize, bytes, size_t(size));

    pcap_pkthdr header{};
    header.ts.tv_sec = timeUs / usPerSecond;
    header.ts.tv_usec = timeUs % usPerSecond;
    header.caplen = header.len = bpf_u_int32(m_recordBuffer.size());
    pcap_dump(reinterpret_cast<u_char *>(m_dumper.get()), &header,
              reinterpret_cast<const u_char *>(m_recordBuffer.constData()));
    // pcap_dump() reports nothing; a failed write shows in the stream's error flag.
    if (pcap_dump_flush(m_dumper.get()) != 0 || ferror(pcap_dump_file(m_dumper.get())))
        return false;
    m_bytesWritten += size;
    return true;
}

bool CaptureWriter::close(QString *error)
{
    if (!isOpen())
        return true;
    closeDumper();
    // rename() replaces an existing file in one step.
    if (std::rename(QFile::encodeName(m_workingPath).constData(),
                    QFile::encodeName(m_path).constData()) != 0) {
        const QString reason = QString::fromLocal8Bit(std::strerror(errno));
        discard();
        return setError(error, QStringLiteral("Cannot write %1: %2").arg(m_path, reason));
    }
    m_workingPath.clear();
    return true;
}

void CaptureWriter::discard()
{
    closeDumper();
    if (!m_workingPath.isEmpty())
        QFile::remove(m_workingPath);
    m_workingPath.clear();
}

void CaptureWriter::closeDumper()
{
    m_dumper.reset();
    m_pcap.reset();
}

QString CaptureDamage::text() const
{
    return QStringLiteral("damaged at record %1, %2 s into the recording: %3")
        .arg(record)
        .arg(sinceStartUs / double(usPerSecond), 0, 'f', 3)
        .arg(reason);
}

bool CaptureReader::open(const QString &path, QString *error)
{
    char pcapError[PCAP_ERRBUF_SIZE] = {};
    m_pcap.reset(pcap_open_offline_with_tstamp_precision(QFile::encodeName(path).constData(),
                                                         PCAP_TSTAMP_PRECISION_MICRO, pcapError));
    if (!m_pcap)
        return setError(
            error,
            QStringLiteral("Cannot read capture file: %1").arg(QString::fromLocal8Bit(pcapError)));
    const int linkType = pcap_datalink(m_pcap.get());
    if (linkType != CaptureFormat::linkTypeUser0) {
        m_pcap.reset();
        return setError(error, QStringLiteral("Not a capture of device links: link type %1 (%2), "
                                              "expected USER0 (%3)")
                                   .arg(QString::fromLatin1(pcap_datalink_val_to_name(linkType)))
                                   .arg(linkType)
                                   .arg(CaptureFormat::linkTypeUser0));
    }
    m_damage.reset();
    m_recordsRead = 0;
    m_firstTimeUs.reset();
    m_lastTimeUs = 0;
    return true;
}

bool CaptureReader::next(CaptureRecord *record)
{
    // Past damage, libpcap would read on from wherever the damaged record left it.
    if (!m_pcap || m_damage)
        return false;
    pcap_pkthdr *header = nullptr;
    const u_char *data = nullptr;
    int result;
    while ((result = pcap_next_ex(m_pcap.get(), &header, &data)) == 1) {
        ++m_recordsRead;
        // The file holds 32 bits of seconds and of microseconds, read unsigned as the format has
        // them (the seconds last until 2106); libpcap widens both signed, and a damaged
        // microsecond field of 2^31 or more would put the record before the epoch.
        m_lastTimeUs =
            qint64(quint32(header->ts.tv_sec)) * usPerSecond + qint64(quint32(header->ts.tv_usec));
        if (!m_firstTimeUs)
            m_firstTimeUs = m_lastTimeUs;
        // caplen is all that is in the file; len may claim more.
        if (header->caplen <= bpf_u_int32(directionByteSize) || !isKnownDirection(data[0]))
            continue;
        record->direction = CaptureDirection(data[0]);
        record->timeUs = m_lastTimeUs;
        record->bytes = QByteArray(reinterpret_cast<const char *>(data) + directionByteSize,
                                   int(header->caplen) - directionByteSize);
        return true;
    }
    if (result != PCAP_ERROR_BREAK)
        m_damage = CaptureDamage{m_recordsRead + 1, m_lastTimeUs - m_firstTimeUs.value_or(0),
                                 QString::fromLocal8Bit(pcap_geterr(m_pcap.get()))};
    return false;
}
