// pacing_test.cpp -- the layer's frame pacing on a simulated clock: pictures shown at most once a
// frame and none lost, an idle loop asleep nearly all the time, waits never more than a frame late,
// and busy loops slowed no more than once a frame; natively, the game's own loops played against a
// display that shows a picture the moment it is handed over, and no pacing where nobody looks.
#include <gtest/gtest.h>

#include <vector>

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

// ---- natively: a display that shows at once, as back_video.cpp drives it ----

// The game's screen against the display: pictures are numbered in the order the game flips them.
struct native_display {
    double clock = 100000;  // milliseconds, with the fractions a loop's work takes
    double slept = 0;
    int newest = 0;         // the last picture flipped
    int kept = 0;           // what the window holds but has not shown
    int shown = 0;          // what the player sees
    std::vector<double> shown_at;
    std::vector<int> shown_pictures;
    double longest_sleep = 0;

    Uint32 now() const { return static_cast<Uint32>(clock); }
    void show(int picture)
    {
        shown = picture;
        shown_at.push_back(clock);
        shown_pictures.push_back(picture);
    }
    // SDL_Flip: a kept picture stale for a frame is shown first; then this one now or kept.
    void flip()
    {
        if (pacing_stale(now()))
            show(kept);
        kept = ++newest;
        if (pacing_flip(now()))
            show(kept);
    }
    // A poll that finds the queue empty.
    void poll()
    {
        int show_kept = 0;
        int sleep_ms = pacing_idle(now(), &show_kept);
        if (sleep_ms < 0)
            return;
        if (show_kept)
            show(kept);
        clock += sleep_ms;
        slept += sleep_ms;
        if (sleep_ms > longest_sleep)
            longest_sleep = sleep_ms;
    }
    // wait_ms as the game writes it: polls until ms have passed, each poll costing work_ms.
    void wait(Uint32 ms, double work_ms)
    {
        Uint32 start = now();
        while (now() - start < ms) {
            poll();
            clock += work_ms;
        }
    }
};

class NativePacing : public Pacing {};

TEST_F(NativePacing, OnlyDisplaysSomeoneSeesArePaced)
{
    EXPECT_EQ(pacing_applies("dummy"), 0) << "the tests' virtual clock must never wait for real time";
    EXPECT_EQ(pacing_applies("offscreen"), 0);
    EXPECT_EQ(pacing_applies(nullptr), 0);
    EXPECT_EQ(pacing_applies("x11"), 1);
    EXPECT_EQ(pacing_applies("wayland"), 1);
    EXPECT_EQ(pacing_applies("KMSDRM"), 1);
    EXPECT_EQ(pacing_applies("emscripten"), 1);
}

TEST_F(NativePacing, ATitleLoopThatDrawsEveryPassRestsMostOfTheTimeAndShowsTheNewest)
{
    // poll, 1.5 ms of drawing, flip, for three seconds.
    native_display d;
    const double start = d.clock;
    while (d.clock - start < 3000) {
        d.poll();
        d.clock += 1.5;
        d.flip();
    }
    double elapsed = d.clock - start;
    EXPECT_GT(d.slept / elapsed, 0.85) << "the loop is asleep between frames";
    EXPECT_LE(d.longest_sleep, pacing_frame_ms) << "no poll sleeps past the next frame";
    EXPECT_LE(d.shown_at.size(), static_cast<size_t>(elapsed / pacing_frame_ms) + 2) << "a picture a frame at most";
    EXPECT_GE(d.shown_at.size(), static_cast<size_t>(elapsed / pacing_frame_ms) - 2) << "and one every frame";
    d.poll();
    EXPECT_EQ(d.shown, d.newest) << "the last picture reaches the display";
}

TEST_F(NativePacing, FlipsFasterThanFramesWithoutPollsShowOnceAFrameAndNeverLoseTheNewest)
{
    // An animation that flips every 3 ms and never polls, then waits as the game does.
    native_display d;
    for (int i = 0; i < 60; i++) {
        d.flip();
        d.clock += 3;
    }
    for (size_t i = 1; i < d.shown_at.size(); i++)
        EXPECT_GE(d.shown_at[i] - d.shown_at[i - 1], pacing_frame_ms - 1e-9) << "show " << i;
    EXPECT_GE(d.shown_at.size(), static_cast<size_t>(180 / pacing_frame_ms) - 1) << "the animation is seen moving";
    const double last_flip = d.clock - 3;
    d.wait(150, 0.05);
    EXPECT_EQ(d.shown, d.newest) << "the newest picture is shown while the game waits";
    EXPECT_LE(d.shown_at.back() - last_flip, pacing_frame_ms + 1) << "within a frame of its flip";
}

TEST_F(NativePacing, ALongComputationAfterAFlipIsShownBeforeTheNextPicture)
{
    native_display d;
    d.flip();         // the previous screen
    d.clock += 2;
    d.flip();         // "Loading" right after it: kept
    const int loading = d.newest;
    d.clock += 400;   // the work, without a poll
    d.flip();         // the next screen
    EXPECT_EQ(d.shown_pictures, (std::vector<int>{1, loading})) << "Loading is shown as the next screen comes";
    EXPECT_EQ(d.shown_at.back(), 100402);
    d.wait(50, 0.1);
    EXPECT_EQ(d.shown_pictures, (std::vector<int>{1, loading, 3})) << "then the next screen, within the wait";
}

TEST_F(NativePacing, AWaitOfTheGameEndsAtMostAFrameLateWhilePollingThroughout)
{
    native_display d;
    d.flip();
    for (Uint32 ms : {1u, 10u, 150u, 200u, 750u}) {
        double before = d.clock;
        d.wait(ms, 0.02);
        EXPECT_GE(d.clock - before, ms);
        EXPECT_LE(d.clock - before, ms + pacing_frame_ms + 1) << "wait_ms(" << ms << ")";
    }
}

}  // namespace
