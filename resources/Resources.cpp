#include "resources/Resources.h"

#include <QFile>

// Qt's resource registration works only from the global namespace.
static void registerPakmasterResources()
{
    Q_INIT_RESOURCE(pakmaster);
}

namespace pkm {

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
    initResources();
    const QString lower = name.toLower();
    if (lower != QLatin1String("intro") && lower != QLatin1String("nfodiz") && lower != QLatin1String("rarzip"))
        return {};
    return QPixmap(QStringLiteral(":/%1.bmp").arg(lower));
}

QPixmap tileImage(int index)
{
    initResources();
    if (index < 0 || index > 20)
        return {};
    return QPixmap(QStringLiteral(":/tile%1.png").arg(index, 2, 10, QLatin1Char('0')));
}

QIcon glyphIcon(const QString& name)
{
    initResources();
    return QIcon(QStringLiteral(":/glyph_%1.png").arg(name));
}

QIcon applicationIcon()
{
    initResources();
    return QIcon(QStringLiteral(":/mainicon.png"));
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
