#include "log4qt/propertyconfigurator.h"
#include "appender.h"
#include "layout.h"
#include "log4qt/logger.h"
#include "log4qt/logmanager.h"
#include "log4qt/properties.h"
#include "logerror.h"
#include "optionconverter.h"

#include <QFile>
#include <QStringList>

#include <algorithm>

namespace Log4Qt {

namespace {

// Sized from the array, so every compiler can constant-initialise it without strlen.
template <int N> constexpr QLatin1String latin1(const char (&text)[N])
{
    return QLatin1String(text, N - 1);
}

// Constant-initialised: the program configures logging from another file's static initialiser.
constexpr QLatin1String appenderPrefix = latin1("log4j.appender.");
constexpr QLatin1String additivityPrefix = latin1("log4j.additivity.");
constexpr QLatin1String loggerPrefixes[] = {latin1("log4j.logger."), latin1("log4j.category.")};

// "org.apache.log4j.FileAppender" and "Log4Qt::FileAppender" both name "FileAppender"; the Java
// names of filters are in the package "org.apache.log4j.varia.".
QString shortClassName(const QString &className, const char *javaPackage = "org.apache.log4j.")
{
    for (const char *package : {javaPackage, "Log4Qt::"}) {
        if (className.startsWith(QLatin1String(package)))
            return className.mid(int(qstrlen(package)));
    }
    return QString();
}

AppenderSharedPtr createAppender(const QString &className, const QString &name)
{
    const QString shortName = shortClassName(className);
    if (shortName == QLatin1String("ConsoleAppender"))
        return AppenderSharedPtr(new ConsoleAppender(name));
    if (shortName == QLatin1String("FileAppender"))
        return AppenderSharedPtr(new FileAppender(name));
    if (shortName == QLatin1String("RollingFileAppender"))
        return AppenderSharedPtr(new RollingFileAppender(name));
    return AppenderSharedPtr();
}

std::unique_ptr<Layout> createLayout(const QString &className)
{
    const QString shortName = shortClassName(className);
    if (shortName == QLatin1String("PatternLayout"))
        return std::make_unique<PatternLayout>();
    if (shortName == QLatin1String("TTCCLayout"))
        return std::make_unique<TTCCLayout>();
    if (shortName == QLatin1String("SimpleLayout"))
        return std::make_unique<SimpleLayout>();
    return nullptr;
}

std::unique_ptr<Filter> createFilter(const QString &className)
{
    const QString shortName = shortClassName(className, "org.apache.log4j.varia.");
    if (shortName == QLatin1String("StringMatchFilter"))
        return std::make_unique<StringMatchFilter>();
    if (shortName == QLatin1String("DenyAllFilter"))
        return std::make_unique<DenyAllFilter>();
    return nullptr;
}

// One configuration run; appenders named by several loggers are created once and shared.
class Configuration
{
public:
    explicit Configuration(const Properties &properties) : mProperties(properties) {}
    void apply();

private:
    QString value(const QString &key) const
    {
        return OptionConverter::findAndSubst(mProperties, key).trimmed();
    }
    QStringList keysUnder(const QString &keyPrefix) const;
    void configureLogger(Logger *logger, const QString &definition);
    AppenderSharedPtr appender(const QString &name);
    AppenderSharedPtr createConfiguredAppender(const QString &name);
    void addFilters(Appender &appender, const QString &filterPrefix);
    template <typename Target>
    void setProperties(Target &target, const QString &keyPrefix, const QString &className);

