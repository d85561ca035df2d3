#include "clioptions.h"

#include "regions/region.h"

#include <QMap>

namespace {

const char *const description =
    "Talks to a VKS20 Series laser radar as vks20 does, without a window.\n"
    "\n"
    "vks20-cli LINK COMMAND [ARGS]\n"
    "LINK (one):\n"
    "  --serial PATH [--modbus] [--baud N]  serial device or pty; raw frames, or Modbus-RTU\n"
    "  --udp HOST:PORT [--bind ADDR:PORT]   UDP to the device\n"
    "COMMAND:\n"
    "  info                                 initialise as vks20 does on connect; print mode,\n"
    "                                       resolution, frame length\n"
    "  regions read FILE                    read the 45 regions into FILE (regions.dat format)\n"
    "  regions write FILE [--verify]        write the 45 regions of FILE; with --verify read\n"
    "                                       them back and compare\n"
    "  regions verify FILE                  compare the device's regions with FILE\n"
    "  regions fingerprint                  print the SHA-256 fingerprint of the device's regions\n"
    "  regions diff A --device              list the regions where file A and the device differ\n"
    "  regions backup DIR                   read the regions into DIR/<UTC "
    "time>-<fingerprint>.dat\n"
    "                                       with a .json record beside it\n"
    "  scan [--revolutions N] [--csv FILE]  start, collect N complete revolutions, stop\n"
    "  capture FILE [--seconds S] [--scan]  record what crosses the link for S seconds\n"
    "                                       (default 10) into a pcap file; with --scan start\n"
    "                                       acquisition first and stop it at the end\n"
    "  monitor --group N --regions FILE [--seconds S] [--csv OUT] [--until-alarm R]\n"
    "                                       start, evaluate every complete revolution against\n"
    "                                       group N of FILE for S seconds (default 10), print\n"
    "                                       each change of a region's state, stop; with\n"
    "                                       --until-alarm end as soon as region R alarms\n"
    "vks20-cli replay FILE [--csv OUT]      decode a capture as fast as it reads (no LINK)\n"
    "vks20-cli regions fingerprint FILE     print the fingerprint of a region file (no LINK)\n"
    "vks20-cli regions diff A B             list the regions where two files differ (no LINK)\n"
    "vks20-cli regions report FILE --pdf OUT  write the commissioning report (no LINK)\n"
    "vks20-cli regions export FILE --dxf OUT.dxf [--group N]\n"
    "                                       the regions as an R12 drawing, one layer each\n"
    "vks20-cli regions export FILE --nav2 OUT.yaml --group N [--nav2-names A,B,C]\n"
    "                                       the group as ROS 2 collision monitor polygons\n"
    "                                       (default actions stop,slowdown,approach)\n"
    "vks20-cli regions import IN.dxf --layer NAME --group N --region R FILE\n"
    "                                       the layer's closed polygon into FILE (no LINK)\n"
    "vks20-cli evaluate CAPTURE --regions FILE --group N [--csv OUT]\n"
    "                                       the monitor's evaluation over a capture, as fast as\n"
    "                                       it reads (no LINK); a summary per region\n"
    "The alarm CSV: revolution,time_s,region,points_inside,alarm_points,alarm. The tool's\n"
    "evaluation is a preview, not the device's safety function (see README).\n"
    "\n"
    "Exit status: 0 success; 1 the device failed (no reply, a region not acknowledged,\n"
    "an incomplete reading, a mismatch, no alarm within --until-alarm's S seconds), regions\n"
    "differ or a capture is damaged; 2 usage, file or link-open error.";

const QMap<QString, CliCommand> plainCommands = {
    {QStringLiteral("info"), CliCommand::Info},
    {QStringLiteral("scan"), CliCommand::Scan},
    {QStringLiteral("monitor"), CliCommand::Monitor},
};

const QMap<QString, CliCommand> captureCommands = {
    {QStringLiteral("capture"), CliCommand::Capture},
    {QStringLiteral("replay"), CliCommand::Replay},
    {QStringLiteral("evaluate"), CliCommand::Evaluate},
};

const QMap<QString, CliCommand> regionCommands = {
    {QStringLiteral("read"), CliCommand::RegionsRead},
    {QStringLiteral("write"), CliCommand::RegionsWrite},
    {QStringLiteral("verify"), CliCommand::RegionsVerify},
    {QStringLiteral("fingerprint"), CliCommand::RegionsFingerprint},
    {QStringLiteral("diff"), CliCommand::RegionsDiff},
    {QStringLiteral("backup"), CliCommand::RegionsBackup},
    {QStringLiteral("report"), CliCommand::RegionsReport},
    {QStringLiteral("export"), CliCommand::RegionsExport},
    {QStringLiteral("import"), CliCommand::RegionsImport},
};

// The words after "regions <verb>" each verb takes: the fewest and the most.
struct Arity
{
    int fewest;
    int most;
};

Arity arityOf(CliCommand command, bool againstDevice)
{
    switch (command) {
    case CliCommand::RegionsFingerprint:
        return {0, 1};
    case CliCommand::RegionsDiff:
        return againstDevice ? Arity{1, 1} : Arity{2, 2};
    case CliCommand::RegionsImport:
        return {2, 2};
    default:
        return {1, 1};
    }
}

} // namespace

