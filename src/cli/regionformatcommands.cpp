#include "regionformatcommands.h"

#include "console.h"
#include "regionfileinput.h"

#include "regionformats/regiondxf.h"
#include "regionformats/regionnav2.h"
#include "regions/regionfile.h"

#include <QFileInfo>

#include <fcntl.h>
#include <unistd.h>

#include <cstdio>

namespace {

// dime reports what it cannot parse on stderr itself; the command says it in one line instead.
class QuietStandardError
{
public:
    QuietStandardError() : m_saved(dup(STDERR_FILENO))
    {
        const int null = open("/dev/null", O_WRONLY);
        std::fflush(stderr);
        dup2(null, STDERR_FILENO);
        close(null);
    }
    ~QuietStandardError()
    {
        std::fflush(stderr);
        dup2(m_saved, STDERR_FILENO);
        close(m_saved);
    }
    QuietStandardError(const QuietStandardError &) = delete;
    QuietStandardError &operator=(const QuietStandardError &) = delete;

private:
    int m_saved;
};

RegionDxf::Import quietImport(const QString &path, const QString &layer)
{
    const QuietStandardError quiet;
    return RegionDxf::importRegion(path, layer);
}

bool loadStore(const QString &path, RegionStore *store, Console &console)
{
    QString error;
    if (loadRegionFile(path, *store, &error))
        return true;
    console.failure(error);
    return false;
}

bool readActions(const QString &names, QStringList *actions, Console &console)
{
    *actions = names.isEmpty() ? RegionNav2::defaultActions() : names.split(QLatin1Char(','));
    bool known = actions->size() == Regions::regionsPerGroup;
    for (const QString &action : *actions)
        known = known && RegionNav2::isAction(action);
    if (!known)
        console.failure(QStringLiteral("--nav2-names takes three of stop, slowdown, approach, "
                                       "limit, none, as in stop,slowdown,approach"));
    return known;
}

ExitStatus failed(Console &console, const QString &line)
{
    console.failure(line);
    return UsageOrFileError;
}

} // namespace

ExitStatus exportRegions(const CliOptions &options, Console &console)
{
    const bool dxf = !options.dxfFile.isEmpty();
    if (dxf == !options.nav2File.isEmpty())
        return failed(console, QStringLiteral("regions export takes one of --dxf or --nav2"));
    if (!dxf && options.group == 0)
        return failed(console, QStringLiteral("--nav2 needs --group N"));
    if (dxf && !options.nav2Names.isEmpty())
        return failed(console, QStringLiteral("--nav2-names only goes with --nav2"));
    const int group = options.group;
    RegionStore store = Regions::initialStore();
    QStringList actions;
    if ((!dxf && !readActions(options.nav2Names, &actions, console)) ||
        !loadStore(options.regionFile, &store, console))
        return UsageOrFileError;
    const QString out = dxf ? options.dxfFile : options.nav2File;
    const bool saved = dxf ? RegionDxf::save(out, store, group)
                           : RegionNav2::save(out, group, store.value(group), actions);
    if (!saved)
        return failed(console, QStringLiteral("cannot write %1").arg(out));
    console.summary(
        QStringLiteral("%1 written to %2")
            .arg(group == 0 ? QStringLiteral("every group") : QStringLiteral("group %1").arg(group),
                 out));
    return Success;
}

ExitStatus importRegion(const CliOptions &options, Console &console)
{
    if (options.layer.isEmpty() || options.group == 0 || options.region == 0)
        return failed(console,
                      QStringLiteral("regions import needs --layer, --group and --region"));
    const int group = options.group;
    const int region = options.region;
    RegionStore store = Regions::initialStore();
    if (QFileInfo::exists(options.regionFile) && !loadStore(options.regionFile, &store, console))
        return UsageOrFileError;
    const RegionDxf::Import import = quietImport(options.dxfFile, options.layer);
    if (!import.accepted())
        return failed(console, QStringLiteral("cannot import %1: %2")
                                   .arg(options.dxfFile, RegionDxf::describe(import)));
    store[group][region - 1].polygon = import.polygon;
    if (!RegionFile::save(store, options.regionFile))
        return failed(console, QStringLiteral("cannot write %1").arg(options.regionFile));
    console.summary(QStringLiteral("%1 into group %2 region %3 of %4")
                        .arg(RegionDxf::describe(import))
                        .arg(group)
                        .arg(region)
                        .arg(options.regionFile));
    return Success;
}
