#include "capture/capturefile.h"

#include <QFile>

#include <pcap/pcap.h>

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
    close();
    m_pcap.reset(pcap_open_dead(CaptureFormat::linkTypeUser0, CaptureFormat::snapLength));
    if (!m_pcap)
        return setError(error, QStringLiteral("Cannot start a capture: out of memory"));
    m_dumper.reset(pcap_dump_open(m_pcap.get(), QFile::encodeName(path).constData()));
    if (!m_dumper) {
        const QString reason = QString::fromLocal8Bit(pcap_geterr(m_pcap.get()));
        m_pcap.reset();
        return setError(error, QStringLiteral("Cannot create capture file: %1").arg(reason));
    }
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

void CaptureWriter::close()
{
    m_dumper.reset();
    m_pcap.reset();
}

bool CaptureReader::open(const QString &path, QString *error)
{
    char pcapError[PCAP_ERRBUF_SIZE] = {};
    m_pcap.reset(pcap_open_offline_with_tstamp_precision(QFile::encodeName(path).constData(),
                                                         PCAP_TSTAMP_PRECISION_MICRO, pcapError));
    if (!m_pcap)
        return refuse(
            QStringLiteral("Cannot read capture file: %1").arg(QString::fromLocal8Bit(pcapError)),
            error);
    const int linkType = pcap_datalink(m_pcap.get());
    if (linkType != CaptureFormat::linkTypeUser0) {
        m_pcap.reset();
        return refuse(QStringLiteral("Not a capture of device links: link type %1 (%2), "
                                     "expected USER0 (%3)")
                          .arg(QString::fromLatin1(pcap_datalink_val_to_name(linkType)))
                          .arg(linkType)
                          .arg(CaptureFormat::linkTypeUser0),
                      error);
    }
    m_errorText.clear();
    return true;
}

bool CaptureReader::refuse(const QString &text, QString *error)
{
    m_errorText = text;
    return setError(error, text);
}

bool CaptureReader::next(CaptureRecord *record)
{
    if (!m_pcap)
        return false;
    pcap_pkthdr *header = nullptr;
    const u_char *data = nullptr;
    int result;
    while ((result = pcap_next_ex(m_pcap.get(), &header, &data)) == 1) {
        // caplen is all that is in the file; len may claim more.
        if (header->caplen <= bpf_u_int32(directionByteSize) || !isKnownDirection(data[0]))
            continue;
        record->direction = CaptureDirection(data[0]);
        // The file holds 32 bits of seconds, read unsigned as the format has it, which lasts
        // until 2106; libpcap widens them signed.
        record->timeUs = qint64(quint32(header->ts.tv_sec)) * usPerSecond + header->ts.tv_usec;
        record->bytes = QByteArray(reinterpret_cast<const char *>(data) + directionByteSize,
                                   int(header->caplen) - directionByteSize);
        return true;
    }
    if (result != PCAP_ERROR_BREAK)
        m_errorText = QString::fromLocal8Bit(pcap_geterr(m_pcap.get()));
    return false;
}
