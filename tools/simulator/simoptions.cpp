#include "simoptions.h"

#include "protocol/regionframe.h"
#include "regions/region.h"

#include <climits>

namespace {

constexpr int maxWaitMs = 3600 * 1000; // an hour: longer waits are typos

const char *const description =
    "Simulated VKS20 Series laser radar for tests and demonstrations.\n"
    "\n"
    "Serves one link at a time and never leaves this machine:\n"
    "  --udp    binds a loopback address and answers the sender of each datagram;\n"
    "           prints \"UDP <addr>:<port>\" as its first line on stdout.\n"
    "  --serial opens a pseudo-terminal; prints \"PTY <path>\" as its first line on\n"
    "           stdout (the --pty-link path when given). Open that path as the\n"
    "           serial port (any baud rate).\n"
    "\n"
    "Raw frames by default; --modbus expects Modbus-RTU requests (slave 1, CRC\n"
    "checked, bad frames dropped) except the bare IO output command.\n"
    "It answers the stop and the resolution query, streams point-cloud frames of a\n"
    "12 m x 8 m room with a walking person after a start (15 frames from -45 to\n"
    "225 degrees per revolution), keeps 45 alarm regions and sends or accepts\n"
    "them one 134-byte region frame at a time.\n"
    "A parameter frame with the frequency \"stop rotating\" (4) halts the stream\n"
    "and holds off starts until a parameter frame with a running frequency.\n"
    "\n"
    "Region transfers for the fault options: a transfer is a run of region writes,\n"
    "of Modbus block reads, or the frames that follow one raw region request;\n"
    "any other command ends it. Frame numbers count 1..45 within a transfer.";

struct OptionSpec
{
    const char *name;
    const char *help;
    const char *valueName;
    const char *defaultValue;
};

const OptionSpec optionSpecs[] = {
    {"udp", "Serve UDP on <addr:port>, a loopback address only.", "addr:port", "127.0.0.1:5020"},
    {"serial", "Serve a pseudo-terminal instead of UDP.", nullptr, nullptr},
    {"modbus", "Modbus-RTU framing on the link.", nullptr, nullptr},
    {"resolution", "Angular resolution: 0.18 (213-byte frames) or 0.36 (113-byte frames).",
     "degrees", "0.18"},
    {"rate", "Revolutions per second, 5 to 20.", "hz", "10"},
    {"regions-file",
     "Load the 45 regions from this regions.dat at start; save them back "
     "after every complete write of 45 frames.",
     "path", nullptr},
    {"truth",
     "Write every point streamed to this CSV file, one revolution at a time: "
     "revolution,angle_deg,distance_mm,x_mm,y_mm.",
     "path", nullptr},
    {"pty-link",
     "With --serial: keep a symlink at <path> to the pseudo-terminal and print "
     "\"PTY <path>\" instead.",
     "path", nullptr},
    {"no-reply", "Answer nothing (commands still take effect).", nullptr, nullptr},
    {"reply-delay", "Delay every reply by <ms> milliseconds.", "ms", "0"},
    {"split-replies", "Send every reply and frame in 2-3 pieces with small gaps.", nullptr,
     nullptr},
    {"split-gap", "Quiet time between the pieces of a split reply, in milliseconds.", "ms", "4"},
    {"garbage", "Random junk (never containing A5 5A) between point-cloud frames.", nullptr,
     nullptr},
    {"model-mismatch", "Answer every region write with A55AEF87FAFB.", nullptr, nullptr},
    {"checksum-error",
     "Answer these region writes (frame numbers 1..45, comma separated) "
     "with A55AFE96FAFB.",
     "list", nullptr},
    {"silence-after",
     "Region reading: send only <n> frames; region writing: answer only "
     "<n> frames.",
     "n", nullptr},
    {"bad-group-frame",
     "Region reading: frame <n> (1..45) names group 0, checksum and CRC "
     "still correct.",
     "n", nullptr},
    {"corrupt-frame",
     "Region reading: flip one bit of frame <n> (1..45) after its checksum "
     "(raw) or CRC (Modbus), once; asked for again, it arrives intact.",
     "n", nullptr},
    {"late-copy", "Raw region reading: send the 45th frame again <ms> milliseconds later.", "ms",
     nullptr},
    {"drop-vertex",
     "A written region <group/region> (1..15/1..3) is stored without its "
     "last vertex, and acknowledged as usual.",
     "group/region", nullptr},
    {"cable-pull-after",
     "After <n> region frames sent or received: serial closes the "
     "pseudo-terminal and exits (see --come-back); UDP stops answering entirely.",
     "n", nullptr},
    {"cable-pull-after-scan",
     "Pull the cable as --cable-pull-after does, <ms> milliseconds after "
     "each start of streaming (a stop before then calls it off).",
     "ms", nullptr},
    {"come-back",
     "Serial, after a pulled cable: <ms> milliseconds later, a fresh "
     "pseudo-terminal behind --pty-link; regions kept, streaming stopped.",
     "ms", nullptr},
    {"drop-replies", "Lose this percentage of replies (meant for UDP).", "percent", "0"},
    {"duplicate-replies", "Send every reply twice (meant for UDP).", nullptr, nullptr},
    {"seed", "Seed of every random choice (noise, junk, splits, losses).", "n", "1"},
    {"log", "Trace each received command and sent reply on stderr.", nullptr, nullptr},
};

} // namespace

