#pragma once

#include <QHash>
#include <QString>

class QIODevice;

namespace Log4Qt {

// Key/value pairs read in Java properties syntax.
class Properties : public QHash<QString, QString>
{
public:
    void load(QIODevice *device);
    void load(const QString &text);
    QString property(const QString &key) const { return value(key); }
    void setProperty(const QString &key, const QString &value) { insert(key, value); }
};

} // namespace Log4Qt
