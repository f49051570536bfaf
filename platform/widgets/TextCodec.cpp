#include "platform/widgets/TextCodec.h"

#include "platform/cp437.h"
#include "platform/file_name_codec.h"


QString toDisplay(const std::string& bytes)
{
    const std::u16string text = pkm::cp437Decode(bytes);
    return QString::fromUtf16(text.data(), static_cast<qsizetype>(text.size()));
}

std::string fromDisplay(const QString& text)
{
    std::u16string units(reinterpret_cast<const char16_t*>(text.utf16()), static_cast<std::size_t>(text.size()));
    return pkm::cp437Encode(units);
}

QString pathToQString(const std::string& path)
{
    const std::u16string text = pkm::fileNameDecode(path);
    return QString::fromUtf16(text.data(), static_cast<qsizetype>(text.size()));
}

std::string pathFromQString(const QString& path)
{
    return pkm::fileNameEncode(std::u16string_view(reinterpret_cast<const char16_t*>(path.utf16()),
                                                   static_cast<std::size_t>(path.size())));
}

QString outputToQString(const std::string& line)
{
    return pathToQString(line);
}
