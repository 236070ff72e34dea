// pacing_test.cpp -- the browser build's frame pacing on a simulated clock: pictures shown at most
// once a frame and none lost, an idle loop asleep nearly all the time, waits never more than a
// frame late, and busy loops slowed no more than once a frame.
#include <gtest/gtest.h>

#include "pacing.h"

namespace {

using Uint32 = uint32_t;

class Pacing : public ::testing::Test {
protected:
    void SetUp() override { pacing_state = pacing{0, 0, 0, 0, 0}; }
    Uint32 now = 100000;
};

TEST_F(Pacing, FlipsShowAtOnceOnlyAFrameApartAndKeepTheRest)
{
    EXPECT_EQ(pacing_flip(now), 1) << "the first picture shows at once";
    EXPECT_EQ(pacing_flip(now + 5), 0);
    EXPECT_EQ(pacing_state.pending, 1);
    EXPECT_EQ(pacing_flip(now + 15), 0);
    EXPECT_EQ(pacing_flip(now + 16), 1) << "a frame later";
    EXPECT_EQ(pacing_state.pending, 0);
}

TEST_F(Pacing, AKeptPictureIsShownByTheNextIdlePollAndOnlyOnce)
{
    pacing_flip(now);
    pacing_flip(now + 3);  // kept
    int show = 0;
    int sleep_ms = pacing_idle(now + 4, &show);
    EXPECT_EQ(show, 1);
    EXPECT_GE(sleep_ms, 0);
    pacing_idle(now + 4 + sleep_ms, &show);
    EXPECT_EQ(show, 0) << "shown once";
}

TEST_F(Pacing, APictureKeptWhileTheGameIsBusyIsShownBeforeTheNextFlipReplacesIt)
{
    pacing_flip(now);
    EXPECT_EQ(pacing_flip(now + 2), 0) << "the Loading screen, right after the first picture";
    EXPECT_EQ(pacing_stale(now + 10), 0) << "not yet a frame old";
    // Loading takes half a second without a poll; then the title is flipped.
    EXPECT_EQ(pacing_stale(now + 500), 1) << "the Loading screen is shown first";
    EXPECT_EQ(pacing_state.pending, 0);
    EXPECT_EQ(pacing_flip(now + 500 + pacing_frame_ms), 1) << "then the title, a frame later";
    EXPECT_EQ(pacing_stale(now + 600), 0) << "nothing kept";
}

TEST_F(Pacing, AnIdleLoopSleepsAFrameEachPollAndWaitsEndAtMostAFrameLate)
{
    // wait_ms(500) as the game writes it: poll until 500 ms have passed; here a poll costs 0.2 ms
    // of work and sleeps what the pacing says.
    const Uint32 start = now;
    double clock = now, slept = 0;
    int sleeps = 0;
    while (static_cast<Uint32>(clock) - start < 500) {
        int show = 0;
        int sleep_ms = pacing_idle(static_cast<Uint32>(clock), &show);
        clock += 0.2;
        if (sleep_ms >= 0) {
            ++sleeps;
            clock += sleep_ms;
            slept += sleep_ms;
        }
    }
    EXPECT_LE(static_cast<Uint32>(clock) - start, 500u + pacing_frame_ms);
    EXPECT_GT(slept / (clock - start), 0.9) << "the page gets the idle loop's time";
    EXPECT_LE(sleeps, 500 / pacing_frame_ms + 2) << "at most one turn a frame";
    EXPECT_GE(sleeps, 500 / pacing_frame_ms - 2);
}

TEST_F(Pacing, ABusyLoopThatPollsGivesTheRestOfAFrameOnlyOnceAFrame)
{
    // A loop doing 10 ms of work between polls: it yields once a frame, for what is left of it.
    int show = 0;
    Uint32 clock = now;
    ASSERT_GE(pacing_idle(clock, &show), 0);
    Uint32 total_sleep = 0;
    int sleeps = 0;
    for (int i = 0; i < 100; ++i) {
        clock += 10;
        int sleep_ms = pacing_idle(clock, &show);
        if (sleep_ms >= 0) {
            ++sleeps;
            clock += static_cast<Uint32>(sleep_ms);
            total_sleep += static_cast<Uint32>(sleep_ms);
        }
    }
    Uint32 elapsed = clock - now;
    EXPECT_LE(sleeps, static_cast<int>(elapsed / pacing_frame_ms) + 1);
    EXPECT_LT(total_sleep, elapsed / 2) << "work takes most of the time";
}

TEST_F(Pacing, FarBehindOnlyHandsThePageItsTurn)
{
    int show = 0;
    pacing_idle(now, &show);
    EXPECT_EQ(pacing_idle(now + 5000, &show), 0) << "no frame-long sleep after a long computation";
    EXPECT_EQ(pacing_idle(now + 5000, &show), pacing_frame_ms) << "then the frame's rhythm again";
}

TEST_F(Pacing, TheClockWrapping)
{
    now = 0xFFFFFFF0u;
    int show = 0;
    pacing_idle(now, &show);
    EXPECT_EQ(pacing_idle(now + 4, &show), -1) << "not due yet across the wrap";
    EXPECT_EQ(pacing_flip(now), 1);
    EXPECT_EQ(pacing_flip(now + 20), 1) << "20 ms later, past the wrap";
}

}  // namespace
