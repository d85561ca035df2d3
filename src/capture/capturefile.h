#pragma once

#include <QByteArray>
#include <QString>

#include <memory>

// Capture files are classic pcap files of link type USER0: each record is one chunk as it
// crossed a device link, led by one direction byte, so Wireshark and tcpdump open them as they
// are.

struct pcap;
struct pcap_dumper;

enum class CaptureDirection : quint8
{
    FromDevice = 0,
    ToDevice = 1
};

struct CaptureRecord
{
    CaptureDirection direction = CaptureDirection::FromDevice;
    qint64 timeUs = 0; // since the epoch
    QByteArray bytes;
};

namespace CaptureFormat {
constexpr int linkTypeUser0 = 147;
// libpcap's own largest snapshot length: a record's direction byte and payload together.
constexpr int snapLength = 262144;
constexpr int maxPayloadPerRecord = snapLength - 1;
} // namespace CaptureFormat

// Deleters so that libpcap's handles are released by ownership alone.
struct PcapCloser
{
    void operator()(pcap *handle) const;
};
struct PcapDumperCloser
{
    void operator()(pcap_dumper *dumper) const;
};

class CaptureWriter
{
public:
    // Creates or truncates `path`.
    bool open(const QString &path, QString *error);
    // Each record reaches the disk before this returns, so a capture survives a crash. A chunk
    // longer than a record holds is split into several records of the same time stamp; an
    // empty chunk writes nothing.
    bool write(CaptureDirection direction, const QByteArray &bytes, qint64 timeUs);
    void close();
    bool isOpen() const { return m_dumper != nullptr; }
    // Payload bytes recorded since open(), direction bytes and pcap headers not counted.
    qint64 bytesWritten() const { return m_bytesWritten; }

private:
    bool writeRecord(CaptureDirection direction, const char *bytes, int size, qint64 timeUs);

    // Declared before the dumper, which must be closed first.
    std::unique_ptr<pcap, PcapCloser> m_pcap;
    std::unique_ptr<pcap_dumper, PcapDumperCloser> m_dumper;
    QByteArray m_recordBuffer;
    qint64 m_bytesWritten = 0;
};

class CaptureReader
{
public:
    // Refuses a file of any link type but USER0.
    bool open(const QString &path, QString *error);
    // The next record, skipping those without payload or of an unknown direction. False at the
    // end of the file, or at a damaged record.
    bool next(CaptureRecord *record);
    // Why open() refused the file or next() stopped early; empty at a clean end.
    QString errorText() const { return m_errorText; }

private:
    bool refuse(const QString &text, QString *error);

    std::unique_ptr<pcap, PcapCloser> m_pcap;
    QString m_errorText;
};
