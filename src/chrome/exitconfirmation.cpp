#include "chrome/exitconfirmation.h"

#include "app/applogger.h"
#include "chrome/dialoginfo.h"

bool confirmExit()
{
    logInfo(QStringLiteral("the widow is closing..."));
    DialogInfo dialog;
    const int result = dialog.exec();
    logInfo(QStringLiteral("the widow is closed..."));
    return result == QDialog::Accepted;
}
