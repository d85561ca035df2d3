#pragma once

class QString;

namespace Log4Qt {
class Logger;
}

// The program's one logger, "RollingFile"; looked up by name on every call.
Log4Qt::Logger *appLogger();

// One line to the program's logger at info level, the only level the program uses.
void logInfo(const QString &line);