SimCommandLine::SimCommandLine()
{
    m_parser.setApplicationDescription(QString::fromLatin1(description));
    m_parser.addHelpOption();
    for (const OptionSpec &spec : optionSpecs) {
        QString help = QString::fromLatin1(spec.help);
        if (spec.defaultValue)
            help += QStringLiteral(" Default: ") + QString::fromLatin1(spec.defaultValue) + '.';
        QCommandLineOption option(QString::fromLatin1(spec.name), help);
        if (spec.valueName)
            option.setValueName(QString::fromLatin1(spec.valueName));
        if (spec.defaultValue)
            option.setDefaultValue(QString::fromLatin1(spec.defaultValue));
        m_parser.addOption(option);
    }
}

bool SimCommandLine::parse(const QStringList &arguments)
{
    m_options = SimOptions();
    m_error.clear();
    if (!m_parser.parse(arguments))
        return fail(m_parser.errorText());
    if (!m_parser.positionalArguments().isEmpty())
        return fail(QStringLiteral("unexpected argument: ") +
                    m_parser.positionalArguments().first());
    return helpRequested() || readOptions();
}

bool SimCommandLine::helpRequested() const
{
    return m_parser.isSet(QStringLiteral("help"));
}

QString SimCommandLine::helpText() const
{
    return m_parser.helpText();
}

bool SimCommandLine::readOptions()
{
    SimOptions &o = m_options;
    if (m_parser.isSet(QStringLiteral("serial"))) {
        if (m_parser.isSet(QStringLiteral("udp")))
            return fail(QStringLiteral("--serial and --udp exclude each other"));
        o.link = SimLink::Serial;
    }
    o.ptyLink = m_parser.value(QStringLiteral("pty-link"));
    if (!o.ptyLink.isEmpty() && o.link != SimLink::Serial)
        return fail(QStringLiteral("--pty-link needs --serial"));
    if (m_parser.isSet(QStringLiteral("come-back")) && o.ptyLink.isEmpty())
        return fail(QStringLiteral("--come-back needs --pty-link"));
    if (!readUdpEndpoint(m_parser.value(QStringLiteral("udp"))))
        return false;
    o.modbus = m_parser.isSet(QStringLiteral("modbus"));

    const QString resolution = m_parser.value(QStringLiteral("resolution"));
    if (resolution == QLatin1String("0.18"))
        o.geometry = ScanGeometry::fine();
    else if (resolution == QLatin1String("0.36"))
        o.geometry = ScanGeometry::coarse();
    else
        return fail(QStringLiteral("--resolution must be 0.18 or 0.36"));

    if (!readInt(QStringLiteral("rate"), 5, 20, o.rateHz) ||
        !readInt(QStringLiteral("reply-delay"), 0, 60000, o.wire.replyDelayMs) ||
        !readInt(QStringLiteral("drop-replies"), 0, 100, o.wire.dropPercent) ||
        !readInt(QStringLiteral("silence-after"), 0, RegionFrame::regionCount,
                 o.faults.silenceAfter) ||
        !readInt(QStringLiteral("cable-pull-after"), 1, 1000000, o.faults.cablePullAfter) ||
        !readInt(QStringLiteral("cable-pull-after-scan"), 0, maxWaitMs,
                 o.faults.cablePullAfterScanMs) ||
        !readInt(QStringLiteral("come-back"), 0, maxWaitMs, o.comeBackMs) ||
        !readInt(QStringLiteral("bad-group-frame"), 1, RegionFrame::regionCount,
                 o.faults.badGroupFrame) ||
        !readInt(QStringLiteral("corrupt-frame"), 1, RegionFrame::regionCount,
                 o.wire.corruptFrame) ||
        !readInt(QStringLiteral("late-copy"), 0, maxWaitMs, o.wire.lateCopyMs) ||
        !readInt(QStringLiteral("split-gap"), 0, maxWaitMs, o.wire.pieceGapMs))
        return false;
    int seed = 1;
    if (!readInt(QStringLiteral("seed"), 0, INT_MAX, seed))
        return false;
    o.seed = quint32(seed);
    if (!readFrameList(m_parser.value(QStringLiteral("checksum-error"))) ||
        !readDropVertex(m_parser.value(QStringLiteral("drop-vertex"))))
        return false;

    o.regionsFile = m_parser.value(QStringLiteral("regions-file"));
    o.truthFile = m_parser.value(QStringLiteral("truth"));
    o.log = m_parser.isSet(QStringLiteral("log"));
    o.faults.noReply = m_parser.isSet(QStringLiteral("no-reply"));
    o.faults.modelMismatch = m_parser.isSet(QStringLiteral("model-mismatch"));
    o.faults.streamGarbage = m_parser.isSet(QStringLiteral("garbage"));
    o.wire.splitReplies = m_parser.isSet(QStringLiteral("split-replies"));
    o.wire.duplicateReplies = m_parser.isSet(QStringLiteral("duplicate-replies"));
    return true;
}

