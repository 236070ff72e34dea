// pacing.cpp -- the layer's frame pacing (see pacing.h).
#include "pacing.h"

#include <cstring>

struct pacing pacing_state = {0, 0, 0, 0, 0};

static int before(uint32_t a, uint32_t b)
{
    return static_cast<int32_t>(a - b) < 0;  // the millisecond clock may wrap
}

int pacing_stale(uint32_t now)
{
    pacing& p = pacing_state;
    if (!p.pending || before(now, p.pending_since + pacing_frame_ms))
        return 0;
    p.pending = 0;
    p.last_present = now;
    return 1;
}

int pacing_flip(uint32_t now)
{
    pacing& p = pacing_state;
    if (p.have_presented && before(now, p.last_present + pacing_frame_ms)) {
        if (!p.pending)
            p.pending_since = now;
        p.pending = 1;
        return 0;
    }
    p.last_present = now;
    p.have_presented = 1;
    p.pending = 0;
    return 1;
}

int pacing_idle(uint32_t now, int* show)
{
    pacing& p = pacing_state;
    *show = 0;
    if (before(now, p.next_idle))
        return -1;
    if (p.pending) {
        *show = 1;
        p.pending = 0;
        p.last_present = now;
        p.have_presented = 1;
    }
    // Wake at the next frame after the last sleep began; when far behind (or the first time),
    // only hand the page its turn. The next idle poll is due on waking, so a loop that only polls
    // sleeps a whole frame each time.
    uint32_t wake = p.next_idle + pacing_frame_ms;
    if (before(wake, now) || wake - now > pacing_frame_ms)
        wake = now;
    p.next_idle = wake;
    return static_cast<int>(wake - now);
}

int pacing_applies(const char* video_driver)
{
    if (!video_driver)
        return 0;
    return std::strcmp(video_driver, "dummy") != 0 && std::strcmp(video_driver, "offscreen") != 0;
}