    const Properties &mProperties;
    QHash<QString, AppenderSharedPtr> mAppenders;
};

QStringList Configuration::keysUnder(const QString &keyPrefix) const
{
    QStringList keys;
    for (auto it = mProperties.cbegin(); it != mProperties.cend(); ++it) {
        if (it.key().startsWith(keyPrefix))
            keys.append(it.key());
    }
    std::sort(keys.begin(), keys.end());
    return keys;
}

void Configuration::apply()
{
    const QString resetKey = QStringLiteral("log4j.reset");
    if (mProperties.contains(resetKey) && OptionConverter::toBoolean(value(resetKey), false))
        LogManager::resetConfiguration();

    for (const char *rootKey : {"log4j.rootLogger", "log4j.rootCategory"}) {
        if (mProperties.contains(QLatin1String(rootKey))) {
            configureLogger(Logger::rootLogger(), value(QLatin1String(rootKey)));
            break;
        }
    }
    for (const QLatin1String loggerPrefix : loggerPrefixes) {
        for (const QString &key : keysUnder(loggerPrefix))
            configureLogger(Logger::logger(key.mid(loggerPrefix.size())), value(key));
    }
    for (const QString &key : keysUnder(additivityPrefix)) {
        Logger *logger = Logger::logger(key.mid(additivityPrefix.size()));
        logger->setAdditivity(OptionConverter::toBoolean(value(key), logger->additivity()));
    }
}

// "LEVEL, appender, appender..."; an empty level keeps the logger's level.
void Configuration::configureLogger(Logger *logger, const QString &definition)
{
    QStringList parts = definition.split(QLatin1Char(','));
    const QString levelName = parts.takeFirst().trimmed();
    const bool isRoot = logger == Logger::rootLogger();
    if (!isRoot && (OptionConverter::isOption(levelName, "INHERITED") ||
                    OptionConverter::isOption(levelName, "NULL"))) {
        logger->setLevel(Level::NULL_INT);
    } else if (!levelName.isEmpty()) {
        bool ok = false;
        const Level level = Level::fromString(levelName, &ok);
        if (ok && level != Level::NULL_INT)
            logger->setLevel(level);
        else
            logError(QStringLiteral("Invalid level string '%1' for logger '%2'")
                         .arg(levelName, logger->name()));
    }

    logger->removeAllAppenders();
    for (const QString &part : qAsConst(parts)) {
        const QString name = part.trimmed();
        if (name.isEmpty())
            continue;
        if (const AppenderSharedPtr found = appender(name))
            logger->addAppender(found);
    }
}

AppenderSharedPtr Configuration::appender(const QString &name)
{
    // A failed appender is remembered too, so that its problem is reported once.
    auto it = mAppenders.find(name);
    if (it == mAppenders.end())
        it = mAppenders.insert(name, createConfiguredAppender(name));
    return it.value();
}

AppenderSharedPtr Configuration::createConfiguredAppender(const QString &name)
{
    const QString key = appenderPrefix + name;
    if (!mProperties.contains(key)) {
        logError(QStringLiteral("Missing appender definition for appender named '%1'").arg(name));
        return AppenderSharedPtr();
    }
    const QString className = value(key);
    AppenderSharedPtr created = createAppender(className, name);
    if (!created) {
        logError(QStringLiteral("Unable to create appender of class '%1' named '%2'")
                     .arg(className, name));
        return AppenderSharedPtr();
    }

    const QString layoutKey = key + QStringLiteral(".layout");
    const QString layoutClass = value(layoutKey);
    if (layoutClass.isEmpty()) {
        logError(QStringLiteral("Appender '%1' requires a layout").arg(name));
        return AppenderSharedPtr();
    }
    std::unique_ptr<Layout> layout = createLayout(layoutClass);
    if (!layout) {
        logError(QStringLiteral("Unable to create layout of class '%1' for appender '%2'")
                     .arg(layoutClass, name));
        return AppenderSharedPtr();
    }
    setProperties(*layout, layoutKey + QLatin1Char('.'), layoutClass);
    created->setLayout(std::move(layout));

    setProperties(*created, key + QLatin1Char('.'), className);
    addFilters(*created, key + QStringLiteral(".filter."));
    if (!created->activateOptions())
        return AppenderSharedPtr();
    return created;
}

// "filter.ID=class" and its options "filter.ID.Option=value". As in log4j, the chain runs in
// the order of the IDs compared as text; a filter that cannot be created is left out.
void Configuration::addFilters(Appender &appender, const QString &filterPrefix)
{
    QStringList ids;
    for (const QString &key : keysUnder(filterPrefix))
        ids.append(key.mid(filterPrefix.size()).section(QLatin1Char('.'), 0, 0));
    ids.removeDuplicates();
    std::sort(ids.begin(), ids.end());
    for (const QString &id : qAsConst(ids)) {
        const QString key = filterPrefix + id;
        const QString className = value(key);
        std::unique_ptr<Filter> filter = createFilter(className);
        if (!filter) {
            logError(QStringLiteral("Unable to create filter of class '%1' for appender '%2'")
                         .arg(className, appender.name()));
            continue;
        }
        setProperties(*filter, key + QLatin1Char('.'), className);
        appender.addFilter(std::move(filter));
    }
}

template <typename Target>
void Configuration::setProperties(Target &target, const QString &keyPrefix,
                                  const QString &className)
{
    for (const QString &key : keysUnder(keyPrefix)) {
        const QString property = key.mid(keyPrefix.size());
        // An appender's layout and filters are objects of their own, configured apart.
        const QString object = property.section(QLatin1Char('.'), 0, 0);
        if (object == QLatin1String("layout") || object == QLatin1String("filter"))
            continue;
        if (!target.setProperty(property, value(key)))
            logError(QStringLiteral("Property '%1' does not exist in class '%2'")
                         .arg(property, className));
    }
}

} // namespace

bool PropertyConfigurator::configure(const QString &configFilename)
{
    QFile file(configFilename);
    if (!file.open(QIODevice::ReadOnly)) {
        logError(QStringLiteral("Unable to open property file '%1'").arg(configFilename));
        return false;
    }
    Properties properties;
    properties.load(&file);
    return configure(properties);
}

bool PropertyConfigurator::configure(const Properties &properties)
{
    const int errorsBefore = logErrorCount();
    Configuration(properties).apply();
    return logErrorCount() == errorsBefore;
}

} // namespace Log4Qt
