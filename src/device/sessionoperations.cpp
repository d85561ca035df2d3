// Start, stop, resolution query, IO output mode and the connect initialisation: each a short
// sequence of commands with the device's repeats, pauses and time-outs.
#include "device/devicesession.h"

#include "protocol/commands.h"

namespace {

constexpr int stopAttempts = 3;
constexpr int stopReplyTimeoutMs = 1000;
constexpr int resolutionReplyTimeoutMs = 500;
constexpr int ioRepeats = 3;
constexpr int ioPauseMs = 20;
constexpr int initialisationPauseMs = 100;

} // namespace

void DeviceSession::initialise(const RadarParameters &parameters, int ioModeIndex)
{
    enqueue([this, parameters, ioModeIndex](Step done) {
        report(tr("停止雷达"), QStringLiteral("Stop radar......"));
        runStop([=](bool stopAcknowledged) {
            pauseThen(initialisationPauseMs, [=] {
                report(tr("设置雷达参数"), QStringLiteral("Set radar parameters......"));
                send(DeviceCommand::radarParameters(m_mode, parameters.baudIndex,
                                                    parameters.frequencyIndex,
                                                    parameters.navModeIndex));
                pauseThen(initialisationPauseMs, [=] {
                    runResolutionQuery([=](bool resolutionAnswered) {
                        log(QStringLiteral("Set ladar IO output mode..."));
                        runIoOutputMode(ioModeIndex, [=] {
                            emit initialised({stopAcknowledged, resolutionAnswered});
                            done();
                        });
                    });
                });
            });
        });
    });
}

void DeviceSession::startScan()
{
    enqueue([this](Step done) { runStart(done); });
}

void DeviceSession::stopScan()
{
    enqueue([this](Step done) { runStop([done](bool) { done(); }); });
}

void DeviceSession::setIoOutputMode(int index)
{
    enqueue([this, index](Step done) {
        log(QStringLiteral("Set ladar IO output mode..."));
        runIoOutputMode(index, done);
    });
}

void DeviceSession::runStart(Step done)
{
    emit scanStarting();
    report(tr("发送雷达开始采集命令"),
           QStringLiteral("Send radar start acquisition command......"));
    setLinkState(StartingScan);
    // The scan is what follows the last repeat: decoding begins as it goes out, a moment a
    // recording of the link holds, so that a replay begins decoding exactly where this did.
    const QString start = DeviceCommand::startScan(m_mode);
    repeatCommand(start, startRepeats - 1, startPauseMs, [this, start, done] {
        send(start);
        setLinkState(Scanning);
        pauseThen(startPauseMs, [this, done] {
            emit scanStarted();
            done();
        });
    });
}

// A stop that is never acknowledged ends like one that is: the device may have stopped anyway.
void DeviceSession::runStop(Outcome done)
{
    emit scanStopping();
    report(tr("发送雷达停止采集命令"), QStringLiteral("Send radar stop acquisition command......"));
    setLinkState(StoppingScan);
    stopAttempt(1, std::move(done));
}

void DeviceSession::stopAttempt(int attempt, Outcome done)
{
    m_replyReceived = false;
    send(DeviceCommand::stopScan(m_mode));
    awaitReplyThen(stopReplyTimeoutMs, [this, attempt, done](bool answered) {
        if (answered) {
            report(tr("发送雷达停止采集命令成功"),
                   QStringLiteral("Successfully sent radar stop acquisition command"));
        } else {
            const QString number = QString::number(attempt);
            report(tr("响应超时第") + number + tr("次"),
                   QStringLiteral("Response timeout at ") + number + QStringLiteral(" time"));
            if (attempt < stopAttempts) {
                stopAttempt(attempt + 1, done);
                return;
            }
        }
        emit scanStopped(answered);
        done(answered);
    });
}

// The link stays in the query state afterwards: a late reply still sets the resolution.
void DeviceSession::runResolutionQuery(Outcome done)
{
    log(QStringLiteral("Obtain radar angular resolution......"));
    m_replyReceived = false;
    setLinkState(ResolutionQuery);
    send(DeviceCommand::resolutionQuery(m_mode));
    awaitReplyThen(resolutionReplyTimeoutMs, [this, done](bool answered) {
        if (answered) {
            report(tr("获取雷达角分辨率成功"),
                   QStringLiteral("Successfully obtained radar angular resolution......"));
        } else {
            report(tr("获取雷达角分辨率响应超时"),
                   QStringLiteral("Obtaining radar angular resolution response timeout......"));
        }
        done(answered);
    });
}

void DeviceSession::runIoOutputMode(int index, Step done)
{
    repeatCommand(DeviceCommand::ioOutputMode(index), ioRepeats, ioPauseMs, std::move(done));
}

// The device takes unacknowledged commands more surely when they come more than once.
void DeviceSession::repeatCommand(const QString &command, int times, int pauseMs, Step done)
{
    send(command);
    pauseThen(pauseMs, [=] {
        if (times > 1)
            repeatCommand(command, times - 1, pauseMs, done);
        else
            done();
    });
}
