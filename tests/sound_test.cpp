// sound_test.cpp -- the master volume: its start value, steps and clamps, how it reaches every
// mixing channel and the music, the volume keys and buttons, and starting sound effects.
#include <vector>

#include "harness/harness.h"
#include "platform/input.h"
#include "platform/resources.h"
#include "platform/sound.h"

namespace {

int channel_count()
{
    return Mix_AllocateChannels(-1);
}

// Every channel and the music at `v`, as the mixer itself reports them.
::testing::AssertionResult mixer_at(int v)
{
    for (int i = 0; i < channel_count(); i++)
        if (Mix_Volume(i, -1) != v)
            return ::testing::AssertionFailure() << "channel " << i << " at " << Mix_Volume(i, -1)
                                                 << ", expected " << v;
    if (Mix_VolumeMusic(-1) != v)
        return ::testing::AssertionFailure() << "music at " << Mix_VolumeMusic(-1) << ", expected " << v;
    return ::testing::AssertionSuccess();
}

void set_mixer(int v)
{
    Mix_Volume(-1, v);
    Mix_VolumeMusic(v);
}

class SoundTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        reset_battlefield();
        saved_volume = volume;
        Mix_HaltChannel(-1);
        started_sounds().clear();
    }
    void TearDown() override
    {
        Mix_HaltChannel(-1);
        drop_input();
        clear_input();
        volume = saved_volume;
        change_volume(0);
    }
    int saved_volume = 64;
};

// Runs first: nothing in this program has touched the volume yet.
TEST_F(SoundTest, VolumeStartsAtHalf)
{
    EXPECT_EQ(volume, 64);
    EXPECT_EQ(channel_count(), 8) << "the mixer keeps its default eight channels";
}

TEST_F(SoundTest, StepsUpClampAt128AndEachStepReachesTheMixer)
{
    volume = 64;
    for (int i = 1; i <= 8; i++) {
        change_volume(8);
        EXPECT_EQ(volume, 64 + 8 * i);
        EXPECT_TRUE(mixer_at(64 + 8 * i));
    }
    change_volume(8);
    EXPECT_EQ(volume, 128);
    EXPECT_TRUE(mixer_at(128));
    change_volume(1000);
    EXPECT_EQ(volume, 128);
    volume = 126;
    change_volume(5);
    EXPECT_EQ(volume, 128);
    EXPECT_TRUE(mixer_at(128));
}

TEST_F(SoundTest, StepsDownClampAtZeroAndTheMixerIsSilenced)
{
    volume = 64;
    for (int i = 1; i <= 8; i++) {
        change_volume(-8);
        EXPECT_EQ(volume, 64 - 8 * i);
        EXPECT_TRUE(mixer_at(64 - 8 * i));
    }
    // A negative value handed to the mixer would only ask for the volume, not set it.
    set_mixer(50);
    change_volume(-8);
    EXPECT_EQ(volume, 0);
    EXPECT_TRUE(mixer_at(0));
    volume = 3;
    set_mixer(50);
    change_volume(-8);
    EXPECT_EQ(volume, 0);
    EXPECT_TRUE(mixer_at(0));
    change_volume(-1000);
    EXPECT_EQ(volume, 0);
}

TEST_F(SoundTest, ChangeByZeroReappliesTheVolume)
{
    volume = 40;
    set_mixer(100);
    change_volume(0);
    EXPECT_EQ(volume, 40);
    EXPECT_TRUE(mixer_at(40));

    volume = 0;
    set_mixer(100);
    change_volume(0);
    EXPECT_TRUE(mixer_at(0));
}

TEST_F(SoundTest, MusicStartedLaterKeepsTheVolume)
{
    volume = 24;
    change_volume(0);
    ASSERT_NE(music_title, nullptr);
    ASSERT_EQ(Mix_PlayMusic(music_title, -1), 0);
    EXPECT_EQ(Mix_VolumeMusic(-1), 24);
    Mix_HaltMusic();
}

