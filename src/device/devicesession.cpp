// The session's send path, its receive dispatcher and the step machinery its operations run on.
#include "device/devicesession.h"

#include "device/replaylink.h"
#include "device/steptimer.h"
#include "protocol/commands.h"
#include "protocol/hextext.h"

#include <utility>

DeviceSession::DeviceSession(LogSink log, StepTimer *timer, QObject *parent)
    : QObject(parent), m_log(std::move(log)), m_timer(timer ? timer : new QtStepTimer),
      m_decoder(m_log), m_rawRegionParser(m_log), m_modbusRegionParser(m_log)
{
    qRegisterMetaType<RegionFrame::Content>();
    qRegisterMetaType<InitialisationResult>();
    qRegisterMetaType<RegionWriteResult>();
    qRegisterMetaType<RegionReadResult>();
    m_timer->setParent(this);
    connect(m_timer, &StepTimer::expired, this, &DeviceSession::runPendingStep);
    m_decoder.setRevolutionHandler([this](const ScanFrames &revolution, bool complete) {
        emit revolutionDecoded(revolution, complete);
    });
}

DeviceSession::~DeviceSession() = default;

void DeviceSession::setLink(DeviceLink *link)
{
    if (m_link)
        disconnect(m_link, nullptr, this, nullptr);
    m_link = link;
    if (m_link)
        connect(m_link, &DeviceLink::received, this, &DeviceSession::handleReceivedData);
    follow(qobject_cast<ReplayLink *>(link));
}

void DeviceSession::setMode(ConnMode mode)
{
    m_mode = mode;
}

void DeviceSession::sendFinalStop()
{
    log(QStringLiteral("Send radar stop acquisition command......"));
    setLinkState(StoppingScan);
    send(DeviceCommand::stopScan(m_mode));
}

void DeviceSession::send(const QString &hexText)
{
    // A replay's commands are the recorded ones.
    if (hexText.isEmpty() || m_following)
        return;
    log(QStringLiteral("the software send data >>> ") + hexText);
    emit frameSent(hexText);
    if (m_link && m_link->isOpen())
        m_link->write(HexText::toBytes(hexText));
}

void DeviceSession::handleReceivedData(const QByteArray &chunk)
{
    const QString hex = HexText::fromBytes(chunk);
    log(QStringLiteral("the software receive data >>> ") + hex);
    emit chunkReceived(hex);

    switch (m_linkState) {
    case StoppingScan:
        handleStopReply(hex);
        break;
    case RegionsFromDevice:
        if (m_mode == Modbus)
            handleModbusRegionData(chunk);
        else
            handleRawRegionData(chunk, hex);
        break;
    case RegionsToDevice:
        handleRegionWriteReply(hex);
        break;
    case Scanning:
        log(QStringLiteral("Start parsing radar data......"));
        m_decoder.feed(chunk, m_geometry);
        log(QStringLiteral("End parsing radar data......"));
        break;
    case ResolutionQuery:
        handleResolutionReply(hex);
        break;
    case StartingScan:
        // While the start commands go out, stray data is shown but not decoded.
        break;
    }
}

void DeviceSession::handleStopReply(const QString &hex)
{
    if (m_scanner.scan(hex).isEmpty())
        return;
    report(tr("下位机接收到停止点云指令"),
           QStringLiteral("The lower computer received a stop point cloud command......"));
    m_replyReceived = true;
    endWaitEarly();
}

void DeviceSession::handleResolutionReply(const QString &hex)
{
    const QString code = m_scanner.scan(hex);
    if (code == ReplyCode::resolutionFine) {
        report(tr("角分辨率为0.18度"),
               QStringLiteral("The angular resolution is 0.18 degrees......"));
        m_geometry = ScanGeometry::fine();
    } else if (code == ReplyCode::resolutionCoarse) {
        report(tr("角分辨率为0.36度"),
               QStringLiteral("The angular resolution is 0.36 degrees......"));
        m_geometry = ScanGeometry::coarse();
    } else {
        return;
    }
    emit angleResolutionReceived(m_geometry.angleResolution);
    m_replyReceived = true;
    endWaitEarly();
}

void DeviceSession::setLinkState(LinkState state)
{
    m_linkState = state;
    // What counts as a reply depends on what was asked; the device's ack outranks its errors,
    // and the finer resolution is believed first.
    QStringList codes;
    switch (state) {
    case StoppingScan:
        codes = QStringList{m_mode == Modbus ? ReplyCode::modbusStopAck : ReplyCode::ack};
        break;
    case ResolutionQuery:
        codes = QStringList{ReplyCode::resolutionFine, ReplyCode::resolutionCoarse};
        break;
    case RegionsFromDevice:
        codes = QStringList{ReplyCode::ack};
        break;
    case RegionsToDevice:
        codes = QStringList{ReplyCode::ack, ReplyCode::checksumError, ReplyCode::modelMismatch};
        if (m_mode == Modbus)
            codes.insert(1, HexText::fromBytes(RegionFrame::modbusWriteEcho(m_writeResult.sent)));
        break;
    case StartingScan:
        m_decoder.restartStream();
        break;
    case Scanning:
        break;
    }
    m_scanner.expect(codes);
}

void DeviceSession::report(const QString &status, const QString &logText)
{
    emit statusReported(status);
    log(logText);
}

void DeviceSession::log(const QString &line) const
{
    if (m_log)
        m_log(line);
}

void DeviceSession::pauseThen(int ms, Step next)
{
    m_pendingStep = std::move(next);
    m_stepEndsOnReply = false;
    m_timer->start(ms);
}

void DeviceSession::awaitReplyThen(int ms, Outcome next)
{
    m_pendingStep = [this, next = std::move(next)] { next(m_replyReceived); };
    m_stepEndsOnReply = true;
    m_timer->start(ms);
}

// Called last by a reply handler, since the next step may send and change the link state.
void DeviceSession::endWaitEarly()
{
    if (m_stepEndsOnReply)
        runPendingStep();
}

void DeviceSession::runPendingStep()
{
    m_timer->stop();
    m_stepEndsOnReply = false;
    const Step step = std::exchange(m_pendingStep, {});
    if (step)
        step();
}

void DeviceSession::enqueue(std::function<void(Step)> operation)
{
    m_operations.enqueue(std::move(operation));
    if (!m_operationRunning)
        startNextOperation();
}

void DeviceSession::startNextOperation()
{
    m_operationRunning = !m_operations.isEmpty();
    if (m_operationRunning)
        m_operations.dequeue()([this] { startNextOperation(); });
}
