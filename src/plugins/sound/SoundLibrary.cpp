// The sound library's one entry: the program loads this library with its first sound and asks
// it for a player (see ui/PluginSoundPlayer.h).
#include "plugins/sound/QtSoundPlayer.h"

#include <QtGlobal>

extern "C" Q_DECL_EXPORT jhk::SoundPlayer *jihankobo_create_sound_player(const QString &appFolder)
{
    return new jhk::QtSoundPlayer(appFolder);
}
