#include "platform/widgets/TextCodec.h"

#include "platform/cp437.h"
#include "platform/file_name_codec.h"

#include <array>

namespace pkm {

QString toDisplay(const std::string& bytes)
{
    const std::u16string text = pkm::cp437Decode(bytes);
    return QString::fromUtf16(text.data(), static_cast<qsizetype>(text.size()));
}

void appendDisplay(QString& out, std::string_view bytes)
{
    static const auto table = [] {
        std::array<QChar, 256> chars {};
        for (std::size_t b = 0; b < chars.size(); ++b)
            chars[b] = QChar(pkm::cp437ToUnicode(static_cast<unsigned char>(b)));
        return chars;
    }();
    const qsizetype start = out.size();
    out.resize(start + static_cast<qsizetype>(bytes.size()));
    QChar* to = out.data() + start;
    for (const char byte : bytes)
        *to++ = table[static_cast<unsigned char>(byte)];
}

std::string fromDisplay(const QString& text)
{
    std::u16string units(reinterpret_cast<const char16_t*>(text.utf16()), static_cast<std::size_t>(text.size()));
    return pkm::cp437Encode(units);
}

std::string blanksOf(const QString& text)
{
    // Code page 437 keeps the blank and the tab as themselves.
    std::string out(static_cast<std::size_t>(text.size()), 'x');
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text[i];
        if (c == QLatin1Char(' '))
            out[static_cast<std::size_t>(i)] = ' ';
        else if (c == QLatin1Char('\t'))
            out[static_cast<std::size_t>(i)] = '\t';
    }
    return out;
}

QString pathToQString(const std::string& path)
{
    const std::u16string text = pkm::fileNameDecode(path);
    return QString::fromUtf16(text.data(), static_cast<qsizetype>(text.size()));
}

std::string pathFromQString(const QString& path)
{
    return pkm::fileNameEncode(
        std::u16string_view(reinterpret_cast<const char16_t*>(path.utf16()), static_cast<std::size_t>(path.size())));
}

QString outputToQString(const std::string& line)
{
    return pathToQString(line);
}

} // namespace pkm
