#include "protocol/hextext.h"

namespace HexText {

QString fromBytes(const QByteArray &bytes)
{
    return QString::fromLatin1(bytes.toHex().toUpper());
}

QByteArray toBytes(const QString &hexText)
{
    return QByteArray::fromHex(hexText.toUtf8());
}

} // namespace HexText
