#pragma once

#include <QString>

namespace Log4Qt {

// Reports a configuration problem on stderr and counts it, so that configure() can tell
// whether its run raised an error.
void logError(const QString &message);
int logErrorCount();

} // namespace Log4Qt
