#pragma once

#include <QString>

namespace Log4Qt {

class Properties;

// Configures the logger hierarchy from "log4j." properties.
class PropertyConfigurator
{
public:
    // True only when configuring raised no error. A file that cannot be opened leaves the
    // configuration as it was.
    static bool configure(const QString &configFilename);
    static bool configure(const Properties &properties);
};

} // namespace Log4Qt