bool SimCommandLine::readUdpEndpoint(const QString &text)
{
    const int colon = text.lastIndexOf(QLatin1Char(':'));
    bool portOk = false;
    const uint port = text.mid(colon + 1).toUInt(&portOk);
    QString host = text.left(colon);
    if (host.startsWith(QLatin1Char('[')) && host.endsWith(QLatin1Char(']')))
        host = host.mid(1, host.size() - 2);
    const QHostAddress address(host);
    if (colon < 0 || !portOk || port > 65535 || address.isNull())
        return fail(QStringLiteral("--udp needs <addr:port>, for example 127.0.0.1:5020"));
    // A simulated device must never answer on a real network.
    if (!address.isLoopback())
        return fail(QStringLiteral("--udp accepts loopback addresses only, not ") + host);
    m_options.udpAddress = address;
    m_options.udpPort = quint16(port);
    return true;
}

bool SimCommandLine::readInt(const QString &name, int minimum, int maximum, int &value)
{
    if (!m_parser.isSet(name) && m_parser.value(name).isEmpty())
        return true;
    bool ok = false;
    const int number = m_parser.value(name).toInt(&ok);
    if (!ok || number < minimum || number > maximum)
        return fail(QStringLiteral("--%1 must be a whole number from %2 to %3")
                        .arg(name)
                        .arg(minimum)
                        .arg(maximum));
    value = number;
    return true;
}

bool SimCommandLine::readFrameList(const QString &text)
{
    if (text.isEmpty())
        return true;
    for (const QString &item : text.split(QLatin1Char(','))) {
        bool ok = false;
        const int frame = item.trimmed().toInt(&ok);
        if (!ok || frame < 1 || frame > RegionFrame::regionCount)
            return fail(QStringLiteral("--checksum-error takes frame numbers 1..45, not ") + item);
        m_options.faults.checksumErrorFrames.insert(frame);
    }
    return true;
}

bool SimCommandLine::readDropVertex(const QString &text)
{
    if (text.isEmpty())
        return true;
    const QStringList parts = text.split(QLatin1Char('/'));
    bool groupOk = false;
    bool regionOk = false;
    const int group = parts.value(0).toInt(&groupOk);
    const int region = parts.value(1).toInt(&regionOk);
    if (parts.size() != 2 || !groupOk || !regionOk || group < 1 || group > Regions::groupCount ||
        region < 1 || region > Regions::regionsPerGroup)
        return fail(QStringLiteral("--drop-vertex takes <group>/<region>, 1..15/1..3, not ") +
                    text);
    m_options.faults.dropVertexGroup = group;
    m_options.faults.dropVertexRegion = region;
    return true;
}

bool SimCommandLine::fail(const QString &message)
{
    m_error = message;
    return false;
}
