#pragma once

#include <QByteArray>
#include <QString>

// Commands travel through the program as upper-case hex text, two digits per byte.
namespace HexText {

QString fromBytes(const QByteArray &bytes);
// QByteArray::fromHex semantics: odd lengths and stray characters follow its rules.
QByteArray toBytes(const QString &hexText);

} // namespace HexText
