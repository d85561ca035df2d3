#pragma once

#include <QImage>
#include <QString>
#include <QVector>

// One drawn picture and the path it takes under the resource root, e.g. "images/app_icon.png".
struct NamedImage
{
    QString path;
    QImage image;
};

using NamedImages = QVector<NamedImage>;
