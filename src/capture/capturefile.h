#pragma once

#include <QByteArray>
#include <QString>

#include <memory>
#include <optional>

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

// Writes a capture beside `path` under a name of its own and puts it in place of `path` only on
// close(), so a recording that fails or is cut short leaves an earlier file at `path` whole.
class CaptureWriter
{
public:
    ~CaptureWriter() { discard(); }

    bool open(const QString &path, QString *error);
    // Each record reaches the disk before this returns, so what was recorded survives a crash
    // (under the working name, workingPath()). A chunk longer than a record holds is split into
    // several records of the same time stamp; an empty chunk writes nothing.
    bool write(CaptureDirection direction, const QByteArray &bytes, qint64 timeUs);
    // Replaces the file at the path given to open() with the capture; false, with `error`, when
    // it cannot (the capture is then dropped).
    bool close(QString *error = nullptr);
    // Drops the capture and leaves the path given to open() as it was.
    void discard();
    bool isOpen() const { return m_dumper != nullptr; }
    QString workingPath() const { return m_workingPath; }
    // Payload bytes recorded since open(), direction bytes and pcap headers not counted.
    qint64 bytesWritten() const { return m_bytesWritten; }

private:
    bool writeRecord(CaptureDirection direction, const char *bytes, int size, qint64 timeUs);
    void closeDumper();

    // Declared before the dumper, which must be closed first.
    std::unique_ptr<pcap, PcapCloser> m_pcap;
    std::unique_ptr<pcap_dumper, PcapDumperCloser> m_dumper;
    QString m_path;
    QString m_workingPath;
    QByteArray m_recordBuffer;
    qint64 m_bytesWritten = 0;
};

// Where a capture stops being readable.
struct CaptureDamage
{
    int record = 0; // the first unreadable record, counting every record of the file from 1
    qint64 sinceStartUs = 0; // the last readable record's time after the first record's
    QString reason;          // as libpcap gives it

    // "damaged at record 12, 3.250 s into the recording: <reason>"
    QString text() const;
};

class CaptureReader
{
public:
    // Refuses a file of any link type but USER0.
    bool open(const QString &path, QString *error);
    // The next record, skipping those without payload or of an unknown direction. False at the
    // end of the file, or at a damaged record.
    bool next(CaptureRecord *record);
    // Where next() stopped early; none at a clean end.
    const std::optional<CaptureDamage> &damage() const { return m_damage; }

private:
    std::unique_ptr<pcap, PcapCloser> m_pcap;
    std::optional<CaptureDamage> m_damage;
    int m_recordsRead = 0; // every record, skipped ones too
    std::optional<qint64> m_firstTimeUs;
    qint64 m_lastTimeUs = 0;
};
