// Draws every embedded picture into a folder tree that mirrors the ":/" resource paths.
#include "darkstyleimages.h"
#include "navigationicons.h"
#include "titlebarimages.h"
#include "wiringdiagram.h"

#include <QDir>
#include <QFileInfo>
#include <QGuiApplication>
#include <QTextStream>

namespace {

// Text on the wiring sheets needs a high JPEG quality to stay free of ringing.
const int jpegQuality = 95;

bool save(const NamedImage &named, const QDir &root)
{
    const QString file = root.absoluteFilePath(named.path);
    const bool isJpeg = named.path.endsWith(QLatin1String(".jpg"));
    return QDir().mkpath(QFileInfo(file).absolutePath()) &&
           named.image.save(file, nullptr, isJpeg ? jpegQuality : -1);
}

} // namespace

int main(int argc, char *argv[])
{
    QGuiApplication application(argc, argv);
    QTextStream errors(stderr);
    const QStringList arguments = QGuiApplication::arguments();
    if (arguments.size() != 2) {
        errors << "usage: vks_resgen <output folder>\n";
        return 2;
    }
    const QDir root(arguments.at(1));

    NamedImages images = darkStyleImages();
    images += titleBarImages();
    images.append(applicationIcon());
    images.append(desktopIcon());
    images += navigationIcons();
    images += wiringDiagrams();

    for (const NamedImage &named : qAsConst(images)) {
        if (!save(named, root)) {
            errors << "vks_resgen: cannot write " << root.absoluteFilePath(named.path) << '\n';
            return 1;
        }
    }
    return 0;
}
