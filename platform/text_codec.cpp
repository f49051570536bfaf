#include "platform/text_codec.h"

#include "platform/cp437.h"
#include "platform/paths.h"

#include <QCoreApplication>
#include <QFile>

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
    return QFile::decodeName(QByteArray::fromStdString(path));
}

std::string pathFromQString(const QString& path)
{
    return QFile::encodeName(path).toStdString();
}

namespace {
std::string g_programDirectory;
}

void setProgramDirectory(const std::string& dir)
{
    g_programDirectory = dir.empty() ? std::string() : pkm::withTrailingSeparator(dir);
}

std::string programDirectory()
{
    if (!g_programDirectory.empty())
        return g_programDirectory;
    return pkm::withTrailingSeparator(pathFromQString(QCoreApplication::applicationDirPath()));
}
