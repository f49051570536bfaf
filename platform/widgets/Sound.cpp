#include "platform/widgets/Sound.h"

#include "platform/widgets/TextCodec.h"

#include <QLibrary>

namespace pkm {

namespace {

SoundLoader& replacedLoader()
{
    static SoundLoader loader;
    return loader;
}

std::unique_ptr<Sound> loadSoundLibrary(const std::string& programDir, const QString& source)
{
    // Stays loaded once loaded: the sounds it made live in it.
    QLibrary library(pathToQString(programDir) + QStringLiteral("pakmaster_sound"));
    using Create = Sound* (*)(const QString&);
    const auto create = reinterpret_cast<Create>(library.resolve(kCreateSoundSymbol));
    if (create == nullptr)
        return nullptr;
    return std::unique_ptr<Sound>(create(source));
}

} // namespace

std::unique_ptr<Sound> loadSound(const std::string& programDir, const QString& source)
{
    if (replacedLoader())
        return replacedLoader()(programDir, source);
    return loadSoundLibrary(programDir, source);
}

void setSoundLoader(SoundLoader loader)
{
    replacedLoader() = std::move(loader);
}

} // namespace pkm
