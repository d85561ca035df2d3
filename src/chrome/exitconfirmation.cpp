#include "chrome/exitconfirmation.h"

#include "app/applogger.h"
#include "chrome/dialoginfo.h"

#include <log4qt/logger.h>

bool confirmExit()
{
    appLogger()->info(QStringLiteral("the widow is closing..."));
    DialogInfo dialog;
    const int result = dialog.exec();
    appLogger()->info(QStringLiteral("the widow is closed..."));
    return result == QDialog::Accepted;
}
