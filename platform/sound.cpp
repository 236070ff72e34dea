// sound.cpp -- one master volume for effects and music, changed in steps by the volume keys.
#include "platform/sound.h"

int volume = 64;

void change_volume(int delta)
{
    int v = volume + delta;
    if (v < 0)
        v = 0;
    volume = v > 128 ? 128 : v;
    Mix_Volume(-1, volume);
    Mix_VolumeMusic(volume);
}

int play_sound(Mix_Chunk* effect)
{
    int channel = Mix_PlayChannelTimed(-1, effect, 0, -1);
    if (channel >= 0)
        Mix_Volume(channel, volume);
    return channel;
}
