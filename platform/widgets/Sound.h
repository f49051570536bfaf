#pragma once
// The main window's sound. It is played by a small library beside the program, loaded when the
// sound is first played, so the program starts without the multimedia libraries.
#include <QString>

#include <functional>
#include <memory>
#include <string>

namespace pkm {

class Sound {
public:
    virtual ~Sound() = default;
    virtual bool isPlaying() const = 0;
    // The sound's data has been read and can be played.
    virtual bool isLoaded() const = 0;
    // Starts the sound from its beginning.
    virtual void play() = 0;
};

// The sound `source` (a resource URL) played by the sound library of `programDir`; null when
// the library cannot be loaded, and the sound then stays silent.
std::unique_ptr<Sound> loadSound(const std::string& programDir, const QString& source);

// Tests replace the loader; an empty one restores the sound library's.
using SoundLoader = std::function<std::unique_ptr<Sound>(const std::string& programDir, const QString& source)>;
void setSoundLoader(SoundLoader loader);

// The name of the function the sound library exports: Sound* (const QString& source).
inline constexpr const char* kCreateSoundSymbol = "pakmasterCreateSound";

} // namespace pkm
