#include "mainwindow/portopenfailure.h"

namespace {

// Debian gives serial devices to this group.
const char *const usualSerialGroup = "dialout";

} // namespace

QString PortOpenFailure::message() const
{
    QString text = tr("无法打开串口 %1：%2").arg(port, reason);
    if (permissionDenied) {
        const QString group =
            ownerGroup.isEmpty() ? QString::fromLatin1(usualSerialGroup) : ownerGroup;
        text += QLatin1Char('\n') + tr("请将当前用户加入拥有该设备的用户组 %1：").arg(group) +
                QStringLiteral("\nsudo usermod -aG %1 $USER\n").arg(group) + tr("然后重新登录。");
    }
    return text;
}
