#include "platform/widgets/Fonts.h"

#include <QFontDatabase>
#include <QStringList>

namespace pkm {

namespace {

// The family of that name in any letter case when it is installed, else empty. Looked up in
// the font database's list, which holds every family without loading a font: hasFamily()
// reads that same list and first runs the name through fontconfig's substitution rules as
// well, which costs more than the lookup itself at every start.
QString findFamily(const QString& wanted)
{
    const QStringList families = QFontDatabase::families();
    for (const QString& family : families) {
        if (family.compare(wanted, Qt::CaseInsensitive) == 0)
            return family;
    }
    return {};
}

QFont fallbackFixedFont()
{
    // "Px IBM VGA8" is the IBM PC's own 8 x 16 text font, the one NFO art is drawn for: at
    // 16 px without antialiasing each glyph is the font's own pixels. GNU Unifont at 16 px gives
    // the same cells with other shapes; DejaVu Sans Mono at 13 px also advances 8 pixels.
    static const struct {
        const char* family;
        int pixelSize;
        bool pixels;
    } candidates[] = {{kVgaFontFamily, 16, true},
                      {"Unifont", 16, false},
                      {"DejaVu Sans Mono", 13, false},
                      {"Liberation Mono", 13, false}};
    for (const auto& c : candidates) {
        const QString family = findFamily(QString::fromLatin1(c.family));
        if (!family.isEmpty()) {
            QFont f(family);
            f.setPixelSize(c.pixelSize);
            f.setStyleHint(QFont::TypeWriter);
            f.setKerning(false);
            if (c.pixels)
                f.setStyleStrategy(QFont::NoAntialias);
            return f;
        }
    }
    QFont f(QStringLiteral("Monospace"));
    f.setStyleHint(QFont::TypeWriter);
    f.setPixelSize(13);
    return f;
}

} // namespace

QFont windowFont()
{
    return windowFont(11, false);
}

QFont windowFont(int pixelSize, bool bold)
{
    // Liberation Sans keeps the widths of the fonts the window was laid out for; the wider
    // desktop default (DejaVu Sans) would clip captions at the fixed geometry.
    static const QString family = [] {
        const QString ms = findFamily(QStringLiteral("MS Sans Serif"));
        return ms.isEmpty() ? findFamily(QStringLiteral("Liberation Sans")) : ms;
    }();
    QFont f = family.isEmpty() ? QFont(QStringLiteral("Sans Serif")) : QFont(family);
    if (family.isEmpty())
        f.setStyleHint(QFont::SansSerif);
    f.setPixelSize(pixelSize);
    f.setBold(bold);
    return f;
}

QFont fixedTextFontNamed(const QString& wanted)
{
    const QString family = findFamily(wanted);
    if (family.isEmpty())
        return fallbackFixedFont();
    QFont f(family);
    f.setPixelSize(11);
    f.setKerning(false);
    return f;
}

QFont fixedTextFont(bool* terminalFound)
{
    const bool terminal = !findFamily(QStringLiteral("terminal")).isEmpty();
    if (terminalFound)
        *terminalFound = terminal;
    return fixedTextFontNamed(terminal ? QStringLiteral("Terminal") : QStringLiteral("FixedSys"));
}

} // namespace pkm
