#include "app/windowoptions.h"

#include <QCoreApplication>
#include <QSettings>
#include <QTranslator>
#include <QUrl>

namespace {

const QString english = QStringLiteral("en");
const QString chinese = QStringLiteral("zh");
const QString languageKey = QStringLiteral("window/language");

} // namespace

WindowCommandLine::WindowCommandLine()
{
    m_parser.setApplicationDescription(
        QStringLiteral("Desktop tool for the VKS20 Series two-dimensional scanning laser radar."));
    m_parser.addHelpOption();
    m_parser.addOptions({
        {QStringLiteral("serial"),
         QStringLiteral("Open this serial port or pseudo-terminal at start."),
         QStringLiteral("path")},
        {QStringLiteral("modbus"),
         QStringLiteral("With --serial: Modbus-RTU (RS232/RS485) instead of raw frames (USB).")},
        {QStringLiteral("udp"),
         QStringLiteral("Talk to the device at <addr:port> over UDP from the start; the local side "
                        "takes a port of the system's choosing."),
         QStringLiteral("addr:port")},
        {QStringLiteral("replay"),
         QStringLiteral("Play this capture (pcap) in place of a device; nothing is sent."),
         QStringLiteral("file")},
        {QStringLiteral("scan"),
         QStringLiteral("With --serial or --udp: show the scanned image and start scanning.")},
        {QStringLiteral("lang"),
         QStringLiteral("Interface language, en or zh; kept for the next start. Default: the last "
                        "one used, else en."),
         QStringLiteral("en|zh")},
    });
}

bool WindowCommandLine::parse(const QStringList &arguments)
{
    m_options = WindowOptions();
    m_error.clear();
    if (!m_parser.parse(arguments))
        return fail(m_parser.errorText());
    if (!m_parser.positionalArguments().isEmpty())
        return fail(QStringLiteral("unexpected argument: ") +
                    m_parser.positionalArguments().first());
    if (helpRequested())
        return true;
    m_options.language = m_parser.value(QStringLiteral("lang"));
    if (!m_options.language.isEmpty() && m_options.language != english &&
        m_options.language != chinese)
        return fail(QStringLiteral("--lang must be en or zh"));
    m_options.scan = m_parser.isSet(QStringLiteral("scan"));
    if (!readLink())
        return false;
    if (m_options.scan &&
        (m_options.link == StartLink::None || m_options.link == StartLink::Replay))
        return fail(QStringLiteral("--scan needs --serial or --udp"));
    return true;
}

bool WindowCommandLine::readLink()
{
    const bool serial = m_parser.isSet(QStringLiteral("serial"));
    const bool udp = m_parser.isSet(QStringLiteral("udp"));
    const bool replay = m_parser.isSet(QStringLiteral("replay"));
    m_options.modbus = m_parser.isSet(QStringLiteral("modbus"));
    if (int(serial) + int(udp) + int(replay) > 1)
        return fail(QStringLiteral("--serial, --udp and --replay exclude each other"));
    if (replay) {
        m_options.link = StartLink::Replay;
        m_options.replayPath = m_parser.value(QStringLiteral("replay"));
    }
    if (m_options.modbus && !serial)
        return fail(QStringLiteral("--modbus needs --serial"));
    if (serial) {
        m_options.link = StartLink::Serial;
        m_options.serialPath = m_parser.value(QStringLiteral("serial"));
    }
    if (!udp)
        return true;
    // A URL reads both "127.0.0.1:5020" and "[::1]:5020".
    const QUrl url(QStringLiteral("udp://") + m_parser.value(QStringLiteral("udp")));
    const QHostAddress address(url.host());
    if (!url.isValid() || url.port() <= 0 || address.isNull() || !url.path().isEmpty())
        return fail(QStringLiteral("--udp needs <addr:port>, for example 127.0.0.1:5020"));
    m_options.link = StartLink::Udp;
    m_options.udpAddress = address;
    m_options.udpPort = quint16(url.port());
    return true;
}

bool WindowCommandLine::fail(const QString &message)
{
    m_error = message;
    return false;
}

namespace InterfaceLanguage {

QString choose(const WindowOptions &options, const QSettings &settings)
{
    if (!options.language.isEmpty())
        return options.language;
    const QString remembered = settings.value(languageKey).toString();
    return remembered == chinese ? chinese : english;
}

void remember(QSettings &settings, const QString &language)
{
    settings.setValue(languageKey, language);
}

bool install(const QString &language, QTranslator &translator)
{
    if (language != english)
        return true;
    return translator.load(QStringLiteral(":/lang/resource/Tervane_en.qm")) &&
           QCoreApplication::installTranslator(&translator);
}

} // namespace InterfaceLanguage