TEST_F(SoundTest, VolumeKeysAndButtonsGoThroughPolling)
{
    volume = 64;
    change_volume(0);
    push_key_press(SDLK_PAGEUP);
    poll_input();
    EXPECT_EQ(volume, 72);
    EXPECT_TRUE(mixer_at(72));
    push_key_press(SDLK_PAGEDOWN);
    push_key_press(SDLK_PAGEDOWN);
    poll_input();
    EXPECT_EQ(volume, 56);
    EXPECT_TRUE(mixer_at(56));
    push_pad_press(16);
    poll_input();
    EXPECT_EQ(volume, 64);
    push_pad_press(17);
    push_pad_press(17);
    push_pad_press(17);
    poll_input();
    EXPECT_EQ(volume, 40);
    EXPECT_TRUE(mixer_at(40));
    EXPECT_EQ(button, 0) << "volume keys are not buttons";
    EXPECT_EQ(cursor_x, 0);
    EXPECT_EQ(cursor_y, 0);
}

TEST_F(SoundTest, VolumeKeysStopAtTheEnds)
{
    volume = 128;
    push_key(SDLK_PAGEUP, true);
    push_pad(16, true);
    poll_input();
    EXPECT_EQ(volume, 128);
    volume = 0;
    push_key(SDLK_PAGEDOWN, true);
    push_pad(17, true);
    poll_input();
    EXPECT_EQ(volume, 0);
    // Within one poll each step is clamped as it comes: down at 0, then up, gives 8.
    push_key(SDLK_PAGEDOWN, true);
    push_key(SDLK_PAGEUP, true);
    poll_input();
    EXPECT_EQ(volume, 8);
}

TEST_F(SoundTest, PlaySoundStartsTheEffectAtTheVolumeOnTheFirstFreeChannel)
{
    volume = 40;
    set_mixer(100);
    // With the audio locked nothing is mixed, so no effect can end while the case runs.
    SDL_LockAudio();
    int first = play_sound(sound_hit);
    int second = play_sound(sound_step);
    bool first_playing = Mix_Playing(first) != 0;
    SDL_UnlockAudio();
    EXPECT_EQ(first, 0);
    EXPECT_EQ(second, 1);
    EXPECT_TRUE(first_playing);
    EXPECT_EQ(Mix_Volume(0, -1), 40);
    EXPECT_EQ(Mix_Volume(1, -1), 40);
    EXPECT_EQ(Mix_Volume(2, -1), 100) << "only the channel used is set";
    ASSERT_EQ(started_sounds().size(), 2u);
    EXPECT_EQ(started_sounds()[0], sound_hit);
    EXPECT_EQ(started_sounds()[1], sound_step);
}

TEST_F(SoundTest, AnEffectAtVolumeZeroIsStillStarted)
{
    volume = 0;
    change_volume(0);
    SDL_LockAudio();
    int channel = play_sound(sound_castle);
    bool playing = channel >= 0 && Mix_Playing(channel) != 0;
    SDL_UnlockAudio();
    EXPECT_GE(channel, 0);
    EXPECT_TRUE(playing);
    EXPECT_EQ(Mix_Volume(channel, -1), 0);
    ASSERT_EQ(started_sounds().size(), 1u);
    EXPECT_EQ(started_sounds()[0], sound_castle);
}

TEST_F(SoundTest, NoFreeChannelGivesMinusOne)
{
    volume = 40;
    set_mixer(100);
    SDL_LockAudio();
    std::vector<int> channels;
    for (int i = 0; i < channel_count(); i++)
        channels.push_back(play_sound(sound_gameover));
    int extra = play_sound(sound_arrow);
    SDL_UnlockAudio();
    for (int i = 0; i < channel_count(); i++)
        EXPECT_EQ(channels[i], i);
    EXPECT_EQ(extra, -1);
}

}  // namespace
