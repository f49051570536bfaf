#include "resources/Resources.h"

#include <QFile>
#include <QImageReader>
#include <QPixmapCache>

// Qt's resource registration works only from the global namespace.
static void registerPakmasterResources()
{
    Q_INIT_RESOURCE(pakmaster);
}

namespace pkm {

namespace {

// A built-in picture of a known format, decoded once. Read without guessing the format: the
// guess asks every installed image plugin first, which loads them all (and their libraries).
QPixmap readPicture(const QString& path, const char* format)
{
    initResources();
    QPixmap picture;
    if (QPixmapCache::find(path, &picture))
        return picture;
    QImageReader reader(path, format);
    reader.setAutoDetectImageFormat(false);
    picture = QPixmap::fromImage(reader.read());
    if (!picture.isNull())
        QPixmapCache::insert(path, picture);
    return picture;
}

} // namespace

void initResources()
{
    static bool done = false;
    if (!done) {
        registerPakmasterResources();
        done = true;
    }
}

QPixmap loadBitmapResource(const QString& name)
{
    const QString lower = name.toLower();
    if (lower != QLatin1String("intro") && lower != QLatin1String("nfodiz") && lower != QLatin1String("rarzip"))
        return {};
    return readPicture(QStringLiteral(":/%1.bmp").arg(lower), "bmp");
}

QPixmap tileImage(int index)
{
    if (index < 0 || index > 20)
        return {};
    return readPicture(QStringLiteral(":/tile%1.png").arg(index, 2, 10, QLatin1Char('0')), "png");
}

QIcon glyphIcon(const QString& name)
{
    const QPixmap glyph = readPicture(QStringLiteral(":/glyph_%1.png").arg(name), "png");
    return glyph.isNull() ? QIcon() : QIcon(glyph);
}

QIcon applicationIcon()
{
    return QIcon(readPicture(QStringLiteral(":/mainicon.png"), "png"));
}

QByteArray waveResource(const QString& name)
{
    initResources();
    QFile f(QStringLiteral(":/%1.wav").arg(name.toLower()));
    if (!f.open(QIODevice::ReadOnly))
        return {};
    return f.readAll();
}

} // namespace pkm