CliCommandLine::CliCommandLine()
{
    m_parser.setApplicationDescription(QString::fromLatin1(description));
    m_parser.addPositionalArgument(
        QStringLiteral("command"),
        QStringLiteral("info, regions read|write|verify|export FILE, regions "
                       "fingerprint|diff|backup|report, regions import "
                       "IN.dxf FILE, scan, capture FILE, monitor, "
                       "replay FILE, evaluate CAPTURE."),
        QStringLiteral("COMMAND [ARGS]"));
    m_parser.addHelpOption();
    m_parser.addVersionOption();
    m_parser.addOptions({
        {"serial", "The device on this serial port or pseudo-terminal.", "path"},
        {"modbus", "With --serial: Modbus-RTU framing."},
        {"baud", "With --serial: baud rate. Default: 460800.", "n", "460800"},
        {"udp", "The device at this UDP endpoint.", "host:port"},
        {"bind", "With --udp: the local address and port. Default: 0.0.0.0:0.", "addr:port",
         "0.0.0.0:0"},
        {"verify", "With regions write: read the regions back and compare."},
        {"device", "With regions diff: compare with the device's regions."},
        {"pdf", "With regions report: the PDF file to write.", "file"},
        {"revolutions", "With scan: complete revolutions to collect. Default: 1.", "n", "1"},
        {"csv",
         "With scan or replay: write every point to this CSV file; with monitor or evaluate: "
         "every revolution's alarm states.",
         "file"},
        {"seconds", "With capture or monitor: how long to run. Default: 10.", "s", "10"},
        {"group", "With monitor, evaluate, regions export or import: the group, 1 to 15.", "n"},
        {"regions", "With monitor or evaluate: the region settings file.", "file"},
        {"until-alarm", "With monitor: end as soon as this region (1 to 3) alarms.", "r"},
        {"scan", "With capture: start acquisition first and stop it at the end."},
        {"quiet", "No progress on stderr."},
        {"dxf", "With regions export: write this DXF drawing.", "file"},
        {"nav2", "With regions export: write these collision monitor polygons.", "file"},
        {"nav2-names", "With --nav2: the actions of regions 1, 2 and 3.", "a,b,c"},
        {"layer", "With regions import: the drawing's layer to take.", "name"},
        {"region", "With regions import: the region, 1 to 3.", "r"},
    });
}

bool CliCommandLine::parse(const QStringList &arguments)
{
    m_options = CliOptions();
    m_error.clear();
    if (!m_parser.parse(arguments))
        return fail(m_parser.errorText());
    if (helpRequested() || versionRequested())
        return true;
    if (!readCommand(m_parser.positionalArguments()))
        return false;
    const CliCommand command = m_options.command;
    // Captures and region files are worked on from their files: no device.
    if (needsDevice(m_options) ? !readLink() : !noLink())
        return false;
    if (!readRegionFormats())
        return false;
    m_options.verify = m_parser.isSet(QStringLiteral("verify"));
    m_options.pdfFile = m_parser.value(QStringLiteral("pdf"));
    m_options.csvFile = m_parser.value(QStringLiteral("csv"));
    m_options.scan = m_parser.isSet(QStringLiteral("scan"));
    m_options.quiet = m_parser.isSet(QStringLiteral("quiet"));
    if (!readCount(QStringLiteral("revolutions"), m_options.revolutions) ||
        !readCount(QStringLiteral("seconds"), m_options.seconds) ||
        !readRegionIndex(QStringLiteral("group"), Regions::groupCount, m_options.group) ||
        !readRegionIndex(QStringLiteral("region"), Regions::regionsPerGroup, m_options.region) ||
        !readAlarmWatch())
        return false;
    const bool capture = command == CliCommand::Capture;
    const bool monitor = command == CliCommand::Monitor;
    const bool alarms = monitor || command == CliCommand::Evaluate;
    const bool exporting = command == CliCommand::RegionsExport;
    const bool importing = command == CliCommand::RegionsImport;
    return onlyWith(QStringLiteral("verify"), command == CliCommand::RegionsWrite,
                    QStringLiteral("regions write")) &&
           onlyWith(QStringLiteral("revolutions"), command == CliCommand::Scan,
                    QStringLiteral("scan")) &&
           onlyWith(QStringLiteral("csv"),
                    command == CliCommand::Scan || command == CliCommand::Replay || alarms,
                    QStringLiteral("scan, replay, monitor and evaluate")) &&
           onlyWith(QStringLiteral("seconds"), capture || monitor,
                    QStringLiteral("capture and monitor")) &&
           onlyWith(QStringLiteral("scan"), capture, QStringLiteral("capture")) &&
           onlyWith(QStringLiteral("device"), command == CliCommand::RegionsDiff,
                    QStringLiteral("regions diff")) &&
           onlyWith(QStringLiteral("pdf"), command == CliCommand::RegionsReport,
                    QStringLiteral("regions report")) &&
           (command != CliCommand::RegionsReport || !m_options.pdfFile.isEmpty() ||
            fail(QStringLiteral("regions report takes --pdf OUT"))) &&
           onlyWith(QStringLiteral("group"), alarms || exporting || importing,
                    QStringLiteral("monitor, evaluate, regions export and import")) &&
           onlyWith(QStringLiteral("regions"), alarms, QStringLiteral("monitor and evaluate")) &&
           onlyWith(QStringLiteral("until-alarm"), monitor, QStringLiteral("monitor"));
}

