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
    "vks20-cli evaluate CAPTURE --regions FILE --group N [--csv OUT]\n"
    "                                       the monitor's evaluation over a capture, as fast as\n"
    "                                       it reads (no LINK); a summary per region\n"
    "The alarm CSV: revolution,time_s,region,points_inside,alarm_points,alarm. The tool's\n"
    "evaluation is a preview, not the device's safety function (see README).\n"
    "\n"
    "Exit status: 0 success; 1 the device failed (no reply, a region not acknowledged,\n"
    "an incomplete reading, a mismatch, no alarm within --until-alarm's S seconds); 2 usage,\n"
    "file or link-open error.";

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
};

} // namespace

CliCommandLine::CliCommandLine()
{
    m_parser.setApplicationDescription(QString::fromLatin1(description));
    m_parser.addPositionalArgument(QStringLiteral("command"),
                                   QStringLiteral("info, regions read|write|verify FILE, scan, "
                                                  "capture FILE, monitor, replay FILE, "
                                                  "evaluate CAPTURE."),
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
        {"revolutions", "With scan: complete revolutions to collect. Default: 1.", "n", "1"},
        {"csv",
         "With scan or replay: write every point to this CSV file; with monitor or evaluate: "
         "every revolution's alarm states.",
         "file"},
        {"seconds", "With capture or monitor: how long to run. Default: 10.", "s", "10"},
        {"group", "With monitor or evaluate: the region group, 1 to 15.", "n"},
        {"regions", "With monitor or evaluate: the region settings file.", "file"},
        {"until-alarm", "With monitor: end as soon as this region (1 to 3) alarms.", "r"},
        {"scan", "With capture: start acquisition first and stop it at the end."},
        {"quiet", "No progress on stderr."},
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
    // A capture is decoded from its file: replay and evaluate talk to no device.
    const bool offline = command == CliCommand::Replay || command == CliCommand::Evaluate;
    if (offline ? !noLink() : !readLink())
        return false;
    m_options.verify = m_parser.isSet(QStringLiteral("verify"));
    m_options.csvFile = m_parser.value(QStringLiteral("csv"));
    m_options.scan = m_parser.isSet(QStringLiteral("scan"));
    m_options.quiet = m_parser.isSet(QStringLiteral("quiet"));
    if (!readCount(QStringLiteral("revolutions"), m_options.revolutions) ||
        !readCount(QStringLiteral("seconds"), m_options.seconds) || !readAlarmWatch())
        return false;
    const bool capture = command == CliCommand::Capture;
    const bool monitor = command == CliCommand::Monitor;
    const bool alarms = monitor || command == CliCommand::Evaluate;
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
           onlyWith(QStringLiteral("group"), alarms, QStringLiteral("monitor and evaluate")) &&
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
    return readNumber(QStringLiteral("group"), Regions::groupCount, m_options.group) &&
           (m_options.command != CliCommand::Monitor ||
            !m_parser.isSet(QStringLiteral("until-alarm")) ||
            readNumber(QStringLiteral("until-alarm"), Regions::regionsPerGroup,
                       m_options.untilAlarm));
}

bool CliCommandLine::readNumber(const QString &option, int last, int &number)
{
    bool read = false;
    number = m_parser.value(option).toInt(&read);
    return (read && number >= 1 && number <= last) ||
           fail(QStringLiteral("--%1 takes a whole number from 1 to %2").arg(option).arg(last));
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
        if (!onlyWith(QLatin1String(option), false,
                      QStringLiteral("a device, not ") + m_parser.positionalArguments().first()))
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
    if (words.size() < 2 || !regionCommands.contains(words.at(1)))
        return fail(QStringLiteral("regions takes read, write or verify"));
    if (words.size() != 3)
        return fail(QStringLiteral("regions ") + words.at(1) + QStringLiteral(" takes one FILE"));
    m_options.command = regionCommands.value(words.at(1));
    m_options.regionFile = words.at(2);
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
