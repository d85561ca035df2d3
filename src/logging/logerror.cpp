#include "logerror.h"

#include <QAtomicInt>

#include <cstdio>

namespace Log4Qt {

namespace {
QAtomicInt errorCount;
}

void logError(const QString &message)
{
    errorCount.ref();
    std::fprintf(stderr, "Log4Qt: %s\n", message.toLocal8Bit().constData());
    std::fflush(stderr);
}

int logErrorCount()
{
    return errorCount.loadRelaxed();
}

} // namespace Log4Qt