// The group and regions monitor and evaluate need, and the region monitor may wait for.
bool CliCommandLine::readAlarmWatch()
{
    if (m_options.command != CliCommand::Monitor && m_options.command != CliCommand::Evaluate)
        return true;
    const QString regions = QStringLiteral("regions");
    if (!m_parser.isSet(QStringLiteral("group")) || !m_parser.isSet(regions))
        return fail(QStringLiteral("%1 needs --group N and --regions FILE")
                        .arg(m_parser.positionalArguments().first()));
    m_options.regionFile = m_parser.value(regions);
    return m_options.command != CliCommand::Monitor ||
           !m_parser.isSet(QStringLiteral("until-alarm")) ||
           readNumber(QStringLiteral("until-alarm"), Regions::regionsPerGroup,
                      m_options.untilAlarm);
}

// An option naming a group or a region, when given.
bool CliCommandLine::readRegionIndex(const QString &option, int last, int &index)
{
    return !m_parser.isSet(option) || readNumber(option, last, index);
}

bool CliCommandLine::readNumber(const QString &option, int last, int &number)
{
    bool read = false;
    number = m_parser.value(option).toInt(&read);
    return (read && number >= 1 && number <= last) ||
           fail(QStringLiteral("--%1 takes a whole number from 1 to %2").arg(option).arg(last));
}

bool needsDevice(const CliOptions &options)
{
    switch (options.command) {
    case CliCommand::Replay:
    case CliCommand::Evaluate:
    case CliCommand::RegionsReport:
    case CliCommand::RegionsExport:
    case CliCommand::RegionsImport:
        return false;
    case CliCommand::RegionsFingerprint:
        return options.regionFile.isEmpty();
    case CliCommand::RegionsDiff:
        return options.againstDevice;
    default:
        return true;
    }
}

bool CliCommandLine::readRegionFormats()
{
    const CliCommand command = m_options.command;
    const bool exporting = command == CliCommand::RegionsExport;
    const bool importing = command == CliCommand::RegionsImport;
    if (!importing) // the import's drawing is its first argument
        m_options.dxfFile = m_parser.value(QStringLiteral("dxf"));
    m_options.nav2File = m_parser.value(QStringLiteral("nav2"));
    m_options.nav2Names = m_parser.value(QStringLiteral("nav2-names"));
    m_options.layer = m_parser.value(QStringLiteral("layer"));
    const QString exportOnly = QStringLiteral("regions export");
    const QString importOnly = QStringLiteral("regions import");
    return onlyWith(QStringLiteral("dxf"), exporting, exportOnly) &&
           onlyWith(QStringLiteral("nav2"), exporting, exportOnly) &&
           onlyWith(QStringLiteral("nav2-names"), exporting, exportOnly) &&
           onlyWith(QStringLiteral("layer"), importing, importOnly) &&
           onlyWith(QStringLiteral("region"), importing, importOnly);
}

bool CliCommandLine::readCount(const QString &option, int &count)
{
    bool read = false;
    count = m_parser.value(option).toInt(&read);
    return (read && count >= 1) ||
           fail(QStringLiteral("--%1 takes a whole number from 1").arg(option));
}

bool CliCommandLine::noLink()
{
    for (const char *option : {"serial", "udp", "modbus", "baud", "bind"}) {
        if (!onlyWith(QLatin1String(option), false, QStringLiteral("a command for a device")))
            return false;
    }
    return true;
}

bool CliCommandLine::helpRequested() const
{
    return m_parser.isSet(QStringLiteral("help"));
}

bool CliCommandLine::versionRequested() const
{
    return m_parser.isSet(QStringLiteral("version"));
}

QString CliCommandLine::helpText() const
{
    return m_parser.helpText();
}

