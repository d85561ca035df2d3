#pragma once

namespace Log4Qt {
class Logger;
}

// The program's one logger, "RollingFile"; looked up by name on every call.
Log4Qt::Logger *appLogger();
