// The sound library: a Sound played through Qt Multimedia, loaded by the program on the first
// play (see platform/widgets/Sound.h).
#include "platform/widgets/Sound.h"

#include <QSoundEffect>
#include <QUrl>

namespace {

class SoundEffect : public pkm::Sound {
public:
    explicit SoundEffect(const QString& source) { effect_.setSource(QUrl(source)); }
    bool isPlaying() const override { return effect_.isPlaying(); }
    bool isLoaded() const override { return effect_.status() == QSoundEffect::Ready; }
    void play() override { effect_.play(); }

private:
    QSoundEffect effect_;
};

} // namespace

extern "C" Q_DECL_EXPORT pkm::Sound* pakmasterCreateSound(const QString& source)
{
    return new SoundEffect(source);
}
