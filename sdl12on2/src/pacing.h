/* pacing.h -- when the layer shows the game's pictures and lets the machine rest. The game waits by
 * polling its input in a loop; in the browser those loops never return to the page, and natively
 * they would keep a core busy, so the layer decides, from the clock alone: a flip shows
 * its picture at once when a frame's time has passed since the last one shown, otherwise the
 * picture is kept; a poll that finds nothing to do once a frame is due shows any kept picture and
 * sleeps to the next frame. A kept picture that stayed a frame or more without a poll (the game
 * busy loading or thinking) is shown (in the browser also given a frame to be drawn) before the
 * next flip replaces it. Displays nobody sees are never paced: the dummy driver's tests run on a
 * virtual clock and must not sleep. Plain data and arithmetic, so it is tested natively. */
#ifndef SDL12ON2_PACING_H
#define SDL12ON2_PACING_H

#include <stdint.h>

#ifdef __cplusplus
extern "C" {
#endif

enum { pacing_frame_ms = 16 };

struct pacing {
    uint32_t last_present; /* when a picture was last shown */
    int have_presented;
    int pending;           /* a flipped picture waits to be shown */
    uint32_t pending_since;
    uint32_t next_idle;    /* from when an idle poll sleeps again */
};

extern struct pacing pacing_state;

/* Before a flip at now replaces the kept picture: 1 when that picture has waited a frame or more
 * and is to be shown (and slept on for a frame) first. */
int pacing_stale(uint32_t now);
/* A flip at now: 1 to show the picture at once, 0 to keep it (pending is then set). */
int pacing_flip(uint32_t now);
/* A poll that found nothing to do at now: -1 when no frame is due yet; otherwise how many
 * milliseconds to sleep, with *show set when the kept picture is to be shown first. */
int pacing_idle(uint32_t now, int* show);
/* Whether pictures on SDL2's video driver of this name are paced and idle polls sleep: 0 for the
 * drivers that show nothing (dummy, offscreen) and when there is no driver. */
int pacing_applies(const char* video_driver);

#ifdef __cplusplus
}
#endif

#endif
