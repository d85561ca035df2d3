#pragma once

#include <QCommandLineParser>
#include <QHostAddress>
#include <QString>

class QSettings;
class QTranslator;

// Where the window gets its device from at start.
enum class StartLink
{
    None, // the operator connects from the connection page
    Serial,
    Udp,
    Replay, // a capture plays in place of the device
};

struct WindowOptions
{
    StartLink link = StartLink::None;
    QString serialPath;
    bool modbus = false;
    QHostAddress udpAddress;
    quint16 udpPort = 0;
    QString replayPath;
    QString language; // "en", "zh", or empty for the one last used
    bool scan = false;
};

// The command line of vks20.
class WindowCommandLine
{
public:
    WindowCommandLine();

    // False when an option is malformed or not allowed; errorText() says why.
    bool parse(const QStringList &arguments);
    bool helpRequested() const { return m_parser.isSet(QStringLiteral("help")); }
    QString helpText() const { return m_parser.helpText(); }
    QString errorText() const { return m_error; }
    const WindowOptions &options() const { return m_options; }

private:
    bool readLink();
    bool fail(const QString &message);

    QCommandLineParser m_parser;
    WindowOptions m_options;
    QString m_error;
};

// The interface language: the command line's, else the one last used, else English.
namespace InterfaceLanguage {

QString choose(const WindowOptions &options, const QSettings &settings);
void remember(QSettings &settings, const QString &language);
// The program's texts are Chinese; English installs their translation.
bool install(const QString &language, QTranslator &translator);

} // namespace InterfaceLanguage
