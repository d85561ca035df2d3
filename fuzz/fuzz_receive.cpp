// Feeds arbitrary chunks to the device session's receive path in every link state and
// connection mode, without a window. Each input first puts the session into the state its
// control bytes name and restores the decoders to their state at construction, so an input
// behaves the same whenever it runs.
#include "controlbytes.h"
#include "device/devicesession.h"
#include "fuzzcheck.h"
#include "fuzzinput.h"

#include <QCoreApplication>

// Friend of DeviceSession: sets the state a chunk is read in and reads what it left.
class DeviceSessionProbe
{
public:
    explicit DeviceSessionProbe(DeviceSession &session)
        : m_session(session), m_pristineDecoder(session.m_decoder)
    {
        QObject::connect(&session, &DeviceSession::regionReceived,
                         [](const RegionFrame::Content &frame) { checkStored(frame); });
    }

    void prepare(const ReceiveControl &control)
    {
        DeviceSession &s = m_session;
        s.setMode(control.connMode);
        s.m_geometry = control.fineResolution ? ScanGeometry::fine() : ScanGeometry::coarse();
        // A Modbus writing of block 0, whose echo would acknowledge it.
        s.m_writeResult = {};
        s.setLinkState(control.linkState);
        s.m_regionRequestAcked = control.regionRequestAcked;
        s.m_replyReceived = false;
        s.m_regionsStored.clear();
        s.m_decoder = m_pristineDecoder;
        s.m_rawRegionParser.reset();
        s.m_modbusRegionParser.reset();
    }

    void receive(const QByteArray &chunk) { m_session.handleReceivedData(chunk); }

    // What no chunk may change, whatever it carries.
    void checkAfterChunk(const ReceiveControl &control) const
    {
        const DeviceSession &s = m_session;
        FUZZ_CHECK(s.m_linkState == control.linkState && s.m_mode == control.connMode);
        const ScanGeometry &g = s.m_geometry;
        const bool coarse = g.frameLength == 113 && g.pointsPerFrame == 50;
        const bool fine = g.frameLength == 213 && g.pointsPerFrame == 100;
        FUZZ_CHECK(coarse || fine);
        if (control.linkState == StartingScan || control.linkState == Scanning)
            FUZZ_CHECK(!s.m_replyReceived);
        FUZZ_CHECK(s.m_regionsStored.size() <= RegionFrame::regionCount);
        FUZZ_CHECK(s.m_rawRegionParser.bufferedBytes() <= 2 * RegionFrameParser::maxBufferedBytes);
        FUZZ_CHECK(s.m_decoder.bufferedBytes() <= 2 * PointCloudDecoder::maxBufferedBytes);
        FUZZ_CHECK(!s.isBusy());
    }

private:
    // Only regions the store can hold are ever handed on.
    static void checkStored(const RegionFrame::Content &frame)
    {
        FUZZ_CHECK(frame.groupIndex >= 1 && frame.groupIndex <= 15);
        FUZZ_CHECK(frame.regionNumber >= 1 && frame.regionNumber <= 3);
        FUZZ_CHECK(frame.polygon.size() <= RegionFrame::maxVertices);
        FUZZ_CHECK(frame.alarmPointNum >= 0 && frame.alarmPointNum <= 255);
    }

    DeviceSession &m_session;
    const PointCloudDecoder m_pristineDecoder;
};

namespace {

// One session that builds its trace lines and one that does not: the lines cost more than
// everything else, and most inputs need not pay for them.
DeviceSessionProbe *tracedProbe = nullptr;
DeviceSessionProbe *quietProbe = nullptr;

} // namespace

extern "C" int LLVMFuzzerInitialize(int *, char ***)
{
    static int argc = 1;
    static char name[] = "fuzz_receive";
    static char *argv[] = {name, nullptr};
    // The application and the sessions live as long as the process.
    new QCoreApplication(argc, argv);
    tracedProbe = new DeviceSessionProbe(
        *new DeviceSession([](const QString &line) { FUZZ_CHECK(!line.isEmpty()); }));
    quietProbe = new DeviceSessionProbe(*new DeviceSession({}));
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    FuzzInput input(data, size);
    const quint8 first = input.takeByte();
    const ReceiveControl control = ReceiveControl::fromBytes(first, input.takeByte());
    DeviceSessionProbe *probe = control.traced ? tracedProbe : quietProbe;
    probe->prepare(control);
    for (const QByteArray &chunk : input.takeChunks()) {
        probe->receive(chunk);
        probe->checkAfterChunk(control);
    }
    return 0;
}