bool CliCommandLine::readLink()
{
    LinkOptions &link = m_options.link;
    const bool serial = m_parser.isSet(QStringLiteral("serial"));
    const bool udp = m_parser.isSet(QStringLiteral("udp"));
    if (serial == udp)
        return fail(QStringLiteral("give one link: --serial PATH or --udp HOST:PORT"));
    if (!onlyWith(QStringLiteral("modbus"), serial, QStringLiteral("--serial")) ||
        !onlyWith(QStringLiteral("baud"), serial, QStringLiteral("--serial")) ||
        !onlyWith(QStringLiteral("bind"), udp, QStringLiteral("--udp")))
        return false;
    if (udp) {
        link.mode = Net;
        QString bindHost;
        if (!readEndpoint(QStringLiteral("udp"), link.deviceHost, link.devicePort) ||
            !readEndpoint(QStringLiteral("bind"), bindHost, link.bindPort))
            return false;
        if (!link.bindAddress.setAddress(bindHost))
            return fail(QStringLiteral("--bind takes an IP address: ") + bindHost);
        if (link.devicePort == 0)
            return fail(QStringLiteral("--udp needs a port from 1 to 65535"));
        return true;
    }
    link.mode = m_parser.isSet(QStringLiteral("modbus")) ? Modbus : Usb;
    link.serialPath = m_parser.value(QStringLiteral("serial"));
    bool baudRead = false;
    link.baudRate = m_parser.value(QStringLiteral("baud")).toInt(&baudRead);
    if (!baudRead || link.baudRate < 1)
        return fail(QStringLiteral("--baud takes a positive whole number"));
    return true;
}

bool CliCommandLine::readCommand(const QStringList &words)
{
    if (words.isEmpty())
        return fail(QStringLiteral("no command given (see --help)"));
    const QString &verb = words.first();
    if (plainCommands.contains(verb)) {
        if (words.size() > 1)
            return fail(verb + QStringLiteral(" takes no arguments"));
        m_options.command = plainCommands.value(verb);
        return true;
    }
    if (captureCommands.contains(verb)) {
        if (words.size() != 2)
            return fail(verb + QStringLiteral(" takes one FILE"));
        m_options.command = captureCommands.value(verb);
        m_options.captureFile = words.at(1);
        return true;
    }
    if (verb != QLatin1String("regions"))
        return fail(QStringLiteral("unknown command: ") + verb);
    return readRegionsCommand(words);
}

bool CliCommandLine::readRegionsCommand(const QStringList &words)
{
    if (words.size() < 2 || !regionCommands.contains(words.at(1))) {
        return fail(QStringLiteral("regions takes read, write, verify, fingerprint, diff, backup, "
                                   "report, export or import"));
    }
    const CliCommand command = regionCommands.value(words.at(1));
    m_options.command = command;
    m_options.againstDevice = m_parser.isSet(QStringLiteral("device"));
    const Arity arity = arityOf(command, m_options.againstDevice);
    const int given = words.size() - 2;
    if (given < arity.fewest || given > arity.most) {
        const QString takes =
            command == CliCommand::RegionsDiff ? QStringLiteral(" takes A and B, or A and --device")
            : command == CliCommand::RegionsBackup ? QStringLiteral(" takes one DIR")
            : command == CliCommand::RegionsImport ? QStringLiteral(" takes IN.dxf and FILE")
                                                   : QStringLiteral(" takes one FILE");
        return fail(QStringLiteral("regions ") + words.at(1) + takes);
    }
    const QString first = words.value(2);
    if (command == CliCommand::RegionsBackup) {
        m_options.backupFolder = first;
    } else if (command == CliCommand::RegionsImport) {
        m_options.dxfFile = first;
        m_options.regionFile = words.value(3);
        return true;
    } else {
        m_options.regionFile = first;
    }
    m_options.otherRegionFile = words.value(3);
    return true;
}

// HOST:PORT, the host in brackets when it is an IPv6 address.
bool CliCommandLine::readEndpoint(const QString &option, QString &host, quint16 &port)
{
    const QString text = m_parser.value(option);
    const int colon = text.lastIndexOf(QLatin1Char(':'));
    bool portRead = false;
    port = colon < 0 ? 0 : text.mid(colon + 1).toUShort(&portRead);
    host = text.left(colon).remove(QLatin1Char('[')).remove(QLatin1Char(']'));
    if (!portRead || host.isEmpty())
        return fail(QStringLiteral("--%1 takes HOST:PORT, not %2").arg(option, text));
    return true;
}

bool CliCommandLine::onlyWith(const QString &option, bool allowed, const QString &where)
{
    return allowed || !m_parser.isSet(option) ||
           fail(QStringLiteral("--%1 only goes with %2").arg(option, where));
}

bool CliCommandLine::fail(const QString &message)
{
    m_error = message;
    return false;
}
